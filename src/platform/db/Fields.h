// TField and its classes: one object per column of a data set, reading and writing the
// current record's value through the data set's GetFieldData/SetFieldData in the type's
// native buffer format, and formatting it for display and editing.
//
// Native buffer formats (what GetData/SetData and a data set's GetFieldData/SetFieldData
// exchange with nativeFormat true):
//   ftString, ftFixedChar, ftGuid   UTF-8 bytes, at most Size of them (never a cut
//                                   character), then a 0 byte; DataSize = Size + 1
//   ftWideString, ftFixedWideChar   UTF-16 units, at most Size, then a 0 unit
//   ftSmallint / ftShortint / ftByte / ftWord   int16 / int8 / uint8 / uint16
//   ftInteger, ftAutoInc            int32;  ftLongWord uint32;  ftLargeint int64
//   ftBoolean                       int16 (WordBool: 0 false, -1 true, nonzero reads true)
//   ftFloat, ftCurrency, ftExtended double;  ftSingle float
//   ftBCD, ftFMTBcd                 TBcd
//   ftDate                          int32 days, 0001-01-01 being day 1 (TTimeStamp.Date)
//   ftTime                          int32 milliseconds of the day
//   ftDateTime                      double milliseconds since 0001-01-01 00:00 (day 1 = 86400000)
//   ftTimeStamp                     TSQLTimeStamp
//   ftBytes                         Size bytes;  ftVarBytes uint16 length, then Size bytes
//   blobs, object fields            no buffer: blobs go through CreateBlobStream
// With nativeFormat false, ftDate/ftTime/ftDateTime exchange a TDateTime and ftBCD a
// Currency (TDataSet::DataConvert).
#pragma once

#include "platform/db/DB.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/Variants.h"

#include <functional>
#include <memory>
#include <vector>

namespace mv {

class TStream;
class TDataSetField;

using TFieldNotifyEvent = std::function<void(TField* sender)>;
using TFieldGetTextEvent = std::function<void(TField* sender, String& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const String& text)>;

// ======================================================================================
// [SECTION] TField
// ======================================================================================

class TField : public TComponent {
public:
    explicit TField(TComponent* owner);
    // Leaves its data set's (or parent field's) field list.
    ~TField() override;

    // -- Identity -----------------------------------------------------------------------
    TDataSet* DataSet() const { return FDataSet; }
    // Moves the field into dataSet's Fields (null takes it out). Raises EDatabaseError
    // SDataSetOpen when either data set is open, SDuplicateFieldName when the name is taken.
    void SetDataSet(TDataSet* dataSet);
    const String& FieldName() const { return FFieldName; }
    // Raises SDataSetOpen while the data set is open.
    void SetFieldName(const String& value);
    // FieldName prefixed by the parent fields' names ("Address.City").
    String FullName() const;
    // DisplayLabel when set, else FieldName.
    String DisplayName() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    String DisplayLabel() const { return DisplayName(); }
    void SetDisplayLabel(const String& value);
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return FFieldKind; }
    // Raises SDataSetOpen while the data set is open.
    void SetFieldKind(TFieldKind value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool value) { SetFieldKind(value ? fkCalculated : fkData); }
    bool Lookup() const { return FFieldKind == fkLookup; }
    void SetLookup(bool value) { SetFieldKind(value ? fkLookup : fkData); }
    // The storage column (1-based); 0 or below for calculated and unbound fields.
    Integer FieldNo() const { return FFieldNo; }
    // Position in its data set's Fields (or its parent's); SetIndex moves it there.
    Integer Index() const;
    void SetIndex(Integer value);
    TObjectField* ParentField() const { return FParentField; }
    // Makes the field a child of an object field (and of its data set).
    void SetParentField(TObjectField* value);
    Integer Size() const { return FSize; }
    // Raises SDataSetOpen while open and SInvalidFieldSize for a size the type rejects.
    void SetSize(Integer value);
    // Bytes of the native buffer.
    Integer DataSize() const { return GetDataSize(); }
    // Where a calculated or lookup field's value sits in the data set's calculated
    // area of a record buffer (set when the data set binds its fields).
    Integer Offset() const { return FOffset; }

