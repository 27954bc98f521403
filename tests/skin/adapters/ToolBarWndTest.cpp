// The tool-bar adapters. A bare tool-bar window: the skin's button face in
// each state under the real mouse (the click still reaching the parent),
// the image, the separator from the skin's divider, the disabled blend, a
// very long button text. The class library's TToolBar: its custom-draw
// events taken and given back (its own handlers kept), the hot button
// followed by the real cursor with exactly the two buttons repainted, a
// click reaching the button's OnClick. Pictures and live counts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

#include "FreedMemoryMark.h"
#include "BarsTestSupport.h"
#include "skin/adapters/vlToolBarWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/Bitmap.h"
#include "vcl/ImgList.h"
#include "vcl/StdCtrls.h"
#include "vcl/ToolBar.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

constexpr vcl::TColor ImageInk = 0x00C000;

// Each channel moved toward what lies behind by the disabled ratio.
vcl::TColor Faded(vcl::TColor C, vcl::TColor K) {
    vcl::TColor out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = C >> shift & 0xFF, k = K >> shift & 0xFF;
        out |= static_cast<vcl::TColor>(static_cast<int>(std::lround((c - k) * 0.4 + k))) << shift;
    }
    return out;
}

bool Near(vcl::TColor A, vcl::TColor B) {
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>(A >> shift & 0xFF) - static_cast<int>(B >> shift & 0xFF)) > 2) return false;
    return true;
}

// Counts the WM_COMMAND notices a plain parent window receives.
int Commands = 0;
LRESULT CALLBACK CountingProc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    if (M == WM_COMMAND) ++Commands;
    if (M == WM_ERASEBKGND) {
        RECT r{};
        GetClientRect(W, &r);
        FillRect(reinterpret_cast<HDC>(WP), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    return DefWindowProcW(W, M, WP, LP);
}

class NativeToolBar : public BarsFixture {
protected:
    NativeToolBar() : Parent(L"ZuvoToolBarParent", CountingProc) {
        InitCommonControls();
        SetWindowPos(Parent.Window, HWND_TOPMOST, 40, 40, 420, 120, SWP_SHOWWINDOW);
        Commands = 0;
        Bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                              0, 0, 400, 60, Parent.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(Bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        Images = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
        const HBITMAP bmp = CreateBitmap16(ImageInk);
        ImageList_Add(Images, bmp, nullptr);
        DeleteObject(bmp);
        SendMessageW(Bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images));
        TBBUTTON buttons[4]{};
        const wchar_t *texts[4] = {L"Open", L"", L"Save", L"Off"};
        const BYTE styles[4] = {BTNS_BUTTON, BTNS_SEP, BTNS_BUTTON, BTNS_BUTTON};
        for (int i = 0; i < 4; ++i) {
            buttons[i].iBitmap = i == 1 ? 8 : 0;
            buttons[i].idCommand = 100 + i;
            buttons[i].fsState = i == 3 ? 0 : TBSTATE_ENABLED;
            buttons[i].fsStyle = styles[i];
            buttons[i].iString = i == 1 ? -1 : reinterpret_cast<INT_PTR>(texts[i]);
        }
        SendMessageW(Bar, TB_ADDBUTTONSW, 4, reinterpret_cast<LPARAM>(buttons));
        SendMessageW(Bar, TB_AUTOSIZE, 0, 0);
        SetWindowPos(Bar, nullptr, 0, 0, 400, 60, SWP_NOZORDER | SWP_NOMOVE);
        Adapter = NewAdapter<TvlToolBarWnd>(Bar, nullptr, Manager.get(), ParamsFor(nullptr, "TOOLBAR"));
        RedrawAll(Parent.Window);
    }
    ~NativeToolBar() override {
        Adapter.reset();
        DestroyWindow(Parent.Window);
        ImageList_Destroy(Images);
        SetCursorPos(5, 5);
    }
    static HBITMAP CreateBitmap16(vcl::TColor C) {
        const HDC screen = GetDC(nullptr);
        const HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
        const HDC dc = CreateCompatibleDC(screen);
        const HGDIOBJ old = SelectObject(dc, bmp);
        const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(C));
        RECT r{0, 0, 16, 16};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return bmp;
    }
    vcl::TRect Item(int I) {
        RECT r{};
        SendMessageW(Bar, TB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&r));
        return {r.left, r.top, r.right, r.bottom};
    }
    vcl::TColor Face(int I) {
        const vcl::TRect r = Item(I);
        return ScreenColor(Bar, r.Left + 3, r.Bottom - 3);
    }
    POINT CentreOf(int I) {
        const vcl::TRect r = Item(I);
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(Bar, &p);
        return p;
    }
    TestParent Parent;
    HWND Bar;
    HIMAGELIST Images;
    std::unique_ptr<TvlToolBarWnd> Adapter;
};

