// The data-access unit's shared vocabulary: field types, data-set states, get modes,
// bookmark flags, data events, locate and filter options, and the unit functions that
// raise database errors. The classes live in FieldDefs.h, Fields.h, DataSet.h and
// DataSource.h; DBConsts.h holds the message texts.
#pragma once

#include "platform/db/FilterExpr.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlTypes.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/UITypes.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace mv {

class TComponent;
class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFieldDef;
class TFieldDefs;
class TFields;
class TObjectField;

// Pointer-sized integer that data events carry (a field, a field reference, a distance).
using NativeInt = std::intptr_t;

// Numbered as the framework numbers them: streamed field definitions and messages
// depend on the order.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd,
    ftFixedWideChar,
    ftWideMemo,
    ftOraTimeStamp,
    ftOraInterval,
    ftLongWord,
    ftShortint,
    ftByte,
    ftExtended,
    ftConnection,
    ftParams,
    ftStream,
    ftTimeStampOffset,
    ftObject,
    ftSingle
};
constexpr Integer FieldTypeCount = ftSingle + 1;
using TFieldTypes = Set<TFieldType>;

// Kinds of field types, as the framework groups them.
inline const TFieldTypes ObjectFieldTypes{ftADT, ftArray, ftReference, ftDataSet};
// Object types whose child definitions are fields of the same record (a nested data set's
// and a reference's children describe another table).
inline const TFieldTypes ChildFieldTypes{ftADT, ftArray};
inline const TFieldTypes BlobFieldTypes{ftBlob,     ftMemo,        ftGraphic, ftFmtMemo, ftParadoxOle,
                                        ftDBaseOle, ftTypedBinary, ftOraBlob, ftOraClob, ftWideMemo};

// "String", "Integer", ... as the framework's messages name the types.
String FieldTypeName(TFieldType type);

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening
};
using TDataSetStates = Set<TDataSetState>;
inline const TDataSetStates dsEditModes{dsEdit, dsInsert, dsSetKey};
// States in which a field write is accepted.
inline const TDataSetStates dsWriteModes{dsEdit,   dsInsert,   dsSetKey,      dsCalcFields,
                                         dsFilter, dsNewValue, dsInternalCalc};

enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
    deParentScroll,
    deConnectChange,
    deReconcileError,
    deDisabledStateChange
};

// The field a deFieldChange/deRecordChange event carries (null for "all fields").
inline TField* DataEventField(NativeInt info) {
    return reinterpret_cast<TField*>(info);
}
// A reference to a field variable, as deFocusControl carries it: a link that takes the
// focus clears the variable so that no other link handles the request.
using TFieldRef = TField**;

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
enum TResyncMode { rmExact, rmCenter };
using TResyncModes = Set<TResyncMode>;
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = Set<TLocateOption>;
// TFilterOption / TFilterOptions (foCaseInsensitive, foNoPartialCompare) come from the
// filter-expression engine's header, included above.
enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
using TFieldKinds = Set<TFieldKind>;
enum TFieldAttribute { faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed };
using TFieldAttributes = Set<TFieldAttribute>;
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };
enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
enum TDataAction { daFail, daAbort, daRetry };

// A record buffer is raw memory whose layout the derived data set chooses.
using TRecordBuffer = Byte*;
// An opaque bookmark; empty means "no bookmark".
using TBookmark = std::vector<Byte>;

// The application's handler of exceptions that a data set reports instead of raising (one
// met in the filter or locate loop of a fetch, for instance). It runs inside the catch
// block, so std::current_exception() is the exception. Unset by default; such exceptions
// are then dropped and only their effect (a fetch that fails) remains. The framework's
// application object installs its own.
using TExceptionHandler = std::function<void(TObject* sender)>;
extern TExceptionHandler ApplicationHandleException;

// How the filter-expression engine reads and compares values of a field type (texts and
// memos as strings, the integer, float, money, BCD, boolean and date kinds; the rest as
// text). Every data set that evaluates filters over its own records answers with this.
TFilterValueKind FilterValueKindOf(TFieldType type);

// Raises EDatabaseError with message, prefixed "<Name>: " when component has a name.
[[noreturn]] void DatabaseError(const String& message, const TComponent* component = nullptr);
[[noreturn]] void DatabaseErrorFmt(const String& message, std::initializer_list<TVarRec> args,
                                   const TComponent* component = nullptr);

// False for numeric and date fields, whose alignment the user interface keeps (and for
// no field); true for the others.
bool OkToChangeFieldAlignment(const TField* field);

// Makes the unit's component classes known by name (RegisterClass: TClientDataSet,
// TDataSource), so FindClass and the form streaming can create them. Call it at start-up;
// calling it again does nothing more.
void RegisterDBClasses();

} // namespace mv
