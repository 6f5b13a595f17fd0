// TCanvas: targets, device-context state, clipping, shapes, pixels, copying and scrolling.
// Text lives in DrawText.cpp; DrawEdge, DrawFocusRect and GradientFill in DrawEdge.cpp.
//
// [SECTION] Cairo helpers
// [SECTION] Target and state (SetTarget, Handle, SaveDC/RestoreDC, clipping)
// [SECTION] Shapes (FillRect, FrameRect, Rectangle, Ellipse, lines, polygons)
// [SECTION] Pixels, copying and scrolling
// [SECTION] Recording and regions
#include "platform/vcl/Graphics.h"

#include "platform/rtl/Format.h"
#include "platform/vcl/CanvasPrivate.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <utility>

// Records name only the fields they use; GCC 12 warns about the others even with designated
// initializers (GCC 13 no longer does).
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace mv {

// ---------------------------------------------------------------------------------------
// [SECTION] Cairo helpers
// ---------------------------------------------------------------------------------------
// The source SetSourceColor set last. Cairo recycles freed contexts and patterns, so a new
// context can come back at a dead one's address with a pattern at the remembered address;
// SetTarget forgets the cache for that reason.
static cairo_t* lastCr = nullptr;
static cairo_pattern_t* lastPattern = nullptr;
static TColorRef lastRgb = 0;

void ForgetSourceColor() {
    lastCr = nullptr;
    lastPattern = nullptr;
}

void SetSourceColor(cairo_t* cr, TColor color) {
    // Setting a colour makes and frees a pattern; a repaint sets the same few colours
    // thousands of times. The pattern we set last is still the source when no one set
    // another (every solid colour is set here), so equal colours skip the call.
    TColorRef rgb = ColorToRGB(color);
    if (cr == lastCr && rgb == lastRgb && cairo_get_source(cr) == lastPattern) return;
    cairo_set_source_rgb(cr, GetRValue(rgb) / 255.0, GetGValue(rgb) / 255.0, GetBValue(rgb) / 255.0);
    lastCr = cr;
    lastPattern = cairo_get_source(cr);
    lastRgb = rgb;
}

void FillSolid(cairo_t* cr, const TRect& rect, TColor color) {
    if (rect.IsEmpty()) return;
    SetSourceColor(cr, color);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_fill(cr);
}

namespace {

TColor PixelToColor(std::uint32_t p) {
    std::uint32_t a = p >> 24;
    std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a != 0 && a != 255) {
        r = r * 255 / a;
        g = g * 255 / a;
        b = b * 255 / a;
    }
    return static_cast<TColor>(RGB(static_cast<Byte>(r), static_cast<Byte>(g), static_cast<Byte>(b)));
}

std::uint32_t ColorToPixel(TColor color) {
    TColorRef c = ColorToRGB(color);
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// A Cairo surface over pixels we do not own (the caller keeps them alive meanwhile).
cairo_surface_t* WrapPixels(const TPixelBuffer& buffer) {
    return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(buffer.Pixels),
                                               CAIRO_FORMAT_ARGB32, buffer.Width, buffer.Height,
                                               buffer.Stride);
}

// Applies the pen's colour, width, dashes and raster mode; false when nothing is drawn.
bool ApplyPen(cairo_t* cr, const TPen& pen) {
    if (pen.Style() == psClear || pen.Mode() == pmNop) return false;
    cairo_set_line_width(cr, pen.Width());
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    switch (pen.Mode()) {
    case pmBlack:
        SetSourceColor(cr, clBlack);
        break;
    case pmWhite:
        SetSourceColor(cr, clWhite);
        break;
    case pmNot:
        SetSourceColor(cr, clWhite);
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        break;
    case pmXor:
        SetSourceColor(cr, pen.Color());
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        break;
    case pmNotXor:
        SetSourceColor(cr, static_cast<TColor>(~ColorToRGB(pen.Color()) & 0xFFFFFF));
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        break;
    default:
        SetSourceColor(cr, pen.Color());
        break;
    }
    // Cosmetic dash lengths of the framework's pens, scaled by width.
    double w = pen.Width();
    static const double dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                        dashDotDot[] = {9, 3, 3, 3, 3, 3}, alternate[] = {1, 1};
    auto setDash = [&](const double* d, int n) {
        double scaled[6];
        for (int i = 0; i < n; ++i)
            scaled[i] = d[i] * (pen.Style() == psAlternate ? 1.0 : w);
        cairo_set_dash(cr, scaled, n, 0);
    };
    switch (pen.Style()) {
    case psDash:
        setDash(dash, 2);
        break;
    case psDot:
        setDash(dot, 2);
        break;
    case psDashDot:
        setDash(dashDot, 4);
        break;
    case psDashDotDot:
        setDash(dashDotDot, 6);
        break;
    case psAlternate:
        setDash(alternate, 2);
        break;
    default:
        cairo_set_dash(cr, nullptr, 0, 0);
        break;
    }
    return true;
}

void ResetOperator(cairo_t* cr) {
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_dash(cr, nullptr, 0, 0);
}

// An 8 x 8 hatch tile in colour over a transparent (or bk) background.
cairo_pattern_t* MakeHatch(TBrushStyle style, TColor color, TColor bk, bool opaque) {
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_surface_flush(tile);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(tile));
    int stride = cairo_image_surface_get_stride(tile) / 4;
    std::uint32_t ink = ColorToPixel(color), back = opaque ? ColorToPixel(bk) : 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (style) {
            case bsHorizontal:
                on = y == 7;
                break;
            case bsVertical:
                on = x == 7;
                break;
            case bsFDiagonal:
                on = x == y;
                break;
            case bsBDiagonal:
                on = x == 7 - y;
                break;
            case bsCross:
                on = x == 7 || y == 7;
                break;
            case bsDiagCross:
                on = x == y || x == 7 - y;
                break;
            default:
                on = true;
                break;
            }
            data[y * stride + x] = on ? ink : back;
        }
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_surface_destroy(tile);
    return pattern;
}

