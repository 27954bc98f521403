#include "Bitmap.h"

#include <algorithm>
#include <cstring>

#include "BmpFile.h"
#include "Canvas.h"
#include "ResourceStream.h"

namespace vcl {

VCL_CLASS_INFO(TBitmap)

// The canvas of a bitmap: a memory DC, made when the canvas is first drawn
// on and given back when the application goes idle, into which the bitmap's
// current image is selected.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap *Bitmap) : FBitmap(Bitmap) {}
    ~TBitmapCanvas() override { FreeOwnDC(); }

    void FreeHandle() override {
        if (LockCount() == 0)
            FreeOwnDC();
    }

    // Takes the image out of the DC, so that it can be selected elsewhere or deleted.
    void ReleaseImage() {
        if (FDC && FOriginalBitmap)
            SelectObject(FDC->Get(), FOriginalBitmap);
        FOriginalBitmap = nullptr;
    }

    // Selects the bitmap's current image, when there is a DC.
    void AttachImage() {
        if (!FDC || !FBitmap->FHandle)
            return;
        HGDIOBJ previous = SelectObject(FDC->Get(), FBitmap->FHandle.Get());
        if (!FOriginalBitmap)
            FOriginalBitmap = previous;
    }

protected:
    void CreateHandle() override {
        if (!FDC) {
            auto dc = std::make_unique<TMemoryDC>();
            if (!*dc)
                throw EInvalidGraphic("Cannot create a device context for a bitmap: out of system resources");
            CacheDC(nullptr);
            FDC = std::move(dc);
        }
        AttachImage();
        SetHandle(FDC->Get());
    }

    void FreeOwnDC() override {
        SetHandle(nullptr);
        ReleaseImage();
        FDC.reset();
        UncacheDC();
    }

private:
    TBitmap *FBitmap;  // not owned: the bitmap owns this canvas
    std::unique_ptr<TMemoryDC> FDC;
    HGDIOBJ FOriginalBitmap = nullptr;
};

namespace {

// Files larger than this are refused before they are read.
constexpr std::int64_t MaxBmpFileSize = std::int64_t(1) << 30;

struct TDibInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];  // or, for BI_BITFIELDS, three masks
};

[[noreturn]] void OutOfResources(int width, int height) {
    throw EInvalidGraphic("Cannot create a bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels: out of system resources");
}

TBitmapHandle CreateDib(TPixelFormat format, int width, int height, const std::vector<TBGRA> &table,
                        std::uint8_t **bits) {
    TDibInfo info{};
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = width;
    info.Header.biHeight = height;  // positive: bottom-up
    info.Header.biPlanes = 1;
    info.Header.biBitCount = static_cast<WORD>(PixelFormatBits(format));
    info.Header.biCompression = BI_RGB;
    if (format == pf16bit) {
        info.Header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.Colors, masks, sizeof masks);
    } else if (IsIndexedFormat(format)) {
        const int count = ColorTableSize(format);
        info.Header.biClrUsed = static_cast<DWORD>(count);
        for (int i = 0; i < count && i < static_cast<int>(table.size()); ++i)
            info.Colors[i] = RGBQUAD{table[i].B, table[i].G, table[i].R, 0};
    }
    void *memory = nullptr;
    HBITMAP handle =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!handle || !memory) {
        if (handle)
            DeleteObject(handle);
        OutOfResources(width, height);
    }
    std::memset(memory, 0, static_cast<std::size_t>(BytesPerScanLine(width, info.Header.biBitCount)) * height);
    *bits = static_cast<std::uint8_t *>(memory);
    return TBitmapHandle(handle);
}

TBitmapHandle CreateDeviceBitmap(int width, int height) {
    TWindowDC screen;
    HBITMAP handle = CreateCompatibleBitmap(screen.Get(), width, height);
    if (!handle)
        OutOfResources(width, height);
    TMemoryDC dc;
    TSelectObject selected(dc.Get(), handle);
    PatBlt(dc.Get(), 0, 0, width, height, BLACKNESS);
    return TBitmapHandle(handle);
}

// The DIB format that holds a device bitmap without loss.
TPixelFormat ScreenFormat() {
    TWindowDC screen;
    const int bits = GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES);
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 15: return pf15bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

