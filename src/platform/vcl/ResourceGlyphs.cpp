// The glyph strips of the grid: row indicators, sort markers, and the calendar and
// calculator button images. Drawn with antialiasing off so that every pixel is either a
// glyph colour or the transparent $008080, which keeps masked drawing free of fringes.
#include "platform/vcl/ResourcesPrivate.h"

#include <array>

namespace mv {

namespace {

constexpr TColor kInk = clWindowText;
constexpr TColor kGreen = 0x008000;
constexpr TColor kRed = 0x0000C0;
constexpr TColor kGrey = 0x808080;

// Draws with a pen and brush of one colour (crisp polygons with antialiasing off).
void SetInk(TCanvas& c, TColor color) {
    c.Pen()->SetColor(color);
    c.Pen()->SetWidth(1);
    c.Brush()->SetColor(color);
    c.Brush()->SetStyle(bsSolid);
}

void Poly(TCanvas& c, Integer ox, std::initializer_list<TPoint> points) {
    std::vector<TPoint> shifted;
    shifted.reserve(points.size());
    for (TPoint p : points)
        shifted.push_back({p.X + ox, p.Y});
    c.Polygon(shifted);
}

void Box(TCanvas& c, Integer ox, Integer left, Integer top, Integer right, Integer bottom) {
    c.FillRect({ox + left, top, ox + right, bottom});
}

void Stroke(TCanvas& c, Integer ox, Integer x1, Integer y1, Integer x2, Integer y2) {
    c.MoveTo(ox + x1, y1);
    c.LineTo(ox + x2, y2);
}

void Outline(TCanvas& c, Integer ox, std::initializer_list<TPoint> points) {
    TBrushStyle old = c.Brush()->Style();
    c.Brush()->SetStyle(bsClear);
    Poly(c, ox, points);
    c.Brush()->SetStyle(old);
}

// Filled pixel by pixel: the canvas smooths ellipses, which would leave a fringe of
// mask-tinted pixels around the disc.
void Disc(TCanvas& c, Integer ox, Integer left, Integer top, Integer size) {
    const double r = size / 2.0;
    for (Integer y = 0; y < size; ++y)
        for (Integer x = 0; x < size; ++x) {
            const double dx = x + 0.5 - r, dy = y + 0.5 - r;
            if (dx * dx + dy * dy <= r * r)
                c.FillRect({ox + left + x, top + y, ox + left + x + 1, top + y + 1});
        }
}

// A 3 x 5 pixel digit, for the numbered sort markers.
void Digit(TCanvas& c, Integer x, Integer y, int digit) {
    static constexpr std::array<const char*, 10> kRows = {
        "111101101101111", "010110010010111", "111001111100111", "111001111001111", "101101111001001",
        "111100111001111", "111100111101111", "111001010010010", "111101111101111", "111101111001111"};
    const char* bits = kRows[static_cast<size_t>(digit)];
    for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 3; ++col)
            if (bits[r * 3 + col] == '1') c.FillRect({x + col, y + r, x + col + 1, y + r + 1});
}

void CheckMark(TCanvas& c, Integer ox) {
    for (int d = 0; d < 3; ++d) {
        Stroke(c, ox, 3, 7 + d, 6, 10 + d);
        Stroke(c, ox, 6, 10 + d, 12, 4 + d);
    }
}

void CrossMark(TCanvas& c, Integer ox, Integer inset, Integer thickness) {
    for (int d = 0; d < thickness; ++d) {
        Stroke(c, ox, inset + d, inset, 15 - inset + d, 15 - inset + 0);
        Stroke(c, ox, 15 - inset - 1 + d, inset, inset - 1 + d, 15 - inset);
    }
}

void Funnel(TCanvas& c, Integer ox) {
    SetInk(c, kInk);
    c.Brush()->SetColor(kGrey);
    Poly(c, ox, {{2, 3}, {13, 3}, {9, 8}, {9, 13}, {6, 11}, {6, 8}});
}

void UpArrow(TCanvas& c, Integer ox, Integer top) {
    Poly(c, ox, {{7, top}, {12, top + 5}, {2, top + 5}});
    Box(c, ox, 6, top + 5, 9, 14);
}

void DownArrow(TCanvas& c, Integer ox, Integer bottom) {
    Poly(c, ox, {{7, bottom}, {12, bottom - 5}, {2, bottom - 5}});
    Box(c, ox, 6, 2, 9, bottom - 5);
}

} // namespace

