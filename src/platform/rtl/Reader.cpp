// TReader: reads the text form format into components, creating registered classes by
// name, resolving component references after the whole text is read, then calling
// Loaded. A failed read frees what it created. Overview and format: Filer.h.
//
// [SECTION] Components  ReadHeader, ReadRootComponent, Cleanup, ReadData, ReadChild
// [SECTION] Properties  ReadProperty (paths, TStrings, DefineProperties), ReadPropValue,
//                       ReadStrings, ReadCollection, DefineProperty, ReadBinary
// [SECTION] References  FindReference, ResolveFixups
// [SECTION] Values      NextValue, ReadValue, the Read... functions, SkipValue
//
// Call flow: ReadRootComponent -> root->ReadState -> ReadData -> { ReadProperty }*
// { ReadChild -> child->ReadState -> ReadData }* "end" -> ResolveFixups -> EndLoading
// (Loaded) for every component read, in reading order.
#include "platform/rtl/Filer.h"

#include "platform/rtl/Collection.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TextFormPrivate.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cassert>

namespace mv {

using detail::TTextParser;

namespace {

String ReadAllText(TStream& stream) {
    Int64 size = stream.GetSize() - stream.GetPosition();
    std::string bytes;
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        bytes.resize(static_cast<size_t>(stream.Read(bytes.data(), static_cast<Integer>(size))));
    }
    return UTF8ToString(bytes);
}

String DisplayName(const TPersistent* instance) {
    if (auto* component = dynamic_cast<const TComponent*>(instance))
        if (!component->Name().empty()) return component->Name();
    return instance->ClassName();
}

// Restores a value on scope exit (the property name of a nested DefineProperties).
template <typename T> class TRestore {
public:
    TRestore(T& slot, T value) : FSlot(slot), FSaved(std::move(slot)) { FSlot = std::move(value); }
    ~TRestore() { FSlot = std::move(FSaved); }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FSlot;
    T FSaved;
};

} // namespace

struct TReader::TFixup {
    TPersistent* Instance;
    const TPropInfo* Info;
    String InstanceName;
    String Reference;
    Integer Line;
};

struct TReader::THeader {
    bool Inherited = false;
    String Name;
    String ClassName;
    Integer Order = -1;
    Integer Line = 0;
};

TReader::TReader(TStream& stream) : FParser(std::make_unique<TTextParser>(ReadAllText(stream))) {}

TReader::TReader(StringView text) : FParser(std::make_unique<TTextParser>(String(text))) {}

TReader::~TReader() = default;

Integer TReader::Line() const {
    return FParser->Line();
}

void TReader::Error(StringView message) const {
    FParser->Error(message);
}

void TReader::EnterNesting() {
    if (++FDepth > detail::kMaxNesting) Error(Format(SysConst::SNestingTooDeep, {detail::kMaxNesting}));
}

// [SECTION] Components

TReader::THeader TReader::ReadHeader() {
    THeader header;
    header.Line = FParser->Line();
    if (FParser->IsSymbol(u"inherited"))
        header.Inherited = true;
    else if (!FParser->IsSymbol(u"object") && !FParser->IsSymbol(u"inline"))
        Error(Format(SysConst::SSymbolExpected, {u"'object'"}));
    FParser->Next();
    String first = FParser->ExpectSymbol();
    if (FParser->IsChar(u':')) {
        FParser->Next();
        header.Name = first;
        header.ClassName = FParser->ExpectSymbol();
    } else {
        header.ClassName = first;
    }
    if (FParser->IsChar(u'[')) {
        FParser->Next();
        if (FParser->Token() != TTextParser::toInteger || FParser->TokenInt() < 0 ||
            FParser->TokenInt() > INT32_MAX)
            Error(SysConst::SInvalidPropertyValue);
        header.Order = static_cast<Integer>(FParser->TokenInt());
        FParser->Next();
        FParser->ExpectChar(u']');
    }
    return header;
}

void TReader::BeginLoad(TComponent* component) {
    component->BeginLoading();
    FLoaded.push_back(component);
}

