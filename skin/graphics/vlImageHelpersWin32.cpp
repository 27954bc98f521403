// The PNG loaders of the image helpers.
#include "vlImageHelpers.h"

#include <memory>

#include "vlPNG.h"

namespace skin {

void LoadPngFileToBitmap(vcl::TBitmap &Bitmap, const std::string &FileName) {
    const auto png = std::make_unique<TPNGGraphic>();
    png->LoadFromFile(FileName);
    Bitmap.Assign(png.get());
}

void LoadPngStreamToBitmap(vcl::TBitmap &Bitmap, vcl::TStream &Stream) {
    const auto png = std::make_unique<TPNGGraphic>();
    png->LoadFromStream(Stream);
    Bitmap.Assign(png.get());
}

} // namespace skin
