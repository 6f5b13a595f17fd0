// Fonts, pens and brushes: value holders that fire OnChange. A font's text key (its entry
// in the text cache) is looked up lazily and forgotten on every change.
#include "platform/vcl/Graphics.h"

#include "platform/vcl/TextLayoutCache.h"

#include <cmath>

namespace mv {

String DefFontName = u"DejaVu Sans";
Integer DefFontHeight = -12;

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------
// TFont
// ---------------------------------------------------------------------------------------
TFont::TFont() : FName(DefFontName), FHeight(DefFontHeight) {}
TFont::~TFont() = default;

void TFont::Assign(const TPersistent* source) {
    auto* font = dynamic_cast<const TFont*>(source);
    if (!font) {
        TPersistent::Assign(source);
        return;
    }
    if (Equals(*font) && FPixelsPerInch == font->FPixelsPerInch) return;
    FName = font->FName;
    FHeight = font->FHeight;
    FStyle = font->FStyle;
    FColor = font->FColor;
    FCharset = font->FCharset;
    FPitch = font->FPitch;
    FPixelsPerInch = font->FPixelsPerInch;
    Changed();
}

void TFont::SetName(const TFontName& value) {
    if (value.empty() || value == FName) return;
    FName = value;
    Changed();
}

void TFont::SetHeight(Integer value) {
    if (value == FHeight) return;
    FHeight = value;
    Changed();
}

Integer TFont::Size() const {
    return static_cast<Integer>(std::lround(-static_cast<double>(FHeight) * 72.0 / FPixelsPerInch));
}

void TFont::SetSize(Integer value) {
    SetHeight(-static_cast<Integer>(std::lround(static_cast<double>(value) * FPixelsPerInch / 72.0)));
}

void TFont::SetStyle(TFontStyles value) {
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

void TFont::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    // Colour is not part of the text key: only listeners need to hear.
    TGraphicsObject::Changed();
}

void TFont::SetCharset(TFontCharset value) {
    if (value == FCharset) return;
    FCharset = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value) {
    if (value == FPitch) return;
    FPitch = value;
    Changed();
}

void TFont::SetPixelsPerInch(Integer value) {
    if (value <= 0 || value == FPixelsPerInch) return;
    FPixelsPerInch = value;
    Changed();
}

bool TFont::Equals(const TFont& other) const {
    return FName == other.FName && FHeight == other.FHeight && FStyle == other.FStyle &&
           FColor == other.FColor && FCharset == other.FCharset && FPitch == other.FPitch;
}

std::uint32_t TFont::TextKey() const {
    if (FTextKey == 0) FTextKey = TextLayoutCache::Instance().FontKey(FName, FHeight, FStyle);
    return FTextKey;
}

void TFont::Changed() {
    FTextKey = 0;
    TGraphicsObject::Changed();
}

// ---------------------------------------------------------------------------------------
// TPen, TBrush
// ---------------------------------------------------------------------------------------
void TPen::Assign(const TPersistent* source) {
    auto* pen = dynamic_cast<const TPen*>(source);
    if (!pen) {
        TPersistent::Assign(source);
        return;
    }
    FColor = pen->FColor;
    FMode = pen->FMode;
    FStyle = pen->FStyle;
    FWidth = pen->FWidth;
    Changed();
}

void TPen::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    Changed();
}

void TPen::SetMode(TPenMode value) {
    if (value == FMode) return;
    FMode = value;
    Changed();
}

void TPen::SetStyle(TPenStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

void TPen::SetWidth(Integer value) {
    value = std::max(value, 1);
    if (value == FWidth) return;
    FWidth = value;
    Changed();
}

void TBrush::Assign(const TPersistent* source) {
    auto* brush = dynamic_cast<const TBrush*>(source);
    if (!brush) {
        TPersistent::Assign(source);
        return;
    }
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    Changed();
}

void TBrush::SetColor(TColor value) {
    if (value == FColor && FStyle != bsClear) return;
    FColor = value;
    // The framework turns a clear brush solid when a colour is assigned.
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

} // namespace mv