void MakeIndicators(TBitmap& b) {
    constexpr int kCount = 27;
    b.SetSize(kCount * 16, 16);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(kStripBack);
    c.FillRect({0, 0, kCount * 16, 16});
    for (int i = 0; i < kCount; ++i) {
        const Integer o = i * 16;
        SetInk(c, kInk);
        switch (i) {
        case 0: // current record
            Poly(c, o, {{5, 3}, {10, 8}, {5, 13}});
            break;
        case 1: // being edited: an I-beam
            Box(c, o, 7, 3, 9, 13);
            Box(c, o, 5, 3, 11, 4);
            Box(c, o, 5, 12, 11, 13);
            break;
        case 2: // being inserted: an asterisk
            Box(c, o, 7, 3, 9, 13);
            Stroke(c, o, 3, 5, 12, 10);
            Stroke(c, o, 3, 10, 12, 5);
            Stroke(c, o, 4, 5, 13, 10);
            Stroke(c, o, 4, 10, 13, 5);
            break;
        case 3: // selected record
            Disc(c, o, 5, 5, 6);
            break;
        case 4: // current and selected
            Poly(c, o, {{8, 3}, {13, 8}, {8, 13}});
            Disc(c, o, 2, 6, 4);
            break;
        case 5: // downward triangle
            Poly(c, o, {{3, 5}, {12, 5}, {7, 10}});
            break;
        case 6: // selection anchor
            Outline(c, o, {{5, 3}, {10, 8}, {5, 13}});
            break;
        case 7: // selected selection anchor
            Outline(c, o, {{8, 3}, {13, 8}, {8, 13}});
            Disc(c, o, 2, 6, 4);
            break;
        case 8: // small up
            Poly(c, o, {{5, 9}, {10, 9}, {7, 6}});
            break;
        case 9: // small down
            Poly(c, o, {{5, 6}, {10, 6}, {7, 9}});
            break;
        case 10: // left, smaller than the record triangles
            Poly(c, o, {{9, 5}, {6, 8}, {9, 11}});
            break;
        case 11: // right
            Poly(c, o, {{6, 5}, {9, 8}, {6, 11}});
            break;
        case 12:
            SetInk(c, kGreen);
            CheckMark(c, o);
            break;
        case 13:
            SetInk(c, kRed);
            CrossMark(c, o, 3, 2);
            break;
        case 14: // square
            Box(c, o, 4, 4, 12, 12);
            break;
        case 15: // disc
            Disc(c, o, 3, 3, 10);
            break;
        case 16: // triangle
            Poly(c, o, {{7, 3}, {13, 12}, {2, 12}});
            break;
        case 17: // plus
            Box(c, o, 3, 7, 13, 9);
            Box(c, o, 7, 3, 9, 13);
            break;
        case 18: // minus
            Box(c, o, 3, 7, 13, 9);
            break;
        case 19: // exclamation mark
            Box(c, o, 7, 2, 9, 10);
            Box(c, o, 7, 12, 9, 14);
            break;
        case 20:
            Funnel(c, o);
            break;
        case 21:
            Funnel(c, o);
            SetInk(c, kRed);
            Disc(c, o, 10, 10, 5);
            break;
        case 22:
            UpArrow(c, o, 2);
            break;
        case 23:
            DownArrow(c, o, 13);
            break;
        case 24: // to top
            Box(c, o, 2, 2, 13, 4);
            UpArrow(c, o, 5);
            break;
        case 25: // to bottom
            Box(c, o, 2, 12, 13, 14);
            DownArrow(c, o, 11);
            break;
        case 26: // cross, thin
            CrossMark(c, o, 4, 1);
            break;
        }
    }
}

void MakeMarkers(TBitmap& b) {
    constexpr int kCount = 20;
    b.SetSize(kCount * 16, 16);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(kStripBack);
    c.FillRect({0, 0, kCount * 16, 16});
    for (int i = 0; i < kCount; ++i) {
        const Integer o = i * 16;
        const bool descending = i % 2 == 1;
        const int number = i / 2; // 0: the single-key marker, no number
        SetInk(c, kGrey);
        // The numbered markers leave room for their digit on the right.
        const Integer left = number ? 1 : 4, right = number ? 9 : 12;
        const Integer mid = (left + right) / 2;
        if (descending)
            Poly(c, o, {{left, 6}, {right, 6}, {mid, 10}});
        else
            Poly(c, o, {{left, 10}, {right, 10}, {mid, 6}});
        if (number) {
            SetInk(c, kInk);
            Digit(c, o + 11, 6, number);
        }
    }
}

void MakeCalendarGlyph(TBitmap& b) {
    b.SetSize(16, 16);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(kStripBack);
    c.FillRect({0, 0, 16, 16});
    SetInk(c, kInk);
    c.FrameRect({1, 2, 15, 15});
    c.Brush()->SetColor(clWindow);
    c.FillRect({2, 6, 14, 14});
    c.Brush()->SetColor(kRed);
    c.FillRect({2, 3, 14, 6});
    // Rings holding the sheets.
    SetInk(c, kInk);
    Box(c, 0, 4, 1, 5, 4);
    Box(c, 0, 11, 1, 12, 4);
    // Days as a 4 x 3 grid of dots, one of them marked as today.
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            SetInk(c, row == 1 && col == 2 ? kRed : kGrey);
            Box(c, 0, 3 + col * 3, 7 + row * 2 + row / 2, 5 + col * 3, 8 + row * 2 + row / 2);
        }
}

void MakeCalculatorGlyph(TBitmap& b) {
    b.SetSize(16, 16);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(kStripBack);
    c.FillRect({0, 0, 16, 16});
    SetInk(c, kInk);
    c.FrameRect({2, 0, 14, 16});
    c.Brush()->SetColor(clBtnFace);
    c.FillRect({3, 1, 13, 15});
    // The display.
    SetInk(c, kGreen);
    Box(c, 0, 4, 2, 12, 5);
    // Keys: a 3 x 3 block and the equals key in the corner.
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            SetInk(c, row == 2 && col == 2 ? kRed : kInk);
            Box(c, 0, 4 + col * 3, 7 + row * 3, 6 + col * 3, 9 + row * 3);
        }
}

} // namespace mv
