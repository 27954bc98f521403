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

// Fills the used bits of every scan line with a pattern that differs per row and byte.
void FillPattern(TBitmap &bitmap) {
    const std::size_t used = (std::size_t(bitmap.Width()) * PixelFormatBits(bitmap.PixelFormat()) + 7) / 8;
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto *line = static_cast<std::uint8_t *>(bitmap.ScanLine(y));
        for (std::size_t b = 0; b < used; ++b)
            line[b] = static_cast<std::uint8_t>(y * 37 + b * 11 + 1);
    }
}

// The used bits of every scan line, in order from the top.
std::vector<std::uint8_t> UsedBytes(TBitmap &bitmap) {
    const std::size_t bits = std::size_t(bitmap.Width()) * PixelFormatBits(bitmap.PixelFormat());
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto *line = static_cast<std::uint8_t *>(bitmap.ScanLine(y));
        bytes.insert(bytes.end(), line, line + bits / 8);
        if (bits % 8)
            bytes.push_back(line[bits / 8] & static_cast<std::uint8_t>(0xFF << (8 - bits % 8)));
    }
    return bytes;
}

std::unique_ptr<TBitmap> Bitmap32(int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(width, height);
    return bitmap;
}

struct TChangeCounter {
    int Count = 0;
    void Changed(TObject *) { ++Count; }
};

} // namespace

TEST(BitmapFormat, ANewBitmapIsAnEmptyDeviceBitmap) {
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_EQ(bitmap.HandleType(), bmDDB);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_FALSE(bitmap.View().HasRows());
    EXPECT_EQ(bitmap.Layout().First, nullptr);
}

TEST(BitmapFormat, ScanLinesAreBottomUpWithANegativeStride) {
    for (TPixelFormat format : DibFormats) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(13, 5);
        EXPECT_EQ(bitmap.HandleType(), bmDIB);
        const std::ptrdiff_t row = BytesPerScanLine(13, PixelFormatBits(format));
        auto *line0 = static_cast<std::uint8_t *>(bitmap.ScanLine(0));
        auto *line1 = static_cast<std::uint8_t *>(bitmap.ScanLine(1));
        auto *line4 = static_cast<std::uint8_t *>(bitmap.ScanLine(4));
        EXPECT_EQ(line1 - line0, -row) << format;
        EXPECT_EQ(line0 - line4, 4 * row) << format;
        const TDibLayout layout = bitmap.Layout();
        EXPECT_EQ(layout.First, line0);
        EXPECT_EQ(layout.Stride, -row);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectW(bitmap.Handle(), sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBits, line4) << "the last scan line starts the memory";
        EXPECT_EQ(ds.dsBmih.biBitCount, PixelFormatBits(format));
    }
}

TEST(BitmapFormat, ScanLineZeroIsTheTopLineThatGdiDraws) {
    auto bitmap = Bitmap32(4, 3);
    static_cast<std::uint32_t *>(bitmap->ScanLine(0))[2] = 0x00112233;
    EXPECT_EQ(bitmap->Canvas()->Pixels(2, 0), 0x00332211);
    bitmap->Canvas()->SetPixels(1, 2, clRed);
    EXPECT_EQ(Pixel32(*bitmap, 1, 2) & 0xFFFFFF, 0xFF0000u);  // B, G, R: red in the third byte
}

