// The framework's 3-D edges, focus rectangles and two-colour gradients on a canvas.
#include "platform/vcl/Graphics.h"

#include "platform/vcl/CanvasPrivate.h"

// Records name only the fields they use; GCC 12 warns about the others even with designated
// initializers (GCC 13 no longer does).
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace mv {

namespace {

// Colours of the outer and inner lines for each combination of BDR_ bits (index =
// edge & 0xF), top-left and bottom-right, as system colour indexes; -1 draws nothing.
// Only an inner edge given alone is drawn in the outer line with the inner's colours.
constexpr signed char kLTOuter[16] = {-1,
                                      COLOR_3DLIGHT,
                                      COLOR_BTNSHADOW,
                                      -1,
                                      COLOR_BTNHIGHLIGHT,
                                      COLOR_3DLIGHT,
                                      COLOR_BTNSHADOW,
                                      -1,
                                      COLOR_3DDKSHADOW,
                                      COLOR_3DLIGHT,
                                      COLOR_BTNSHADOW,
                                      -1,
                                      -1,
                                      COLOR_3DLIGHT,
                                      COLOR_BTNSHADOW,
                                      -1};
constexpr signed char kLTInner[16] = {
    -1, -1, -1, -1, -1, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, -1, -1, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW,
    -1, -1, -1, -1, -1};
constexpr signed char kRBOuter[16] = {-1,
                                      COLOR_3DDKSHADOW,
                                      COLOR_BTNHIGHLIGHT,
                                      -1,
                                      COLOR_BTNSHADOW,
                                      COLOR_3DDKSHADOW,
                                      COLOR_BTNHIGHLIGHT,
                                      -1,
                                      COLOR_3DLIGHT,
                                      COLOR_3DDKSHADOW,
                                      COLOR_BTNHIGHLIGHT,
                                      -1,
                                      -1,
                                      COLOR_3DDKSHADOW,
                                      COLOR_BTNHIGHLIGHT,
                                      -1};
constexpr signed char kRBInner[16] = {
    -1, -1, -1, -1, -1, COLOR_BTNSHADOW, COLOR_BTNSHADOW, -1, -1, COLOR_3DLIGHT, COLOR_3DLIGHT,
    -1, -1, -1, -1, -1};

// One ring of the edge: top and left in lt, bottom and right in rb (the bottom-right
// colour wins the top-right and bottom-left corners). Returns rect shrunk on drawn sides.
TRect DrawRing(cairo_t* cr, TRect r, int lt, int rb, Cardinal flags) {
    if (lt < 0 && rb < 0) return r;
    if (cr && lt >= 0) {
        TColor c = SystemColor(lt);
        if (flags & BF_TOP) FillSolid(cr, {r.Left, r.Top, r.Right, r.Top + 1}, c);
        if (flags & BF_LEFT) FillSolid(cr, {r.Left, r.Top, r.Left + 1, r.Bottom}, c);
    }
    if (cr && rb >= 0) {
        TColor c = SystemColor(rb);
        if (flags & BF_BOTTOM) FillSolid(cr, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, c);
        if (flags & BF_RIGHT) FillSolid(cr, {r.Right - 1, r.Top, r.Right, r.Bottom}, c);
    }
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
    return r;
}

} // namespace

bool TCanvas::DrawEdge(TRect& rect, Cardinal edge, Cardinal flags) {
    if (FRecording) Record({.Kind = crEdge, .Rect = rect, .Edge = edge, .Flags = flags});
    cairo_t* cr = FImpl->Context();
    const unsigned index = edge & (BDR_INNER | BDR_OUTER);
    int ltOuter = kLTOuter[index], ltInner = kLTInner[index];
    int rbOuter = kRBOuter[index], rbInner = kRBInner[index];
    if (flags & BF_MONO) {
        ltOuter = rbOuter = index == 0 ? -1 : (index & BDR_OUTER) ? COLOR_WINDOWFRAME : COLOR_WINDOW;
        ltInner = rbInner = (index & BDR_OUTER) && (index & BDR_INNER) ? COLOR_WINDOW : -1;
    } else if (flags & BF_FLAT) {
        ltOuter = rbOuter = index == 0 ? -1 : (index & BDR_OUTER) ? COLOR_BTNSHADOW : COLOR_BTNFACE;
        ltInner = rbInner = (index & BDR_OUTER) && (index & BDR_INNER) ? COLOR_BTNFACE : -1;
    }
    TRect inside = DrawRing(cr, rect, ltOuter, rbOuter, flags);
    inside = DrawRing(cr, inside, ltInner, rbInner, flags);
    if ((flags & BF_MIDDLE) && cr) FillSolid(cr, inside, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST) rect = inside;
    return true;
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    if (FRecording) Record({.Kind = crFocusRect, .Rect = rect});
    if (!FImpl->Cr || rect.IsEmpty()) return;
    FImpl->Flush();
    // Every other pixel of the one-pixel frame, counted from the top-left corner, has its
    // colour inverted; the same call again puts the pixels back.
    const TPixelBuffer& t = FImpl->Target;
    auto invert = [&](Integer x, Integer y) {
        if (!FImpl->Clip.Contains({x, y}) || ((x - rect.Left) + (y - rect.Top)) % 2 != 0) return;
        std::uint32_t& p = t.Row(y + FImpl->Origin.Y)[x + FImpl->Origin.X];
        std::uint32_t a = p >> 24;
        // Premultiplied: inverting within the alpha keeps the pixel valid.
        std::uint32_t r = a - ((p >> 16) & 0xFF), g = a - ((p >> 8) & 0xFF), b = a - (p & 0xFF);
        p = (a << 24) | (r << 16) | (g << 8) | b;
    };
    for (Integer x = rect.Left; x < rect.Right; ++x) {
        invert(x, rect.Top);
        if (rect.Bottom - 1 > rect.Top) invert(x, rect.Bottom - 1);
    }
    for (Integer y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        invert(rect.Left, y);
        if (rect.Right - 1 > rect.Left) invert(rect.Right - 1, y);
    }
    FImpl->MarkDirty(FImpl->DeviceClipped(rect));
}

void TCanvas::GradientFill(const TRect& rect, TColor startColor, TColor endColor,
                           TGradientDirection direction) {
    if (FRecording)
        Record({.Kind = crGradient,
                .Rect = rect,
                .Color = startColor,
                .Color2 = endColor,
                .Flags = static_cast<Cardinal>(direction)});
    cairo_t* cr = FImpl->Context();
    if (!cr || rect.IsEmpty()) return;
    // Pixel centres from the first to the last row or column, so both end colours appear
    // exactly on the outermost pixels.
    cairo_pattern_t* p = direction == gdHorizontal
                             ? cairo_pattern_create_linear(rect.Left + 0.5, 0, rect.Right - 0.5, 0)
                             : cairo_pattern_create_linear(0, rect.Top + 0.5, 0, rect.Bottom - 0.5);
    TColorRef a = ColorToRGB(startColor), b = ColorToRGB(endColor);
    cairo_pattern_add_color_stop_rgb(p, 0, GetRValue(a) / 255.0, GetGValue(a) / 255.0, GetBValue(a) / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, GetRValue(b) / 255.0, GetGValue(b) / 255.0, GetBValue(b) / 255.0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

} // namespace mv
