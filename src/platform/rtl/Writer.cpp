// TWriter: writes components in the text form format, leaving out stored-false and
// default values, or values equal to an ancestor's.
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
#include <typeinfo>

namespace mv {

namespace {

// Strings longer than this are split into '+'-joined pieces, one per line.
constexpr size_t kStringPiece = 64;
// Bytes per line of binary data.
constexpr size_t kBinaryLine = 32;

bool SameClass(const TObject* a, const TObject* b) {
    return a && b && typeid(*a) == typeid(*b);
}

String HexBytes(const Byte* data, size_t count) {
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    String s;
    s.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        s += kDigits[data[i] >> 4];
        s += kDigits[data[i] & 15];
    }
    return s;
}

} // namespace

TWriter::TWriter(TStream& stream) : FStream(stream) {}

TWriter::~TWriter() {
    try {
        FlushText();
    } catch (...) {
        // A destructor cannot report; Write...Component has flushed already in every
        // normal use, so only text of an abandoned write is lost here.
    }
}

void TWriter::FlushText() {
    if (FText.empty()) return;
    if (FText.back() != u'\n') FText += u'\n';
    std::string bytes = UTF8Encode(FText);
    FText.clear();
    FStream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
}

// [SECTION] Layout

void TWriter::NewLine() {
    if (!FText.empty()) FText += u'\n';
    FText.append(static_cast<size_t>(FIndent) * 2, u' ');
}

void TWriter::WritePropName(StringView name) {
    NewLine();
    FText += name;
    FText += u" = ";
    FValueInline = true;
}

void TWriter::WriteValueText(StringView text) {
    if (FListDepth > 0 && !FValueInline) NewLine();
    FText += text;
    FValueInline = false;
}

// [SECTION] Components

void TWriter::WriteRootComponent(TComponent* root) {
    WriteDescendent(root, nullptr);
}

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
    assert(root && "WriteDescendent needs a component");
    FRoot = FLookupRoot = root;
    FRootAncestor = SameClass(root, ancestor) ? ancestor : nullptr;
    WriteComponent(root, FRootAncestor);
    FlushText();
}

void TWriter::WriteComponent(TComponent* component, TComponent* ancestor) {
    // csWriting holds while the component is written, also when writing fails.
    struct TWritingScope {
        TComponent* Component;
        bool WasWriting;
        ~TWritingScope() { Component->SetComponentStateItem(csWriting, WasWriting); }
    } writing{component, component->ComponentState().Contains(csWriting)};
    component->SetComponentStateItem(csWriting, true);
    NewLine();
    FText += ancestor ? u"inherited " : u"object ";
    if (!component->Name().empty()) FText += component->Name() + u": ";
    FText += component->ClassName();
    TPersistent* savedAncestor = FAncestor;
    FAncestor = ancestor;
    ++FIndent;
    component->WriteState(*this);
    --FIndent;
    FAncestor = savedAncestor;
    NewLine();
    FText += u"end";
}

void TWriter::WriteData(TComponent* instance) {
    TPersistent* ancestor = FAncestor;
    WriteProperties(instance, u"", ancestor);
    instance->GetChildren(
        [this](TComponent* child) {
            TComponent* inherited = FRootAncestor ? FRootAncestor->FindComponent(child->Name()) : nullptr;
            WriteComponent(child, SameClass(child, inherited) ? inherited : nullptr);
        },
        FRoot);
}

String TWriter::ReferenceName(const TComponent* component, const TComponent* root) {
    if (component == root || !component->Owner() || component->Owner() == root) return component->Name();
    return component->Owner()->Name() + u"." + component->Name();
}

// [SECTION] Properties

void TWriter::WriteProperties(TPersistent* instance, StringView prefix, TPersistent* ancestor) {
    if (!SameClass(instance, ancestor)) ancestor = nullptr;
    for (const TPropInfo* info : GetPropList(instance))
        if (info->IsStored(instance)) WriteProperty(instance, info, prefix, ancestor);
    if (auto* strings = dynamic_cast<TStrings*>(instance)) {
        auto* ancestorStrings = dynamic_cast<TStrings*>(ancestor);
        bool same = ancestorStrings ? strings->Equals(ancestorStrings) : strings->Count() == 0;
        if (!same) {
            WritePropName(String(prefix) + u"Strings");
            WriteStrings(strings);
        }
    }
    String savedPath = FPropPath;
    TPersistent* savedAncestor = FAncestor;
    FPropPath = String(prefix);
    FAncestor = ancestor;
    instance->DefineProperties(this);
    FPropPath = savedPath;
    FAncestor = savedAncestor;
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo* info, StringView prefix,
                            TPersistent* ancestor) {
    String name = String(prefix) + info->Name();
    switch (info->Kind()) {
    case tkInteger:
    case tkInt64:
    case tkEnumeration:
    case tkSet: {
        Int64 value = info->GetOrd(instance);
        if (ancestor ? value == info->GetOrd(ancestor) : info->HasDefault() && value == info->Default())
            return;
        WritePropName(name);
        if (info->Kind() == tkEnumeration) {
            WriteIdent(GetEnumName(*info->EnumInfo(), value));
        } else if (info->Kind() == tkSet) {
            String text = SetToString(*info->EnumInfo(), static_cast<UInt64>(value), true);
            WriteValueText(StringReplace(text, u",", u", ", TReplaceFlags{rfReplaceAll}));
        } else {
            String ident;
            if (IntToIdent(info->TypeName(), value, ident))
                WriteIdent(ident);
            else
                WriteInteger(value);
        }
        return;
    }
    case tkFloat: {
        double value = info->GetFloat(instance);
        if (ancestor ? value == info->GetFloat(ancestor) : value == 0) return;
        WritePropName(name);
        WriteFloat(value);
        return;
    }
    case tkUString: {
        String value = info->GetStr(instance);
        if (ancestor ? value == info->GetStr(ancestor) : value.empty()) return;
        WritePropName(name);
        WriteString(value);
        return;
    }
    case tkClass: {
        TObject* value = info->GetObject(instance);
        TObject* ancestorValue = ancestor ? info->GetObject(ancestor) : nullptr;
        TClass propClass = info->PropClass();
        if (propClass && propClass->InheritsFrom(ClassOf<TComponent>())) {
            auto* component = dynamic_cast<TComponent*>(value);
            auto* ancestorComponent = dynamic_cast<TComponent*>(ancestorValue);
            if (ancestor) {
                bool bothNil = !component && !ancestorComponent;
                // Each side is named relative to its own root.
                bool sameName = component && ancestorComponent &&
                                SameText(ReferenceName(component, FLookupRoot),
                                         ReferenceName(ancestorComponent, FRootAncestor));
                if (bothNil || sameName) return;
            } else if (!component) {
                return;
            }
            WritePropName(name);
            WriteIdent(component ? ReferenceName(component, FLookupRoot) : String(u"nil"));
            return;
        }
        if (auto* collection = dynamic_cast<TCollection*>(value)) {
            auto* ancestorCollection = dynamic_cast<TCollection*>(ancestorValue);
            if (ancestor ? CollectionsEqual(collection, ancestorCollection) : collection->Count() == 0)
                return;
            WritePropName(name);
            WriteCollection(collection);
            return;
        }
        if (auto* persistent = dynamic_cast<TPersistent*>(value))
            WriteProperties(persistent, name + u".", dynamic_cast<TPersistent*>(ancestorValue));
        return;
    }
    default:
        return;
    }
}

