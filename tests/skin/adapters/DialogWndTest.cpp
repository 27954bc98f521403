// The dialog adapter on dialogs of our own made from templates: title
// buttons under the real mouse, the keyboard in a skinned box, maximize and
// restore of a sizeable dialog with its region, a region the dialog keeps
// for itself, and the skin removed while a dialog is open.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "../manager/LayeredRecorder.h"
#include "DialogsTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/GdiObjects.h"

namespace skin {
namespace {

using namespace skin::test;

class DialogWnd : public DialogsFixture {
protected:
    DialogWnd() {
        SetCursorPos(2, 2);
        Settle();
    }
};

vcl::TPoint Middle(const vcl::TRect &R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
vcl::TPoint InsideOf(const vcl::TRect &R) { return {R.Left + 2, R.Top + 2}; }

TEST_F(DialogWnd, TheCloseButtonIsHotPressedAndClosesOncePerClick) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    ASSERT_FALSE(close.IsEmpty());
    EXPECT_TRUE(a->ButtonByCode(HTMAXBUTTON)->Rect.IsEmpty());  // no maximize box
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Normal);
    MouseTo(d.Window, Middle(close));
    Settle();
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Hot);
    MouseButton(true);
    Settle();
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Pressed);
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    MouseButton(false);
    Settle();
    EXPECT_EQ(OwnDialogState::SysCloses, 1);
    MouseButton(true);
    MouseButton(false);
    Settle();
    EXPECT_EQ(OwnDialogState::SysCloses, 2);

    // A press elsewhere released over the button does nothing.
    MouseTo(d.Window, {a->BorderWidth() + 40, a->FrameTopHeight() + 10});
    MouseButton(true);
    Settle();
    MouseTo(d.Window, Middle(close));
    MouseButton(false);
    Settle();
    EXPECT_EQ(OwnDialogState::SysCloses, 2);
    // Leaving takes the hot look away.
    MouseTo(d.Window, {-30, -30});
    Settle();
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Normal);
}

TEST_F(DialogWnd, TheDialogUnderTheMouseIsTheHotControlAgainAfterAChild) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const HWND ok = GetDlgItem(d.Window, IDOK);
    RECT dr{}, okr{};
    GetWindowRect(d.Window, &dr);
    GetWindowRect(ok, &okr);
    const vcl::TPoint face{a->FrameLeftWidth() + 6, a->FrameTopHeight() + 6};
    const vcl::TPoint overOk{(okr.left + okr.right) / 2 - dr.left, (okr.top + okr.bottom) / 2 - dr.top};
    const auto hot = [] { return DefaultManager()->ActiveWindow; };
    // In, onto a child, and back onto the face: each time the one under the mouse.
    MouseTo(d.Window, face);
    Settle();
    EXPECT_EQ(hot(), d.Window);
    MouseTo(d.Window, overOk);
    Settle();
    EXPECT_EQ(hot(), ok);
    MouseTo(d.Window, face);
    Settle();
    EXPECT_EQ(hot(), d.Window);
    // A dialog that holds the mouse (a drag of its own) gets no hit tests:
    // its moves alone tell that it is under the mouse.
    MouseTo(d.Window, overOk);
    Settle();
    ASSERT_EQ(hot(), ok);
    SetCapture(d.Window);
    MouseTo(d.Window, face);
    Settle();
    EXPECT_EQ(hot(), d.Window);
    ReleaseCapture();
}

TEST_F(DialogWnd, ADialogThatMayNotCloseAnswersNothingOverItsCloseAndItsIcon) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    const ULONG_PTR classStyle = GetClassLongPtrW(d.Window, GCL_STYLE);
    SetClassLongPtrW(d.Window, GCL_STYLE, static_cast<LONG_PTR>(classStyle | CS_NOCLOSE));
    EXPECT_EQ(a->OwnHitTest(Middle(close)), 0);
    MouseTo(d.Window, Middle(close));
    MouseButton(true);
    MouseButton(false);
    Settle();
    // A double click on the icon does not close it either.
    SendMessageW(d.Window, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    SetClassLongPtrW(d.Window, GCL_STYLE, static_cast<LONG_PTR>(classStyle));
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    // With a system menu the icon answers as the menu's place and closes on a double click.
    const vcl::TRect icon = a->IconRect();
    EXPECT_EQ(a->OwnHitTest(Middle(icon)), HTSYSMENU);
    SendMessageW(d.Window, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    EXPECT_EQ(OwnDialogState::SysCloses, 1);
}

TEST_F(DialogWnd, WithoutASystemMenuThereAreNoButtonsAndNoMenuPlace) {
    DialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 160, 80, L"Bez nabidky");
    OwnDialog d(t);
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    for (const TvlDialogButton &b : a->Buttons) EXPECT_TRUE(b.Rect.IsEmpty());
    EXPECT_NE(a->OwnHitTest(Middle(a->IconRect())), HTSYSMENU);
    RECT r{};
    GetWindowRect(d.Window, &r);
    EXPECT_EQ(SendMessageW(d.Window, WM_NCHITTEST, 0, MAKELPARAM(r.right - 10, r.top + a->FrameTopHeight() / 2)),
              HTCAPTION);
}