TRect Normalized(Integer l, Integer t, Integer r, Integer b) {
    return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

} // namespace

// ---------------------------------------------------------------------------------------
// [SECTION] Target and state
// ---------------------------------------------------------------------------------------
void TCanvasImpl::Release() {
    if (Cr) cairo_destroy(Cr);
    if (Surface) {
        cairo_surface_flush(Surface);
        cairo_surface_destroy(Surface);
    }
    Cr = nullptr;
    Surface = nullptr;
    Target = {};
}

cairo_t* TCanvasImpl::Context() {
    if (!Cr) return nullptr;
    if (!CairoClipValid) {
        cairo_reset_clip(Cr);
        cairo_rectangle(Cr, Clip.Left, Clip.Top, std::max(Clip.Width(), 0), std::max(Clip.Height(), 0));
        cairo_clip(Cr);
        CairoClipValid = true;
    }
    return Cr;
}

TRect TCanvasImpl::DeviceClipped(const TRect& r) const {
    TRect cut;
    if (!IntersectRect(cut, r, Clip)) return {};
    OffsetRect(cut, Origin.X, Origin.Y);
    return cut;
}

void TCanvasImpl::FillPixels(const TRect& r, TColor color) {
    const TRect d = DeviceClipped(r);
    if (d.IsEmpty()) return;
    cairo_surface_flush(Surface);
    const std::uint32_t pixel = ColorToPixel(color);
    for (Integer y = d.Top; y < d.Bottom; ++y)
        std::fill_n(Target.Row(y) + d.Left, d.Width(), pixel);
    MarkDirty(d);
}

