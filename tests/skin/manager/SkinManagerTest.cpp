// The skin manager under Windows: construction and the default manager,
// listing, reading from its four sources, failures that keep the skin
// before, the colour effects and the system-colour interception.
#include <algorithm>

#include <gtest/gtest.h>

#include "ManagerTestSupport.h"
#include "skin/graphics/vlColorEffects.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSysColors.h"
#include "vcl/FormReader.h"
#include "vcl/HandleCounts.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using vcl::test::TempFolder;

class SkinManager : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
};

TEST_F(SkinManager, FirstManagerIsTheDefaultAndALaterOneOnlyWhenAsked) {
    ManagerPtr first = NewManager();
    ManagerPtr second = NewManager();
    EXPECT_TRUE(first->GetIsDefault());
    EXPECT_FALSE(second->GetIsDefault());
    second->SetIsDefault(false);  // a default exists: nothing happens
    EXPECT_TRUE(first->GetIsDefault());
    second->SetIsDefault(true);
    EXPECT_TRUE(second->GetIsDefault());
    EXPECT_EQ(DefaultManager(), second.get());
    second.reset();
    EXPECT_EQ(DefaultSkinManager, nullptr);
    first->SetIsDefault(false);  // no default: this one becomes it
    EXPECT_TRUE(first->GetIsDefault());

    // The first manager hooked the application window; gone while another
    // is the default, it takes its hook along: a push finds nobody.
    ManagerPtr third = NewManager();
    third->SetIsDefault(true);
    first.reset();
    TvlPushedSkinBlock block{};
    block[1] = 0xA4;
    COPYDATASTRUCT data{0, static_cast<DWORD>(block.size()), block.data()};
    EXPECT_EQ(SendMessageW(vcl::Application->Handle(), WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&data)), 0);
}