TComponent* TReader::ReadRootComponent(TComponent* root, TComponent* owner) {
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
    FDepth = 0;
    try {
        THeader header = ReadHeader();
        if (!root) {
            TClass cls = GetClass(header.ClassName);
            if (!cls)
                throw EClassNotFound(
                    Format(SysConst::SParseError,
                           {Format(SysConst::SClassNotFound, {header.ClassName}), header.Line}));
            root = cls->CreateComponent(owner);
            FCreated.push_back(root);
        } else if (!InheritsFromClassName(root, header.ClassName)) {
            throw EReadError(Format(
                SysConst::SParseError,
                {Format(SysConst::SClassMismatch, {DisplayName(root), root->ClassName(), header.ClassName}),
                 header.Line}));
        }
        FRoot = FLookupRoot = root;
        BeginLoad(root);
        if (!header.Name.empty()) {
            try {
                root->SetName(header.Name);
            } catch (const EComponentError& e) {
                throw EReadError(Format(SysConst::SParseError, {e.Message(), header.Line}));
            }
        }
        root->ReadState(*this);
        if (FParser->Token() != TTextParser::toEOF) Error(SysConst::STextAfterEnd);
        ResolveFixups();
    } catch (...) {
        Cleanup();
        throw;
    }
    std::vector<TComponent*> loaded;
    loaded.swap(FLoaded);
    FCreated.clear();
    for (TComponent* c : loaded)
        c->EndLoading();
    return root;
}

void TReader::Cleanup() noexcept {
    for (TComponent* c : FLoaded) {
        if (std::find(FCreated.begin(), FCreated.end(), c) != FCreated.end()) continue;
        c->SetComponentStateItem(csLoading, false);
        c->SetComponentStateItem(csReading, false);
    }
    // Later components may be owned by earlier ones; freeing from the back never frees
    // a component twice.
    while (!FCreated.empty()) {
        TComponent* doomed = FCreated.back();
        FCreated.pop_back();
        delete doomed;
    }
    FLoaded.clear();
    FFixups.clear();
}

void TReader::ReadData(TComponent* instance) {
    EnterNesting();
    String name = DisplayName(instance);
    while (FParser->Token() == TTextParser::toSymbol && !FParser->IsSymbol(u"end") &&
           !FParser->IsSymbol(u"object") && !FParser->IsSymbol(u"inherited") && !FParser->IsSymbol(u"inline"))
        ReadProperty(instance, name);
    while (FParser->IsSymbol(u"object") || FParser->IsSymbol(u"inherited") || FParser->IsSymbol(u"inline"))
        ReadChild(instance);
    if (!FParser->IsSymbol(u"end")) {
        if (FParser->Token() == TTextParser::toEOF) Error(SysConst::SUnexpectedEnd);
        Error(Format(SysConst::SSymbolExpected, {u"'end'"}));
    }
    FParser->Next();
    --FDepth;
}

void TReader::ReadChild(TComponent* parent) {
    THeader header = ReadHeader();
    TComponent* owner = parent->GetChildOwner();
    if (!owner) owner = FRoot;
    TComponent* child = nullptr;
    if (header.Inherited) {
        child = owner->FindComponent(header.Name);
        if (!child)
            throw EReadError(Format(SysConst::SParseError,
                                    {Format(SysConst::SAncestorNotFound, {header.Name}), header.Line}));
        if (!InheritsFromClassName(child, header.ClassName))
            throw EReadError(
                Format(SysConst::SParseError,
                       {Format(SysConst::SClassMismatch, {header.Name, child->ClassName(), header.ClassName}),
                        header.Line}));
    } else {
        TClass cls = GetClass(header.ClassName);
        if (!cls)
            throw EClassNotFound(Format(SysConst::SParseError,
                                        {Format(SysConst::SClassNotFound, {header.ClassName}), header.Line}));
        child = cls->CreateComponent(owner);
        FCreated.push_back(child);
        try {
            child->SetName(header.Name);
        } catch (const EComponentError& e) {
            throw EReadError(Format(SysConst::SParseError, {e.Message(), header.Line}));
        }
    }
    BeginLoad(child);
    child->SetParentComponent(parent->GetChildParent());
    if (header.Order >= 0) parent->SetChildOrder(child, header.Order);
    child->ReadState(*this);
}

// [SECTION] Properties

