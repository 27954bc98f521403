// Skinned dialogs with the manager's extended borders: the border window
// around a message box and the Open dialog showing the dialog's frame
// image, its region's hole over the client area, a real press in its
// sizing zone sizing a dialog of our own, a press far out in the shadow
// reaching the window below, and what a box leaves behind over a hundred
// boxes. Then the title buttons' fades under AllowGlowing, watched through
// the recording seam of the layered calls, and freed on the visibility
// message, on hiding and with the dialog. Pictures go to the artefacts.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../manager/LayeredRecorder.h"
#include "../forms/StoredSkinCopies.h"
#include "DialogsTestSupport.h"
#include "FreedMemoryMark.h"
#include "skin/forms/vlBorderGeometry.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

void MouseInput(DWORD Flags, vcl::TPoint At) { uitest::MouseInput(Flags, POINT{At.X, At.Y}); }

// Presses at Grip, drags by (Dx, Dy) and lets go, while this thread pumps
// (the system's sizing loop runs inside the press); true when the user's
// part ended.
bool DragFrom(vcl::TPoint Grip, int Dx, int Dy) {
    const bool ended = uitest::DragWithMouse(POINT{Grip.X, Grip.Y}, Dx, Dy);
    Settle();
    return ended;
}

struct DialogBorder : DialogsFixture {
    DialogBorder() {
        SetCursorPos(2, 2);
        Manager->SetExtendedBorders(true);
    }
    LayeredRecorder Recorder{LayeredRecorder::Forward, true};
    vcl::TRect M() const { return Manager->ExtBorderMargins; }
};

vcl::TRect RectOf(HWND W) {
    RECT r{};
    GetWindowRect(W, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// What the border window adds around a dialog per side: the shadow
// margins, and where the skin's frame (its side border and its caption,
// which holds the top border) is larger than the window's own, the excess.
vcl::TRect SkinAround(const TsSkinManager &Skin, HWND Window) {
    const vcl::TRect m = Skin.ExtBorderMargins, w = RectOf(Window);
    RECT client{};
    GetClientRect(Window, &client);
    POINT origin{0, 0};
    ClientToScreen(Window, &origin);
    const int side = (w.Width() - client.right) / 2, top = origin.y - w.Top;
    const int border = Skin.SkinData->BorderWidth, caption = Skin.SkinData->TitleHeight;
    return {m.Left + border - side, m.Top + caption - top, m.Right + border - side, m.Bottom + border - side};
}

// A pixel of a 32-bit image as a colour.
vcl::TColor ColourOf(std::uint32_t P) {
    return static_cast<vcl::TColor>((P & 0xFF) << 16 | (P & 0xFF00) | (P >> 16 & 0xFF));
}
vcl::TColor CachePixelOf(TvlDialogWnd &A, int X, int Y) { return ColourOf(A.SkinData->CacheBmp()->View().At(X, Y)); }
vcl::TColor CapturedPixel(const uitest::TImage32 &I, int X, int Y) { return ColourOf(I.At(X, Y)); }

// The image of the last layered call for Window, as the recorder kept it.
uitest::TImage32 LastImageOf(HWND Window) {
    uitest::TImage32 image;
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(Window);
    if (calls.empty() || calls.back().Pixels.empty()) return image;
    image.Width = calls.back().Size.cx;
    image.Height = calls.back().Size.cy;
    image.Pixels = calls.back().Pixels;
    if (image.Pixels.size() != static_cast<std::size_t>(image.Width) * image.Height) return {};
    return image;
}

// The border window's image over a mid grey (its alpha is premultiplied)
// with the dialog's client area laid into its hole, as the user sees them.
void KeepBorderedPicture(TvlDialogWnd &A, uitest::TImage32 image, const std::string &Name) {
    const HWND border = A.BorderWindow();
    for (std::uint32_t &p : image.Pixels) {
        const std::uint32_t a = p >> 24, under = 0xA0 * (255 - a) / 255;
        const auto channel = [&](int Shift) { return std::min(255u, ((p >> Shift) & 0xFF) + under) << Shift; };
        p = 0xFF000000u | channel(16) | channel(8) | channel(0);
    }
    const uitest::TImage32 dialog = uitest::CaptureWindow(A.Handle);
    const vcl::TRect b = RectOf(border), d = RectOf(A.Handle), hole = A.BorderClientRect();
    for (int y = hole.Top; y < hole.Bottom && y < image.Height; ++y)
        for (int x = hole.Left; x < hole.Right && x < image.Width; ++x) {
            const int dx = x + b.Left - d.Left, dy = y + b.Top - d.Top;
            if (dx >= 0 && dy >= 0 && dx < dialog.Width && dy < dialog.Height)
                image.Pixels[static_cast<std::size_t>(y) * image.Width + x] = dialog.At(dx, dy);
        }
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), image);
}

// What one look at a bordered dialog found.
struct BorderLook {
    bool Bordered = false;     // an adapter with a visible border window
    bool Layered = false, OwnedByDialog = false;
    vcl::TRect Around{};       // the border window less the dialog, per side
    int FramePixels = 0, FrameMatches = 0;
    bool HoleOverClient = false, CaptionInRegion = false;
    bool DialogKeepsClient = false;  // the dialog's own region: its client area
    HWND Border = nullptr;
};