TEST_F(SkinManager, StartsWithItsDocumentedDefaults) {
    ManagerPtr m = NewManager();
    EXPECT_EQ(m->SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(m->GetSkinInfo(), "N/A");
    EXPECT_FALSE(m->AnimEffects()->BlendOnMoving->Active);
    EXPECT_TRUE(m->AnimEffects()->FormShow->Active);
    m->AnimEffects()->FormHide->Time = 50;
    EXPECT_EQ(m->AnimEffects()->DialogHide->Time, 0);
    EXPECT_EQ(m->ThirdPartyLists[tpButton]->Text(), "TButton\r\n");
    EXPECT_EQ(m->StdSectionIndexes[9], -1);
    m->ThirdPartyLists[tpButton]->Add("TMyButton");
    m->SaveThirdPartyLists();
    EXPECT_EQ(m->ThirdParty()->GetThirdList(tpButton), "TButton\r\nTMyButton\r\n");
    m->LoadThirdPartyLists(true);
    EXPECT_EQ(m->ThirdParty()->GetThirdList(tpButton), "TButton");
    m->SetBrightness(150);
    EXPECT_EQ(m->Brightness(), 100);
}

TEST_F(SkinManager, ListsStoredSkinsFoldersAndLowerCasePackedFiles) {
    TempFolder dir;
    WriteFolder(dir / "Folder", TestSkin{});
    std::filesystem::create_directories(TempFolder::Native(dir / "Empty"));
    std::filesystem::create_directories(TempFolder::Native(dir / ".hidden"));
    WriteFile(dir / "Packed.gmz", TestSkin{}.Packed());
    WriteFile(dir / "Upper.GMZ", TestSkin{}.Packed());
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    AddStoredSkin(*m, "Zeta", {});
    vcl::TStringList list;
    std::string first;
    const auto names = [&](int kind) {
        m->ListAvailableSkins(list, kind, first);
        return list.Text();
    };
    EXPECT_EQ(names(0), "Folder\r\nZeta\r\n");
    EXPECT_EQ(first, "Zeta");
    EXPECT_EQ(names(1), "Packed\r\nZeta\r\n");
    EXPECT_EQ(names(2), "Folder\r\nPacked\r\nZeta\r\n");
}

// The tables of one load, for comparing sources.
std::string Summary(const TsSkinManager &M) {
    std::string s = M.GetSkinInfo() + " " + std::to_string(M.Sections.size()) + " " + std::to_string(M.Masks.size());
    for (const TsMaskData &m : M.Masks)
        s += " " + m.ClassName + "." + m.PropertyName + ":" + std::to_string(m.R.Right) + "x" +
             std::to_string(m.R.Bottom) + "/" + std::to_string(m.CornerClass);
    return s + " " + std::to_string(M.GetEditColor());
}

TEST_F(SkinManager, FolderPackedAndStoredSkinsGiveTheSameTables) {
    TempFolder dir;
    const TestSkin skin;
    WriteFolder(dir / "AsFolder", skin);
    WriteFile(dir / "AsPacked.gmz", skin.Packed());
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    AddStoredSkin(*m, "AsStored", skin.Packed());

    std::vector<std::string> summaries;
    for (const char *name : {"AsFolder", "AsPacked", "AsStored"}) {
        m->SetSkinName(name);
        SCOPED_TRACE(name);
        EXPECT_EQ(m->SkinName(), name);
        EXPECT_TRUE(m->SkinData->Active);
        EXPECT_TRUE(m->SkinActive);
        EXPECT_EQ(m->GetSkinInfo(), "10");
        summaries.push_back(Summary(*m));
    }
    EXPECT_EQ(summaries[0], summaries[1]);
    EXPECT_EQ(summaries[1], summaries[2]);

    // What the tables hold: a lower-case master name found in the packed
    // skin, a corner key pixel, the texture, the edit colour, inheritance.
    ASSERT_NE(m->MasterBitmap, nullptr);
    EXPECT_EQ(m->MasterBitmap->Width(), 41);
    const int form = m->FindSectionIndex("FORM");
    ASSERT_GE(form, 0);
    const int border = m->GetMaskIndex(form, "BORDERSMASK");
    ASSERT_GE(border, 0);
    EXPECT_EQ(m->Masks[border].CornerClass, 1);
    EXPECT_EQ(m->MaskLeftMargin(border), 3);
    const int mine = m->FindSectionIndex("MYBUTTON");
    EXPECT_EQ(m->Sections[mine].Props[0].Color, 0x808080);
    EXPECT_GE(m->Sections[mine].Props[0].TextureIndex, 0);  // inherited along PARENTCLASS
    EXPECT_EQ(m->GetEditColor(), 0x40E0F0);
    EXPECT_EQ(m->GetMainColor(), 0xE0E0E0);
    EXPECT_EQ(m->StdSectionIndexes[11], m->FindSectionIndex("EDIT"));
    EXPECT_EQ(m->SkinData->Author, "Tests");
}

TEST_F(SkinManager, SourcesAreChosenPackedThenFolderThenStored) {
    TempFolder dir;
    TestSkin packed, folder, stored;
    packed.Options = TestOptions("9.5");
    folder.Options = TestOptions("9.6");
    stored.Options = TestOptions("9.7");
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    AddStoredSkin(*m, "Skin", stored.Packed());
    m->SetSkinName("Skin");
    EXPECT_EQ(m->GetSkinInfo(), "9.7");
    EXPECT_FALSE(m->SkinData->SkinPath.size());  // a stored skin has no folder
    WriteFolder(dir / "Skin", folder);
    m->SetSkinName("Skin");
    EXPECT_EQ(m->GetSkinInfo(), "9.6");
    EXPECT_EQ(m->SkinData->SkinPath, dir / "Skin\\");
    WriteFile(dir / "Skin.gmz", packed.Packed());
    m->SetSkinName("Skin.GMZ");
    EXPECT_EQ(m->SkinName(), "Skin");
    EXPECT_TRUE(m->IsPacked);
    EXPECT_EQ(m->GetSkinInfo(), "9.5");
    // A name no source has: the first stored skin, under its own name.
    std::filesystem::remove_all(TempFolder::Native(dir / "Skin"));
    std::filesystem::remove(TempFolder::Native(dir / "Skin.gmz"));
    m->SetSkinName("Unknown");
    EXPECT_EQ(m->SkinName(), "Skin");
    EXPECT_EQ(m->GetSkinInfo(), "9.7");
}

TEST_F(SkinManager, PackedFileInTheDefaultDirectoryWinsOverTheStoredSkin) {
    const std::string folder = "c:\\Skins";
    std::filesystem::create_directories(TempFolder::Native(folder));
    TestSkin packed;
    packed.Options = TestOptions("8.25");
    WriteFile(folder + "\\ZuvoManagerTest.gmz", packed.Packed());
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "ZuvoManagerTest", TestSkin{}.Packed());
    m->SetSkinName("ZuvoManagerTest");
    std::filesystem::remove(TempFolder::Native(folder + "\\ZuvoManagerTest.gmz"));
    EXPECT_EQ(m->GetSkinInfo(), "8.25");
}

