// The painting vocabulary of the controls layer: fonts, brushes, pens, the canvas with its
// GDI-like operations (text, rectangles, edges, focus rectangles, gradients, clipping,
// copying between canvases), the graphic base class and the pixel buffer a canvas draws on.
// Cairo and Pango stay behind the implementation (Canvas*.cpp, Font.cpp, TextLayoutCache).
//
// Coordinates: a canvas works in logical pixels whose (0, 0) is the origin its target was
// given (a child control's top-left inside its window's surface). Rectangles are half-open.
#pragma once

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Set.h"
#include "platform/vcl/Types.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace mv {

class TCanvas;
class TStream;

// Raised for image data a graphic class cannot read, and for misuse of graphic objects.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// Message texts of the graphics unit, replaceable as the rtl's.
namespace GraphicsConsts {
extern String SInvalidImage;          // "Invalid image"
extern String SInvalidBitmap;         // "Bitmap image is not valid"
extern String SInvalidIcon;           // "Icon image is not valid"
extern String SInvalidMetafile;       // "Metafile is not valid"
extern String SUnknownExtension;      // "Unknown picture file extension (.%s)"
extern String SInvalidImageSize;      // "Invalid image size"
extern String SImageIndexError;       // "Invalid ImageList Index"
extern String SResNotFound;           // "Resource %s not found"
extern String SNoCanvasHandle;        // "Canvas does not allow drawing"
extern String SInvalidRestoreDC;      // "RestoreDC(%d): no saved state with that index"
extern String SImageListSizeMismatch; // "Image list %dx%d cannot take a %dx%d image"
extern String SInvalidImageListData;  // "Image list data does not fit images of %dx%d"
} // namespace GraphicsConsts

// Pixels a canvas draws on: 32-bit ARGB, premultiplied alpha, native endianness (the same
// memory layout as Cairo's ARGB32 and SDL_PIXELFORMAT_ARGB8888 on little-endian).
// Stride is in bytes and a multiple of 4. The owner keeps the memory alive while a canvas
// targets it.
struct TPixelBuffer {
    std::uint32_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::uint32_t* Row(int y) const {
        return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(Pixels) + y * Stride);
    }
};

// ---------------------------------------------------------------------------------------
// Graphics objects: fonts, pens and brushes tell their canvas (and anyone else listening
// on OnChange) when they change.
// ---------------------------------------------------------------------------------------
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
using TFontName = String;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;

// Pixels per logical inch of the screen the default font is sized for.
constexpr Integer DefaultPixelsPerInch = 96;
// The pinned default: DejaVu Sans 9 pt, Height -12 at 96 dpi. Pango resolves the
// framework's usual face names ("Tahoma", "Segoe UI", "MS Sans Serif") to it as well.
extern String DefFontName;    // "DejaVu Sans"
extern Integer DefFontHeight; // -12

// A font description. Height < 0 is the character (em) height in pixels, Height > 0 the
// cell height (em plus internal leading); Size is points at PixelsPerInch, and setting
// one sets the other (Size = -Height * 72 / PixelsPerInch, rounded). Charset and Pitch
// are kept and streamed but do not change the face Pango chooses. Every setter that
// changes a value fires OnChange once.
class TFont : public TGraphicsObject {
    MV_CLASS(TFont, TPersistent);
    // Published: Charset, Color, Height, Name, Pitch, Size (not stored: Height is), Style.
    static void RegisterProperties(TPropertyRegistrar<TFont>& r);

    TFont();
    ~TFont() override;

    void Assign(const TPersistent* source) override;

    const TFontName& Name() const { return FName; }
    void SetName(const TFontName& value);
    Integer Height() const { return FHeight; }
    void SetHeight(Integer value);
    Integer Size() const;
    void SetSize(Integer value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch value);
    Integer PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(Integer value);

    // Same face, height, style, colour, charset and pitch.
    bool Equals(const TFont& other) const;
    // A small number naming this face, height and style (not colour) in the text cache;
    // equal descriptions share one id. Internal to the painting code.
    std::uint32_t TextKey() const;

protected:
    void Changed() override;

private:
    TFontName FName;
    Integer FHeight;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    Integer FPixelsPerInch = DefaultPixelsPerInch;
    mutable std::uint32_t FTextKey = 0; // 0: not looked up since the last change
};

