// Geometry and colour vocabulary of the controls layer: points, sizes, rectangles with the
// framework's helper functions, and TColor with its named and system colours.
// Rectangles are half-open: Right and Bottom are the first column and row outside.
#pragma once

#include "platform/rtl/RtlTypes.h"
#include "platform/rtl/UITypes.h"

#include <algorithm>
#include <cstdint>

namespace mv {

struct TPoint {
    Integer X = 0;
    Integer Y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    Integer cx = 0;
    Integer cy = 0;
    constexpr Integer Width() const { return cx; }
    constexpr Integer Height() const { return cy; }
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    Integer Left = 0;
    Integer Top = 0;
    Integer Right = 0;
    Integer Bottom = 0;

    constexpr Integer Width() const { return Right - Left; }
    constexpr Integer Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    // Empty when it covers no pixel (also when inverted).
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(Integer x, Integer y) {
    return {x, y};
}
constexpr TRect Rect(Integer left, Integer top, Integer right, Integer bottom) {
    return {left, top, right, bottom};
}
constexpr TRect Bounds(Integer left, Integer top, Integer width, Integer height) {
    return {left, top, left + width, top + height};
}

constexpr bool PtInRect(const TRect& rect, TPoint p) {
    return rect.Contains(p);
}
constexpr bool IsRectEmpty(const TRect& rect) {
    return rect.IsEmpty();
}
constexpr bool EqualRect(const TRect& a, const TRect& b) {
    return a == b;
}

// Sets dest to the overlap of a and b; an empty overlap gives the all-zero rectangle
// and false, as the framework's function does.
constexpr bool IntersectRect(TRect& dest, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) {
        dest = {};
        return false;
    }
    dest = r;
    return true;
}

// Sets dest to the smallest rectangle holding a and b; an empty input is ignored.
// False (and the all-zero rectangle) when both are empty.
constexpr bool UnionRect(TRect& dest, const TRect& a, const TRect& b) {
    if (a.IsEmpty() && b.IsEmpty()) {
        dest = {};
        return false;
    }
    if (a.IsEmpty()) {
        dest = b;
        return true;
    }
    if (b.IsEmpty()) {
        dest = a;
        return true;
    }
    dest = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
    return true;
}

constexpr bool OffsetRect(TRect& rect, Integer dx, Integer dy) {
    rect.Left += dx;
    rect.Right += dx;
    rect.Top += dy;
    rect.Bottom += dy;
    return true;
}

// Grows the rectangle by dx on the left and right and dy on top and bottom (negative shrinks).
constexpr bool InflateRect(TRect& rect, Integer dx, Integer dy) {
    rect.Left -= dx;
    rect.Right += dx;
    rect.Top -= dy;
    rect.Bottom += dy;
    return true;
}

// ---------------------------------------------------------------------------------------
// Colours: $00BBGGRR for plain colours; $FF0000nn names system colour nn (resolved by
// ColorToRGB through the style services); clNone and clDefault are markers, not colours.
// ---------------------------------------------------------------------------------------
using TColor = std::int32_t;
using TColorRef = Cardinal; // a resolved $00BBGGRR value

constexpr TColorRef RGB(Byte r, Byte g, Byte b) {
    return static_cast<TColorRef>(r) | (static_cast<TColorRef>(g) << 8) | (static_cast<TColorRef>(b) << 16);
}
constexpr Byte GetRValue(TColorRef c) {
    return static_cast<Byte>(c & 0xFF);
}
constexpr Byte GetGValue(TColorRef c) {
    return static_cast<Byte>((c >> 8) & 0xFF);
}
constexpr Byte GetBValue(TColorRef c) {
    return static_cast<Byte>((c >> 16) & 0xFF);
}

// Indexes of the system colours (the low byte of a system TColor).
enum : Integer {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_ENDCOLORS = 30
};

constexpr TColor TColorOf(Cardinal value) {
    return static_cast<TColor>(value);
}
constexpr TColor clSystemColor = TColorOf(0xFF000000u);
constexpr TColor SystemColor(Integer index) {
    return TColorOf(0xFF000000u | static_cast<Cardinal>(index));
}
constexpr bool IsSystemColor(TColor c) {
    return (static_cast<Cardinal>(c) & 0xFF000000u) == 0xFF000000u;
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clHotLight = SystemColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SystemColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SystemColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SystemColor(COLOR_MENUBAR);

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

} // namespace mv