BorderLook LookAtBorder(HWND Window, const std::string &Picture) {
    BorderLook look;
    TvlDialogWnd *a = DialogAdapterOf(Window);
    if (!a || !a->BorderForm) return look;
    const HWND border = a->BorderWindow();
    look.Border = border;
    look.Bordered = border && IsWindowVisible(border);
    if (!look.Bordered) return look;
    look.Layered = (GetWindowLongPtrW(border, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    look.OwnedByDialog = reinterpret_cast<HWND>(GetWindowLongPtrW(border, GWLP_HWNDPARENT)) == Window;
    const vcl::TRect b = RectOf(border), d = RectOf(Window);
    look.Around = {d.Left - b.Left, d.Top - b.Top, b.Right - d.Right, b.Bottom - d.Bottom};
    // The frame as the border window shows it: the caption row under the
    // buttons' band, the left and right edges and the bottom edge.
    // The image the border window was last given (its own DC holds none).
    const uitest::TImage32 shown = LastImageOf(border);
    if (shown.Width == 0) return look;
    const vcl::TRect hole = a->BorderClientRect();
    const int midY = (hole.Top + hole.Bottom) / 2, midX = (hole.Left + hole.Right) / 2;
    const std::vector<vcl::TPoint> frame{{midX, (look.Around.Top + hole.Top) / 2},
                                         {hole.Left - 1, midY},
                                         {hole.Right, midY},
                                         {midX, hole.Bottom},
                                         {hole.Left + 30, hole.Top - 3}};
    for (const vcl::TPoint p : frame) {
        ++look.FramePixels;
        if (p.X < shown.Width && p.Y < shown.Height && CapturedPixel(shown, p.X, p.Y) == CachePixelOf(*a, p.X, p.Y))
            ++look.FrameMatches;
    }
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(border, region.Get()) != ERROR) {
        look.HoleOverClient = !PtInRegion(region.Get(), midX, midY) && !PtInRegion(region.Get(), hole.Left, hole.Top) &&
                              PtInRegion(region.Get(), hole.Left - 1, hole.Top);
        look.CaptionInRegion = PtInRegion(region.Get(), midX, (look.Around.Top + hole.Top) / 2) != 0;
    }
    const vcl::TRegionHandle own(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(Window, own.Get()) != ERROR) {
        POINT origin{0, 0};
        ClientToScreen(Window, &origin);
        RECT client{};
        GetClientRect(Window, &client);
        OffsetRect(&client, origin.x - d.Left, origin.y - d.Top);
        const vcl::TRegionHandle expected(CreateRectRgnIndirect(&client));
        look.DialogKeepsClient = EqualRgn(own.Get(), expected.Get()) != 0;
    }
    if (!Picture.empty()) KeepBorderedPicture(*a, shown, Picture);
    return look;
}

void ExpectBordered(const BorderLook &L, const vcl::TRect &Around) {
    EXPECT_TRUE(L.Bordered);
    EXPECT_TRUE(L.Layered);
    EXPECT_TRUE(L.OwnedByDialog);
    EXPECT_EQ(L.Around, Around);
    EXPECT_GT(L.FramePixels, 0);
    EXPECT_EQ(L.FrameMatches, L.FramePixels);
    EXPECT_TRUE(L.HoleOverClient);
    EXPECT_TRUE(L.CaptionInRegion);
    EXPECT_TRUE(L.DialogKeepsClient);
}

TEST_F(DialogBorder, AMessageBoxAndTheOpenDialogShowTheirFrameInABorderWindowThatGoesWithThem) {
    ASSERT_NE(M(), vcl::TRect{}) << "the skin gives shadow margins";
    std::vector<BorderLook> looks;
    std::vector<vcl::TRect> around;
    const auto look = [&](HWND W, const char *Picture) {
        around.push_back(SkinAround(*Manager, W));
        looks.push_back(LookAtBorder(W, Picture));
    };
    DialogVisitor box([&](HWND W) { look(W, "dialog-message-box-bordered.png"); });
    box.Run([] { MessageBoxW(nullptr, L"Okraj kolem", L"Zprava", MB_OKCANCEL | MB_ICONINFORMATION); });
    ASSERT_EQ(looks.size(), 1u);
    {
        SCOPED_TRACE("message box");
        ExpectBordered(looks[0], around[0]);
    }
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_FALSE(IsWindow(looks[0].Border));

    OpenFileArgs open;
    DialogVisitor dialog([&](HWND W) { look(W, "dialog-open-bordered.png"); }, 600);
    dialog.Run([&] { GetOpenFileNameW(&open.Ofn); });
    ASSERT_EQ(looks.size(), 2u);
    {
        SCOPED_TRACE("open");
        ExpectBordered(looks[1], around[1]);
    }
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_FALSE(IsWindow(looks[1].Border));
}

// The skin's caption and side border frame the dialog in its border
// window, the region's hole lies exactly over its client area, and its
// close answers and closes where it is drawn.
void ExpectSkinFrame(const TsSkinManager &Manager, const DialogTemplate &T, vcl::TColor Title) {
    const vcl::TRect margins = Manager.ExtBorderMargins;
    const auto M = [&] { return margins; };
    OwnDialog d(T);
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const HWND border = a->BorderWindow();
    ASSERT_TRUE(border && IsWindowVisible(border));
    a->UpdateBorder(true);
    const uitest::TImage32 shown = LastImageOf(border);
    ASSERT_GT(shown.Width, 0);
    const int caption = Manager.SkinData->TitleHeight, side = Manager.SkinData->BorderWidth;
    ASSERT_GT(caption, GetSystemMetrics(SM_CYCAPTION)) << "the skin's caption is taller than the system's";

    // The caption band, in the title's colour from the frame's top row down
    // to the client area, left of the title buttons.
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    ASSERT_FALSE(close.IsEmpty());
    int buttons = close.Left;
    for (const TvlDialogButton &b : a->Buttons)
        if (!b.Rect.IsEmpty()) buttons = std::min(buttons, static_cast<int>(b.Rect.Left));
    int first = -1, rows = 0;
    for (int y = 0; y < shown.Height; ++y) {
        if (CapturedPixel(shown, buttons - 3, y) != Title) continue;
        if (first < 0) first = y;
        ++rows;
    }
    EXPECT_EQ(first, M().Top);
    EXPECT_EQ(rows, caption);
    EXPECT_EQ(CapturedPixel(shown, M().Left + side, M().Top + caption), skin::test::DialogFace) << "the client's face";
    // The close button stands centred in that band, inside the side border.
    EXPECT_LE(std::abs((close.Top + close.Bottom) - (2 * M().Top + caption)), 1);
    EXPECT_LE(close.Right, shown.Width - M().Right - side + 2);

    // The border's region: everything but a hole exactly over the client area.
    const vcl::TRect b = RectOf(border);
    RECT client{};
    GetClientRect(d.Window, &client);
    POINT origin{0, 0};
    ClientToScreen(d.Window, &origin);
    EXPECT_EQ(origin.x - b.Left, M().Left + side);
    EXPECT_EQ(origin.y - b.Top, M().Top + caption);
    const vcl::TRegionHandle expected(CreateRectRgn(0, 0, b.Width(), b.Height()));
    const vcl::TRegionHandle hole(CreateRectRgn(origin.x - b.Left, origin.y - b.Top, origin.x - b.Left + client.right,
                                                origin.y - b.Top + client.bottom));
    CombineRgn(expected.Get(), expected.Get(), hole.Get(), RGN_DIFF);
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(border, region.Get()), ERROR);
    EXPECT_TRUE(EqualRgn(region.Get(), expected.Get()));

    // Over the drawn close the hit test answers it, and a real click closes.
    const vcl::TPoint at{b.Left + (close.Left + close.Right) / 2, b.Top + (close.Top + close.Bottom) / 2};
    EXPECT_EQ(WindowFromPoint({at.X, at.Y}), border);
    EXPECT_EQ(a->BorderForm->HitTest({WM_NCHITTEST, 0, MAKELPARAM(at.X, at.Y), 0}), HTCLOSE);
    const vcl::TPoint left{at.X - close.Width() - 2, at.Y};
    EXPECT_NE(a->BorderForm->HitTest({WM_NCHITTEST, 0, MAKELPARAM(left.X, left.Y), 0}), HTCLOSE);
    OwnDialogState::RefuseClose = false;
    MouseInput(0, at);
    Settle();
    MouseInput(MOUSEEVENTF_LEFTDOWN, at);
    Settle();
    MouseInput(MOUSEEVENTF_LEFTUP, at);
    uitest::PumpUntil([&] { return !IsWindow(d.Window); }, std::chrono::seconds(1));
    OwnDialogState::RefuseClose = true;
    EXPECT_EQ(OwnDialogState::SysCloses, 1);
    EXPECT_FALSE(IsWindow(d.Window));
}

TEST_F(DialogBorder, TheSkinsCaptionAndBordersFrameTheDialogAndItsCloseWorksWhereItIsDrawn) {
    {
        SCOPED_TRACE("fixed");
        ExpectSkinFrame(*Manager, FixedDialog(L"Mira"), skin::test::DialogTitle);
    }
    {
        SCOPED_TRACE("sizeable");
        ExpectSkinFrame(*Manager, SizeableDialog(), skin::test::FormTitle);
    }
}


