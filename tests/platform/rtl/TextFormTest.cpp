// Component streaming in the text form format: round trips of every property kind and of
// nested components, what is left out, ancestors, DefineProperties entries, references,
// Loaded, and the rejection of malformed text without leftovers.
#include "platform/rtl/Filer.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "StreamingSamples.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using namespace samples;

// A form with a panel of every kind of value, a nested panel, a data component that is
// referenced before it is declared, and items referring to components.
void BuildSample(TSampleForm& form) {
    form.SetName(u"Form1");
    form.Title = u"Orders";
    auto* panel = new TSamplePanel(&form);
    panel->SetName(u"Panel1");
    panel->Caption = u"It's \"quoted\"\ttab \u00e9\u4e2d \U0001F600 " + String(70, u'x');
    panel->Width = 0;
    panel->Big = -(Int64{1} << 50);
    panel->Ratio = 0.1;
    panel->Align = alClient;
    panel->Flags = {lfBold, lfUnderline};
    panel->Color = 0x0000FF;
    panel->Visible = false;
    panel->Secret = true;
    panel->Items().Add(u"first");
    panel->Items().Add(u"");
    panel->Items().Add(u"line\r\nbreak");
    panel->Font().SetName(u"Mono");
    panel->Font().SetSize(11);
    panel->OrderText = u"Name DESC";
    panel->Blob = {0, 1, 0xAB, 0xFF};
    auto* child = new TSamplePanel(&form);
    child->SetName(u"Inner");
    child->SetParentComponent(panel);
    child->Caption = u"nested";
    auto* data = new TSampleData(&form);
    data->SetName(u"Data1");
    data->CommandText = u"SELECT 1";
    data->Cursor = clUseClient;
    panel->SetSource(data);
    panel->DataSet = data;
    auto* item = static_cast<TSampleItem*>(panel->Columns().Add());
    item->FieldName = u"ID";
    item->Width = 30;
    item->Source = child;
    item = static_cast<TSampleItem*>(panel->Columns().Add());
    item->Visible = false;
    item = static_cast<TSampleItem*>(panel->Extra().Add());
    item->FieldName = u"Extra";
}