TEST(BitmapFormat, ScanLineOutsideTheBitmapRaises) {
    auto bitmap = Bitmap32(2, 2);
    EXPECT_THROW(bitmap->ScanLine(-1), EInvalidGraphic);
    EXPECT_THROW(bitmap->ScanLine(2), EInvalidGraphic);
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(BitmapFormat, ViewIsOnlyForThirtyTwoBits) {
    auto bitmap = Bitmap32(5, 3);
    const TBitmapView view = bitmap->View();
    EXPECT_EQ(view.First, bitmap->ScanLine(0));
    EXPECT_EQ(view.Stride, -20);
    EXPECT_EQ(view.Width, 5);
    EXPECT_EQ(view.Height, 3);
    view.At(4, 2) = 0x80FF0000;
    EXPECT_EQ(Pixel32(*bitmap, 4, 2), 0x80FF0000u);

    bitmap->SetPixelFormat(pf24bit);
    EXPECT_FALSE(bitmap->View().HasRows());
}

TEST(BitmapFormat, IndexedFormatsGetADefaultColourTable) {
    struct Case {
        TPixelFormat Format;
        std::size_t Entries;
        int Index;
        COLORREF Colour;
    };
    for (const Case &c : {Case{pf1bit, 2, 1, RGB(255, 255, 255)}, Case{pf4bit, 16, 9, RGB(255, 0, 0)},
                          Case{pf8bit, 256, 200, RGB(200, 200, 200)}}) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(c.Format);
        bitmap.SetSize(8, 1);
        EXPECT_EQ(bitmap.ColorTable().size(), c.Entries);
        PALETTEENTRY entry{};
        ASSERT_NE(bitmap.Palette(), nullptr);
        EXPECT_EQ(GetPaletteEntries(bitmap.Palette(), 0, 0, nullptr), c.Entries);
        GetPaletteEntries(bitmap.Palette(), c.Index, 1, &entry);
        EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), c.Colour);
        // Index c.Index in the first pixel, drawn by GDI through the table.
        auto *line = static_cast<std::uint8_t *>(bitmap.ScanLine(0));
        line[0] = static_cast<std::uint8_t>(c.Format == pf8bit ? c.Index : c.Index << (8 - PixelFormatBits(c.Format)));
        EXPECT_EQ(static_cast<COLORREF>(bitmap.Canvas()->Pixels(0, 0)), c.Colour) << c.Format;
    }
    TBitmap rgb;
    rgb.SetPixelFormat(pf24bit);
    rgb.SetSize(1, 1);
    EXPECT_EQ(rgb.Palette(), nullptr);
}

TEST(BitmapFormat, APaletteGivenBeforeTheSizeIsKept) {
    // The order of an image reader: format, palette, then size.
    struct {
        WORD Version, Count;
        PALETTEENTRY Entries[4];
    } log = {0x300, 4, {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}}};
    TPaletteHandle palette(CreatePalette(reinterpret_cast<LOGPALETTE *>(&log)));
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf4bit);
    bitmap.SetPalette(palette.Get());
    bitmap.SetSize(2, 1);
    ASSERT_EQ(bitmap.ColorTable().size(), 16u);
    EXPECT_EQ(bitmap.ColorTable()[3], (TBGRA{255, 0, 0, 0}));
    EXPECT_EQ(bitmap.ColorTable()[4], (TBGRA{0, 0, 0, 0}));  // missing entries are black
    static_cast<std::uint8_t *>(bitmap.ScanLine(0))[0] = 0x12;
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), 0x0000FF);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 0), 0x00FF00);
}

TEST(BitmapFormat, ChangingThePaletteOfAnImageRecoloursIt) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(1, 1);
    static_cast<std::uint8_t *>(bitmap.ScanLine(0))[0] = 7;
    bitmap.Canvas()->Pixels(0, 0);  // the canvas holds the image now
    std::vector<TBGRA> table(256);
    table[7] = TBGRA{0, 128, 255, 0};
    bitmap.SetColorTable(table);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), 0x0080FF);
    EXPECT_EQ(static_cast<std::uint8_t *>(bitmap.ScanLine(0))[0], 7);
}

TEST(BitmapSize, ResizingKeepsTheSharedAreaTopLeft) {
    auto bitmap = Bitmap32(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            static_cast<std::uint32_t *>(bitmap->ScanLine(y))[x] = 0x01000000u * (y * 3 + x + 1) + 0x123456;
    bitmap->SetSize(5, 2);
    EXPECT_EQ(bitmap->Width(), 5);
    EXPECT_EQ(bitmap->Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel32(*bitmap, x, y), x < 3 ? 0x01000000u * (y * 3 + x + 1) + 0x123456 : 0u) << x << "," << y;
    bitmap->SetHeight(0);
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(bitmap->Width(), 5);
    EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
}

TEST(BitmapSize, ADeviceBitmapKeepsItsPixelsToo) {
    TBitmap bitmap;
    bitmap.SetSize(4, 4);
    bitmap.Canvas()->Brush()->SetColor(clBlue);
    bitmap.Canvas()->FillRect(Rect(0, 0, 2, 2));
    bitmap.SetSize(6, 6);
    EXPECT_EQ(bitmap.HandleType(), bmDDB);
    EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clBlue);
    EXPECT_EQ(bitmap.Canvas()->Pixels(5, 5), clBlack);
}