TEST_F(DialogBorder, OurStoredSkinFramesAMessageBoxWithItsOwnCaptionAndBorders) {
    Manager.reset();
    Manager = NewManager();
    AddStoredSkin(*Manager, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    Manager->SetExtendedBorders(true);
    Manager->SetSkinName("Beryllo (internal)");
    Manager->Effects()->AllowAnimation = false;
    Manager->Effects()->AllowGlowing = false;
    ASSERT_EQ(Manager->SkinData->TitleHeight, 30);
    ASSERT_EQ(Manager->SkinData->BorderWidth, 4);
    int left = 0, top = 0, caption = 0;
    vcl::TRect around{};
    std::vector<BorderLook> looks;
    DialogVisitor box([&](HWND W) {
        TvlDialogWnd *a = DialogAdapterOf(W);
        if (!a) return;
        left = a->FrameLeftWidth() - a->ExtBorderMargins().Left;
        top = a->FrameTopHeight() - a->ExtBorderMargins().Top;
        caption = a->CaptionHeight();
        around = SkinAround(*Manager, W);
        looks.push_back(LookAtBorder(W, "dialog-message-box-bordered-stored-skin.png"));
    });
    box.Run([] { MessageBoxW(nullptr, L"Okraj kolem", L"Zprava", MB_OKCANCEL | MB_ICONINFORMATION); });
    ASSERT_EQ(looks.size(), 1u);
    EXPECT_EQ(caption, 30);
    EXPECT_EQ(left, 4);
    EXPECT_EQ(top, 30);
    ExpectBordered(looks[0], around);
}

TEST_F(DialogBorder, TheOptionTurnedOffGivesTheFrameBackToTheDialog) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->BorderForm);
    const HWND border = a->BorderWindow();
    ASSERT_TRUE(border && IsWindowVisible(border));
    EXPECT_EQ(a->FrameLeftWidth(), M().Left + Manager->SkinData->BorderWidth);
    EXPECT_EQ(a->FrameTopHeight(), M().Top + Manager->SkinData->TitleHeight);
    Manager->SetExtendedBorders(false);
    Settle();
    EXPECT_FALSE(a->BorderForm);
    EXPECT_FALSE(IsWindow(border));
    EXPECT_EQ(a->FrameLeftWidth(), a->BorderWidth());
    EXPECT_EQ(a->CaptionHeight(), GetSystemMetrics(SM_CYCAPTION));
    // The dialog's own frame shows the skin again, its cache the window's size.
    RECT r{};
    GetWindowRect(d.Window, &r);
    EXPECT_EQ(a->SkinData->CacheBmp()->Width(), r.right - r.left);
    EXPECT_EQ(FramePixel(d.Window, 1, (r.bottom - r.top) / 2), skin::test::DialogBorder);
    Manager->SetExtendedBorders(true);
    Settle();
    ASSERT_TRUE(a->BorderForm);
    EXPECT_TRUE(a->BorderWindow() && IsWindowVisible(a->BorderWindow()));
}

TEST_F(DialogBorder, UnderTheSkinsBorderShadowTheRegionReachesOnePixelFurtherUpAndDownAndIsNoted) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_TRUE(a && a->BorderForm);
    const auto box = [&] {
        const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
        RECT r{};
        if (GetWindowRgn(d.Window, region.Get()) != ERROR) GetRgnBox(region.Get(), &r);
        return r;
    };
    TvlStateOverride noted(AdaptersState().DialogRegionSet, false);
    TvlStateOverride shadow(Manager->SkinData->Shadow1Offset, 0);
    a->UpdateRegion(false);
    EXPECT_TRUE(AdaptersState().DialogRegionSet);
    const RECT plain = box();
    Manager->SkinData->Shadow1Offset = 1;
    a->UpdateRegion(false);
    const RECT shadowed = box();
    EXPECT_EQ(shadowed.left, plain.left);
    EXPECT_EQ(shadowed.right, plain.right);
    EXPECT_EQ(shadowed.top, plain.top - 1);
    EXPECT_EQ(shadowed.bottom, plain.bottom + 1);
}

TEST_F(DialogBorder, APressInTheSizingZoneSizesTheDialogAndOneFarInTheShadowReachesTheWindowBelow) {
    OwnDialog d(SizeableDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const HWND border = a->BorderWindow();
    ASSERT_TRUE(border && IsWindowVisible(border));
    const vcl::TRect before = RectOf(d.Window);
    const int zone = SizingZoneWidth(a->BorderForm->SkinValues());
    ASSERT_GE(M().Right, zone + 1) << "a shadow beyond the sizing zone";

    // Two pixels out from the dialog's right edge: the sizing zone.
    const vcl::TPoint right{before.Right + 2, (before.Top + before.Bottom) / 2};
    ASSERT_EQ(WindowFromPoint({right.X, right.Y}), border);
    EXPECT_EQ(a->BorderForm->HitTest({WM_NCHITTEST, 0, MAKELPARAM(right.X, right.Y), 0}), HTRIGHT);
    ASSERT_TRUE(DragFrom(right, 40, 0));
    const vcl::TRect after = RectOf(d.Window);
    EXPECT_EQ(after.Left, before.Left);
    EXPECT_GE(after.Width(), before.Width() + 30) << after.Width() << " from " << before.Width();
    // The border followed with the dialog's new frame.
    const vcl::TRect around = SkinAround(*Manager, d.Window);
    EXPECT_EQ(RectOf(border).Right, after.Right + around.Right);
    EXPECT_EQ(a->SkinData->CacheBmp()->Width(), after.Width() + around.Left + around.Right);

    // A window under the border's left shadow hears a press there.
    static int presses = 0;
    presses = 0;
    const vcl::TRect now = RectOf(border);
    HWND below = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, now.Left - 60,
                                 now.Top + 20, 120, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    static WNDPROC previous = nullptr;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        below, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND W, UINT Msg, WPARAM WP, LPARAM LP) -> LRESULT {
            if (Msg == WM_LBUTTONDOWN) ++presses;
            if (Msg == WM_NCHITTEST) return HTCLIENT;
            return CallWindowProcW(previous, W, Msg, WP, LP);
        })));
    SetWindowPos(below, d.Window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(border, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const vcl::TPoint shadow{now.Left + M().Left - zone - 1, now.Top + 40};
    ASSERT_EQ(WindowFromPoint({shadow.X, shadow.Y}), border) << "the border lies over the window below";
    SetCursorPos(shadow.X, shadow.Y);
    INPUT still{};
    still.type = INPUT_MOUSE;
    still.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &still, sizeof still);
    Settle();
    EXPECT_EQ(WindowFromPoint({shadow.X, shadow.Y}), below);
    MouseButton(true);
    MouseButton(false);
    Settle();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(RectOf(d.Window), after) << "the dialog was not sized from the shadow";
    DestroyWindow(below);
}

