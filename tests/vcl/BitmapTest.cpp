#include "vcl/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "GraphicsTestSupport.h"
#include "TempFolder.h"
#include "vcl/BmpFile.h"
#include "vcl/Canvas.h"

using namespace vcl;
using vcl::test::Pixel32;
using vcl::test::TDibSurface;

namespace {

constexpr TPixelFormat DibFormats[] = {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};

// The used bits of every scan line, in order from the top.
std::vector<std::uint8_t> UsedBytes(TBitmap &bitmap) {
    const std::size_t bits = std::size_t(bitmap.Width()) * PixelFormatBits(bitmap.PixelFormat());
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto *line = static_cast<std::uint8_t *>(bitmap.ScanLine(y));
        bytes.insert(bytes.end(), line, line + bits / 8);
        if (bits % 8) bytes.push_back(line[bits / 8] & static_cast<std::uint8_t>(0xFF << (8 - bits % 8)));
    }
    return bytes;
}

std::unique_ptr<TBitmap> Bitmap32(int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(width, height);
    return bitmap;
}

std::uint32_t &At(TBitmap &bitmap, int x, int y) { return static_cast<std::uint32_t *>(bitmap.ScanLine(y))[x]; }

} // namespace

TEST(BitmapFormat, EveryFormatIsABottomUpDibThatSurvivesAStreamRoundTrip) {
    TBitmap fresh;
    EXPECT_EQ(fresh.PixelFormat(), pfDevice);  // a new bitmap is an empty device bitmap
    EXPECT_EQ(fresh.Handle(), nullptr);
    EXPECT_THROW(fresh.ScanLine(0), EInvalidGraphic);
    for (TPixelFormat format : DibFormats) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(11, 6);
        EXPECT_EQ(bitmap.HandleType(), bmDIB);
        const std::ptrdiff_t row = BytesPerScanLine(11, PixelFormatBits(format));
        auto *line0 = static_cast<std::uint8_t *>(bitmap.ScanLine(0));
        EXPECT_EQ(static_cast<std::uint8_t *>(bitmap.ScanLine(1)) - line0, -row) << format;
        EXPECT_EQ(bitmap.Layout().Stride, -row);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectW(bitmap.Handle(), sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBits, bitmap.ScanLine(5)) << "the last scan line starts the memory";
        for (int y = 0; y < 6; ++y)
            for (std::ptrdiff_t b = 0; b < row; ++b)
                static_cast<std::uint8_t *>(bitmap.ScanLine(y))[b] = static_cast<std::uint8_t>(y * 37 + b * 11 + 1);
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmap read;
        read.LoadFromStream(stream);
        EXPECT_EQ(read.PixelFormat(), format);
        EXPECT_EQ(read.ColorTable(), bitmap.ColorTable()) << format;
        EXPECT_EQ(UsedBytes(read), UsedBytes(bitmap)) << format;
        EXPECT_EQ(stream.Position(), stream.Size());
    }
    auto bitmap = Bitmap32(4, 3);
    EXPECT_THROW(bitmap->ScanLine(3), EInvalidGraphic);
    EXPECT_THROW(bitmap->SetPixelFormat(pfCustom), EInvalidGraphic);
    // Scan line 0 is the top line that GDI draws; the view covers 32 bits only.
    At(*bitmap, 2, 0) = 0x00112233;
    EXPECT_EQ(bitmap->Canvas()->Pixels(2, 0), 0x00332211);
    const TBitmapView view = bitmap->View();
    EXPECT_EQ(view.First, bitmap->ScanLine(0));
    EXPECT_EQ(view.Stride, -16);
    bitmap->SetPixelFormat(pf24bit);
    EXPECT_FALSE(bitmap->View().HasRows());
}