TEST(BitmapFormat, ChangingTheFormatConvertsThePixels) {
    auto bitmap = Bitmap32(2, 1);
    static_cast<std::uint32_t *>(bitmap->ScanLine(0))[0] = 0xFFFF0000;  // opaque red
    static_cast<std::uint32_t *>(bitmap->ScanLine(0))[1] = 0xFF646464;  // opaque grey 100
    bitmap->SetPixelFormat(pf24bit);
    const auto *bgr = static_cast<std::uint8_t *>(bitmap->ScanLine(0));
    EXPECT_EQ(std::vector<std::uint8_t>(bgr, bgr + 6), (std::vector<std::uint8_t>{0, 0, 255, 100, 100, 100}));
    bitmap->SetPixelFormat(pf8bit);
    EXPECT_EQ(static_cast<std::uint8_t *>(bitmap->ScanLine(0))[1], 100);  // the grey table hits exactly
    bitmap->SetPixelFormat(pf32bit);
    EXPECT_EQ(Pixel32(*bitmap, 1, 0), 0x00646464u);  // alpha did not survive 24 and 8 bits
}

TEST(BitmapFormat, HandleTypeMovesBetweenDeviceAndDib) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(3, 2);
    bitmap.Canvas()->SetPixels(2, 1, 0x00336699);
    bitmap.SetHandleType(bmDDB);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_EQ(bitmap.Canvas()->Pixels(2, 1), 0x00336699);
    // Asking a device bitmap for its pixels makes it a DIB of the screen's depth.
    auto *line = static_cast<std::uint8_t *>(bitmap.ScanLine(1));
    EXPECT_EQ(bitmap.HandleType(), bmDIB);
    EXPECT_NE(bitmap.PixelFormat(), pfDevice);
    EXPECT_EQ(bitmap.Canvas()->Pixels(2, 1), 0x00336699);
    EXPECT_NE(line, nullptr);
}

TEST(BitmapFormat, CustomFormatIsRefused) {
    TBitmap bitmap;
    EXPECT_THROW(bitmap.SetPixelFormat(pfCustom), EInvalidGraphic);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
}

TEST(BitmapCanvas, DrawingReachesTheScanLines) {
    auto bitmap = Bitmap32(4, 4);
    bitmap->Canvas()->Brush()->SetColor(clRed);
    bitmap->Canvas()->FillRect(Rect(0, 0, 4, 1));
    EXPECT_EQ(Pixel32(*bitmap, 3, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixel32(*bitmap, 3, 1), 0u);
}

TEST(BitmapCanvas, TheCanvasFollowsTheImageThroughChanges) {
    auto bitmap = Bitmap32(2, 2);
    HDC dc = bitmap->Canvas()->Handle();
    bitmap->SetSize(8, 8);
    bitmap->SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap->Canvas()->Handle(), dc);  // one DC for the bitmap's life
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap->Handle());
    bitmap->Canvas()->SetPixels(7, 7, clLime);
    EXPECT_EQ(bitmap->Canvas()->Pixels(7, 7), clLime);
}

TEST(BitmapCanvas, FreeHandleLetsTheImageGoElsewhere) {
    auto bitmap = Bitmap32(2, 2);
    bitmap->Canvas()->FillRect(Rect(0, 0, 2, 2));
    bitmap->Canvas()->FreeHandle();
    TMemoryDC other;
    EXPECT_NE(SelectObject(other.Get(), bitmap->Handle()), nullptr);
    SelectObject(other.Get(), GetStockObject(DEFAULT_GUI_FONT));
}

TEST(BitmapCanvas, ChangesOfImageAndDrawingsAreAnnounced) {
    auto bitmap = Bitmap32(2, 2);
    TChangeCounter counter;
    bitmap->OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    bitmap->SetSize(3, 3);
    bitmap->Canvas()->FillRect(Rect(0, 0, 1, 1));
    bitmap->SetPixelFormat(pf24bit);
    EXPECT_EQ(counter.Count, 3);
    EXPECT_TRUE(bitmap->Modified());
}