TEST_F(SkinManager, NameWhileInactiveIsReadOnlyOnceActive) {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "S", TestSkin{}.Packed());
    m->SetActive(false);
    m->SetSkinName("S");
    EXPECT_TRUE(m->Sections.empty());
    m->SetActive(true);
    EXPECT_EQ(m->GetSkinInfo(), "10");
    m->SetActive(false);
    EXPECT_EQ(m->GetSkinInfo(), "N/A");
    EXPECT_TRUE(m->Sections.empty());
    EXPECT_TRUE(m->Masks.empty());
    EXPECT_EQ(m->MasterBitmap, nullptr);
    EXPECT_EQ(m->CommonElements.GlobalInfoSection, -1);
}

TEST_F(SkinManager, SwitchedOnOverASkinThatCannotBeReadItStaysOff) {
    TempFolder dir;
    WriteFile(dir / "Bad.gmz", BytesOf("no packed skin"));
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    m->SetActive(false);
    m->SetSkinName("Bad");
    {
        MessageWatcher watcher;
        m->SetActive(true);
        // The unpacker's error, then the reader's notice of a skin it cannot read.
        const std::vector<std::string> captions = watcher.Captions();
        ASSERT_EQ(captions.size(), 2u);
        EXPECT_EQ(captions[0], "Error");
        EXPECT_NE(captions[1], "Error");
    }
    EXPECT_FALSE(m->Active());
    EXPECT_FALSE(m->SkinData->Active);
    // Once the file is a skin, switching on reads it.
    WriteFile(dir / "Bad.gmz", TestSkin{}.Packed());
    m->SetActive(true);
    EXPECT_TRUE(m->Active());
    EXPECT_TRUE(m->SkinData->Active);
}

TEST_F(SkinManager, EmptyStoredDataMeansNoSkin) {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Empty", {});
    m->SetSkinName("Empty");
    EXPECT_FALSE(m->Active());
    EXPECT_FALSE(m->SkinData->Active);
}

struct BadFile {
    const char *What;
    Bytes Data;
    int Messages = 1;
};

TEST_F(SkinManager, DamagedPackedFilesKeepTheSkinBeforeWithTheirMessages) {
    TempFolder dir;
    TestSkin noOptions;
    Bytes truncated = TestSkin{}.Packed();
    truncated.resize(truncated.size() - 40);
    TestSkin badValue;
    badValue.Options += "[BAD]\r\nGLYPH=@0000,0000,00x0\r\n";
    const std::vector<BadFile> files = {
        // The unpacker's error and the reader's notice.
        {"not a packed skin", BytesOf("this is no skin at all"), 2},
        {"cut short", truncated},
        {"a value that is no number", badValue.Packed()},
        {"no options", PackSkin({{"x.bmp", TestMaster()}})},
    };
    ManagerPtr m = NewManager();
    m->SetSkinDirectory(dir.Path());
    AddStoredSkin(*m, "Good", TestSkin{}.Packed());
    m->SetSkinName("Good");
    const std::string before = Summary(*m);
    for (const BadFile &f : files) {
        SCOPED_TRACE(f.What);
        WriteFile(dir / "Bad.gmz", f.Data);
        int changes = 0;
        struct Counter {
            int *N;
            void Tick(vcl::TObject *) { ++*N; }
        } counter{&changes};
        m->OnSkinLoading = vcl::TNotifyEvent::Bind<&Counter::Tick>(&counter);
        {
            MessageWatcher watcher;
            m->SetSkinName("Bad");  // the watcher answers whatever it shows, modally
            EXPECT_EQ(watcher.Count(), f.Messages);
        }
        m->OnSkinLoading = {};
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(m->SkinName(), "Good");
        EXPECT_TRUE(m->SkinData->Active);
        EXPECT_EQ(Summary(*m), before);
    }
}