    // -- Appearance and rules --------------------------------------------------------------
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // In characters; 0 (the default) means the type's default width.
    Integer DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
    void SetDisplayWidth(Integer value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    bool Required() const { return FRequired; }
    void SetRequired(bool value) { FRequired = value; }
    const String& EditMask() const { return FEditMask; }
    void SetEditMask(const String& value);
    // Stored for data sets that evaluate it; the base classes do not apply it to new records.
    const String& DefaultExpression() const { return FDefaultExpression; }
    void SetDefaultExpression(const String& value) { FDefaultExpression = value; }
    // A field can be written when it is not read-only, its data set is open and
    // modifiable, and it is not a (non-internal) calculated or lookup field.
    bool CanModify() const { return GetCanModify(); }
    // Characters the editor lets through; any character for most types.
    virtual bool IsValidChar(Char c) const;

    // -- Values ------------------------------------------------------------------------------
    // Reading a null field gives 0, "", false or Null; the setters mark the record modified
    // and fire deFieldChange. A setter outside edit modes raises SNotEditing (from the data
    // set), a read-only field raises SFieldReadOnly, a value outside the type's range raises
    // SFieldRangeError and a type that cannot take the value raises SFieldAccessError.
    String AsString() const { return GetAsString(); }
    virtual void SetAsString(const String& value);
    Integer AsInteger() const { return GetAsInteger(); }
    virtual void SetAsInteger(Integer value);
    Int64 AsLargeInt() const { return GetAsLargeInt(); }
    virtual void SetAsLargeInt(Int64 value);
    double AsFloat() const { return GetAsFloat(); }
    virtual void SetAsFloat(double value);
    Currency AsCurrency() const { return GetAsCurrency(); }
    virtual void SetAsCurrency(Currency value);
    bool AsBoolean() const { return GetAsBoolean(); }
    virtual void SetAsBoolean(bool value);
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    virtual void SetAsDateTime(TDateTime value);
    TBcd AsBCD() const { return GetAsBCD(); }
    virtual void SetAsBCD(const TBcd& value);
    TSQLTimeStamp AsSQLTimeStamp() const { return GetAsSQLTimeStamp(); }
    virtual void SetAsSQLTimeStamp(const TSQLTimeStamp& value);
    std::vector<Byte> AsBytes() const { return GetAsBytes(); }
    virtual void SetAsBytes(const std::vector<Byte>& value);
    // Null for a null field. Setting Null or Unassigned clears the field.
    Variant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const Variant& value);
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& value) { SetAsVariant(value); }
    bool IsNull() const { return GetIsNull(); }
    // Sets the field to null.
    virtual void Clear();

    // Text for editing: OnGetText(displayText false) when assigned, else GetText.
    String Text() const;
    String EditText() const { return Text(); }
    // Parses the text into the value: OnSetText when assigned, else SetText. Bad text
    // raises EConvertError and leaves the value as it was; empty text clears the field.
    void SetEditText(const String& value);
    // Text for display: OnGetText(displayText true) when assigned, else GetText with
    // DisplayFormat applied.
    String DisplayText() const;

    // -- Raw access ----------------------------------------------------------------------
    // The value in the native format (or the converted one); false when null. buffer
    // may be null to test for null only. Raises SDataSetMissing without a data set.
    bool GetData(void* buffer, bool nativeFormat = true) const;
    // Writes buffer (null clears) through the data set.
    void SetData(const void* buffer, bool nativeFormat = true);
    // Fires OnValidate with buffer as the field's value: reading the field inside the
    // handler gives the value being written. The data set calls it from SetFieldData.
    void Validate(const void* buffer);
    // Asks the data-aware control showing this field to take the focus (deFocusControl).
    void FocusControl();

    // -- Lookup ------------------------------------------------------------------------------
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* value);
    const String& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const String& value);
    const String& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const String& value);
    const String& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const String& value);
    // Accepted for compatibility; values are looked up every time.
    bool LookupCache() const { return FLookupCache; }
    void SetLookupCache(bool value) { FLookupCache = value; }

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

    void Assign(const TPersistent* source) override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    friend class TDataSet;
    friend class TFields;
    friend class TObjectField;
    friend class TFieldDef;

    virtual String GetAsString() const;
    virtual Integer GetAsInteger() const;
    virtual Int64 GetAsLargeInt() const;
    virtual double GetAsFloat() const;
    virtual Currency GetAsCurrency() const;
    virtual bool GetAsBoolean() const;
    virtual TDateTime GetAsDateTime() const;
    virtual TBcd GetAsBCD() const;
    virtual TSQLTimeStamp GetAsSQLTimeStamp() const;
    virtual std::vector<Byte> GetAsBytes() const;
    virtual Variant GetAsVariant() const;
    // The non-null part of SetAsVariant.
    virtual void SetVarValue(const Variant& value);
    // The text of the value; displayText selects DisplayFormat over EditFormat.
    virtual void GetText(String& text, bool displayText) const;
    // Parses text into the value (AsString by default).
    virtual void SetText(const String& value);
    virtual Integer GetDataSize() const { return 0; }
    virtual Integer GetDefaultWidth() const { return 10; }
    virtual bool GetIsNull() const { return !GetData(nullptr); }
    virtual bool GetCanModify() const;
    // The placeholder text of types without a text form, "(Blob)" style.
    virtual String GetClassDesc() const;
    // Raises SInvalidFieldSize when the type does not accept size.
    virtual void CheckTypeSize(Integer value) const;
    // Called when the data set binds (opens) or unbinds (closes) its fields.
    virtual void Bind(bool binding);
    virtual void Change();
    // Fields of the framework set their type in their constructor.
    void SetDataType(TFieldType value) { FDataType = value; }
    void SetFieldNo(Integer value) { FFieldNo = value; }
    void SetOffset(Integer value) { FOffset = value; }
    // Tells the data set's controls that a display property changed.
    void PropertyChanged(bool layoutAffected);
    // Resolves a lookup field's value from its lookup data set (calculated-fields state).
    void CalcLookupValue();
    void CheckInactive() const;
    [[noreturn]] void AccessError(StringView typeName) const;
    [[noreturn]] void RangeError(double value, double min, double max) const;

