// Where a load finds its files and what it makes of them: the application's
// common pictures, the size limits of files and pictures, a skin directory
// relative to the program, the editor's preview, the pictures of other
// formats, and the skin's outer effects.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include <windows.h>

#include "../../support/AllocationWatch.h"
#include "../../support/UniqueName.h"
#include "../../vcl/JpegTestSupport.h"
#include "ManagerTestSupport.h"
#include "PngWriter.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sSkinImages.h"
#include "vcl/Bitmap.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;
using vcl::test::TempFolder;

class SkinLoad : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
};

// Counts the manager's finished loads.
struct LoadCounter {
    int Count = 0;
    void Tick(vcl::TObject *) { ++Count; }
    void Watch(TsSkinManager &M) { M.OnSkinLoading = vcl::TNotifyEvent::Bind<&LoadCounter::Tick>(this); }
};

// A pixel as a 32-bit skin image holds it (alpha, red, green, blue) for a
// colour value and an alpha.
constexpr std::uint32_t SkinPixel(vcl::TColor Color, std::uint32_t Alpha = 255) {
    return Alpha << 24 | (Color & 0xFF) << 16 | (Color & 0xFF00) | (Color >> 16 & 0xFF);
}

TEST_F(SkinLoad, CommonPicturesComeFromTheSkinFolderAndBelongToNoSection) {
    TempFolder dir;
    TestSkin skin;
    skin.Files.push_back({"app.bmp", Bmp24(3, 2, [](int x, int y) { return x == 0 && y == 0 ? Fuchsia : 0x123456; })});
    skin.Files.push_back({"broken.bmp", BytesOf("BM, but nothing of a bitmap follows")});
    WriteFolder(dir / "S", skin);
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    m->SetSkinName("S");
    const std::size_t skinMasks = m->Masks.size();

    LoadCounter loads;
    loads.Watch(*m);
    vcl::TStringList common;
    common.SetText("[MyPictures]\r\nLogo = app.bmp\r\nBroken=broken.bmp\r\nMissing=none.bmp\r\nTint=0x123456\r\n"
                   "; a note = with spaces\r\n[GLOBALINFO]\r\nBACK=app.bmp\r\n");
    m->SetCommonSections(&common);
    EXPECT_EQ(loads.Count, 1);  // the skin is read again with them
    EXPECT_EQ(m->CommonSections()->Strings(1), "Logo=app.bmp");
    EXPECT_EQ(m->CommonSections()->Strings(5), "; a note = with spaces");

    const int logo = m->FindMaskIndex("MYPICTURES", "LOGO");
    ASSERT_GE(logo, 0);
    const TsMaskData &picture = m->Masks[static_cast<std::size_t>(logo)];
    EXPECT_EQ(picture.OwnerSection, -1);
    const int section = m->FindSectionIndex("MyPictures");  // the section the common text adds
    ASSERT_GE(section, 0);
    EXPECT_EQ(m->GetMaskIndex(section, "LOGO"), -1);
    ASSERT_NE(picture.Bmp, nullptr);
    ASSERT_EQ(picture.Bmp->PixelFormat(), vcl::pf32bit);
    ASSERT_EQ(picture.Bmp->Width(), 3);
    ASSERT_EQ(picture.Bmp->Height(), 2);
    EXPECT_EQ(picture.Bmp->View().At(0, 0), SkinPixel(Fuchsia, 0));  // the key colour stays transparent
    EXPECT_EQ(picture.Bmp->View().At(2, 1), SkinPixel(0x123456));

    // A picture that does not load stays as a named, empty item; a missing
    // file, a value that is no bitmap and GLOBALINFO give none.
    const int broken = m->FindMaskIndex("MYPICTURES", "BROKEN");
    ASSERT_GE(broken, 0);
    EXPECT_EQ(m->Masks[static_cast<std::size_t>(broken)].Bmp->Width(), 0);
    EXPECT_EQ(m->FindMaskIndex("MYPICTURES", "MISSING"), -1);
    EXPECT_EQ(m->FindMaskIndex("MYPICTURES", "TINT"), -1);
    EXPECT_EQ(m->FindMaskIndex("GLOBALINFO", "BACK"), -1);
    EXPECT_EQ(m->Masks.size(), skinMasks + 2);

    // Taken away again, with the next read.
    m->SetCommonSections(nullptr);
    EXPECT_EQ(loads.Count, 2);
    EXPECT_EQ(m->FindMaskIndex("MYPICTURES", "LOGO"), -1);
    EXPECT_EQ(m->Masks.size(), skinMasks);
}

// A file made as large as Size without writing its bytes (a sparse file
// where the file system has them).
void Grow(const std::string &Path, std::uintmax_t Size) { std::filesystem::resize_file(TempFolder::Native(Path), Size); }

