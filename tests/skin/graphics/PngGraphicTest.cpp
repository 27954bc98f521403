// TPNGGraphic as pictures, image controls and the library's loaders use it:
// registration, loading, keeping its image on a damaged file, Assign, Draw
// by alpha, and an RGBA picture over a form as the user sees it.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../../vcl/TempFolder.h"
#include "PngTestSupport.h"
#include "UiDriver.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlPNG.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"
#include "vcl/Picture.h"

using namespace pngtest;
using skin::TPNGGraphic;
using vcl::test::TempFolder;

namespace {

void FillStream(vcl::TMemoryStream &Stream, const TBytes &Bytes) {
    Stream.Clear();
    Stream.WriteBuffer(Bytes.data(), Bytes.size());
    Stream.SetPosition(0);
}

void Load(vcl::TGraphic &Graphic, const TBytes &Bytes) {
    vcl::TMemoryStream stream;
    FillStream(stream, Bytes);
    Graphic.LoadFromStream(stream);
}

void SaveBytes(const std::string &Path, const TBytes &Bytes) {
    vcl::TMemoryStream stream;
    FillStream(stream, Bytes);
    stream.SaveToFile(Path);
}

// RGBA: red rising to the right, green downwards, alpha rising along the diagonal.
TSampleImage Rgba(int w, int h) {
    return MakeImage(w, h, 6, 8, [w, h](int x, int y, int c) {
        const unsigned v[4] = {unsigned(x * 255 / std::max(w - 1, 1)), unsigned(y * 255 / std::max(h - 1, 1)), 60,
                               unsigned((x + y) * 255 / std::max(w + h - 2, 1))};
        return v[c];
    });
}

int Corrected(int v) { return int(std::nearbyint(std::pow(v / 255.0, 1 / 2.2) * 255)); }

std::uint32_t Bgra(const TSampleImage &im, int x, int y) {
    return im.At(x, y, 2) | im.At(x, y, 1) << 8 | im.At(x, y, 0) << 16 | std::uint32_t(im.At(x, y, 3)) << 24;
}

// The bytes the heaps of the process hold in use.
std::size_t HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    std::size_t bytes = 0;
    for (DWORD i = 0; i < count; ++i) {
        HeapLock(heaps[i]);
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

struct TPngUnit {
    TPngUnit() { skin::InitializeVlPNG(); }
    ~TPngUnit() { skin::FinalizeVlPNG(); }
};

} // namespace

TEST(PngGraphic, StartUpRegistersPngWithPicturesUntilTheBalancingEnd) {
    const TempFolder temp;
    const std::string file = temp / "picture.PNG";
    SaveBytes(file, EncodePng(Rgba(3, 2)));
    EXPECT_EQ(vcl::TPicture::FileFormatClass("png"), nullptr);
    {
        const TPngUnit outer;
        {
            const TPngUnit inner;
        }
        // The inner end balanced only its own start.
        EXPECT_EQ(vcl::TPicture::FileFormatClass(".png"), &TPNGGraphic::StaticClassInfo());
        vcl::TPicture picture;
        picture.LoadFromFile(file);
        auto *png = dynamic_cast<TPNGGraphic *>(picture.Graphic());
        ASSERT_NE(png, nullptr);
        EXPECT_EQ(png->PixelFormat(), vcl::pf32bit);
        EXPECT_EQ(png->View().At(2, 1), Bgra(Rgba(3, 2), 2, 1));
    }
    EXPECT_EQ(vcl::TPicture::FileFormatClass("png"), nullptr);
    vcl::TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(file), vcl::Exception);
}