TEST(TextFormTest, RoundTripKeepsEveryValue) {
    RegisterSampleClasses();
    TSampleForm original(nullptr);
    BuildSample(original);
    String text = ComponentToText(&original);

    std::unique_ptr<TComponent> read(TextToComponent(text));
    auto* form = dynamic_cast<TSampleForm*>(read.get());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Name(), u"Form1");
    EXPECT_EQ(form->Title, u"Orders");
    ASSERT_EQ(form->ComponentCount(), 3);
    auto* panel = dynamic_cast<TSamplePanel*>(form->FindComponent(u"Panel1"));
    auto* inner = dynamic_cast<TSamplePanel*>(form->FindComponent(u"Inner"));
    auto* data = dynamic_cast<TSampleData*>(form->FindComponent(u"Data1"));
    ASSERT_TRUE(panel && inner && data);
    auto* source = static_cast<TSamplePanel*>(original.FindComponent(u"Panel1"));
    EXPECT_EQ(panel->Caption, source->Caption);
    EXPECT_EQ(panel->Width, 0);
    EXPECT_EQ(panel->Big, -(Int64{1} << 50));
    EXPECT_EQ(panel->Ratio, 0.1);
    EXPECT_EQ(panel->Align, alClient);
    EXPECT_EQ(panel->Flags, (TLineFlags{lfBold, lfUnderline}));
    EXPECT_EQ(panel->Color, 0x0000FF);
    EXPECT_FALSE(panel->Visible);
    EXPECT_TRUE(panel->Secret);
    EXPECT_TRUE(panel->Items().Equals(&source->Items()));
    EXPECT_EQ(panel->Font().Name(), u"Mono");
    EXPECT_EQ(panel->Font().Size(), 11);
    EXPECT_EQ(panel->OrderTextRead, u"Name DESC");
    EXPECT_EQ(panel->Blob, source->Blob);
    EXPECT_EQ(panel->Source(), data);
    EXPECT_EQ(panel->DataSet, data);
    EXPECT_EQ(data->CommandText, u"SELECT 1");
    EXPECT_EQ(data->Cursor, clUseClient);
    ASSERT_EQ(panel->Columns().Count(), 2);
    auto* item0 = static_cast<TSampleItem*>(panel->Columns().Items(0));
    auto* item1 = static_cast<TSampleItem*>(panel->Columns().Items(1));
    EXPECT_EQ(item0->FieldName, u"ID");
    EXPECT_EQ(item0->Width, 30);
    EXPECT_TRUE(item0->Visible);
    EXPECT_EQ(item0->Source, inner);
    EXPECT_FALSE(item1->Visible);
    EXPECT_EQ(item1->Width, 64);
    ASSERT_EQ(panel->Extra().Count(), 1);
    EXPECT_EQ(static_cast<TSampleItem*>(panel->Extra().Items(0))->FieldName, u"Extra");

    // The nested panel came back as a child of the panel, owned by the root.
    EXPECT_EQ(inner->ParentPanel(), panel);
    EXPECT_EQ(inner->Owner(), form);
    EXPECT_EQ(inner->Caption, u"nested");

    // Loaded ran once per component, after the references were resolved, and the
    // loading state is over.
    EXPECT_EQ(form->LoadedCalls, 1);
    EXPECT_EQ(panel->LoadedCalls, 1);
    EXPECT_TRUE(panel->SourceSeenInLoaded);
    EXPECT_FALSE(form->ComponentState().Contains(csLoading));
    EXPECT_FALSE(panel->ComponentState().Contains(csReading));

    // Writing what was read gives the same text (OrderFields is re-set by the test's
    // panel only when asked, so copy it back first).
    panel->OrderText = panel->OrderTextRead;
    EXPECT_EQ(ComponentToText(form), text);

    // Through streams as well, into an existing root.
    TMemoryStream stream;
    WriteComponentText(stream, &original);
    stream.SetPosition(0);
    TSampleForm target(nullptr);
    EXPECT_EQ(ReadComponentText(stream, &target), &target);
    EXPECT_EQ(target.Title, u"Orders");
    EXPECT_EQ(target.ComponentCount(), 3);
}

TEST(TextFormTest, WritesOnlyStoredNonDefaultValuesInTheFormFormat) {
    RegisterSampleClasses();
    TSampleForm form(nullptr);
    form.SetName(u"F");
    auto* panel = new TSamplePanel(&form);
    panel->SetName(u"P");
    EXPECT_EQ(ComponentToText(&form), u"object F: TSampleForm\n  object P: TSamplePanel\n  end\nend\n");

    panel->Width = 100;             // the default
    panel->Secret = false;          // not stored while false
    panel->Font().SetName(u"Sans"); // stored predicate says no
    EXPECT_EQ(ComponentToText(&form), u"object F: TSampleForm\n  object P: TSamplePanel\n  end\nend\n");

    panel->Caption = u"a'b" + String(1, u'\n') + u"c";
    panel->Flags = {lfItalic, lfStrike};
    panel->Color = 0x123456;
    panel->Ratio = 2.5;
    panel->SetTag(7);
    panel->Items().Add(u"x");
    panel->Items().Add(u"y");
    static_cast<TSampleItem*>(panel->Columns().Add())->FieldName = u"A";
    panel->Columns().Add();
    panel->Blob = {0x0A, 0xFF};
    EXPECT_EQ(ComponentToText(&form), u"object F: TSampleForm\n"
                                      u"  object P: TSamplePanel\n"
                                      u"    Tag = 7\n"
                                      u"    Caption = 'a''b'#10'c'\n"
                                      u"    Ratio = 2.5\n"
                                      u"    Flags = [lfItalic, lfStrike]\n"
                                      u"    Color = 1193046\n"
                                      u"    Items.Strings = (\n"
                                      u"      'x'\n"
                                      u"      'y')\n"
                                      u"    Columns = <\n"
                                      u"      item\n"
                                      u"        FieldName = 'A'\n"
                                      u"      end\n"
                                      u"      item\n"
                                      u"      end>\n"
                                      u"    Blob = {\n"
                                      u"      0AFF}\n"
                                      u"  end\n"
                                      u"end\n");

    // Long strings are split into '+'-joined pieces that read back whole.
    panel->Caption = String(150, u'z');
    String text = ComponentToText(&form);
    EXPECT_NE(text.find(u"' +\n      'zz"), String::npos);
    TSampleForm copy(nullptr);
    TextToComponent(text, &copy);
    EXPECT_EQ(static_cast<TSamplePanel*>(copy.FindComponent(u"P"))->Caption, String(150, u'z'));
}