std::vector<TBGRA> TableFor(TPixelFormat format, const std::vector<TBGRA> &current) {
    if (!IsIndexedFormat(format))
        return {};
    if (current.size() == static_cast<std::size_t>(ColorTableSize(format)))
        return current;
    return DefaultColorTable(format);
}

TDibLayout MakeLayout(std::uint8_t *bits, bool topDown, TPixelFormat format, int width, int height,
                      const std::vector<TBGRA> &table) {
    TDibLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.PixelFormat = format;
    layout.ColorTable = table.data();
    layout.ColorCount = static_cast<int>(table.size());
    if (bits && width > 0 && height > 0) {
        const std::ptrdiff_t row = BytesPerScanLine(width, PixelFormatBits(format));
        // A one-row picture keeps its row size as its stride, not 0: the
        // readers that size a copy or a check from the stride need it.
        layout.First = topDown ? bits : bits + (height - 1) * row;
        layout.Stride = topDown ? row : -row;
    }
    return layout;
}

// Whether a DIB section keeps its top line first in memory. GetObject hides
// that (it reports the height as positive), so the first memory row is
// changed for a moment to see whether GDI's line 0 changes with it.
bool IsTopDownDib(HBITMAP handle, std::uint8_t *bits, int height) {
    if (height < 2)
        return false;
    TMemoryDC dc;
    TSelectObject selected(dc.Get(), handle);
    const COLORREF before = GetPixel(dc.Get(), 0, 0);
    GdiFlush();
    const std::uint8_t saved = bits[0];
    bits[0] = static_cast<std::uint8_t>(~saved);
    const COLORREF probed = GetPixel(dc.Get(), 0, 0);
    bits[0] = saved;
    return probed != before;
}

// Copies between bitmaps of which at least one lives in the device's format.
void BlitImage(HBITMAP from, HBITMAP to, int width, int height) {
    TMemoryDC source, target;
    TSelectObject s(source.Get(), from), t(target.Get(), to);
    BitBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    // The canvas lets go of the image before the image goes.
    FCanvas.reset();
}

TCanvas *TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChange = TNotifyEvent::Bind<&TBitmap::CanvasChanged>(this);
    }
    return FCanvas.get();
}

void TBitmap::CanvasChanged(TObject *) { Changed(); }

void TBitmap::AdoptImage(TBitmapHandle Handle, std::uint8_t *Bits, TPixelFormat Format, int AWidth, int AHeight,
                         bool TopDown) {
    if (FCanvas)
        FCanvas->ReleaseImage();
    FHandle = std::move(Handle);
    FBits = Bits;
    FTopDown = TopDown;
    FPixelFormat = Format;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FCanvas)
        FCanvas->AttachImage();
    Changed();
}

void TBitmap::NewImage(TPixelFormat Format, int AWidth, int AHeight, bool KeepPixels, std::vector<TBGRA> Table) {
    TBitmapHandle handle;
    std::uint8_t *bits = nullptr;
    if (AWidth > 0 && AHeight > 0)
        handle = Format == pfDevice ? CreateDeviceBitmap(AWidth, AHeight) : CreateDib(Format, AWidth, AHeight, Table, &bits);
    if (KeepPixels && FHandle && handle) {
        if (FBits && bits) {
            GdiFlush();
            CopyDibPixels(MakeLayout(FBits, FTopDown, FPixelFormat, FWidth, FHeight, FColorTable),
                          MakeLayout(bits, false, Format, AWidth, AHeight, Table));
        } else {
            if (FCanvas)
                FCanvas->ReleaseImage();
            BlitImage(FHandle.Get(), handle.Get(), std::min(FWidth, AWidth), std::min(FHeight, AHeight));
        }
    }
    if (Table != FColorTable) {
        FColorTable = std::move(Table);
        FPalette.Reset();
    }
    AdoptImage(std::move(handle), bits, Format, AWidth, AHeight, false);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    NewImage(FPixelFormat, AWidth, AHeight, true, FColorTable);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat)
        return;
    if (Value == pfCustom)
        throw EInvalidGraphic("A bitmap cannot take a custom pixel format");
    NewImage(Value, FWidth, FHeight, true, TableFor(Value, FColorTable));
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
    if (Value == HandleType())
        return;
    SetPixelFormat(Value == bmDDB ? pfDevice : ScreenFormat());
}