void TCanvasImpl::BlendCoverage(const std::uint8_t* coverage, int width, int height, int left, int top,
                                const TRect& clip, TColor color) {
    TRect cut;
    if (!IntersectRect(cut, {left, top, left + width, top + height}, clip)) return;
    const TRect d = DeviceClipped(cut);
    if (d.IsEmpty()) return;
    cairo_surface_flush(Surface);
    const std::uint32_t ink = ColorToPixel(color);
    const std::uint32_t inkR = (ink >> 16) & 0xFF, inkG = (ink >> 8) & 0xFF, inkB = ink & 0xFF;
    const int dx = d.Left - Origin.X - left, dy = d.Top - Origin.Y - top;
    for (Integer y = d.Top; y < d.Bottom; ++y) {
        const std::uint8_t* a = coverage + static_cast<size_t>(y - d.Top + dy) * width + dx;
        std::uint32_t* px = Target.Row(y) + d.Left;
        for (Integer x = 0; x < d.Width(); ++x) {
            const std::uint32_t cover = a[x];
            if (cover == 0) continue;
            if (cover == 255) {
                px[x] = ink;
                continue;
            }
            const std::uint32_t keep = 255 - cover, p = px[x];
            // x * 257 + 257 >> 16 divides by 255 with rounding for x up to 255 * 255.
            auto mix = [&](std::uint32_t src, std::uint32_t dst) {
                const std::uint32_t v = src * cover + dst * keep + 128;
                return (v + (v >> 8)) >> 8;
            };
            px[x] = (mix(255, p >> 24) << 24) | (mix(inkR, (p >> 16) & 0xFF) << 16) |
                    (mix(inkG, (p >> 8) & 0xFF) << 8) | mix(inkB, p & 0xFF);
        }
    }
    MarkDirty(d);
}

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()),
      FImpl(std::make_unique<TCanvasImpl>()) {
    FFont->OnChange = [this](TObject*) { FImpl->FontDirty = true; };
    FBrush->OnChange = [this](TObject*) { FImpl->BrushDirty = true; };
}

TCanvas::~TCanvas() = default;

void TCanvas::SetTarget(const TPixelBuffer& buffer, TPoint origin, const TRect& clip) {
    assert(buffer.Pixels && buffer.Width > 0 && buffer.Height > 0 && buffer.Stride >= buffer.Width * 4 &&
           "SetTarget: the buffer needs pixels, a size and a stride of at least Width * 4 bytes");
    FImpl->Release();
    FImpl->Target = buffer;
    FImpl->Surface = WrapPixels(buffer);
    FImpl->Cr = cairo_create(FImpl->Surface);
    ForgetSourceColor();
    cairo_translate(FImpl->Cr, origin.X, origin.Y);
    cairo_set_antialias(FImpl->Cr, CAIRO_ANTIALIAS_NONE);
    FImpl->Origin = origin;
    TRect device;
    IntersectRect(device, clip, {0, 0, buffer.Width, buffer.Height});
    OffsetRect(device, -origin.X, -origin.Y);
    FImpl->BaseClip = device;
    FImpl->Clip = device;
    FImpl->CairoClipValid = false;
    FImpl->Saved.clear();
    FImpl->BkMode = OPAQUE;
    FImpl->FontDirty = FImpl->BrushDirty = true;
    FPenPos = {};
}

void TCanvas::ReleaseTarget() {
    FImpl->Release();
    FImpl->Saved.clear();
}

bool TCanvas::HasTarget() const {
    return FImpl->Cr != nullptr;
}
const TPixelBuffer& TCanvas::Target() const {
    return FImpl->Target;
}
TPoint TCanvas::Origin() const {
    return FImpl->Origin;
}

void TCanvas::RefreshState() {
    if (FImpl->FontDirty) {
        FImpl->TextColor = FFont->Color();
        FImpl->FontDirty = false;
    }
    if (FImpl->BrushDirty) {
        FImpl->BkColor = FBrush->Color();
        FImpl->BkMode = FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT;
        FImpl->BrushDirty = false;
    }
}

TCanvas* TCanvas::Handle() {
    RefreshState();
    return this;
}