private:
    TDataSet* FDataSet = nullptr;
    TObjectField* FParentField = nullptr;
    String FFieldName;
    String FDisplayLabel;
    String FEditMask;
    String FDefaultExpression;
    TFieldType FDataType = ftUnknown;
    TFieldKind FFieldKind = fkData;
    Integer FFieldNo = 0;
    Integer FSize = 0;
    Integer FOffset = 0;
    Integer FDisplayWidth = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FLookupCache = false;
    // Set while OnValidate runs: reads answer FValueBuffer instead of the record.
    bool FValidating = false;
    const void* FValueBuffer = nullptr;
    TDataSet* FLookupDataSet = nullptr;
    String FKeyFields;
    String FLookupKeyFields;
    String FLookupResultField;
};

// ======================================================================================
// [SECTION] Field lists
// ======================================================================================

// A data set's (or object field's) fields in order. The list does not own the fields
// (their owner component does), but Clear frees them, as the framework's does.
class TFields : public TObject {
public:
    // dataSet is the data set the fields belong to; parentField the object field whose
    // children these are (null at the top level).
    explicit TFields(TDataSet* dataSet, TObjectField* parentField = nullptr);
    ~TFields() override;

    Integer Count() const { return static_cast<Integer>(FList.size()); }
    // Raises EDatabaseError SFieldIndexError (with the data set) outside 0..Count-1.
    TField* Fields(Integer index) const;
    TField* operator[](Integer index) const { return Fields(index); }
    // By FieldName without regard to case; null when missing.
    TField* FindField(StringView fieldName) const;
    // Raises EDatabaseError SFieldNotFound with the data set as component.
    TField* FieldByName(StringView fieldName) const;
    TField* FieldByNumber(Integer fieldNo) const;
    Integer IndexOf(const TField* field) const;
    // Raises SFieldNameMissing for an empty name and SDuplicateFieldName when taken.
    void CheckFieldName(StringView fieldName) const;
    void Add(TField* field);
    void Remove(TField* field);
    // Frees every field.
    void Clear();
    // The data set of the fields (for children, their object field's data set).
    TDataSet* DataSet() const;
    TObjectField* ParentField() const { return FParentField; }

