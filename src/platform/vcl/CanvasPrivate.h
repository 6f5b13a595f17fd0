// Not public API: the Cairo side of TCanvas, shared by Canvas.cpp, DrawText.cpp and
// DrawEdge.cpp. Coordinates handed to Cairo are logical: the context is translated by the
// target origin. Clip rectangles here are logical too.
#pragma once

#include "platform/vcl/Graphics.h"

#include <cairo.h>

#include <vector>

namespace mv {

struct TCanvasImpl {
    struct SavedState {
        TRect Clip;
        TColor TextColor, BkColor;
        Integer BkMode;
        TPoint PenPos;
    };

    TPixelBuffer Target;
    cairo_surface_t* Surface = nullptr;
    cairo_t* Cr = nullptr;
    TPoint Origin;
    TRect BaseClip; // the target's clip, logical
    TRect Clip;     // the current clip, logical, inside BaseClip
    bool CairoClipValid = false;
    TColor TextColor = clWindowText;
    TColor BkColor = clWhite;
    Integer BkMode = OPAQUE;
    bool FontDirty = true;
    bool BrushDirty = true;
    std::vector<SavedState> Saved;

    // DrawText scratch, reused so that steady-state painting allocates nothing.
    struct TextLine {
        size_t Start = 0, Length = 0; // in the shown text
        int Underline = -1;           // index in the line, -1 for none
    };
    std::vector<TextLine> Lines;
    size_t LineCount = 0;
    String Stripped;

    ~TCanvasImpl() { Release(); }
    void Release();
    // The context with the current clip applied; nullptr without a target.
    cairo_t* Context();
    // Device-space rectangle of logical r cut to the clip, or empty.
    TRect DeviceClipped(const TRect& r) const;
    // Fills logical r, cut to the clip, with an opaque colour by writing the pixels:
    // the cell backgrounds and grid lines of a repaint are thousands of small
    // rectangles, for which Cairo's path-and-fill costs more than the pixels do.
    void FillPixels(const TRect& r, TColor color);
    // Blends 8-bit coverage (width x height, its first pixel at logical (left, top)) in
    // colour over the pixels, cut to the logical clip: premultiplied OVER, as Cairo
    // composites text.
    void BlendCoverage(const std::uint8_t* coverage, int width, int height, int left, int top,
                       const TRect& clip, TColor color);
    void Flush() {
        if (Surface) cairo_surface_flush(Surface);
    }
    void MarkDirty(const TRect& device) {
        if (Surface && !device.IsEmpty())
            cairo_surface_mark_dirty_rectangle(Surface, device.Left, device.Top, device.Width(),
                                               device.Height());
    }
};

// Sets the source colour of cr from a framework colour (system colours resolved).
void SetSourceColor(cairo_t* cr, TColor color);
// Fills logical rect with a solid colour through cr (the caller checked the target).
void FillSolid(cairo_t* cr, const TRect& rect, TColor color);

} // namespace mv