TColor TCanvas::SetTextColor(TColor color) {
    RefreshState();
    return std::exchange(FImpl->TextColor, color);
}

TColor TCanvas::SetBkColor(TColor color) {
    RefreshState();
    return std::exchange(FImpl->BkColor, color);
}

Integer TCanvas::SetBkMode(Integer mode) {
    RefreshState();
    return std::exchange(FImpl->BkMode, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
}

TColor TCanvas::TextColor() const {
    return FImpl->TextColor;
}
TColor TCanvas::BkColor() const {
    return FImpl->BkColor;
}
Integer TCanvas::BkMode() const {
    return FImpl->BkMode;
}

Integer TCanvas::SaveDC() {
    FImpl->Saved.push_back({FImpl->Clip, FImpl->TextColor, FImpl->BkColor, FImpl->BkMode, FPenPos});
    return static_cast<Integer>(FImpl->Saved.size());
}

void TCanvas::RestoreDC(Integer index) {
    auto depth = static_cast<Integer>(FImpl->Saved.size());
    Integer level = index < 0 ? depth + index + 1 : index;
    if (level < 1 || level > depth)
        throw EInvalidGraphicOperation(Format(GraphicsConsts::SInvalidRestoreDC, {index}));
    const TCanvasImpl::SavedState& s = FImpl->Saved[static_cast<size_t>(level - 1)];
    FImpl->Clip = s.Clip;
    FImpl->TextColor = s.TextColor;
    FImpl->BkColor = s.BkColor;
    FImpl->BkMode = s.BkMode;
    FPenPos = s.PenPos;
    FImpl->CairoClipValid = false;
    FImpl->Saved.resize(static_cast<size_t>(level - 1));
}

Integer TCanvas::IntersectClipRect(Integer left, Integer top, Integer right, Integer bottom) {
    TRect cut;
    IntersectRect(cut, FImpl->Clip, {left, top, right, bottom});
    FImpl->Clip = cut;
    FImpl->CairoClipValid = false;
    return cut.IsEmpty() ? NULLREGION : SIMPLEREGION;
}

Integer TCanvas::SelectClipRgn(HRGN region) {
    TRect cut = FImpl->BaseClip;
    if (region) IntersectRect(cut, FImpl->BaseClip, region->Bounds);
    FImpl->Clip = cut;
    FImpl->CairoClipValid = false;
    return cut.IsEmpty() ? NULLREGION : SIMPLEREGION;
}

TRect TCanvas::ClipRect() const {
    return FImpl->Clip;
}

// ---------------------------------------------------------------------------------------
// [SECTION] Shapes
// ---------------------------------------------------------------------------------------
void TCanvas::FillRect(const TRect& rect) {
    RefreshState();
    if (FBrush->Style() == bsClear) return;
    if (FRecording) Record({.Kind = crFillRect, .Rect = rect, .Color = FBrush->Color()});
    cairo_t* cr = FImpl->Context();
    if (!cr || rect.IsEmpty()) return;
    if (FBrush->Style() == bsSolid) {
        FImpl->FillPixels(rect, FBrush->Color());
        return;
    }
    cairo_pattern_t* hatch =
        MakeHatch(FBrush->Style(), FBrush->Color(), FImpl->BkColor, FImpl->BkMode == OPAQUE);
    cairo_set_source(cr, hatch);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_pattern_destroy(hatch);
}

void TCanvas::FrameRect(const TRect& rect) {
    if (FRecording) Record({.Kind = crFrameRect, .Rect = rect, .Color = FBrush->Color()});
    cairo_t* cr = FImpl->Context();
    if (!cr || rect.IsEmpty()) return;
    const TRect& r = rect;
    TColor c = FBrush->Color();
    FillSolid(cr, {r.Left, r.Top, r.Right, r.Top + 1}, c);
    FillSolid(cr, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, c);
    FillSolid(cr, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, c);
    FillSolid(cr, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, c);
}

void TCanvas::Rectangle(Integer left, Integer top, Integer right, Integer bottom) {
    TRect r = Normalized(left, top, right, bottom);
    if (FRecording)
        Record({.Kind = crRectangle,
                .Rect = r,
                .Color = FPen->Style() == psClear ? clNone : FPen->Color(),
                .Color2 = FBrush->Style() == bsClear ? clNone : FBrush->Color()});
    cairo_t* cr = FImpl->Context();
    if (!cr || r.IsEmpty()) return;
    bool recording = FRecording;
    FRecording = false; // one record for the whole shape
    Integer w = FPen->Style() == psClear ? 0 : FPen->Width();
    FillRect({r.Left + w, r.Top + w, r.Right - w, r.Bottom - w});
    if (w > 0 && ApplyPen(cr, *FPen)) {
        double half = w / 2.0;
        cairo_rectangle(cr, r.Left + half, r.Top + half, r.Width() - w, r.Height() - w);
        cairo_stroke(cr);
        ResetOperator(cr);
    }
    FRecording = recording;
}

void TCanvas::Ellipse(Integer left, Integer top, Integer right, Integer bottom) {
    TRect r = Normalized(left, top, right, bottom);
    if (FRecording)
        Record({.Kind = crEllipse,
                .Rect = r,
                .Color = FPen->Style() == psClear ? clNone : FPen->Color(),
                .Color2 = FBrush->Style() == bsClear ? clNone : FBrush->Color()});
    cairo_t* cr = FImpl->Context();
    if (!cr || r.IsEmpty()) return;
    double w = FPen->Style() == psClear ? 0 : FPen->Width();
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_translate(cr, (r.Left + r.Right) / 2.0, (r.Top + r.Bottom) / 2.0);
    cairo_scale(cr, std::max((r.Width() - w) / 2.0, 0.5), std::max((r.Height() - w) / 2.0, 0.5));
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    if (FBrush->Style() != bsClear) {
        SetSourceColor(cr, FBrush->Color());
        cairo_fill_preserve(cr);
    }
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    if (w > 0 && ApplyPen(cr, *FPen)) cairo_stroke(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
}

void TCanvas::MoveTo(Integer x, Integer y) {
    FPenPos = {x, y};
}

void TCanvas::LineTo(Integer x, Integer y) {
    TPoint from = FPenPos;
    FPenPos = {x, y};
    if (FRecording)
        Record({.Kind = crLine, .X = from.X, .Y = from.Y, .X2 = x, .Y2 = y, .Color = FPen->Color()});
    cairo_t* cr = FImpl->Context();
    if (!cr) return;
    Integer w = FPen->Width();
    bool plain = FPen->Style() == psSolid || FPen->Style() == psInsideFrame;
    if (plain && FPen->Mode() == pmCopy && w == 1 && (from.Y == y || from.X == x)) {
        // The grid-line case, kept cheap: a one-pixel rectangle.
        TRect r = from.Y == y
                      ? (x >= from.X ? TRect{from.X, y, x, y + 1} : TRect{x + 1, y, from.X + 1, y + 1})
                      : (y >= from.Y ? TRect{x, from.Y, x + 1, y} : TRect{x, y + 1, x + 1, from.Y + 1});
        FImpl->FillPixels(r, FPen->Color());
        return;
    }
    if (!ApplyPen(cr, *FPen)) return;
    if (plain && (from.Y == y || from.X == x)) {
        // Axis-aligned lines are exact rectangles: from the start pixel up to, not
        // including, the end pixel; wide pens grow around the line's centre.
        Integer lo = w / 2;
        TRect r = from.Y == y ? Normalized(from.X, y - lo, x, y - lo + w)
                              : Normalized(x - lo, from.Y, x - lo + w, y);
        if (from.Y == y && x < from.X) OffsetRect(r, 1, 0);
        if (from.X == x && y < from.Y) OffsetRect(r, 0, 1);
        cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
        cairo_fill(cr);
    } else {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_move_to(cr, from.X + 0.5, from.Y + 0.5);
        cairo_line_to(cr, x + 0.5, y + 0.5);
        cairo_stroke(cr);
    }
    ResetOperator(cr);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    if (points.empty()) return;
    MoveTo(points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.size() < 2) return;
    if (FRecording)
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            Record({.Kind = crLine, .X = a.X, .Y = a.Y, .X2 = b.X, .Y2 = b.Y, .Color = FPen->Color()});
        }
    cairo_t* cr = FImpl->Context();
    if (!cr) return;
    cairo_move_to(cr, points[0].X + 0.5, points[0].Y + 0.5);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].X + 0.5, points[i].Y + 0.5);
    cairo_close_path(cr);
    if (FBrush->Style() != bsClear) {
        SetSourceColor(cr, FBrush->Color());
        cairo_fill_preserve(cr);
    }
    if (ApplyPen(cr, *FPen)) cairo_stroke(cr);
    cairo_new_path(cr);
    ResetOperator(cr);
}

