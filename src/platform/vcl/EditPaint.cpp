// TCustomEdit painting and caret geometry: where the text sits, which x a position has,
// which position an x hits, and the horizontal scrolling that keeps the caret visible.
// Widths come from TCanvas::TextWidth of prefixes; the canvas caches the shaped strings,
// so a repaint measures without shaping again.
#include "platform/vcl/Edit.h"

#include <algorithm>
#include <vector>

namespace mv {

namespace {

bool IsLowSurrogate(Char c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsHighSurrogate(Char c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Whether position i of text starts a code point (the end counts).
bool IsBoundary(const String& text, size_t i) {
    return i == 0 || i >= text.size() || !IsLowSurrogate(text[i]) || !IsHighSurrogate(text[i - 1]);
}

// Code points of text before position.
Integer CodePointsBefore(const String& text, Integer position) {
    Integer count = 0;
    for (Integer i = 0; i < position; ++i)
        if (IsBoundary(text, static_cast<size_t>(i))) ++count;
    return count;
}

} // namespace

String TCustomEdit::DisplayText() const {
    if (FPasswordChar == 0) return Text();
    return String(static_cast<size_t>(CodePointsBefore(Text(), static_cast<Integer>(Text().size()))),
                  FPasswordChar);
}

void TCustomEdit::PrepareCanvasFont() {
    if (!FCanvas->Font()->Equals(*Font())) FCanvas->SetFont(Font());
}

TRect TCustomEdit::EditRect() const {
    TRect r = ClientRect();
    r.Left += FLeftMargin;
    r.Right = std::max(r.Left, r.Right - FRightMargin);
    return r;
}

Integer TCustomEdit::LineHeight() {
    PrepareCanvasFont();
    return FCanvas->TextHeight(u"Wg");
}

Integer TCustomEdit::PrefixWidth(Integer position) {
    if (position <= 0) return 0;
    PrepareCanvasFont();
    if (FPasswordChar == 0)
        return FCanvas->TextWidth(StringView(Text()).substr(0, static_cast<size_t>(position)));
    const String shown(static_cast<size_t>(CodePointsBefore(Text(), position)), FPasswordChar);
    return FCanvas->TextWidth(shown);
}

Integer TCustomEdit::TextLeft() {
    const TRect r = EditRect();
    if (FAlignment == taLeftJustify) return r.Left - FScrollX;
    const Integer width = PrefixWidth(static_cast<Integer>(Text().size()));
    // Centred and right-aligned text only applies while it fits; wider text scrolls.
    if (width + 1 >= r.Width()) return r.Left - FScrollX;
    return FAlignment == taRightJustify ? r.Right - 1 - width : r.Left + (r.Width() - width) / 2;
}

Integer TCustomEdit::TextTop() {
    const TRect r = EditRect();
    return r.Top + std::max((r.Height() - LineHeight()) / 2, 0);
}

Integer TCustomEdit::CaretXOf(Integer position) {
    return TextLeft() + PrefixWidth(ClampPosition(position));
}

Integer TCustomEdit::PositionAt(Integer x) {
    const String& text = Text();
    std::vector<Integer> stops;
    stops.reserve(text.size() + 1);
    for (size_t i = 0; i <= text.size(); ++i)
        if (IsBoundary(text, i)) stops.push_back(static_cast<Integer>(i));
    const Integer offset = x - TextLeft();
    if (offset <= 0) return 0;
    // The last stop whose caret is left of x, then whichever neighbour is nearer.
    size_t lo = 0, hi = stops.size() - 1;
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (PrefixWidth(stops[mid]) <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    if (lo + 1 < stops.size()) {
        const Integer before = PrefixWidth(stops[lo]), after = PrefixWidth(stops[lo + 1]);
        if (after - offset < offset - before) return stops[lo + 1];
    }
    return stops[lo];
}

void TCustomEdit::EnsureCaretVisible() {
    const TRect r = EditRect();
    if (r.Width() <= 0) return;
    const Integer textWidth = PrefixWidth(static_cast<Integer>(Text().size()));
    Integer scroll = FScrollX;
    if (textWidth + 1 <= r.Width()) {
        scroll = 0;
    } else {
        const Integer caret = PrefixWidth(FCaret);
        if (caret < scroll) scroll = caret;
        if (caret - scroll > r.Width() - 1) scroll = caret - (r.Width() - 1);
        // No empty space right of the text while the text is wider than the edit.
        scroll = std::clamp(scroll, 0, textWidth + 1 - r.Width());
    }
    if (scroll == FScrollX) return;
    FScrollX = scroll;
    Invalidate();
}

void TCustomEdit::PaintWindow(HDC dc) {
    TRect clip = dc->ClipRect();
    const TPoint origin = dc->Origin();
    OffsetRect(clip, origin.X, origin.Y);
    FCanvas->SetTarget(dc->Target(), origin, clip);
    try {
        Paint();
    } catch (...) {
        FCanvas->ReleaseTarget();
        throw;
    }
    FCanvas->ReleaseTarget();
}

void TCustomEdit::Paint() {
    TCanvas* canvas = FCanvas.get();
    PrepareCanvasFont();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());

    const TRect r = EditRect();
    const String shown = DisplayText();
    const Integer left = TextLeft(), top = TextTop(), height = LineHeight();
    canvas->SaveDC();
    canvas->IntersectClipRect(r);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
    canvas->TextOut(left, top, shown);

    const bool showSelection = SelLength() > 0 && (Focused() || !FHideSelection);
    if (showSelection) {
        TRect selection = Rect(CaretXOf(SelStart()), top, CaretXOf(SelStart() + SelLength()), top + height);
        IntersectRect(selection, selection, r);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clHighlight);
        canvas->FillRect(selection);
        // The whole line again, clipped to the selection, keeps the glyphs where they were.
        canvas->SaveDC();
        canvas->IntersectClipRect(selection);
        canvas->Brush()->SetStyle(bsClear);
        canvas->Font()->SetColor(clHighlightText);
        canvas->TextOut(left, top, shown);
        canvas->RestoreDC(-1);
    }
    canvas->RestoreDC(-1);

    if (CaretShown()) {
        const Integer x = CaretXOf(FCaret);
        canvas->Pen()->SetColor(Font()->Color());
        canvas->Pen()->SetWidth(1);
        canvas->MoveTo(x, top);
        canvas->LineTo(x, top + height);
    }
}

} // namespace mv