TEST_F(DialogBorder, ASizeChangeRendersTheBorderOnlyForANewSizeAndNotWhileTheDialogUpdates) {
    OwnDialog d(SizeableDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const HWND border = a->BorderWindow();
    ASSERT_TRUE(border && IsWindowVisible(border));
    const auto updates = [&] { return LayeredRecorder::AlphasOf(border).size(); };
    const auto updating = [&] { return SendSkinCommand(d.Window, SC_IS_UPDATING, 0); };
    const auto resize = [&](int Grow, UINT Flags) {
        const vcl::TRect r = RectOf(d.Window);
        SetWindowPos(d.Window, nullptr, 0, 0, r.Width() + Grow, r.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | Flags);
    };
    // A size message of the size the frame has: nothing is rendered again.
    RECT cr{};
    GetClientRect(d.Window, &cr);
    std::size_t before = updates();
    SendMessageW(d.Window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.right, cr.bottom));
    EXPECT_EQ(updates(), before);
    // While the dialog updates, a new size leaves the border and the state
    // alone (the paint that comes later ends the update).
    SendMessageW(d.Window, SM_SKINCOMMAND, SkinCommand(SC_SET_UPDATING, 1), 0);
    ASSERT_EQ(updating(), 1);
    before = updates();
    resize(30, SWP_NOREDRAW);
    EXPECT_EQ(updates(), before);
    EXPECT_EQ(updating(), 1);
    SendMessageW(d.Window, SM_SKINCOMMAND, SkinCommand(SC_SET_UPDATING), 0);
    // Otherwise the border takes the new frame and stays right over the dialog.
    resize(20, 0);
    Settle();
    const vcl::TRect now = RectOf(d.Window), around = SkinAround(*Manager, d.Window);
    EXPECT_EQ(RectOf(border).Right, now.Right + around.Right);
    EXPECT_EQ(a->SkinData->CacheBmp()->Width(), now.Width() + around.Left + around.Right);
    EXPECT_EQ(GetWindow(border, GW_HWNDNEXT), d.Window);
}

// The dialog's own procedure turns the extended borders off as the dialog
// is placed behind its border window after a new size: the size goes on
// without a border, touching none, and the frame is the dialog's own again.
struct BordersOffOnPlacement {
    static inline TsSkinManager *Manager = nullptr;
    // 1: a size to come, 2: a placement behind the border to come, 3: the borders went off
    static inline int Stage = 0;
    static INT_PTR CALLBACK Proc(HWND, UINT Msg, WPARAM, LPARAM LParam) {
        if (Msg == WM_SIZE && Stage == 1) Stage = 2;
        // The placement behind the border window: a new rank alone.
        const auto *pos = reinterpret_cast<const WINDOWPOS *>(LParam);
        if (Msg == WM_WINDOWPOSCHANGED && Stage == 2 && (pos->flags & SWP_NOSIZE) && (pos->flags & SWP_NOMOVE)) {
            Stage = 3;
            Manager->SetExtendedBorders(false);
        }
        return Msg == WM_INITDIALOG;
    }
};
TEST_F(DialogBorder, ADialogWhoseProcedureTurnsTheBordersOffWhileItIsSizedGoesOnWithoutThem) {
    int &stage = BordersOffOnPlacement::Stage;
    BordersOffOnPlacement::Manager = Manager.get();
    stage = 0;
    const DialogTemplate t = SizeableDialog();
    const HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, BordersOffOnPlacement::Proc, 0);
    ASSERT_NE(w, nullptr);
    ShowWindow(w, SW_SHOW);
    Settle();
    TvlDialogWnd *a = DialogAdapterOf(w);
    ASSERT_TRUE(a && a->BorderWindow());
    // A window of the dialog's own between it and its border: placed behind
    // the border, the dialog changes its rank.
    const HWND own = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                     10, 10, w, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowPos(own, a->BorderWindow(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const vcl::TRect r = RectOf(w);
    {
        // The system swallows a fault in a window procedure: counted here.
        const TFreedMemoryMark mark;
        stage = 1;
        SetWindowPos(w, nullptr, 0, 0, r.Width() + 30, r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle();
        EXPECT_EQ(mark.Faults(), 0) << mark.FirstFaultAddress();
    }
    EXPECT_EQ(stage, 3);
    ASSERT_EQ(DialogAdapterOf(w), a);
    EXPECT_FALSE(a->BorderForm);
    EXPECT_EQ(a->SkinData->CacheBmp()->Width(), RectOf(w).Width());
    EXPECT_EQ(FramePixel(w, 1, r.Height() / 2), skin::test::DialogBorder);
    DestroyWindow(w);
}

// The same as a caption press starts a blended move, which places the
// dialog behind its border: no move starts without a border, and the
// dialog stays opaque where it is.
TEST_F(DialogBorder, ADialogWhoseProcedureTurnsTheBordersOffAsABlendedMoveStartsStaysWhereItIs) {
    Manager->AnimEffects()->BlendOnMoving->Active = true;
    Manager->AnimEffects()->BlendOnMoving->BlendValue = 150;
    int &stage = BordersOffOnPlacement::Stage;
    BordersOffOnPlacement::Manager = Manager.get();
    stage = 0;
    const DialogTemplate t = FixedDialog();
    const HWND w = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, BordersOffOnPlacement::Proc, 0);
    ASSERT_NE(w, nullptr);
    ShowWindow(w, SW_SHOW);
    Settle();
    TvlDialogWnd *a = DialogAdapterOf(w);
    ASSERT_TRUE(a && a->BorderWindow());
    const vcl::TRect r = RectOf(w);
    {
        const TFreedMemoryMark mark;
        stage = 2;
        SendMessageW(w, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.Left + 60, r.Top + a->BorderWidth() + 6));
        Settle();
        EXPECT_EQ(mark.Faults(), 0) << mark.FirstFaultAddress();
    }
    EXPECT_EQ(stage, 3);
    ASSERT_EQ(DialogAdapterOf(w), a);
    EXPECT_FALSE(a->BorderForm);
    EXPECT_EQ(RectOf(w), r);
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(a->StateFlags & 0x80, 0u);
    EXPECT_EQ(a->MoveTimer, nullptr);
    DestroyWindow(w);
}