TEST(TextFormTest, ReadsTheFormatsVariants) {
    RegisterSampleClasses();
    TSampleForm form(nullptr);
    TextToComponent(u"\uFEFF  OBJECT Form9 : TSampleForm\r\n"
                    u"  Title = 'A' + \r\n 'B'#$43#68 +#69\r\n"
                    u"  object P : TSamplePanel\r\n"
                    u"    Width = $10\r\n"
                    u"    Big = -9223372036854775808\r\n"
                    u"    Ratio = 15\r\n"
                    u"    Color = clRed\r\n"
                    u"    Visible = false\r\n"
                    u"    Flags = []\r\n"
                    u"    Font.Size = -3\r\n"
                    u"    Items.Strings = ()\r\n"
                    u"    Columns = <item[0] Width = 5 end>\r\n"
                    u"    OrderFields = 'X'\r\n"
                    u"    Source = Form9\r\n"
                    u"  end\r\n"
                    u"END  \r\n",
                    &form);
    auto* panel = static_cast<TSamplePanel*>(form.FindComponent(u"P"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(form.Name(), u"Form9");
    EXPECT_EQ(form.Title, u"ABCDE");
    EXPECT_EQ(panel->Width, 16);
    EXPECT_EQ(panel->Big, INT64_MIN);
    EXPECT_EQ(panel->Ratio, 15.0);
    EXPECT_EQ(panel->Color, 0x0000FF);
    EXPECT_FALSE(panel->Visible);
    EXPECT_EQ(panel->Font().Size(), -3);
    EXPECT_EQ(panel->OrderTextRead, u"X");
    EXPECT_EQ(panel->Source(), &form);
    ASSERT_EQ(panel->Columns().Count(), 1);
    EXPECT_EQ(static_cast<TSampleItem*>(panel->Columns().Items(0))->Width, 5);
}

TEST(TextFormTest, AncestorsAndInheritedComponents) {
    RegisterSampleClasses();
    TSampleForm ancestor(nullptr);
    BuildSample(ancestor);
    TSampleForm derived(nullptr);
    BuildSample(derived);
    auto* panel = static_cast<TSamplePanel*>(derived.FindComponent(u"Panel1"));
    panel->Width = 77;
    auto* extra = new TSampleData(&derived);
    extra->SetName(u"Added");

    String text = ComponentToText(&derived, &ancestor);
    EXPECT_EQ(text, u"inherited Form1: TSampleForm\n"
                    u"  inherited Panel1: TSamplePanel\n"
                    u"    Width = 77\n"
                    u"    OrderFields = 'Name DESC'\n"
                    u"    Blob = {\n"
                    u"      0001ABFF}\n"
                    u"    inherited Inner: TSamplePanel\n"
                    u"    end\n"
                    u"  end\n"
                    u"  inherited Data1: TSampleData\n"
                    u"  end\n"
                    u"  object Added: TSampleData\n"
                    u"  end\n"
                    u"end\n");

    // A changed collection is written whole; a reference set back to nil is written as nil.
    static_cast<TSampleItem*>(panel->Columns().Items(1))->Width = 1;
    panel->SetSource(nullptr);
    text = ComponentToText(&derived, &ancestor);
    EXPECT_NE(text.find(u"    Source = nil\n"), String::npos);
    EXPECT_NE(text.find(u"    Columns = <\n"), String::npos);
    EXPECT_FALSE(CollectionsEqual(&panel->Columns(),
                                  &static_cast<TSamplePanel*>(ancestor.FindComponent(u"Panel1"))->Columns()));

    // Reading the descendant text into a copy of the ancestor changes the inherited
    // components in place and creates the added one.
    TSampleForm target(nullptr);
    BuildSample(target);
    auto* targetPanel = target.FindComponent(u"Panel1");
    TextToComponent(text, &target);
    EXPECT_EQ(target.FindComponent(u"Panel1"), targetPanel);
    EXPECT_EQ(static_cast<TSamplePanel*>(targetPanel)->Width, 77);
    EXPECT_EQ(static_cast<TSamplePanel*>(targetPanel)->Source(), nullptr);
    EXPECT_NE(dynamic_cast<TSampleData*>(target.FindComponent(u"Added")), nullptr);
    EXPECT_EQ(target.ComponentCount(), 4);
}

struct TBadText {
    const char16_t* Text;
    const char16_t* Message;
    bool ClassNotFound = false;
};

TEST(TextFormTest, MalformedTextIsRejectedWithoutLeftovers) {
    RegisterSampleClasses();
    const TBadText cases[] = {
        {u"object F: TSampleForm\n  object X: TNoSuchClass\n  end\nend",
         u"Class TNoSuchClass not found on line 2", true},
        {u"object F: TNoSuchRoot\nend", u"Class TNoSuchRoot not found on line 1", true},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Bogus = 1\n  end\nend",
         u"Error reading P.Bogus: Property Bogus does not exist in TSamplePanel on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Width = 'wide'\n  end\nend",
         u"Error reading P.Width: Invalid property value on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Width = 3000000000\n  end\nend",
         u"Error reading P.Width: Invalid property element: 3000000000 on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Align = alLeft\n  end\nend",
         u"Error reading P.Align: Invalid property element: alLeft on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Flags = [lfBold lfItalic]\n  end\nend",
         u"Error reading P.Flags: Invalid property value on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Caption = 'open\n  end\nend",
         u"Error reading P.Caption: Invalid string constant on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Caption = 'a' +\n  end\nend",
         u"Error reading P.Caption: Invalid string constant on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Width = 12abc\n  end\nend",
         u"Error reading P.Width: Invalid number 12abc on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Blob = {ABC}\n  end\nend",
         u"Error reading P.Blob: Invalid binary value on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Columns = <\n      item\n        Wide = 1\n"
         u"      end>\n  end\nend",
         u"Error reading TSampleItem.Wide: Property Wide does not exist in TSampleItem on line 5"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Source = Nobody\n  end\nend",
         u"Error reading P.Source: Unresolved reference to Nobody on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    DataSet = F\n  end\nend",
         u"Error reading P.DataSet: Property DataSet of TSamplePanel is not of type TSampleData on line 3"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n  end\n  object P: TSamplePanel\n  end\nend",
         u"A component named P already exists on line 4"},
        {u"object F: TSampleForm\n  inherited Q: TSamplePanel\n  end\nend",
         u"Ancestor for 'Q' not found on line 2"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Width = 1\n",
         u"Unexpected end of text on line 4"},
        {u"object F: TSampleForm\n  object P: TSamplePanel\n    Width =",
         u"Error reading P.Width: Unexpected end of text on line 3"},
        {u"object F: TSampleForm\nend\nobject G: TSampleForm\nend", u"Text after the final end on line 3"},
        {u"F: TSampleForm\nend", u"'object' expected on line 1"},
        {u"", u"'object' expected on line 1"},
    };
    for (const TBadText& bad : cases) {
        SCOPED_TRACE(UTF8Encode(bad.Text));
        // Into a new root: nothing survives the failure (the sanitizer build checks).
        try {
            std::unique_ptr<TComponent> leaked(TextToComponent(bad.Text));
            ADD_FAILURE() << "accepted";
        } catch (const EClassNotFound& e) {
            EXPECT_TRUE(bad.ClassNotFound);
            EXPECT_EQ(e.Message(), bad.Message);
        } catch (const EReadError& e) {
            EXPECT_FALSE(bad.ClassNotFound);
            EXPECT_EQ(e.Message(), bad.Message);
        }
        // Into an existing root: the components the read created are freed again and
        // the root is out of its loading state.
        TSampleForm root(nullptr);
        auto* kept = new TSamplePanel(&root);
        kept->SetName(u"Kept");
        EXPECT_THROW(TextToComponent(bad.Text, &root), EFilerError);
        EXPECT_EQ(root.ComponentCount(), 1);
        EXPECT_FALSE(root.ComponentState().Contains(csLoading));
        EXPECT_EQ(root.LoadedCalls, 0);
    }

    // A class mismatch with the given root, and nesting beyond the limit.
    TSampleForm root(nullptr);
    EXPECT_THROW(TextToComponent(u"object P: TSamplePanel\nend", &root), EReadError);
    String deep = u"object F: TSampleForm\n";
    for (int i = 0; i < 80; ++i)
        deep += u"object P" + IntToStr(i) + u": TSamplePanel\n";
    try {
        TextToComponent(deep, &root);
        ADD_FAILURE() << "deep nesting accepted";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), u"Nesting deeper than 64 levels on line 66");
    }
    EXPECT_EQ(root.ComponentCount(), 0);
}