TEST_F(SkinLoad, FilesAboveTheSizeLimitAreRefusedAndTheSkinBeforeStays) {
    TempFolder dir;
    for (const char *name : {"Good", "HugeOptions", "HugeTexture", "HugeMaster"}) WriteFolder(dir / name, TestSkin{});
    Grow(dir / "HugeOptions\\Options.dat", MaxSkinFileSize + 1);
    Grow(dir / "HugeTexture\\tile.bmp", MaxSkinFileSize + 1);
    Grow(dir / "HugeMaster\\MASTER.BMP", MaxSkinFileSize + 1);
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    m->SetSkinName("Good");
    const std::size_t masks = m->Masks.size();
    for (const char *name : {"HugeOptions", "HugeTexture", "HugeMaster"}) {
        SCOPED_TRACE(name);
        MessageWatcher watcher;
        m->SetSkinName(name);
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_EQ(m->SkinName(), "Good");
        EXPECT_TRUE(m->SkinData->Active);
        EXPECT_EQ(m->Masks.size(), masks);
    }

    // The limit itself is still read.
    Grow(dir / "HugeOptions\\Options.dat", MaxSkinFileSize);
    EXPECT_EQ(ReadSkinFile(dir / "HugeOptions\\Options.dat")->Size(), MaxSkinFileSize);
    Grow(dir / "HugeOptions\\Options.dat", MaxSkinFileSize + 1);
    try {
        ReadSkinFile(dir / "HugeOptions\\Options.dat");
        ADD_FAILURE() << "a file above the limit was read";
    } catch (const vcl::EReadError &e) {
        EXPECT_NE(e.Message().find("HugeOptions\\Options.dat"), std::string::npos) << e.Message();
    }
}

// A BMP file of W x H pixels of Bits each, all Fill bytes: an info header
// with its compression and, after it, the words of After (a colour table or
// colour masks).
Bytes BmpOf(int W, int H, int Bits, std::uint32_t Compression, std::initializer_list<std::uint32_t> After,
            std::uint8_t Fill) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(W) * static_cast<std::uint32_t>(Bits) + 31) / 32 * 4;
    const std::uint32_t pixels = stride * static_cast<std::uint32_t>(H);
    const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * After.size());
    Bytes file{'B', 'M'};
    vcl::AppendU32(file, offset + pixels);
    vcl::AppendU32(file, 0);
    vcl::AppendU32(file, offset);
    for (std::uint32_t v : {40u, static_cast<std::uint32_t>(W), static_cast<std::uint32_t>(H)}) vcl::AppendU32(file, v);
    vcl::AppendU32(file, 1u | static_cast<std::uint32_t>(Bits) << 16);  // one plane
    const std::uint32_t colours = Bits <= 8 ? static_cast<std::uint32_t>(After.size()) : 0;
    for (std::uint32_t v : {Compression, pixels, 2835u, 2835u, colours, 0u}) vcl::AppendU32(file, v);
    for (std::uint32_t v : After) vcl::AppendU32(file, v);
    file.resize(file.size() + pixels, Fill);
    return file;
}

// A one-bit BMP file of W x H black pixels: large pictures in few bytes.
Bytes MonochromeBmp(int W, int H) { return BmpOf(W, H, 1, 0, {0x000000, 0xFFFFFF}, 0); }

TEST_F(SkinLoad, PicturesAboveTheSizeLimitAreRefusedBeforeTheirImageIsMade) {
    // 4096 x 4096 pixels are the most; one column more is too many.
    {
        vcl::TMemoryStream file;
        FillStream(file, MonochromeBmp(4096, 4096));
        vcl::TBitmap largest;
        LoadSkinBitmap(largest, file, true, "LARGEST.BMP");
        EXPECT_EQ(largest.Width(), 4096);
        EXPECT_EQ(largest.PixelFormat(), vcl::pf32bit);
    }
    vcl::TMemoryStream file;
    FillStream(file, MonochromeBmp(4097, 4096));
    vcl::TBitmap tooLarge;
    EXPECT_THROW(LoadSkinBitmap(tooLarge, file, true, "HUGE.BMP"), vcl::EInvalidGraphic);
    EXPECT_EQ(tooLarge.Width(), 0);

    // In a skin: a texture too large ends the load with one message; an
    // application's common picture too large stays an empty item.
    TempFolder dir;
    TestSkin huge;
    huge.Files[1].Data = MonochromeBmp(4097, 4096);
    WriteFolder(dir / "Huge", huge);
    WriteFolder(dir / "Good", TestSkin{});
    WriteFile(dir / "Good\\poster.bmp", MonochromeBmp(4097, 4096));
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    vcl::TStringList common;
    common.SetText("[APP]\r\nPOSTER=poster.bmp\r\n");
    m->CommonSections()->Assign(&common);
    m->SetSkinName("Good");
    const int poster = m->FindMaskIndex("APP", "POSTER");
    ASSERT_GE(poster, 0);
    EXPECT_EQ(m->Masks[static_cast<std::size_t>(poster)].Bmp->Width(), 0);
    MessageWatcher watcher;
    m->SetSkinName("Huge");
    EXPECT_EQ(watcher.Count(), 1);
    EXPECT_EQ(m->SkinName(), "Good");
}

