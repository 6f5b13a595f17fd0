// TPicture, the picture format registry and the raster, icon and metafile classes.
#include "platform/vcl/Picture.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"

#include <stb_image_write.h>

#include <cstring>

namespace mv {

namespace {

bool StartsWith(const std::vector<Byte>& data, std::initializer_list<Byte> signature, size_t at = 0) {
    if (data.size() < at + signature.size()) return false;
    size_t i = at;
    for (Byte b : signature)
        if (data[i++] != b) return false;
    return true;
}

std::uint32_t GetLE(const std::vector<Byte>& d, size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | d[at + static_cast<size_t>(i)];
    return v;
}

bool IsEnhancedMetafile(const std::vector<Byte>& d) {
    return d.size() >= 44 && GetLE(d, 0, 4) == 1 && StartsWith(d, {' ', 'E', 'M', 'F'}, 40);
}

bool IsMetafile(const std::vector<Byte>& d) {
    return IsEnhancedMetafile(d) || StartsWith(d, {0xD7, 0xCD, 0xC6, 0x9A}) || StartsWith(d, {1, 0, 9, 0}) ||
           StartsWith(d, {2, 0, 9, 0});
}

struct FormatEntry {
    String Extension;
    String Description;
    TGraphicClass Class;
};

template <typename T> TGraphicClass ClassOf(const char16_t* name) {
    return {name, [] { return std::unique_ptr<TGraphic>(std::make_unique<T>()); }};
}

std::vector<FormatEntry>& Formats() {
    static std::vector<FormatEntry> formats = {
        {u"bmp", u"Bitmaps", ClassOf<TBitmap>(u"TBitmap")},
        {u"png", u"Portable Network Graphics", ClassOf<TPngImage>(u"TPngImage")},
        {u"jpg", u"JPEG Image File", ClassOf<TJPEGImage>(u"TJPEGImage")},
        {u"jpeg", u"JPEG Image File", ClassOf<TJPEGImage>(u"TJPEGImage")},
        {u"gif", u"GIF Image", ClassOf<TGIFImage>(u"TGIFImage")},
        {u"ico", u"Icons", ClassOf<TIcon>(u"TIcon")},
        {u"emf", u"Enhanced Metafiles", ClassOf<TMetafile>(u"TMetafile")},
        {u"wmf", u"Metafiles", ClassOf<TMetafile>(u"TMetafile")},
    };
    return formats;
}

const TGraphicClass* FindClassNamed(const String& name) {
    auto& formats = Formats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (it->Class.ClassName == name) return &it->Class;
    return nullptr;
}

String ExtensionOf(const String& fileName) {
    size_t dot = fileName.find_last_of(u'.');
    size_t slash = fileName.find_last_of(u'/');
    if (dot == String::npos || (slash != String::npos && dot < slash)) return {};
    return fileName.substr(dot + 1);
}

void WriteToStream(void* context, void* data, int size) {
    static_cast<TStream*>(context)->WriteBuffer(data, size);
}

} // namespace

// ---------------------------------------------------------------------------------------
// TRasterGraphic and the raster formats
// ---------------------------------------------------------------------------------------
TRasterGraphic::TRasterGraphic() : FBitmap(std::make_unique<TBitmap>()) {}
TRasterGraphic::~TRasterGraphic() = default;

void TRasterGraphic::Assign(const TPersistent* source) {
    if (auto* raster = dynamic_cast<const TRasterGraphic*>(source)) {
        FBitmap->Assign(raster->FBitmap.get());
        FData = typeid(*raster) == typeid(*this) ? raster->FData : std::vector<Byte>{};
        FTransparent = raster->FTransparent;
        Changed();
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        FBitmap->Assign(graphic);
        FData.clear();
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TRasterGraphic::SetWidth(Integer value) {
    FBitmap->SetWidth(value);
    FData.clear();
}

void TRasterGraphic::SetHeight(Integer value) {
    FBitmap->SetHeight(value);
    FData.clear();
}

bool TRasterGraphic::Decode(const std::vector<Byte>& data) {
    return DecodeImage(data, *FBitmap);
}

void TRasterGraphic::LoadFromStream(TStream& stream) {
    std::vector<Byte> data = ReadAllBytes(stream);
    if (!Matches(data) || !Decode(data)) {
        FBitmap->SetSize(0, 0);
        FData.clear();
        throw EInvalidGraphic(InvalidMessage());
    }
    FData = std::move(data);
    Changed();
}

void TRasterGraphic::SaveToStream(TStream& stream) const {
    if (!FData.empty()) {
        stream.WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
        return;
    }
    Encode(stream);
}

void TRasterGraphic::Draw(TCanvas& canvas, const TRect& rect) const {
    FBitmap->SetTransparent(FTransparent);
    canvas.StretchDraw(rect, FBitmap.get());
}

bool TPngImage::Matches(const std::vector<Byte>& data) const {
    return StartsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
}
void TPngImage::Encode(TStream& stream) const {
    FBitmap->SaveToPNGStream(stream);
}

bool TJPEGImage::Matches(const std::vector<Byte>& data) const {
    return StartsWith(data, {0xFF, 0xD8, 0xFF});
}

void TJPEGImage::Encode(TStream& stream) const {
    if (FBitmap->Empty()) throw EInvalidGraphic(GraphicsConsts::SInvalidImageSize);
    Integer w = FBitmap->Width(), h = FBitmap->Height();
    std::vector<Byte> rgb;
    rgb.reserve(static_cast<size_t>(w * h * 3));
    for (Integer y = 0; y < h; ++y)
        for (Integer x = 0; x < w; ++x) {
            TColorRef c = static_cast<TColorRef>(FBitmap->PixelColor(x, y));
            rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    if (!stbi_write_jpg_to_func(WriteToStream, &stream, w, h, 3, rgb.data(), FQuality))
        throw EInvalidGraphic(GraphicsConsts::SInvalidImage);
}

bool TGIFImage::Matches(const std::vector<Byte>& data) const {
    return StartsWith(data, {'G', 'I', 'F', '8'});
}

void TGIFImage::Encode(TStream&) const {
    throw EInvalidGraphicOperation(
        u"TGIFImage: only a GIF loaded from a stream can be saved (no GIF encoder)");
}

bool TIcon::Matches(const std::vector<Byte>& data) const {
    return StartsWith(data, {0, 0, 1, 0});
}

bool TIcon::Decode(const std::vector<Byte>& d) {
    size_t count = d.size() >= 6 ? GetLE(d, 4, 2) : 0;
    if (count == 0 || d.size() < 6 + 16 * count) return false;
    // The largest entry (a width byte of 0 means 256).
    size_t best = 0;
    int bestWidth = -1;
    for (size_t i = 0; i < count; ++i) {
        int w = d[6 + 16 * i] == 0 ? 256 : d[6 + 16 * i];
        if (w > bestWidth) bestWidth = w, best = i;
    }
    size_t entry = 6 + 16 * best;
    size_t size = GetLE(d, entry + 8, 4), offset = GetLE(d, entry + 12, 4);
    if (offset >= d.size() || size > d.size() - offset) return false;
    std::vector<Byte> image(d.begin() + static_cast<std::ptrdiff_t>(offset),
                            d.begin() + static_cast<std::ptrdiff_t>(offset + size));
    if (StartsWith(image, {0x89, 'P', 'N', 'G'})) return DecodeImage(image, *FBitmap);
    // A DIB of twice the icon's height: colour rows, then the 1-bit AND mask, bottom-up.
    if (image.size() < 40 || GetLE(image, 0, 4) < 40) return false;
    auto w = static_cast<Integer>(GetLE(image, 4, 4)), h = static_cast<Integer>(GetLE(image, 8, 4)) / 2;
    unsigned bits = GetLE(image, 14, 2);
    if (w <= 0 || h <= 0 || w > 1024 || h > 1024 || (bits != 32 && bits != 24)) return false;
    size_t header = GetLE(image, 0, 4);
    size_t colorRow = (static_cast<size_t>(w) * bits / 8 + 3) & ~size_t(3);
    size_t maskRow = ((static_cast<size_t>(w) + 31) / 32) * 4;
    if (image.size() <
        header + colorRow * static_cast<size_t>(h) + (bits == 24 ? maskRow * static_cast<size_t>(h) : 0))
        return false;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w * h));
    bool maskPresent = image.size() >= header + (colorRow + maskRow) * static_cast<size_t>(h);
    for (Integer y = 0; y < h; ++y) {
        const Byte* row = &image[header + colorRow * static_cast<size_t>(h - 1 - y)];
        const Byte* mask = maskPresent ? &image[header + colorRow * static_cast<size_t>(h) +
                                                maskRow * static_cast<size_t>(h - 1 - y)]
                                       : nullptr;
        for (Integer x = 0; x < w; ++x) {
            const Byte* p = row + static_cast<size_t>(x) * bits / 8;
            Byte a = bits == 32 ? p[3] : 255;
            if (bits == 24 && mask && (mask[x / 8] >> (7 - x % 8)) & 1) a = 0;
            auto mul = [a](Byte c) { return static_cast<std::uint32_t>((c * a + 127) / 255); };
            pixels[static_cast<size_t>(y * w + x)] =
                (static_cast<std::uint32_t>(a) << 24) | (mul(p[2]) << 16) | (mul(p[1]) << 8) | mul(p[0]);
        }
    }
    FBitmap->LoadFromPixels(pixels.data(), w, h, w * 4);
    FBitmap->SetAlphaFormat(afPremultiplied);
    return true;
}

void TIcon::Encode(TStream& stream) const {
    if (FBitmap->Empty()) throw EInvalidGraphic(GraphicsConsts::SInvalidImageSize);
    TMemoryStream png;
    FBitmap->SaveToPNGStream(png);
    Integer w = FBitmap->Width(), h = FBitmap->Height();
    Byte header[22] = {0, 0, 1, 0, 1, 0};
    header[6] = static_cast<Byte>(w >= 256 ? 0 : w);
    header[7] = static_cast<Byte>(h >= 256 ? 0 : h);
    header[10] = 1;  // planes
    header[12] = 32; // bits per pixel
    auto size = static_cast<std::uint32_t>(png.GetSize());
    for (int i = 0; i < 4; ++i) {
        header[14 + i] = static_cast<Byte>(size >> (8 * i));
        header[18 + i] = static_cast<Byte>(22u >> (8 * i));
    }
    stream.WriteBuffer(header, 22);
    stream.WriteBuffer(png.Memory(), static_cast<Integer>(size));
}

// ---------------------------------------------------------------------------------------
// TMetafile
// ---------------------------------------------------------------------------------------
void TMetafile::Assign(const TPersistent* source) {
    if (auto* meta = dynamic_cast<const TMetafile*>(source)) {
        FData = meta->FData;
        FWidth = meta->FWidth;
        FHeight = meta->FHeight;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TMetafile::LoadFromStream(TStream& stream) {
    std::vector<Byte> data = ReadAllBytes(stream);
    if (!IsMetafile(data)) {
        FData.clear();
        FWidth = FHeight = 0;
        throw EInvalidGraphic(GraphicsConsts::SInvalidMetafile);
    }
    FData = std::move(data);
    FWidth = FHeight = 0;
    if (IsEnhancedMetafile(FData)) {
        auto l = static_cast<std::int32_t>(GetLE(FData, 8, 4)),
             t = static_cast<std::int32_t>(GetLE(FData, 12, 4));
        auto r = static_cast<std::int32_t>(GetLE(FData, 16, 4)),
             b = static_cast<std::int32_t>(GetLE(FData, 20, 4));
        // rclBounds is inclusive.
        FWidth = std::max(r - l + 1, 0);
        FHeight = std::max(b - t + 1, 0);
    }
    Changed();
}

void TMetafile::SaveToStream(TStream& stream) const {
    if (!FData.empty()) stream.WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) const {
    TPen saved;
    saved.Assign(canvas.Pen());
    canvas.Pen()->SetColor(clGray);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetWidth(1);
    TBrush brush;
    brush.Assign(canvas.Brush());
    canvas.Brush()->SetStyle(bsClear);
    canvas.Rectangle(rect);
    canvas.MoveTo(rect.Left, rect.Top);
    canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
    canvas.MoveTo(rect.Right - 1, rect.Top);
    canvas.LineTo(rect.Left, rect.Bottom - 1);
    canvas.Pen()->Assign(&saved);
    canvas.Brush()->Assign(&brush);
}

// ---------------------------------------------------------------------------------------
// TPicture and the registry
// ---------------------------------------------------------------------------------------
TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Assign(const TPersistent* source) {
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* picture = dynamic_cast<const TPicture*>(source)) {
        SetGraphic(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    if (!graphic) {
        FGraphic.reset();
        Changed();
        return;
    }
    const TGraphicClass* cls = FindClassNamed(graphic->ClassName());
    std::unique_ptr<TGraphic> copy = cls ? cls->Create() : std::make_unique<TBitmap>();
    copy->Assign(graphic);
    FGraphic = std::move(copy);
    Changed();
}

TBitmap* TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
    if (!bitmap) {
        FGraphic = std::make_unique<TBitmap>();
        bitmap = static_cast<TBitmap*>(FGraphic.get());
        Changed();
    }
    return bitmap;
}

void TPicture::LoadFromFile(const String& fileName) {
    String ext = ExtensionOf(fileName);
    const TGraphicClass* cls = FindFileFormat(ext);
    if (!cls) throw EInvalidGraphic(Format(GraphicsConsts::SUnknownExtension, {ext}));
    std::unique_ptr<TGraphic> graphic = cls->Create();
    graphic->LoadFromFile(fileName);
    FGraphic = std::move(graphic);
    Changed();
}

void TPicture::SaveToFile(const String& fileName) const {
    if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::LoadFromStream(TStream& stream) {
    Int64 start = stream.GetPosition();
    std::vector<Byte> data = ReadAllBytes(stream);
    const TGraphicClass* cls = FindGraphicClass(data);
    if (!cls) throw EInvalidGraphic(GraphicsConsts::SInvalidImage);
    std::unique_ptr<TGraphic> graphic = cls->Create();
    stream.SetPosition(start);
    graphic->LoadFromStream(stream);
    FGraphic = std::move(graphic);
    Changed();
}

void TPicture::SaveToStream(TStream& stream) const {
    if (FGraphic) FGraphic->SaveToStream(stream);
}

void TPicture::RegisterFileFormat(const String& extension, const String& description,
                                  TGraphicClass graphicClass) {
    Formats().push_back({LowerCase(extension), description, std::move(graphicClass)});
}

void TPicture::UnregisterGraphicClass(const String& className) {
    auto& formats = Formats();
    std::erase_if(formats, [&](const FormatEntry& e) { return e.Class.ClassName == className; });
}

const TGraphicClass* TPicture::FindFileFormat(const String& extension) {
    String ext = LowerCase(extension);
    auto& formats = Formats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (it->Extension == ext) return &it->Class;
    return nullptr;
}

const TGraphicClass* TPicture::FindGraphicClass(const std::vector<Byte>& data) {
    if (StartsWith(data, {'B', 'M'})) return FindClassNamed(u"TBitmap");
    if (StartsWith(data, {0x89, 'P', 'N', 'G'})) return FindClassNamed(u"TPngImage");
    if (StartsWith(data, {0xFF, 0xD8, 0xFF})) return FindClassNamed(u"TJPEGImage");
    if (StartsWith(data, {'G', 'I', 'F', '8'})) return FindClassNamed(u"TGIFImage");
    if (StartsWith(data, {0, 0, 1, 0})) return FindClassNamed(u"TIcon");
    if (IsMetafile(data)) return FindClassNamed(u"TMetafile");
    return nullptr;
}

} // namespace mv
