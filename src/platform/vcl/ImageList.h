// Image lists: equally sized images kept in one strip, drawn normally, transparently,
// blended for focus or selection, or greyed for a disabled control.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/vcl/Bitmap.h"

namespace mv {

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

// ImageList_DrawEx styles and colours.
enum : Cardinal {
    ILD_NORMAL = 0x0,
    ILD_TRANSPARENT = 0x1,
    ILD_BLEND25 = 0x2,
    ILD_FOCUS = 0x2,
    ILD_BLEND50 = 0x4,
    ILD_SELECTED = 0x4,
    ILD_BLEND = 0x4,
    ILD_MASK = 0x10
};
constexpr TColorRef CLR_NONE = 0xFFFFFFFFu;
constexpr TColorRef CLR_DEFAULT = 0xFF000000u;

class TCustomImageList : public TComponent {
    MV_CLASS(TCustomImageList, TComponent);
    // Published: BkColor, BlendColor, DrawingStyle, Height, ImageType, Masked, Width; the
    // images go with them as the binary entry "Bitmap" (DefineProperties).
    static void RegisterProperties(TPropertyRegistrar<TCustomImageList>& r);

    explicit TCustomImageList(TComponent* owner = nullptr);
    ~TCustomImageList() override;

    void Assign(const TPersistent* source) override;

    Integer Width() const { return FWidth; }
    Integer Height() const { return FHeight; }
    // Changing the size clears the list, as the framework does.
    void SetSize(Integer width, Integer height);
    void SetWidth(Integer value) { SetSize(value, FHeight); }
    void SetHeight(Integer value) { SetSize(FWidth, value); }
    Integer Count() const { return FCount; }

    // Background drawn under the images; clNone leaves the canvas showing through.
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor value);
    // The colour focus and selection blend towards (clDefault: clHighlight).
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor value) { FBlendColor = value; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType value) { FImageType = value; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool value) { FMasked = value; }

    // Adds the images of image cut into Width-wide pieces (at least one); mask, when
    // given, marks transparent pixels where it is white. Returns the index of the first
    // image added. An image whose height differs from Height raises EInvalidGraphic
    // (SImageListSizeMismatch).
    Integer Add(TBitmap* image, TBitmap* mask);
    // As Add, with the pixels of maskColor transparent.
    Integer AddMasked(TBitmap* image, TColor maskColor);
    // Index out of range raises EInvalidGraphicOperation (SImageIndexError).
    void Delete(Integer index);
    void Replace(Integer index, TBitmap* image, TBitmap* mask);
    void Clear();

    // Draws image index at (x, y) in the list's DrawingStyle and ImageType; a disabled
    // image is drawn greyed. An index out of range draws nothing.
    void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled = true);
    void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, TDrawingStyle style, TImageType type,
              bool enabled = true);
    // Copies image index into bitmap (sized Width x Height; transparent pixels show
    // BkColor, or clBtnFace when BkColor is clNone). False for an index out of range.
    bool GetBitmap(Integer index, TBitmap* bitmap) const;

    TNotifyEvent OnChange;

    // ImageList_DrawEx's work: dx/dy 0 take the image size; bk CLR_NONE draws
    // transparently, CLR_DEFAULT takes BkColor; fg (CLR_DEFAULT: BlendColor) is the blend
    // colour of ILD_BLEND25/ILD_BLEND50.
    bool DrawEx(Integer index, TCanvas* canvas, Integer x, Integer y, Integer dx, Integer dy, TColorRef bk,
                TColorRef fg, Cardinal style, bool enabled = true) const;

protected:
    // "Bitmap": uint32 image count, then each image's Width x Height pixels (32-bit
    // little-endian premultiplied ARGB, row by row). Data whose size does not match Width
    // and Height raises EInvalidGraphic (SInvalidImageListData) and leaves the list as it
    // was.
    void DefineProperties(TFiler* filer) override;

private:
    void Change();
    void CheckIndex(Integer index) const;
    void StoreImage(Integer index, const TBitmap& image, Integer left, const TBitmap* mask,
                    const TColorRef* key);

    Integer FWidth = 16;
    Integer FHeight = 16;
    Integer FCount = 0;
    std::vector<std::uint32_t> FImages; // FCount images of FWidth x FHeight, one after another
    TColor FBkColor = clNone;
    TColor FBlendColor = clDefault;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    bool FMasked = true;
};

class TImageList : public TCustomImageList {
    MV_CLASS(TImageList, TCustomImageList);
    using TCustomImageList::TCustomImageList;
};

using HIMAGELIST = TCustomImageList*;
inline bool ImageList_DrawEx(HIMAGELIST list, Integer index, HDC dc, Integer x, Integer y, Integer dx,
                             Integer dy, TColorRef bk, TColorRef fg, Cardinal style) {
    return list && list->DrawEx(index, dc, x, y, dx, dy, bk, fg, style);
}

} // namespace mv
