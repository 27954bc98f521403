// TPNGGraphic and the registration of the PNG reader with TPicture.
#include <windows.h>

#include <cstring>

#include "vcl/Picture.h"
#include "vlGraphUtils.h"
#include "vlPNG.h"

namespace skin {

VCL_CLASS_INFO(TPNGGraphic)

namespace {

// Balanced start-up and end calls: only the outermost pair acts.
int PngUseCount = 0;

} // namespace

TPNGGraphic::TPNGGraphic() : FColorManager(std::make_unique<TColorManager>()) {}

TPNGGraphic::~TPNGGraphic() = default;

void TPNGGraphic::Assign(const vcl::TPersistent *Source) {
    if (const auto *png = dynamic_cast<const TPNGGraphic *>(Source)) {
        FImageProperties = png->FImageProperties;
        // The colours go along with the transparency the bitmap's Assign
        // copies, so that the copy's next load can undo it as the source's would.
        FTransparentColorValue = png->FTransparentColorValue;
        FBackgroundColor = png->FBackgroundColor;
        FLoadedTransparent = png->FLoadedTransparent;
    }
    inherited::Assign(Source);
}

void TPNGGraphic::Draw(vcl::TCanvas &ACanvas, const vcl::TRect &Rect) {
    // DrawBitmapAlpha draws any other format through this very Draw, so only
    // 32-bit images may go to it.
    if (PixelFormat() != vcl::pf32bit) {
        inherited::Draw(ACanvas, Rect);
        return;
    }
    DrawBitmapAlpha(ACanvas, *this, Rect, false);
}

void TPNGGraphic::LoadFromStream(vcl::TStream &Stream) {
    // Decoded aside and taken over whole, so that a damaged file leaves the
    // image this graphic held. Each load starts with a fresh colour manager:
    // one carried over would lay the last file's gamma over a file that has
    // no gAMA chunk of its own, and darken or lighten its every pixel.
    TPngImage image = ReadPngImage(Stream, [this](vcl::TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                                                  const vcl::TRect &R, const std::string &Msg) {
        Progress(this, Stage, PercentDone, RedrawNow, R, Msg);
    });
    LoadFromDib(image.Dib);
    *FColorManager = image.ColorManager;
    FImageProperties = image.ImageProperties;
    // Transparency the last load switched on belongs to that image; any
    // other (the owner's own) is left alone.
    const bool loadedTransparent = FLoadedTransparent;
    FTransparentColorValue = image.TransparentColorValue;
    FBackgroundColor = image.BackgroundColor;
    if (image.ImageTransparentColor != PngNoTransparentColor) {
        SetTransparentColor(image.ImageTransparentColor);
        SetTransparent(true);
        FLoadedTransparent = true;
    } else if (loadedTransparent) {
        FLoadedTransparent = false;
        SetTransparentColor(vcl::clDefault);
        SetTransparent(false);
    }
}

void TPNGGraphic::ReadData(vcl::TStream &Stream) {
    std::uint8_t signature[8] = {};
    const std::int64_t start = Stream.Position();
    const std::size_t read = Stream.Read(signature, sizeof signature);
    Stream.SetPosition(start);
    static const std::uint8_t png[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (read == sizeof png && std::memcmp(signature, png, sizeof png) == 0)
        LoadFromStream(Stream);
    else
        inherited::LoadFromStream(Stream);
}

void InitializeVlPNG() {
    if (PngUseCount++ == 0)
        vcl::TPicture::RegisterFileFormat("png", "Portable network graphics (Velvetine)",
                                          TPNGGraphic::StaticClassInfo());
}

void FinalizeVlPNG() {
    if (PngUseCount > 0 && --PngUseCount == 0) vcl::TPicture::UnregisterGraphicClass(TPNGGraphic::StaticClassInfo());
}

} // namespace skin
