// The bitmap resource registry and the library's built-in image strips, drawn by code.
// Transparent pixels of the strips are $008080 (the colour the grid masks with).
#include "platform/vcl/Resources.h"

#include "platform/vcl/ResourcesPrivate.h"

#include "platform/rtl/StrUtils.h"

#include <memory>

namespace mv {

namespace {

struct ResourceEntry {
    String Name;
    TBitmapMaker Maker;
    std::unique_ptr<TBitmap> Made;
};

void Line(TCanvas& c, Integer x1, Integer y1, Integer x2, Integer y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

// Nine 13 x 13 boxes: (tick, cross, filled square) x (unchecked, checked, grey).
void MakeCheckBoxes(TBitmap& b) {
    b.SetSize(117, 13);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(kStripBack);
    c.FillRect({0, 0, 117, 13});
    for (int kind = 0; kind < 3; ++kind)
        for (int state = 0; state < 3; ++state) {
            int x = (kind * 3 + state) * 13;
            bool grey = state == 2;
            c.Brush()->SetColor(grey ? clBtnFace : clWindow);
            c.FillRect({x + 1, 1, x + 12, 12});
            c.Brush()->SetColor(clBtnShadow);
            c.FrameRect({x, 0, x + 13, 13});
            if (state == 0) continue;
            TColor ink = grey ? clGrayText : clWindowText;
            c.Pen()->SetColor(ink);
            if (kind == 0) {
                // A tick three pixels thick.
                for (int d = 0; d < 3; ++d) {
                    Line(c, x + 3, 5 + d, x + 5, 7 + d);
                    Line(c, x + 5, 7 + d, x + 10, 2 + d);
                }
            } else if (kind == 1) {
                for (int d = 0; d < 2; ++d) {
                    Line(c, x + 3 + d, 3, x + 10 + d, 10);
                    Line(c, x + 9 + d, 3, x + 2 + d, 10);
                }
            } else {
                c.Brush()->SetColor(ink);
                c.FillRect({x + 3, 3, x + 10, 10});
            }
        }
}

// Nine 13 x 13 cells: (small 9, medium 11, large 13 pixel boxes) x (collapsed, expanded, leaf).
void MakeExpandBoxes(TBitmap& b) {
    b.SetSize(117, 13);
    TCanvas& c = *b.Canvas();
    c.Brush()->SetColor(kStripBack);
    c.FillRect({0, 0, 117, 13});
    static const int kSizes[3] = {9, 11, 13};
    for (int size = 0; size < 3; ++size)
        for (int state = 0; state < 3; ++state) {
            int x = (size * 3 + state) * 13;
            int s = kSizes[size], o = (13 - s) / 2, mid = 6;
            c.Pen()->SetColor(clWindowText);
            if (state == 2) {
                // The leaf dot grows with the box: 2, 3 and 4 pixels.
                const int dot = size + 2, d0 = mid - dot / 2;
                c.Brush()->SetColor(clBtnShadow);
                c.FillRect({x + d0, d0, x + d0 + dot, d0 + dot});
                continue;
            }
            c.Brush()->SetColor(clWindow);
            c.FillRect({x + o + 1, o + 1, x + o + s - 1, o + s - 1});
            c.Brush()->SetColor(clBtnShadow);
            c.FrameRect({x + o, o, x + o + s, o + s});
            Line(c, x + o + 2, mid, x + o + s - 2, mid);
            if (state == 0) Line(c, x + mid, o + 2, x + mid, o + s - 2);
        }
}

std::vector<ResourceEntry>& Registry() {
    static std::vector<ResourceEntry> registry = [] {
        std::vector<ResourceEntry> r;
        r.push_back({u"MVDBCHECKBOXES", MakeCheckBoxes, nullptr});
        r.push_back({u"MVDBEXPANDBOXES", MakeExpandBoxes, nullptr});
        r.push_back({u"MVDBINDICATORS", MakeIndicators, nullptr});
        r.push_back({u"MVDBMARKERS", MakeMarkers, nullptr});
        r.push_back({u"MVDBCALENDAR", MakeCalendarGlyph, nullptr});
        r.push_back({u"MVDBCALCULATOR", MakeCalculatorGlyph, nullptr});
        return r;
    }();
    return registry;
}

} // namespace

void RegisterBitmapResource(const String& name, TBitmapMaker maker) {
    auto& registry = Registry();
    for (auto& e : registry)
        if (SameText(e.Name, name)) {
            e.Maker = std::move(maker);
            e.Made.reset();
            return;
        }
    registry.push_back({name, std::move(maker), nullptr});
}

const TBitmap* FindBitmapResource(const String& name) {
    for (auto& e : Registry()) {
        if (!SameText(e.Name, name)) continue;
        if (!e.Made) {
            auto bitmap = std::make_unique<TBitmap>();
            e.Maker(*bitmap);
            bitmap->SetTransparentColor(kStripBack);
            bitmap->PixelColor(0, 0); // flush the drawing into the pixels
            e.Made = std::move(bitmap);
        }
        return e.Made.get();
    }
    return nullptr;
}

std::vector<String> BitmapResourceNames() {
    std::vector<String> names;
    for (auto& e : Registry())
        names.push_back(e.Name);
    return names;
}

} // namespace mv
