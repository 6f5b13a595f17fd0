// Text on a canvas: measuring, TextOut, TextRect and the framework's DrawText.
// Every line goes through the shaped-text cache (TextLayoutCache.h): a repaint of the same
// texts in the same font shapes nothing; a line is clipped only when it overflows.
#include "platform/vcl/Graphics.h"

#include "platform/vcl/CanvasPrivate.h"
#include "platform/vcl/TextLayoutCache.h"

#include <pango/pangocairo.h>

// Records name only the fields they use; GCC 12 warns about the others even with designated
// initializers (GCC 13 no longer does).
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace mv {

namespace {

bool IsLineBreak(Char c) {
    return c == u'\r' || c == u'\n';
}

// Removes the "&" prefix marks: "&&" becomes "&", "&x" becomes x (whose index is the
// underline position of the last such mark). Returns false when text has no "&".
bool StripPrefixes(StringView text, String& out, int& underline) {
    if (text.find(u'&') == StringView::npos) return false;
    out.clear();
    underline = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&') underline = static_cast<int>(out.size());
        } else if (text[i] == u'&') {
            continue; // a trailing mark shows nothing
        }
        out.push_back(text[i]);
    }
    return true;
}

// Draws one cached line at (x, y) in colour, with an opaque box when asked. cut, when
// given, is the rectangle the caller also clipped cr to.
void ShowLine(TCanvasImpl& impl, cairo_t* cr, const TextLayoutCache::Entry& e, int x, int y, TColor color,
              const TColor* box, const TRect* cut) {
    TRect clip = impl.Clip;
    if (cut && !IntersectRect(clip, clip, *cut)) return;
    if (box) {
        TRect boxRect;
        if (IntersectRect(boxRect, {x, y, x + e.Width, y + e.Height}, clip)) impl.FillPixels(boxRect, *box);
    }
    if (e.Simple && (e.CoverageMade || ++e.Draws > 1)) {
        if (!e.CoverageMade) TextLayoutCache::MakeCoverage(e);
        impl.BlendCoverage(e.Coverage.data(), e.CoverageWidth, e.CoverageHeight, x + e.CoverageLeft,
                           y + e.CoverageTop, clip, color);
        return;
    }
    SetSourceColor(cr, color);
    TextLayoutCache::Show(cr, e, x, y);
}

} // namespace

TSize TCanvas::TextExtent(StringView text) {
    const auto& e = TextLayoutCache::Instance().Line(FFont->TextKey(), text, false);
    return {e.Width, e.Height};
}

void TCanvas::TextOut(Integer x, Integer y, StringView text) {
    RefreshState();
    const auto& e = TextLayoutCache::Instance().Line(FFont->TextKey(), text, false);
    if (FRecording)
        Record({.Kind = crText,
                .Rect = {x, y, x + e.Width, y + e.Height},
                .Text = String(text),
                .X = x,
                .Y = y,
                .Color = FImpl->TextColor});
    if (cairo_t* cr = FImpl->Context())
        ShowLine(*FImpl, cr, e, x, y, FImpl->TextColor, FImpl->BkMode == OPAQUE ? &FImpl->BkColor : nullptr,
                 nullptr);
    FPenPos = {x + e.Width, y};
}

void TCanvas::TextRect(const TRect& rect, Integer x, Integer y, StringView text) {
    RefreshState();
    const auto& e = TextLayoutCache::Instance().Line(FFont->TextKey(), text, false);
    if (FRecording)
        Record({.Kind = crText,
                .Rect = {x, y, x + e.Width, y + e.Height},
                .Text = String(text),
                .X = x,
                .Y = y,
                .Color = FImpl->TextColor});
    cairo_t* cr = FImpl->Context();
    if (!cr) return;
    if (FBrush->Style() != bsClear) FillSolid(cr, rect, FImpl->BkColor);
    bool overflows = x < rect.Left || y < rect.Top || x + e.Width > rect.Right || y + e.Height > rect.Bottom;
    if (overflows) {
        cairo_save(cr);
        cairo_rectangle(cr, rect.Left, rect.Top, std::max(rect.Width(), 0), std::max(rect.Height(), 0));
        cairo_clip(cr);
    }
    ShowLine(*FImpl, cr, e, x, y, FImpl->TextColor, nullptr, overflows ? &rect : nullptr);
    if (overflows) cairo_restore(cr);
}