// ---------------------------------------------------------------------------------------
// [SECTION] Pixels, copying and scrolling
// ---------------------------------------------------------------------------------------
TColor TCanvas::Pixel(Integer x, Integer y) const {
    if (!FImpl->Cr || !FImpl->Clip.Contains({x, y})) return clNone;
    FImpl->Flush();
    return PixelToColor(FImpl->Target.Row(y + FImpl->Origin.Y)[x + FImpl->Origin.X]);
}

void TCanvas::SetPixel(Integer x, Integer y, TColor color) {
    if (!FImpl->Cr || !FImpl->Clip.Contains({x, y})) return;
    FImpl->Flush();
    int dx = x + FImpl->Origin.X, dy = y + FImpl->Origin.Y;
    FImpl->Target.Row(dy)[dx] = ColorToPixel(color);
    FImpl->MarkDirty({dx, dy, dx + 1, dy + 1});
}

void TCanvas::DrawPixels(const TRect& dest, const TPixelBuffer& source, const TRect& sourceRect,
                         double opacity) {
    if (FRecording) Record({.Kind = crImage, .Rect = dest});
    cairo_t* cr = FImpl->Context();
    if (!cr || dest.IsEmpty() || sourceRect.IsEmpty() || !source.Pixels) return;
    // Copy when source and target share memory, so overlapping copies read old pixels.
    std::vector<std::uint32_t> copy;
    TPixelBuffer src = source;
    if (source.Pixels == FImpl->Target.Pixels) {
        FImpl->Flush();
        copy.resize(static_cast<size_t>(source.Stride / 4) * static_cast<size_t>(source.Height));
        std::memcpy(copy.data(), source.Pixels, copy.size() * 4);
        src.Pixels = copy.data();
    }
    cairo_surface_t* surface = WrapPixels(src);
    cairo_save(cr);
    cairo_rectangle(cr, dest.Left, dest.Top, dest.Width(), dest.Height());
    cairo_clip(cr);
    cairo_translate(cr, dest.Left, dest.Top);
    double sx = static_cast<double>(dest.Width()) / sourceRect.Width();
    double sy = static_cast<double>(dest.Height()) / sourceRect.Height();
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, surface, -sourceRect.Left, -sourceRect.Top);
    // Enlarging repeats pixels, as the framework's stretch mode does; shrinking filters.
    cairo_pattern_set_filter(cairo_get_source(cr),
                             sx >= 1 && sy >= 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    if (opacity >= 1)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, std::max(opacity, 0.0));
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