TEST_F(NativeToolBar, ButtonsShowTheSkinFaceImageTextSeparatorAndDisabledBlend) {
    EXPECT_EQ(Face(0), ToolNormal);
    EXPECT_EQ(Face(2), ToolNormal);
    EXPECT_TRUE(Near(Face(3), Faded(ToolNormal, BarFace))) << std::hex << Face(3);
    const uitest::TImage32 image = uitest::CaptureWindow(Bar);
    EXPECT_EQ(ColorAt(image, 395, 55), BarFace);
    const vcl::TRect open = Item(0);
    EXPECT_EQ(ColorAt(image, (open.Left + open.Right) / 2, open.Top + 4 + 8), ImageInk);
    const InkBox text = FindInk(image, [](vcl::TColor c) { return c == ToolInk; });
    ASSERT_FALSE(text.Empty());
    EXPECT_GT(text.Top, open.Top + 4 + 16);
    const vcl::TRect sep = Item(1);
    int divider = 0;
    for (int x = sep.Left; x < sep.Right; ++x) divider += ColorAt(image, x, (sep.Top + sep.Bottom) / 2) == DividerInk;
    EXPECT_EQ(divider, 4);
    SaveWindowPicture(Parent.Window, "toolbar-native-skinned.png");
    // While painting is locked the frame is left, and the system told so.
    Adapter->SkinData->PaintLocked = true;
    EXPECT_EQ(SendMessageW(Bar, WM_NCPAINT, 1, 0), 1);
    Adapter->SkinData->PaintLocked = false;
    EXPECT_EQ(SendMessageW(Bar, WM_NCPAINT, 1, 0), 0);
}

