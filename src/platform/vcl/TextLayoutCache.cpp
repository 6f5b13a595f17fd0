// The shaped-text cache; see TextLayoutCache.h for why it exists.
#include "platform/vcl/TextLayoutCache.h"

#include "platform/rtl/Utf8.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace mv {

namespace {

// Pango's fixed font options, so measuring without a surface gives the same numbers as
// drawing on any surface: grey anti-aliasing, slight hinting, metrics rounded to pixels.
void ApplyFontOptions(PangoContext* context) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(context, DefaultPixelsPerInch);
}

// UTF-16 code units in the first byteCount bytes of utf8.
int Utf16Length(const std::string& utf8, size_t byteCount) {
    int units = 0;
    for (size_t i = 0; i < byteCount && i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) == 0x80) continue;
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

// Byte offset in utf8 of UTF-16 index units.
size_t Utf8Offset(const std::string& utf8, int units) {
    size_t i = 0;
    while (i < utf8.size() && units > 0) {
        auto c = static_cast<unsigned char>(utf8[i]);
        size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        units -= c >= 0xF0 ? 2 : 1;
        i += len;
    }
    return std::min(i, utf8.size());
}

} // namespace

TextLayoutCache& TextLayoutCache::Instance() {
    static TextLayoutCache cache;
    return cache;
}

TextLayoutCache::TextLayoutCache() {
    // Our own font map rather than the process default, so its settings are ours alone.
    PangoFontMap* map = pango_cairo_font_map_new();
    for (int i = 0; i < 2; ++i) {
        FContexts[i] = pango_font_map_create_context(map);
        ApplyFontOptions(FContexts[i]);
        pango_context_set_base_dir(FContexts[i], i == 0 ? PANGO_DIRECTION_LTR : PANGO_DIRECTION_RTL);
    }
    g_object_unref(map);
}

TextLayoutCache::~TextLayoutCache() {
    Clear();
    for (PangoFontDescription* d : FFonts)
        pango_font_description_free(d);
    for (FontLine& f : FLines) {
        if (f.Primary) g_object_unref(f.Primary);
        if (f.Attrs) pango_attr_list_unref(static_cast<PangoAttrList*>(f.Attrs));
    }
    for (PangoContext* c : FContexts)
        g_object_unref(c);
}

TextLayoutCache::KeyView TextLayoutCache::MakeKey(std::uint32_t font, std::uint32_t flags, std::int32_t extra,
                                                  StringView text) {
    size_t h = std::hash<StringView>()(text);
    h ^= (static_cast<size_t>(font) * 0x9E3779B97F4A7C15ull) + (static_cast<size_t>(flags) << 48) +
         static_cast<size_t>(static_cast<std::uint32_t>(extra)) * 0xC2B2AE3D27D4EB4Full;
    return {h, font, flags, extra, text};
}