// A JPEG file whose header announces W x H grey pixels, padded with
// entropy-coded bytes until the decoder believes the file could hold them.
Bytes AnnouncingJpeg(int W, int H) {
    vcl::test::TJpegRecipe recipe;
    recipe.Width = recipe.Height = 8;
    recipe.Components = 1;
    recipe.Pixel = [](int, int, std::uint8_t *s) { s[0] = 0x80; };
    Bytes file = vcl::test::EncodeJpeg(recipe);
    for (std::size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {  // the frame header: height, then width
            file[i + 5] = static_cast<std::uint8_t>(H >> 8), file[i + 6] = static_cast<std::uint8_t>(H);
            file[i + 7] = static_cast<std::uint8_t>(W >> 8), file[i + 8] = static_cast<std::uint8_t>(W);
            break;
        }
    // Every 8 x 8 block costs at least a bit of the scan.
    file.insert(file.end() - 2, static_cast<std::size_t>(W / 8) * (H / 8) / 8 + 1024, 0);
    return file;
}

// A 16-bit BMP file of W x H pixels whose colour masks no bitmap format
// keeps (four bits each), so that its pixels are converted to 32 bits.
Bytes MaskedBmp(int W, int H) { return BmpOf(W, H, 16, 3 /* bit fields */, {0x0F00, 0x00F0, 0x000F}, 0x5A); }

TEST_F(SkinLoad, DamagedPicturesAreRefusedWithTheirMessageBeforeAnImageOfTheirSizeIsMade) {
    using namespace pngtest;
    const struct {
        const char *Name;
        Bytes File;
        std::string Message;
    } cases[] = {
        // An RGBA header of 16000 x 16000 with data enough for its check of
        // the stream's length: a gigabyte of pixels asked for by a megabyte.
        {"HUGE.PNG", Join({Signature, Chunk("IHDR", HeaderData(16000, 16000, 8, 6)), Chunk("IDAT", TBytes(1 << 20)),
                           Chunk("IEND", {})}),
         "The skin picture \"HUGE.PNG\" is too large (16000 x 16000)"},
        {"HUGE.JPG", AnnouncingJpeg(16384, 16384), "The skin picture \"HUGE.JPG\" is too large (16384 x 16384)"},
        {"HUGE.BMP", MaskedBmp(4100, 4100), "The skin picture \"HUGE.BMP\" is too large (4100 x 4100)"},
        // A grey image of no depth with its transparent grey before the image data.
        {"NODEPTH.PNG",
         Join({Signature, Chunk("IHDR", HeaderData(4, 4, 0, 0)), Chunk("tRNS", {0, 1}), Chunk("IDAT", TBytes(64)),
               Chunk("IEND", {})}),
         "Invalid color format in PNG file."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        vcl::TMemoryStream file;
        FillStream(file, c.File);
        vcl::TBitmap picture;
        std::string message;
        zuvotest::TAllocationWatch watch;
        try {
            LoadSkinPicture(picture, c.Name, file, true);
        } catch (const vcl::EInvalidGraphic &e) {
            message = e.Message();
        }
        EXPECT_EQ(message, c.Message);
        EXPECT_LT(watch.Largest(), std::size_t{4} << 20);
        EXPECT_EQ(picture.Width(), 0);
    }
}

// A scratch folder inside the program's own folder, named relatively.
struct ProgramSubfolder {
    std::string Name = zuvotest::UniqueName("zuvo-skins-");
    std::string Full = AppFolder() + Name;
    ProgramSubfolder() { std::filesystem::create_directories(TempFolder::Native(Full)); }
    ~ProgramSubfolder() {
        std::error_code ec;
        std::filesystem::remove_all(TempFolder::Native(Full), ec);
    }
};

// The current directory for a scope.
struct CurrentDirectory {
    std::wstring Before = std::filesystem::current_path().wstring();
    explicit CurrentDirectory(const std::string &Path) { std::filesystem::current_path(TempFolder::Native(Path)); }
    ~CurrentDirectory() { std::filesystem::current_path(Before); }
};

TEST_F(SkinLoad, RelativeSkinDirectoryFindsPackedFilesAndFoldersInTheProgramsFolder) {
    ProgramSubfolder skins;
    TestSkin packed, folder;
    packed.Options = TestOptions("9.5");
    folder.Options = TestOptions("9.6");
    WriteFile(skins.Full + "\\Packed.gmz", packed.Packed());
    WriteFolder(skins.Full + "\\Folder", folder);
    // Another current directory, holding a packed skin of the same name:
    // nothing is looked for there.
    TempFolder elsewhere;
    std::filesystem::create_directories(TempFolder::Native(elsewhere / skins.Name));
    TestSkin decoy;
    decoy.Options = TestOptions("9.9");
    WriteFile(elsewhere / skins.Name + "\\Packed.gmz", decoy.Packed());
    CurrentDirectory current(elsewhere.Path());

    const std::string appFolder = AppFolder();
    std::string parent = appFolder.substr(0, appFolder.size() - 1);
    const std::string lastFolder = parent.substr(parent.find_last_of('\\') + 1);
    ManagerPtr m = NewManager();
    for (const std::string &directory :
         {skins.Name, ".\\" + skins.Name, "./" + skins.Name, "..\\" + lastFolder + "\\" + skins.Name}) {
        SCOPED_TRACE(directory);
        m->SetSkinDirectory(directory);
        EXPECT_EQ(m->ResolveSkinDirectory(), skins.Full + "\\");
        m->SetSkinName("Packed");
        EXPECT_TRUE(m->IsPacked);
        EXPECT_EQ(m->GetSkinInfo(), "9.5");
        EXPECT_EQ(m->SkinData->SkinPath, skins.Full + "\\");
        m->SetSkinName("Folder");
        EXPECT_FALSE(m->IsPacked);
        EXPECT_EQ(m->GetSkinInfo(), "9.6");
        EXPECT_EQ(m->SkinData->SkinPath, skins.Full + "\\Folder\\");
        vcl::TStringList list;
        std::string first;
        m->ListAvailableSkins(list, 2, first);
        EXPECT_EQ(list.Text(), "Folder\r\nPacked\r\n");
    }
}

// Sends the block as an editor does and lets the posted command arrive.
void Push(const std::string &Name, const std::string &Directory, const std::string &Options) {
    TvlPushedSkinBlock block{};
    block[1] = 0xA4;
    std::copy(Name.begin(), Name.end(), block.begin() + 4);
    std::copy(Directory.begin(), Directory.end(), block.begin() + 132);
    std::copy(Options.begin(), Options.end(), block.begin() + 644);
    COPYDATASTRUCT data{0, static_cast<DWORD>(block.size()), block.data()};
    ASSERT_EQ(SendMessageW(vcl::Application->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&data)), 1);
    uitest::PumpUntil([] { return false; }, std::chrono::milliseconds(100));
}

TEST_F(SkinLoad, InPreviewAFolderWinsOverAPackedFileOfItsName) {
    TempFolder dir;
    TestSkin packed, folder;
    packed.Options = TestOptions("9.5");
    folder.Options = TestOptions("9.6");
    WriteFile(dir / "Both.gmz", packed.Packed());
    WriteFolder(dir / "Both", folder);
    WriteFile(dir / "OnlyPacked.gmz", packed.Packed());
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    TvlStateOverride preview(ModuleState().PreviewMode, false);
    m->SetSkinName("Both");
    EXPECT_TRUE(m->IsPacked);
    EXPECT_EQ(m->GetSkinInfo(), "9.5");
    ModuleState().PreviewMode = true;
    m->SetSkinName("Both");
    EXPECT_FALSE(m->IsPacked);
    EXPECT_EQ(m->GetSkinInfo(), "9.6");

    // A pushed name that has a folder there takes the pushed text; one that
    // has only a packed file loads the packed file instead.
    const std::string pushed = "[GLOBALINFO]\r\nVERSION=9.25\r\n[EDIT]\r\nCOLOR=0x123456\r\n";
    Push("Both", dir.Path(), pushed);
    EXPECT_EQ(m->GetSkinInfo(), "9.25");
    EXPECT_EQ(m->GetEditColor(), 0x123456);
    Push("OnlyPacked", dir.Path(), pushed);
    EXPECT_EQ(m->SkinName(), "OnlyPacked");
    EXPECT_TRUE(m->IsPacked);
    EXPECT_EQ(m->GetSkinInfo(), "9.5");
    EXPECT_EQ(m->GetEditColor(), 0x40E0F0);
}

// The colour of a decoded JPEG pixel is near the one encoded.
bool Near(std::uint32_t Pixel, std::uint32_t Expected) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(Pixel >> shift & 0xFF) - static_cast<int>(Expected >> shift & 0xFF)) > 6)
            return false;
    return Pixel >> 24 == Expected >> 24;
}