    std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
    std::vector<TField*>::const_iterator end() const { return FList.end(); }

protected:
    friend class TField;
    void SetFieldIndex(TField* field, Integer value);
    void Changed();
    // Sets the data set of a field and of its children.
    static void SetDataSetOfTree(TField* field, TDataSet* dataSet);

private:
    TDataSet* FDataSet;
    TObjectField* FParentField;
    std::vector<TField*> FList;
};

// Every field of a data set, object fields' children included (parents before
// children); names are full names.
class TFieldList {
public:
    Integer Count() const { return static_cast<Integer>(FList.size()); }
    TField* Fields(Integer index) const { return FList.at(static_cast<std::size_t>(index)); }
    TField* operator[](Integer index) const { return Fields(index); }
    // By full name without regard to case; null when missing.
    TField* Find(StringView fullName) const;
    Integer IndexOf(const TField* field) const;
    void Rebuild(const TFields& fields);
    std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
    std::vector<TField*>::const_iterator end() const { return FList.end(); }

private:
    void AddFields(const TFields& fields);
    std::vector<TField*> FList;
};

// ======================================================================================
// [SECTION] Text fields
// ======================================================================================

class TStringField : public TField {
public:
    explicit TStringField(TComponent* owner);
    // Fixed-length text (ftFixedChar / ftFixedWideChar): trailing blanks are removed on reading.
    bool FixedChar() const { return DataType() == ftFixedChar || DataType() == ftFixedWideChar; }
    void SetFixedChar(bool value);
    // Text longer than Size is cut to Size (bytes of UTF-8, never inside a character).
    void SetAsString(const String& value) override;
    void SetAsInteger(Integer value) override;
    void SetAsLargeInt(Int64 value) override;
    void SetAsFloat(double value) override;
    void SetAsBoolean(bool value) override;
    void SetAsDateTime(TDateTime value) override;

protected:
    String GetAsString() const override;
    Integer GetAsInteger() const override;
    Int64 GetAsLargeInt() const override;
    double GetAsFloat() const override;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    Integer GetDataSize() const override { return Size() + 1; }
    Integer GetDefaultWidth() const override { return Size(); }
    void CheckTypeSize(Integer value) const override;
    // The text, or false when null.
    virtual bool GetValue(String& value) const;
};

class TWideStringField : public TStringField {
public:
    explicit TWideStringField(TComponent* owner);
    void SetAsString(const String& value) override;

protected:
    Integer GetDataSize() const override { return (Size() + 1) * 2; }
    bool GetValue(String& value) const override;
};

// A GUID as its 38-character text "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
class TGuidField : public TStringField {
public:
    explicit TGuidField(TComponent* owner);
    // Raises EConvertError SFieldValueError for text that is no GUID.
    void SetAsString(const String& value) override;

protected:
    void CheckTypeSize(Integer value) const override;
};

// ======================================================================================
// [SECTION] Numeric fields
// ======================================================================================

class TNumericField : public TField {
public:
    explicit TNumericField(TComponent* owner);
    // FormatFloat patterns; EditFormat falls back to DisplayFormat when empty.
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& value);
    const String& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const String& value);
    bool IsValidChar(Char c) const override;

protected:
    // The format GetText applies: DisplayFormat for display, EditFormat (or DisplayFormat) otherwise.
    const String& TextFormat(bool displayText) const;

private:
    String FDisplayFormat;
    String FEditFormat;
};