TEST(BitmapFormat, IndexedFormatsDrawThroughTheirColourTable) {
    const struct {
        TPixelFormat Format;
        std::size_t Entries;
        int Index;
        COLORREF Colour;
    } cases[] = {{pf1bit, 2, 1, RGB(255, 255, 255)}, {pf4bit, 16, 9, RGB(255, 0, 0)}, {pf8bit, 256, 200, RGB(200, 200, 200)}};
    for (const auto &c : cases) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(c.Format);
        bitmap.SetSize(8, 1);
        EXPECT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 0, nullptr), c.Entries);
        auto *line = static_cast<std::uint8_t *>(bitmap.ScanLine(0));
        line[0] = static_cast<std::uint8_t>(c.Format == pf8bit ? c.Index : c.Index << (8 - PixelFormatBits(c.Format)));
        EXPECT_EQ(static_cast<COLORREF>(bitmap.Canvas()->Pixels(0, 0)), c.Colour) << c.Format;
    }
    // A palette given before the size is kept (an image reader's order);
    // missing entries are black; a new table recolours the image.
    struct {
        WORD Version, Count;
        PALETTEENTRY Entries[4];
    } log = {0x300, 4, {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}}};
    TPaletteHandle palette(CreatePalette(reinterpret_cast<LOGPALETTE *>(&log)));
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf4bit);
    bitmap.SetPalette(palette.Get());
    bitmap.SetSize(2, 1);
    EXPECT_EQ(bitmap.ColorTable()[4], (TBGRA{0, 0, 0, 0}));
    static_cast<std::uint8_t *>(bitmap.ScanLine(0))[0] = 0x12;
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), 0x0000FF);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 0), 0x00FF00);
    std::vector<TBGRA> table(16);
    table[1] = TBGRA{0, 128, 255, 0};
    bitmap.SetColorTable(table);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), 0x0080FF);
    EXPECT_EQ(static_cast<std::uint8_t *>(bitmap.ScanLine(0))[0], 0x12);
}

TEST(BitmapFormat, SizeAndFormatChangesKeepThePixelsOfTheSharedArea) {
    auto bitmap = Bitmap32(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) At(*bitmap, x, y) = 0x01000000u * (y * 3 + x + 1) + 0x123456;
    bitmap->SetSize(5, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel32(*bitmap, x, y), x < 3 ? 0x01000000u * (y * 3 + x + 1) + 0x123456 : 0u) << x << "," << y;
    At(*bitmap, 0, 0) = 0xFFFF0000;  // opaque red
    At(*bitmap, 1, 0) = 0xFF646464;  // opaque grey 100
    bitmap->SetPixelFormat(pf24bit);
    const auto *bgr = static_cast<std::uint8_t *>(bitmap->ScanLine(0));
    EXPECT_EQ(std::vector<std::uint8_t>(bgr, bgr + 6), (std::vector<std::uint8_t>{0, 0, 255, 100, 100, 100}));
    bitmap->SetPixelFormat(pf8bit);
    EXPECT_EQ(static_cast<std::uint8_t *>(bitmap->ScanLine(0))[1], 100);  // the grey table hits exactly
    bitmap->SetPixelFormat(pf32bit);
    EXPECT_EQ(Pixel32(*bitmap, 1, 0), 0x00646464u);  // alpha did not survive 24 and 8 bits

    // A device bitmap keeps its pixels too, and becomes a DIB of the
    // screen's depth when asked for them.
    TBitmap device;
    device.SetSize(4, 4);
    device.Canvas()->Brush()->SetColor(clBlue);
    device.Canvas()->FillRect(Rect(0, 0, 2, 2));
    device.SetSize(6, 6);
    EXPECT_EQ(device.HandleType(), bmDDB);
    EXPECT_EQ(device.Canvas()->Pixels(1, 1), clBlue);
    EXPECT_EQ(device.Canvas()->Pixels(5, 5), clBlack);
    EXPECT_NE(device.ScanLine(1), nullptr);
    EXPECT_EQ(device.HandleType(), bmDIB);
    EXPECT_EQ(device.Canvas()->Pixels(1, 1), clBlue);
    device.SetHandleType(bmDDB);
    EXPECT_EQ(device.PixelFormat(), pfDevice);
    EXPECT_EQ(device.Canvas()->Pixels(1, 1), clBlue);
}