TEST(TextFormTest, ReferencesOutsideTheRootAndValueReaders) {
    RegisterSampleClasses();
    TSampleData outside(nullptr);
    outside.SetName(u"Outside");
    TReader reader(u"object P: TSamplePanel\n  Source = Other.Outside\nend");
    reader.OnFindComponentInstance = [&](StringView name) -> TComponent* {
        return name == u"Other.Outside" ? &outside : nullptr;
    };
    std::unique_ptr<TComponent> panel(reader.ReadRootComponent(nullptr));
    EXPECT_EQ(static_cast<TSamplePanel*>(panel.get())->Source(), &outside);

    // The value readers a DefineProperties procedure uses.
    TReader values(u"12 3000000000 1.5 'ab' alTop True nil (1 2) [a] <> {00}");
    EXPECT_EQ(values.NextValue(), vaInt32);
    EXPECT_EQ(values.ReadInteger(), 12);
    EXPECT_EQ(values.NextValue(), vaInt64);
    EXPECT_THROW(values.ReadInteger(), EReadError);
    EXPECT_EQ(values.ReadInt64(), 3000000000);
    EXPECT_EQ(values.ReadFloat(), 1.5);
    EXPECT_EQ(values.ReadString(), u"ab");
    EXPECT_EQ(values.ReadIdent(), u"alTop");
    EXPECT_TRUE(values.ReadBoolean());
    EXPECT_EQ(values.ReadValue(), vaNil);
    values.ReadListBegin();
    EXPECT_FALSE(values.EndOfList());
    values.SkipValue();
    values.SkipValue();
    EXPECT_TRUE(values.EndOfList());
    values.ReadListEnd();
    EXPECT_EQ(values.NextValue(), vaSet);
    values.SkipValue();
    EXPECT_EQ(values.NextValue(), vaCollection);
    values.SkipValue();
    EXPECT_EQ(values.NextValue(), vaBinary);
    values.SkipValue();
    EXPECT_THROW(values.NextValue(), EReadError);
}

} // namespace
} // namespace mv
