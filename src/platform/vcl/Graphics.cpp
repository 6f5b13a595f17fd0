// The graphics unit's message texts and the TGraphic base class.
#include "platform/vcl/Graphics.h"

#include "platform/rtl/Streams.h"

namespace mv {

namespace GraphicsConsts {
String SInvalidImage = u"Invalid image";
String SInvalidBitmap = u"Bitmap image is not valid";
String SInvalidIcon = u"Icon image is not valid";
String SInvalidMetafile = u"Metafile is not valid";
String SUnknownExtension = u"Unknown picture file extension (.%s)";
String SInvalidImageSize = u"Invalid image size";
String SImageIndexError = u"Invalid ImageList Index";
String SResNotFound = u"Resource %s not found";
String SNoCanvasHandle = u"Canvas does not allow drawing";
String SInvalidRestoreDC = u"RestoreDC(%d): no saved state with that index";
String SImageListSizeMismatch = u"Image list %dx%d cannot take a %dx%d image";
String SInvalidImageListData = u"Image list data does not fit images of %dx%d";
} // namespace GraphicsConsts

void TGraphic::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const String& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

} // namespace mv