void TReader::ReadProperty(TPersistent* instance, StringView instanceName) {
    Integer line = FParser->Line();
    String path = FParser->ExpectSymbol();
    try {
        FParser->ExpectChar(u'=');
        TPersistent* target = instance;
        StringView rest = path;
        auto dot = rest.find(u'.');
        while (dot != StringView::npos) {
            StringView part = rest.substr(0, dot);
            const TPropInfo* step = GetPropInfo(ClassOfObject(target), part);
            if (!step || step->Kind() != tkClass)
                throw EPropertyError(Format(SysConst::SUnknownProperty, {part, target->ClassName()}));
            auto* next = dynamic_cast<TPersistent*>(step->GetObject(target));
            if (!next) throw EPropertyError(Format(SysConst::SNilPropertyPath, {part, path}));
            target = next;
            rest = rest.substr(dot + 1);
            dot = rest.find(u'.');
        }
        if (const TPropInfo* info = GetPropInfo(ClassOfObject(target), rest)) {
            ReadPropValue(target, info, line);
            return;
        }
        if (auto* strings = dynamic_cast<TStrings*>(target); strings && SameText(rest, u"Strings")) {
            ReadStrings(strings);
            return;
        }
        TRestore<String> name(FPropName, String(rest));
        target->DefineProperties(this);
        if (!FPropName.empty())
            throw EPropertyError(Format(SysConst::SUnknownProperty, {rest, target->ClassName()}));
    } catch (const detail::EPropertyReadError&) {
        throw;
    } catch (const EReadError& e) {
        // Parser errors already carry their line.
        throw detail::EPropertyReadError(
            Format(SysConst::SPropertyReadError, {instanceName, path, e.Message()}));
    } catch (const EClassNotFound&) {
        throw;
    } catch (const Exception& e) {
        throw detail::EPropertyReadError(
            Format(SysConst::SPropertyReadError,
                   {instanceName, path, Format(SysConst::SParseError, {e.Message(), line})}));
    }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* info, Integer line) {
    auto invalid = [&]() -> void {
        if (FParser->Token() == TTextParser::toEOF) Error(SysConst::SUnexpectedEnd);
        Error(SysConst::SInvalidPropertyValue);
    };
    switch (info->Kind()) {
    case tkInteger:
    case tkInt64: {
        Int64 value = 0;
        if (FParser->Token() == TTextParser::toInteger)
            value = FParser->TokenInt();
        else if (FParser->Token() != TTextParser::toSymbol ||
                 !IdentToInt(info->TypeName(), FParser->TokenString(), value))
            invalid();
        FParser->Next();
        info->SetOrd(instance, value);
        return;
    }
    case tkEnumeration: {
        if (FParser->Token() != TTextParser::toSymbol) invalid();
        Integer value = GetEnumValue(*info->EnumInfo(), FParser->TokenString());
        if (value < 0) Error(Format(SysConst::SInvalidPropertyElement, {FParser->TokenString()}));
        FParser->Next();
        info->SetOrd(instance, value);
        return;
    }
    case tkFloat: {
        double value = 0;
        if (FParser->Token() == TTextParser::toFloat)
            value = FParser->TokenFloat();
        else if (FParser->Token() == TTextParser::toInteger)
            value = static_cast<double>(FParser->TokenInt());
        else
            invalid();
        FParser->Next();
        info->SetFloat(instance, value);
        return;
    }
    case tkUString: {
        if (FParser->Token() != TTextParser::toString) invalid();
        String value = FParser->TokenString();
        FParser->Next();
        info->SetStr(instance, value);
        return;
    }
    case tkSet: {
        if (!FParser->IsChar(u'[')) invalid();
        FParser->Next();
        UInt64 bits = 0;
        while (!FParser->IsChar(u']')) {
            if (FParser->Token() != TTextParser::toSymbol) invalid();
            Integer value = GetEnumValue(*info->EnumInfo(), FParser->TokenString());
            if (value < 0 || value >= 64)
                Error(Format(SysConst::SInvalidPropertyElement, {FParser->TokenString()}));
            bits |= UInt64{1} << value;
            FParser->Next();
            if (FParser->IsChar(u',')) {
                FParser->Next();
                if (FParser->IsChar(u']')) invalid();
            } else if (!FParser->IsChar(u']')) {
                invalid();
            }
        }
        FParser->Next();
        info->SetOrd(instance, static_cast<Int64>(bits));
        return;
    }
    case tkClass: {
        if (FParser->IsChar(u'<')) {
            auto* collection = dynamic_cast<TCollection*>(info->GetObject(instance));
            if (!collection) invalid();
            ReadCollection(collection);
            return;
        }
        if (FParser->IsSymbol(u"nil")) {
            FParser->Next();
            info->SetObject(instance, nullptr);
            return;
        }
        TClass propClass = info->PropClass();
        if (FParser->Token() != TTextParser::toSymbol || !propClass ||
            !propClass->InheritsFrom(ClassOf<TComponent>()))
            invalid();
        if (!info->IsWritable())
            throw EPropertyError(Format(SysConst::SReadOnlyProperty, {info->Name(), DisplayName(instance)}));
        FFixups.push_back({instance, info, DisplayName(instance), FParser->TokenString(), line});
        FParser->Next();
        return;
    }
    default:
        invalid();
    }
}

