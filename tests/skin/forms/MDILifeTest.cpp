// The life of skinned MDI forms: the child activated last through its
// provider, a maximized child counted by its parent, a child's system
// buttons kept off while it is not maximized.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "CaptionTestSupport.h"
#include "MDITestApp.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Menus.h"
#include "vcl/HandleCounts.h"

namespace skin::test {
namespace {

using MDILife = MDIFixture;

LONG_PTR StyleOf(HWND Window) { return GetWindowLongPtrW(Window, GWL_STYLE); }

// The colour a window shows at (X, Y) of its own DC.
vcl::TColor PixelOf(HWND Window, int X, int Y) {
    const uitest::TImage32 image = uitest::CaptureWindow(Window);
    const std::uint32_t p = image.At(X, Y);
    return static_cast<vcl::TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

// The client's lower right corner, which no child covers.
vcl::TColor ClientCorner(const TMDITestApp &App) {
    RECT r{};
    GetClientRect(App.Client(), &r);
    return PixelOf(App.Client(), r.right - 8, r.bottom - 8);
}

TEST_F(MDILife, TheParentCountsAMaximizedChildActivatedThroughAProvider) {
    TMDITestApp app;
    TsSkinProvider &parent = *app.ParentProvider;
    EXPECT_EQ(FormsState().MDIChildActivator, app.ChildProvider(1)) << "the child shown last";
    EXPECT_FALSE(parent.MDIChildMaximized()) << "not maximized";
    // The child that hears of another's activation is not the one activated.
    FormsState().MDIChildActivator = nullptr;
    SendMessageW(app.ChildWindow(0), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(app.ChildWindow(0)),
                 reinterpret_cast<LPARAM>(app.ChildWindow(1)));
    EXPECT_EQ(FormsState().MDIChildActivator, nullptr);
    SendMessageW(app.ChildWindow(1), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(app.ChildWindow(0)),
                 reinterpret_cast<LPARAM>(app.ChildWindow(1)));
    EXPECT_EQ(FormsState().MDIChildActivator, app.ChildProvider(1));

    app.Command(1, SC_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(app.ChildWindow(1)));
    EXPECT_TRUE(parent.MDIChildMaximized());
    EXPECT_FALSE(app.ChildProvider(1)->MDIChildMaximized()) << "a child is no parent";

    // Another child activated: the system maximizes it in its turn.
    app.Activate(0);
    EXPECT_EQ(FormsState().MDIChildActivator, app.ChildProvider(0));
    EXPECT_EQ(parent.MDIChildMaximized(), IsZoomed(app.ChildWindow(0)) != 0);
    app.Child(0)->SetBorderIcons({});
    EXPECT_FALSE(parent.MDIChildMaximized()) << "no system menu";
    app.Child(0)->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize, vcl::biMaximize});

    app.Command(0, SC_RESTORE);
    EXPECT_FALSE(parent.MDIChildMaximized());
    app.Command(0, SC_MAXIMIZE);
    EXPECT_TRUE(parent.MDIChildMaximized());
    // The activating provider goes: no child counts as activated through one.
    delete app.ChildProvider(0);
    EXPECT_EQ(FormsState().MDIChildActivator, nullptr);
    EXPECT_FALSE(parent.MDIChildMaximized());
}

TEST_F(MDILife, AChildThatIsNotMaximizedLosesItsSystemButtonsWhenActivated) {
    TMDITestApp app;
    const HWND child = app.ChildWindow(0);
    SetWindowLongPtrW(child, GWL_STYLE, StyleOf(child) | WS_SYSMENU);
    app.Activate(0);
    EXPECT_FALSE(StyleOf(child) & WS_SYSMENU);
}

// The parent's frame refreshed after a change of its active child: the
// client window's edge is painted at once, while the parent's frame waits;
// the frame counts as changed afterwards.
struct ClientFramePaints {
    static inline HWND Client = nullptr;
    static inline TsSkinProvider *Parent = nullptr;
    static inline int Painted = 0, WhileLocked = 0;
    static LRESULT CALLBACK Hook(int Code, WPARAM W, LPARAM L) {
        const auto *m = reinterpret_cast<const CWPSTRUCT *>(L);
        if (Code == HC_ACTION && m->hwnd == Client && m->message == WM_NCPAINT)
            ++Painted, WhileLocked += Parent->SkinData()->PaintLocked;
        return CallNextHookEx(nullptr, Code, W, L);
    }
};

TEST_F(MDILife, TheParentsRefreshPaintsTheClientsEdgeFirst) {
    TMDITestApp app;
    TMDITestApp::Pump();
    ClientFramePaints::Client = app.Client();
    ClientFramePaints::Parent = app.ParentProvider;
    ClientFramePaints::Painted = ClientFramePaints::WhileLocked = 0;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &ClientFramePaints::Hook, nullptr, GetCurrentThreadId());
    app.ParentProvider->SkinData()->BGChanged = false;
    RefreshMDIParent(false);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(ClientFramePaints::Painted, 1);
    EXPECT_EQ(ClientFramePaints::WhileLocked, 1);
    EXPECT_TRUE(app.ParentProvider->SkinData()->BGChanged);
    EXPECT_FALSE(app.ParentProvider->SkinData()->PaintLocked);
}

