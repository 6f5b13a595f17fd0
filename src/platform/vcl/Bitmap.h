// TBitmap: an image held as 32-bit premultiplied ARGB pixels that its own canvas draws on.
// Loads BMP, PNG, JPEG and GIF (first frame) data; saves BMP (SaveToStream) and PNG
// (SaveToPNGStream). Transparent drawing leaves out the transparent colour's pixels.
#pragma once

#include "platform/vcl/Graphics.h"

namespace mv {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
// tmAuto takes the transparent colour from the bottom-left pixel; tmFixed uses the colour set.
enum TTransparentMode { tmAuto, tmFixed };
// afIgnored draws every pixel opaque; afDefined/afPremultiplied honour the alpha channel.
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

// Module handle stand-in for LoadFromResourceName: the library's resources are one registry.
using HINSTANCE = std::uintptr_t;
constexpr HINSTANCE HInstance = 0;

class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(Integer width, Integer height);
    ~TBitmap() override;

    // From another TBitmap: a copy of pixels and settings. From any other graphic: the
    // graphic drawn onto a bitmap of its size.
    void Assign(const TPersistent* source) override;

    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    Integer Width() const override { return FWidth; }
    Integer Height() const override { return FHeight; }
    void SetWidth(Integer value) override { SetSize(value, FHeight); }
    void SetHeight(Integer value) override { SetSize(FWidth, value); }
    // Keeps the pixels that still fit; new pixels are white, opaque. Negative sizes raise
    // EInvalidGraphic (SInvalidImageSize).
    void SetSize(Integer width, Integer height);

    // The canvas drawing on the pixels (created on first use, retargeted on resize).
    TCanvas* Canvas();

    TColor TransparentColor() const;
    // Also switches TransparentMode to tmFixed, as the framework does.
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value) { FPixelFormat = value; }
    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat value) { FAlphaFormat = value; }

    // Direct pixel access (premultiplied ARGB). Row y of the image; no bounds check
    // beyond an assert.
    std::uint32_t* ScanLine(Integer y);
    const TPixelBuffer& Pixels() const { return FBuffer; }
    // The pixel as a colour (alpha dropped); clNone outside the image.
    TColor PixelColor(Integer x, Integer y) const;

    // Reads any format stb_image knows (BMP, PNG, JPEG, GIF, TGA ...). Data it cannot read
    // raises EInvalidGraphic (SInvalidBitmap) and leaves the bitmap empty.
    void LoadFromStream(TStream& stream) override;
    // Writes a BMP: 32 bits per pixel with alpha for pf32bit, otherwise 24 bits.
    void SaveToStream(TStream& stream) const override;
    void SaveToPNGStream(TStream& stream) const;
    void SaveToPNGFile(const String& fileName) const;
    // Copies the bitmap registered under name (Resources.h); an unknown name raises
    // EResNotFound ("Resource NAME not found").
    void LoadFromResourceName(HINSTANCE instance, const String& name);

    // Loads from raw pixels (premultiplied ARGB, rows of stride bytes).
    void LoadFromPixels(const std::uint32_t* pixels, Integer width, Integer height, Integer stride);

protected:
    void Draw(TCanvas& canvas, const TRect& rect) const override;

private:
    void Allocate(Integer width, Integer height);

    Integer FWidth = 0;
    Integer FHeight = 0;
    std::vector<std::uint32_t> FPixels;
    TPixelBuffer FBuffer;
    std::unique_ptr<TCanvas> FCanvas;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    TPixelFormat FPixelFormat = pf32bit;
    TAlphaFormat FAlphaFormat = afIgnored;
};

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// Decodes image bytes with stb_image into premultiplied ARGB pixels of bitmap; false (and
// the bitmap untouched) when the data is no image stb_image reads. Shared by the picture
// classes.
bool DecodeImage(const std::vector<Byte>& data, TBitmap& bitmap);
// The whole rest of a stream as bytes.
std::vector<Byte> ReadAllBytes(TStream& stream);

} // namespace mv
