// TShape painting. Rounded corners are traced as a polygon, so they look the same on
// every canvas target (and in a recording canvas as lines).
#include "platform/vcl/Shapes.h"

#include <cmath>
#include <vector>

namespace mv {

namespace {

constexpr int kArcSteps = 8; // polygon points per quarter circle

// The outline of r with corners of radius radius, as polygon points on the pixel grid.
std::vector<TPoint> RoundRectPoints(const TRect& r, Integer radius) {
    std::vector<TPoint> points;
    const double pi = std::acos(-1.0);
    // Right/Bottom are exclusive; the outline runs on the last pixel inside.
    const Integer right = r.Right - 1, bottom = r.Bottom - 1;
    const struct {
        double cx, cy, start;
    } corners[4] = {{double(right - radius), double(r.Top + radius), -pi / 2},
                    {double(right - radius), double(bottom - radius), 0},
                    {double(r.Left + radius), double(bottom - radius), pi / 2},
                    {double(r.Left + radius), double(r.Top + radius), pi}};
    for (const auto& corner : corners)
        for (int i = 0; i <= kArcSteps; ++i) {
            const double a = corner.start + (pi / 2) * i / kArcSteps;
            points.push_back({static_cast<Integer>(std::lround(corner.cx + radius * std::cos(a))),
                              static_cast<Integer>(std::lround(corner.cy + radius * std::sin(a)))});
        }
    return points;
}

} // namespace

TShape::TShape(TComponent* owner)
    : TGraphicControl(owner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 65, 65);
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType value) {
    if (value == FShape) return;
    FShape = value;
    Invalidate();
}

TRect TShape::ShapeRect() const {
    TRect r = ClientRect();
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        const Integer side = std::min(r.Width(), r.Height());
        r = Bounds(r.Left + (r.Width() - side) / 2, r.Top + (r.Height() - side) / 2, side, side);
    }
    return r;
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(FPen.get());
    c->SetBrush(FBrush.get());
    const TRect r = ShapeRect();
    switch (FShape) {
    case stRectangle:
    case stSquare:
        c->Rectangle(r);
        break;
    case stEllipse:
    case stCircle:
        c->Ellipse(r);
        break;
    case stRoundRect:
    case stRoundSquare: {
        // The pen is centred on the polygon's path; keep it inside the bounds.
        TRect path = r;
        const Integer inset = FPen->Style() == psClear ? 0 : FPen->Width() / 2;
        InflateRect(path, -inset, -inset);
        const Integer radius = std::min(path.Width(), path.Height()) / 4;
        if (path.IsEmpty()) break;
        const std::vector<TPoint> points = RoundRectPoints(path, radius);
        c->Polygon(points);
        break;
    }
    }
}

} // namespace mv