void TBitmap::SetHandle(HBITMAP Value) {
    if (Value == FHandle.Get())
        return;
    if (!Value) {
        FColorTable.clear();
        FPalette.Reset();
        AdoptImage(TBitmapHandle(), nullptr, pfDevice, 0, 0, false);
        return;
    }
    TBitmapHandle handle(Value);
    DIBSECTION ds{};
    const int size = GetObjectW(Value, sizeof ds, &ds);
    if (size == sizeof(DIBSECTION) && ds.dsBm.bmBits) {
        TPixelFormat format;
        switch (ds.dsBmih.biBitCount) {
        case 1: format = pf1bit; break;
        case 4: format = pf4bit; break;
        case 8: format = pf8bit; break;
        case 16: format = ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[0] == 0xF800 ? pf16bit : pf15bit; break;
        case 24: format = pf24bit; break;
        case 32: format = pf32bit; break;
        default:
            handle.Release();  // not taken over: the caller still owns it
            throw EInvalidGraphic("A bitmap cannot take a DIB of " + std::to_string(ds.dsBmih.biBitCount) +
                                  " bits per pixel");
        }
        std::vector<TBGRA> table;
        if (IsIndexedFormat(format)) {
            RGBQUAD colors[256];
            TMemoryDC dc;
            TSelectObject selected(dc.Get(), Value);
            const UINT count = GetDIBColorTable(dc.Get(), 0, ColorTableSize(format), colors);
            table.assign(ColorTableSize(format), TBGRA{});
            for (UINT i = 0; i < count; ++i)
                table[i] = TBGRA{colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed, 0};
        }
        FColorTable = std::move(table);
        FPalette.Reset();
        auto *bits = static_cast<std::uint8_t *>(ds.dsBm.bmBits);
        const int height = std::abs(ds.dsBm.bmHeight);
        AdoptImage(std::move(handle), bits, format, ds.dsBm.bmWidth, height, IsTopDownDib(Value, bits, height));
    } else if (size >= static_cast<int>(sizeof(BITMAP))) {
        FColorTable.clear();
        FPalette.Reset();
        AdoptImage(std::move(handle), nullptr, pfDevice, ds.dsBm.bmWidth, ds.dsBm.bmHeight, false);
    } else {
        handle.Release();
        throw EInvalidGraphic("The handle given to a bitmap is no bitmap");
    }
}

HBITMAP TBitmap::ReleaseHandle() {
    if (FCanvas)
        FCanvas->ReleaseImage();
    HBITMAP handle = FHandle.Release();
    FBits = nullptr;
    FColorTable.clear();
    FPalette.Reset();
    AdoptImage(TBitmapHandle(), nullptr, pfDevice, 0, 0, false);
    return handle;
}

HPALETTE TBitmap::Palette() {
    if (FColorTable.empty())
        return nullptr;
    if (!FPalette) {
        std::vector<std::uint8_t> memory(sizeof(LOGPALETTE) + FColorTable.size() * sizeof(PALETTEENTRY));
        LOGPALETTE *palette = reinterpret_cast<LOGPALETTE *>(memory.data());
        palette->palVersion = 0x300;
        palette->palNumEntries = static_cast<WORD>(FColorTable.size());
        for (std::size_t i = 0; i < FColorTable.size(); ++i)
            palette->palPalEntry[i] = PALETTEENTRY{FColorTable[i].R, FColorTable[i].G, FColorTable[i].B, 0};
        FPalette.Reset(CreatePalette(palette));
    }
    return FPalette.Get();
}

void TBitmap::SetPalette(HPALETTE Value) {
    std::vector<TBGRA> table;
    if (Value) {
        const UINT count = GetPaletteEntries(Value, 0, 0, nullptr);
        std::vector<PALETTEENTRY> entries(count);
        if (count)
            GetPaletteEntries(Value, 0, count, entries.data());
        for (const PALETTEENTRY &e : entries)
            table.push_back(TBGRA{e.peBlue, e.peGreen, e.peRed, 0});
    } else if (IsIndexedFormat(FPixelFormat)) {
        table = DefaultColorTable(FPixelFormat);
    }
    SetColorTable(table);
}