std::uint32_t TextLayoutCache::FontKey(const String& name, Integer height, TFontStyles style) {
    std::string id = UTF8Encode(name);
    id += '\x1f';
    id += std::to_string(height);
    id += '\x1f';
    id += std::to_string(style.ToInt());
    auto it = FFontKeys.find(id);
    if (it != FFontKeys.end()) return it->second;

    PangoFontDescription* desc = pango_font_description_new();
    // The pinned face follows the requested one, so a machine without that face (every
    // machine here: the framework's names are Windows fonts) gets DejaVu Sans rather than
    // whatever fontconfig would substitute.
    std::string family = UTF8Encode(name) + "," + UTF8Encode(DefFontName);
    pango_font_description_set_family(desc, family.c_str());
    pango_font_description_set_weight(desc, style.Contains(fsBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc,
                                     style.Contains(fsItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    double em = std::abs(height);
    if (height > 0) {
        // A positive height is the cell height (ascent + descent): find the em that gives it.
        pango_font_description_set_absolute_size(desc, 1000.0 * PANGO_SCALE);
        PangoFont* font = pango_context_load_font(FContexts[0], desc);
        if (font) {
            PangoFontMetrics* m = pango_font_get_metrics(font, nullptr);
            double cell = pango_font_metrics_get_ascent(m) + pango_font_metrics_get_descent(m);
            if (cell > 0) em = height * 1000.0 * PANGO_SCALE / cell;
            pango_font_metrics_unref(m);
            g_object_unref(font);
        }
    }
    if (em < 1) em = 1;
    pango_font_description_set_absolute_size(desc, em * PANGO_SCALE);
    FFonts.push_back(desc);
    FLines.emplace_back();
    FDecorated.push_back(static_cast<std::uint8_t>((style.Contains(fsUnderline) ? 1 : 0) |
                                                   (style.Contains(fsStrikeOut) ? 2 : 0)));
    auto key = static_cast<std::uint32_t>(FFonts.size());
    FFontKeys.emplace(std::move(id), key);
    return key;
}

const TextLayoutCache::Entry* TextLayoutCache::Find(const KeyView& key) {
    auto it = FMap.find(key);
    if (it == FMap.end()) return nullptr;
    if (it->second != FList.begin()) FList.splice(FList.begin(), FList, it->second);
    return &it->second->E;
}

TextLayoutCache::Entry& TextLayoutCache::Insert(const KeyView& key) {
    while (FMap.size() >= FCapacity)
        Evict();
    FList.push_front(Node{Key{key.Hash, key.Font, key.Flags, key.Extra, String(key.Text)}, Entry{}});
    FMap.emplace(FList.front().K, FList.begin());
    return FList.front().E;
}

void TextLayoutCache::Release(Entry& entry) {
    if (entry.Layout) g_object_unref(entry.Layout);
    entry.Layout = nullptr;
    for (GlyphRun& run : entry.Runs)
        cairo_scaled_font_destroy(run.Font);
    entry.Runs.clear();
}

void TextLayoutCache::Extract(Entry& entry, PangoLayout* layout, bool simple) {
    entry.Layout = layout;
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    entry.Width = logical.width;
    entry.Height = logical.height;
    entry.Baseline = PANGO_PIXELS(pango_layout_get_baseline(layout));
    entry.Simple = false;
    if (!simple) return;
    // Runs come in visual order; positions accumulate from the line's left edge.
    const double baseline = pango_layout_get_baseline(layout) / static_cast<double>(PANGO_SCALE);
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
    int x = 0;
    for (GSList* l = line ? line->runs : nullptr; l; l = l->next) {
        auto* item = static_cast<PangoGlyphItem*>(l->data);
        cairo_scaled_font_t* font =
            pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(item->item->analysis.font));
        if (!font) return;
        GlyphRun run;
        run.Font = cairo_scaled_font_reference(font);
        for (int i = 0; i < item->glyphs->num_glyphs; ++i) {
            const PangoGlyphInfo& g = item->glyphs->glyphs[i];
            if (g.glyph != PANGO_GLYPH_EMPTY) {
                if (g.glyph & PANGO_GLYPH_UNKNOWN_FLAG) {
                    // A missing-glyph box: Pango draws those itself.
                    cairo_scaled_font_destroy(run.Font);
                    for (GlyphRun& done : entry.Runs)
                        cairo_scaled_font_destroy(done.Font);
                    entry.Runs.clear();
                    return;
                }
                run.Index.push_back(g.glyph);
                run.X.push_back((x + g.geometry.x_offset) / static_cast<double>(PANGO_SCALE));
                run.Y.push_back(baseline + g.geometry.y_offset / static_cast<double>(PANGO_SCALE));
            }
            x += g.geometry.width;
        }
        entry.Runs.push_back(std::move(run));
    }
    entry.Simple = true;
}

void TextLayoutCache::Show(cairo_t* cr, const Entry& entry, int x, int y) {
    if (!entry.Simple) {
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, entry.Layout);
        return;
    }
    // Glyph arrays on the stack for short lines; cairo wants them contiguous.
    constexpr size_t kStack = 64;
    cairo_glyph_t stack[kStack];
    for (const GlyphRun& run : entry.Runs) {
        size_t n = run.Index.size();
        if (n == 0) continue;
        std::vector<cairo_glyph_t> heap;
        cairo_glyph_t* glyphs = stack;
        if (n > kStack) {
            heap.resize(n);
            glyphs = heap.data();
        }
        for (size_t i = 0; i < n; ++i)
            glyphs[i] = {static_cast<unsigned long>(run.Index[i]), run.X[i] + x, run.Y[i] + y};
        if (cairo_get_scaled_font(cr) != run.Font) cairo_set_scaled_font(cr, run.Font);
        cairo_show_glyphs(cr, glyphs, static_cast<int>(n));
    }
}

void TextLayoutCache::MakeCoverage(const Entry& entry) {
    assert(entry.Simple && "MakeCoverage: only plain lines have glyph runs");
    entry.CoverageMade = true;
    if (entry.Runs.empty()) return;
    // Ink may reach outside the logical box (accents, italic overhang): render with room
    // around it, then keep the tight box of what was drawn.
    const int pad = std::max(entry.Height, 8);
    const int w = entry.Width + 2 * pad, h = entry.Height + 2 * pad;
    // One scratch surface for all lines, grown when a line needs more room.
    static cairo_surface_t* surface = nullptr;
    static cairo_t* cr = nullptr;
    if (!surface || cairo_image_surface_get_width(surface) < w ||
        cairo_image_surface_get_height(surface) < h) {
        const int sw = std::max(w, surface ? cairo_image_surface_get_width(surface) : 512);
        const int sh = std::max(h, surface ? cairo_image_surface_get_height(surface) : 64);
        if (cr) cairo_destroy(cr);
        if (surface) cairo_surface_destroy(surface);
        surface = cairo_image_surface_create(CAIRO_FORMAT_A8, sw, sh);
        cr = cairo_create(surface);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y)
        std::memset(data + y * stride, 0, static_cast<size_t>(w));
    cairo_surface_mark_dirty(surface);
    Show(cr, entry, pad, pad);
    cairo_surface_flush(surface);
    int left = w, top = h, right = 0, bottom = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (data[y * stride + x]) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    if (right > left) {
        entry.CoverageLeft = left - pad;
        entry.CoverageTop = top - pad;
        entry.CoverageWidth = right - left;
        entry.CoverageHeight = bottom - top;
        entry.Coverage.resize(static_cast<size_t>(entry.CoverageWidth) * entry.CoverageHeight);
        for (int y = top; y < bottom; ++y)
            std::copy_n(data + y * stride + left, entry.CoverageWidth,
                        entry.Coverage.data() + static_cast<size_t>(y - top) * entry.CoverageWidth);
    }
}

void TextLayoutCache::Evict() {
    assert(!FList.empty() && "Evict: the cache is empty");
    Node& last = FList.back();
    Release(last.E);
    FMap.erase(last.K);
    FList.pop_back();
}

void TextLayoutCache::SetCapacity(size_t capacity) {
    FCapacity = std::max<size_t>(capacity, 16);
    while (FMap.size() > FCapacity)
        Evict();
}

void TextLayoutCache::Clear() {
    while (!FList.empty())
        Evict();
}

PangoLayout* TextLayoutCache::MakeLayout(std::uint32_t font, const std::string& utf8, bool rtl) {
    assert(font >= 1 && font <= FFonts.size() && "MakeLayout: unknown font key");
    PangoLayout* layout = pango_layout_new(FContexts[rtl ? 1 : 0]);
    pango_layout_set_auto_dir(layout, FALSE);
    pango_layout_set_font_description(layout, FFonts[font - 1]);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    ++FShapeCount;
    return layout;
}

void TextLayoutCache::EnsureMetrics(std::uint32_t font) {
    FontLine& f = FLines[font - 1];
    if (f.Primary) return;
    PangoLayout* layout = MakeLayout(font, "Wg", false);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    f.Height = logical.height;
    f.Baseline = pango_layout_get_baseline(layout);
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
    auto* run = static_cast<PangoGlyphItem*>(line->runs->data);
    f.Primary = g_object_ref(run->item->analysis.font);
    g_object_unref(layout);
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_font_desc_new(FFonts[font - 1]));
    f.Attrs = attrs;
}