TEST_F(MDILife, TheClientShowsTheSkinsMDIAreaAndTheFormsFaceWithoutOne) {
    TMDITestApp app;
    EXPECT_EQ(ClientCorner(app), MDIAreaColor);
    app.Command(1, SC_MAXIMIZE);
    app.Command(1, SC_RESTORE);
    EXPECT_EQ(ClientCorner(app), MDIAreaColor) << "after a maximize and restore";

    // A skin without the section: the form's own face shows.
    TestSkin plain = MDITestSkin();
    plain.Options.erase(plain.Options.find("[MDIAREA]"), std::string("[MDIAREA]\r\nCOLOR=0x2E7A3C\r\n").size());
    AddStoredSkin(*Manager, "Plain", plain.Packed());
    Manager->SetSkinName("Plain");
    TMDITestApp::Pump();
    RedrawWindow(app.Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_NE(ClientCorner(app), MDIAreaColor);
}

TEST_F(MDILife, AMaximizedChildFollowsItsCommandsAndANewChildComesMaximizedOverIt) {
    TMDITestApp app;
    const HWND one = app.ChildWindow(1);
    app.Command(1, SC_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(one));
    EXPECT_TRUE(StyleOf(one) & WS_VISIBLE) << "given back after the maximize";
    EXPECT_FALSE(StyleOf(one) & WS_SYSMENU) << "its buttons are the parent's";
    EXPECT_EQ(SendMessageW(one, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_TRUE(IsZoomed(one)) << "the key menu swallowed";

    // A third child made over the maximized one (Wine restores that one
    // before the new one is made; a system that keeps it maximized has the
    // new one's making noted): once a child has painted, restores count again.
    app.AddChild("Dokument 3", false);
    const HWND three = app.ChildWindow(2);
    app.Command(2, SC_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(three));
    FormsState().MDIChildOverMaximized = true;
    EXPECT_EQ(SendMessageW(three, WM_SYSCOMMAND, SC_RESTORE, 0), 0);
    EXPECT_TRUE(IsZoomed(three)) << "swallowed while the new child is made";
    RedrawWindow(three, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(FormsState().MDIChildOverMaximized) << "ended by the child's paint";
    EXPECT_EQ(FormsState().MDIChildActivator, app.ChildProvider(2));
    EXPECT_TRUE(app.ParentProvider->MDIChildMaximized());
    app.Command(2, SC_RESTORE);
    EXPECT_FALSE(IsZoomed(three));
    EXPECT_FALSE(IsZoomed(one)) << "no child stays maximized behind";
    EXPECT_FALSE(app.ParentProvider->MDIChildMaximized());

    // Minimized and closed: the parent's menu line is its own again.
    app.Command(2, SC_MAXIMIZE);
    app.Command(2, SC_MINIMIZE);
    EXPECT_TRUE(IsIconic(three));
    app.Command(1, SC_MAXIMIZE);
    app.Close(1);
    EXPECT_FALSE(app.ParentProvider->MDIChildMaximized());
    EXPECT_EQ(ClientCorner(app), MDIAreaColor);
}

TEST_F(MDILife, ASkinChangeAndRemovalWithAMaximizedChild) {
    TMDITestApp app;
    app.Command(0, SC_MAXIMIZE);
    TestSkin other = MDITestSkin();
    other.Options += "[MDIAREA]\r\nCOLOR=0x102030\r\n";  // the later section counts
    AddStoredSkin(*Manager, "Other", other.Packed());
    Manager->SetSkinName("Other");
    TMDITestApp::Pump();
    EXPECT_TRUE(IsZoomed(app.ChildWindow(0)));
    EXPECT_TRUE(app.ParentProvider->MDIChildMaximized());
    app.Command(0, SC_RESTORE);
    EXPECT_FALSE(IsZoomed(app.ChildWindow(0)));

    app.Command(0, SC_MAXIMIZE);
    Manager->SetActive(false);
    TMDITestApp::Pump();
    EXPECT_TRUE(IsZoomed(app.ChildWindow(0)));
    EXPECT_TRUE(StyleOf(app.ChildWindow(0)) & WS_SYSMENU) << "the system's buttons again";
    app.Command(0, SC_RESTORE);
    EXPECT_FALSE(IsZoomed(app.ChildWindow(0)));
    Manager->SetActive(true);
    TMDITestApp::Pump();
    EXPECT_EQ(ClientCorner(app), MDIAreaColor);
}

TEST_F(MDILife, AParentShownWithChildrenOfNoProviderSkinsThem) {
    TMDITestApp app({.ParentProvider = true, .ChildProviders = false});
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(SendSkinQuery(app.ChildWindow(i), SC_IS_HANDLED)) << i;
    app.Parent->Hide();
    app.Parent->Show();
    TMDITestApp::Pump();
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(SendSkinQuery(app.ChildWindow(i), SC_IS_HANDLED)) << i;
}

TEST_F(MDILife, AMaximizedChildsNewTextReachesItsParentsSkinnedCaption) {
    TMDITestApp app;
    app.Command(0, SC_MAXIMIZE);
    const auto caption = [&] {
        const uitest::TImage32 image = uitest::CaptureWindow(app.ParentWindow());
        return std::vector<std::uint32_t>(image.Pixels.begin(), image.Pixels.begin() + image.Width * 20);
    };
    const std::vector<std::uint32_t> before = caption();
    app.Child(0)->SetCaption("Ein viel längerer Titel des Dokuments");
    TMDITestApp::Pump();
    EXPECT_NE(caption(), before);
}

TEST_F(MDILife, TheWindowMenuListsTheChildrenAsItsOwnItems) {
    TMDITestApp app;
    vcl::TMenuItem *windows = app.ParentMenu->Items()->Items(1);
    app.Parent->SetWindowMenu(windows);
    const auto open = [&] {
        const HMENU popup = app.ParentMenu->PopupOf(windows);
        EXPECT_EQ(SendMessageW(app.ParentWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 1), 0);
        std::vector<std::string> captions;
        for (int i = 0; i < windows->Count(); ++i)
            captions.push_back(windows->Items(i)->Caption() + (windows->Items(i)->Checked() ? "*" : ""));
        return captions;
    };
    // The children stand in the client's order, the active one first.
    EXPECT_EQ(open(), (std::vector<std::string>{"Item of &Window", "-", "Dokument 2*", "Dokument 1"}));
    windows->Items(3)->Click();
    TMDITestApp::Pump();
    EXPECT_EQ(app.Parent->ActiveMDIChild(), app.Child(0));
    app.Close(1);
    EXPECT_EQ(open(), (std::vector<std::string>{"Item of &Window", "-", "Dokument 1*"})) << "made anew";
    const HMENU popup = app.ParentMenu->PopupOf(windows);
    EXPECT_EQ(GetMenuItemCount(popup), 3) << "the system's list gone, our separator kept";
    for (int i = 0; i < GetMenuItemCount(popup); ++i) EXPECT_LT(GetMenuItemID(popup, i), 0xFF00u) << i;
}

// The system writes a child's new text into its caption: the cover that
// keeps that off the screen meanwhile lies over the child itself, also
// when another child lies above it.
TEST_F(MDILife, TheCaptionCoverOfAChildLiesOverItWhileTheSystemWritesItsText) {
    TMDITestApp app;
    auto *child = vcl::Create<vcl::TForm>(app.Parent.get(), vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->SetBounds(320, 240, 260, 180);  // beside the others
    auto watcher = std::make_unique<FormWatcher>(child);  // the provider's saved procedure
    auto *p = vcl::Create<TsSkinProvider>(child);
    child->Show();
    app.Activate(1);
    ASSERT_TRUE(GetWindow(child->WindowHandle(), GW_HWNDPREV)) << "a child above it";
    RECT covered{}, form{};
    HWND under = nullptr, cover = nullptr;
    watcher->Before = [&](const vcl::TMessage &M) {
        if (M.Msg != WM_SETTEXT || !p->CaptionCover || !IsWindowVisible(p->CaptionCover->WindowHandle())) return;
        cover = p->CaptionCover->WindowHandle();
        GetWindowRect(cover, &covered);
        GetWindowRect(child->WindowHandle(), &form);
        under = WindowFromPoint(POINT{(form.left + form.right) / 2, form.top + p->GetClientOffsetY() / 2 + 2});
    };
    child->SetCaption("Nový text");
    watcher->Before = nullptr;
    ASSERT_TRUE(under) << "no cover while the system wrote the text";
    EXPECT_TRUE(EqualRect(&covered, &form));
    EXPECT_EQ(under, cover);
    EXPECT_FALSE(p->CaptionCover);
    EXPECT_FALSE(IsWindow(cover));
    delete child;  // with its provider, before the watcher it passes on to
}

// A right click on the active child's caption opens the child's own system
// menu, as on a form of its own; on a child that is not active it opens none.
TEST_F(MDILife, TheActiveChildsSystemMenuOpensOnItsCaption) {
    TMDITestApp app;
    app.Activate(0);
    ASSERT_EQ(app.Parent->ActiveMDIChild(), app.Child(0));
    const auto caption = [&](int Index) {
        RECT r{};
        GetWindowRect(app.ChildWindow(Index), &r);
        return MAKELPARAM((r.left + r.right) / 2, r.top + app.ChildProvider(Index)->GetClientOffsetY() / 2 + 2);
    };
    ASSERT_EQ(SendMessageW(app.ChildWindow(0), WM_NCHITTEST, 0, caption(0)), HTCAPTION);
    MenuWatcher menus;
    SendMessageW(app.ChildWindow(0), WM_NCRBUTTONUP, HTCAPTION, caption(0));
    EXPECT_EQ(menus.Count(), 1);
    SendMessageW(app.ChildWindow(1), WM_NCRBUTTONUP, HTCAPTION, caption(1));
    EXPECT_EQ(menus.Count(), 1) << "a child that is not active";
    app.Activate(1);
    SendMessageW(app.ChildWindow(1), WM_NCRBUTTONUP, HTCAPTION, caption(1));
    EXPECT_EQ(menus.Count(), 2) << "once it is";
}

// Alt+Space, typed while a child has the focus, opens the frame's menu, as
// the system's MDI frames do: the skin took the frame's WS_SYSMENU, so that
// the system itself would show nothing.
TEST_F(MDILife, AltSpaceOpensTheParentsSystemMenuWhileAChildHasTheFocus) {
    TMDITestApp app;
    app.Activate(0);
    SetForegroundWindow(app.ParentWindow());
    SetFocus(app.ChildWindow(0));
    TMDITestApp::Pump();
    MenuWatcher menus([](HWND, HMENU) { MenuWatcher::Escape(); });
    INPUT keys[4] = {};
    for (INPUT &key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
    keys[1].ki.wVk = keys[2].ki.wVk = VK_SPACE;
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    uitest::PumpUntil([&] { return menus.Count() > 0; }, std::chrono::seconds(3));
    ASSERT_EQ(menus.Count(), 1);
    RECT frame{};
    GetWindowRect(app.ParentWindow(), &frame);
    EXPECT_EQ(menus.Rect().left, frame.left + app.ParentProvider->FrameLeft(true));
}

TEST_F(MDILife, AChildsSystemMenuOffersSizingWhateverItsBorderStyle) {
    TMDITestApp app;
    app.Child(0)->SetBorderStyle(vcl::bsSizeToolWin);
    TsSystemMenu &menu = *app.ChildProvider(0)->SystemMenu;
    menu.UpdateItems(true);
    EXPECT_TRUE(menu.ItemMaximize->Visible() && menu.ItemMaximize->Enabled());
    EXPECT_TRUE(menu.ItemMinimize->Visible());
    EXPECT_TRUE(menu.ItemRestore->Visible());
    EXPECT_TRUE(menu.ItemSize->Visible());
}

// The parent's own graphic control (an image on its top edge) is painted
// with the parent's face: it shows in the parent's picture.
TEST_F(MDILife, TheParentsGraphicControlShowsInItsPicture) {
    TMDITestApp app;
    constexpr vcl::TColor colour = 0x2060E0;
    auto *image = vcl::Create<vcl::TImage>(app.Parent.get());
    image->SetAlign(vcl::alTop);
    image->SetHeight(30);
    vcl::TBitmap *bitmap = image->Picture()->Bitmap();
    bitmap->SetSize(640, 30);
    bitmap->Canvas()->Brush()->SetColor(colour);
    bitmap->Canvas()->FillRect({0, 0, 640, 30});
    image->SetParent(app.Parent.get());
    TMDITestApp::Pump();
    RECT w{};
    GetWindowRect(app.ParentWindow(), &w);
    vcl::TBitmap picture;
    picture.SetPixelFormat(vcl::pf32bit);
    picture.SetSize(w.right - w.left, w.bottom - w.top);
    app.Parent->PaintTo(picture.Canvas()->Handle(), 0, 0);
    POINT at{20, 15};
    ClientToScreen(app.ParentWindow(), &at);
    EXPECT_EQ(picture.Canvas()->Pixels(at.x - w.left, at.y - w.top), colour);
}

// A child's system menu opens below its icon; an iconic child's 16 pixels
// higher.
TEST_F(MDILife, AnIconicChildsSystemMenuOpensHigher) {
    TMDITestApp app;
    int drop[2] = {};
    for (const bool iconic : {false, true}) {
        if (iconic) app.Command(1, SC_MINIMIZE);
        app.Activate(1);
        TsSkinProvider &child = *app.ChildProvider(1);
        MenuWatcher menus([](HWND, HMENU) { MenuWatcher::Escape(); });
        const vcl::TPoint origin = child.GetFormOrigin();
        SendMessageW(app.ChildWindow(1), WM_NCLBUTTONDOWN, HTSYSMENU,
                     MAKELPARAM(origin.X + child.IconRect.Left + 2, origin.Y + child.IconRect.Top + 2));
        TMDITestApp::Pump();
        ASSERT_EQ(menus.Count(), 1) << iconic;
        drop[iconic] = menus.Rect().top - (origin.Y + child.IconRect.Bottom);
    }
    EXPECT_EQ(drop[0], 0);
    EXPECT_EQ(drop[1], -16);
}

// Ticks of a timer inside the system's menu loop, until none is left.
struct TMenuLoopScript {
    std::vector<std::function<void()>> Steps;
    std::size_t Next = 0;
    static inline TMenuLoopScript *Current = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (TMenuLoopScript *s = Current; s && s->Next < s->Steps.size()) s->Steps[s->Next++]();
    }
    void Run(HWND Window) {
        Current = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, &Tick);
        PostMessageW(Window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        uitest::PumpUntil([&] { return Next >= Steps.size(); }, std::chrono::seconds(6));
        KillTimer(nullptr, timer);
        Current = nullptr;
        TMDITestApp::Pump();
    }
};

TEST_F(MDILife, TheMenuLoopOfAParentWithAMaximizedChildKeepsTheChildsButtonsInSight) {
    TMDITestApp app;
    app.Command(1, SC_MAXIMIZE);
    TsSkinProvider &parent = *app.ParentProvider;
    ASSERT_TRUE(parent.MDIChildMaximized());
    const vcl::THandleCounts before = vcl::LiveHandles();
    bool looped = false, named = false, shown = false;
    RECT placed{};
    int differing = -1;
    TMenuLoopScript script;
    script.Steps = {[&] {
        looped = parent.InSizeMove;
        vcl::TForm *icons = FormsState().MDIIcons.get();
        if (!icons || !icons->HandleAllocated()) {
            EndMenu();
            return;
        }
        named = icons->Name() == "vlMDIIcons" && icons->Tag() == 256;
        shown = IsWindowVisible(icons->WindowHandle()) && GetForegroundWindow() != icons->WindowHandle();
        GetWindowRect(icons->WindowHandle(), &placed);
        // What it shows is the frame image where it lies over the frame.
        RECT frame{};
        GetWindowRect(app.ParentWindow(), &frame);
        const uitest::TImage32 image = uitest::CaptureWindow(icons->WindowHandle());
        const vcl::TBitmapView cache = parent.SkinData()->CacheBmp()->View();
        differing = 0;
        for (int y = 0; y < image.Height; ++y)
            for (int x = 0; x < image.Width; ++x)
                differing += ((image.At(x, y) ^ cache.At(placed.left - frame.left + x, placed.top - frame.top + y)) &
                              0xFFFFFF) != 0;
        EndMenu();
    }};
    script.Run(app.ParentWindow());
    EXPECT_TRUE(looped) << "the menu loop ran";
    EXPECT_TRUE(named);
    EXPECT_TRUE(shown) << "shown, not activated";
    EXPECT_EQ(placed.right - placed.left, 60);
    EXPECT_EQ(placed.bottom - placed.top, GetSystemMetrics(SM_CYMENU) + 3);
    // Over the child's close button at the right end of the menu line.
    RECT frame{};
    GetWindowRect(app.ParentWindow(), &frame);
    const vcl::TRect close = parent.MDIClose.Rect;
    ASSERT_FALSE(close.IsEmpty());
    EXPECT_LE(placed.left, frame.left + close.Left);
    EXPECT_GE(placed.right, frame.left + close.Right);
    EXPECT_LE(placed.top, frame.top + close.Top);
    EXPECT_GE(placed.bottom, frame.top + close.Bottom);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(FormsState().MDIIcons, nullptr) << "gone with the loop";
    EXPECT_FALSE(parent.MDIIconsShown);
    EXPECT_EQ(vcl::LiveHandles(), before);

    // Without a maximized child the loop brings none.
    app.Command(1, SC_RESTORE);
    bool none = false;
    script = {};
    script.Steps = {[&] {
        none = parent.InSizeMove && !FormsState().MDIIcons;
        EndMenu();
    }};
    script.Run(app.ParentWindow());
    EXPECT_TRUE(none);
}

TEST_F(MDILife, AChildWhoseCacheCannotServeItsClientKeepsOnlyItsFramesTop) {
    TMDITestApp app;
    TsSkinProvider &child = *app.ChildProvider(0);  // not the active one
    const HWND window = app.ChildWindow(0);
    const auto erase = [&] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        child.SkinData()->SetBGFlags(child.SkinData()->BGFlags() | 1);  // its parent's background
        ASSERT_FALSE(child.SkinData()->CanUseCache());
        const vcl::TWindowDC dc(window, GetDC(window));
        SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    };
    const int full = child.SkinData()->CacheBmp()->Height();
    erase();
    const int top = GetNativeBorderWidth(window) + child.GetCaptionHeight(true) + 1;
    EXPECT_LT(top, full);
    EXPECT_EQ(child.SkinData()->CacheBmp()->Height(), top);
    EXPECT_TRUE(child.SkinData()->BGChanged);

    // Reaching out of the parent's client: the cache stays whole.
    app.Child(0)->SetBounds(500, 10, 260, 180);
    erase();
    EXPECT_EQ(child.SkinData()->CacheBmp()->Height(), full);
}

// A memory DC of W x H, filled with Fill.
struct TFilledDC {
    TFilledDC(int W, int H, COLORREF Fill)
        : DC(CreateCompatibleDC(nullptr)), Bitmap(CreateBitmap(W, H, 1, 32, nullptr)),
          Old(SelectObject(DC, Bitmap)) {
        const vcl::TBrushHandle brush(CreateSolidBrush(Fill));
        const RECT r{0, 0, W, H};
        FillRect(DC, &r, brush.Get());
    }
    ~TFilledDC() {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    COLORREF At(int X, int Y) const { return GetPixel(DC, X, Y); }
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
};

TEST_F(MDILife, OnlyTheActiveChildPaintsABackgroundItsCacheCannotServe) {
    TMDITestApp app;  // the second child active
    // The other waits for its turn.
    for (int i : {0, 1}) {
        app.ChildProvider(i)->SkinData()->SetBGFlags(app.ChildProvider(i)->SkinData()->BGFlags() | 1);
        const TFilledDC dc(40, 40, RGB(1, 2, 3));
        SendMessageW(app.ChildWindow(i), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.DC), 0);
        EXPECT_EQ(dc.At(20, 20) == RGB(1, 2, 3), i == 0) << i;
    }
}

TEST_F(MDILife, LiveCountsStayFlatOverMaximizeRestoreCloseCycles) {
    TMDITestApp app;
    const auto cycle = [&] {
        app.AddChild("Zyklus", false);
        const int last = static_cast<int>(app.Children.size()) - 1;
        app.Command(last, SC_MAXIMIZE);
        app.Command(last, SC_RESTORE);
        app.Close(last);
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// The glows asked for, none shown.
struct GlowCount : TvlGlowService {
    int Shown = 0;
    int ShowGlow(const vcl::TRect &, const std::string &, const std::string &, TsCommonData &, HWND, std::uint8_t,
                 int) override {
        return Shown++;
    }
    void HideGlow(int &GlowID, bool) override { GlowID = -1; }
    void SetGlowAlpha(int, std::uint8_t) override {}
    void ClearGlows(bool) override {}
};

// A child's frame where another child stands maximized over it, and the
// glow of a hot close button, which a child's never shows.
TEST_F(MDILife, AChildCoveredByAMaximizedOneAndAChildsHotCloseButton) {
    TestSkin skin = MDITestSkin();
    skin.Options = CaptionOptions() + skin.Options;
    skin.Files = {{"MASTER.BMP", CaptionMaster()}};
    AddStoredSkin(*Manager, "Caption", skin.Packed());
    Manager->SetSkinName("Caption");
    Manager->Effects()->AllowGlowing = true;
    Manager->SkinData->BIconCloseGlow = 1;
    GlowCount glows;
    TvlServiceRegistration<TvlGlowService> registration(glows);
    TMDITestApp app;
    TsSkinProvider &behind = *app.ChildProvider(0);

    app.Command(1, SC_MAXIMIZE);
    behind.SkinData()->BGChanged = true;
    SendMessageW(app.ChildWindow(0), WM_NCPAINT, 1, 0);
    EXPECT_TRUE(behind.SkinData()->BGChanged) << "no frame made behind the maximized child";
    app.Command(1, SC_RESTORE);
    behind.SkinData()->BGChanged = true;
    SendMessageW(app.ChildWindow(0), WM_NCPAINT, 1, 0);
    EXPECT_FALSE(behind.SkinData()->BGChanged) << "made once nothing covers it";

    // An inactive child with its system buttons.
    TsSkinProvider &child = behind;
    SetWindowLongPtrW(app.ChildWindow(0), GWL_STYLE, StyleOf(app.ChildWindow(0)) | WS_SYSMENU);
    child.SkinData()->BGChanged = true;
    SendMessageW(app.ChildWindow(0), WM_NCPAINT, 1, 0);
    child.SetHotButton(HTCLOSE, true);
    EXPECT_EQ(child.ButtonClose.State, 1) << "hot";
    EXPECT_EQ(glows.Shown, 0) << "a child's button";
    child.SetHotButton(0, true);
    app.ParentProvider->SetHotButton(HTCLOSE, true);
    EXPECT_EQ(glows.Shown, 1) << "the parent's button";
    app.ParentProvider->SetHotButton(0, true);
}

} // namespace
} // namespace skin::test
