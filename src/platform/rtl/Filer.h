// Component streaming in the framework's text form format: TWriter writes a component,
// its published properties, DefineProperties entries and nested components as text;
// TReader reads such text back, creating classes registered by name (ClassRegistry.h).
//
//     object Grid1: TGridModel
//       Caption = 'Orders ' + 'list'        strings: '...' with '' and #nnn, + joins
//       Width = 120                         integers ($hex too), floats (1.5, 2E10)
//       Align = alClient                    enumerations, Booleans (True), colours (clRed)
//       Options = [goLines, goSizing]       sets
//       Source = DataSource1                component references, nil
//       Font.Name = 'DejaVu Sans'           owned sub-objects by "."-path
//       Items.Strings = (                   string lists
//         'a'
//         'b')
//       Columns = <                         collections
//         item
//           FieldName = 'ID'
//         end>
//       Data = {                            binary data (DefineBinaryProperty)
//         0A0B0C}
//       object Child1: TChildModel          nested components ("inherited" for those an
//       end                                 ancestor already created)
//     end
//
// Writing skips properties whose stored predicate says no and values equal to their
// default (ordinals with a default, empty strings, 0.0, nil, empty lists) or, when an
// ancestor is given, equal to the ancestor's. Reading calls Loaded on every component
// read, after all references are resolved.
//
// Errors while reading raise EReadError (or EClassNotFound for an unknown class) with a
// message naming the line and, for a property, the component and property name:
// "Error reading Grid1.Width: Invalid property value on line 3". Components created by a
// failed read are freed again; components that existed keep what was read so far.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/rtl/Streams.h"

#include <functional>
#include <memory>
#include <vector>

namespace mv {

class TCollection;

enum TValueType {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String,
    vaDouble
};

using TReaderProc = std::function<void(class TReader& reader)>;
using TWriterProc = std::function<void(class TWriter& writer)>;
using TStreamProc = std::function<void(TStream& stream)>;

namespace detail {
class TTextParser;
}

class TFiler : public TObject {
public:
    // The component being read or written as a whole, and the one names are relative to.
    TComponent* Root() const { return FRoot; }
    TComponent* LookupRoot() const { return FLookupRoot; }
    // While writing with an ancestor: the ancestor's counterpart of the object whose
    // DefineProperties runs (null when there is none). Always null while reading.
    TPersistent* Ancestor() const { return FAncestor; }

    // One custom entry of the object whose DefineProperties is running. readData reads
    // exactly one value with the TReader functions; writeData writes exactly one value
    // and is called only when hasData is true.
    virtual void DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc& writeData,
                                bool hasData) = 0;
    // The same for bytes, written as {hex}; the procedures get a memory stream.
    virtual void DefineBinaryProperty(StringView name, const TStreamProc& readData,
                                      const TStreamProc& writeData, bool hasData) = 0;

protected:
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
    TPersistent* FAncestor = nullptr;
};

class TReader : public TFiler {
public:
    // Reads the rest of the stream as UTF-8 text (a byte-order mark is skipped).
    explicit TReader(TStream& stream);
    explicit TReader(StringView text);
    ~TReader() override;

    // Reads one object text. With a root, the text's class must be the root's class or
    // an ancestor of it and its properties are read into root; without, the class is
    // created by name with owner as its owner. Nothing but blanks may follow the final
    // "end". Returns the root.
    TComponent* ReadRootComponent(TComponent* root, TComponent* owner = nullptr);
    // The properties and nested objects of instance up to its "end" (TComponent::ReadState).
    void ReadData(TComponent* instance);

    // Called for a reference that names no component under the root; may return null.
    std::function<TComponent*(StringView name)> OnFindComponentInstance;