TEST(PngGraphic, DamagedFileLeavesTheImageItHeldAndEachLoadStartsAfresh) {
    TPNGGraphic png;
    const TSampleImage rgb = MakeImage(4, 3, 2, 8, [](int x, int y, int c) { return unsigned(x * 60 + y * 7 + c); });
    TPngOptions options;
    options.BeforeImageData = {Chunk("tRNS", {0, 255, 0, 0, 0, 60}), Chunk("gAMA", {0, 1, 0x86, 0xA0})};
    Load(png, EncodePng(rgb, options));
    ASSERT_EQ(png.PixelFormat(), vcl::pf24bit);
    EXPECT_TRUE(png.Transparent());
    EXPECT_EQ(png.TransparentColor(), 0xFF | Corrected(60) << 16);  // corrected as the pixels are
    EXPECT_TRUE(png.ColorManager().TargetOptions() & skin::coApplyGamma);

    TBytes damaged = EncodePng(Rgba(9, 9));
    damaged[damaged.size() - 20] ^= 0x55;  // inside the image data: its CRC fails
    try {
        Load(png, damaged);
        ADD_FAILURE() << "a damaged file loaded";
    } catch (const vcl::EInvalidGraphic &e) {
        EXPECT_STREQ(e.what(), "Cannot load image. CRC error found in PNG file.");
    }
    EXPECT_EQ(png.Width(), 4);
    EXPECT_EQ(png.Height(), 3);
    EXPECT_EQ(png.PixelFormat(), vcl::pf24bit);
    EXPECT_EQ(png.ImageProperties().ColorScheme, skin::csRGB);
    EXPECT_EQ(static_cast<const std::uint8_t *>(png.ScanLine(2))[3 * 3 + 2], Corrected(3 * 60 + 2 * 7));

    // The next image gets no gamma from the one before.
    Load(png, EncodePng(rgb));
    EXPECT_FALSE(png.ColorManager().TargetOptions() & skin::coApplyGamma);
    EXPECT_EQ(static_cast<const std::uint8_t *>(png.ScanLine(2))[3 * 3 + 2], 3 * 60 + 2 * 7);
}

TEST(PngGraphic, ALoadSetsTheWholeTransparencyState) {
    const TSampleImage rgb = MakeImage(4, 3, 2, 8, [](int x, int y, int c) { return unsigned(x * 60 + y * 7 + c); });
    const TBytes keyed = EncodePng(rgb, [] {
        TPngOptions options;
        options.BeforeImageData = {Chunk("tRNS", {0, 255, 0, 0, 0, 60})};
        return options;
    }());
    const TBytes plain = EncodePng(rgb);

    TPNGGraphic png;
    Load(png, keyed);
    ASSERT_TRUE(png.Transparent());
    ASSERT_EQ(png.TransparentColor(), 0x3C00FF);
    // The next file names no transparent colour: the old one must not stay.
    Load(png, plain);
    EXPECT_FALSE(png.Transparent());
    EXPECT_EQ(png.TransparentMode(), vcl::tmAuto);
    EXPECT_EQ(png.TransparentColorValue(), skin::PngNoTransparentColor);

    // A copy takes what its source's load set, and gives it up the same way.
    Load(png, keyed);
    TPNGGraphic copy;
    copy.Assign(&png);
    EXPECT_TRUE(copy.Transparent());
    EXPECT_EQ(copy.TransparentColorValue(), 0x3C00FF);
    Load(copy, plain);
    EXPECT_FALSE(copy.Transparent());

    // Transparency that no load set (the user's, an image control's) is theirs to keep.
    copy.SetTransparent(true);
    Load(copy, plain);
    EXPECT_TRUE(copy.Transparent());
}

// A picture stores the graphic as its SaveToStream writes it (a BMP file)
// and must read that back, as well as PNG data.
struct TStoredPng : TPNGGraphic {
    using TPNGGraphic::ReadData;
    using TPNGGraphic::WriteData;
};

TEST(PngGraphic, AssignAndStoredDataKeepImageAndProperties) {
    TStoredPng source, copy;
    Load(source, EncodePng(Rgba(5, 4)));
    copy.Assign(&source);
    EXPECT_EQ(copy.ImageProperties().Width, 5u);
    EXPECT_EQ(copy.ImageProperties().ColorScheme, skin::csRGBA);
    EXPECT_EQ(copy.View().At(4, 3), Bgra(Rgba(5, 4), 4, 3));
    vcl::TBitmap bitmap;
    bitmap.Assign(&source);
    EXPECT_EQ(bitmap.View().At(1, 2), Bgra(Rgba(5, 4), 1, 2));

    vcl::TMemoryStream stream;
    source.WriteData(stream);
    stream.SetPosition(0);
    TStoredPng again;
    again.ReadData(stream);
    EXPECT_EQ(again.View().At(4, 3), Bgra(Rgba(5, 4), 4, 3));
    FillStream(stream, EncodePng(Rgba(3, 5)));
    again.ReadData(stream);
    EXPECT_EQ(again.View().At(2, 4), Bgra(Rgba(3, 5), 2, 4));
}