// ftInteger, and through its subclasses ftSmallint, ftShortint, ftByte, ftWord, ftAutoInc.
class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* owner);
    // 0/0 means no limit beyond the type's own range.
    Integer MinValue() const { return FMinValue; }
    void SetMinValue(Integer value);
    Integer MaxValue() const { return FMaxValue; }
    void SetMaxValue(Integer value);
    void SetAsString(const String& value) override;
    void SetAsInteger(Integer value) override;
    void SetAsLargeInt(Int64 value) override;
    void SetAsFloat(double value) override;
    bool IsValidChar(Char c) const override;

protected:
    String GetAsString() const override;
    Integer GetAsInteger() const override;
    Int64 GetAsLargeInt() const override { return GetAsInteger(); }
    double GetAsFloat() const override { return GetAsInteger(); }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override;
    Integer GetDefaultWidth() const override { return 11; }
    bool GetValue(Integer& value) const;
    void SetRange(Integer minRange, Integer maxRange) {
        FMinRange = minRange;
        FMaxRange = maxRange;
    }
    void CheckRange(Int64 value) const;

private:
    Integer FMinValue = 0;
    Integer FMaxValue = 0;
    Integer FMinRange;
    Integer FMaxRange;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* owner);

protected:
    Integer GetDefaultWidth() const override { return 6; }
};
class TShortintField : public TIntegerField {
public:
    explicit TShortintField(TComponent* owner);

protected:
    Integer GetDefaultWidth() const override { return 4; }
};
class TByteField : public TIntegerField {
public:
    explicit TByteField(TComponent* owner);

protected:
    Integer GetDefaultWidth() const override { return 3; }
};
class TWordField : public TIntegerField {
public:
    explicit TWordField(TComponent* owner);

protected:
    Integer GetDefaultWidth() const override { return 5; }
};
// The storage assigns the value of a new record.
class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* owner);
};

// ftLargeint and (through TLongWordField) ftLongWord.
class TLargeintField : public TNumericField {
public:
    explicit TLargeintField(TComponent* owner);
    Int64 MinValue() const { return FMinValue; }
    void SetMinValue(Int64 value) { FMinValue = value; }
    Int64 MaxValue() const { return FMaxValue; }
    void SetMaxValue(Int64 value) { FMaxValue = value; }
    void SetAsString(const String& value) override;
    void SetAsInteger(Integer value) override { SetAsLargeInt(value); }
    void SetAsLargeInt(Int64 value) override;
    void SetAsFloat(double value) override;
    bool IsValidChar(Char c) const override;

protected:
    String GetAsString() const override;
    Integer GetAsInteger() const override;
    Int64 GetAsLargeInt() const override;
    double GetAsFloat() const override { return static_cast<double>(GetAsLargeInt()); }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override { return DataType() == ftLongWord ? 4 : 8; }
    Integer GetDefaultWidth() const override { return 15; }
    bool GetValue(Int64& value) const;

private:
    Int64 FMinValue = 0;
    Int64 FMaxValue = 0;
};

class TLongWordField : public TLargeintField {
public:
    explicit TLongWordField(TComponent* owner);
    void SetAsLargeInt(Int64 value) override;

protected:
    Variant GetAsVariant() const override;
    Integer GetDefaultWidth() const override { return 10; }
};

// ftFloat; ftCurrency through TCurrencyField, ftSingle and ftExtended through theirs.
class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* owner);
    // Formats as money (ffCurrency for display, ffFixed for editing) when no format is set.
    bool GetCurrency() const { return FCurrency; }
    void SetCurrency(bool value);
    // Significant digits of the default format (15).
    Integer Precision() const { return FPrecision; }
    void SetPrecision(Integer value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double value) { FMinValue = value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value) { FMaxValue = value; }
    void SetAsString(const String& value) override;
    void SetAsInteger(Integer value) override { SetAsFloat(value); }
    void SetAsLargeInt(Int64 value) override { SetAsFloat(static_cast<double>(value)); }
    void SetAsFloat(double value) override;
    void SetAsCurrency(Currency value) override { SetAsFloat(value.ToDouble()); }
    bool IsValidChar(Char c) const override;