TEST(BitmapCanvas, DrawingReachesTheScanLinesAndIsAnnounced) {
    auto bitmap = Bitmap32(4, 4);
    struct TCounter {
        int Count = 0;
        void Changed(TObject *) { ++Count; }
    } counter;
    bitmap->OnChange = TNotifyEvent::Bind<&TCounter::Changed>(&counter);
    const HDC dc = bitmap->Canvas()->Handle();
    bitmap->SetSize(8, 8);
    EXPECT_EQ(bitmap->Canvas()->Handle(), dc);  // the same DC until the application goes idle
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap->Handle());
    bitmap->Canvas()->Brush()->SetColor(clRed);
    bitmap->Canvas()->FillRect(Rect(0, 0, 8, 1));
    EXPECT_EQ(Pixel32(*bitmap, 7, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixel32(*bitmap, 7, 1), 0u);
    EXPECT_EQ(counter.Count, 2);
    // Once its canvas lets go, the image may be selected elsewhere.
    bitmap->Canvas()->FreeHandle();
    TMemoryDC other;
    EXPECT_NE(SelectObject(other.Get(), bitmap->Handle()), nullptr);
    SelectObject(other.Get(), GetStockObject(DEFAULT_GUI_FONT));
}

TEST(BitmapCanvas, CopiesBetweenThirtyTwoBitBitmapsKeepAlpha) {
    // The skin's painters copy 32-bit images with their alpha through canvases.
    auto source = Bitmap32(2, 1), target = Bitmap32(4, 2);
    At(*source, 0, 0) = 0x80112233;
    At(*source, 1, 0) = 0x00445566;
    target->Canvas()->CopyRect(Rect(0, 1, 4, 2), source->Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(Pixel32(*target, 1, 1), 0x80112233u);
    EXPECT_EQ(Pixel32(*target, 2, 1), 0x00445566u);
    BitBlt(target->Canvas()->Handle(), 3, 0, 1, 1, source->Canvas()->Handle(), 0, 0, SRCCOPY);
    EXPECT_EQ(Pixel32(*target, 3, 0), 0x80112233u);
}

TEST(BitmapStream, DevicesBitmapsFilesAndResourcesAreReadAndWritten) {
    TBitmap device;
    device.SetSize(3, 3);
    device.Canvas()->SetPixels(1, 1, 0x00204080);
    TMemoryStream stream;
    device.SaveToStream(stream);
    EXPECT_EQ(device.HandleType(), bmDDB);  // written as a DIB, stays a device bitmap
    Bitmap32(5, 1)->SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap read;
    read.LoadFromStream(stream);
    EXPECT_EQ(read.HandleType(), bmDIB);
    EXPECT_EQ(read.Canvas()->Pixels(1, 1), 0x00204080);
    read.LoadFromStream(stream);  // the second file of the stream
    EXPECT_EQ(read.Width(), 5);

    const vcl::test::TempFolder temp;
    const std::string file = temp / "picture.bmp";
    auto bitmap = Bitmap32(3, 2);
    At(*bitmap, 2, 1) = 0x11223344;
    bitmap->SaveToFile(file);
    read.LoadFromFile(file);
    EXPECT_EQ(Pixel32(read, 2, 1), 0x11223344u);
    EXPECT_THROW(read.LoadFromFile(file + ".missing"), EFOpenError);

    read.LoadFromResourceName(nullptr, "TESTBITMAP");
    EXPECT_EQ(read.PixelFormat(), pf32bit);
    EXPECT_EQ(Pixel32(read, 0, 1), 0x80FF0000u);  // the resource's first stored row is the bottom line
    EXPECT_EQ(Pixel32(read, 1, 0), 0x40000080u);
    EXPECT_THROW(read.LoadFromResourceName(nullptr, "NOSUCHBITMAP"), EResNotFound);
    EXPECT_EQ(read.Width(), 2);
}

TEST(BitmapStream, DamagedDataRaisesAndLeavesTheBitmapAsItWas) {
    TMemoryStream good;
    Bitmap32(4, 4)->SaveToStream(good);
    auto bitmap = Bitmap32(3, 2);
    At(*bitmap, 2, 1) = 0xCAFEBABE;
    const HBITMAP handle = bitmap->Handle();
    const std::size_t size = static_cast<std::size_t>(good.Size());
    const struct {
        const char *What;
        std::size_t Length, At;
        std::uint8_t Value;
    } cases[] = {{"empty", 0, 0, 0}, {"half a header", 7, size, 0}, {"no pixels", 54, size, 0},
                 {"last pixel missing", size - 4, size, 0}, {"not a BMP", size, 0, 'X'},
                 {"bad bit count", size, 28, 7}, {"compressed", size, 30, 2}};
    for (const auto &c : cases) {
        TMemoryStream bad;
        bad.WriteBuffer(good.Memory(), c.Length);
        if (c.At < c.Length) bad.Memory()[c.At] = c.Value;
        bad.SetPosition(0);
        EXPECT_THROW(bitmap->LoadFromStream(bad), EInvalidGraphic) << c.What;
        EXPECT_EQ(bitmap->Handle(), handle) << c.What;
        EXPECT_EQ(Pixel32(*bitmap, 2, 1), 0xCAFEBABEu);
    }
}

TEST(BitmapAssign, ACopyIsIndependentOfItsSource) {
    auto source = Bitmap32(2, 2);
    At(*source, 0, 0) = 0x80402010;
    source->SetTransparentColor(clFuchsia);
    source->SetTransparent(true);
    TBitmap copy;
    copy.Assign(source.get());
    EXPECT_EQ(Pixel32(copy, 0, 0), 0x80402010u);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clFuchsia);
    At(copy, 0, 0) = 0;
    EXPECT_EQ(Pixel32(*source, 0, 0), 0x80402010u);
    TBitmap indexed;
    indexed.SetPixelFormat(pf8bit);
    indexed.SetSize(1, 1);
    const std::vector<TBGRA> table(256, TBGRA{1, 2, 3, 0});
    indexed.SetColorTable(table);
    copy.Assign(&indexed);
    EXPECT_EQ(copy.ColorTable(), table);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(BitmapDraw, TransparentBitmapsLeaveTheirKeyColourOut) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 2);
    bitmap.Canvas()->SetPixels(0, 0, clLime);
    bitmap.Canvas()->SetPixels(1, 0, clFuchsia);
    bitmap.Canvas()->SetPixels(0, 1, 0x00123456);
    EXPECT_EQ(bitmap.TransparentColor(), 0x00123456);  // automatic: the bottom-left pixel
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(clFuchsia);
    EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
    TDibSurface surface(2, 1);
    surface.Canvas().Draw(0, 0, &bitmap);
    EXPECT_EQ(surface.Pixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(surface.Pixel(1, 0), RGB(255, 255, 255));
    bitmap.SetTransparentColor(clDefault);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
}

TEST(BitmapHandle, ForeignDibSectionsAreTakenOverAndGivenBack) {
    // A top-down DIB section from elsewhere: its stride is positive.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -3;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    static_cast<std::uint32_t *>(bits)[2 * 2 + 1] = 0x01020304;  // row 2, column 1
    TBitmap bitmap;
    bitmap.SetHandle(handle);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.View().Stride, 8);
    EXPECT_EQ(Pixel32(bitmap, 1, 2), 0x01020304u);
    EXPECT_EQ(bitmap.ReleaseHandle(), handle);
    EXPECT_TRUE(bitmap.Empty());
    DeleteObject(handle);
    // No handle leaves the bitmap as new: an image reader looks at the format then.
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(4, 4);
    bitmap.SetHandle(nullptr);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_TRUE(bitmap.ColorTable().empty());
}
