// Not public API: the shaped-text cache behind TCanvas and TFont.
//
// Shaping a string with Pango costs far more than drawing it, and a grid repaints the same
// strings over and over. Every single-line text the canvas draws or measures is therefore
// shaped once into a PangoLayout kept in a bounded LRU cache keyed by (font key, direction,
// underline position, text); word-break positions are cached the same way per wrap width.
// Measuring is a lookup. A plain line is drawn through Cairo from its glyph runs the first
// time and blended from its rendered coverage after that (CanvasBench: warm frames).
// Fonts are interned: each distinct (face, height, style) gets a small key and one
// PangoFontDescription. Everything here runs on the UI thread.
#pragma once

#include "platform/vcl/Graphics.h"

#include <list>
#include <string>
#include <unordered_map>

typedef struct _PangoLayout PangoLayout;
typedef struct _cairo_scaled_font cairo_scaled_font_t;
typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;

namespace mv {

class TextLayoutCache {
public:
    static TextLayoutCache& Instance();

    // Flags of a cache key.
    enum : std::uint32_t {
        kRtl = 1,      // laid out right to left
        kBreaks = 2,   // an entry holding word-break positions for the width in Extra
        kEllipsis = 4, // a line shortened with "..." to the width in Extra
    };

    // Glyphs of one run of a shaped line, positioned relative to the line's top-left.
    struct GlyphRun {
        cairo_scaled_font_t* Font = nullptr; // referenced
        std::vector<std::uint64_t> Index;
        std::vector<double> X, Y;
    };

    struct Entry {
        PangoLayout* Layout = nullptr; // single-line entries only
        int Width = 0;                 // logical width in pixels
        int Height = 0;                // logical (line) height in pixels
        int Baseline = 0;              // from the top, in pixels
        std::vector<int> Breaks;       // kBreaks: UTF-16 offsets where the lines after the first start
        String Shown;                  // kEllipsis: the shortened text ("Abc...")
        int Underline = -1;            // kEllipsis: the underline index left in Shown
        // When the line has no decorations, its glyphs drawn straight through Cairo: the
        // fast path of a repaint. Empty with Simple false otherwise (Pango draws then).
        std::vector<GlyphRun> Runs;
        bool Simple = false;
        // The line's glyphs rendered once as 8-bit coverage (Simple entries, on first
        // draw): later draws blend it into the pixels, no glyph lookup per character.
        // Left/Top place its first pixel relative to the line's top-left.
        mutable std::vector<std::uint8_t> Coverage;
        mutable int CoverageLeft = 0, CoverageTop = 0, CoverageWidth = 0, CoverageHeight = 0;
        mutable bool CoverageMade = false;
        // Draws so far: a line drawn once goes straight through Cairo, so texts seen only
        // once (a cold frame) do not pay for rendering their coverage.
        mutable std::uint8_t Draws = 0;
    };

    // Draws a line entry with its top-left at (x, y) in the current source colour.
    static void Show(cairo_t* cr, const Entry& entry, int x, int y);
    // Renders a Simple entry's coverage if not yet done. Rendered through Cairo exactly
    // as Show would draw at an integer position, so blending it gives the same pixels.
    static void MakeCoverage(const Entry& entry);

    // Interns a font description; never 0.
    std::uint32_t FontKey(const String& name, Integer height, TFontStyles style);
    // Whether a font key draws underlined or struck out (attributes on every layout).
    bool IsDecorated(std::uint32_t font) const { return FDecorated[font - 1]; }