TEST_F(SkinLoad, JpegPicturesAreOpaqueTexturesAndKeysNamingOnePictureShareIt) {
    vcl::test::TJpegRecipe recipe;
    recipe.Width = 8;
    recipe.Height = 6;
    recipe.Pixel = [](int, int, std::uint8_t *s) {
        s[0] = 0x30;
        s[1] = 0x80;
        s[2] = 0xC0;
    };
    TestSkin skin;
    skin.Options += "[PICTURES]\r\nPLAIN=photo.jpg\r\nAGAIN=PHOTO.JPG\r\nWORDS=!SHOT.JPEG!1!0!1\r\n"
                    "TILED=TILE.BMP\r\nNOJPG=PHOTO.PNG\r\n";
    skin.Files.push_back({"PHOTO.JPG", vcl::test::EncodeJpeg(recipe)});
    skin.Files.push_back({"SHOT.JPEG", vcl::test::EncodeJpeg(recipe)});
    TempFolder dir;
    WriteFolder(dir / "Folder", skin);
    WriteFile(dir / "Packed.gmz", skin.Packed());
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    for (const char *source : {"Folder", "Packed"}) {
        SCOPED_TRACE(source);
        m->SetSkinName(source);
        const int plain = m->FindMaskIndex("PICTURES", "PLAIN");
        ASSERT_GE(plain, 0);
        const TsMaskData &photo = m->Masks[static_cast<std::size_t>(plain)];
        EXPECT_EQ(photo.ImageKind, 1);
        EXPECT_EQ(photo.R, (vcl::TRect{0, 0, 8, 6}));
        ASSERT_NE(photo.Bmp, nullptr);
        EXPECT_EQ(photo.Bmp->PixelFormat(), vcl::pf32bit);
        EXPECT_TRUE(Near(photo.Bmp->View().At(3, 3), SkinPixel(0xC08030))) << std::hex << photo.Bmp->View().At(3, 3);
        const int words = m->FindMaskIndex("PICTURES", "WORDS");
        ASSERT_GE(words, 0);
        EXPECT_TRUE(Near(m->Masks[static_cast<std::size_t>(words)].Bmp->View().At(7, 5), SkinPixel(0xC08030)));
        EXPECT_EQ(m->FindMaskIndex("PICTURES", "NOJPG"), -1);

        // One picture for the two keys that name it, one for the texture
        // of BUTTON and the key that names the same file.
        const int again = m->FindMaskIndex("PICTURES", "AGAIN");
        ASSERT_GE(again, 0);
        EXPECT_EQ(m->Masks[static_cast<std::size_t>(again)].Bmp, photo.Bmp);
        const int tiled = m->FindMaskIndex("PICTURES", "TILED"), pattern = m->FindMaskIndex("BUTTON", "PATTERN");
        ASSERT_GE(tiled, 0);
        ASSERT_GE(pattern, 0);
        EXPECT_EQ(m->Masks[static_cast<std::size_t>(tiled)].Bmp, m->Masks[static_cast<std::size_t>(pattern)].Bmp);
        const auto named = [&](const std::string &name) {
            return std::count_if(m->ExtImages.begin(), m->ExtImages.end(),
                                 [&](const TvlExtFileData &e) { return vcl::UpperCase(e.FileName) == name; });
        };
        EXPECT_EQ(named("PHOTO.JPG"), 1);
        EXPECT_EQ(named("TILE.BMP"), 1);
    }
    // The table and the masks let their shared pictures go once, together.
    std::weak_ptr<vcl::TBitmap> shared = m->Masks[static_cast<std::size_t>(m->FindMaskIndex("PICTURES", "AGAIN"))].Bmp;
    m->SetActive(false);
    EXPECT_TRUE(shared.expired());
}