bool TextLayoutCache::ShapeDirect(Entry& entry, std::uint32_t font, const std::string& utf8, bool rtl) {
    for (char c : utf8)
        if (static_cast<unsigned char>(c) < 0x20) return false; // tabs, breaks: the layout knows them
    EnsureMetrics(font);
    const FontLine& f = FLines[font - 1];
    ++FShapeCount;
    auto length = static_cast<int>(utf8.size());
    GList* items =
        pango_itemize_with_base_dir(FContexts[rtl ? 1 : 0], rtl ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR,
                                    utf8.data(), 0, length, static_cast<PangoAttrList*>(f.Attrs), nullptr);
    GList* visual = pango_reorder_items(items);
    const double baseline = f.Baseline / static_cast<double>(PANGO_SCALE);
    bool ok = true;
    int x = 0;
    PangoGlyphString* glyphs = pango_glyph_string_new();
    for (GList* l = visual; l && ok; l = l->next) {
        auto* item = static_cast<PangoItem*>(l->data);
        if (item->analysis.font != f.Primary) {
            ok = false; // a fallback face may change the line height: leave it to a layout
            break;
        }
        pango_shape_with_flags(utf8.data() + item->offset, item->length, utf8.data(), length, &item->analysis,
                               glyphs, PANGO_SHAPE_ROUND_POSITIONS);
        GlyphRun run;
        run.Font = cairo_scaled_font_reference(
            pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(item->analysis.font)));
        for (int i = 0; i < glyphs->num_glyphs; ++i) {
            const PangoGlyphInfo& g = glyphs->glyphs[i];
            if (g.glyph & PANGO_GLYPH_UNKNOWN_FLAG) ok = false;
            if (g.glyph != PANGO_GLYPH_EMPTY) {
                run.Index.push_back(g.glyph);
                run.X.push_back((x + g.geometry.x_offset) / static_cast<double>(PANGO_SCALE));
                run.Y.push_back(baseline + g.geometry.y_offset / static_cast<double>(PANGO_SCALE));
            }
            x += g.geometry.width;
        }
        entry.Runs.push_back(std::move(run));
    }
    pango_glyph_string_free(glyphs);
    g_list_free(visual);
    g_list_free_full(items, reinterpret_cast<GDestroyNotify>(pango_item_free));
    if (!ok) {
        Release(entry);
        return false;
    }
    entry.Width = PANGO_PIXELS(x);
    entry.Height = f.Height;
    entry.Baseline = PANGO_PIXELS(f.Baseline);
    entry.Simple = true;
    return true;
}