void TWriter::WriteStrings(const TStrings* strings) {
    WriteListBegin();
    for (Integer i = 0; i < strings->Count(); ++i)
        WriteString(strings->Strings(i));
    WriteListEnd();
}

void TWriter::DefineProperty(StringView name, const TReaderProc&, const TWriterProc& writeData,
                             bool hasData) {
    if (!hasData || !writeData) return;
    WritePropName(FPropPath + String(name));
    writeData(*this);
}

void TWriter::DefineBinaryProperty(StringView name, const TStreamProc&, const TStreamProc& writeData,
                                   bool hasData) {
    if (!hasData || !writeData) return;
    TMemoryStream data;
    writeData(data);
    WritePropName(FPropPath + String(name));
    WriteValueText(u"{");
    ++FIndent;
    auto* bytes = static_cast<const Byte*>(data.Memory());
    auto size = static_cast<size_t>(data.GetSize());
    for (size_t offset = 0; offset < size; offset += kBinaryLine) {
        NewLine();
        FText += HexBytes(bytes + offset, std::min(kBinaryLine, size - offset));
    }
    FText += u'}';
    --FIndent;
}

// [SECTION] Values

void TWriter::WriteInteger(Int64 value) {
    WriteValueText(IntToStr(value));
}

void TWriter::WriteBoolean(bool value) {
    WriteValueText(value ? u"True" : u"False");
}

void TWriter::WriteFloat(double value) {
    String text;
    if (!detail::TryFloatToText(value, text))
        throw EWriteError(Format(SysConst::SInvalidFloat, {detail::FloatToText(value)}));
    WriteValueText(text);
}

void TWriter::WriteString(StringView value) {
    if (value.size() <= kStringPiece) {
        WriteValueText(detail::QuoteFormString(value));
        return;
    }
    size_t start = 0;
    bool first = true;
    while (start < value.size()) {
        size_t count = std::min(kStringPiece, value.size() - start);
        // Never split a surrogate pair.
        if (start + count < value.size() && value[start + count - 1] >= 0xD800 &&
            value[start + count - 1] <= 0xDBFF)
            --count;
        String piece = detail::QuoteFormString(value.substr(start, count));
        if (first) {
            WriteValueText(piece);
            first = false;
        } else {
            FText += u" +";
            ++FIndent;
            NewLine();
            --FIndent;
            FText += piece;
        }
        start += count;
    }
}

void TWriter::WriteIdent(StringView ident) {
    WriteValueText(ident);
}

void TWriter::WriteListBegin() {
    WriteValueText(u"(");
    ++FListDepth;
    ++FIndent;
}

void TWriter::WriteListEnd() {
    FText += u')';
    --FListDepth;
    --FIndent;
    FValueInline = false;
}

void TWriter::WriteCollection(const TCollection* collection) {
    WriteValueText(u"<");
    Integer savedListDepth = FListDepth;
    FListDepth = 0;
    ++FIndent;
    for (Integer i = 0; i < collection->Count(); ++i) {
        NewLine();
        FText += u"item";
        ++FIndent;
        WriteProperties(collection->Items(i), u"", nullptr);
        --FIndent;
        NewLine();
        FText += u"end";
    }
    FText += u'>';
    --FIndent;
    FListDepth = savedListDepth;
    FValueInline = false;
}

// [SECTION] Comparison

bool CollectionsEqual(const TCollection* c1, const TCollection* c2) {
    if (c1 == c2) return true;
    if (!c1 || !c2 || c1->Count() != c2->Count() || typeid(*c1) != typeid(*c2)) return false;
    auto text = [](const TCollection* c) {
        TStringStream stream;
        {
            TWriter writer(stream);
            writer.WriteCollection(c);
        }
        return stream.DataString();
    };
    return text(c1) == text(c2);
}

} // namespace mv