protected:
    String GetAsString() const override;
    Integer GetAsInteger() const override;
    Int64 GetAsLargeInt() const override;
    double GetAsFloat() const override;
    Currency GetAsCurrency() const override { return Currency::FromDouble(GetAsFloat()); }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override { SetAsFloat(value.AsDouble()); }
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override { return DataType() == ftSingle ? 4 : 8; }
    Integer GetDefaultWidth() const override { return 10; }
    bool GetValue(double& value) const;

private:
    bool FCurrency = false;
    Integer FPrecision = 15;
    double FMinValue = 0;
    double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* owner);
};
class TSingleField : public TFloatField {
public:
    explicit TSingleField(TComponent* owner);
};
class TExtendedField : public TFloatField {
public:
    explicit TExtendedField(TComponent* owner);
};

// ftBCD: a TBcd in the buffer, handled as Currency (Size is the number of decimals).
class TBCDField : public TNumericField {
public:
    explicit TBCDField(TComponent* owner);
    bool GetCurrency() const { return FCurrency; }
    void SetCurrency(bool value);
    // Total digits; 0 means as many as the value needs.
    Integer Precision() const { return FPrecision; }
    void SetPrecision(Integer value);
    void SetAsString(const String& value) override;
    void SetAsInteger(Integer value) override { SetAsCurrency(Currency::FromInt(value)); }
    void SetAsLargeInt(Int64 value) override { SetAsCurrency(Currency::FromInt(value)); }
    void SetAsFloat(double value) override { SetAsCurrency(Currency::FromDouble(value)); }
    void SetAsCurrency(Currency value) override;
    void SetAsBCD(const TBcd& value) override;
    bool IsValidChar(Char c) const override;

protected:
    String GetAsString() const override;
    Integer GetAsInteger() const override;
    Int64 GetAsLargeInt() const override;
    double GetAsFloat() const override { return GetAsCurrency().ToDouble(); }
    Currency GetAsCurrency() const override;
    TBcd GetAsBCD() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override { return static_cast<Integer>(sizeof(TBcd)); }
    Integer GetDefaultWidth() const override;
    void CheckTypeSize(Integer value) const override;

private:
    bool FCurrency = false;
    Integer FPrecision = 0;
};

// ftFMTBcd: a TBcd of up to 64 digits, handled as TBcd.
class TFMTBCDField : public TNumericField {
public:
    explicit TFMTBCDField(TComponent* owner);
    bool GetCurrency() const { return FCurrency; }
    void SetCurrency(bool value);
    Integer Precision() const { return FPrecision; }
    void SetPrecision(Integer value);
    void SetAsString(const String& value) override;
    void SetAsInteger(Integer value) override { SetAsBCD(IntegerToBcd(value)); }
    void SetAsLargeInt(Int64 value) override { SetAsBCD(IntegerToBcd(value)); }
    void SetAsFloat(double value) override { SetAsBCD(DoubleToBcd(value)); }
    void SetAsCurrency(Currency value) override { SetAsBCD(CurrencyToBcd(value)); }
    void SetAsBCD(const TBcd& value) override;
    bool IsValidChar(Char c) const override;

protected:
    String GetAsString() const override;
    Integer GetAsInteger() const override;
    Int64 GetAsLargeInt() const override;
    double GetAsFloat() const override;
    Currency GetAsCurrency() const override;
    TBcd GetAsBCD() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override { return static_cast<Integer>(sizeof(TBcd)); }
    Integer GetDefaultWidth() const override;
    void CheckTypeSize(Integer value) const override;

private:
    bool FCurrency = false;
    Integer FPrecision = 15;
};

// ======================================================================================
// [SECTION] Boolean and date fields
// ======================================================================================

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* owner);
    // "True;False": the texts of true and false; either may be empty.
    const String& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const String& value);
    // Accepts a case-insensitive prefix of either text; empty text clears (or sets the
    // value whose text is empty). Anything else raises EConvertError SInvalidBoolValue.
    void SetAsString(const String& value) override;
    void SetAsBoolean(bool value) override;
    void SetAsInteger(Integer value) override { SetAsBoolean(value != 0); }

