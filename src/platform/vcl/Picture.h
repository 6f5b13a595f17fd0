// TPicture and the picture formats: a picture holds one graphic of any registered class,
// chosen by file extension when loading a file and by the data's signature when loading a
// stream. Built-in classes: TBitmap (.bmp), TPngImage (.png), TJPEGImage (.jpg, .jpeg),
// TGIFImage (.gif, first frame), TIcon (.ico) and TMetafile (.emf, .wmf: kept as bytes and
// drawn as an outlined placeholder). The registry is built on first use.
#pragma once

#include "platform/vcl/Bitmap.h"

#include <algorithm>
#include <functional>

namespace mv {

// Raster formats other than BMP: decoded into a bitmap; the bytes loaded are kept so that
// saving a loaded image writes exactly what was read.
class TRasterGraphic : public TGraphic {
public:
    TRasterGraphic();
    ~TRasterGraphic() override;
    void Assign(const TPersistent* source) override;
    bool Empty() const override { return FBitmap->Empty(); }
    Integer Width() const override { return FBitmap->Width(); }
    Integer Height() const override { return FBitmap->Height(); }
    void SetWidth(Integer value) override;
    void SetHeight(Integer value) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // The decoded pixels.
    TBitmap* Bitmap() const { return FBitmap.get(); }

protected:
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // Whether data starts with this format's signature.
    virtual bool Matches(const std::vector<Byte>& data) const = 0;
    // Encodes FBitmap when there are no loaded bytes to write back.
    virtual void Encode(TStream& stream) const = 0;
    virtual const String& InvalidMessage() const { return GraphicsConsts::SInvalidImage; }
    // Decodes data (already known to match) into FBitmap; false when it is damaged.
    virtual bool Decode(const std::vector<Byte>& data);

    std::unique_ptr<TBitmap> FBitmap;
    std::vector<Byte> FData; // the bytes loaded; cleared when the pixels change
};

class TPngImage : public TRasterGraphic {
protected:
    bool Matches(const std::vector<Byte>& data) const override;
    void Encode(TStream& stream) const override;
};

class TJPEGImage : public TRasterGraphic {
public:
    Integer CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(Integer value) { FQuality = std::clamp(value, 1, 100); }

protected:
    bool Matches(const std::vector<Byte>& data) const override;
    void Encode(TStream& stream) const override;

private:
    Integer FQuality = 90;
};

// Loads the first frame. Saving writes the bytes loaded; a GIF made from other pixels
// cannot be written (no encoder) and raises EInvalidGraphicOperation.
class TGIFImage : public TRasterGraphic {
protected:
    bool Matches(const std::vector<Byte>& data) const override;
    void Encode(TStream& stream) const override;
};

// Reads the largest image of an .ico file (PNG or 32/24-bit DIB entries); writes a
// one-image icon holding a PNG.
class TIcon : public TRasterGraphic {
protected:
    bool Matches(const std::vector<Byte>& data) const override;
    void Encode(TStream& stream) const override;
    const String& InvalidMessage() const override { return GraphicsConsts::SInvalidIcon; }
    bool Decode(const std::vector<Byte>& data) override;
};

// Keeps enhanced or Windows metafile bytes without interpreting the records. The size is
// read from an enhanced metafile's header (its bounds), otherwise 0 x 0 until set. Drawn
// as a framed rectangle with its diagonals, so that a layout shows where it is.
class TMetafile : public TGraphic {
public:
    void Assign(const TPersistent* source) override;
    bool Empty() const override { return FData.empty(); }
    Integer Width() const override { return FWidth; }
    Integer Height() const override { return FHeight; }
    void SetWidth(Integer value) override { FWidth = value; }
    void SetHeight(Integer value) override { FHeight = value; }
    // Raises EInvalidGraphic (SInvalidMetafile) for data without a metafile signature.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    const std::vector<Byte>& Data() const { return FData; }

protected:
    void Draw(TCanvas& canvas, const TRect& rect) const override;

private:
    std::vector<Byte> FData;
    Integer FWidth = 0;
    Integer FHeight = 0;
};

// A registered graphic class: its name and a factory.
struct TGraphicClass {
    String ClassName;
    std::function<std::unique_ptr<TGraphic>()> Create;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    // A copy of another picture's graphic, or of a graphic; nullptr clears.
    void Assign(const TPersistent* source) override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of graphic (nullptr clears), as the framework's setter does.
    void SetGraphic(const TGraphic* graphic);
    // The graphic as a bitmap: an empty TBitmap replaces a graphic of another class.
    TBitmap* Bitmap();
    Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
    Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // By extension; an unknown one raises EInvalidGraphic ("Unknown picture file extension (.xyz)").
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    // By the data's signature; data no class recognises raises EInvalidGraphic (SInvalidImage).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    // Registers a class for an extension (without the dot, any case); later entries win.
    static void RegisterFileFormat(const String& extension, const String& description,
                                   TGraphicClass graphicClass);
    static void UnregisterGraphicClass(const String& className);
    // The class registered for an extension; nullptr when none.
    static const TGraphicClass* FindFileFormat(const String& extension);
    // The class whose signature data starts with; nullptr when none.
    static const TGraphicClass* FindGraphicClass(const std::vector<Byte>& data);

    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};

} // namespace mv