PangoLayout* TextLayoutCache::LayoutOf(std::uint32_t font, StringView text, bool rtl) {
    PangoLayout* layout = MakeLayout(font, UTF8Encode(text), rtl);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    return layout;
}

const TextLayoutCache::Entry& TextLayoutCache::Line(std::uint32_t font, StringView text, bool rtl,
                                                    int underline) {
    KeyView key = MakeKey(font, rtl ? kRtl : 0u, underline, text);
    if (const Entry* found = Find(key)) return *found;

    std::string utf8 = UTF8Encode(text);
    const bool marked = underline >= 0 && underline < static_cast<int>(text.size());
    if (!marked && !FDecorated[font - 1]) {
        Entry shaped;
        if (ShapeDirect(shaped, font, utf8, rtl)) {
            Entry& entry = Insert(key);
            entry = std::move(shaped);
            return entry;
        }
    }
    PangoLayout* layout = MakeLayout(font, utf8, rtl);
    // One line whatever the text holds: line breaks show as the font shows them.
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    const std::uint8_t decorated = FDecorated[font - 1];
    if (marked || decorated) {
        PangoAttrList* attrs = pango_attr_list_new();
        if (decorated & 1) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (decorated & 2) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        if (marked) {
            PangoAttribute* attr = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
            attr->start_index = static_cast<guint>(Utf8Offset(utf8, underline));
            attr->end_index = static_cast<guint>(Utf8Offset(utf8, underline + 1));
            pango_attr_list_insert(attrs, attr);
        }
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    Entry& entry = Insert(key);
    Extract(entry, layout, !marked && !decorated);
    return entry;
}

const TextLayoutCache::Entry& TextLayoutCache::Breaks(std::uint32_t font, StringView text, int width,
                                                      bool rtl) {
    KeyView key = MakeKey(font, kBreaks | (rtl ? kRtl : 0u), width, text);
    if (const Entry* found = Find(key)) return *found;

    std::string utf8 = UTF8Encode(text);
    PangoLayout* layout = MakeLayout(font, utf8, rtl);
    pango_layout_set_width(layout, std::max(width, 1) * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    std::vector<int> breaks;
    // Pango breaks an over-long word between characters; the framework keeps it whole
    // (clipped), so a break is kept only where a word boundary is.
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    while (pango_layout_iter_next_line(iter)) {
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
        int offset = Utf16Length(utf8, static_cast<size_t>(line->start_index));
        bool atWordBoundary = offset > 0 && (text[static_cast<size_t>(offset - 1)] == u' ' ||
                                             text[static_cast<size_t>(offset - 1)] == u'\t' ||
                                             text[static_cast<size_t>(offset - 1)] == u'-');
        if (atWordBoundary) breaks.push_back(offset);
    }
    pango_layout_iter_free(iter);
    g_object_unref(layout);
    Entry& entry = Insert(key);
    entry.Breaks = std::move(breaks);
    return entry;
}

int TextLayoutCache::FitPrefix(std::uint32_t font, StringView text, int width, bool rtl) {
    const Entry& line = Line(font, text, rtl);
    if (line.Width <= width) return static_cast<int>(text.size());
    if (width <= 0) return 0;
    // The character under x = width is the first that does not fit: its leading edge is
    // the width of the prefix before it, read from the shaped line (no reshaping). In a
    // right-to-left line the logical start is at the right, so x counts from there.
    PangoLayout* layout =
        line.Layout ? static_cast<PangoLayout*>(g_object_ref(line.Layout)) : LayoutOf(font, text, rtl);
    PangoLayoutLine* first = pango_layout_get_line_readonly(layout, 0);
    int x = rtl ? (line.Width - width) * PANGO_SCALE : width * PANGO_SCALE;
    int index = 0, trailing = 0;
    pango_layout_line_x_to_index(first, x, &index, &trailing);
    const char* utf8 = pango_layout_get_text(layout);
    int units = 0;
    for (int i = 0; i < index; ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    g_object_unref(layout);
    return units;
}

const TextLayoutCache::Entry& TextLayoutCache::Ellipsized(std::uint32_t font, StringView text, int width,
                                                          bool rtl, int underline) {
    KeyView key = MakeKey(
        font, kEllipsis | (rtl ? kRtl : 0u) | (static_cast<std::uint32_t>(underline + 1) << 8), width, text);
    if (const Entry* found = Find(key)) return *found;

    int dots = Line(font, u"...", rtl).Width;
    auto keep = static_cast<size_t>(FitPrefix(font, text, width - dots, rtl));
    String shown(text.substr(0, keep));
    shown += u"...";
    int shownUnderline = underline >= 0 && static_cast<size_t>(underline) < keep ? underline : -1;
    Entry& entry = Insert(key);
    std::string utf8 = UTF8Encode(shown);
    if (shownUnderline >= 0 || FDecorated[font - 1] || !ShapeDirect(entry, font, utf8, rtl)) {
        const Entry& line = Line(font, shown, rtl, shownUnderline);
        PangoLayout* layout =
            line.Layout ? static_cast<PangoLayout*>(g_object_ref(line.Layout)) : LayoutOf(font, shown, rtl);
        Extract(entry, layout, shownUnderline < 0 && !FDecorated[font - 1]);
    }
    entry.Shown = std::move(shown);
    entry.Underline = shownUnderline;
    return entry;
}

} // namespace mv