enum TPenStyle {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};
// Raster operations of a pen. pmCopy draws the colour; pmNop draws nothing; pmBlack and
// pmWhite draw those colours; pmNot inverts the destination; pmXor and pmNotXor approximate
// the bitwise operation with a difference blend (exact against black and white, which is
// what sizing lines and focus marks use). The other modes draw as pmCopy.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
public:
    void Assign(const TPersistent* source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    Integer Width() const { return FWidth; }
    // Widths below 1 are taken as 1.
    void SetWidth(Integer value);

private:
    TColor FColor = clBlack;
    TPenMode FMode = pmCopy;
    TPenStyle FStyle = psSolid;
    Integer FWidth = 1;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    void Assign(const TPersistent* source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// ---------------------------------------------------------------------------------------
// TGraphic: an image that can draw itself on a canvas and load from and save to a stream.
// The concrete classes (TBitmap, TPngImage, TJPEGImage, TGIFImage, TIcon, TMetafile) and
// the format registry live in Bitmap.h and Picture.h.
// ---------------------------------------------------------------------------------------
class TGraphic : public TPersistent {
public:
    virtual bool Empty() const = 0;
    virtual Integer Width() const = 0;
    virtual Integer Height() const = 0;
    virtual void SetWidth(Integer value) = 0;
    virtual void SetHeight(Integer value) = 0;
    // Transparent graphics leave the pixels of their transparent colour (or their alpha)
    // showing the background when drawn.
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);

    // Raise EInvalidGraphic with the class's message for data it cannot read; the
    // graphic is left empty then.
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    // Draws the whole graphic stretched into rect of canvas.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;
    virtual void Changed();

    bool FTransparent = false;
};

// ---------------------------------------------------------------------------------------
// TCanvas and its flags
// ---------------------------------------------------------------------------------------

// DrawText format flags, with the framework's values.
enum : Cardinal {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_NOFULLWIDTHCHARBREAK = 0x80000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000
};

// DrawEdge: edge kinds and border flags, with the framework's values.
enum : Cardinal {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3,
    BDR_INNER = 0xC,
    BDR_RAISED = 0x5,
    BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER
};
enum : Cardinal {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_DIAGONAL = 0x10,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000
};

// SetBkMode values.
enum : Integer { TRANSPARENT = 1, OPAQUE = 2 };
// What clipping calls return: the kind of clip region left.
enum : Integer { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// Raster operations of BitBlt / CopyMode. SRCCOPY replaces, the others combine per channel.
enum : Cardinal {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062
};
using TCopyMode = Cardinal;

enum TGradientDirection { gdHorizontal, gdVertical };

// What a recording canvas logged (STYLE.md: painting is checked with the recording canvas).
// Rectangles and points are logical coordinates of the canvas.
enum TCanvasRecordKind {
    crText,      // one drawn line of text: Text, X/Y of its layout box, Rect its box, Color
    crFillRect,  // Rect filled with Color
    crFrameRect, // Rect framed one pixel wide with Color
    crRectangle, // Rect outlined with the pen (Color) and filled with the brush (Color2, clNone if clear)
    crEllipse,   // as crRectangle
    crLine,      // from (X, Y) to (X2, Y2) in Color
    crEdge,      // DrawEdge: Rect, Edge and Flags
    crFocusRect, // Rect
    crGradient,  // Rect from Color to Color2 in the direction Flags (a TGradientDirection)
    crImage,     // Draw/StretchDraw/CopyRect/BitBlt/image list: destination Rect
    crScroll     // ScrollPixels: Rect moved by (X, Y)
};

struct TCanvasRecord {
    TCanvasRecordKind Kind = crText;
    TRect Rect;
    String Text;
    Integer X = 0, Y = 0, X2 = 0, Y2 = 0;
    TColor Color = clNone;
    TColor Color2 = clNone;
    Cardinal Edge = 0;
    Cardinal Flags = 0;
};

// Region handles are rectangles: enough for the clip regions controls select.
struct TRgn {
    TRect Bounds;
};
using HRGN = TRgn*;
HRGN CreateRectRgn(Integer left, Integer top, Integer right, Integer bottom);
HRGN CreateRectRgnIndirect(const TRect& rect);
void DeleteObject(HRGN region);

struct TCanvasImpl;

// A drawing surface. A canvas draws nothing until it has a target: its TBitmap's pixels,
// or a window's pixel buffer given by the host for one paint (SetTarget). Without a target
// it still measures text and, when recording, logs what would be drawn, so painting code
// can be tested without pixels.
//
// Text colour and background follow the framework: reading Handle() (and every canvas
// method that draws text) takes the font's colour as the text colour and the brush colour
// as the background colour when the font or brush changed since; SetTextColor/SetBkColor
// override until the next such change. The background mode starts OPAQUE; a brush style
// of bsClear makes it TRANSPARENT on the next refresh.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // --- target ---------------------------------------------------------------------
    // Draws into buffer; logical (0, 0) is origin in buffer pixels and nothing is drawn
    // outside clip (buffer pixels, cut to the buffer). Resets clipping, the saved-state
    // stack, the pen position and the background mode, as a fresh device context would.
    void SetTarget(const TPixelBuffer& buffer, TPoint origin, const TRect& clip);
    void SetTarget(const TPixelBuffer& buffer) {
        SetTarget(buffer, {0, 0}, {0, 0, buffer.Width, buffer.Height});
    }
    // Detaches the target (call before the buffer goes away).
    void ReleaseTarget();
    bool HasTarget() const;
    const TPixelBuffer& Target() const;
    TPoint Origin() const;

    // The framework's device-context handle: the canvas itself, after refreshing its
    // text colour and background from font and brush (see the class comment).
    TCanvas* Handle();
    bool HandleAllocated() const { return HasTarget(); }

    // --- tools ---------------------------------------------------------------------
    TFont* Font() const { return FFont.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    TPen* Pen() const { return FPen.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    void SetBrush(const TBrush* value) { FBrush->Assign(value); }
    void SetPen(const TPen* value) { FPen->Assign(value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode value) { FCopyMode = value; }
    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint value) { FPenPos = value; }

    // --- device-context state ----------------------------------------------------------
    // Return the previous value.
    TColor SetTextColor(TColor color);
    TColor SetBkColor(TColor color);
    Integer SetBkMode(Integer mode);
    TColor TextColor() const;
    TColor BkColor() const;
    Integer BkMode() const;

    // Pushes clip, colours, background mode and pen position; returns the new depth (>= 1).
    Integer SaveDC();
    // Restores the state saved at depth index (then that depth and all above are gone);
    // a negative index counts back from the top (-1: the last SaveDC). An index that names
    // no saved state raises EInvalidGraphicOperation (SInvalidRestoreDC).
    void RestoreDC(Integer index);
    // Cuts the clip region to the rectangle; returns NULLREGION when nothing is left.
    Integer IntersectClipRect(Integer left, Integer top, Integer right, Integer bottom);
    Integer IntersectClipRect(const TRect& r) { return IntersectClipRect(r.Left, r.Top, r.Right, r.Bottom); }
    // Replaces the clip region by the region (logical coordinates, cut to the target's own
    // clip); nullptr selects the whole target clip again.
    Integer SelectClipRgn(HRGN region);
    // The clip region's bounds in logical coordinates.
    TRect ClipRect() const;

    // --- shapes --------------------------------------------------------------------
    // Fills with the brush (colour and hatch); nothing for bsClear.
    void FillRect(const TRect& rect);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& rect);
    // Outline with the pen inside rect (Right/Bottom exclusive), filled with the brush.
    void Rectangle(Integer left, Integer top, Integer right, Integer bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(Integer left, Integer top, Integer right, Integer bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void MoveTo(Integer x, Integer y);
    // Draws from the pen position to (x, y), not including (x, y), and moves the pen there.
    void LineTo(Integer x, Integer y);
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    // The framework's focus rectangle: a dotted one-pixel frame that inverts the pixels
    // under its dots, so drawing it twice restores them.
    void DrawFocusRect(const TRect& rect);
    void GradientFill(const TRect& rect, TColor startColor, TColor endColor, TGradientDirection direction);
    // Draws the 3-D edges and borders of DrawEdge (BDR_*/EDGE_* with BF_*). With BF_ADJUST
    // rect is shrunk by the drawn border; with BF_MIDDLE the inside is filled with clBtnFace.
    bool DrawEdge(TRect& rect, Cardinal edge, Cardinal flags);

    // Pixel access for tests and simple effects; clNone outside the target or clip.
    TColor Pixel(Integer x, Integer y) const;
    void SetPixel(Integer x, Integer y, TColor color);

    // --- text ----------------------------------------------------------------------
    // Measure with the canvas's font without drawing; the shaped text is cached per
    // (text, font), so measuring again costs a lookup.
    TSize TextExtent(StringView text);
    Integer TextWidth(StringView text) { return TextExtent(text).cx; }
    Integer TextHeight(StringView text) { return TextExtent(text).cy; }
    // Draws text with its top-left at (x, y) and moves the pen position to its end.
    void TextOut(Integer x, Integer y, StringView text);
    // Draws text at (x, y) clipped to rect; with an opaque background the rect is filled
    // with the brush first.
    void TextRect(const TRect& rect, Integer x, Integer y, StringView text);
    // The framework's DrawText: lays text out in rect by the DT_ flags. Returns the height
    // of the text drawn (with DT_VCENTER/DT_BOTTOM the offset plus that height). With
    // DT_CALCRECT nothing is drawn and rect's Right and Bottom are set to fit the text
    // (the width of the widest line; with DT_WORDBREAK, lines broken at rect's width).
    // Without DT_NOPREFIX "&x" underlines x and "&&" shows one ampersand. DT_RTLREADING
    // lays the text out right to left. DT_EXPANDTABS is always in effect (tab stops every
    // eight average characters).
    Integer DrawText(StringView text, TRect& rect, Cardinal format);

    // --- images and copying ----------------------------------------------------------
    void Draw(Integer x, Integer y, const TGraphic* graphic);
    void StretchDraw(const TRect& rect, const TGraphic* graphic);
    // Copies source's pixels in sourceRect into dest on this canvas, scaled, by CopyMode.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // The framework's BitBlt: copies width x height pixels from (xSrc, ySrc) of source to
    // (x, y) here by rop. Returns false when either canvas has no target.
    bool BitBlt(Integer x, Integer y, Integer width, Integer height, TCanvas& source, Integer xSrc,
                Integer ySrc, Cardinal rop = SRCCOPY);
    // Draws pixels (premultiplied ARGB) of sourceRect into dest, scaled; alpha blends.
    // opacity 0..1 multiplies alpha. Used by the image classes.
    void DrawPixels(const TRect& dest, const TPixelBuffer& source, const TRect& sourceRect,
                    double opacity = 1.0);
    // Moves the pixels inside rect by (dx, dy); pixels moved out of rect are lost, pixels
    // moved in come only from rect, and the uncovered strip keeps its old pixels. The clip
    // region limits what changes. ScrollWindowEx is built on this.
    void ScrollPixels(const TRect& rect, Integer dx, Integer dy);

    // --- recording -------------------------------------------------------------------
    // While recording, each drawing operation appends what it drew (after clipping
    // decisions: an operation wholly outside the clip is still logged) to Records().
    void StartRecording();
    void StopRecording();
    bool Recording() const { return FRecording; }
    const std::vector<TCanvasRecord>& Records() const { return FRecords; }
    void ClearRecords() { FRecords.clear(); }

private:
    friend struct TCanvasImpl;
    void Record(TCanvasRecord record);
    void RefreshState();

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TCanvasImpl> FImpl;
    TPoint FPenPos;
    TCopyMode FCopyMode = SRCCOPY;
    bool FRecording = false;
    std::vector<TCanvasRecord> FRecords;
};

// The device-context spelling of the canvas operations, so painting code reads as the
// framework's (DrawText(Canvas->Handle(), ...)).
using HDC = TCanvas*;
inline Integer SaveDC(HDC dc) {
    return dc->SaveDC();
}
inline bool RestoreDC(HDC dc, Integer index) {
    dc->RestoreDC(index);
    return true;
}
inline Integer IntersectClipRect(HDC dc, Integer l, Integer t, Integer r, Integer b) {
    return dc->IntersectClipRect(l, t, r, b);
}
inline Integer SelectClipRgn(HDC dc, HRGN region) {
    return dc->SelectClipRgn(region);
}
inline TColor SetTextColor(HDC dc, TColor color) {
    return dc->SetTextColor(color);
}
inline TColor SetBkColor(HDC dc, TColor color) {
    return dc->SetBkColor(color);
}
inline Integer SetBkMode(HDC dc, Integer mode) {
    return dc->SetBkMode(mode);
}
inline Integer DrawText(HDC dc, StringView text, TRect& rect, Cardinal format) {
    return dc->DrawText(text, rect, format);
}
inline Integer DrawTextW(HDC dc, StringView text, TRect& rect, Cardinal format) {
    return dc->DrawText(text, rect, format);
}
inline bool DrawEdge(HDC dc, TRect& rect, Cardinal edge, Cardinal flags) {
    return dc->DrawEdge(rect, edge, flags);
}
inline bool DrawFocusRect(HDC dc, const TRect& rect) {
    dc->DrawFocusRect(rect);
    return true;
}
inline bool BitBlt(HDC dest, Integer x, Integer y, Integer w, Integer h, HDC src, Integer xs, Integer ys,
                   Cardinal rop) {
    return dest->BitBlt(x, y, w, h, *src, xs, ys, rop);
}

// Resolves system colours through the style services' table; clNone and clDefault give
// black (as the framework's function would give garbage there, callers resolve those
// first). Plain colours pass through.
TColorRef ColorToRGB(TColor color);

} // namespace mv
