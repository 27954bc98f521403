// The MDI helper of a skinned MDI parent: its client window served by the
// adapter that the adapter slot makes (the MDI client adapter of the
// adapters' module), kept by a second request, lost when the skin goes
// and made again when it comes back; nothing served without an adapter in
// the slot; the handles of many parents. A picture of a skinned MDI parent
// with two children goes to the artefacts.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "FormsTestSupport.h"
#include "../../support/UiDriver.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sMDIForm.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

struct MDIParent {
    std::unique_ptr<vcl::TForm> Form{vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew)};
    TsSkinProvider *P;
    explicit MDIParent(bool Show = true) {
        Form->SetFormStyle(vcl::fsMDIForm);
        Form->SetBounds(80, 80, 480, 360);
        Form->SetCaption("MDI");
        P = vcl::Create<TsSkinProvider>(Form.get());
        if (Show) {
            Form->Show();
            vcl::Application->ProcessMessages();
        }
    }
    HWND Client() const { return Form->ClientHandle(); }
    vcl::TForm *Child(const char *Caption, int X) {
        auto *child = vcl::Create<vcl::TForm>(Form.get(), vcl::CreateNew);
        child->SetFormStyle(vcl::fsMDIChild);
        child->SetCaption(Caption);
        child->SetBounds(X, X, 220, 160);
        child->Show();
        return child;
    }
};

struct MDIHelper : FormsFixture {
    MDIHelper() { InitializeAdaptersModule(); }
    ~MDIHelper() override { FinalizeAdaptersModule(); }
};

// The windows handed to the dialog skinning as unserved.
struct AttachWatch : TvlDialogSkinning {
    std::vector<HWND> Attached;
    void CbtEvent(int, WPARAM, LPARAM) override {}
    void FreeMenuAdapters() override {}
    void AttachSkinToWindow(HWND Window) override { Attached.push_back(Window); }
};

// The main MDI form shown again with its owner while the restore animation
// is on: the animation brings it back, its children untouched; an ordinary
// show hands its unserved children to the dialog skinning.
TEST_F(MDIHelper, AMainMDIFormShownWithItsOwnerLeavesItsChildrenToTheRestoreAnimation) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    MDIParent f(false);
    vcl::Application->FormCreated(f.Form.get());
    f.Form->Show();
    const HWND child = f.Child("C", 10)->Handle();
    AttachWatch watch;
    TvlServiceRegistration<TvlDialogSkinning> registration(watch);
    SendMessageW(f.Form->WindowHandle(), WM_SHOWWINDOW, 1, SW_PARENTOPENING);
    EXPECT_TRUE(watch.Attached.empty());
    SendMessageW(f.Form->WindowHandle(), WM_SHOWWINDOW, 1, 0);
    EXPECT_EQ(watch.Attached, std::vector<HWND>{child});
}

TEST_F(MDIHelper, AServedClientLosesItsAdapterWhenTheSkinGoesAndGetsItBack) {
    MDIParent f;
    ASSERT_TRUE(f.P->MDIHelper);
    EXPECT_EQ(ModuleState().MDIParentProvider, f.P);
    EXPECT_EQ(f.P->MDIHelper->Form, f.Form.get());
    ASSERT_TRUE(f.P->MDIHelper->ClientAdapter);
    EXPECT_EQ(f.P->MDIHelper->ClientAdapter->AdapterWindow(), f.Client());
    EXPECT_TRUE(SendSkinQuery(f.Client(), SC_IS_HANDLED));

    // Asked again while the client is served: the same helper.
    const TsMDIForm *helper = f.P->MDIHelper.get();
    f.P->SetMDIHelper(true);
    EXPECT_EQ(f.P->MDIHelper.get(), helper);

    Manager->SetActive(false);
    EXPECT_FALSE(f.P->MDIHelper);
    EXPECT_FALSE(SendSkinQuery(f.Client(), SC_IS_HANDLED)) << "the system paints the client again";

    Manager->SetActive(true);
    ASSERT_TRUE(f.P->MDIHelper);
    EXPECT_TRUE(f.P->MDIHelper->ClientAdapter);
    EXPECT_TRUE(SendSkinQuery(f.Client(), SC_IS_HANDLED));

    // A refresh keeps what is served.
    helper = f.P->MDIHelper.get();
    Command(f.Form.get(), SC_SKIN_REFRESH);
    EXPECT_EQ(f.P->MDIHelper.get(), helper);

    // A client that lost its adapter gets it back when the form is read
    // again (its components told they are loaded).
    f.P->MDIHelper->DisconnectClient();
    ASSERT_FALSE(SendSkinQuery(f.Client(), SC_IS_HANDLED));
    f.P->Loaded();
    EXPECT_EQ(f.P->MDIHelper.get(), helper);
    EXPECT_TRUE(SendSkinQuery(f.Client(), SC_IS_HANDLED));

    delete f.P;
    EXPECT_EQ(ModuleState().MDIParentProvider, nullptr);
    EXPECT_FALSE(SendSkinQuery(f.Client(), SC_IS_HANDLED));
}

TEST_F(MDIHelper, AFormThatIsNoMDIParentGetsNoHelper) {
    TestForm plain;
    auto *p = vcl::Create<TsSkinProvider>(plain.Form);
    plain.Show();
    p->SetMDIHelper(true);
    EXPECT_FALSE(p->MDIHelper);
    EXPECT_NE(ModuleState().MDIParentProvider, p);
}