TEST_F(DialogWnd, KeysStillWorkInASkinnedBox) {
    const auto press = [](std::vector<WORD> Keys) {
        return [Keys](HWND Box) {
            ASSERT_TRUE(Served(Box));
            SetForegroundWindow(Box);
            for (WORD k : Keys) {
                INPUT in[2] = {};
                in[0].type = in[1].type = INPUT_KEYBOARD;
                in[0].ki.wVk = in[1].ki.wVk = k;
                in[1].ki.dwFlags = KEYEVENTF_KEYUP;
                SendInput(2, in, sizeof(INPUT));
            }
        };
    };
    struct Case {
        std::vector<WORD> Keys;
        int Answer;
    };
    for (const Case &c : {Case{{VK_RETURN}, IDOK}, Case{{VK_ESCAPE}, IDCANCEL}, Case{{VK_TAB, VK_RETURN}, IDCANCEL}}) {
        int answer = 0;
        bool pressed = false;
        const auto keys = press(c.Keys);
        // The box's own loop takes the keys; a box they did not end is ended with 99.
        DialogVisitor v(
            [&](HWND Box) {
                keys(Box);
                pressed = true;
            },
            200, 2000, [](HWND Box) { EndDialog(Box, 99); });
        v.Run([&] { answer = MessageBoxW(nullptr, L"Klavesy", L"Zprava", MB_OKCANCEL); });
        EXPECT_TRUE(pressed);
        EXPECT_EQ(answer, c.Answer);
    }
}

TEST_F(DialogWnd, ASizeableDialogMaximizesRestoresAndKeepsItsRegion) {
    OwnDialog d(SizeableDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FrameKind, 3);
    KeepPicture(d.Window, "dialog-sizeable.png");
    const auto regionMatches = [&] {
        RECT r{};
        GetWindowRect(d.Window, &r);
        vcl::TRegionHandle shown(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(d.Window, shown.Get()) == ERROR) return false;
        vcl::TRegionHandle expected(CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top));
        const int w = r.right - r.left, h = r.bottom - r.top;
        for (int y = 0; y < 3; ++y) {
            const int n = 3 - y;
            for (const RECT c : {RECT{0, y, n, y + 1}, RECT{w - n, y, w, y + 1}, RECT{0, h - 1 - y, n, h - y},
                                 RECT{w - n, h - 1 - y, w, h - y}}) {
                vcl::TRegionHandle corner(CreateRectRgnIndirect(&c));
                CombineRgn(expected.Get(), expected.Get(), corner.Get(), RGN_DIFF);
            }
        }
        return EqualRgn(shown.Get(), expected.Get()) != 0;
    };
    EXPECT_TRUE(regionMatches());
    const vcl::TRect max = a->ButtonByCode(HTMAXBUTTON)->Rect;
    ASSERT_FALSE(max.IsEmpty());
    EXPECT_EQ(FramePixel(d.Window, InsideOf(max).X, InsideOf(max).Y), MaxColors.Normal);
    MouseTo(d.Window, Middle(max));
    MouseButton(true);
    MouseButton(false);
    ASSERT_TRUE(uitest::PumpUntil([&] { return IsZoomed(d.Window) != 0; }, std::chrono::seconds(2)));
    Settle();
    const vcl::TRect maxNow = a->ButtonByCode(HTMAXBUTTON)->Rect;
    const vcl::TColor shown = FramePixel(d.Window, InsideOf(maxNow).X, InsideOf(maxNow).Y);
    EXPECT_TRUE(shown == NormColors.Normal || shown == NormColors.Hot) << std::hex << shown;
    EXPECT_TRUE(regionMatches());
    SendMessageW(d.Window, WM_SYSCOMMAND, SC_RESTORE, 0);
    Settle();
    EXPECT_FALSE(IsZoomed(d.Window));
    EXPECT_TRUE(regionMatches());
    // A double click on the caption maximizes too.
    SendMessageW(d.Window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(IsZoomed(d.Window));
    SendMessageW(d.Window, WM_SYSCOMMAND, SC_RESTORE, 0);

    OwnDialogState::KeepsRegion = true;
    OwnDialog own(SizeableDialog());
    OwnDialogState::KeepsRegion = false;
    vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(own.Window, region.Get()), ERROR);  // it set none: none is set for it
    EXPECT_TRUE(Served(own.Window));
}

