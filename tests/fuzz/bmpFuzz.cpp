// BMP files and packed DIBs are read or refused with EInvalidGraphic; what
// is read writes back to a file that reads again, and a view of the same
// bytes (pixels read in place) is refused or taken alike and shows the
// pixels of the decoded copy.
#include "vcl/BmpFile.h"
#include "vcl/System.h"

namespace {

bool Views(vcl::TDibLayout (*View)(std::span<const std::uint8_t>, vcl::TDibImage &),
           std::span<const std::uint8_t> bytes, vcl::TDibImage &holder, vcl::TDibLayout &layout) {
    try {
        layout = View(bytes, holder);
        return true;
    } catch (const vcl::EInvalidGraphic &) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    vcl::BmpFileSize(bytes);
    const struct {
        vcl::TDibImage (*Read)(std::span<const std::uint8_t>);
        vcl::TDibLayout (*View)(std::span<const std::uint8_t>, vcl::TDibImage &);
    } forms[] = {{&vcl::ReadBmpFile, &vcl::ViewBmpFile}, {&vcl::ReadPackedDib, &vcl::ViewPackedDib}};
    for (const auto &form : forms) {
        vcl::TDibImage image, holder;
        vcl::TDibLayout view;
        try {
            image = form.Read(bytes);
        } catch (const vcl::EInvalidGraphic &) {
            if (Views(form.View, bytes, holder, view)) __builtin_trap();
            continue;
        }
        if (!Views(form.View, bytes, holder, view)) __builtin_trap();
        const vcl::TDibLayout copy = image.Layout();
        if (view.Width != copy.Width || view.Height != copy.Height || view.PixelFormat != copy.PixelFormat)
            __builtin_trap();
        for (int y = 0; copy.First && y < copy.Height; ++y)
            for (int x = 0; x < copy.Width; ++x)
                if (!(vcl::ReadDibPixel(view, x, y) == vcl::ReadDibPixel(copy, x, y))) __builtin_trap();
        try {
            const vcl::TDibImage again = vcl::ReadBmpFile(vcl::WriteBmpFile(image.Layout()));
            if (!image.Bits.empty() && (again.Width != image.Width || again.Height != image.Height ||
                                        again.PixelFormat != image.PixelFormat))
                __builtin_trap();
        } catch (const vcl::EInvalidGraphic &) {
        }
    }
    return 0;
}