TEST_F(NativeToolBar, AListBarShowsEachCaptionBesideItsImageInsideItsLowButton) {
    Adapter.reset();
    DestroyWindow(Bar);
    Bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                          WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                          0, 0, 400, 30, Parent.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(Bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(Bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images));
    TBBUTTON button{};
    button.idCommand = 100;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    button.iString = reinterpret_cast<INT_PTR>(L"Open");
    SendMessageW(Bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    Adapter = NewAdapter<TvlToolBarWnd>(Bar, nullptr, Manager.get(), ParamsFor(nullptr, "TOOLBAR"));
    RedrawAll(Parent.Window);
    const vcl::TRect open = Item(0);
    const uitest::TImage32 image = uitest::CaptureWindow(Bar);
    EXPECT_EQ(ColorAt(image, open.Left + 3 + 8, (open.Top + open.Bottom) / 2), ImageInk);
    const InkBox text = FindInk(image, [](vcl::TColor c) { return c == ToolInk; });
    ASSERT_FALSE(text.Empty()) << "no caption in a button " << open.Width() << "x" << open.Height();
    EXPECT_GE(text.Left, open.Left + 3 + 16);
    EXPECT_LE(text.Right, open.Right);
    EXPECT_GE(text.Top, open.Top);
    EXPECT_LE(text.Bottom, open.Bottom);
    SaveWindowPicture(Parent.Window, "toolbar-native-list-skinned.png");
}

// A whole drop-down button without a caption: its image with the skin's
// drop-down arrow beside it; pressed, both move by the same pixel.
TEST_F(NativeToolBar, APressedWholeDropDownButtonMovesItsArrowWithItsImage) {
    constexpr vcl::TColor ArrowInk = 0x1020F0;
    Adapter.reset();
    Manager.reset();
    Manager = NewManager();
    TestSkin skin;
    skin.Options = BarsSkinOptions() + "[COMBOBOX]\r\nGLYPHMASK=@0000,0040,0024,0048,3,0\r\n";
    // Three 8 x 8 images of a 4 x 4 square on the key colour.
    skin.Files = {{"MASTER.BMP", Bmp24(64, 64, [](int X, int Y) {
                       if (Y < 40 || Y >= 48 || X >= 24) return BarsMaster(X, Y);
                       return X % 8 >= 2 && X % 8 < 6 && Y >= 42 && Y < 46 ? ArrowInk : vcl::clFuchsia;
                   })}};
    AddStoredSkin(*Manager, "Arrows", skin.Packed());
    Manager->SetSkinName("Arrows");
    Manager->Effects()->AllowAnimation = false;
    DestroyWindow(Bar);
    Bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                          0, 0, 400, 60, Parent.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(Bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(Bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(Bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images));
    TBBUTTON button{};
    button.idCommand = 100;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_WHOLEDROPDOWN;
    button.iString = -1;
    SendMessageW(Bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    SendMessageW(Bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(48, 40));
    Adapter = NewAdapter<TvlToolBarWnd>(Bar, nullptr, Manager.get(), ParamsFor(nullptr, "TOOLBAR"));
    const auto inks = [&] {
        RedrawAll(Parent.Window);
        const uitest::TImage32 image = uitest::CaptureWindow(Bar);
        return std::pair{FindInk(image, [](vcl::TColor c) { return c == ImageInk; }),
                         FindInk(image, [](vcl::TColor c) { return c == ArrowInk; })};
    };
    const auto [image, arrow] = inks();
    ASSERT_FALSE(image.Empty());
    ASSERT_FALSE(arrow.Empty());
    EXPECT_EQ(arrow.Left, image.Right + 2);
    SendMessageW(Bar, TB_SETSTATE, 100, MAKELPARAM(TBSTATE_ENABLED | TBSTATE_PRESSED, 0));
    const auto [pressedImage, pressedArrow] = inks();
    EXPECT_EQ(pressedImage.Left - image.Left, 1);
    EXPECT_EQ(pressedArrow.Left - arrow.Left, 1);
}

TEST_F(NativeToolBar, RealMouseMakesAButtonHotThenPressedAndTheClickReachesTheParent) {
    const POINT c = CentreOf(2);
    SetCursorPos(c.x, c.y);
    ASSERT_TRUE(PumpUntil([&] {
        RedrawWindow(Bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return Face(2) == ToolHot;
    }));
    EXPECT_EQ(Face(0), ToolNormal);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Face(2) == ToolPressed; }));
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return Commands == 1; }));
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] {
        RedrawWindow(Bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return Face(2) == ToolNormal;
    }));
}