// The options text names its pictures in the system's 8-bit code page, as
// the skin editor writes it; a folder skin finds them under their names.
TEST_F(SkinLoad, PictureNamesWithLettersOfTheCodePageAreFoundInTheFolderAndThePack) {
    const std::wstring wide = L"Pozad\u00ED.bmp";  // "Pozadí.bmp"
    std::string codePage(64, '\0');
    codePage.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                                                 codePage.data(), static_cast<int>(codePage.size()),
                                                                 nullptr, nullptr)));
    ASSERT_EQ(codePage.size(), 10u) << "the code page has no \u00ED";
    const Bytes picture = Bmp24(3, 2, [](int, int) { return 0x2040C0; });
    TestSkin folder, packed;
    folder.Options += "[PICTURES]\r\nBACK=" + codePage + "\r\n";
    packed.Options = folder.Options;
    folder.Files.push_back({vcl::WideToUtf8(wide), picture});  // the file system's name
    packed.Files.push_back({codePage, picture});                // the pack's name, as the options text has it
    TempFolder dir;
    WriteFolder(dir / "Folder", folder);
    WriteFile(dir / "Packed.gmz", packed.Packed());
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    // An options text that starts with the byte-order mark of UTF-8 names
    // its pictures in UTF-8, the master bitmap among them.
    TestSkin utf8;
    utf8.Options = "\xEF\xBB\xBF" + utf8.Options + "[PICTURES]\r\nBACK=" + vcl::WideToUtf8(wide) + "\r\n";
    const std::string master = "M" + vcl::WideToUtf8(L"\u00ED") + "STER.BMP";  // "MíSTER.BMP"
    const std::size_t named = utf8.Options.find("master.bmp");
    ASSERT_NE(named, std::string::npos);
    utf8.Options.replace(named, 10, master);
    utf8.Files[0].Name = master;
    utf8.Files.push_back({vcl::WideToUtf8(wide), picture});
    WriteFolder(dir / "Utf8", utf8);
    // The same text pushed by the skin editor follows the same rule.
    TvlStateOverride preview(ModuleState().PreviewMode, false);
    for (const std::string source : {"Folder", "Packed", "Utf8", "Utf8 pushed"}) {
        SCOPED_TRACE(source);
        if (source == "Utf8 pushed") {
            m->SetSkinName("Folder");
            Push("Utf8", dir.Path(), utf8.Options);
            ASSERT_EQ(m->SkinName(), "Utf8");
        } else {
            m->SetSkinName(source);
        }
        const int back = m->FindMaskIndex("PICTURES", "BACK");
        ASSERT_GE(back, 0);
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(back)];
        ASSERT_NE(mask.Bmp, nullptr);
        ASSERT_EQ(mask.Bmp->Width(), 3);
        EXPECT_EQ(mask.Bmp->View().At(2, 1), SkinPixel(0x2040C0));
        EXPECT_EQ(m->MasterBitmap->Width(), 41);
    }
}