TEST_F(DialogWnd, TheClientFaceAndTheCommandsAnswers) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const LRESULT offset = SendSkinCommand(d.Window, SC_GET_CLIENT_OFFSET, 0);
    EXPECT_EQ(LOWORD(offset), a->FrameLeftWidth());
    EXPECT_EQ(HIWORD(offset), a->FrameTopHeight());
    POINT client{0, 0};
    ClientToScreen(d.Window, &client);
    RECT r{};
    GetWindowRect(d.Window, &r);
    EXPECT_EQ(client.x - r.left, a->FrameLeftWidth());
    EXPECT_EQ(client.y - r.top, a->FrameTopHeight());
    EXPECT_EQ(SendSkinCommand(d.Window, SC_GET_BORDER_WIDTH, 0), a->BorderWidth());
    // The system menu is the skinned menus' from the start, not only once shown.
    ASSERT_TRUE(Manager->SkinnedPopups());
    EXPECT_TRUE(a->SystemMenu->OwnerDraw());
    // The face between the children is the section's colour.
    EXPECT_EQ(FramePixel(d.Window, a->FrameLeftWidth() + 5, a->FrameTopHeight() + 5), DialogFace);
    // One brush for every WM_CTLCOLORDLG.
    const LRESULT brush = SendMessageW(d.Window, WM_CTLCOLORDLG, 0, 0);
    EXPECT_NE(brush, 0);
    EXPECT_EQ(SendMessageW(d.Window, WM_CTLCOLORDLG, 0, 0), brush);
    // The caption text follows WM_SETTEXT.
    SetWindowTextW(d.Window, L"Novy titulek");
    EXPECT_EQ(a->WindowText, "Novy titulek");
}

TEST_F(DialogWnd, TheSkinGoingGivesTheDialogItsOwnFrameBack) {
    OwnDialog d(FixedDialog());
    ASSERT_TRUE(Served(d.Window));
    EXPECT_FALSE(LiveSysMenu(d.Window));
    const int h = [&] {
        RECT r{};
        GetWindowRect(d.Window, &r);
        return int(r.bottom - r.top);
    }();
    EXPECT_EQ(FramePixel(d.Window, 1, h / 2), DialogBorder);
    Manager->SetActive(false);
    Settle();
    EXPECT_FALSE(Served(d.Window));
    EXPECT_TRUE(LiveSysMenu(d.Window));
    vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(d.Window, region.Get()), ERROR);
    EXPECT_NE(FramePixel(d.Window, 1, h / 2), DialogBorder);
    EXPECT_EQ(HookedDialogCount(), 0u);
}

// A skin applied without a title-button section leaves the buttons' masks
// and the title section as they were.
TEST_F(DialogWnd, ASkinWithoutATitleButtonSectionChangesNoButtonMask) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const auto masks = [&] {
        std::vector<int> m;
        for (const TvlDialogButton &b : a->Buttons) m.push_back(b.MaskIndex);
        return m;
    };
    const auto apply = [&] {
        SendMessageW(d.Window, SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    };
    for (TvlDialogButton &b : a->Buttons) b.MaskIndex = 1000;
    a->TitleSection = 1000;
    const int global = std::exchange(Manager->CommonElements.GlobalInfoSection, -1);
    apply();
    EXPECT_EQ(masks(), std::vector<int>(4, 1000));
    EXPECT_EQ(a->TitleSection, 1000);
    Manager->CommonElements.GlobalInfoSection = global;
    apply();
    EXPECT_NE(masks(), std::vector<int>(4, 1000));
    EXPECT_NE(a->TitleSection, 1000);
    EXPECT_EQ(a->TitleSection, Manager->FindSectionIndex(a->TitleSectionName));
}

