// Published properties of the data-access classes (TypInfo.h): what form streaming and
// code that works by property name (the grid's change-order registry) read and write.
#include "platform/db/ClientDataSet.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"

namespace mv {

namespace {

const std::shared_ptr<const TEnumInfo>& FilterOptionInfo() {
    static const auto info = MakeEnumInfo(u"TFilterOption", {u"foCaseInsensitive", u"foNoPartialCompare"});
    return info;
}

const std::shared_ptr<const TEnumInfo>& IndexOptionInfo() {
    static const auto info =
        MakeEnumInfo(u"TIndexOption", {u"ixPrimary", u"ixUnique", u"ixDescending", u"ixCaseInsensitive",
                                       u"ixExpression", u"ixNonMaintained"});
    return info;
}

} // namespace

void TDataSet::RegisterProperties(TPropertyRegistrar<TDataSet>& r) {
    r.BooleanProp(u"Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
    r.BooleanProp(u"AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
    r.StringProp(u"Filter", &TDataSet::Filter, &TDataSet::SetFilter);
    r.BooleanProp(u"Filtered", &TDataSet::Filtered, &TDataSet::SetFiltered).Default(false);
    r.SetProp(u"FilterOptions", FilterOptionInfo(), &TDataSet::FilterOptions, &TDataSet::SetFilterOptions)
        .Default(TFilterOptions{});
    r.BooleanProp(u"ObjectView", &TDataSet::ObjectView, &TDataSet::SetObjectView).Default(false);
}

void TDataSource::RegisterProperties(TPropertyRegistrar<TDataSource>& r) {
    r.BooleanProp(u"AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
    r.ObjectProp<TDataSet>(u"DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
    r.BooleanProp(u"Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
}

void TCustomConnection::RegisterProperties(TPropertyRegistrar<TCustomConnection>& r) {
    r.BooleanProp(u"Connected", &TCustomConnection::Connected, &TCustomConnection::SetConnected)
        .Default(false);
}

void TIndexDef::RegisterProperties(TPropertyRegistrar<TIndexDef>& r) {
    r.StringProp(u"Name", &TIndexDef::Name, &TIndexDef::SetName);
    r.StringProp(u"Fields", &TIndexDef::Fields, &TIndexDef::SetFields);
    r.StringProp(u"DescFields", &TIndexDef::DescFields, &TIndexDef::SetDescFields);
    r.StringProp(u"CaseInsFields", &TIndexDef::CaseInsFields, &TIndexDef::SetCaseInsFields);
    r.SetProp(u"Options", IndexOptionInfo(), &TIndexDef::Options, &TIndexDef::SetOptions)
        .Default(TIndexOptions{});
    r.IntegerProp(u"GroupingLevel", &TIndexDef::GroupingLevel, &TIndexDef::SetGroupingLevel).Default(0);
    r.StringProp(u"Expression", &TIndexDef::Expression, &TIndexDef::SetExpression);
}

void TClientDataSet::RegisterProperties(TPropertyRegistrar<TClientDataSet>& r) {
    r.ObjectProp<TCustomConnection>(u"Connection", &TClientDataSet::Connection,
                                    &TClientDataSet::SetConnection);
    r.StringProp(u"CommandText", &TClientDataSet::CommandText, &TClientDataSet::SetCommandText);
    r.StringProp(u"FileName", &TClientDataSet::FileName, &TClientDataSet::SetFileName);
    r.ObjectProp<TIndexDefs>(u"IndexDefs", &TClientDataSet::IndexDefs, &TClientDataSet::SetIndexDefs);
    r.StringProp(u"IndexFieldNames", &TClientDataSet::IndexFieldNames, &TClientDataSet::SetIndexFieldNames);
    r.StringProp(u"IndexName", &TClientDataSet::IndexName, &TClientDataSet::SetIndexName);
    r.StringProp(u"MasterFields", &TClientDataSet::MasterFields, &TClientDataSet::SetMasterFields);
    r.ObjectProp<TDataSource>(u"MasterSource", &TClientDataSet::MasterSource,
                              &TClientDataSet::SetMasterSource);
    r.BooleanProp(u"ReadOnly", &TClientDataSet::ReadOnly, &TClientDataSet::SetReadOnly).Default(false);
}

void RegisterDBClasses() {
    RegisterClasses({ClassOf<TClientDataSet>(), ClassOf<TDataSource>()});
}

} // namespace mv
