// Image lists: storage as one run of premultiplied pixels, drawing styles and the
// disabled look.
#include "platform/vcl/ImageList.h"

#include "platform/rtl/Format.h"

#include <cstring>

namespace mv {

namespace {

std::uint32_t Blend(std::uint32_t p, TColorRef toward, int percent) {
    std::uint32_t a = p >> 24;
    if (a == 0) return p;
    // Work on premultiplied channels: the target colour scaled by the pixel's alpha.
    auto mix = [&](std::uint32_t c, std::uint32_t t) {
        return (c * (100 - percent) + t * a / 255 * percent) / 100;
    };
    std::uint32_t r = mix((p >> 16) & 0xFF, GetRValue(toward));
    std::uint32_t g = mix((p >> 8) & 0xFF, GetGValue(toward));
    std::uint32_t b = mix(p & 0xFF, GetBValue(toward));
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The disabled look: luminance, lifted towards white so the image reads as inactive.
std::uint32_t Grey(std::uint32_t p) {
    std::uint32_t a = p >> 24;
    if (a == 0) return p;
    std::uint32_t y = (((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 151 + (p & 0xFF) * 28) >> 8;
    std::uint32_t v = (y + a) / 2;
    return (a << 24) | (v << 16) | (v << 8) | v;
}

} // namespace

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Assign(const TPersistent* source) {
    auto* list = dynamic_cast<const TCustomImageList*>(source);
    if (!list) {
        TComponent::Assign(source);
        return;
    }
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FCount = list->FCount;
    FImages = list->FImages;
    FBkColor = list->FBkColor;
    FBlendColor = list->FBlendColor;
    FDrawingStyle = list->FDrawingStyle;
    FImageType = list->FImageType;
    FMasked = list->FMasked;
    Change();
}

void TCustomImageList::Change() {
    if (OnChange) OnChange(this);
}

void TCustomImageList::SetSize(Integer width, Integer height) {
    if (width <= 0 || height <= 0) throw EInvalidGraphic(GraphicsConsts::SInvalidImageSize);
    if (width == FWidth && height == FHeight) return;
    FWidth = width;
    FHeight = height;
    Clear();
}

void TCustomImageList::SetBkColor(TColor value) {
    if (value == FBkColor) return;
    FBkColor = value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
    if (value == FDrawingStyle) return;
    FDrawingStyle = value;
    Change();
}

void TCustomImageList::CheckIndex(Integer index) const {
    if (index < 0 || index >= FCount) throw EInvalidGraphicOperation(GraphicsConsts::SImageIndexError);
}

void TCustomImageList::StoreImage(Integer index, const TBitmap& image, Integer left, const TBitmap* mask,
                                  const TColorRef* key) {
    std::uint32_t* dest = &FImages[static_cast<size_t>(index) * static_cast<size_t>(FWidth * FHeight)];
    const TPixelBuffer& src = image.Pixels();
    for (Integer y = 0; y < FHeight; ++y)
        for (Integer x = 0; x < FWidth; ++x) {
            std::uint32_t p = 0;
            if (left + x < image.Width()) {
                p = src.Row(y)[left + x];
                if (image.AlphaFormat() == afIgnored) p |= 0xFF000000u;
                if (key && static_cast<TColorRef>(image.PixelColor(left + x, y)) == *key) p = 0;
                if (mask && mask->PixelColor(left + x, y) == clWhite) p = 0;
            }
            dest[y * FWidth + x] = p;
        }
}

Integer TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image || image->Empty()) return -1;
    if (image->Height() != FHeight)
        throw EInvalidGraphic(Format(GraphicsConsts::SImageListSizeMismatch,
                                     {FWidth, FHeight, image->Width(), image->Height()}));
    image->Canvas(); // make pending drawing visible in the pixels
    image->PixelColor(0, 0);
    Integer first = FCount;
    Integer pieces = std::max(image->Width() / FWidth, 1);
    FImages.resize(static_cast<size_t>(FCount + pieces) * static_cast<size_t>(FWidth * FHeight));
    for (Integer i = 0; i < pieces; ++i)
        StoreImage(FCount + i, *image, i * FWidth, FMasked ? mask : nullptr, nullptr);
    FCount += pieces;
    Change();
    return first;
}

Integer TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image || image->Empty()) return -1;
    if (image->Height() != FHeight)
        throw EInvalidGraphic(Format(GraphicsConsts::SImageListSizeMismatch,
                                     {FWidth, FHeight, image->Width(), image->Height()}));
    image->PixelColor(0, 0);
    TColorRef key = ColorToRGB(maskColor == clDefault ? image->TransparentColor() : maskColor);
    Integer first = FCount;
    Integer pieces = std::max(image->Width() / FWidth, 1);
    FImages.resize(static_cast<size_t>(FCount + pieces) * static_cast<size_t>(FWidth * FHeight));
    for (Integer i = 0; i < pieces; ++i)
        StoreImage(FCount + i, *image, i * FWidth, nullptr, FMasked && maskColor != clNone ? &key : nullptr);
    FCount += pieces;
    Change();
    return first;
}

