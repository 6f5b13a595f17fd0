// Shapes: where each kind draws and that pen and brush changes repaint.
#include "StdCtrlsTestKit.h"

#include "platform/vcl/Shapes.h"

using namespace mv;
using namespace mv::test;

namespace {

using ShapeTest = StdCtrlsFixture;

} // namespace

TEST_F(ShapeTest, KindsFillTheirAreaWithBrushAndOutlineWithPen) {
    auto* shape = Add<TShape>(10, 10, 80, 40);
    shape->Brush()->SetColor(clYellow);
    shape->Pen()->SetColor(clNavy);
    Paint();
    // Rectangle: the outline is the outermost pixel, the brush inside.
    EXPECT_EQ(Host.PixelAt(shape, 0, 0), Rgb(clNavy));
    EXPECT_EQ(Host.PixelAt(shape, 79, 39), Rgb(clNavy));
    EXPECT_EQ(Host.PixelAt(shape, 1, 1), Rgb(clYellow));

    // Square and circle take the smaller side, centred: 40 x 40 at x 20.
    shape->SetShape(stSquare);
    Paint();
    EXPECT_EQ(shape->ShapeRect(), Rect(20, 0, 60, 40));
    EXPECT_EQ(Host.PixelAt(shape, 10, 20), Rgb(clBtnFace)) << "the parent shows beside the square";
    EXPECT_EQ(Host.PixelAt(shape, 20, 20), Rgb(clNavy));
    shape->SetShape(stCircle);
    Paint();
    EXPECT_EQ(Host.PixelAt(shape, 21, 1), Rgb(clBtnFace)) << "corners stay clear";
    EXPECT_EQ(Host.PixelAt(shape, 40, 20), Rgb(clYellow));

    // Rounded rectangle: cut corners, straight edges.
    shape->SetShape(stRoundRect);
    Paint();
    EXPECT_EQ(Host.PixelAt(shape, 0, 0), Rgb(clBtnFace));
    EXPECT_EQ(Host.PixelAt(shape, 40, 0), Rgb(clNavy));
    EXPECT_EQ(Host.PixelAt(shape, 0, 20), Rgb(clNavy));
    EXPECT_EQ(Host.PixelAt(shape, 40, 20), Rgb(clYellow));

    // Pen and brush changes repaint; a clear brush leaves the parent showing.
    shape->SetShape(stEllipse);
    shape->Brush()->SetStyle(bsClear);
    shape->Pen()->SetWidth(3);
    Paint();
    EXPECT_EQ(Host.PixelAt(shape, 40, 20), Rgb(clBtnFace));
    EXPECT_EQ(Host.PixelAt(shape, 40, 1), Rgb(clNavy)) << "a 3-pixel pen inside the bounds";
    shape->Pen()->SetStyle(psClear);
    Paint();
    EXPECT_EQ(Host.PixelAt(shape, 40, 1), Rgb(clBtnFace));
}
