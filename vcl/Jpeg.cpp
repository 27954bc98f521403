#include "Jpeg.h"

#include "JpegDecoder.h"

namespace vcl {

VCL_CLASS_INFO(TJPEGImage)

namespace {

// Files larger than this are refused before they are read.
constexpr std::int64_t MaxJpegFileSize = std::int64_t(256) << 20;

} // namespace

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(const TPersistent *Source) {
    if (!Source) {
        FData.clear();
        FBitmap->Assign(nullptr);
        Changed();
        return;
    }
    if (const TJPEGImage *jpeg = dynamic_cast<const TJPEGImage *>(Source)) {
        if (jpeg == this)
            return;
        FData = jpeg->FData;
        FBitmap->Assign(jpeg->FBitmap.get());
        Changed();
        return;
    }
    inherited::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent *Dest) const {
    if (TBitmap *bitmap = dynamic_cast<TBitmap *>(Dest))
        bitmap->Assign(FBitmap.get());
    else
        inherited::AssignTo(Dest);
}

void TJPEGImage::SetWidth(int Value) {
    if (Value != Width())
        throw EInvalidGraphic("The size of a JPEG image cannot be changed");
}

void TJPEGImage::SetHeight(int Value) {
    if (Value != Height())
        throw EInvalidGraphic("The size of a JPEG image cannot be changed");
}

void TJPEGImage::LoadFromStream(TStream &Stream) {
    const std::int64_t length = Stream.Size() - Stream.Position();
    if (length > MaxJpegFileSize)
        throw EInvalidGraphic("Cannot load JPEG image: the file is too large.");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)));
    Stream.ReadBuffer(data.data(), data.size());
    const TDibImage image = DecodeJpeg(data);
    FBitmap->LoadFromDib(image);
    FData = std::move(data);
    Changed();
}

void TJPEGImage::SaveToStream(TStream &Stream) { Stream.WriteBuffer(FData.data(), FData.size()); }

void TJPEGImage::Draw(TCanvas &ACanvas, const TRect &Rect) { FBitmap->Draw(ACanvas, Rect); }

} // namespace vcl
