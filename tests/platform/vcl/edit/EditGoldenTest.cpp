// A focused edit with a selection and a masked edit beside an unfocused one, rendered by
// the headless host and compared with a checked-in PNG (MV_UPDATE_GOLDEN=1 rewrites it).
#include "EditTestKit.h"

#include "platform/vcl/CanvasTestKit.h"
#include "platform/vcl/Mask.h"

using namespace mv;
using mv::test::EditFixture;

namespace {
using EditGolden = EditFixture;
} // namespace

TEST_F(EditGolden, SelectionCaretAndMaskBlanks) {
    Form->SetColor(clBtnFace);
    auto* masked = AddEdit<TMaskEdit>(40, 160, false);
    masked->SetEditMask(u"(999) 000-0000;0;_");
    masked->SetText(u"555123");
    auto* plain = AddEdit<TEdit>(70, 160, false);
    plain->SetBorderStyle(bsNone);
    plain->SetAlignment(taRightJustify);
    plain->SetText(u"right, no border");
    TEdit* edit = AddEdit(10, 160);
    edit->SetText(u"Edit with a selection");
    edit->SetSelStart(5);
    edit->SetSelLength(4);
    Application->ProcessMessages();
    ASSERT_TRUE(edit->CaretShown());

    const THostWindow window = Host.WindowOf(Form);
    const TRect area = Rect(0, 0, 180, 100);
    TBitmap picture(area.Width(), area.Height());
    picture.Canvas()->DrawPixels(area, Host.HostWindowPixels(window), area);
    test::ExpectMatchesGolden(picture, MV_VCL_GOLDEN_DIR, "edit_selection.png");
}