// Records the glows the adapters ask for.
struct RecordingGlows : TvlGlowService {
    std::vector<int> Shown, Hidden;
    int Cleared = 0;
    int ShowGlow(const vcl::TRect &, const std::string &, const std::string &, TsCommonData &, HWND, std::uint8_t,
                 int) override {
        Shown.push_back(static_cast<int>(Shown.size()) + 1);
        return Shown.back();
    }
    bool KeepsIds = false;  // as a glow already gone leaves the id it is given
    void HideGlow(int &GlowID, bool) override {
        Hidden.push_back(GlowID);
        if (!KeepsIds) GlowID = -1;
    }
    void SetGlowAlpha(int, std::uint8_t) override {}
    void ClearGlows(bool) override { ++Cleared; }
};

TEST_F(DialogWnd, AHotCloseGlowsAndADialogTakesOnlyItsOwnGlowAlong) {
    RecordingGlows glows;
    const TvlServiceRegistration<TvlGlowService> registered(glows);
    Manager->Effects()->AllowGlowing = true;
    auto a = std::make_unique<OwnDialog>(FixedDialog(L"Zari"));
    ASSERT_NE(a->Adapter(), nullptr);
    MouseTo(a->Window, Middle(a->Adapter()->ButtonByCode(HTCLOSE)->Rect));
    Settle();
    ASSERT_EQ(glows.Shown, (std::vector<int>{1}));
    {
        OwnDialog other(FixedDialog(L"Jiny"), nullptr, false);
        ASSERT_TRUE(Served(other.Window));
    }
    EXPECT_TRUE(glows.Hidden.empty());
    a.reset();
    EXPECT_EQ(glows.Hidden, (std::vector<int>{1}));
    EXPECT_EQ(glows.Cleared, 0);

    // A glow hidden once is forgotten: the dialog never hides its id again
    // (by then another glow may hold it).
    glows.KeepsIds = true;
    {
        OwnDialog b(FixedDialog(L"Znovu zari"));
        TvlDialogWnd *adapter = b.Adapter();
        ASSERT_NE(adapter, nullptr);
        MouseTo(b.Window, Middle(adapter->ButtonByCode(HTCLOSE)->Rect));
        Settle();
        ASSERT_EQ(glows.Shown, (std::vector<int>{1, 2}));
        MouseTo(b.Window, {-30, -30});
        Settle();
        EXPECT_EQ(glows.Hidden, (std::vector<int>{1, 2}));
        EXPECT_EQ(adapter->ButtonByCode(HTCLOSE)->GlowId, -1);
    }
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_EQ(glows.Hidden, (std::vector<int>{1, 2}));
}

// A hot close whose glow has a margin fades in as the skin's glow picture,
// as a form's does.
TEST_F(DialogWnd, AGlowingCloseFadesInAsItsGlowPicture) {
    TestSkin skin;
    skin.Options = DialogSkinOptions();
    skin.Options.insert(skin.Options.find("[DIALOG]"),
                        "BICONCLOSEGLOW0=@0045,0030,0055,0040,1,0\r\nBICONCLOSEGLOWMARGIN=2\r\n");
    skin.Files = {{"MASTER.BMP", DialogMaster()}};
    AddStoredSkin(*Manager, "Glowing", skin.Packed());
    Manager->SetSkinName("Glowing");
    Manager->Effects()->AllowGlowing = true;
    RecordingGlows glows;
    const TvlServiceRegistration<TvlGlowService> registered(glows);
    LayeredRecorder recorder;
    OwnDialog d(FixedDialog(L"Zari"));
    const TvlDialogButton *close = d.Adapter()->ButtonByCode(HTCLOSE);
    MouseTo(d.Window, Middle(close->Rect));
    Settle();
    ASSERT_TRUE(close->Animation && close->Animation->LayerForm());
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(close->Animation->LayerForm()->WindowHandle());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().Size.cx, 10);
    EXPECT_EQ(calls.front().Size.cy, 10);
    MouseTo(d.Window, {-40, -40});
    Settle();
}

LRESULT CALLBACK PrintProbeProc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg != WM_PRINT) return DefWindowProcW(W, Msg, WParam, LParam);
    RECT r{};
    GetClientRect(W, &r);
    FillRect(reinterpret_cast<HDC>(WParam), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 0;
}

