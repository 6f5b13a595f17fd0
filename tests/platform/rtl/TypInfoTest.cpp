// Published properties by name and "."-path: every kind, enumerations by value name,
// sets, object references with a class filter, inheritance of registrations, errors.
#include "platform/rtl/TypInfo.h"

#include "platform/rtl/Exceptions.h"
#include "StreamingSamples.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using namespace samples;

// A descendant that redeclares Width with another default and adds a property.
class TWidePanel : public TSamplePanel {
    MV_CLASS(TWidePanel, TSamplePanel);
    using TSamplePanel::TSamplePanel;
    String Hint;
    static void RegisterProperties(TPropertyRegistrar<TWidePanel>& r) {
        r.IntegerProp(
             u"Width", [](const TWidePanel& p) { return p.Width; },
             [](TWidePanel& p, Integer v) { p.Width = v; })
            .Default(300);
        r.StringProp(
            u"Hint", [](const TWidePanel& p) { return p.Hint; },
            [](TWidePanel& p, const String& v) { p.Hint = v; });
    }
};

template <typename E, typename F> String MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return u"(no exception)";
}

TEST(TypInfoTest, ScalarPropertiesByName) {
    RegisterSampleColors();
    TSamplePanel panel(nullptr);
    SetStrProp(&panel, u"caption", u"Orders");
    EXPECT_EQ(panel.Caption, u"Orders");
    EXPECT_EQ(GetStrProp(&panel, u"Caption"), u"Orders");

    SetOrdProp(&panel, u"Width", 250);
    EXPECT_EQ(panel.Width, 250);
    EXPECT_EQ(GetOrdProp(&panel, u"Width"), 250);
    SetOrdProp(&panel, u"Big", Int64{1} << 40);
    EXPECT_EQ(panel.Big, Int64{1} << 40);

    SetFloatProp(&panel, u"Ratio", 0.25);
    EXPECT_EQ(GetFloatProp(&panel, u"Ratio"), 0.25);

    // Enumerations and Booleans by value name, any case on the way in.
    SetEnumProp(&panel, u"Align", u"alclient");
    EXPECT_EQ(panel.Align, alClient);
    EXPECT_EQ(GetEnumProp(&panel, u"Align"), u"alClient");
    EXPECT_EQ(GetEnumProp(&panel, u"Visible"), u"True");
    SetEnumProp(&panel, u"Visible", u"False");
    EXPECT_FALSE(panel.Visible);
    EXPECT_EQ(MessageOf<EPropertyError>([&] { SetEnumProp(&panel, u"Align", u"alLeft"); }),
              u"Invalid property element: alLeft");
    EXPECT_EQ(panel.Align, alClient);

    SetSetProp(&panel, u"Flags", u"[lfItalic, lfBold]");
    EXPECT_EQ(panel.Flags, (TLineFlags{lfBold, lfItalic}));
    EXPECT_EQ(GetSetProp(&panel, u"Flags"), u"lfBold,lfItalic");
    EXPECT_EQ(GetSetProp(&panel, u"Flags", true), u"[lfBold,lfItalic]");
    SetSetProp(&panel, u"Flags", u"");
    EXPECT_TRUE(panel.Flags.Empty());
    EXPECT_THROW(SetSetProp(&panel, u"Flags", u"[lfBold,lfWide]"), EPropertyError);

    // Texts of any scalar kind; colours by identifier.
    panel.Color = 0x0000FF;
    EXPECT_EQ(GetPropText(&panel, u"Color"), u"clRed");
    SetPropText(&panel, u"Color", u"clWhite");
    EXPECT_EQ(panel.Color, 0xFFFFFF);
    SetPropText(&panel, u"Color", u"$00123456");
    EXPECT_EQ(panel.Color, 0x123456);
    SetPropText(&panel, u"Ratio", u"1.5E3");
    EXPECT_EQ(panel.Ratio, 1500.0);
    EXPECT_EQ(GetPropText(&panel, u"Ratio"), u"1500.0");
    EXPECT_EQ(GetPropText(&panel, u"Align"), u"alClient");
    EXPECT_THROW(SetPropText(&panel, u"Width", u"wide"), EPropertyError);
    EXPECT_THROW(SetPropText(&panel, u"Ratio", u"1,5"), EPropertyError);
}