TEST_F(SkinManager, NewerSkinVersionWarnsOncePerLoadAndStillApplies) {
    ManagerPtr m = NewManager();
    TestSkin newer;
    newer.Options = TestOptions("11.0");
    AddStoredSkin(*m, "Newer", newer.Packed());
    MessageWatcher watcher;
    m->SetSkinName("Newer");
    EXPECT_EQ(watcher.Count(), 1);
    EXPECT_EQ(m->GetSkinInfo(), "11");
    EXPECT_TRUE(m->SkinningRules().Contains(srStdDialogs));
}

TEST_F(SkinManager, HueRotationKeepsTheTitleGlyphsWhenTheSkinAsks) {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "S", TestSkin{}.Packed());
    m->SetSkinName("S");
    const vcl::TBitmapView plain = m->MasterImage();
    const std::uint32_t red = plain.At(30, 30);
    m->SetHueOffset(120);
    const vcl::TBitmapView turned = m->MasterImage();
    EXPECT_EQ(turned.At(5, 5), red);     // BICONCLOSE
    EXPECT_EQ(turned.At(15, 5), red);    // BICONMAX, kept with BIKEEPHUE 1
    EXPECT_EQ(turned.At(30, 30), RotateHuePixel(120, red));
    EXPECT_EQ(turned.At(0, 10), 0x00FF00FFu);  // the key colour is never recoloured
    EXPECT_EQ(m->GetEditColor(), ChangeHue(120, 0x40E0F0));
    m->SetHueOffset(0);
    EXPECT_EQ(m->MasterImage().At(30, 30), red);  // effects never accumulate
}

TEST_F(SkinManager, PushedSkinsAreTakenWholeAndOthersIgnored) {
    TvlStateOverride preview(ModuleState().PreviewMode, false);  // a push sets it
    ManagerPtr m = NewManager();
    TvlPushedSkinBlock block{};
    block[1] = 0xA4;
    const std::string name = "Pushed", options = "[GLOBALINFO]\r\nVERSION=9.25\r\n[EDIT]\r\nCOLOR=0x123456\r\n";
    std::copy(name.begin(), name.end(), block.begin() + 4);
    std::copy(options.begin(), options.end(), block.begin() + 644);
    const HWND app = vcl::Application->Handle();
    const auto push = [&](WPARAM wParam, DWORD size) {
        COPYDATASTRUCT data{0, size, block.data()};
        const LRESULT answer = SendMessageW(app, WM_COPYDATA, wParam, reinterpret_cast<LPARAM>(&data));
        uitest::PumpUntil([] { return false; }, std::chrono::milliseconds(100));
        return answer;
    };
    EXPECT_EQ(push(6, PushedSkinBlockSize), 0);
    EXPECT_EQ(push(7, PushedSkinBlockSize - 1), 0);
    EXPECT_EQ(m->SkinName(), "");
    EXPECT_FALSE(ModuleState().PreviewMode);
    EXPECT_EQ(push(7, PushedSkinBlockSize), 1);
    EXPECT_TRUE(ModuleState().PreviewMode);
    EXPECT_EQ(m->SkinName(), "Pushed");
    EXPECT_EQ(m->GetSkinInfo(), "9.25");
    EXPECT_EQ(m->GetEditColor(), 0x123456);
    block[1] = 0xA5;
    push(7, PushedSkinBlockSize);
    EXPECT_EQ(m->GetSkinInfo(), "9.25");
}

