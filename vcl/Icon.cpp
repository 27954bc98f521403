#include "Icon.h"

#include "Canvas.h"
#include "Dib.h"
#include "IcoFile.h"

namespace vcl {

VCL_CLASS_INFO(TIcon)

namespace {

// Icon files larger than this are refused before they are read.
constexpr std::size_t MaxIconFileSize = std::size_t(16) << 20;

// Width and height of an icon's image.
SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return {0, 0};
    TBitmapHandle mask(info.hbmMask), color(info.hbmColor);  // GetIconInfo hands both to us
    BITMAP bm{};
    if (color) {
        GetObjectW(color.Get(), sizeof bm, &bm);
        return {bm.bmWidth, bm.bmHeight};
    }
    GetObjectW(mask.Get(), sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight / 2};  // a monochrome icon's mask holds AND and XOR halves
}

// The rows of a bitmap as a bottom-up DIB of the given depth.
std::vector<std::uint8_t> DibRows(HBITMAP bitmap, int width, int height, int bits) {
    struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[2];
    } info{};
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = width;
    info.Header.biHeight = height;
    info.Header.biPlanes = 1;
    info.Header.biBitCount = static_cast<WORD>(bits);
    info.Header.biCompression = BI_RGB;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(BytesPerScanLine(width, bits)) * height);
    TWindowDC screen;
    GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), rows.data(), reinterpret_cast<BITMAPINFO *>(&info),
              DIB_RGB_COLORS);
    return rows;
}

// The icon as one image: 32-bit colours with their mask, or a monochrome
// icon's two halves as a 1-bit image.
TIconImage ImageOfIcon(HICON icon) {
    TIconImage image;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        throw EInvalidGraphic("Cannot save icon: the handle is no icon");
    TBitmapHandle mask(info.hbmMask), color(info.hbmColor);
    const SIZE size = IconSize(icon);
    image.Width = size.cx;
    image.Height = size.cy;
    if (color) {
        image.BitCount = 32;
        image.XorBits = DibRows(color.Get(), size.cx, size.cy, 32);
        image.AndBits = DibRows(mask.Get(), size.cx, size.cy, 1);
    } else {
        // Bottom-up, the lower (XOR) half comes first, as the file wants it.
        image.BitCount = 1;
        image.ColorTable = {TBGRA{0, 0, 0, 0}, TBGRA{255, 255, 255, 0}};
        std::vector<std::uint8_t> both = DibRows(mask.Get(), size.cx, 2 * size.cy, 1);
        const std::size_t half = both.size() / 2;
        image.XorBits.assign(both.begin(), both.begin() + half);
        image.AndBits.assign(both.begin() + half, both.end());
    }
    return image;
}

} // namespace

TIcon::TIcon() : FWantedWidth(GetSystemMetrics(SM_CXICON)), FWantedHeight(GetSystemMetrics(SM_CYICON)) {}

TIcon::~TIcon() = default;

void TIcon::Adopt(TIconHandle Handle, std::vector<std::uint8_t> Data) {
    const SIZE size = Handle ? IconSize(Handle.Get()) : SIZE{0, 0};
    FHandle = std::move(Handle);
    FData = std::move(Data);
    FWidth = size.cx;
    FHeight = size.cy;
    Changed();
}

void TIcon::Assign(const TPersistent *Source) {
    if (!Source) {
        Adopt(TIconHandle(), {});
        return;
    }
    if (const TIcon *icon = dynamic_cast<const TIcon *>(Source)) {
        if (icon == this)
            return;
        TIconHandle copy(icon->FHandle ? CopyIcon(icon->FHandle.Get()) : nullptr);
        if (icon->FHandle && !copy)
            throw EInvalidGraphic("Cannot copy an icon: out of system resources");
        FWantedWidth = icon->FWantedWidth;
        FWantedHeight = icon->FWantedHeight;
        Adopt(std::move(copy), icon->FData);
        return;
    }
    inherited::Assign(Source);
}

void TIcon::SetWidth(int Value) {
    if (FHandle && Value != FWidth)
        throw EInvalidGraphic("The size of an icon cannot be changed");
    if (!FHandle && Value > 0)
        FWantedWidth = Value;
}

void TIcon::SetHeight(int Value) {
    if (FHandle && Value != FHeight)
        throw EInvalidGraphic("The size of an icon cannot be changed");
    if (!FHandle && Value > 0)
        FWantedHeight = Value;
}

void TIcon::SetHandle(HICON Value) {
    if (Value != FHandle.Get())
        Adopt(TIconHandle(Value), {});
}

HICON TIcon::ReleaseHandle() {
    HICON handle = FHandle.Release();
    Adopt(TIconHandle(), {});
    return handle;
}

void TIcon::LoadFromStream(TStream &Stream) {
    const std::int64_t available = Stream.Size() - Stream.Position();
    std::vector<std::uint8_t> data;
    // Reads the file up to `length` bytes, refusing a stream that ends before.
    auto readUpTo = [&](std::size_t length) {
        if (static_cast<std::int64_t>(length) > available)
            throw EInvalidGraphic("Cannot load icon: the file is truncated.");
        const std::size_t start = data.size();
        data.resize(length);
        Stream.ReadBuffer(data.data() + start, length - start);
    };
    readUpTo(IconDirHeaderSize);
    readUpTo(IconDirHeaderSize + IconImageCount(data) * IconDirEntrySize);
    const std::vector<TIconDirEntry> entries = ReadIconDirectory(data);
    const std::size_t end = ImagesEnd(entries);
    if (end > MaxIconFileSize)
        throw EInvalidGraphic("Cannot load icon: the file is too large.");
    readUpTo(end);

    const TIconDirEntry &entry = entries[ChooseIconImage(entries, FWantedWidth, FWantedHeight)];
    const std::span<const std::uint8_t> image(data.data() + entry.Offset, entry.Size);
    CheckIconImage(image);
    TIconHandle handle(CreateIconFromResourceEx(const_cast<std::uint8_t *>(image.data()),
                                                static_cast<DWORD>(image.size()), TRUE, 0x00030000, entry.Width,
                                                entry.Height, LR_DEFAULTCOLOR));
    if (!handle)
        throw EInvalidGraphic("Cannot load icon: the system does not accept its image.");
    Adopt(std::move(handle), std::move(data));
}

void TIcon::SaveToStream(TStream &Stream) {
    if (!FHandle)
        return;  // an empty icon has no file form: nothing is written
    const std::vector<std::uint8_t> data = FData.empty() ? WriteIconFile(ImageOfIcon(FHandle.Get())) : FData;
    Stream.WriteBuffer(data.data(), data.size());
}

void TIcon::Draw(TCanvas &ACanvas, const TRect &Rect) {
    if (FHandle)
        DrawIconEx(ACanvas.Handle(), Rect.Left, Rect.Top, FHandle.Get(), Rect.Width(), Rect.Height(), 0, nullptr,
                   DI_NORMAL);
}

} // namespace vcl