void TReader::ReadStrings(TStrings* strings) {
    EnterNesting();
    FParser->ExpectChar(u'(');
    strings->BeginUpdate();
    try {
        strings->Clear();
        while (!FParser->IsChar(u')')) {
            if (FParser->Token() != TTextParser::toString) {
                if (FParser->Token() == TTextParser::toEOF) Error(SysConst::SUnexpectedEnd);
                Error(SysConst::SInvalidPropertyValue);
            }
            strings->Add(FParser->TokenString());
            FParser->Next();
        }
        FParser->Next();
    } catch (...) {
        strings->EndUpdate();
        throw;
    }
    strings->EndUpdate();
    --FDepth;
}

void TReader::ReadCollection(TCollection* collection) {
    assert(collection && "ReadCollection needs a collection");
    EnterNesting();
    if (FParser->IsChar(u'<')) FParser->Next();
    // References read into items about to be freed would dangle.
    std::erase_if(FFixups, [collection](const TFixup& f) {
        auto* item = dynamic_cast<TCollectionItem*>(f.Instance);
        return item && item->Collection() == collection;
    });
    collection->BeginUpdate();
    try {
        collection->Clear();
        while (!FParser->IsChar(u'>')) {
            if (!FParser->IsSymbol(u"item")) {
                if (FParser->Token() == TTextParser::toEOF) Error(SysConst::SUnexpectedEnd);
                Error(Format(SysConst::SSymbolExpected, {u"'item'"}));
            }
            FParser->Next();
            if (FParser->IsChar(u'[')) {
                FParser->Next();
                if (FParser->Token() != TTextParser::toInteger) Error(SysConst::SInvalidPropertyValue);
                FParser->Next();
                FParser->ExpectChar(u']');
            }
            TCollectionItem* item = collection->Add();
            String name = item->ClassName();
            while (!FParser->IsSymbol(u"end")) {
                if (FParser->Token() != TTextParser::toSymbol) {
                    if (FParser->Token() == TTextParser::toEOF) Error(SysConst::SUnexpectedEnd);
                    Error(Format(SysConst::SSymbolExpected, {u"'end'"}));
                }
                ReadProperty(item, name);
            }
            FParser->Next();
        }
        FParser->Next();
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
    --FDepth;
}

void TReader::DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc&, bool) {
    if (FPropName.empty() || !readData || !SameText(name, FPropName)) return;
    FPropName.clear();
    readData(*this);
}

void TReader::DefineBinaryProperty(StringView name, const TStreamProc& readData, const TStreamProc&, bool) {
    if (FPropName.empty() || !readData || !SameText(name, FPropName)) return;
    FPropName.clear();
    ReadBinary(readData);
}

void TReader::ReadBinary(const TStreamProc& readData) {
    if (!FParser->IsChar(u'{')) Error(SysConst::SInvalidBinary);
    std::vector<Byte> bytes = FParser->ReadHexUntilBrace();
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    stream.SetPosition(0);
    readData(stream);
}

// [SECTION] References

TComponent* TReader::FindReference(StringView name) const {
    StringView rest = name;
    TComponent* current = nullptr;
    while (!rest.empty()) {
        auto dot = rest.find(u'.');
        StringView part = rest.substr(0, dot);
        if (!current)
            current =
                SameText(part, FRoot->Name()) && !FRoot->Name().empty() ? FRoot : FRoot->FindComponent(part);
        else
            current = current->FindComponent(part);
        if (!current || dot == StringView::npos) return current;
        rest = rest.substr(dot + 1);
    }
    return current;
}

void TReader::ResolveFixups() {
    for (const TFixup& fixup : FFixups) {
        TComponent* target = FindReference(fixup.Reference);
        if (!target && OnFindComponentInstance) target = OnFindComponentInstance(fixup.Reference);
        String message;
        if (!target) {
            message = Format(SysConst::SUnresolvedReference, {fixup.Reference});
        } else {
            try {
                fixup.Info->SetObject(fixup.Instance, target);
                continue;
            } catch (const Exception& e) {
                message = e.Message();
            }
        }
        throw EReadError(
            Format(SysConst::SPropertyReadError, {fixup.InstanceName, fixup.Info->Name(),
                                                  Format(SysConst::SParseError, {message, fixup.Line})}));
    }
    FFixups.clear();
}