void TBitmap::SetColorTable(const std::vector<TBGRA> &Value) {
    std::vector<TBGRA> table = Value;
    if (IsIndexedFormat(FPixelFormat))
        table.resize(ColorTableSize(FPixelFormat), TBGRA{});
    if (FBits && IsIndexedFormat(FPixelFormat)) {
        std::vector<RGBQUAD> colors;
        for (const TBGRA &c : table)
            colors.push_back(RGBQUAD{c.B, c.G, c.R, 0});
        if (FCanvas && FCanvas->HandleAllocated()) {
            SetDIBColorTable(FCanvas->Handle(), 0, static_cast<UINT>(colors.size()), colors.data());
        } else {
            TMemoryDC dc;
            TSelectObject selected(dc.Get(), FHandle.Get());
            SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(colors.size()), colors.data());
        }
    }
    FColorTable = std::move(table);
    FPalette.Reset();
    Changed();
}

TDibLayout TBitmap::Layout() {
    if (!Empty() && !FBits)
        SetHandleType(bmDIB);
    if (FBits)
        GdiFlush();  // GDI may still be drawing into the memory
    return MakeLayout(FBits, FTopDown, FPixelFormat, FWidth, FHeight, FColorTable);
}

void *TBitmap::ScanLine(int Row) {
    if (Row < 0 || Row >= FHeight)
        throw EInvalidGraphic("Scan line " + std::to_string(Row) + " is outside the bitmap (height " +
                              std::to_string(FHeight) + ")");
    return Layout().Line(Row);
}

TBitmapView TBitmap::View() {
    if (FPixelFormat != pf32bit || Empty())
        return {};
    const TDibLayout layout = Layout();
    return TBitmapView{layout.First, layout.Stride, layout.Width, layout.Height};
}

TColor TBitmap::TransparentColor() {
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (Empty())
        return clDefault;
    return Canvas()->Pixels(0, FHeight - 1) & 0xFFFFFF;
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode)
        return;
    FTransparentMode = Value;
    Changed();
}

void TBitmap::LoadFromDib(const TDibImage &Image) {
    const int bitsPerPixel = PixelFormatBits(Image.PixelFormat);
    const bool hasPixels = Image.Width > 0 && Image.Height > 0;
    if (bitsPerPixel == 0 || Image.Width < 0 || Image.Height < 0 ||
        (hasPixels && Image.Bits.size() != static_cast<std::size_t>(BytesPerScanLine(Image.Width, bitsPerPixel)) *
                                                static_cast<std::size_t>(Image.Height)))
        throw EInvalidGraphic("The decoded image does not match its size and pixel format");
    std::vector<TBGRA> table = IsIndexedFormat(Image.PixelFormat) ? Image.ColorTable : std::vector<TBGRA>{};
    if (IsIndexedFormat(Image.PixelFormat))
        table.resize(ColorTableSize(Image.PixelFormat), TBGRA{});
    TBitmapHandle handle;
    std::uint8_t *bits = nullptr;
    if (hasPixels) {
        handle = CreateDib(Image.PixelFormat, Image.Width, Image.Height, table, &bits);
        std::memcpy(bits, Image.Bits.data(), Image.Bits.size());
    }
    FColorTable = std::move(table);
    FPalette.Reset();
    AdoptImage(std::move(handle), bits, Image.PixelFormat, Image.Width, Image.Height, false);
}

void TBitmap::LoadFromStream(TStream &Stream) {
    const std::int64_t available = Stream.Size() - Stream.Position();
    std::vector<std::uint8_t> data(static_cast<std::size_t>(std::clamp<std::int64_t>(available, 0, BmpFileHeaderSize)));
    Stream.ReadBuffer(data.data(), data.size());
    // The announced size, when it is plausible, lets a stream carry more after the file.
    const std::uint32_t announced = BmpFileSize(data);
    const std::int64_t length =
        announced > BmpFileHeaderSize && announced <= available ? std::int64_t(announced) : available;
    if (length > MaxBmpFileSize)
        throw EInvalidGraphic("Cannot load bitmap: the file is too large.");
    const std::size_t header = data.size();
    data.resize(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)));
    Stream.ReadBuffer(data.data() + header, data.size() - header);
    TDibImage image = ReadBmpFile(data);
    LoadFromDib(image);
}

