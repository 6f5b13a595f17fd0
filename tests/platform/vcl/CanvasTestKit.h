// Helpers of the canvas tests: an in-memory pixel buffer to draw on and read back.
#pragma once

#include "platform/rtl/Utf8.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
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

// Compares picture with the PNG named file in goldenDir: a channel may differ by up to 24
// on at most 0.2% of the pixels (rasteriser rounding). MV_UPDATE_GOLDEN=1 rewrites the
// golden instead. On a mismatch the picture is saved to /tmp/<file>.actual.png.
inline void ExpectMatchesGolden(TBitmap& picture, const std::string& goldenDir, const std::string& file) {
    const String golden = UTF8ToString(goldenDir + "/" + file);
    if (const char* update = std::getenv("MV_UPDATE_GOLDEN"); update && *update == '1') {
        picture.SaveToPNGFile(golden);
        GTEST_SKIP() << "golden image rewritten";
    }
    TBitmap expected;
    ASSERT_NO_THROW(expected.LoadFromFile(golden))
        << "missing golden image " << file << "; run with MV_UPDATE_GOLDEN=1";
    ASSERT_EQ(expected.Width(), picture.Width());
    ASSERT_EQ(expected.Height(), picture.Height());
    int differing = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            auto a = static_cast<TColorRef>(picture.PixelColor(x, y));
            auto b = static_cast<TColorRef>(expected.PixelColor(x, y));
            int d = std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                              std::abs(GetBValue(a) - GetBValue(b))});
            differing += d > 24;
        }
    if (differing > picture.Width() * picture.Height() / 500) {
        const std::string actual = "/tmp/" + file + ".actual.png";
        picture.SaveToPNGFile(UTF8ToString(actual));
        ADD_FAILURE() << differing << " pixels differ from " << goldenDir << "/" << file
                      << "; the drawing is in " << actual;
    }
}

} // namespace mv::test
