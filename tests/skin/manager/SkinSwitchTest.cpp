// Skin changes on a running form: our stored skin Beryllo and a recoloured
// copy of it ("Beryllo Ink"), switched back and forth under a form with a
// button, a memo and a skinned label.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "SkinnedTestSupport.h"
#include "skin/manager/sLabel.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;
using vcl::test::TempFolder;

constexpr vcl::TColor BerylloEdit = 0xFFFFFF;
constexpr vcl::TColor InkEdit = 0xFFF0E0;

// Beryllo as the build made it, and beside it the same with another edit colour.
struct BerylloSkins {
    TempFolder Dir;
    BerylloSkins() {
        for (const char *name : {"Beryllo", "Beryllo Ink"})
            std::filesystem::copy(TempFolder::Native(HostPath(ZUVO_BERYLLO_FOLDER)), TempFolder::Native(Dir / name),
                                  std::filesystem::copy_options::recursive);
        const auto path = TempFolder::Native(Dir / "Beryllo Ink\\Options.dat");
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        std::string options = text.str();
        const std::size_t colour = options.find("COLOR=$FFFFFF", options.find("[EDIT]"));
        options.replace(colour, 13, "COLOR=$FFF0E0");
        std::ofstream(path, std::ios::binary) << options;
    }
};

class SkinSwitch : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }

    void SetUp() override {
        Manager->SetSkinDirectory(Skins.Dir.Path());
        Manager->SetSkinName("Beryllo");
        Label->SetCaption("Popisek");
        Form.Show();
        Button->Skin("BUTTON");
        Memo->Skin("EDIT");
        Memo->ColorChanges = 0;
        Applied.clear();
    }

    BerylloSkins Skins;
    ManagerPtr Manager = NewManager();
    TestForm Form;
    TSkinned<vcl::TButton> *Button = Form.Add(vcl::Create<TSkinned<vcl::TButton>>(Form.Form));
    TSkinned<vcl::TMemo> *Memo = Form.Add(vcl::Create<TSkinned<vcl::TMemo>>(Form.Form), 10, 60);
    TsLabel *Label = Form.Add(vcl::Create<TsLabel>(Form.Form), 10, 110);
    std::vector<std::string> Applied;
    Recorder Heard{Applied, "label", Label, SC_SKIN_APPLIED};
};

TEST_F(SkinSwitch, FormFollowsTwoSkinsAndBackOnceEachWithTheHandleCountsFlat) {
    ASSERT_TRUE(Memo->Data.IsSkinned(true));
    EXPECT_EQ(Memo->Color(), BerylloEdit);
    Manager->SetSkinName("Beryllo Ink");
    EXPECT_EQ(Memo->Color(), InkEdit);
    EXPECT_EQ(Memo->ColorChanges, 1);  // recoloured once, not once per command
    EXPECT_EQ(Applied.size(), 1u);     // the label heard the new skin once
    EXPECT_EQ(Button->Data.SkinIndex(), Manager->FindSectionIndex("BUTTON"));
    Manager->SetSkinName("Beryllo");
    EXPECT_EQ(Memo->Color(), BerylloEdit);
    EXPECT_EQ(Memo->ColorChanges, 2);

    vcl::Application->ProcessMessages();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) Manager->SetSkinName(i % 2 ? "Beryllo" : "Beryllo Ink");
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(Memo->Color(), BerylloEdit);
    EXPECT_EQ(Applied.size(), 102u);
}

TEST_F(SkinSwitch, AReadErrorIsNeverFollowedByApplied) {
    WriteFile(Skins.Dir / "Bad.gmz", BytesOf("no packed skin"));
    {
        MessageWatcher watcher;
        Manager->SetSkinName("Bad");
        EXPECT_EQ(watcher.Count(), 2);  // the unpacker's error and the reader's notice
    }
    EXPECT_EQ(Manager->SkinName(), "Beryllo");
    EXPECT_TRUE(Applied.empty());
    EXPECT_FALSE(ModuleState().SkinIsLoading);
    EXPECT_EQ(Memo->Color(), BerylloEdit);
    // Beryllo is still what is applied: the controls count as skinned by
    // an active skin and keep painting with it.
    EXPECT_TRUE(Manager->Active());
    EXPECT_TRUE(Memo->Data.IsSkinned(true));
    EXPECT_TRUE(Button->Data.IsSkinned(true));
}