TEST(PngGraphic, ThirtyTwoBitImagesBlendByAlphaOthersDrawPlainly) {
    const vcl::THandleCounts handles = vcl::LiveHandles();
    const std::uint32_t back = 0xFF2040A0;
    auto owned = std::make_unique<TPNGGraphic>();
    TPNGGraphic &png = *owned;
    Load(png, EncodePng(Rgba(4, 4)));
    for (int scale : {1, 2}) {
        auto target = skin::NewBitmap32(10, 10);
        vcl::TPixels32 expected(10, 10, back), stretched(4 * scale, 4 * scale);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) target->View().At(x, y) = back;
        // The pixel core's blend of the image, replicated to the rect's size.
        for (int y = 0; y < 4 * scale; ++y)
            for (int x = 0; x < 4 * scale; ++x) stretched.At(x, y) = png.View().At(x / scale, y / scale);
        const vcl::TRect rect{1, 2, 1 + 4 * scale, 2 + 4 * scale};
        skin::BlendBitmap32(rect, {0, 0, 4 * scale, 4 * scale}, expected.View(), stretched.View(), skin::TBgPixels{},
                            false);
        target->Canvas()->StretchDraw(rect, &png);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(target->View().At(x, y) & 0xFFFFFF, expected.At(x, y) & 0xFFFFFF) << scale << ": " << x << ", " << y;
        // The fully transparent corner shows what lay below.
        EXPECT_EQ(target->View().At(1, 2) & 0xFFFFFF, back & 0xFFFFFF);
    }

    // A 24-bit image draws as a bitmap, also when it reaches the alpha drawer.
    Load(png, EncodePng(MakeImage(2, 2, 2, 8, [](int x, int, int c) { return unsigned(c == 0 ? 255 * x : 0); })));
    auto target = skin::NewBitmap32(4, 4);
    skin::DrawBitmapAlpha(*target->Canvas(), png, {0, 0, 4, 4}, false);
    EXPECT_EQ(target->View().At(3, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(target->View().At(1, 3) & 0xFFFFFF, 0u);
    // The work bitmaps of the draws are gone with them.
    target.reset();
    owned.reset();
    EXPECT_EQ(vcl::LiveHandles(), handles);
}

// Records what OnProgress hears, as ProgressText gives it.
struct TProgressRecorder {
    vcl::TObject *Sender = nullptr;
    std::vector<std::string> Reports;
    void OnProgress(vcl::TObject *ASender, vcl::TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                    const vcl::TRect &R, const std::string &Msg) {
        Sender = ASender;
        Reports.push_back(ProgressText(Stage, PercentDone, RedrawNow, R, Msg));
    }
};

TEST(PngGraphic, ALoadReportsItsProgressThroughOnProgress) {
    TPNGGraphic png;
    TProgressRecorder recorder;
    png.OnProgress = vcl::TProgressEvent::Bind<&TProgressRecorder::OnProgress>(&recorder);
    Load(png, EncodePng(Rgba(6, 5)));
    EXPECT_EQ(recorder.Sender, &png);
    EXPECT_EQ(recorder.Reports, (std::vector<std::string>{"starting 0% (0,0,6,1) Preparing...", "ending 0% (0,0,6,1) ",
                                                          "starting 0% (0,0,6,1) Transfering...",
                                                          "ending 0% (0,5,6,6) "}));

    // A damaged file ends its reports too, before its error reaches the caller.
    recorder.Reports.clear();
    TBytes damaged = EncodePng(Rgba(9, 9));
    damaged[damaged.size() - 20] ^= 0x55;
    EXPECT_THROW(Load(png, damaged), vcl::EInvalidGraphic);
    ASSERT_EQ(recorder.Reports.size(), 4u);
    EXPECT_EQ(recorder.Reports[2], "starting 0% (0,0,9,1) Transfering...");
    EXPECT_EQ(recorder.Reports[3].rfind("ending 0% (0,", 0), 0u) << recorder.Reports[3];
}

// Holds every GDI object the process may still make (brushes, made until
// the next one fails), so that no bitmap can be made while it lives.
class TGdiTableFull {
public:
    TGdiTableFull() {
        for (HBRUSH brush; FBrushes.size() < 1000000 && (brush = CreateSolidBrush(0x123456)) != nullptr;)
            FBrushes.emplace_back(brush);
    }
    bool Full() const {
        const std::unique_ptr<HBRUSH__, TDelete> one(CreateSolidBrush(0));
        return !FBrushes.empty() && !one;
    }

private:
    struct TDelete {
        void operator()(HBRUSH Brush) const { DeleteObject(Brush); }
    };
    std::vector<std::unique_ptr<HBRUSH__, TDelete>> FBrushes;
};

TEST(PngGraphic, AnImageNoBitmapCanBeMadeForFailsAndKeepsTheImageHeld) {
    TPNGGraphic png;
    Load(png, EncodePng(Rgba(5, 4)));
    const vcl::THandleCounts handles = vcl::LiveHandles();  // the bitmap of the image held
    const TBytes other = EncodePng(Rgba(7, 3));
    std::string message;
    {
        // The file decodes; only the bitmap for its pixels cannot be made.
        const TGdiTableFull full;
        ASSERT_TRUE(full.Full());
        try {
            Load(png, other);
            ADD_FAILURE() << "an image loaded without a bitmap for it";
        } catch (const vcl::EInvalidGraphic &e) {
            message = e.what();
        }
    }
    EXPECT_EQ(message, "Cannot create a bitmap of 7 x 3 pixels: out of system resources");
    EXPECT_EQ(vcl::LiveHandles(), handles);
    EXPECT_EQ(png.Width(), 5);
    EXPECT_EQ(png.Height(), 4);
    EXPECT_EQ(png.ImageProperties().Width, 5u);
    EXPECT_EQ(png.View().At(4, 3), Bgra(Rgba(5, 4), 4, 3));
    // With the handles back the same file loads.
    Load(png, other);
    EXPECT_EQ(png.View().At(6, 2), Bgra(Rgba(7, 3), 6, 2));

    // Sizes beyond 2^31 - 1 are refused by the header check, width and height alike.
    for (const auto &[width, height] : {std::pair{0x80000000u, 3u}, {7u, 0x80000000u}}) {
        TBytes file = other;
        const TBytes header = HeaderData(width, height, 8, 6);
        const TBytes ihdr = Chunk("IHDR", header);
        std::copy(ihdr.begin(), ihdr.end(), file.begin() + 8);
        try {
            Load(png, file);
            ADD_FAILURE() << width << " x " << height << " loaded";
        } catch (const vcl::EInvalidGraphic &e) {
            EXPECT_STREQ(e.what(), "Cannot load image. Invalid or unexpected PNG image format.") << width << " x " << height;
        }
        EXPECT_EQ(png.Width(), 7);
        EXPECT_EQ(png.View().At(6, 2), Bgra(Rgba(7, 3), 6, 2));
    }
    EXPECT_EQ(vcl::LiveHandles(), handles);
}

TEST(PngGraphic, AShortPaletteLeavesNoEntryOfTheImageBefore) {
    TPNGGraphic png;
    const TSampleImage indices = MakeImage(4, 2, 3, 8, [](int x, int, int) { return unsigned(x); });
    TPngOptions full, few;
    full.BeforeImageData = {Chunk("PLTE", TBytes(3 * 256, 0xAB))};
    few.BeforeImageData = {Chunk("PLTE", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})};
    Load(png, EncodePng(indices, full));
    ASSERT_EQ(png.ColorTable().size(), 256u);
    Load(png, EncodePng(indices, few));
    ASSERT_EQ(png.PixelFormat(), vcl::pf8bit);
    ASSERT_EQ(png.ColorTable().size(), 256u);
    EXPECT_EQ(png.ColorTable()[3], (vcl::TBGRA{12, 11, 10, 0}));
    for (int i = 4; i < 256; ++i) EXPECT_EQ(png.ColorTable()[i], vcl::TBGRA{}) << i;
}