Integer TCanvas::DrawText(StringView text, TRect& rect, Cardinal format) {
    RefreshState();
    TextLayoutCache& cache = TextLayoutCache::Instance();
    const std::uint32_t font = FFont->TextKey();
    const bool rtl = format & DT_RTLREADING;
    const bool singleLine = format & DT_SINGLELINE;
    const bool ellipsis = format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    const int width = rect.Width();

    // 1. What is shown: prefix marks removed unless DT_NOPREFIX.
    StringView shown = text;
    int underline = -1;
    if (!(format & DT_NOPREFIX) && StripPrefixes(text, FImpl->Stripped, underline)) {
        shown = FImpl->Stripped;
        if (format & DT_HIDEPREFIX) underline = -1;
    }

    // 2. Lines: paragraphs at CR, LF or CR LF (unless single line), each broken at word
    // boundaries to the rectangle's width with DT_WORDBREAK. Trailing blanks of a broken
    // line are not shown.
    auto& lines = FImpl->Lines;
    size_t count = 0;
    auto addLine = [&](size_t start, size_t length, bool broken) {
        while (broken && length > 0 && shown[start + length - 1] == u' ')
            --length;
        if (count == lines.size()) lines.emplace_back();
        TCanvasImpl::TextLine& line = lines[count++];
        line.Start = start;
        line.Length = length;
        int u = underline - static_cast<int>(start);
        line.Underline = underline >= 0 && u >= 0 && u < static_cast<int>(length) ? u : -1;
    };
    size_t pos = 0;
    while (true) {
        size_t end = shown.size();
        if (!singleLine)
            for (size_t i = pos; i < shown.size(); ++i)
                if (IsLineBreak(shown[i])) {
                    end = i;
                    break;
                }
        StringView paragraph = shown.substr(pos, end - pos);
        if ((format & DT_WORDBREAK) && !paragraph.empty() && cache.Line(font, paragraph, rtl).Width > width) {
            const auto& breaks = cache.Breaks(font, paragraph, width, rtl).Breaks;
            size_t from = 0;
            for (int b : breaks) {
                addLine(pos + from, static_cast<size_t>(b) - from, true);
                from = static_cast<size_t>(b);
            }
            addLine(pos + from, paragraph.size() - from, false);
        } else {
            addLine(pos, paragraph.size(), false);
        }
        if (end >= shown.size()) break;
        pos = end + (shown[end] == u'\r' && end + 1 < shown.size() && shown[end + 1] == u'\n' ? 2 : 1);
    }
    FImpl->LineCount = count;

    // 3. One pass: each line's shaped entry (shortened with "..." when it is wider than
    // the rectangle and ellipsis is asked for), its position, its record and its pixels.
    // Lines share one height, so positions need no second pass; DT_CALCRECT only measures.
    const bool calc = format & DT_CALCRECT;
    auto lineEntry = [&](const TCanvasImpl::TextLine& line,
                         StringView& text) -> const TextLayoutCache::Entry& {
        text = shown.substr(line.Start, line.Length);
        const auto& e = cache.Line(font, text, rtl, line.Underline);
        if (!ellipsis || e.Width <= width) return e;
        const auto& cut = cache.Ellipsized(font, text, width, rtl, line.Underline);
        text = cut.Shown;
        return cut;
    };
    int lineHeight = 0, widest = 0;
    if (calc) {
        for (size_t i = 0; i < count; ++i) {
            StringView text;
            const auto& e = lineEntry(lines[i], text);
            lineHeight = e.Height;
            widest = std::max(widest, e.Width);
        }
        if (count == 0) lineHeight = cache.Line(font, {}, rtl).Height;
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + lineHeight * static_cast<int>(count);
        return lineHeight * static_cast<int>(count);
    }

    cairo_t* cr = FImpl->Context();
    const TColor* box = FImpl->BkMode == OPAQUE ? &FImpl->BkColor : nullptr;
    bool clipped = false;
    int y = rect.Top, top = rect.Top;
    for (size_t i = 0; i < count; ++i) {
        StringView text;
        const auto& e = lineEntry(lines[i], text);
        if (i == 0) {
            // Vertical alignment only applies to a single line, as the framework's.
            lineHeight = e.Height;
            if (singleLine && (format & DT_VCENTER)) y = rect.Top + (rect.Height() - lineHeight) / 2;
            if (singleLine && (format & DT_BOTTOM)) y = rect.Bottom - lineHeight;
            top = y;
        }
        int x = rect.Left;
        if (format & DT_CENTER) x = rect.Left + (width - e.Width) / 2;
        if (format & DT_RIGHT) x = rect.Right - e.Width;
        if (FRecording)
            Record({.Kind = crText,
                    .Rect = {x, y, x + e.Width, y + e.Height},
                    .Text = String(text),
                    .X = x,
                    .Y = y,
                    .Color = FImpl->TextColor,
                    .Flags = format});
        if (cr) {
            bool overflows =
                x < rect.Left || y < rect.Top || x + e.Width > rect.Right || y + e.Height > rect.Bottom;
            if (overflows && !(format & DT_NOCLIP) && !clipped) {
                cairo_save(cr);
                cairo_rectangle(cr, rect.Left, rect.Top, std::max(width, 0), std::max(rect.Height(), 0));
                cairo_clip(cr);
                clipped = true;
            }
            const TRect cut{rect.Left, rect.Top, rect.Left + width, rect.Bottom};
            ShowLine(*FImpl, cr, e, x, y, FImpl->TextColor, box, clipped ? &cut : nullptr);
        }
        y += lineHeight;
    }
    if (clipped) cairo_restore(cr);
    // The height of the text, measured from the rectangle's top when it was moved down.
    return top - rect.Top + lineHeight * static_cast<int>(count);
}

} // namespace mv