TEST(TypInfoTest, PathsObjectsAndExistence) {
    TSampleForm form(nullptr);
    auto* panel = new TSamplePanel(&form);
    auto* data = new TSampleData(&form);
    panel->DataSet = data;

    // "."-paths step into object properties.
    SetStrProp(panel, u"DataSet.CommandText", u"SELECT * FROM t");
    EXPECT_EQ(data->CommandText, u"SELECT * FROM t");
    EXPECT_EQ(GetEnumProp(panel, u"DataSet.CursorLocation"), u"clUseServer");
    SetEnumProp(panel, u"DataSet.CursorLocation", u"clUseClient");
    EXPECT_EQ(data->Cursor, clUseClient);
    SetOrdProp(panel, u"Font.Size", 12);
    EXPECT_EQ(panel->Font().Size(), 12);

    EXPECT_TRUE(IsPublishedProp(panel, u"DataSet.CommandText"));
    EXPECT_TRUE(IsPublishedProp(panel, u"caption"));
    EXPECT_FALSE(IsPublishedProp(panel, u"Captions"));
    EXPECT_FALSE(IsPublishedProp(panel, u"DataSet.SQL"));
    EXPECT_FALSE(IsPublishedProp(panel, u"Caption.Length"));
    EXPECT_TRUE(IsPublishedProp(ClassOf<TSampleData>(), u"IndexFieldNames") == false);
    EXPECT_TRUE(IsPublishedProp(ClassOf<TSampleData>(), u"Name")); // inherited from TComponent
    EXPECT_EQ(PropType(panel, u"Items"), tkClass);
    EXPECT_TRUE(PropIsType(panel, u"DataSet.CursorLocation", tkEnumeration));

    // Object properties with a class filter.
    EXPECT_EQ(GetObjectProp(panel, u"DataSet"), data);
    EXPECT_EQ(GetObjectProp<TSampleData>(panel, u"DataSet"), data);
    EXPECT_EQ(GetObjectProp(panel, u"DataSet", ClassOf<TSamplePanel>()), nullptr);
    EXPECT_EQ(GetObjectProp(panel, u"DataSet", ClassOf<TComponent>()), data);
    SetObjectProp(panel, u"Source", data);
    EXPECT_EQ(panel->Source(), data);
    EXPECT_EQ(MessageOf<EPropertyError>([&] { SetObjectProp(panel, u"DataSet", panel); }),
              u"Property DataSet of TSamplePanel is not of type TSampleData");
    SetObjectProp(panel, u"DataSet", nullptr);
    EXPECT_EQ(panel->DataSet, nullptr);

    // Errors name the property and the class or path.
    EXPECT_EQ(MessageOf<EPropertyError>([&] { GetStrProp(panel, u"DataSet.CommandText"); }),
              u"Property DataSet is nil in path DataSet.CommandText");
    EXPECT_FALSE(IsPublishedProp(panel, u"DataSet.CommandText"));
    EXPECT_EQ(MessageOf<EPropertyError>([&] { GetStrProp(panel, u"Bogus"); }),
              u"Property Bogus does not exist in TSamplePanel");
    EXPECT_EQ(MessageOf<EPropertyError>([&] { GetStrProp(panel, u"Width"); }),
              u"Property Width of TSamplePanel is not of type String");
    EXPECT_EQ(MessageOf<EPropertyError>([&] { SetObjectProp(panel, u"ReadOnlyParent", nullptr); }),
              u"Property ReadOnlyParent of TSamplePanel is read-only");
    EXPECT_EQ(MessageOf<EPropertyError>([&] { SetOrdProp(panel, u"Width", Int64{1} << 33); }),
              u"Invalid property element: 8589934592");
    EXPECT_THROW(SetOrdProp(panel, u"Align", 4), EPropertyError);
    EXPECT_EQ(panel->Align, alNone);
}