TEST(PngLoaders, LoadIntoBitmapsAndLeaveNothingBehindOnFailure) {
    const TempFolder temp;
    const std::string file = temp / "glyph.png";
    SaveBytes(file, EncodePng(Rgba(6, 5)));
    vcl::TBitmap bitmap;
    skin::LoadPngFileToBitmap(bitmap, file);
    EXPECT_EQ(bitmap.View().At(5, 4), Bgra(Rgba(6, 5), 5, 4));

    vcl::TMemoryStream stream;
    TBytes damaged = EncodePng(Rgba(3, 3));
    damaged[1] = 'p';
    FillStream(stream, damaged);
    try {
        skin::LoadPngStreamToBitmap(bitmap, stream);
        ADD_FAILURE() << "a damaged stream loaded";
    } catch (const vcl::EInvalidGraphic &e) {
        EXPECT_STREQ(e.what(), "Cannot load image. Invalid or unexpected PNG image format.");
    }
    EXPECT_EQ(bitmap.Width(), 6);
    // Each failed load frees the graphic it made: the heaps do not grow.
    const vcl::THandleCounts handles = vcl::LiveHandles();
    const std::size_t before = HeapBytesInUse();
    for (int i = 0; i < 2000; ++i) {
        stream.SetPosition(0);
        EXPECT_THROW(skin::LoadPngStreamToBitmap(bitmap, stream), vcl::EInvalidGraphic);
    }
    EXPECT_LT(HeapBytesInUse(), before + 64 * 1024) << "about " << (HeapBytesInUse() - before) / 2000 << " bytes a load";
    EXPECT_EQ(vcl::LiveHandles(), handles);
}