    // [SECTION] Values, for DefineProperty procedures
    // The kind of the next value: vaInt32/vaInt64, vaExtended, vaWString, vaIdent, vaTrue,
    // vaFalse, vaNil, vaNull, vaList, vaCollection, vaSet or vaBinary.
    TValueType NextValue();
    // Consumes the opening of a list, collection or set, and the whole of True, False,
    // nil and Null; for other values consumes nothing. Returns NextValue() as it was.
    TValueType ReadValue();
    void ReadListBegin();
    bool EndOfList();
    // Consumes ')' (list) or '>' (collection).
    void ReadListEnd();
    Integer ReadInteger();
    Int64 ReadInt64();
    bool ReadBoolean();
    // Integers are accepted as floats.
    double ReadFloat();
    String ReadString();
    String ReadIdent();
    // "<item ... end ...>": clears the collection and adds one item per entry. The '<'
    // may already have been consumed by ReadValue.
    void ReadCollection(TCollection* collection);
    // Skips one value of any kind.
    void SkipValue();
    // Line of the next token (1-based).
    Integer Line() const;

    void DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(StringView name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override;

private:
    struct TFixup;
    struct THeader;
    THeader ReadHeader();
    void ReadChild(TComponent* parent);
    void ReadProperty(TPersistent* instance, StringView instanceName);
    void ReadPropValue(TPersistent* instance, const class TPropInfo* info, Integer line);
    void ReadStrings(class TStrings* strings);
    void ReadBinary(const TStreamProc& readData);
    void ResolveFixups();
    TComponent* FindReference(StringView name) const;
    void BeginLoad(TComponent* component);
    void Cleanup() noexcept;
    [[noreturn]] void Error(StringView message) const;
    void EnterNesting();

    std::unique_ptr<detail::TTextParser> FParser;
    std::vector<TComponent*> FCreated;
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    String FPropName;
    Integer FDepth = 0;
};

class TWriter : public TFiler {
public:
    // Text goes to the stream as UTF-8 at the end of each Write...Component call.
    explicit TWriter(TStream& stream);
    ~TWriter() override;

    void WriteRootComponent(TComponent* root);
    // Writes root, leaving out what equals ancestor (an object of the same class that
    // root was derived from); root's components that the ancestor owns under the same
    // name are written as "inherited".
    void WriteDescendent(TComponent* root, TComponent* ancestor);
    // The published properties, DefineProperties entries and children of instance
    // (TComponent::WriteState).
    void WriteData(TComponent* instance);

    // [SECTION] Values, for DefineProperty procedures: each writes one value.
    void WriteInteger(Int64 value);
    void WriteBoolean(bool value);
    // Raises EWriteError for NaN and infinities, which the text form cannot hold.
    void WriteFloat(double value);
    void WriteString(StringView value);
    void WriteIdent(StringView ident);
    void WriteListBegin();
    void WriteListEnd();
    void WriteCollection(const TCollection* collection);

    void DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc& writeData,
                        bool hasData) override;
    void DefineBinaryProperty(StringView name, const TStreamProc& readData, const TStreamProc& writeData,
                              bool hasData) override;

private:
    void WriteComponent(TComponent* component, TComponent* ancestor);
    void WriteProperties(TPersistent* instance, StringView prefix, TPersistent* ancestor);
    void WriteProperty(TPersistent* instance, const class TPropInfo* info, StringView prefix,
                       TPersistent* ancestor);
    void WriteStrings(const class TStrings* strings);
    void WritePropName(StringView name);
    void WriteValueText(StringView text);
    void NewLine();
    void FlushText();
    static String ReferenceName(const TComponent* component, const TComponent* root);

    TStream& FStream;
    String FText;
    String FPropPath;
    TComponent* FRootAncestor = nullptr;
    Integer FIndent = 0;
    Integer FListDepth = 0;
    bool FValueInline = false;
};

// Whether two collections would be written the same (same count, same item values).
bool CollectionsEqual(const TCollection* c1, const TCollection* c2);

// Convenience: the object text of component (with ancestor as in WriteDescendent) and
// back. TextToComponent/ReadComponentText behave as TReader::ReadRootComponent.
String ComponentToText(TComponent* component, TComponent* ancestor = nullptr);
TComponent* TextToComponent(StringView text, TComponent* instance = nullptr, TComponent* owner = nullptr);
void WriteComponentText(TStream& stream, TComponent* component, TComponent* ancestor = nullptr);
TComponent* ReadComponentText(TStream& stream, TComponent* instance = nullptr, TComponent* owner = nullptr);

} // namespace mv
