// TBitmap: pixels, canvas, transparency, BMP and PNG streams, resource loading.
#include "platform/vcl/Bitmap.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Resources.h"

#include <cairo.h>
#include <stb_image.h>

#include <cassert>
#include <cstring>

namespace mv {

namespace {

constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;

std::uint32_t Premultiply(Byte r, Byte g, Byte b, Byte a) {
    auto mul = [a](Byte c) { return static_cast<std::uint32_t>((c * a + 127) / 255); };
    return (static_cast<std::uint32_t>(a) << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

// Unpremultiplied B, G, R, A of a pixel.
void Unpremultiply(std::uint32_t p, Byte out[4]) {
    std::uint32_t a = p >> 24;
    std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a != 0 && a != 255) {
        r = (r * 255 + a / 2) / a;
        g = (g * 255 + a / 2) / a;
        b = (b * 255 + a / 2) / a;
    }
    out[0] = static_cast<Byte>(b);
    out[1] = static_cast<Byte>(g);
    out[2] = static_cast<Byte>(r);
    out[3] = static_cast<Byte>(a);
}

void PutLE(std::vector<Byte>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<Byte>(value >> (8 * i)));
}

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<TStream*>(closure)->WriteBuffer(data, static_cast<Integer>(length));
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

std::vector<Byte> ReadAllBytes(TStream& stream) {
    Int64 remaining = stream.GetSize() - stream.GetPosition();
    std::vector<Byte> data(static_cast<size_t>(std::max<Int64>(remaining, 0)));
    if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<Integer>(data.size()));
    return data;
}

bool DecodeImage(const std::vector<Byte>& data, TBitmap& bitmap) {
    if (data.empty()) return false;
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &w, &h, &channels, 4);
    if (!rgba) return false;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    bool hasAlpha = false;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const stbi_uc* p = rgba + i * 4;
        hasAlpha |= p[3] != 255;
        pixels[i] = Premultiply(p[0], p[1], p[2], p[3]);
    }
    stbi_image_free(rgba);
    bitmap.LoadFromPixels(pixels.data(), w, h, w * 4);
    bitmap.SetAlphaFormat(hasAlpha ? afPremultiplied : afIgnored);
    return true;
}

TBitmap::TBitmap() = default;
TBitmap::TBitmap(Integer width, Integer height) {
    SetSize(width, height);
}
TBitmap::~TBitmap() = default;

void TBitmap::Allocate(Integer width, Integer height) {
    FWidth = width;
    FHeight = height;
    FBuffer = {};
    if (width > 0 && height > 0) {
        FBuffer.Pixels = FPixels.data();
        FBuffer.Width = width;
        FBuffer.Height = height;
        FBuffer.Stride = width * 4;
    }
    if (FCanvas) {
        if (FBuffer.Pixels)
            FCanvas->SetTarget(FBuffer);
        else
            FCanvas->ReleaseTarget();
    }
}

void TBitmap::SetSize(Integer width, Integer height) {
    if (width < 0 || height < 0) throw EInvalidGraphic(GraphicsConsts::SInvalidImageSize);
    if (width == FWidth && height == FHeight) return;
    if (FCanvas) FCanvas->ReleaseTarget();
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), kOpaqueWhite);
    for (Integer y = 0; y < std::min(height, FHeight); ++y)
        std::memcpy(&pixels[static_cast<size_t>(y * width)], &FPixels[static_cast<size_t>(y * FWidth)],
                    static_cast<size_t>(std::min(width, FWidth)) * 4);
    FPixels = std::move(pixels);
    Allocate(width, height);
    Changed();
}

void TBitmap::LoadFromPixels(const std::uint32_t* pixels, Integer width, Integer height, Integer stride) {
    if (width < 0 || height < 0) throw EInvalidGraphic(GraphicsConsts::SInvalidImageSize);
    if (FCanvas) FCanvas->ReleaseTarget();
    FPixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (Integer y = 0; y < height; ++y)
        std::memcpy(&FPixels[static_cast<size_t>(y * width)],
                    reinterpret_cast<const Byte*>(pixels) + y * stride, static_cast<size_t>(width) * 4);
    Allocate(width, height);
    Changed();
}

void TBitmap::Assign(const TPersistent* source) {
    if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        if (bitmap == this) return;
        FTransparentColor = bitmap->FTransparentColor;
        FTransparentMode = bitmap->FTransparentMode;
        FPixelFormat = bitmap->FPixelFormat;
        FAlphaFormat = bitmap->FAlphaFormat;
        FTransparent = bitmap->FTransparent;
        if (bitmap->FBuffer.Pixels)
            LoadFromPixels(bitmap->FBuffer.Pixels, bitmap->FWidth, bitmap->FHeight, bitmap->FBuffer.Stride);
        else
            SetSize(0, 0);
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        SetSize(0, 0);
        SetSize(graphic->Width(), graphic->Height());
        if (!Empty()) Canvas()->StretchDraw({0, 0, FWidth, FHeight}, graphic);
        return;
    }
    TGraphic::Assign(source);
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        if (FBuffer.Pixels) FCanvas->SetTarget(FBuffer);
    }
    return FCanvas.get();
}

