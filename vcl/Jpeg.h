#pragma once
// TJPEGImage: a JPEG picture as a graphic. It keeps the file's bytes (which
// is what it saves) and the decoded image in a 24-bit bitmap (which is what
// it draws). TPicture knows it for "jpg" and "jpeg". Windows only.
#include <cstdint>
#include <memory>
#include <vector>

#include "Bitmap.h"
#include "Graphic.h"

namespace vcl {

class TJPEGImage : public TGraphic {
    VCL_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    // From another JPEG image: its data and image; null empties this one.
    void Assign(const TPersistent *Source) override;

    bool Empty() const override { return FBitmap->Empty(); }
    int Width() const override { return FBitmap->Width(); }
    int Height() const override { return FBitmap->Height(); }
    // A JPEG image has the size its data gives: raises EInvalidGraphic.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    // Reads the rest of the stream as one JPEG file. On an error the image
    // stays as it was.
    void LoadFromStream(TStream &Stream) override;
    void SaveToStream(TStream &Stream) override;
    void Draw(TCanvas &ACanvas, const TRect &Rect) override;

    // The decoded image (24 bits per pixel), owned by this image.
    TBitmap *Bitmap() const { return FBitmap.get(); }

protected:
    void AssignTo(TPersistent *Dest) const override;

private:
    std::vector<std::uint8_t> FData;
    std::unique_ptr<TBitmap> FBitmap;
};

} // namespace vcl