void TCustomImageList::Replace(Integer index, TBitmap* image, TBitmap* mask) {
    CheckIndex(index);
    if (!image) return;
    image->PixelColor(0, 0);
    StoreImage(index, *image, 0, FMasked ? mask : nullptr, nullptr);
    Change();
}

void TCustomImageList::Delete(Integer index) {
    CheckIndex(index);
    auto size = static_cast<std::ptrdiff_t>(FWidth * FHeight);
    FImages.erase(FImages.begin() + index * size, FImages.begin() + (index + 1) * size);
    --FCount;
    Change();
}

void TCustomImageList::Clear() {
    FImages.clear();
    FCount = 0;
    Change();
}

void TCustomImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled) {
    Draw(canvas, x, y, index, FDrawingStyle, FImageType, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, Integer x, Integer y, Integer index, TDrawingStyle style,
                            TImageType type, bool enabled) {
    static const Cardinal kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    Cardinal flags = kStyles[style] | (type == itMask ? ILD_MASK : 0u);
    DrawEx(index, canvas, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, flags, enabled);
}

bool TCustomImageList::DrawEx(Integer index, TCanvas* canvas, Integer x, Integer y, Integer dx, Integer dy,
                              TColorRef bk, TColorRef fg, Cardinal style, bool enabled) const {
    if (!canvas || index < 0 || index >= FCount) return false;
    std::vector<std::uint32_t> pixels(FImages.begin() + static_cast<std::ptrdiff_t>(index) * FWidth * FHeight,
                                      FImages.begin() +
                                          static_cast<std::ptrdiff_t>(index + 1) * FWidth * FHeight);
    if (style & ILD_MASK) {
        // The mask: black where the image is, white where it is transparent.
        for (auto& p : pixels)
            p = (p >> 24) ? 0xFF000000u : 0xFFFFFFFFu;
    } else {
        TColorRef blendTo =
            fg == CLR_DEFAULT ? ColorToRGB(FBlendColor == clDefault ? clHighlight : FBlendColor) : fg;
        int percent = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
        for (auto& p : pixels) {
            if (percent) p = Blend(p, blendTo, percent);
            if (!enabled) p = Grey(p);
        }
    }
    Integer w = dx > 0 ? std::min(dx, FWidth) : FWidth;
    Integer h = dy > 0 ? std::min(dy, FHeight) : FHeight;
    // A background unless drawn transparently or the colour is "none".
    TColorRef back = bk == CLR_DEFAULT ? (FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor)) : bk;
    if (!(style & ILD_TRANSPARENT) && back != CLR_NONE && !(style & ILD_MASK)) {
        TBrush saved;
        saved.Assign(canvas->Brush());
        canvas->Brush()->SetColor(static_cast<TColor>(back));
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(Bounds(x, y, w, h));
        canvas->Brush()->Assign(&saved);
    }
    TPixelBuffer buffer{pixels.data(), FWidth, FHeight, FWidth * 4};
    canvas->DrawPixels(Bounds(x, y, w, h), buffer, {0, 0, w, h});
    return true;
}

bool TCustomImageList::GetBitmap(Integer index, TBitmap* bitmap) const {
    if (!bitmap || index < 0 || index >= FCount) return false;
    bitmap->SetSize(0, 0);
    bitmap->SetSize(FWidth, FHeight);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(FBkColor == clNone ? clBtnFace : FBkColor);
    canvas->FillRect({0, 0, FWidth, FHeight});
    DrawEx(index, canvas, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
    return true;
}

} // namespace mv