TEST_F(NativeToolBar, ItsPictureIsWhatTheScreenShowsWithAndWithoutAFrame) {
    // Each step adds to the last: the bar's own divider above its client
    // (the system's default), then a sunken frame around all.
    const struct {
        const char *Name;
        LONG_PTR StyleOff, ExStyleOn;
    } steps[] = {{"plain", 0, 0}, {"divided", CCS_NODIVIDER, 0}, {"divided and framed", 0, WS_EX_CLIENTEDGE}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.Name);
        SetWindowLongPtrW(Bar, GWL_STYLE, GetWindowLongPtrW(Bar, GWL_STYLE) & ~step.StyleOff);
        SetWindowLongPtrW(Bar, GWL_EXSTYLE, GetWindowLongPtrW(Bar, GWL_EXSTYLE) | step.ExStyleOn);
        SetWindowPos(Bar, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        RedrawAll(Parent.Window);
        const uitest::TImage32 screen = uitest::CaptureWindow(Bar);
        vcl::TBitmap picture;
        picture.SetPixelFormat(vcl::pf32bit);
        picture.SetSize(screen.Width, screen.Height);
        SendMessageW(Bar, WM_PRINT, reinterpret_cast<WPARAM>(picture.Canvas()->Handle()),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
        GdiFlush();
        int differing = 0;
        for (int y = 0; y < screen.Height; ++y)
            for (int x = 0; x < screen.Width; ++x)
                if ((picture.View().At(x, y) & 0xFFFFFF) != (screen.At(x, y) & 0xFFFFFF)) ++differing;
        EXPECT_EQ(differing, 0) << "of " << screen.Width * screen.Height;
    }
}

TEST_F(NativeToolBar, AVeryLongButtonTextIsReadWholeAndLiveCountsStayFlat) {
    const std::wstring longText(300, L'x');
    TBBUTTON b{};
    b.iBitmap = 0;
    b.idCommand = 200;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iString = reinterpret_cast<INT_PTR>(longText.c_str());
    SendMessageW(Bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(SendMessageW(Bar, TB_GETBUTTONTEXTW, 200, 0), 300);
    ExpectFlatCounts(1000, [&] {
        SendMessageW(Bar, WM_PRINT, reinterpret_cast<WPARAM>(vcl::TWindowDC(Bar).Get()), PRF_CLIENT);
    });
    ExpectFlatCounts(200, [&] {
        const HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT, 0, 0, 100, 30,
                                         Parent.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
        auto a = NewAdapter<TvlToolBarWnd>(bar, nullptr, Manager.get(), ParamsFor(nullptr, "TOOLBAR"));
        SendMessageW(bar, WM_PRINT, reinterpret_cast<WPARAM>(vcl::TWindowDC(bar).Get()), PRF_CLIENT);
        DestroyWindow(bar);
    });
}

// Counts the buttons the bar's window asks to be drawn (its custom-draw
// notices for items), whoever draws them.
class ItemDrawTap {
public:
    explicit ItemDrawTap(vcl::TControl *Control) : FControl(Control), FPrevious(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&ItemDrawTap::Handle>(this);
    }
    ~ItemDrawTap() { FControl->WindowProc = FPrevious; }
    ItemDrawTap(const ItemDrawTap &) = delete;
    ItemDrawTap &operator=(const ItemDrawTap &) = delete;
    std::vector<int> Drawn;  // command ids

private:
    void Handle(vcl::TMessage &M) {
        if (M.Msg == vcl::CN_NOTIFY) {
            const auto *cd = reinterpret_cast<const NMCUSTOMDRAW *>(M.LParam);
            if (cd->hdr.code == static_cast<UINT>(NM_CUSTOMDRAW) && cd->dwDrawStage == CDDS_ITEMPREPAINT)
                Drawn.push_back(static_cast<int>(cd->dwItemSpec));
        }
        FPrevious(M);
    }
    vcl::TControl *FControl;
    vcl::TWndMethod FPrevious;
};

struct BarEvents {
    int Clicks = 0, OwnDraws = 0;
    void Click(vcl::TObject *) { ++Clicks; }
    void Draw(vcl::TToolBar *, const vcl::TRect &, vcl::TCustomDrawStage, bool &) { ++OwnDraws; }
};

class ClassLibraryToolBar : public BarsFixture {
protected:
    ClassLibraryToolBar() {
        Form.Form->SetBounds(40, 40, 500, 200);
        Images = vcl::Create<vcl::TImageList>(Form.Form);
        vcl::TBitmap picture;
        picture.SetSize(16, 16);
        picture.Canvas()->Brush()->SetColor(ImageInk);
        picture.Canvas()->FillRect({0, 0, 16, 16});
        Images->Add(&picture, nullptr);
        Bar = vcl::Create<vcl::TToolBar>(Form.Form);
        Bar->SetParent(Form.Form);
        Bar->SetShowCaptions(true);
        Bar->SetImages(Images);
        Bar->OnCustomDraw = vcl::TTBCustomDrawEvent::Bind<&BarEvents::Draw>(&Events);
        const vcl::TToolButtonStyle styles[5] = {vcl::tbsButton, vcl::tbsButton, vcl::tbsSeparator, vcl::tbsDropDown,
                                                 vcl::tbsButton};
        for (int i = 0; i < 5; ++i) {
            auto *b = vcl::Create<vcl::TToolButton>(Form.Form);
            b->SetCaption("Btn" + std::to_string(i));
            b->SetImageIndex(0);
            b->SetStyle(styles[i]);
            b->SetToolBar(Bar);
            b->OnClick = vcl::TNotifyEvent::Bind<&BarEvents::Click>(&Events);
        }
        Bar->Buttons(4)->SetEnabled(false);
        Form.Show();
        uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
    }
    ~ClassLibraryToolBar() override { SetCursorPos(5, 5); }
    void Skin() {
        Adapter = AdapterFactory().CreateAdapter(tpToolBar, Bar->Handle(), ParamsFor(Bar), Manager.get());
        VCLAdapter = dynamic_cast<TvlToolBarVCLWnd *>(Adapter.get());
        RedrawAll(Form.Form->WindowHandle());
    }
    vcl::TColor Face(int I) {
        const vcl::TRect r = Bar->Buttons(I)->BoundsRect();
        return ScreenColor(Bar->WindowHandle(), r.Left + 3, r.Top + 3);
    }
    POINT CentreOf(int I) {
        const vcl::TRect r = Bar->Buttons(I)->BoundsRect();
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(Bar->WindowHandle(), &p);
        return p;
    }
    TestForm Form;
    BarEvents Events;
    vcl::TImageList *Images;
    vcl::TToolBar *Bar;
    std::unique_ptr<TvlWindowAdapter> Adapter;
    TvlToolBarVCLWnd *VCLAdapter = nullptr;
};

TEST_F(ClassLibraryToolBar, EventsAreTakenAndTheBarsOwnGivenBackOnRemovalAndAtTheEnd) {
    const auto own = Bar->OnCustomDraw;
    Skin();
    ASSERT_NE(VCLAdapter, nullptr);
    EXPECT_EQ(VCLAdapter->ToolBar.Get(), Bar);
    EXPECT_EQ(VCLAdapter->SkinData->SkinSection(), "TOOLBAR");
    EXPECT_NE(Bar->OnCustomDraw, own);
    EXPECT_EQ(Face(0), ToolNormal);
    // While skinned, the adapter draws and the bar's own handler waits.
    Events.OwnDraws = 0;
    RedrawAll(Bar->WindowHandle());
    EXPECT_EQ(Events.OwnDraws, 0);
    // Applied twice: the adapter never keeps its own handler as the bar's.
    SendMessageW(Bar->WindowHandle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    Manager->SetActive(false);
    SendMessageW(Bar->WindowHandle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(Bar->OnCustomDraw, own);
    EXPECT_FALSE(static_cast<bool>(Bar->OnCustomDrawButton));
    RedrawAll(Bar->WindowHandle());
    EXPECT_GT(Events.OwnDraws, 0);
    Manager->SetActive(true);
    SendMessageW(Bar->WindowHandle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_NE(Bar->OnCustomDraw, own);
    RedrawAll(Bar->WindowHandle());
    EXPECT_EQ(Face(0), ToolNormal);
    Adapter.reset();
    EXPECT_EQ(Bar->OnCustomDraw, own);
}

TEST_F(ClassLibraryToolBar, APaintOfTheBarLetsAChildThatWaitedForItPaint) {
    auto *edit = vcl::Create<vcl::TEdit>(Form.Form);
    edit->SetParent(Bar);
    edit->SetBounds(300, 2, 80, 20);
    Skin();
    const auto child = AdapterFactory().CreateAdapter(tpEdit, edit->Handle(), ParamsFor(edit), Manager.get());
    auto *data = static_cast<TvlMainWnd *>(child.get())->SkinData;
    // The child found the bar not ready and waits with its painting.
    data->PaintLocked = true;
    RedrawWindow(Bar->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(data->PaintLocked);
}

TEST_F(ClassLibraryToolBar, MovingAcrossRepaintsExactlyTheTwoButtonsAndClicksReachTheButton) {
    ItemDrawTap tap(Bar);
    Skin();
    SaveWindowPicture(Bar->WindowHandle(), "toolbar-classlibrary-skinned.png");
    const POINT first = CentreOf(0), second = CentreOf(1);
    SetCursorPos(first.x, first.y);
    ASSERT_TRUE(PumpUntil([&] { return Face(0) == ToolHot; }));
    EXPECT_EQ(VCLAdapter->HotIndex, 0);
    PumpFor(60ms);
    tap.Drawn.clear();
    SetCursorPos(second.x, second.y);
    ASSERT_TRUE(PumpUntil([&] { return Face(1) == ToolHot; }));
    PumpFor(60ms);
    EXPECT_EQ(Face(0), ToolNormal);
    std::vector<int> drawn = tap.Drawn;
    std::sort(drawn.begin(), drawn.end());
    drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
    EXPECT_EQ(drawn, (std::vector<int>{Bar->Buttons(0)->Command(), Bar->Buttons(1)->Command()}));
    // The disabled button: the face blended toward the bar.
    EXPECT_TRUE(Near(Face(4), Faded(ToolNormal, BarFace))) << std::hex << Face(4);
    ClickAt(second.x, second.y);
    ASSERT_TRUE(PumpUntil([&] { return Events.Clicks == 1; }));
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return Face(1) == ToolNormal; }));
    EXPECT_EQ(VCLAdapter->HotIndex, -1);
}

struct FreeingDropDown {
    int Calls = 0;
    void DropDown(vcl::TObject *Sender) {
        ++Calls;
        delete Sender;
    }
};

TEST_F(ClassLibraryToolBar, ADropDownHandlerThatFreesItsButtonLeavesItsMemoryAlone) {
    Skin();
    auto *doomed = vcl::Create<vcl::TToolButton>(Form.Form);
    doomed->SetCaption("Gone");
    doomed->SetStyle(vcl::tbsDropDown);
    doomed->SetToolBar(Bar);
    FreeingDropDown handler;
    doomed->OnDropDown = vcl::TNotifyEvent::Bind<&FreeingDropDown::DropDown>(&handler);
    NMTOOLBARW notice{};
    notice.hdr.hwndFrom = Bar->Handle();
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Bar->Handle()));
    notice.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
    notice.iItem = doomed->Command();
    {
        const test::TFreedMemoryMark mark;
        SendMessageW(Form.Form->Handle(), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
        EXPECT_EQ(handler.Calls, 1);
        EXPECT_TRUE(mark.Untouched(doomed));
        EXPECT_EQ(mark.Faults(), 0);
    }
    EXPECT_EQ(VCLAdapter->DroppedDownCommand, 0);
    EXPECT_EQ(Bar->ButtonCount(), 5);
    RedrawAll(Bar->WindowHandle());
    EXPECT_EQ(Face(0), ToolNormal);
}

int Distance(vcl::TColor A, vcl::TColor B) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        d += std::abs(static_cast<int>(A >> shift & 0xFF) - static_cast<int>(B >> shift & 0xFF));
    return d;
}

// The part Area of Image.
uitest::TImage32 Part(const uitest::TImage32 &Image, const vcl::TRect &Area) {
    uitest::TImage32 part{Area.Width(), Area.Height(), {}};
    for (int y = Area.Top; y < Area.Bottom; ++y)
        for (int x = Area.Left; x < Area.Right; ++x) part.Pixels.push_back(Image.At(x, y));
    return part;
}

// The box of a caption's ink: the pixels at least half as far from Face as
// the farthest one (the smoothed fringe left out alike in a full and in a
// faded caption).
InkBox CaptionInk(const uitest::TImage32 &Image, vcl::TColor Face) {
    int farthest = 0;
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0; x < Image.Width; ++x) farthest = std::max(farthest, Distance(ColorAt(Image, x, y), Face));
    return FindInk(Image, [&](vcl::TColor c) { return farthest > 0 && 2 * Distance(c, Face) >= farthest; });
}