protected:
    String GetAsString() const override;
    bool GetAsBoolean() const override;
    Integer GetAsInteger() const override { return GetAsBoolean() ? 1 : 0; }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override { SetAsBoolean(value.AsBoolean()); }
    Integer GetDataSize() const override { return 2; }
    Integer GetDefaultWidth() const override;

private:
    String FDisplayValues;
    String FTextValues[2]; // [0] false, [1] true
};

// ftDateTime; ftDate and ftTime through TDateField and TTimeField.
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* owner);
    // A FormatDateTime pattern for display; empty means the locale's short date (ftDate),
    // long time (ftTime) or "c" (ftDateTime).
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& value);
    // Empty text clears; other text is parsed with the locale's formats (EConvertError).
    void SetAsString(const String& value) override;
    void SetAsDateTime(TDateTime value) override;
    void SetAsFloat(double value) override { SetAsDateTime(value); }
    void SetAsSQLTimeStamp(const TSQLTimeStamp& value) override {
        SetAsDateTime(SQLTimeStampToDateTime(value));
    }

protected:
    String GetAsString() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    TSQLTimeStamp GetAsSQLTimeStamp() const override { return DateTimeToSQLTimeStamp(GetAsDateTime()); }
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override { SetAsDateTime(value.AsDateTime()); }
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override;
    Integer GetDefaultWidth() const override;

private:
    String FDisplayFormat;
};

class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* owner);
};
class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* owner);
};

// ftTimeStamp: a TSQLTimeStamp in the buffer.
class TSQLTimeStampField : public TField {
public:
    explicit TSQLTimeStampField(TComponent* owner);
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& value);
    void SetAsString(const String& value) override;
    void SetAsDateTime(TDateTime value) override { SetAsSQLTimeStamp(DateTimeToSQLTimeStamp(value)); }
    void SetAsSQLTimeStamp(const TSQLTimeStamp& value) override;

protected:
    String GetAsString() const override;
    TDateTime GetAsDateTime() const override;
    TSQLTimeStamp GetAsSQLTimeStamp() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override { SetAsSQLTimeStamp(VarToSQLTimeStamp(value)); }
    void GetText(String& text, bool displayText) const override;
    Integer GetDataSize() const override { return static_cast<Integer>(sizeof(TSQLTimeStamp)); }
    Integer GetDefaultWidth() const override { return 20; }

private:
    String FDisplayFormat;
};

// ======================================================================================
// [SECTION] Binary and blob fields
// ======================================================================================

// ftBytes and (through TVarBytesField) ftVarBytes. The Variant form is a string holding
// one byte per character.
class TBinaryField : public TField {
public:
    explicit TBinaryField(TComponent* owner);
    void SetAsString(const String& value) override;
    void SetAsBytes(const std::vector<Byte>& value) override;

protected:
    String GetAsString() const override;
    std::vector<Byte> GetAsBytes() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    void GetText(String& text, bool displayText) const override;
    void CheckTypeSize(Integer value) const override;
};

class TBytesField : public TBinaryField {
public:
    explicit TBytesField(TComponent* owner);

protected:
    Integer GetDataSize() const override { return Size(); }
};

class TVarBytesField : public TBinaryField {
public:
    explicit TVarBytesField(TComponent* owner);

protected:
    Integer GetDataSize() const override { return Size() + 2; }
};

// Binary large objects, read and written through the data set's CreateBlobStream. A data
// set answers GetFieldData(blobField, nullptr) with whether the value is non-empty. The
// text of a blob for display and editing is its class placeholder ("(MEMO)", "(Blob)").
// AsString of a binary blob maps each byte to one character; TMemoField reads UTF-8
// and TWideMemoField UTF-16.
class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* owner);
    TFieldType BlobType() const { return DataType(); }
    void SetBlobType(TFieldType value);
    // Size of the stored value in bytes (0 when null).
    Integer BlobSize() const;
    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    // Replace the value with the whole of stream / write the value to stream at its position.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void SetAsString(const String& value) override;
    void SetAsBytes(const std::vector<Byte>& value) override;
    void Clear() override;