TEST(BitmapStream, EveryFormatSurvivesARoundTrip) {
    for (TPixelFormat format : DibFormats) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(11, 6);
        FillPattern(bitmap);
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmap read;
        read.LoadFromStream(stream);
        EXPECT_EQ(read.PixelFormat(), format);
        EXPECT_EQ(read.Width(), 11);
        EXPECT_EQ(read.Height(), 6);
        EXPECT_EQ(read.ColorTable(), bitmap.ColorTable()) << format;
        EXPECT_EQ(UsedBytes(read), UsedBytes(bitmap)) << format;
        EXPECT_EQ(stream.Position(), stream.Size());
    }
}

TEST(BitmapStream, ADeviceBitmapIsWrittenAsADibAndStaysADeviceBitmap) {
    TBitmap bitmap;
    bitmap.SetSize(3, 3);
    bitmap.Canvas()->SetPixels(1, 1, 0x00204080);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    EXPECT_EQ(bitmap.HandleType(), bmDDB);
    stream.SetPosition(0);
    TBitmap read;
    read.LoadFromStream(stream);
    EXPECT_EQ(read.HandleType(), bmDIB);
    EXPECT_EQ(read.Canvas()->Pixels(1, 1), 0x00204080);
}

TEST(BitmapStream, TwoFilesInOneStreamAreReadOneAfterTheOther) {
    auto first = Bitmap32(2, 2), second = Bitmap32(5, 1);
    TMemoryStream stream;
    first->SaveToStream(stream);
    second->SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap read;
    read.LoadFromStream(stream);
    EXPECT_EQ(read.Width(), 2);
    read.LoadFromStream(stream);
    EXPECT_EQ(read.Width(), 5);
}

TEST(BitmapStream, DamagedDataRaisesAndLeavesTheBitmapAsItWas) {
    auto source = Bitmap32(4, 4);
    TMemoryStream good;
    source->SaveToStream(good);

    auto bitmap = Bitmap32(3, 2);
    static_cast<std::uint32_t *>(bitmap->ScanLine(1))[2] = 0xCAFEBABE;
    const HBITMAP handle = bitmap->Handle();
    struct Case {
        const char *What;
        std::size_t Length;
        std::size_t At;
        std::uint8_t Value;
    };
    const std::size_t size = static_cast<std::size_t>(good.Size());
    for (const Case &c : {Case{"empty", 0, 0, 0}, Case{"half a header", 7, size, 0}, Case{"no pixels", 54, size, 0},
                          Case{"last pixel missing", size - 4, size, 0}, Case{"not a BMP", size, 0, 'X'},
                          Case{"bad bit count", size, 28, 7}, Case{"compressed", size, 30, 2}}) {
        TMemoryStream bad;
        bad.WriteBuffer(good.Memory(), c.Length);
        if (c.At < c.Length)
            bad.Memory()[c.At] = c.Value;
        bad.SetPosition(0);
        EXPECT_THROW(bitmap->LoadFromStream(bad), EInvalidGraphic) << c.What;
        EXPECT_EQ(bitmap->Handle(), handle) << c.What;
        EXPECT_EQ(bitmap->Width(), 3);
        EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
        EXPECT_EQ(Pixel32(*bitmap, 2, 1), 0xCAFEBABEu);
    }
}

TEST(BitmapStream, FilesAreWrittenAndReadByName) {
    const vcl::test::TempFolder temp;
    const std::string file = temp / "picture.bmp";
    auto bitmap = Bitmap32(3, 2);
    static_cast<std::uint32_t *>(bitmap->ScanLine(1))[2] = 0x11223344;
    bitmap->SaveToFile(file);
    TBitmap read;
    read.LoadFromFile(file);
    EXPECT_EQ(Pixel32(read, 2, 1), 0x11223344u);
    EXPECT_THROW(read.LoadFromFile(file + ".missing"), EFOpenError);
    EXPECT_EQ(read.Width(), 3);
}