// The colour the pixel of a window shows, as a colour value.
vcl::TColor WindowPixel(HWND Window, int X, int Y) {
    const uitest::TImage32 image = uitest::CaptureWindow(Window);
    const std::uint32_t p = image.At(X, Y);
    return static_cast<vcl::TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

TEST_F(SkinManager, InterceptedSystemColoursFollowTheSkinOnlyWhileItIsApplied) {
    const DWORD window = GetSysColor(COLOR_WINDOW), face = GetSysColor(COLOR_BTNFACE);
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "S", TestSkin{}.Packed());
    m->Options()->SetFlag(ofChangeSysColors, true);
    ASSERT_TRUE(SysColorsPatched()) << "GetSysColor has no hot-patch prologue here";
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);  // no skin yet: the real colour
    m->SetSkinName("S");
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x40E0F0u);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), face);
    EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), GetSysColorBrush(COLOR_WINDOW));  // one brush, not one per call

    // A memo (an EDIT of the class library) whose colour is the system's
    // window colour paints in the skin's edit colour.
    std::unique_ptr<vcl::TForm> form(vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew));
    form->SetBounds(10, 10, 200, 120);
    auto *memo = vcl::Create<vcl::TMemo>(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(10, 10, 150, 60);
    form->Show();
    uitest::PumpUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(WindowPixel(memo->Handle(), 75, 30), 0x40E0F0);
    form.reset();

    m->SetActive(false);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
    m->Options()->SetFlag(ofChangeSysColors, false);
    EXPECT_FALSE(SysColorsPatched());
    UnpatchGetSysColor();  // not patched: nothing happens
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), window);
    EXPECT_TRUE(PatchGetSysColor());  // and it can be put in place again
    UnpatchGetSysColor();
}

// A root that owns a manager read from a form description.
class TManagerHost : public vcl::TComponent {
    VCL_CLASS(TManagerHost, vcl::TComponent)
public:
    explicit TManagerHost(vcl::TComponent *AOwner) : vcl::TComponent(AOwner) {}
    TsSkinManager *sSkinManager1 = nullptr;
};

VCL_PUBLISHED(TManagerHost, p) { p.Field("sSkinManager1", &TManagerHost::sSkinManager1); }

TEST_F(SkinManager, StreamedManagerReadsItsStoredSkinAndAppliesItOnceLoaded) {
    const auto read = [](const std::string &buttons) {
        auto host = std::unique_ptr<TManagerHost>(vcl::Create<TManagerHost>(nullptr));
        vcl::ReadComponentText(*host,
                               "TManagerHost Host {\n TsSkinManager sSkinManager1 {\n"
                               "  InternalSkins {\n   item {\n    Name = \"Beryllo (internal)\"\n"
                               "    Shadow1Color = clBlack\n    Data = resource \"SKIN\"\n   }\n  }\n"
                               "  SkinDirectory = \"c:\\\\Skins\"\n  SkinName = \"Beryllo (internal)\"\n"
                               "  SkinInfo = \"10\"\n  MenuSupport.ExtraLineFont.Name = \"Tahoma\"\n"
                               "  ThirdParty.ThirdButtons = \"" + buttons + "\"\n  ThirdParty.ThirdEdits = \" \"\n }\n}\n",
                               [](const std::string &) {
                                   auto s = std::make_unique<vcl::TMemoryStream>();
                                   FillStream(*s, TestSkin{}.Packed());
                                   return std::unique_ptr<vcl::TStream>(std::move(s));
                               });
        return host;
    };
    auto host = read("TMyButton");
    TsSkinManager &m = *host->sSkinManager1;
    EXPECT_TRUE(m.SkinData->Active);  // applied by Loaded, once the whole form was read
    EXPECT_EQ(m.GetSkinInfo(), "10");
    EXPECT_EQ(m.InternalSkins()->Items(0)->Shadow1Color, 0);
    EXPECT_EQ(m.InternalSkins()->Items(0)->BorderColor, 0xFF00FF);
    EXPECT_GE(m.FindSectionIndex("FORM"), 0);
    EXPECT_EQ(m.MenuSupport()->IcoLineSkin, "ICOLINE");
    EXPECT_EQ(m.ThirdPartyLists[tpButton]->Text(), "TMyButton\r\n");
    EXPECT_EQ(m.ThirdParty()->GetThirdList(0), " ");
    host.reset();
    EXPECT_EQ(DefaultSkinManager, nullptr);
    EXPECT_EQ(read("")->sSkinManager1->ThirdPartyLists[tpButton]->Text(), "TButton\r\n");
}