    // The shaped single line of text in font. underline >= 0 underlines that UTF-16 index.
    // The reference stays valid until the next call into the cache.
    const Entry& Line(std::uint32_t font, StringView text, bool rtl, int underline = -1);
    // Where text breaks into lines no wider than width when wrapped at word boundaries
    // (words wider than width stay whole on their own line).
    const Entry& Breaks(std::uint32_t font, StringView text, int width, bool rtl);
    // The UTF-16 length of the longest prefix of text whose shaped width is at most width.
    int FitPrefix(std::uint32_t font, StringView text, int width, bool rtl);
    // text shortened to its longest prefix that fits width beside "..." (at least nothing
    // and the dots), shaped; Shown holds the shortened text.
    const Entry& Ellipsized(std::uint32_t font, StringView text, int width, bool rtl, int underline = -1);

    // Bounds the number of entries (at least 16); the least recently used go first.
    void SetCapacity(size_t capacity);
    size_t Capacity() const { return FCapacity; }
    size_t Count() const { return FMap.size(); }
    // Shaping runs since start-up: lets tests and benchmarks see that warm paints shape nothing.
    size_t ShapeCount() const { return FShapeCount; }
    void Clear();

private:
    struct Key {
        size_t Hash;
        std::uint32_t Font;
        std::uint32_t Flags;
        std::int32_t Extra;
        String Text;
    };
    struct KeyView {
        size_t Hash;
        std::uint32_t Font;
        std::uint32_t Flags;
        std::int32_t Extra;
        StringView Text;
    };
    // Keys carry their hash: walking a bucket then compares numbers, not strings.
    static KeyView MakeKey(std::uint32_t font, std::uint32_t flags, std::int32_t extra, StringView text);
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(const KeyView& k) const noexcept { return k.Hash; }
        size_t operator()(const Key& k) const noexcept { return k.Hash; }
    };
    struct KeyEq {
        using is_transparent = void;
        static KeyView View(const Key& k) { return {k.Hash, k.Font, k.Flags, k.Extra, k.Text}; }
        static const KeyView& View(const KeyView& k) { return k; }
        template <typename A, typename B> bool operator()(const A& a, const B& b) const {
            const KeyView& x = View(a);
            const KeyView& y = View(b);
            return x.Hash == y.Hash && x.Font == y.Font && x.Flags == y.Flags && x.Extra == y.Extra &&
                   x.Text == y.Text;
        }
    };
    struct Node {
        Key K;
        Entry E;
    };
    using List = std::list<Node>;

    TextLayoutCache();
    ~TextLayoutCache();
    const Entry* Find(const KeyView& key);
    Entry& Insert(const KeyView& key);
    void Evict();
    static void Release(Entry& entry);
    // Shapes a plain line without a PangoLayout (itemize + shape only: no line breaking or
    // text attributes to compute). False when the line needs more than the primary font
    // or holds control characters; the caller then makes a layout.
    bool ShapeDirect(Entry& entry, std::uint32_t font, const std::string& utf8, bool rtl);
    // Line height, baseline and primary font of a font key, from a layout of "Wg".
    void EnsureMetrics(std::uint32_t font);
    PangoLayout* LayoutOf(std::uint32_t font, StringView text, bool rtl);
    void Extract(Entry& entry, PangoLayout* layout, bool simple);
    PangoLayout* MakeLayout(std::uint32_t font, const std::string& utf8, bool rtl);

    PangoContext* FContexts[2] = {nullptr, nullptr}; // left to right, right to left
    std::vector<PangoFontDescription*> FFonts;       // index = key - 1
    std::vector<std::uint8_t> FDecorated;            // index = key - 1: 1 underline, 2 strike-out
    struct FontLine {
        void* Primary = nullptr; // PangoFont*, referenced; nullptr until measured
        void* Attrs = nullptr;   // PangoAttrList* holding the font description
        int Height = 0;          // pixels
        int Baseline = 0;        // Pango units
    };
    std::vector<FontLine> FLines; // index = key - 1
    std::unordered_map<std::string, std::uint32_t> FFontKeys;
    List FList; // most recently used first
    std::unordered_map<Key, List::iterator, KeyHash, KeyEq> FMap;
    size_t FCapacity = 8192;
    size_t FShapeCount = 0;
};

} // namespace mv