TEST(TypInfoTest, InheritedRegistrationsAndStoredPredicates) {
    TWidePanel wide(nullptr);
    TSamplePanel plain(nullptr);
    const TPropInfo* wideWidth = GetPropInfo(&wide, u"Width");
    const TPropInfo* plainWidth = GetPropInfo(&plain, u"Width");
    ASSERT_NE(wideWidth, nullptr);
    ASSERT_NE(plainWidth, nullptr);
    EXPECT_EQ(wideWidth->Default(), 300);
    EXPECT_EQ(plainWidth->Default(), 100);
    EXPECT_EQ(wideWidth->OwnerClass(), ClassOf<TWidePanel>());
    EXPECT_TRUE(IsPublishedProp(&wide, u"Hint"));
    EXPECT_FALSE(IsPublishedProp(&plain, u"Hint"));
    EXPECT_TRUE(IsPublishedProp(&wide, u"Tag"));

    // Ancestors' properties first; a redeclared one keeps its place.
    const auto& props = GetPropList(&wide);
    ASSERT_GE(props.size(), 4u);
    EXPECT_EQ(props[0]->Name(), u"Name");
    EXPECT_EQ(props[1]->Name(), u"Tag");
    EXPECT_EQ(props[2]->Name(), u"Caption");
    EXPECT_EQ(props[3], wideWidth);
    EXPECT_EQ(props.back()->Name(), u"Hint");
    EXPECT_EQ(props.size(), GetPropList(&plain).size() + 1);

    EXPECT_FALSE(IsStoredProp(&plain, u"Secret"));
    plain.Secret = true;
    EXPECT_TRUE(IsStoredProp(&plain, u"Secret"));
    EXPECT_FALSE(IsStoredProp(&plain, u"Name"));
    EXPECT_FALSE(IsStoredProp(&plain, u"Font.Name"));
    plain.Font().SetName(u"Mono");
    EXPECT_TRUE(IsStoredProp(&plain, u"Font.Name"));

    EXPECT_EQ(GetPropInfo(&plain, u"Flags")->TypeName(), u"set of TLineFlag");
    EXPECT_EQ(GetPropInfo(&plain, u"Visible")->TypeName(), u"Boolean");
    EXPECT_EQ(GetPropInfo(&plain, u"DataSet")->TypeName(), u"TSampleData");
    EXPECT_EQ(GetPropInfo(&plain, u"DataSet")->PropClass(), ClassOf<TSampleData>());
}

TEST(TypInfoTest, EnumerationAndSetNames) {
    const TEnumInfo& align = *AlignInfo();
    EXPECT_EQ(GetEnumName(align, 2), u"alBottom");
    EXPECT_EQ(GetEnumName(align, 9), u"9");
    EXPECT_EQ(GetEnumValue(align, u"ALTOP"), 1);
    EXPECT_EQ(GetEnumValue(align, u"alLeft"), -1);
    const TEnumInfo& flags = *LineFlagInfo();
    EXPECT_EQ(SetToString(flags, 0b1010, true), u"[lfItalic,lfStrike]");
    EXPECT_EQ(StringToSet(flags, u" [ lfStrike ,lfBold ] "), 0b1001u);
    EXPECT_EQ(StringToSet(flags, u"[]"), 0u);
    EXPECT_THROW(StringToSet(flags, u"[lfBold"), EPropertyError);
    EXPECT_THROW(StringToSet(flags, u"lfBold,,lfItalic"), EPropertyError);
}

} // namespace
} // namespace mv