// A PNG picture of three pixels: a half-transparent colour, the same colour
// fully transparent and a fully transparent white.
Bytes ThreePixelPng() {
    const pngtest::TSampleImage image = pngtest::MakeImage(3, 1, 6, 8, [](int x, int, int c) -> unsigned {
        static const unsigned pixels[3][4] = {{200, 100, 50, 128}, {200, 100, 50, 0}, {255, 255, 255, 0}};
        return pixels[x][c];
    });
    return pngtest::EncodePng(image);
}

// A PNG picture without alpha: the key colour and a white.
Bytes KeyAndWhitePng() {
    return pngtest::EncodePng(pngtest::MakeImage(2, 1, 2, 8, [](int x, int, int c) -> unsigned {
        return x == 0 && c == 1 ? 0u : 255u;
    }));
}

TEST_F(SkinLoad, PngPicturesArePremultipliedForNewerSkinsWithoutBrightening) {
    TempFolder dir;
    for (const char *version : {"8.0", "7.45"}) {
        TestSkin skin;
        skin.Options = TestOptions(version) + "[PICTURES]\r\nGLYPH=!DOT.PNG!1!0!1\r\nFLAT=!FLAT.PNG!1!0!1\r\n";
        skin.Files.push_back({"DOT.PNG", ThreePixelPng()});
        skin.Files.push_back({"FLAT.PNG", KeyAndWhitePng()});
        WriteFolder(dir / (std::string("V") + version), skin);
    }
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    const auto pixels = [&] {
        const TsMaskData &glyph = m->Masks[static_cast<std::size_t>(m->FindMaskIndex("PICTURES", "GLYPH"))];
        const vcl::TBitmapView v = glyph.Bmp->View();
        return std::vector<std::uint32_t>{v.At(0, 0), v.At(1, 0), v.At(2, 0)};
    };

    m->SetSkinName("V8.0");
    EXPECT_EQ(pixels(), (std::vector<std::uint32_t>{0x80643219, 0, 0}));
    // Without alpha the picture is opaque around its key, and stays so.
    const TsMaskData &flat = m->Masks[static_cast<std::size_t>(m->FindMaskIndex("PICTURES", "FLAT"))];
    EXPECT_EQ(flat.Bmp->View().At(0, 0), 0x00FF00FFu);
    EXPECT_EQ(flat.Bmp->View().At(1, 0), 0xFFFFFFFFu);
    m->SetSkinName("V7.45");
    EXPECT_EQ(pixels(), (std::vector<std::uint32_t>{0x80C86432, 0x00C86432, 0x00FFFFFF}));

    // Brightened pictures keep their colours where they are transparent;
    // darkened ones were premultiplied first.
    m->SetSkinName("V8.0");
    m->SetBrightness(10);
    std::vector<std::uint32_t> p = pixels();
    EXPECT_EQ(p[1] >> 24, 0u);
    EXPECT_GE(p[1] >> 16 & 0xFF, 200u);
    EXPECT_GE(p[0] >> 16 & 0xFF, 200u);
    m->SetBrightness(-10);
    p = pixels();
    EXPECT_EQ(p[1], 0u);
    EXPECT_LE(p[0] >> 16 & 0xFF, 100u);
}

// The program's blur picture as colour values, row by row from the top.
std::vector<std::vector<vcl::TColor>> BlurPicture() {
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&DeleteObject)> blur(
        static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), L"BLUR5", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)),
        &DeleteObject);
    DIBSECTION dib{};
    if (!blur || GetObjectW(blur.get(), sizeof dib, &dib) != int(sizeof dib) || dib.dsBm.bmBitsPixel != 24) return {};
    std::vector<std::vector<vcl::TColor>> rows;
    for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
        const auto *row = static_cast<const std::uint8_t *>(dib.dsBm.bmBits) + (dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidthBytes;
        rows.emplace_back();
        for (int x = 0; x < dib.dsBm.bmWidth; ++x) rows.back().push_back(row[x * 3 + 2] | row[x * 3 + 1] << 8 | row[x * 3] << 16);
    }
    return rows;
}