// The change animation's preparation comes before the read: a read that
// fails, or one that switches the manager off, takes it back.
TEST_F(SkinSwitch, AChangeThatAppliesNoSkinLowersTheFlagsItsPreparationRaised) {
    Manager->SetExtendedBorders(true);
    ASSERT_TRUE(Manager->AnimEffects()->SkinChanging->Active);
    TsCommonData data(nullptr, false);
    TestProvider p(Form.Form, &data);
    ProviderAnswer answer(Form.Form, &p);
    p.Border = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    AddSkinnedForm(Form.Form);
    const auto prepared = [&] {
        return ModuleState().FormAnimationActive || (p.StateFlags & pfSkinChangeSnapshot) || p.SavedFormImage;
    };

    WriteFile(Skins.Dir / "Bad.gmz", BytesOf("no packed skin"));
    {
        MessageWatcher watcher;
        Manager->SetSkinName("Bad");
    }
    EXPECT_EQ(p.Images, 1) << "the change was prepared";
    EXPECT_FALSE(prepared()) << "a failed read";
    EXPECT_EQ(Manager->SkinName(), "Beryllo");

    // A flag that an animation raised before the change is not the change's to lower.
    ModuleState().FormAnimationActive = true;
    {
        MessageWatcher watcher;
        Manager->SetSkinName("Bad");
    }
    EXPECT_EQ(p.Images, 2);
    EXPECT_TRUE(ModuleState().FormAnimationActive);
    EXPECT_FALSE((p.StateFlags & pfSkinChangeSnapshot) || p.SavedFormImage);
    ModuleState().FormAnimationActive = false;

    Manager->SetSkinName("Nowhere");  // neither a folder nor a stored skin
    EXPECT_EQ(p.Images, 3);
    ASSERT_FALSE(Manager->Active());
    EXPECT_FALSE(prepared()) << "switched off";
    RemoveSkinnedForm(Form.Form);
    DestroyWindow(p.Border);
}

TEST_F(SkinSwitch, SettersLetNothingOutAndNeverLeaveTheLoadingFlagSet) {
    struct Thrower {
        void Throw(vcl::TObject *) { throw vcl::Exception("after change"); }
    } thrower;
    Manager->OnAfterChange = vcl::TNotifyEvent::Bind<&Thrower::Throw>(&thrower);
    for (int hue : {20, 40}) {
        MessageWatcher watcher;
        EXPECT_NO_THROW(Manager->SetHueOffset(hue));
        EXPECT_EQ(watcher.Count(), 1);
        EXPECT_FALSE(ModuleState().SkinIsLoading);
    }
    Manager->OnAfterChange = {};
}

// The skin before stays whole through a re-read that fails, so the forms
// are refreshed with it as after any other re-read.
TEST_F(SkinSwitch, AReReadThatFailsKeepsTheSkinAndStillRefreshesTheForms) {
    std::vector<std::string> refreshed;
    Recorder heard{refreshed, "label", Label, SC_SKIN_REFRESH};
    std::ofstream(TempFolder::Native(Skins.Dir / "Beryllo\\Options.dat"), std::ios::binary | std::ios::app)
        << "\r\n[BAD]\r\nGLYPH=@0000,0000,00x0\r\n";
    for (const auto &change : {std::function<void()>([&] { Manager->SetHueOffset(20); }),
                               std::function<void()>([&] { Manager->SetExtendedBorders(!Manager->GetExtendedBorders()); })}) {
        refreshed.clear();
        {
            MessageWatcher watcher;
            change();
            EXPECT_EQ(watcher.Count(), 1);  // the conversion error
        }
        EXPECT_EQ(Memo->Color(), BerylloEdit);
        EXPECT_EQ(refreshed.size(), 1u);
    }
}

// A change of skin counts as loading until its applying is over: the
// activation event sees the flag up, the after-change event of a new name
// sees it down, that of a re-read (a hue change) still up; after both it
// is down.
TEST_F(SkinSwitch, TheLoadingFlagLastsThroughTheApplyingAndAReadsAfterChange) {
    struct Events {
        std::vector<std::string> Seen;
        void Activate(vcl::TObject *) { Seen.push_back(Flag("activate")); }
        void After(vcl::TObject *) { Seen.push_back(Flag("after")); }
        static std::string Flag(const char *Name) {
            return std::string(Name) + (ModuleState().SkinIsLoading ? " loading" : " done");
        }
    } events;
    Manager->OnActivate = vcl::TNotifyEvent::Bind<&Events::Activate>(&events);
    Manager->OnAfterChange = vcl::TNotifyEvent::Bind<&Events::After>(&events);
    Manager->SetSkinName("Beryllo Ink");
    Manager->SetHueOffset(30);
    Manager->OnActivate = {};
    Manager->OnAfterChange = {};
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"activate loading", "after done", "after loading"}));
    EXPECT_FALSE(ModuleState().SkinIsLoading);
}

TEST_F(SkinSwitch, UpdateBracketBroadcastsOnceAtItsEnd) {
    Manager->SetSkinName("Beryllo Ink");
    Applied.clear();
    Manager->BeginUpdate();
    Manager->SetHueOffset(120);  // read again, told to nobody
    Manager->SetSaturation(20);
    EXPECT_TRUE(Applied.empty());
    Manager->EndUpdate(true, false);
    EXPECT_EQ(Applied.size(), 1u);
    // The section colours carry the hue since the read: the memo takes them
    // as they are, not rotated a second time.
    const vcl::TColor edit = Manager->Sections[static_cast<std::size_t>(Manager->FindSectionIndex("EDIT"))].Props[0].Color;
    EXPECT_NE(edit, InkEdit);
    EXPECT_EQ(Memo->Color(), edit);
}

} // namespace
} // namespace skin