TEST_F(SkinManager, BerylloReadsAlikeFromItsFolderItsPackedFileAndItsStoredData) {
    TempFolder asFolder, asPacked;
    std::filesystem::copy(TempFolder::Native(HostPath(ZUVO_BERYLLO_FOLDER)), TempFolder::Native(asFolder / "Beryllo"),
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(TempFolder::Native(HostPath(ZUVO_BERYLLO_GMZ)), TempFolder::Native(asPacked / "Beryllo.gmz"));
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));

    std::vector<std::string> summaries;
    for (const auto &[directory, name] : {std::pair{asFolder.Path(), "Beryllo"}, std::pair{asPacked.Path(), "Beryllo"},
                                          std::pair{std::string("c:\\Skins"), "Beryllo (internal)"}}) {
        SCOPED_TRACE(directory);
        m->SetSkinDirectory(directory);
        m->SetSkinName(name);
        EXPECT_TRUE(m->SkinData->Active);
        summaries.push_back(Summary(*m));
    }
    EXPECT_EQ(summaries[0], summaries[1]);
    EXPECT_EQ(summaries[1], summaries[2]);

    EXPECT_EQ(m->GetSkinInfo(), "10");
    const int form = m->FindSectionIndex("FORM");
    const int border = m->GetMaskIndex(form, "BORDERSMASK");
    ASSERT_GE(border, 0);
    EXPECT_EQ(m->Masks[border].CornerClass, 1);  // key-colour corners
    EXPECT_EQ(m->GetMaskIndex(m->FindSectionIndex("DIALOG"), "BORDERSMASK"), border);  // through PARENTCLASS
    const int checked = m->CommonElements.CheckGlyphs[1];
    ASSERT_GE(checked, 0);
    ASSERT_NE(m->Masks[checked].Bmp, nullptr);  // a PNG glyph with its alpha
    EXPECT_EQ(m->Masks[checked].Bmp->PixelFormat(), vcl::pf32bit);
    for (int index : m->StdSectionIndexes) EXPECT_GE(index, 0);
    for (int index : m->CommonElements.TitleIcons) EXPECT_GE(index, 0);
}

TEST_F(SkinManager, HundredLoadsAndUnloadsLeaveTheHandleCountsWhereTheyStarted) {
    const Bytes data = FileBytes(HostPath(ZUVO_BERYLLO_DATA));
    const vcl::THandleCounts before = vcl::LiveHandles();
    {
        ManagerPtr m = NewManager();
        AddStoredSkin(*m, "Beryllo (internal)", data);
        m->SetSkinName("Beryllo (internal)");
        for (int i = 0; i < 100; ++i) {
            m->SetActive(false);
            m->SetActive(true);
        }
        m->SetHueOffset(40);  // a load with every colour effect on
        m->SetSaturation(-20);
        m->SetBrightness(10);
        EXPECT_TRUE(m->SkinData->Active);
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST_F(SkinManager, SecondManagerDoesNotInterceptColours) {
    ManagerPtr first = NewManager();
    ManagerPtr second = NewManager();
    second->Options()->SetFlag(ofChangeSysColors, true);
    EXPECT_FALSE(SysColorsPatched());
}

} // namespace
} // namespace skin