// A picture's pixel without its alpha, as a colour value.
vcl::TColor ColorOf(vcl::TBitmap &Picture, int X, int Y) {
    const std::uint32_t p = Picture.View().At(X, Y);
    return static_cast<vcl::TColor>((p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16);
}

// The skin's two outer effects: the light ("LO_") and the shadow ("SH_")
// read from GLOBALINFO with their defaults, each with no picture (source
// 0), the skin's own item (source 1) or the program's blur with the
// effect's four colours painted above it (any other source).
TEST_F(SkinLoad, OuterEffectsTakeTheirDefaultsAndTheirPictureFromTheirSource) {
    const auto blur = BlurPicture();
    ASSERT_FALSE(blur.empty());
    const int w = static_cast<int>(blur.size()), h2 = w / 2;
    ASSERT_EQ(w % 2, 1);
    const auto withGlobals = [](const std::string &Keys) {
        TestSkin skin;
        skin.Options.insert(std::string("[GLOBALINFO]\r\n").size(), Keys);
        return skin.Packed();
    };
    constexpr vcl::TColor L = 0x0000FF, T = 0x00FF00, R = 0xFF0000, B = 0x00FFFF;
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Blur", withGlobals("SH_COLORL=0x0000FF\r\nSH_COLORT=0x00FF00\r\nSH_COLORR=0xFF0000\r\n"
                                          "SH_COLORB=0x00FFFF\r\nSH_WIDTHL=4\r\nSH_OFFSETT=9\r\nSH_OPACITY=33\r\n"));
    AddStoredSkin(*m, "Own", withGlobals("SH_SOURCE=0\r\nLO_SOURCE=1\r\n"
                                         "LO_MASK=^0010,0020,0030,0040,0001,0002,0003,0004,2,1,4,5\r\n"));
    AddStoredSkin(*m, "OwnWithout", withGlobals("LO_SOURCE=1\r\n"));

    m->SetSkinName("Blur");
    ASSERT_EQ(m->OutEffects.size(), 2u);
    const TvlOutEffect &light = m->OutEffects[0], &shadow = m->OutEffects[1];
    EXPECT_EQ((std::vector<vcl::TColor>{light.ColorL, light.ColorT, light.ColorR, light.ColorB}),
              (std::vector<vcl::TColor>{0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}));
    EXPECT_EQ((std::vector{light.OffsetL, light.OffsetT, light.OffsetR, light.OffsetB}), (std::vector{2, 2, 2, 4}));
    EXPECT_EQ((std::vector{light.Source, light.Opacity}), (std::vector{2, 200}));
    EXPECT_EQ((std::vector{shadow.OffsetL, shadow.OffsetT, shadow.OffsetR, shadow.OffsetB}), (std::vector{3, 9, 3, 5}));
    EXPECT_EQ((std::vector{shadow.Source, shadow.Opacity}), (std::vector{2, 33}));
    // Widths not given are half the picture's.
    EXPECT_EQ((std::vector{light.WidthL, light.WidthT, light.WidthR, light.WidthB}), (std::vector{h2, h2, h2, h2}));
    EXPECT_EQ((std::vector{shadow.WidthL, shadow.WidthT, shadow.WidthR, shadow.WidthB}), (std::vector{4, h2, h2, h2}));
    for (const auto &[effect, key] : {std::pair{&light, "LO_MASK"}, std::pair{&shadow, "SH_MASK"}}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(m->IsValidMaskIndex(effect->MaskIndex));
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(effect->MaskIndex)];
        EXPECT_EQ(mask.ClassName, "GLOBALINFO");
        EXPECT_EQ(mask.PropertyName, key);
        EXPECT_EQ(mask.R, (vcl::TRect{0, 0, w, 2 * w}));
        EXPECT_EQ((std::vector<int>{mask.ImageCount, mask.MaskType, mask.DrawMode, mask.ImageKind}),
                  (std::vector<int>{1, 1, 1, 0}));
        EXPECT_EQ((std::vector<int>{mask.BorderWidth, mask.WL, mask.WT, mask.WR, mask.WB}),
                  (std::vector<int>{h2, h2, h2, h2, h2}));
        ASSERT_NE(mask.Bmp, nullptr);
        ASSERT_EQ(mask.Bmp->PixelFormat(), vcl::pf32bit);
        ASSERT_EQ(mask.Bmp->Width(), w);
        ASSERT_EQ(mask.Bmp->Height(), 2 * w);
        // The lower square is the blur.
        int differ = 0;
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < w; ++x) differ += ColorOf(*mask.Bmp, x, w + y) != blur[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        EXPECT_EQ(differ, 0);
    }
    // The shadow's upper square: the top colour above the bottom one, the
    // side triangles meeting the middle pixel in the middle row.
    vcl::TBitmap &sides = *m->Masks[static_cast<std::size_t>(shadow.MaskIndex)].Bmp;
    std::vector<vcl::TColor> top, middle, bottom, expectedMiddle;
    for (int x = 0; x < w; ++x) {
        top.push_back(ColorOf(sides, x, 0));
        middle.push_back(ColorOf(sides, x, h2));
        bottom.push_back(ColorOf(sides, x, w - 1));
        expectedMiddle.push_back(x < h2 ? L : x > h2 ? R : B);
    }
    EXPECT_EQ(top, std::vector<vcl::TColor>(static_cast<std::size_t>(w), T));
    EXPECT_EQ(middle, expectedMiddle);
    EXPECT_EQ(bottom, std::vector<vcl::TColor>(static_cast<std::size_t>(w), B));
    EXPECT_EQ(ColorOf(sides, 0, 1), L);
    EXPECT_EQ(ColorOf(sides, w - 1, w - 2), R);
    EXPECT_EQ(ColorOf(sides, h2, h2 / 2), T);

    // No picture for source 0; the skin's own item, in the fixed columns, for source 1.
    m->SetSkinName("Own");
    EXPECT_EQ(m->OutEffects[1].MaskIndex, -1);
    EXPECT_EQ(m->OutEffects[1].WidthL, -1);
    ASSERT_TRUE(m->IsValidMaskIndex(m->OutEffects[0].MaskIndex));
    const TsMaskData &own = m->Masks[static_cast<std::size_t>(m->OutEffects[0].MaskIndex)];
    EXPECT_EQ(own.ClassName, "GLOBALINFO");
    EXPECT_EQ(own.PropertyName, "LO_MASK");
    EXPECT_EQ(own.R, (vcl::TRect{10, 20, 30, 40}));
    EXPECT_EQ((std::vector<int>{own.WL, own.WT, own.WR, own.WB, own.ImageCount, own.MaskType, own.DrawMode,
                                own.BorderWidth, own.ImageKind, own.CornerClass}),
              (std::vector<int>{1, 2, 3, 4, 2, 1, 4, 5, 0, 0}));
    EXPECT_EQ(own.Bmp, nullptr);  // a piece of the master
    EXPECT_EQ(m->OutEffects[0].WidthL, -1);

    // Source 1 without an item: no picture.
    m->SetSkinName("OwnWithout");
    EXPECT_EQ(m->OutEffects[0].MaskIndex, -1);
    EXPECT_TRUE(m->IsValidMaskIndex(m->OutEffects[1].MaskIndex));
}