protected:
    String GetAsString() const override;
    std::vector<Byte> GetAsBytes() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    void GetText(String& text, bool displayText) const override;
    String GetClassDesc() const override;
    void CheckTypeSize(Integer value) const override;
    // Text of the stored bytes in this class's encoding, and back.
    virtual String BytesToText(const std::vector<Byte>& bytes) const;
    virtual std::vector<Byte> TextToBytes(StringView text) const;
    Integer GetDefaultWidth() const override { return 10; }

private:
    bool FModified = false;
};

class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* owner);

protected:
    String BytesToText(const std::vector<Byte>& bytes) const override;
    std::vector<Byte> TextToBytes(StringView text) const override;
};

class TWideMemoField : public TBlobField {
public:
    explicit TWideMemoField(TComponent* owner);

protected:
    String BytesToText(const std::vector<Byte>& bytes) const override;
    std::vector<Byte> TextToBytes(StringView text) const override;
};

// Pictures; the picture classes of the user-interface layer read the bytes.
class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(TComponent* owner);
};

// ======================================================================================
// [SECTION] Object fields
// ======================================================================================

// A field made of child fields (ADT and array types). Its value is a Variant array of
// the children's values.
class TObjectField : public TField {
public:
    explicit TObjectField(TComponent* owner);
    ~TObjectField() override;
    TFields* Fields() const { return FFields.get(); }
    Integer FieldCount() const { return FFields->Count(); }
    const String& ObjectType() const { return FObjectType; }
    void SetObjectType(const String& value) { FObjectType = value; }

protected:
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    String GetAsString() const override;
    bool GetIsNull() const override;
    Integer GetDefaultWidth() const override;
    void CheckTypeSize(Integer value) const override;

private:
    std::unique_ptr<TFields> FFields;
    String FObjectType;
};

class TADTField : public TObjectField {
public:
    explicit TADTField(TComponent* owner);
};

// Size is the number of elements; children are named "Name[0]", "Name[1]", ...
class TArrayField : public TObjectField {
public:
    explicit TArrayField(TComponent* owner);
};

// A field whose value is a whole data set (nested table). A data set attaches itself as
// the nested one through TDataSet::SetDataSetField; without one, NestedDataSet asks the
// field's data set for one (CreateNestedDataSet) and owns what it gets, so that one goes
// with the field (a default field goes when its data set closes). Null when the record
// holds no nested records.
class TDataSetField : public TObjectField {
public:
    explicit TDataSetField(TComponent* owner);
    ~TDataSetField() override;
    TDataSet* NestedDataSet() const;
    bool IncludeObjectField() const { return FIncludeObjectField; }
    void SetIncludeObjectField(bool value) { FIncludeObjectField = value; }

protected:
    friend class TDataSet;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    String GetClassDesc() const override { return u"(DataSet)"; }
    String GetAsString() const override { return GetClassDesc(); }
    void GetText(String& text, bool displayText) const override;
    bool GetIsNull() const override;

private:
    TDataSet* FNestedDataSet = nullptr;
    mutable std::unique_ptr<TDataSet> FOwnedDataSet;
    bool FIncludeObjectField = false;
};

// A reference to an object in another table, kept as its opaque bytes (read and written
// like a blob: AsBytes, or Value as one character per byte).
class TReferenceField : public TDataSetField {
public:
    explicit TReferenceField(TComponent* owner);
    const String& ReferenceTableName() const { return FReferenceTableName; }
    void SetReferenceTableName(const String& value) { FReferenceTableName = value; }
    void SetAsBytes(const std::vector<Byte>& value) override;
    void Clear() override;

protected:
    String GetClassDesc() const override { return u"(Reference)"; }
    std::vector<Byte> GetAsBytes() const override;
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;

private:
    String FReferenceTableName;
};

// A new field object of the class for type (owned by owner), or null for a type without
// field class.
TField* CreateFieldOfType(TFieldType type, TComponent* owner);

} // namespace mv