// [SECTION] Values

TValueType TReader::NextValue() {
    switch (FParser->Token()) {
    case TTextParser::toInteger:
        return FParser->TokenInt() >= INT32_MIN && FParser->TokenInt() <= INT32_MAX ? vaInt32 : vaInt64;
    case TTextParser::toFloat:
        return vaExtended;
    case TTextParser::toString:
        return vaWString;
    case TTextParser::toSymbol:
        if (FParser->IsSymbol(u"True")) return vaTrue;
        if (FParser->IsSymbol(u"False")) return vaFalse;
        if (FParser->IsSymbol(u"nil")) return vaNil;
        if (FParser->IsSymbol(u"Null")) return vaNull;
        return vaIdent;
    case TTextParser::toChar:
        switch (FParser->TokenChar()) {
        case u'(':
            return vaList;
        case u'<':
            return vaCollection;
        case u'[':
            return vaSet;
        case u'{':
            return vaBinary;
        default:
            break;
        }
        break;
    case TTextParser::toEOF:
        Error(SysConst::SUnexpectedEnd);
    }
    Error(SysConst::SInvalidPropertyValue);
}

TValueType TReader::ReadValue() {
    TValueType type = NextValue();
    switch (type) {
    case vaList:
    case vaCollection:
    case vaSet:
    case vaTrue:
    case vaFalse:
    case vaNil:
    case vaNull:
        FParser->Next();
        break;
    default:
        break;
    }
    return type;
}

void TReader::ReadListBegin() {
    FParser->ExpectChar(u'(');
}

bool TReader::EndOfList() {
    if (FParser->Token() == TTextParser::toEOF) Error(SysConst::SUnexpectedEnd);
    return FParser->IsChar(u')') || FParser->IsChar(u'>');
}

void TReader::ReadListEnd() {
    if (!EndOfList()) Error(Format(SysConst::SSymbolExpected, {u"')'"}));
    FParser->Next();
}

Int64 TReader::ReadInt64() {
    if (FParser->Token() != TTextParser::toInteger) Error(SysConst::SInvalidPropertyValue);
    Int64 value = FParser->TokenInt();
    FParser->Next();
    return value;
}

Integer TReader::ReadInteger() {
    if (NextValue() != vaInt32) Error(SysConst::SInvalidPropertyValue);
    return static_cast<Integer>(ReadInt64());
}

bool TReader::ReadBoolean() {
    TValueType type = NextValue();
    if (type != vaTrue && type != vaFalse) Error(SysConst::SInvalidPropertyValue);
    FParser->Next();
    return type == vaTrue;
}

double TReader::ReadFloat() {
    if (FParser->Token() == TTextParser::toInteger) return static_cast<double>(ReadInt64());
    if (FParser->Token() != TTextParser::toFloat) Error(SysConst::SInvalidPropertyValue);
    double value = FParser->TokenFloat();
    FParser->Next();
    return value;
}

String TReader::ReadString() {
    if (FParser->Token() != TTextParser::toString) Error(SysConst::SInvalidPropertyValue);
    String value = FParser->TokenString();
    FParser->Next();
    return value;
}

String TReader::ReadIdent() {
    if (FParser->Token() != TTextParser::toSymbol) Error(SysConst::SIdentifierExpected);
    String value = FParser->TokenString();
    FParser->Next();
    return value;
}

void TReader::SkipValue() {
    switch (NextValue()) {
    case vaList:
    case vaSet:
        EnterNesting();
        FParser->Next();
        while (!FParser->IsChar(u')') && !FParser->IsChar(u']')) {
            if (FParser->IsChar(u',')) {
                FParser->Next();
                continue;
            }
            SkipValue();
        }
        FParser->Next();
        --FDepth;
        return;
    case vaCollection:
        EnterNesting();
        FParser->Next();
        while (!FParser->IsChar(u'>')) {
            if (!FParser->IsSymbol(u"item")) Error(Format(SysConst::SSymbolExpected, {u"'item'"}));
            FParser->Next();
            while (!FParser->IsSymbol(u"end")) {
                FParser->ExpectSymbol();
                FParser->ExpectChar(u'=');
                SkipValue();
            }
            FParser->Next();
        }
        FParser->Next();
        --FDepth;
        return;
    case vaBinary:
        FParser->ReadHexUntilBrace();
        return;
    default:
        FParser->Next();
        return;
    }
}

} // namespace mv
