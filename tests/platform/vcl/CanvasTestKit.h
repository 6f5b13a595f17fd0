// Helpers of the canvas tests: an in-memory pixel buffer to draw on and read back.
#pragma once

#include "platform/vcl/Graphics.h"

#include <vector>

namespace mv::test {

struct TestSurface {
    std::vector<std::uint32_t> Pixels;
    TPixelBuffer Buffer;

    TestSurface(int width, int height, std::uint32_t fill = 0xFFFFFFFFu)
        : Pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill), Buffer{Pixels.data(), width,
                                                                                         height, width * 4} {}

    // The pixel as $00BBGGRR (alpha dropped; the tests draw opaque pixels).
    TColor At(int x, int y) const {
        std::uint32_t p = Pixels[static_cast<size_t>(y * Buffer.Width + x)];
        return static_cast<TColor>(
            RGB(static_cast<Byte>(p >> 16), static_cast<Byte>(p >> 8), static_cast<Byte>(p)));
    }
    // Pixels inside r that differ from colour.
    int CountNot(const TRect& r, TColor colour) const {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) != colour;
        return n;
    }
    // Pixels outside r that differ from colour.
    int CountNotOutside(const TRect& r, TColor colour) const {
        int n = 0;
        for (int y = 0; y < Buffer.Height; ++y)
            for (int x = 0; x < Buffer.Width; ++x)
                n += !r.Contains({x, y}) && At(x, y) != colour;
        return n;
    }
};

} // namespace mv::test