// A skin whose EXBORDER has two frames of 20 x 20 side by side, the first
// in one colour and the second in another, with the given border mode and
// image count.
std::string ExBorderOptions(int BorderMode, int ImageCount) {
    return "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nFORMOFFSET=2\r\nBORDERMODE=" +
           std::to_string(BorderMode) + "\r\nEXBORDER=^0000,0000,0040,0020,0006,0007,0008,0009," +
           std::to_string(ImageCount) + ",0,0,0\r\n[FORM]\r\nCOLOR=0xF0F0F0\r\n";
}
constexpr vcl::TColor FirstFrame = 0x102030, SecondFrame = 0x405060;

TEST_F(SkinLoad, ExtendedBordersTakeTheSkinsFramesAndMarginsOrTheBuiltInShadows) {
    ASSERT_TRUE(LayeredWindowsAvailable());
    ASSERT_NE(ModuleState().ShadowActive, nullptr);
    const Bytes master = Bmp24(41, 21, [](int x, int) { return x < 20 ? FirstFrame : SecondFrame; });
    ManagerPtr m = NewManager();
    for (const auto &[name, options] : {std::pair{"Mode0", ExBorderOptions(0, 2)}, std::pair{"Mode1", ExBorderOptions(1, 2)},
                                        std::pair{"Single", ExBorderOptions(0, 1)},
                                        // A rect beyond the master, and margins far beyond the frame.
                                        std::pair{"Beyond", std::string("[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\n"
                                                                        "EXBORDER=^0000,0000,9999,9999,0006,0007,0008,0009,2,0,0,0\r\n")},
                                        std::pair{"Wide", std::string("[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nFORMOFFSET=2\r\n"
                                                                      "EXBORDER=^0000,0000,0040,0020,9999,9999,9999,0009,2,0,0,0\r\n")},
                                        std::pair{"None", std::string("[GLOBALINFO]\r\nVERSION=10\r\n[FORM]\r\nCOLOR=0\r\n")}}) {
        TestSkin skin;
        skin.Options = options;
        skin.Files = {{"MASTER.BMP", master}};
        AddStoredSkin(*m, name, skin.Packed());
    }
    m->SetSkinName("Mode0");
    EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{}));  // not asked for
    EXPECT_EQ(m->ExtBorderImages[0], nullptr);

    LoadCounter loads;
    loads.Watch(*m);
    m->SetExtendedBorders(true);
    EXPECT_EQ(loads.Count, 1);  // the skin is read again
    // The form's own border (FORMOFFSET 2) is inside the margins.
    EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{4, 5, 6, 7}));
    ASSERT_NE(m->ExtBorderImages[0], nullptr);
    ASSERT_NE(m->ExtBorderImages[1], nullptr);
    EXPECT_EQ(m->ExtBorderImages[0]->Width(), 20);
    EXPECT_EQ(m->ExtBorderImages[0]->Height(), 20);
    EXPECT_EQ(m->ExtBorderImages[0]->View().At(19, 19), SkinPixel(FirstFrame));  // inactive
    EXPECT_EQ(m->ExtBorderImages[1]->View().At(0, 0), SkinPixel(SecondFrame));   // active

    m->SetSkinName("Mode1");
    EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{2, 2, 2, 2}));

    m->SetSkinName("Single");
    ASSERT_NE(m->ExtBorderImages[1], nullptr);
    EXPECT_NE(m->ExtBorderImages[1], m->ExtBorderImages[0]);
    EXPECT_EQ(m->ExtBorderImages[1]->View().At(10, 10), SkinPixel(FirstFrame));

    m->SetSkinName("Wide");
    // Margins reach across one 20 x 20 frame at most.
    EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{20 - 2, 20 - 2, 20 - 2, 9 - 2}));

    for (const char *none : {"None", "Beyond"}) {
        SCOPED_TRACE(none);
        m->SetSkinName(none);
        EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{9, 9, 9, 9}));
        ASSERT_NE(m->ExtBorderImages[1], nullptr);
        EXPECT_EQ(m->ExtBorderImages[1]->Width(), ModuleState().ShadowActive->Width());
        EXPECT_EQ(m->ExtBorderImages[0]->Height(), ModuleState().ShadowInactive->Height());
    }

    m->SetActive(false);
    EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{}));
    EXPECT_EQ(m->ExtBorderImages[1], nullptr);
}

} // namespace
} // namespace skin