void TBitmap::SaveToStream(TStream &Stream) {
    if (FPixelFormat == pfDevice && !Empty()) {
        // A device bitmap is written in the DIB format that holds it; the
        // bitmap itself stays a device bitmap.
        TBitmap copy;
        copy.Assign(this);
        copy.SetHandleType(bmDIB);
        copy.SaveToStream(Stream);
        return;
    }
    TDibLayout layout = Layout();
    if (layout.PixelFormat == pfDevice)
        layout.PixelFormat = pf24bit;  // an empty device bitmap: only its size is written
    const std::vector<std::uint8_t> file = WriteBmpFile(layout);
    Stream.WriteBuffer(file.data(), file.size());
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string &ResName) {
    TResourceStream resource(ResName, MAKEINTRESOURCEW(2) /* RT_BITMAP */, Instance);
    TDibImage image = ReadPackedDib({resource.Memory(), static_cast<std::size_t>(resource.Size())});
    LoadFromDib(image);
}

void TBitmap::Assign(const TPersistent *Source) {
    if (!Source) {
        FColorTable = TableFor(FPixelFormat, FColorTable);
        AdoptImage(TBitmapHandle(), nullptr, FPixelFormat, 0, 0, false);
        return;
    }
    if (const TBitmap *bitmap = dynamic_cast<const TBitmap *>(Source)) {
        if (bitmap == this)
            return;
        TBitmapHandle handle;
        std::uint8_t *bits = nullptr;
        if (!bitmap->Empty()) {
            if (bitmap->FBits) {
                handle = CreateDib(bitmap->FPixelFormat, bitmap->FWidth, bitmap->FHeight, bitmap->FColorTable, &bits);
                GdiFlush();
                CopyDibPixels(MakeLayout(bitmap->FBits, bitmap->FTopDown, bitmap->FPixelFormat, bitmap->FWidth,
                                         bitmap->FHeight, bitmap->FColorTable),
                              MakeLayout(bits, false, bitmap->FPixelFormat, bitmap->FWidth, bitmap->FHeight,
                                         bitmap->FColorTable));
            } else {
                handle = CreateDeviceBitmap(bitmap->FWidth, bitmap->FHeight);
                // The source image may sit in its canvas's DC: copy from there.
                TCanvas *source = const_cast<TBitmap *>(bitmap)->Canvas();
                TMemoryDC target;
                TSelectObject selected(target.Get(), handle.Get());
                BitBlt(target.Get(), 0, 0, bitmap->FWidth, bitmap->FHeight, source->Handle(), 0, 0, SRCCOPY);
            }
        }
        FColorTable = bitmap->FColorTable;
        FPalette.Reset();
        FTransparentColor = bitmap->FTransparentColor;
        FTransparentMode = bitmap->FTransparentMode;
        SetTransparent(bitmap->Transparent());
        AdoptImage(std::move(handle), bits, bitmap->FPixelFormat, bitmap->FWidth, bitmap->FHeight, false);
        return;
    }
    inherited::Assign(Source);
}

bool TBitmap::AssignDrawing(const TGraphic &Source) {
    SetSize(Source.Width(), Source.Height());
    if (Empty())
        return true;
    const TRect whole = Rect(0, 0, Width(), Height());
    Canvas()->FillRect(whole);
    // Drawing only reads the graphic, though it may make a canvas of its own on the way.
    const_cast<TGraphic &>(Source).Draw(*Canvas(), whole);
    return true;
}

void TBitmap::Draw(TCanvas &ACanvas, const TRect &Rect) {
    if (Empty())
        return;
    HDC target = ACanvas.Handle();
    HDC source = Canvas()->Handle();
    if (Transparent()) {
        TransparentBlt(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, FWidth, FHeight,
                       GdiColor(TransparentColor()));
        return;
    }
    // Stretching replicates pixels: exact, and the same on every system.
    const int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source, 0, 0, FWidth, FHeight,
               ACanvas.CopyMode());
    SetStretchBltMode(target, oldMode);
}

} // namespace vcl