// A skin whose border image reaches no further than the frame, and a
// dialog narrower than the cut corners of its frame: the corners go into
// the frame's image and nowhere beside it.
TEST_F(DialogBorder, ADialogNarrowerThanItsFrameCornersUnderABorderWithoutMarginsKeepsToItsImage) {
    TestSkin skin;
    skin.Options = DialogSkinOptions();
    const std::string global = "[GLOBALINFO]\r\n";
    skin.Options.insert(global.size(), "FORMOFFSET=1\r\nEXBORDER=^0112,0030,0142,0060,0001,0001,0001,0001,1,0,0,0\r\n");
    skin.Files = {{"MASTER.BMP", DialogMaster()}};
    AddStoredSkin(*Manager, "Tight", skin.Packed());
    Manager->SetSkinName("Tight");
    ASSERT_EQ(M(), vcl::TRect{});
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_TRUE(a && a->BorderWindow());
    const vcl::TRect r = RectOf(d.Window);
    // The frame a pixel or two wide: the skin's side border beyond the window's counted.
    const int excess = a->BorderSideExcess(), width = std::max(0, 1 - 2 * excess);
    {
        // A write beside the image faults where no memory lies: counted here.
        const TFreedMemoryMark mark;
        SetWindowPos(d.Window, nullptr, 0, 0, width, r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Settle();
        EXPECT_EQ(mark.Faults(), 0) << mark.FirstFaultAddress();
    }
    EXPECT_LT(a->SkinData->CacheBmp()->Width(), 3) << "the frame is narrower than its corners";
}

TEST_F(DialogBorder, ACaptionDragMovesTheBorderTranslucentAndTheDialogJoinsItWhereItEnds) {
    const uitest::TFullWindowDrag fullDrag;
    Manager->AnimEffects()->BlendOnMoving->Active = true;
    Manager->AnimEffects()->BlendOnMoving->BlendValue = 150;
    OwnDialog d(FixedDialog(L"Tazeni s okrajem"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const HWND border = a->BorderWindow();
    ASSERT_TRUE(border);
    const vcl::TRect before = RectOf(d.Window);
    const vcl::TPoint grip{before.Left + a->BorderWidth() + 60, before.Top + a->BorderWidth() + 6};
    ASSERT_EQ(WindowFromPoint({grip.X, grip.Y}), border);
    LayeredRecorder recorder;
    EXPECT_TRUE(DragFrom(grip, 60, 30));
    const vcl::TRect after = RectOf(d.Window);
    EXPECT_EQ(after.Left - before.Left, 60);
    EXPECT_EQ(after.Top - before.Top, 30);
    // The border window travelled at a falling alpha and ended opaque.
    const std::vector<int> alphas = LayeredRecorder::AlphasOf(border);
    ASSERT_GE(alphas.size(), 3u);
    EXPECT_LT(*std::min_element(alphas.begin(), alphas.end()), 255);
    EXPECT_GE(*std::min_element(alphas.begin(), alphas.end()), 150);
    EXPECT_EQ(alphas.back(), 255);
    // The dialog hid under it and joined it: opaque, not layered, the border around it with its hole again.
    EXPECT_FALSE(GetWindowLongPtrW(d.Window, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(a->StateFlags & 0x80, 0u);
    EXPECT_EQ(a->MoveTimer, nullptr);
    const vcl::TRect b = RectOf(border);
    EXPECT_EQ(vcl::TRect(after.Left - b.Left, after.Top - b.Top, b.Right - after.Right, b.Bottom - after.Bottom),
              SkinAround(*Manager, d.Window));
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(border, region.Get()), ERROR);
    const vcl::TRect hole = a->BorderClientRect();
    EXPECT_FALSE(PtInRegion(region.Get(), (hole.Left + hole.Right) / 2, (hole.Top + hole.Bottom) / 2));
}

TEST_F(DialogBorder, TheShowAndHideAnimationsPlayTheImageWhereTheBorderStands) {
    Manager->Effects()->AllowAnimation = true;
    Manager->AnimEffects()->DialogShow->Time = 100;
    Manager->AnimEffects()->DialogHide->Time = 100;
    LayeredRecorder recorder;
    vcl::TRect box{}, around{};
    DialogVisitor visitor([&](HWND W) {
        box = RectOf(W);
        around = SkinAround(*Manager, W);
    });
    visitor.Run([] { MessageBoxW(nullptr, L"Plynule s okrajem", L"Zprava", MB_OKCANCEL); });
    uitest::PumpUntil([] { return DialogProviderCount() == 0 && (!HideTimer() || !HideTimer()->Window()); },
                      std::chrono::seconds(2));
    ASSERT_FALSE(box.IsEmpty());
    // Every call of a window as large as the box and its margins: the
    // animations' windows and the border's; each stood where the border does.
    const int w = box.Width() + around.Left + around.Right, h = box.Height() + around.Top + around.Bottom;
    int calls = 0, placed = 0;
    for (const LayeredCall &c : LayeredRecorder::Calls) {
        if (c.Size.cx != w || c.Size.cy != h || c.WindowRect.right - c.WindowRect.left != w) continue;
        ++calls;
        placed += c.WindowRect.left == box.Left - around.Left && c.WindowRect.top == box.Top - around.Top;
    }
    EXPECT_EQ(LayeredRecorder::Windows().size(), 1u) << "the border window plays the show and the hide";
    EXPECT_GE(calls, 10);
    EXPECT_EQ(placed, calls);
}

// A dialog that may not close (its class forbids it): over its greyed
// close the border answers nowhere, so a press there neither closes nor
// drags it; the caption beside still drags.
TEST_F(DialogBorder, OverADisabledCloseTheBorderAnswersNowhereAndAPressMovesNothing) {
    const uitest::TFullWindowDrag fullDrag;
    OwnDialog d(FixedDialog(L"Nezavre"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_TRUE(a && a->BorderWindow());
    const ULONG_PTR classStyle = GetClassLongPtrW(d.Window, GCL_STYLE);
    SetClassLongPtrW(d.Window, GCL_STYLE, static_cast<LONG_PTR>(classStyle | CS_NOCLOSE));
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect, b = RectOf(a->BorderWindow());
    const vcl::TPoint over{b.Left + (close.Left + close.Right) / 2, b.Top + (close.Top + close.Bottom) / 2};
    const vcl::TPoint beside{over.X - close.Width() - 30, over.Y};
    const auto hit = [&](vcl::TPoint P) { return a->BorderForm->HitTest({WM_NCHITTEST, 0, MAKELPARAM(P.X, P.Y), 0}); };
    EXPECT_EQ(hit(over), HTNOWHERE);
    EXPECT_EQ(hit(beside), HTCAPTION);
    const vcl::TRect before = RectOf(d.Window);
    EXPECT_TRUE(DragFrom(over, 40, 30));
    const vcl::TRect pressed = RectOf(d.Window);
    EXPECT_TRUE(DragFrom(beside, 40, 30));
    const vcl::TRect dragged = RectOf(d.Window);
    SetClassLongPtrW(d.Window, GCL_STYLE, static_cast<LONG_PTR>(classStyle));
    EXPECT_EQ(pressed, before);
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    EXPECT_EQ(dragged.Left - before.Left, 40);
}

// The border window takes no keys: a focus that reaches it goes on to the
// dialog, which gives it to its control, and the dialog stays active.
TEST_F(DialogBorder, TheFocusGivenToTheBorderGoesOnToTheDialogsControl) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_TRUE(a && a->BorderWindow());
    const HWND ok = GetDlgItem(d.Window, IDOK);
    ASSERT_EQ(GetFocus(), ok);
    SetFocus(a->BorderWindow());
    Settle();
    EXPECT_EQ(GetFocus(), ok);
    EXPECT_EQ(GetActiveWindow(), d.Window);
}

// The closing look: with the hide animation on, Cancel or Yes takes the
// dialog's look, its children with it, for the hide to play (over it a
// cover, or with a border the border window closed over the client). A
// dialog that stays after the command gets its cover back: the next click
// reaches it.
struct DialogClosing : DialogsFixture {
    DialogClosing() {
        SetCursorPos(2, 2);
        Manager->Effects()->AllowAnimation = true;
        Manager->AnimEffects()->DialogHide->Time = 100;
        Manager->AnimEffects()->DialogHide->Mode = atFading;
    }
};

TEST_F(DialogClosing, ADialogThatStaysAfterYesTakesClicksAndOneThatClosesHidesWithItsChildren) {
    {
        // What the first hide makes and keeps for the next is not counted.
        OwnDialog first(FixedDialog(L"Prvni"));
        PostMessageW(first.Window, WM_COMMAND, IDCANCEL, 0);
        uitest::PumpUntil([&] { return !IsWindow(first.Window); }, std::chrono::seconds(1));
        uitest::PumpUntil([] { return !HideTimer() || !HideTimer()->Window(); }, std::chrono::seconds(1));
    }
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (const bool bordered : {false, true}) {
        SCOPED_TRACE(bordered ? "bordered" : "plain");
        Manager->SetExtendedBorders(bordered);
        OwnDialog d(FixedDialog(L"Zavirani"));
        TvlDialogWnd *a = d.Adapter();
        ASSERT_NE(a, nullptr);
        ASSERT_EQ(a->BorderWindow() != nullptr, bordered);
        const HWND ok = GetDlgItem(d.Window, IDOK);
        const vcl::TRect r = RectOf(ok);
        const POINT centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ASSERT_EQ(WindowFromPoint(centre), ok);
        const vcl::TRect w = RectOf(d.Window);
        const vcl::TPoint origin = a->FrameOrigin();
        const vcl::TSize size{a->SkinData->CacheBmp()->Width(), a->SkinData->CacheBmp()->Height()};
        const HWND border = a->BorderWindow();
        // The frame image's calls (the border's, or else the hide's): how many, and how many show the button.
        const auto images = [&](bool OfBorder, bool Any = false) {
            std::pair<int, int> n{0, 0};
            for (const LayeredCall &c : LayeredRecorder::Calls) {
                if ((!Any && (c.Window == border) != OfBorder) || c.Size.cx != size.cx || c.Size.cy != size.cy ||
                    c.Pixels.empty())
                    continue;
                ++n.first;
                const std::size_t at =
                    static_cast<std::size_t>(centre.y - w.Top + origin.Y) * static_cast<std::size_t>(size.cx) +
                    static_cast<std::size_t>(centre.x - w.Left + origin.X);
                n.second += ColourOf(c.Pixels[at]) != skin::test::DialogFace;
            }
            return n;
        };
        // Our dialog ignores Yes: it stays, and its button is under the mouse again.
        {
            LayeredRecorder recorder(LayeredRecorder::Forward, true);
            SendMessageW(d.Window, WM_COMMAND, IDYES, 0);
            // A border showed the whole look meanwhile, and then the frame with its hole again.
            if (bordered) EXPECT_GE(images(true).second, 1);
        }
        EXPECT_TRUE(IsWindowVisible(d.Window));
        EXPECT_FALSE(a->SnapshotForm);
        EXPECT_EQ(WindowFromPoint(centre), ok);
        if (bordered) {
            const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
            EXPECT_NE(GetWindowRgn(a->BorderWindow(), region.Get()), ERROR) << "the border has its hole again";
        }
        // Cancel ends it: the hide plays the look with the button in it.
        LayeredRecorder recorder(LayeredRecorder::Forward, true);
        PostMessageW(d.Window, WM_COMMAND, IDCANCEL, 0);
        uitest::PumpUntil([&] { return !IsWindow(d.Window); }, std::chrono::seconds(1));
        ASSERT_FALSE(IsWindow(d.Window));
        const auto [calls, shownButton] = images(false, true);
        EXPECT_GT(calls, 0);
        EXPECT_EQ(shownButton, calls);
        // A border window plays the hide itself: all the hide's frames are its.
        if (bordered) EXPECT_EQ(images(true).first, calls);
        uitest::PumpUntil([] { return !HideTimer() || !HideTimer()->Window(); }, std::chrono::seconds(1));
    }
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    Manager->SetExtendedBorders(false);  // the manager's border images go with it
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// A bordered dialog shown again (its border window went with the hide, its
// border form stayed) fades in with its shadow as the first time: only the
// client part of the image opaque, the margins as the shadow gives them.
TEST_F(DialogBorder, ABorderedDialogShownAgainFadesInWithItsShadowAsTheFirstTime) {
    Manager->Effects()->AllowAnimation = true;
    Manager->AnimEffects()->DialogShow->Time = 100;
    OwnDialog d(FixedDialog(L"Znovu"), nullptr, false);
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    std::vector<std::uint32_t> corners;
    for (int shown = 0; shown < 2; ++shown) {
        LayeredRecorder recorder(LayeredRecorder::Forward, true);
        ShowWindow(d.Window, SW_SHOW);
        Settle();
        ASSERT_TRUE(a->BorderWindow());
        const vcl::TSize size{a->SkinData->CacheBmp()->Width(), a->SkinData->CacheBmp()->Height()};
        std::uint32_t alpha = 0;
        for (const LayeredCall &c : LayeredRecorder::Calls)
            if (c.Window != a->BorderWindow() && c.Size.cx == size.cx && c.Size.cy == size.cy && !c.Pixels.empty())
                alpha = std::max(alpha, c.Pixels[0] >> 24);
        corners.push_back(alpha);
        ShowWindow(d.Window, SW_HIDE);
        Settle();
        ASSERT_TRUE(a->BorderForm) << "the border form outlives the hide";
        EXPECT_FALSE(a->BorderWindow());
    }
    EXPECT_LT(corners[0], 255u);
    EXPECT_EQ(corners[1], corners[0]);
}

// Count message boxes shown one after the other: Counts tells each shown
// box's adapter's way; the live handles and the providers come back to
// where they were after the first box.
int BoxesShown(int Count, bool (*Counts)(TvlDialogWnd &)) {
    DialogVisitor first(nullptr, 0);
    first.Run([] { MessageBoxW(nullptr, L"Mnoho", L"Zprava", MB_OK); });
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    const vcl::THandleCounts before = vcl::LiveHandles();
    int counted = 0;
    DialogVisitor counting([&](HWND W) { counted += DialogAdapterOf(W) && Counts(*DialogAdapterOf(W)); }, 0);
    for (int i = 0; i < Count; ++i) counting.Run([] { MessageBoxW(nullptr, L"Mnoho", L"Zprava", MB_OK); });
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(DialogProviderCount(), 0);
    EXPECT_EQ(HookedDialogCount(), 0u);
    return counted;
}

TEST_F(DialogBorder, AHundredBorderedBoxesLeaveNothingBehind) {
    EXPECT_EQ(BoxesShown(100, [](TvlDialogWnd &A) { return A.BorderWindow() != nullptr; }), 100);
}

// ------------------------------------------------------ border mode 1

// Our stored skin asking for its own border image (border mode 1): the
// margins are that image in nine parts, the frame the dialog section's
// face (the caption band too: the title section is not drawn), the
// caption's icon, text and buttons drawn over it and opaque.
struct DialogBorderModeOne : DialogsFixture {
    DialogBorderModeOne() {
        SetCursorPos(2, 2);
        Manager.reset();
        Manager = NewManager();
        Manager->SetSkinDirectory(Skin.Dir.Path());
        Manager->SetExtendedBorders(true);
        Manager->SetSkinName("Mode1");
        Manager->Effects()->AllowAnimation = false;
        Manager->Effects()->AllowGlowing = false;
    }
    ModeOneSkin Skin;
    LayeredRecorder Recorder{LayeredRecorder::Forward, true};
};

std::uint32_t Premultiplied(std::uint32_t P) {
    const std::uint32_t a = P >> 24;
    const auto channel = [&](int Shift) { return (((P >> Shift) & 0xFF) * a / 255) << Shift; };
    return (a << 24) | channel(16) | channel(8) | channel(0);
}

TEST_F(DialogBorderModeOne, AMessageBoxShowsTheFaceUnderTheSkinsBorderImageWithItsCaptionOnTop) {
    ASSERT_EQ(Manager->SkinData->BorderMode, 1);
    const vcl::TRect m = Manager->ExtBorderMargins;
    ASSERT_NE(m, vcl::TRect{});
    bool maskMode = false;
    uitest::TImage32 shown;
    BorderLook look;
    vcl::TRect around{}, close{}, text{};
    int caption = 0, titleIndex = -1;
    DialogVisitor box([&](HWND W) {
        TvlDialogWnd *a = DialogAdapterOf(W);
        if (!a || !a->BorderForm) return;
        maskMode = a->BorderMaskMode();
        around = SkinAround(*Manager, W);
        look = LookAtBorder(W, "dialog-message-box-mode1.png");
        shown = LastImageOf(a->BorderWindow());
        close = a->ButtonByCode(HTCLOSE)->Rect;
        caption = a->CaptionHeight();
        titleIndex = a->TitleSection;
        text = {a->IconRect().Right + 4, m.Top, close.Left - 6, a->FrameTopHeight()};
    });
    box.Run([] { MessageBoxW(nullptr, L"Okraj kolem", L"Zprava", MB_OKCANCEL | MB_ICONINFORMATION); });
    ASSERT_TRUE(maskMode);
    ExpectBordered(look, around);
    ASSERT_GT(shown.Width, 0);
    const int w = shown.Width, h = shown.Height;

    // The margins: the active border image, corners as they are, sides stretched.
    const vcl::TBitmapView image = Manager->ExtBorderImages[1]->View();
    const int slice = (image.Width - 1) / 2;
    for (const vcl::TPoint p : {vcl::TPoint{0, 0}, {4, 7}, {m.Left - 1, m.Top - 1}})
        EXPECT_EQ(shown.At(p.X, p.Y), Premultiplied(image.At(p.X, p.Y))) << p.X << "," << p.Y;
    EXPECT_EQ(shown.At(w - 1, h - 1), Premultiplied(image.At(image.Width - 1, image.Height - 1)));
    EXPECT_EQ(shown.At(3, h / 2), Premultiplied(image.At(3, slice))) << "the left side, stretched";

    // The frame: the dialog's face, opaque, in the caption band as on the
    // sides and bottom; the title section's own colour nowhere in the band.
    const std::uint32_t face = shown.At(m.Left + 1, h / 2);
    EXPECT_EQ(face >> 24, 255u);
    EXPECT_EQ(shown.At(w / 2, h - m.Bottom - 2), face) << "the bottom frame";
    EXPECT_EQ(shown.At(w - m.Right - 2, h / 2), face) << "the right frame";
    ASSERT_TRUE(Manager->IsValidSectionIndex(titleIndex));
    const vcl::TColor title = vcl::ColorToRGB(Manager->Sections[static_cast<std::size_t>(titleIndex)].Props[1].Color);
    ASSERT_NE(ColourOf(face), title);
    int titled = 0;
    for (int y = m.Top; y < m.Top + caption; ++y)
        for (int x = m.Left + 1; x < close.Left; ++x) titled += ColourOf(shown.At(x, y)) == title;
    EXPECT_EQ(titled, 0);
    for (int y = m.Top; y < m.Top + 3; ++y)
        for (int x = m.Left + 1; x < close.Left - 4; x += 5) EXPECT_EQ(shown.At(x, y), face) << x << "," << y;

    // The caption's text and the close drawn over it, every pixel opaque.
    int written = 0, clear = 0;
    for (int y = text.Top; y < text.Bottom; ++y)
        for (int x = text.Left; x < text.Right; ++x) {
            written += shown.At(x, y) != face;
            clear += (shown.At(x, y) >> 24) != 255;
        }
    EXPECT_GT(written, 20) << "the caption text";
    EXPECT_EQ(clear, 0);
    int closeDrawn = 0;
    for (int y = close.Top; y < close.Bottom; ++y)
        for (int x = close.Left; x < close.Right; ++x) {
            closeDrawn += shown.At(x, y) != face;
            clear += (shown.At(x, y) >> 24) != 255;
        }
    EXPECT_GT(closeDrawn, 0);
    EXPECT_EQ(clear, 0);
    // The close sits centred in the caption, the skin's centre offset lower.
    EXPECT_LE(std::abs((close.Top + close.Bottom) - (2 * m.Top + caption + 2 * ModeOneSkin::CentreOffset)), 1);
}

TEST_F(DialogBorderModeOne, ManyBoxesLeaveNothingBehind) {
    EXPECT_EQ(BoxesShown(30, [](TvlDialogWnd &A) { return A.BorderMaskMode(); }), 30);
}

// ---------------------------------------------------------------- fades

struct DialogFade : DialogsFixture {
    DialogFade() {
        SetCursorPos(2, 2);
        Manager->Effects()->AllowGlowing = true;
        Manager->Effects()->AllowAnimation = true;
    }
    static TvlSBAnimation *FadeOf(TvlDialogWnd *A) { return A->ButtonByCode(HTCLOSE)->Animation; }
    static HWND LayerOf(TvlDialogWnd *A) {
        TvlSBAnimation *f = FadeOf(A);
        return f && f->LayerForm() ? f->LayerForm()->WindowHandle() : nullptr;
    }
    static void CursorOnClose(TvlDialogWnd *A, HWND Measured) {
        const vcl::TRect r = A->ButtonByCode(HTCLOSE)->Rect;
        const vcl::TRect w = RectOf(Measured);
        SetCursorPos(w.Left + (r.Left + r.Right) / 2, w.Top + (r.Top + r.Bottom) / 2);
    }
    static void Tick(TvlDialogWnd *A) {
        for (int i = 0; i < 40 && FadeOf(A) && FadeOf(A)->Enabled(); ++i) FadeOf(A)->TimerProc(nullptr);
    }
};

TEST_F(DialogFade, AHotCloseFadesInOverTheButtonAndOutAgainWhileTheFrameStaysNormal) {
    OwnDialog d(FixedDialog(L"Prechod"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->ButtonFades());
    CursorOnClose(a, d.Window);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    const vcl::TColor normal = CachePixelOf(*a, close.Left + 2, close.Top + 2);
    LayeredRecorder recorder;
    a->SetHotButton(HTCLOSE, true);
    const HWND layer = LayerOf(a);
    ASSERT_TRUE(layer);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), std::vector<int>{25});
    Tick(a);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    // The layer lies on the button, right above the dialog; it shows the hot look.
    const vcl::TRect l = RectOf(layer), w = RectOf(d.Window);
    EXPECT_EQ(l.Left - w.Left, close.Left);
    EXPECT_EQ(l.Top - w.Top, close.Top);
    EXPECT_EQ(ShownBelow(layer), d.Window);
    ASSERT_FALSE(LayeredRecorder::Calls.empty());
    EXPECT_EQ(CachePixelOf(*a, close.Left + 2, close.Top + 2), normal);

    LayeredRecorder out;
    a->SetHotButton(0, true);
    Tick(a);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer), (std::vector<int>{250, 225, 200, 175, 150, 125, 100, 75, 50, 25}));
    EXPECT_FALSE(IsWindow(layer));

    // A press shows its look at once, a picture of its own.
    LayeredRecorder pressed(LayeredRecorder::Forward, true);
    a->SetHotButton(HTCLOSE, true);
    Tick(a);
    const std::uint32_t hot = LayeredRecorder::Calls.back().Digest;
    a->SetPressedButton(HTCLOSE);
    EXPECT_EQ(LayeredRecorder::Calls.back().Alpha, 255);
    EXPECT_NE(LayeredRecorder::Calls.back().Digest, hot);
    const std::vector<std::uint32_t> &look = LayeredRecorder::Calls.back().Pixels;
    ASSERT_FALSE(look.empty());
    EXPECT_EQ(ColourOf(look[2 * static_cast<std::size_t>(close.Width()) + 2]), CloseColors.Pressed);
    a->TitleButtonPressed = false;
}

// The fade runs its ten steps whether or not the manager animates otherwise.
TEST_F(DialogFade, TheHotAndNormalFadesRunTenStepsWithoutTheAnimationOption) {
    Manager->Effects()->AllowAnimation = false;
    OwnDialog d(FixedDialog(L"Bez animaci"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_TRUE(a && a->ButtonFades());
    CursorOnClose(a, d.Window);
    LayeredRecorder recorder;
    a->SetHotButton(HTCLOSE, true);
    const HWND layer = LayerOf(a);
    ASSERT_TRUE(layer);
    Tick(a);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer).size(), 10u);
    LayeredRecorder out;
    a->SetHotButton(0, true);
    Tick(a);
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer).size(), 10u);
}

TEST_F(DialogFade, FadesGoOnTheVisibilityMessageOnHidingAndWithTheDialog) {
    auto d = std::make_unique<OwnDialog>(FixedDialog(L"Uklid"));
    TvlDialogWnd *a = d->Adapter();
    ASSERT_NE(a, nullptr);
    CursorOnClose(a, d->Window);
    a->SetHotButton(HTCLOSE, true);
    HWND layer = LayerOf(a);
    ASSERT_TRUE(layer);
    SendMessageW(d->Window, vcl::CM_VISIBLECHANGED, 1, 0);
    EXPECT_EQ(LayerOf(a), layer) << "shown again: the fade stays";
    SendMessageW(d->Window, vcl::CM_VISIBLECHANGED, 0, 0);
    EXPECT_EQ(FadeOf(a), nullptr);
    EXPECT_FALSE(IsWindow(layer));

    a->SetHotButton(0, true);
    a->SetHotButton(HTCLOSE, true);
    layer = LayerOf(a);
    ASSERT_TRUE(layer);
    ShowWindow(d->Window, SW_HIDE);
    EXPECT_EQ(FadeOf(a), nullptr);
    EXPECT_FALSE(IsWindow(layer));
    ShowWindow(d->Window, SW_SHOW);
    Settle();

    a->SetHotButton(0, true);
    CursorOnClose(a, d->Window);
    a->SetHotButton(HTCLOSE, true);
    layer = LayerOf(a);
    ASSERT_TRUE(layer);
    const vcl::THandleCounts before = vcl::LiveHandles();
    d.reset();
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_FALSE(IsWindow(layer));
    EXPECT_LE(vcl::LiveHandles().Windows, before.Windows - 2) << "the dialog and the layer";
}

TEST_F(DialogFade, WithABorderTheLayerStandsOnTheBorderWindowsButton) {
    Manager->SetExtendedBorders(true);
    OwnDialog d(FixedDialog(L"Okraj"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const HWND border = a->BorderWindow();
    ASSERT_TRUE(border);
    CursorOnClose(a, border);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    // The border window's own mouse test makes the close hot, through the dialog.
    const vcl::TRect b = RectOf(border);
    const LPARAM at = MAKELPARAM(b.Left + close.Left + 3, b.Top + close.Top + 3);
    EXPECT_EQ(a->BorderForm->HitTest({WM_NCHITTEST, 0, at, 0}), HTCLOSE);
    LayeredRecorder recorder;
    SendMessageW(border, WM_NCMOUSEMOVE, htBorderWindow, at);
    EXPECT_EQ(a->HotButton, HTCLOSE);
    const HWND layer = LayerOf(a);
    ASSERT_TRUE(layer);
    Tick(a);
    const vcl::TRect l = RectOf(layer);
    EXPECT_EQ(l.Left - b.Left, close.Left);
    EXPECT_EQ(l.Top - b.Top, close.Top);
    EXPECT_EQ(ShownBelow(layer), border) << "above the border window, which shows the caption";
    EXPECT_EQ(LayeredRecorder::AlphasOf(layer).back(), 255);
    // Switching the border off takes the fade along.
    Manager->SetExtendedBorders(false);
    Settle();
    EXPECT_FALSE(IsWindow(layer));
}

// A move of the border window leaves a fade's layer behind: it goes, and
// the frame shows the hot close itself.
TEST_F(DialogFade, AMoveOfTheBorderDropsTheFadeAndTheFrameShowsTheHotClose) {
    Manager->SetExtendedBorders(true);
    OwnDialog d(FixedDialog(L"Posun"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_TRUE(a && a->BorderWindow());
    const HWND border = a->BorderWindow();
    CursorOnClose(a, border);
    a->SetHotButton(HTCLOSE, true);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    const HWND layer = LayerOf(a);
    ASSERT_TRUE(layer);
    Tick(a);
    const std::uint32_t hot = FadeOf(a)->Picture()->View().At(3, 3) & 0xFFFFFF;
    LayeredRecorder recorder(LayeredRecorder::Forward, true);
    SetWindowPos(d.Window, nullptr, RectOf(d.Window).Left + 25, RectOf(d.Window).Top + 15, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(IsWindow(layer));
    const std::vector<LayeredCall> calls = LayeredRecorder::Of(border);
    ASSERT_FALSE(calls.empty() || calls.back().Pixels.empty());
    const LayeredCall &last = calls.back();
    EXPECT_EQ(last.Pixels[static_cast<std::size_t>(close.Top + 3) * static_cast<std::size_t>(last.Size.cx) +
                          static_cast<std::size_t>(close.Left + 3)] & 0xFFFFFF, hot);
}

TEST_F(DialogFade, WithoutGlowingOrLayeredWindowsTheButtonIsPaintedAtOnce) {
    OwnDialog d(FixedDialog(L"Hned"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    {
        LayeredRecorder none(LayeredRecorder::NoLayeredWindows);
        EXPECT_FALSE(a->ButtonFades());
        a->SetHotButton(HTCLOSE, true);
        EXPECT_EQ(FadeOf(a), nullptr);
        EXPECT_EQ(CachePixelOf(*a, close.Left + 2, close.Top + 2), CloseColors.Hot);
        a->SetHotButton(0, true);
    }
    Manager->Effects()->AllowGlowing = false;
    EXPECT_FALSE(a->ButtonFades());
    a->SetHotButton(HTCLOSE, true);
    EXPECT_EQ(FadeOf(a), nullptr);
    EXPECT_EQ(FramePixel(d.Window, close.Left + 2, close.Top + 2), CloseColors.Hot);
}

} // namespace
} // namespace skin