TEST(BitmapStream, BitmapResourcesAreRead) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(nullptr, "TESTBITMAP");
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 2);
    // The resource's first stored row is the bottom line.
    EXPECT_EQ(Pixel32(bitmap, 0, 1), 0x80FF0000u);
    EXPECT_EQ(Pixel32(bitmap, 1, 0), 0x40000080u);
    EXPECT_THROW(bitmap.LoadFromResourceName(nullptr, "NOSUCHBITMAP"), EResNotFound);
    EXPECT_EQ(bitmap.Width(), 2);
}

TEST(BitmapAssign, ACopyIsIndependentOfItsSource) {
    auto source = Bitmap32(2, 2);
    static_cast<std::uint32_t *>(source->ScanLine(0))[0] = 0x80402010;
    source->SetTransparentColor(clFuchsia);
    source->SetTransparent(true);
    TBitmap copy;
    copy.Assign(source.get());
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
    EXPECT_EQ(Pixel32(copy, 0, 0), 0x80402010u);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColor(), clFuchsia);
    static_cast<std::uint32_t *>(copy.ScanLine(0))[0] = 0;
    EXPECT_EQ(Pixel32(*source, 0, 0), 0x80402010u);

    TBitmap indexed;
    indexed.SetPixelFormat(pf8bit);
    indexed.SetSize(1, 1);
    std::vector<TBGRA> table(256, TBGRA{1, 2, 3, 0});
    indexed.SetColorTable(table);
    copy.Assign(&indexed);
    EXPECT_EQ(copy.ColorTable(), table);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(BitmapDraw, TransparentBitmapsLeaveTheirKeyColourOut) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 1);
    bitmap.Canvas()->SetPixels(0, 0, clFuchsia);
    bitmap.Canvas()->SetPixels(1, 0, clLime);
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(clFuchsia);
    TDibSurface surface(2, 1);
    TCanvas &canvas = surface.Canvas();
    canvas.Draw(0, 0, &bitmap);
    EXPECT_EQ(surface.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(surface.Pixel(1, 0), RGB(0, 255, 0));
}

TEST(BitmapDraw, AutomaticTransparentColourIsTheBottomLeftPixel) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 2);
    bitmap.Canvas()->SetPixels(0, 1, 0x00123456);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
    EXPECT_EQ(bitmap.TransparentColor(), 0x00123456);
    bitmap.SetTransparentColor(clRed);
    EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
    bitmap.SetTransparentColor(clDefault);
    EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
}

TEST(BitmapHandle, ForeignDibSectionsAreTakenOver) {
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
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.View().Stride, 8);
    EXPECT_EQ(Pixel32(bitmap, 1, 2), 0x01020304u);
    EXPECT_EQ(bitmap.ReleaseHandle(), handle);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    DeleteObject(handle);
}

TEST(BitmapHandle, NoHandleLeavesTheBitmapAsNew) {
    // An image reader releases the old image this way and then looks at the
    // format to see whether anything prepared it.
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(4, 4);
    bitmap.SetHandle(nullptr);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_TRUE(bitmap.ColorTable().empty());
}

TEST(BitmapCanvas, CopiesBetweenThirtyTwoBitBitmapsKeepAlpha) {
    // The skin's painters copy 32-bit images with their alpha through canvases.
    auto source = Bitmap32(2, 1), target = Bitmap32(4, 2);
    static_cast<std::uint32_t *>(source->ScanLine(0))[0] = 0x80112233;
    static_cast<std::uint32_t *>(source->ScanLine(0))[1] = 0x00445566;
    target->Canvas()->CopyRect(Rect(0, 0, 2, 1), source->Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(Pixel32(*target, 0, 0), 0x80112233u);
    EXPECT_EQ(Pixel32(*target, 1, 0), 0x00445566u);
    target->Canvas()->CopyRect(Rect(0, 1, 4, 2), source->Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(Pixel32(*target, 1, 1), 0x80112233u);
    EXPECT_EQ(Pixel32(*target, 2, 1), 0x00445566u);
    BitBlt(target->Canvas()->Handle(), 3, 0, 1, 1, source->Canvas()->Handle(), 0, 0, SRCCOPY);
    EXPECT_EQ(Pixel32(*target, 3, 0), 0x80112233u);
}