void TCanvas::Draw(Integer x, Integer y, const TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic* graphic) {
    if (!graphic) return;
    if (FRecording) Record({.Kind = crImage, .Rect = rect});
    bool recording = std::exchange(FRecording, false); // one record for the graphic
    graphic->Draw(*this, rect);
    FRecording = recording;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
    if (FRecording) Record({.Kind = crImage, .Rect = dest});
    cairo_t* cr = FImpl->Context();
    if (!cr || !source.HasTarget() || dest.IsEmpty() || sourceRect.IsEmpty()) return;
    source.FImpl->Flush();
    TRect src = sourceRect;
    OffsetRect(src, source.FImpl->Origin.X, source.FImpl->Origin.Y);
    switch (FCopyMode) {
    case BLACKNESS:
    case WHITENESS:
        FillSolid(cr, dest, FCopyMode == BLACKNESS ? clBlack : clWhite);
        return;
    case DSTINVERT:
        cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
        FillSolid(cr, dest, clWhite);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        return;
    default:
        break;
    }
    // SRCCOPY replaces (alpha included); the combining modes map to the nearest blend.
    cairo_operator_t op = CAIRO_OPERATOR_SOURCE;
    if (FCopyMode == SRCINVERT) op = CAIRO_OPERATOR_DIFFERENCE;
    if (FCopyMode == SRCAND) op = CAIRO_OPERATOR_MULTIPLY;
    if (FCopyMode == SRCPAINT) op = CAIRO_OPERATOR_LIGHTEN;
    cairo_set_operator(cr, op);
    bool recording = FRecording;
    FRecording = false;
    DrawPixels(dest, source.FImpl->Target, src);
    FRecording = recording;
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

bool TCanvas::BitBlt(Integer x, Integer y, Integer width, Integer height, TCanvas& source, Integer xSrc,
                     Integer ySrc, Cardinal rop) {
    if (!HasTarget() || !source.HasTarget()) return false;
    TCopyMode saved = std::exchange(FCopyMode, rop);
    CopyRect(Bounds(x, y, width, height), source, Bounds(xSrc, ySrc, width, height));
    FCopyMode = saved;
    return true;
}

void TCanvas::ScrollPixels(const TRect& rect, Integer dx, Integer dy) {
    if (FRecording) Record({.Kind = crScroll, .Rect = rect, .X = dx, .Y = dy});
    if (!FImpl->Cr || (dx == 0 && dy == 0)) return;
    // Destination pixels that both lie in rect and read from rect, cut by the clip.
    TRect moved = rect;
    OffsetRect(moved, dx, dy);
    TRect dest;
    if (!IntersectRect(dest, moved, rect) || !IntersectRect(dest, dest, FImpl->Clip)) return;
    FImpl->Flush();
    const TPixelBuffer& t = FImpl->Target;
    Integer ox = FImpl->Origin.X, oy = FImpl->Origin.Y;
    auto width = static_cast<size_t>(dest.Width()) * 4;
    auto copyRow = [&](Integer y) {
        std::uint32_t* to = t.Row(y + oy) + dest.Left + ox;
        const std::uint32_t* from = t.Row(y - dy + oy) + dest.Left - dx + ox;
        std::memmove(to, from, width);
    };
    // Rows are visited so that no source row is overwritten before it is read.
    if (dy > 0)
        for (Integer y = dest.Bottom - 1; y >= dest.Top; --y)
            copyRow(y);
    else
        for (Integer y = dest.Top; y < dest.Bottom; ++y)
            copyRow(y);
    OffsetRect(dest, ox, oy);
    FImpl->MarkDirty(dest);
}

// ---------------------------------------------------------------------------------------
// [SECTION] Recording and regions
// ---------------------------------------------------------------------------------------
void TCanvas::StartRecording() {
    FRecording = true;
}
void TCanvas::StopRecording() {
    FRecording = false;
}
void TCanvas::Record(TCanvasRecord record) {
    FRecords.push_back(std::move(record));
}

HRGN CreateRectRgn(Integer left, Integer top, Integer right, Integer bottom) {
    return new TRgn{{left, top, right, bottom}};
}
HRGN CreateRectRgnIndirect(const TRect& rect) {
    return new TRgn{rect};
}
void DeleteObject(HRGN region) {
    delete region;
}

} // namespace mv