// What Text in Font takes when nothing cuts it off.
InkBox UncutInk(const std::string &Text, vcl::TFont *Font) {
    vcl::TBitmap b;
    b.SetPixelFormat(vcl::pf32bit);
    b.SetSize(80, 40);
    vcl::TCanvas &c = *b.Canvas();
    c.Brush()->SetColor(ToolNormal);
    c.FillRect({0, 0, 80, 40});
    c.Font()->Assign(Font);
    c.Font()->SetColor(ToolInk);
    c.Brush()->SetStyle(vcl::bsClear);
    c.TextOut(8, 8, Text);
    uitest::TImage32 image{80, 40, {}};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            const vcl::TColor p = c.Pixels(x, y);
            image.Pixels.push_back((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
        }
    return CaptionInk(image, ToolNormal);
}

TEST_F(ClassLibraryToolBar, CaptionsUnderTheImagesShowWholeInsideTheBar) {
    Skin();
    const int client = Bar->ClientHeight();
    const uitest::TImage32 shot = uitest::CaptureWindow(Bar->WindowHandle());
    ASSERT_EQ(shot.Height, Bar->Height());
    const int top = (Bar->Height() - client) / 2;
    for (int i : {0, 1, 3, 4}) {
        const vcl::TToolButton *b = Bar->Buttons(i);
        const vcl::TRect r = b->BoundsRect();
        EXPECT_LE(r.Bottom, client) << i;
        // Left of a drop-down arrow, under the image (the green rows).
        const int right = r.Right - (b->Style() == vcl::tbsDropDown ? GetSystemMetrics(SM_CXVSCROLL) : 0);
        int imageBottom = top + r.Top;
        for (int y = top + r.Top; y < shot.Height; ++y)
            for (int x = r.Left; x < right; ++x)
                if (const vcl::TColor c = ColorAt(shot, x, y); (c >> 8 & 0xFF) > (c & 0xFF) + 16 &&
                                                               (c >> 8 & 0xFF) > (c >> 16 & 0xFF) + 16)
                    imageBottom = y + 1;
        const InkBox ink = CaptionInk(Part(shot, {r.Left, imageBottom, right, shot.Height}),
                                      b->Enabled() ? ToolNormal : Faded(ToolNormal, BarFace));
        const InkBox whole = UncutInk(b->Caption(), Bar->Font());
        ASSERT_FALSE(ink.Empty()) << i;
        ASSERT_FALSE(whole.Empty()) << i;
        EXPECT_EQ(ink.Bottom - ink.Top, whole.Bottom - whole.Top) << i;
        EXPECT_EQ(ink.Right - ink.Left, whole.Right - whole.Left) << i;
        // Inside the bar's client area, short of its last row.
        EXPECT_LT(imageBottom + ink.Bottom, top + client) << i;
    }
    // A bar given more room than its buttons take keeps it.
    Bar->SetHeight(50);
    Bar->RebuildButtons();
    EXPECT_EQ(Bar->Height(), 50);
}

TEST_F(ClassLibraryToolBar, LiveCountsStayFlatOverCreateAndDestroyCycles) {
    Skin();
    ExpectFlatCounts(1000, [&] {
        auto *bar = vcl::Create<vcl::TToolBar>(Form.Form);
        bar->SetParent(Form.Form);
        auto *b = vcl::Create<vcl::TToolButton>(bar);
        b->SetCaption("C");
        b->SetToolBar(bar);
        auto a = AdapterFactory().CreateAdapter(tpToolBar, bar->Handle(), ParamsFor(bar), Manager.get());
        bar->Repaint();
        a.reset();
        delete bar;
    });
}

} // namespace
} // namespace skin