std::uint32_t* TBitmap::ScanLine(Integer y) {
    assert(y >= 0 && y < FHeight && "ScanLine: row out of range");
    if (FCanvas && FCanvas->HasTarget()) FCanvas->Pixel(0, 0); // flushes pending drawing
    return FBuffer.Row(y);
}

TColor TBitmap::PixelColor(Integer x, Integer y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
    if (FCanvas && FCanvas->HasTarget()) FCanvas->Pixel(0, 0);
    Byte bgra[4];
    Unpremultiply(FBuffer.Row(y)[x], bgra);
    return static_cast<TColor>(RGB(bgra[2], bgra[1], bgra[0]));
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    return PixelColor(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
    FTransparentColor = value;
    FTransparentMode = value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == FTransparentMode) return;
    FTransparentMode = value;
    if (value == tmAuto) FTransparentColor = clDefault;
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    if (Empty()) return;
    if (FCanvas && FCanvas->HasTarget()) FCanvas->Pixel(0, 0);
    const bool keyed = FTransparent;
    const bool forceOpaque = FAlphaFormat == afIgnored;
    if (!keyed && !forceOpaque) {
        canvas.DrawPixels(rect, FBuffer, {0, 0, FWidth, FHeight});
        return;
    }
    // A masked copy: the transparent colour's pixels cleared, alpha ignored unless defined.
    const TColorRef key = ColorToRGB(TransparentColor());
    std::vector<std::uint32_t> copy(FPixels.size());
    for (size_t i = 0; i < FPixels.size(); ++i) {
        std::uint32_t p = FPixels[i];
        if (forceOpaque) p |= 0xFF000000u;
        if (keyed) {
            Byte bgra[4];
            Unpremultiply(p, bgra);
            if (RGB(bgra[2], bgra[1], bgra[0]) == key) p = 0;
        }
        copy[i] = p;
    }
    TPixelBuffer buffer{copy.data(), FWidth, FHeight, FWidth * 4};
    canvas.DrawPixels(rect, buffer, {0, 0, FWidth, FHeight});
}

void TBitmap::LoadFromStream(TStream& stream) {
    std::vector<Byte> data = ReadAllBytes(stream);
    if (!DecodeImage(data, *this)) {
        SetSize(0, 0);
        throw EInvalidGraphic(GraphicsConsts::SInvalidBitmap);
    }
}

void TBitmap::SaveToStream(TStream& stream) const {
    if (FCanvas && FCanvas->HasTarget()) FCanvas->Pixel(0, 0);
    const bool alpha = FPixelFormat == pf32bit;
    const int bytesPerPixel = alpha ? 4 : 3;
    const int rowSize = (FWidth * bytesPerPixel + 3) & ~3;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowSize * FHeight);
    std::vector<Byte> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    PutLE(out, 54 + imageSize, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(FWidth), 4);
    PutLE(out, static_cast<std::uint32_t>(FHeight), 4); // positive: rows bottom-up
    PutLE(out, 1, 2);
    PutLE(out, static_cast<std::uint32_t>(bytesPerPixel * 8), 2);
    PutLE(out, 0, 4); // BI_RGB
    PutLE(out, imageSize, 4);
    PutLE(out, 3780, 4); // 96 dpi in pixels per metre
    PutLE(out, 3780, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (Integer y = FHeight - 1; y >= 0; --y) {
        size_t start = out.size();
        for (Integer x = 0; x < FWidth; ++x) {
            Byte bgra[4];
            Unpremultiply(FBuffer.Row(y)[x], bgra);
            out.insert(out.end(), bgra, bgra + bytesPerPixel);
        }
        out.resize(start + static_cast<size_t>(rowSize), 0);
    }
    stream.WriteBuffer(out.data(), static_cast<Integer>(out.size()));
}

void TBitmap::SaveToPNGStream(TStream& stream) const {
    if (Empty()) throw EInvalidGraphic(GraphicsConsts::SInvalidImageSize);
    if (FCanvas && FCanvas->HasTarget()) FCanvas->Pixel(0, 0);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(FBuffer.Pixels),
                                            CAIRO_FORMAT_ARGB32, FWidth, FHeight, FBuffer.Stride);
    cairo_status_t status = cairo_surface_write_to_png_stream(surface, WriteToStream, &stream);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) throw EInvalidGraphic(GraphicsConsts::SInvalidImage);
}

void TBitmap::SaveToPNGFile(const String& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToPNGStream(stream);
}

void TBitmap::LoadFromResourceName(HINSTANCE, const String& name) {
    const TBitmap* resource = FindBitmapResource(name);
    if (!resource) throw EResNotFound(Format(GraphicsConsts::SResNotFound, {name}));
    Assign(resource);
}

} // namespace mv