TEST_F(DialogWnd, ChildrenArePrintedIntoADCButNoHiddenOne) {
    DialogTemplate t = FixedDialog();
    t.Item(L"STATIC", L"", 200, SS_BLACKRECT, 90, 10, 80, 40, false);
    OwnDialog d(t);
    const HWND hidden = GetDlgItem(d.Window, 200), ok = GetDlgItem(d.Window, IDOK);
    // A window of our own below the hidden one: it fills what it is given to print.
    WNDCLASSW probeClass{};
    probeClass.lpfnWndProc = PrintProbeProc;
    probeClass.hInstance = GetModuleHandleW(nullptr);
    probeClass.lpszClassName = L"PrintProbe";
    RegisterClassW(&probeClass);
    const HWND inner = CreateWindowExW(0, L"PrintProbe", L"", WS_CHILD | WS_VISIBLE, 30, 5, 40, 20, hidden, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    // A native control without an adapter prints only when asked for its client and frame.
    const HWND native = CreateWindowExW(0, L"BUTTON", L"Nativni", WS_CHILD | WS_VISIBLE, 10, 10, 60, 24, d.Window,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_FALSE(Served(native));
    RECT client{};
    GetClientRect(d.Window, &client);
    auto image = NewBitmap32(client.right, client.bottom);
    constexpr vcl::TColor Sentinel = 0x123456;
    FillRectSolid(image->Canvas()->Handle(), {0, 0, client.right, client.bottom}, Sentinel);
    PrintChildWindows(d.Window, image->Canvas()->Handle());
    GdiFlush();
    const auto place = [&](HWND W) {
        RECT r{};
        GetWindowRect(W, &r);
        MapWindowPoints(nullptr, d.Window, reinterpret_cast<POINT *>(&r), 2);
        return r;
    };
    const auto drawnIn = [&](RECT R) {
        int n = 0;
        const vcl::TBitmapView v = image->View();
        for (int y = std::max(0L, R.top); y < std::min<LONG>(R.bottom, client.bottom); ++y)
            for (int x = std::max(0L, R.left); x < std::min<LONG>(R.right, client.right); ++x)
                n += (v.At(x, y) & 0xFFFFFF) != 0x563412;  // the sentinel as BGRA bytes
        return n;
    };
    EXPECT_GT(drawnIn(place(ok)), 0);
    EXPECT_GT(drawnIn(place(native)), 0);
    EXPECT_GT(drawnIn(place(inner)), 0);
    const RECT h = place(hidden), i = place(inner);
    EXPECT_EQ(drawnIn({h.left, h.top, i.left, h.bottom}), 0);  // the hidden static's own face
}

TEST_F(DialogWnd, ADragBlendsTheDialogAndEndsOpaqueWhereItWasDropped) {
    LayeredRecorder recorder;
    Manager->AnimEffects()->BlendOnMoving->Active = true;
    Manager->AnimEffects()->BlendOnMoving->BlendValue = 150;
    OwnDialog d(FixedDialog(L"Tazeni"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    RECT before{};
    GetWindowRect(d.Window, &before);
    const vcl::TPoint grip{a->BorderWidth() + 60, a->FrameTopHeight() / 2};
    MouseTo(d.Window, grip);
    Settle();
    // The system's move loop holds this thread: another one drags and drops.
    std::thread mover([&] {
        std::this_thread::sleep_for(300ms);
        for (int i = 1; i <= 8; ++i) {
            SetCursorPos(before.left + grip.X + 5 * i, before.top + grip.Y + 4 * i);
            INPUT move{};
            move.type = INPUT_MOUSE;
            move.mi.dwFlags = MOUSEEVENTF_MOVE;
            SendInput(1, &move, sizeof move);
            std::this_thread::sleep_for(40ms);
        }
        MouseButton(false);
    });
    MouseButton(true);
    Settle();
    mover.join();
    Settle();
    RECT after{};
    GetWindowRect(d.Window, &after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 32);
    EXPECT_FALSE(GetWindowLongPtrW(d.Window, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(GetActiveWindow(), d.Window);
    EXPECT_EQ(a->StateFlags & 0x80, 0u);
    EXPECT_EQ(a->MoveTimer, nullptr);
    std::vector<int> alphas;
    for (const auto &[w, alpha] : LayeredRecorder::Attributes)
        if (w == d.Window) alphas.push_back(alpha);
    ASSERT_GE(alphas.size(), 3u);
    EXPECT_LT(*std::min_element(alphas.begin(), alphas.end()), 255);
    EXPECT_GE(*std::min_element(alphas.begin(), alphas.end()), 150);
}

TEST_F(DialogWnd, TheSystemMenuShowsOnTheIconAndOnARightClickAndCloses) {
    OwnDialog d(FixedDialog(L"Nabidka"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->SystemMenu, nullptr);
    {
        MenuWatcher watcher([](HWND, HMENU) { MenuWatcher::Escape(); });
        MouseTo(d.Window, Middle(a->IconRect()));
        MouseButton(true);
        MouseButton(false);
        ASSERT_TRUE(uitest::PumpUntil([&] { return watcher.Count() == 1; }, std::chrono::seconds(3)));
        Settle();
        // A fixed dialog: Move and Close work, the sizing commands do not.
        std::vector<std::string> working;
        for (const ShownItem &item : watcher.Items())
            if (!item.Text.empty() && !item.Grayed) working.push_back(Plain(item.Text));
        EXPECT_NE(std::find(working.begin(), working.end(), "Close"), working.end());
        EXPECT_NE(std::find(working.begin(), working.end(), "Move"), working.end());
        EXPECT_EQ(std::find(working.begin(), working.end(), "Maximize"), working.end());
        const RECT shown = watcher.Rect();
        RECT w{};
        GetWindowRect(d.Window, &w);
        EXPECT_EQ(shown.left, w.left + a->BorderWidth());
    }
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    MenuWatcher closer([](HWND, HMENU Menu) { MenuWatcher::ClickItemNamed(Menu, "Close"); });
    const vcl::TPoint caption{a->BorderWidth() + 60, a->FrameTopHeight() / 2};
    MouseTo(d.Window, caption);
    INPUT right[2] = {};
    right[0].type = right[1].type = INPUT_MOUSE;
    right[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    right[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, right, sizeof(INPUT));
    ASSERT_TRUE(uitest::PumpUntil([&] { return closer.Count() == 1 && OwnDialogState::SysCloses == 1; },
                                  std::chrono::seconds(3)));
    const RECT shown = closer.Rect();
    RECT w{};
    GetWindowRect(d.Window, &w);
    EXPECT_EQ(shown.left, w.left + caption.X);
}

TEST_F(DialogWnd, AltSpaceOpensTheSkinnedSystemMenuUnderTheIcon) {
    OwnDialog d(FixedDialog(L"Klavesnice"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    SetForegroundWindow(d.Window);
    Settle();
    MenuWatcher watcher([](HWND, HMENU) { MenuWatcher::Escape(); });
    INPUT keys[4] = {};
    for (INPUT &key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
    keys[1].ki.wVk = keys[2].ki.wVk = VK_SPACE;
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    ASSERT_TRUE(uitest::PumpUntil([&] { return watcher.Count() == 1; }, std::chrono::seconds(3)));
    Settle();
    const RECT shown = watcher.Rect();
    RECT w{};
    GetWindowRect(d.Window, &w);
    EXPECT_EQ(shown.left, w.left + a->IconRect().Left);
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    EXPECT_TRUE(IsWindow(d.Window));
}

TEST_F(DialogWnd, AStyleChangedAfterCreationIsFollowed) {
    // As a file dialog that becomes sizeable once it is made.
    OwnDialog d(FixedDialog(L"Meni se"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FrameKind, 0);
    EXPECT_TRUE(a->ButtonByCode(HTMAXBUTTON)->Rect.IsEmpty());
    const LONG_PTR style = GetWindowLongPtrW(d.Window, GWL_STYLE);
    SetWindowLongPtrW(d.Window, GWL_STYLE, style | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU);
    SetWindowPos(d.Window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Settle();
    EXPECT_EQ(a->FrameKind, 3);
    EXPECT_TRUE(a->HasMaxBox() && a->HasSysMenu());
    EXPECT_FALSE(LiveSysMenu(d.Window));
    EXPECT_FALSE(a->ButtonByCode(HTMAXBUTTON)->Rect.IsEmpty());
    const LONG_PTR live = GetWindowLongPtrW(d.Window, GWL_STYLE);
    EXPECT_TRUE((live & WS_THICKFRAME) && (live & WS_MAXIMIZEBOX));
}

TEST_F(DialogWnd, HandlesStayFlatOverOwnDialogs) {
    ExpectFlatHandleCounts([] {
        OwnDialog d(SizeableDialog(), nullptr, false);
        ShowWindow(d.Window, SW_SHOW);
        UpdateWindow(d.Window);
    });
}

} // namespace
} // namespace skin