TEST(PngGraphic, RgbaPictureShowsOverAColouredFormThroughAnImage) {
    const TPngUnit unit;
    const TempFolder temp;
    const std::string file = temp / "badge.png";
    const TSampleImage badge = Rgba(96, 64);
    SaveBytes(file, EncodePng(badge));
    constexpr vcl::TColor formColour = 0x30A040;  // 0x00BBGGRR

    std::unique_ptr<vcl::TForm> form(vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew));
    form->SetBorderStyle(vcl::bsNone);
    form->SetColor(formColour);
    form->SetBounds(60, 60, 160, 120);
    auto *image = vcl::Create<vcl::TImage>(form.get());
    image->SetParent(form.get());
    image->SetBounds(20, 30, 96, 64);
    image->Picture()->LoadFromFile(file);
    ASSERT_NE(dynamic_cast<TPNGGraphic *>(image->Picture()->Graphic()), nullptr);
    form->Show();
    form->Repaint();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const uitest::TImage32 shot = uitest::CaptureWindow(form->Handle());

    // The picture as the user sees it, kept with the build's artefacts.
    std::string folder = std::string("Z:") + ZUVO_ARTIFACTS_FOLDER;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    std::filesystem::create_directories(TempFolder::Native(folder));
    uitest::WritePng(folder + "\\png-over-form.png", shot);

    ASSERT_EQ(shot.Width, 160);
    const std::uint32_t back = 0x40A030;  // the form's colour as B, G, R
    EXPECT_EQ(shot.At(5, 5) & 0xFFFFFF, back);
    vcl::TPixels32 expected(96, 64, back | 0xFF000000), picture(96, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) picture.At(x, y) = Bgra(badge, x, y);
    skin::BlendBitmap32({0, 0, 96, 64}, {0, 0, 96, 64}, expected.View(), picture.View(), skin::TBgPixels{}, false);
    int wrong = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            if ((shot.At(20 + x, 30 + y) & 0xFFFFFF) != (expected.At(x, y) & 0xFFFFFF) && wrong++ < 5)
                ADD_FAILURE() << x << ", " << y << ": " << std::hex << shot.At(20 + x, 30 + y);
    EXPECT_EQ(shot.At(20, 30) & 0xFFFFFF, back) << "transparent corner";
    // The opaque corner shows the picture's colour (255, 255, 60), within the blender's rounding.
    const std::uint32_t corner = shot.At(20 + 95, 30 + 63);
    for (const auto &[shift, want] : {std::pair{16, 255}, {8, 255}, {0, 60}})
        EXPECT_NEAR(int(corner >> shift & 0xFF), want, 1) << "opaque corner, shift " << shift;
}