TEST_F(MDIHelper, ManyParentsLeaveNoHandleBehind) {
    { MDIParent warm; }
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 10; ++i) {
        MDIParent f;
        f.Child("A", 10);
        Manager->SetActive(false);
        Manager->SetActive(true);
    }
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST(MDIHelperWithoutAdapters, TheHelperServesNothingWithoutAnAdapterInTheSlot) {
    const FormsModules modules;
    ManagerPtr manager = FormSkinManager();
    MDIParent f;
    ASSERT_TRUE(f.P->MDIHelper);
    EXPECT_FALSE(f.P->MDIHelper->ClientAdapter);
    EXPECT_FALSE(SendSkinQuery(f.Client(), SC_IS_HANDLED));
}

TEST_F(MDIHelper, AMaximizedActiveChildWithASystemMenuIsToldToTheMenuLine) {
    EXPECT_FALSE(MaximizedMDIChildWithMenu()) << "no MDI parent provider";
    MDIParent f;
    EXPECT_FALSE(MaximizedMDIChildWithMenu()) << "no child";
    vcl::TForm *one = f.Child("One", 10);
    vcl::TForm *two = f.Child("Two", 40);
    vcl::Application->ProcessMessages();
    EXPECT_FALSE(MaximizedMDIChildWithMenu()) << "not maximized";
    SendMessageW(f.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(two->WindowHandle()), 0);
    vcl::Application->ProcessMessages();
    ASSERT_EQ(f.Form->ActiveMDIChild(), two);
    EXPECT_EQ(MaximizedMDIChildWithMenu(), two);
    two->SetBorderIcons({});
    EXPECT_FALSE(MaximizedMDIChildWithMenu()) << "no system menu";
    two->SetBorderIcons({vcl::biSystemMenu});
    // Another child activated: the system maximizes it in turn.
    SendMessageW(f.Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one->WindowHandle()), 0);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(f.Form->ActiveMDIChild(), one);
    EXPECT_EQ(MaximizedMDIChildWithMenu(), IsZoomed(one->WindowHandle()) ? one : nullptr);
    SendMessageW(f.Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(one->WindowHandle()), 0);
    vcl::Application->ProcessMessages();
    EXPECT_FALSE(MaximizedMDIChildWithMenu());
}

// How many pixels of the caption band of a child (window coordinates) the
// screen shows otherwise than its provider's frame cache.
int CaptionMismatches(vcl::TForm *Child, TsSkinProvider *P) {
    if (!P->SkinData()->CacheBmp()) return -1;
    const HWND w = Child->WindowHandle();
    // Read through the parent's window: what the screen shows there.
    const HWND top = GetAncestor(w, GA_ROOT);
    RECT child{}, parent{};
    GetWindowRect(w, &child);
    GetWindowRect(top, &parent);
    const int dx = child.left - parent.left, dy = child.top - parent.top;
    vcl::TBitmap &cache = *P->SkinData()->CacheBmp();
    const int frame = GetSystemMetrics(SM_CYFRAME), height = GetSystemMetrics(SM_CYCAPTION) - 4;
    const HDC dc = GetWindowDC(top);
    int count = 0;
    for (int y = frame + 2; y < frame + height; y += 3)
        for (int x = 40; x < Child->Width() - 40 && x < cache.Width(); x += 4) {
            const std::uint32_t bgra = cache.View().At(x, y);
            const COLORREF c = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
            if (GetPixel(dc, dx + x, dy + y) != c) ++count;
        }
    ReleaseDC(top, dc);
    return count;
}

void ExpectNewestChildCaptionFromCache(TsSkinManager &Manager) {
    for (int children = 1; children <= 2; ++children)
        for (const bool animated : {false, true}) {
        Manager.Effects()->AllowAnimation = animated;
        MDIParent f;
        vcl::TForm *last = nullptr;
        TsSkinProvider *provider = nullptr;
        for (int i = 0; i < children; ++i) {
            last = vcl::Create<vcl::TForm>(f.Form.get(), vcl::CreateNew);
            last->SetFormStyle(vcl::fsMDIChild);
            last->SetCaption("Dokument " + std::to_string(i + 1));
            last->SetBounds(10 + 60 * i, 10 + 30 * i, 220, 120);
            provider = vcl::Create<TsSkinProvider>(last);
            last->Show();
        }
        vcl::Application->ProcessMessages();
        ASSERT_EQ(f.Form->ActiveMDIChild(), last);
        EXPECT_EQ(CaptionMismatches(last, provider), 0) << Manager.SkinName() << ", " << children << " children, animated " << animated;
        // The whole parent painted again, its children's frames with it.
        RedrawWindow(f.Form->WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        vcl::Application->ProcessMessages();
        EXPECT_EQ(CaptionMismatches(last, provider), 0) << Manager.SkinName() << ", " << children << " children, animated " << animated << ", redrawn";
    }
}

TEST_F(MDIHelper, ANewActiveChildShowsItsSkinnedCaption) { ExpectNewestChildCaptionFromCache(*Manager); }

TEST(MDIHelperStoredSkin, ANewActiveChildShowsItsSkinnedCaption) {
    const FormsModules modules;
    InitializeAdaptersModule();
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    m->SetSkinName("Beryllo (internal)");
    ExpectNewestChildCaptionFromCache(*m);
    FinalizeAdaptersModule();
}

TEST_F(MDIHelper, PictureOfASkinnedParentWithTwoChildren) {
    MDIParent f;
    f.Child("Dokument 1", 10);
    f.Child("Dokument 2", 60);
    vcl::Application->ProcessMessages();
    RedrawWindow(f.Form->WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const uitest::TImage32 image = uitest::CaptureWindow(f.Form->WindowHandle());
    EXPECT_TRUE(uitest::IsDrawn(image));
    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-mdi-parent.png").string(), image);
}

} // namespace
} // namespace skin
