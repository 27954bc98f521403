// The combo-box adapters on the class library's TComboBox: the skinned
// button in its states, the list dropped by a click and by F4 with its
// skinned bar that scrolls while the list stays open, an item click that
// selects and closes, a 5,000-character item, the simple combo without a
// button and without a system edge left showing, the list's brush, the
// dropped list's print with border strips unless it tracks, the list given
// back when the skin goes, and the wwEdit adapter with and without a button.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <thread>

#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlComboWnd.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "vcl/ComboBox.h"
#include "vcl/GdiObjects.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// What Window prints (frame and client) over a picture filled with Fill.
uitest::TImage32 PrintedOver(HWND Window, vcl::TColor Fill) {
    RECT w{};
    GetWindowRect(Window, &w);
    vcl::TBitmap bmp;
    bmp.SetPixelFormat(vcl::pf32bit);
    bmp.SetSize(w.right - w.left, w.bottom - w.top);
    const HDC dc = bmp.Canvas()->Handle();
    const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(Fill)));
    const RECT all{0, 0, bmp.Width(), bmp.Height()};
    FillRect(dc, &all, brush.Get());
    SendMessageW(Window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
    uitest::TImage32 image{bmp.Width(), bmp.Height(), {}};
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            image.Pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    return image;
}

// The pixels where Window's print differs from what the screen shows of
// it once painted, in its top Rows.
int PrintedNotAsShown(HWND Window, int Rows = INT_MAX) {
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50ms);
    const uitest::TImage32 shown = uitest::CaptureWindow(Window);
    const uitest::TImage32 printed = PrintedOver(Window, 0xFF00FF);
    int count = 0;
    for (int y = 0; y < std::min({shown.Height, printed.Height, Rows}); ++y)
        for (int x = 0; x < std::min(shown.Width, printed.Width); ++x)
            count += (shown.At(x, y) & 0xFFFFFF) != (printed.At(x, y) & 0xFFFFFF);
    return count;
}

class Combo : public AdaptersFixture {
protected:
    Combo() {
        Manager.reset();
        Manager = ScrollSkinManager();
        SetCursorPos(5, 5);
        Box = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 20);
        Box->SetBounds(20, 20, 200, 24);
        Box->SetStyle(vcl::csDropDownList);
        for (int i = 0; i < 100; ++i) Box->Items()->Add("Item " + std::to_string(i));
        Form.Show();
        Adapter = AdapterFactory().CreateAdapter(tpComboBox, Box->Handle(), ParamsFor(Box), Manager.get());
        uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
        Box->SetFocus();
        RedrawWindow(Box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        PumpFor(50ms);
    }
    ~Combo() override {
        MouseButton(MOUSEEVENTF_LEFTUP);
        SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        SetCursorPos(5, 5);
    }
    TvlComboBoxWnd &A() { return *dynamic_cast<TvlComboBoxWnd *>(static_cast<TvlMainWnd *>(Adapter.get())); }
    bool Dropped() const { return SendMessageW(Box->WindowHandle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }
    void ClickAt(POINT P) {
        SetCursorPos(P.x, P.y);
        PumpFor(40ms);
        MouseButton(MOUSEEVENTF_LEFTDOWN);
        PumpFor(40ms);
        MouseButton(MOUSEEVENTF_LEFTUP);
        PumpFor(100ms);
    }
    POINT ButtonCentre() {
        const vcl::TRect b = A().GetButtonRect();
        RECT w{};
        GetWindowRect(Box->Handle(), &w);
        return {w.left + (b.Left + b.Right) / 2, w.top + (b.Top + b.Bottom) / 2};
    }
    vcl::TColor ButtonPixel() {
        const vcl::TRect b = A().GetButtonRect();
        return ColorAt(uitest::CaptureWindow(Box->Handle()), b.Left + 1, b.Top + 1);
    }

    TestForm Form;
    vcl::TComboBox *Box;
    std::unique_ptr<TvlWindowAdapter> Adapter;
};

TEST_F(Combo, ButtonIsTheSkinsAndTheListDropsSkinnedByAClick) {
    const vcl::TRect b = A().GetButtonRect();
    EXPECT_EQ(b.Width(), ScrollBarWidthAtLeastSystem(Manager.get()) + 2);
    EXPECT_NE(ButtonPixel(), ComboPressed);
    EXPECT_TRUE(ButtonPixel() == ComboFace || ButtonPixel() == ComboHot);
    ClickAt(ButtonCentre());
    ASSERT_TRUE(Dropped());
    ASSERT_NE(A().ListAdapter, nullptr);
    EXPECT_NE(A().ListWnd, nullptr);
    TvlComboListWnd &list = *A().ListAdapter;
    EXPECT_TRUE(list.KeepsCapture());
    PumpFor(60ms);
    EXPECT_EQ(ButtonPixel(), ComboPressed);
    ASSERT_TRUE(list.VertBar->Shown);
    EXPECT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(list.Handle), InWindow(list.Handle, VertScrollBarRect(list))));
    const uitest::TImage32 shot = uitest::CaptureWindow(list.Handle);
    ASSERT_GT(shot.Height, 0);
    EXPECT_EQ(list.BorderColor, SkinBorder);
    EXPECT_EQ(ColorAt(shot, 0, shot.Height / 2), SkinBorder);  // the one-pixel frame
}

// A print of the dropped list has its skinned border strips, except while
// the list tracks the mouse; its bars are painted either way.
TEST_F(Combo, PrintOfTheDroppedListCopiesItsBorderStripsUnlessTrackingAndPaintsItsBars) {
    ClickAt(ButtonCentre());
    ASSERT_TRUE(Dropped());
    ASSERT_NE(A().ListAdapter, nullptr);
    TvlComboListWnd &list = *A().ListAdapter;
    RECT w{};
    GetWindowRect(list.Handle, &w);
    const vcl::TRect bar = InWindow(list.Handle, VertScrollBarRect(list));
    for (const bool tracking : {false, true}) {
        list.Tracking = tracking;
        const auto bmp = std::make_unique<vcl::TBitmap>();
        bmp->SetPixelFormat(vcl::pf32bit);
        bmp->SetSize(w.right - w.left, w.bottom - w.top);
        const HDC dc = bmp->Canvas()->Handle();
        SendMessageW(list.Handle, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, 0, (w.bottom - w.top) / 2)) == SkinBorder, !tracking)
            << "tracking " << tracking;
        EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, bar.Left + 1, bar.Top + 1)), ArrowFace) << "tracking " << tracking;
    }
    list.Tracking = false;
}

// The list is given back after the common removal and the control's own
// answer, from the stage that follows the common one.
TEST_F(Combo, SkinRemovedGivesTheListBack) {
    ClickAt(ButtonCentre());
    ASSERT_TRUE(Dropped());
    ASSERT_NE(A().ListAdapter, nullptr);
    const HWND list = A().ListWnd;
    SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    PumpFor(40ms);
    SendMessageW(Box->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(A().ListAdapter, nullptr);
    EXPECT_EQ(AdapterOfWindow(list), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & WS_THICKFRAME, 0);
    EXPECT_NE(GetWindowLongPtrW(list, GWL_STYLE) & WS_BORDER, 0);
}

TEST_F(Combo, F4DropsTheListAndItsBarScrollsWhileItStaysOpen) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_F4;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    PumpFor(150ms);
    ASSERT_TRUE(Dropped());
    ASSERT_NE(A().ListAdapter, nullptr);
    TvlComboListWnd &list = *A().ListAdapter;
    const vcl::TRect bar = VertScrollBarRect(list);
    const int b = ScrollBarMetric(*list.VertBar, false);
    ClickAt({(bar.Left + bar.Right) / 2, bar.Bottom - b / 2});
    EXPECT_TRUE(Dropped());
    EXPECT_EQ(SendMessageW(list.Handle, LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(GetCapture(), list.Handle);
    EXPECT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(list.Handle), InWindow(list.Handle, bar)));
    // An item click selects it and closes the list.
    RECT item{};
    SendMessageW(list.Handle, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list.Handle, &p);
    ClickAt(p);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(Box->ItemIndex(), 3);
}

TEST_F(Combo, LongItemIsReadWholeAndPrinted) {
    const std::string longText(5000, 'x');
    Box->Items()->Add(longText);
    EXPECT_EQ(ComboItemText(Box->Handle(), 100).size(), 5000u);
    EXPECT_EQ(Box->Items()->Strings(100), longText);
    Box->SetItemIndex(100);
    const auto bmp = std::make_unique<vcl::TBitmap>();
    bmp->SetSize(200, 24);
    SendMessageW(Box->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_TRUE(ComboItemText(Box->Handle(), 500).empty());  // no such item
}

TEST_F(Combo, ListBrushIsMadeOnceAndFreedWithTheAdapter) {
    ClickAt(ButtonCentre());
    ASSERT_TRUE(Dropped());
    const HWND list = A().ListWnd;
    const vcl::TWindowDC dc(list);
    const LRESULT first = SendMessageW(Box->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.Get()),
                                       reinterpret_cast<LPARAM>(list));
    const LRESULT second = SendMessageW(Box->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.Get()),
                                        reinterpret_cast<LPARAM>(list));
    EXPECT_NE(first, 0);
    EXPECT_EQ(first, second);
    SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    PumpFor(50ms);
    const vcl::THandleCounts before = vcl::LiveHandles();
    Adapter.reset();
    EXPECT_LT(vcl::LiveHandles().GdiObjects, before.GdiObjects);
}

TEST_F(Combo, SimpleComboHasNoButtonAndASimpleList) {
    auto *simple = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    simple->SetStyle(vcl::csSimple);
    simple->SetBounds(20, 80, 200, 120);
    simple->Items()->Add("One");
    auto adapter = AdapterFactory().CreateAdapter(tpComboBox, simple->Handle(), ParamsFor(simple), Manager.get());
    auto &a = *dynamic_cast<TvlComboBoxWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    EXPECT_TRUE(a.GetButtonRect().IsEmpty());
    RedrawWindow(simple->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50ms);
    ASSERT_NE(a.ListAdapter, nullptr);
    EXPECT_TRUE(a.ListAdapter->SimpleList);
    EXPECT_FALSE(a.ListAdapter->KeepsCapture());
    // The skin's end gives the list back with its own frame (a client edge).
    const HWND list = a.ListWnd;
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_NE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    SendMessageW(simple->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(a.ListAdapter, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE), style);
}

// A release over a simple list's skinned bar lets go of the capture.
TEST_F(Combo, ReleaseOverASimpleListsBarLetsGoOfTheCapture) {
    auto *simple = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    simple->SetStyle(vcl::csSimple);
    simple->SetBounds(20, 80, 170, 110);
    for (int i = 0; i < 20; ++i) simple->Items()->Add("Option");
    auto adapter = AdapterFactory().CreateAdapter(tpComboBox, simple->Handle(), ParamsFor(simple), Manager.get());
    auto &a = *dynamic_cast<TvlComboBoxWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    RedrawWindow(simple->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50ms);
    ASSERT_NE(a.ListAdapter, nullptr);
    ASSERT_TRUE(a.ListAdapter->VertBar->Shown);
    const vcl::TRect bar = VertScrollBarRect(*a.ListAdapter);
    POINT p{(bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2};
    ScreenToClient(a.ListWnd, &p);
    SetCapture(a.ListWnd);
    SendMessageW(a.ListWnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    EXPECT_NE(GetCapture(), a.ListWnd);
    ReleaseCapture();
}

// Stands in a form's window procedure: one colour lies behind its children.
struct ColourBehind {
    vcl::TForm *Form;
    vcl::TColor Colour;
    vcl::TWndMethod Saved = Form->WindowProc;
    ColourBehind(vcl::TForm *F, vcl::TColor C) : Form(F), Colour(C) {
        F->WindowProc = vcl::TWndMethod::Bind<&ColourBehind::Handle>(this);
    }
    ~ColourBehind() { Form->WindowProc = Saved; }
    ColourBehind(const ColourBehind &) = delete;
    ColourBehind &operator=(const ColourBehind &) = delete;
    void Handle(vcl::TMessage &M) {
        if (M.Msg != SM_SKINCOMMAND || M.WParamHi() != SC_GET_BG_INFO) return Saved(M);
        auto *q = reinterpret_cast<TvlBgQuery *>(M.LParam);
        q->Kind = bqColor, q->Color = Colour, M.Result = 1;
    }
};

// Every pixel of a simple combo box outside its edit and list windows is
// the skin's or what lies behind: no system 3-D edge is left around the
// edit field, and the rows below the list show the colour the form says
// lies behind its children.
TEST_F(Combo, SimpleComboShowsNoSystemEdgeAroundItsEditOrBelowItsList) {
    const vcl::TColor behind = 0x30A050;
    const ColourBehind answer(Form.Form, behind);
    auto *simple = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    simple->SetStyle(vcl::csSimple);
    simple->SetBounds(20, 80, 170, 110);
    for (int i = 0; i < 20; ++i) simple->Items()->Add("Option");
    auto adapter = AdapterFactory().CreateAdapter(tpComboBox, simple->Handle(), ParamsFor(simple), Manager.get());
    RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(80ms);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(simple->Handle(), &info));
    RECT c{}, e{}, l{};
    GetWindowRect(simple->Handle(), &c);
    GetWindowRect(info.hwndItem, &e);
    GetWindowRect(info.hwndList, &l);
    ASSERT_GT(c.bottom - l.bottom, 2) << "the list reaches the bottom: nothing to look at";
    std::set<vcl::TColor> edges;
    for (int i : {COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_3DHILIGHT})
        edges.insert(static_cast<vcl::TColor>(GetSysColor(i)));
    const auto image = uitest::CaptureWindow(simple->Handle());
    int systemEdge = 0, notBehind = 0;
    for (int y = 0; y < c.bottom - c.top; ++y)
        for (int x = 0; x < c.right - c.left; ++x) {
            const POINT p{c.left + x, c.top + y};
            if (PtInRect(&e, p) || PtInRect(&l, p)) continue;
            systemEdge += edges.count(ColorAt(image, x, y)) != 0;
            notBehind += p.y >= l.bottom && ColorAt(image, x, y) != behind;
        }
    EXPECT_EQ(systemEdge, 0);
    EXPECT_EQ(notBehind, 0);
}

TEST_F(Combo, WWEditAdapterHasAButtonOnlyWhereTheControlDropsDown) {
    Adapter.reset();
    auto adapter = AdapterFactory().CreateAdapter(tpWWEdit, Box->Handle(), ParamsFor(Box), Manager.get());
    auto &ww = *dynamic_cast<TvlWWComboBoxWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    EXPECT_TRUE(ww.HasButton);
    EXPECT_EQ(ww.GetButtonRect().Width(), GetSystemMetrics(SM_CXVSCROLL));
    const vcl::TRect b = ww.GetButtonRect();
    RECT w{};
    GetWindowRect(Box->Handle(), &w);
    ClickAt({w.left + (b.Left + b.Right) / 2, w.top + (b.Top + b.Bottom) / 2});
    EXPECT_TRUE(Dropped());
    EXPECT_EQ(ww.ListAdapter, nullptr);  // the list stays the system's
    SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    adapter.reset();
    auto *simple = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    simple->SetStyle(vcl::csSimple);
    auto plain = AdapterFactory().CreateAdapter(tpWWEdit, simple->Handle(), ParamsFor(simple), Manager.get());
    auto &noButton = *dynamic_cast<TvlWWComboBoxWnd *>(static_cast<TvlMainWnd *>(plain.get()));
    EXPECT_FALSE(noButton.HasButton);
    EXPECT_TRUE(noButton.GetButtonRect().IsEmpty());
}

// The focus of a drop-down combo box sits in its edit: the combo looks
// focused (its button hot) while the edit has it, and no longer once
// another control took it; a selection made by the program shows at once
// with the skinned frame around it.
TEST_F(Combo, DropDownComboLooksFocusedWhileItsEditHasTheFocus) {
    Adapter.reset();
    Box->SetStyle(vcl::csDropDown);
    Adapter = AdapterFactory().CreateAdapter(tpComboBox, Box->Handle(), ParamsFor(Box), Manager.get());
    auto *other = Form.Add(vcl::Create<vcl::TEdit>(Form.Form), 20, 200);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(Box->Handle(), &info));
    ASSERT_NE(info.hwndItem, nullptr);
    other->SetFocus();
    PumpFor(40ms);
    RECT e{};
    GetWindowRect(info.hwndItem, &e);
    ClickAt({(e.left + e.right) / 2, (e.top + e.bottom) / 2});
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == info.hwndItem && !A().SkinData->MouseInside; }));
    PumpFor(40ms);
    EXPECT_TRUE(A().SkinData->Focused);
    EXPECT_EQ(ButtonPixel(), ComboHot);
    other->SetFocus();
    PumpFor(40ms);
    EXPECT_FALSE(A().SkinData->Focused);
    EXPECT_EQ(ButtonPixel(), ComboFace);

    const vcl::TRect b = A().GetButtonRect();
    {
        const vcl::TWindowDC dc(Box->Handle());
        SetPixel(dc.Get(), 1, 1, RGB(255, 0, 255));
        SetPixel(dc.Get(), b.Left + 1, b.Top + 1, RGB(255, 0, 255));
    }
    SendMessageW(Box->Handle(), CB_SETCURSEL, 7, 0);
    const auto shot = uitest::CaptureWindow(Box->Handle());
    EXPECT_NE(ColorAt(shot, 1, 1), vcl::TColor{0xFF00FF});
    EXPECT_EQ(ColorAt(shot, b.Left + 1, b.Top + 1), ComboFace);
}

// A drop-down combo prints what was typed into its field, not the item
// selected for it: its edit field, as the screen shows it.
TEST_F(Combo, DropDownFieldPrintsTheTypedText) {
    Adapter.reset();
    Box->SetStyle(vcl::csDropDown);
    Adapter = AdapterFactory().CreateAdapter(tpComboBox, Box->Handle(), ParamsFor(Box), Manager.get());
    auto *other = Form.Add(vcl::Create<vcl::TEdit>(Form.Form), 20, 200);
    other->SetFocus();  // no caret, which a print never has
    SendMessageW(Box->Handle(), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(PrintedNotAsShown(Box->Handle()), 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(Box->Handle(), &info));
    // Typed as the user would into the dropped list's field: the list
    // selects the first item the text begins, the field keeps the text.
    SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(info.hwndItem, EM_SETSEL, 0, -1);
    SendMessageW(info.hwndItem, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"ite"));
    ASSERT_EQ(SendMessageW(Box->Handle(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(PrintedNotAsShown(Box->Handle()), 0);
    SendMessageW(Box->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

// Leaving the combo box for its own edit field or list is no leave; a
// second enter changes nothing.
TEST_F(Combo, MouseLeaveCountsOnlyOutsideTheWindow) {
    RECT w{};
    GetWindowRect(Box->Handle(), &w);
    SetCursorPos(w.left + 20, (w.top + w.bottom) / 2);
    ASSERT_TRUE(PumpUntil([&] { return A().SkinData->MouseInside; }));
    Box->Perform(vcl::CM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(A().SkinData->MouseInside);
    SetCursorPos(5, 5);
    EXPECT_TRUE(PumpUntil([&] { return !A().SkinData->MouseInside; }));
    EXPECT_EQ(ButtonPixel(), ComboHot);  // still focused: the box got it when made
}

// The mouse entering a drop-down combo box that has not the focus leaves
// its text unselected, as the first entry of each visit repaints it.
TEST_F(Combo, EnteringAnUnfocusedDropDownComboDeselectsItsText) {
    auto *drop = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    drop->SetBounds(20, 80, 170, 24);
    drop->SetText("Hello");
    const auto adapter = AdapterFactory().CreateAdapter(tpComboBox, drop->Handle(), ParamsFor(drop), Manager.get());
    const auto selected = [&] {
        DWORD from = 0, to = 0;
        SendMessageW(drop->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return from != to;
    };
    RECT w{};
    GetWindowRect(drop->Handle(), &w);
    for (int visit = 0; visit < 2; ++visit) {
        SendMessageW(drop->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        ASSERT_TRUE(selected());
        SetCursorPos(w.right - 6, (w.top + w.bottom) / 2);  // over the button: the edit field is no control of the library's
        EXPECT_TRUE(PumpUntil([&] { return !selected(); })) << "visit " << visit;
        SetCursorPos(5, 5);
        PumpUntil([&] { return !static_cast<TvlMainWnd *>(adapter.get())->SkinData->MouseInside; });
        PumpFor(50ms);
    }
}

// A simple combo box that keeps its visual style gets a plain frame in the
// skin's border colour around the window's colour.
TEST_F(Combo, SimpleComboKeepingItsStyleIsFramedInTheBorderColour) {
    auto *simple = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    simple->SetStyle(vcl::csSimple);
    simple->SetBounds(20, 80, 170, 110);
    simple->Items()->Add("One");
    std::unique_ptr<TvlWindowAdapter> adapter;
    {
        const TvlKeepThemeScope keep;
        adapter = AdapterFactory().CreateAdapter(tpComboBox, simple->Handle(), ParamsFor(simple), Manager.get());
    }
    RedrawWindow(simple->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(50ms);
    const auto shot = uitest::CaptureWindow(simple->Handle());
    EXPECT_EQ(ColorAt(shot, 0, 0), SkinBorder);
    EXPECT_EQ(ColorAt(shot, 1, 1), static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW)));
}

// With an EDIT section of two states, the selection field prints as the
// screen shows it while the mouse makes the combo active and while it has
// the focus, and the dropped list's picture is filled with the second
// state's colour.
TEST_F(Combo, ActiveLookTakesTheEditSectionsSecondState) {
    ApplyActiveEditSkin(*Manager);
    SendMessageW(Box->Handle(), CB_SETCURSEL, 0, 0);
    auto *other = Form.Add(vcl::Create<vcl::TEdit>(Form.Form), 20, 200);
    other->SetFocus();
    RECT w{};
    GetWindowRect(Box->Handle(), &w);
    {
        // The mouse makes the combo active too.
        const TvlStateOverride<bool> extended{ModuleState().ExtendedHotTracking, true};
        SetCursorPos(w.left + 40, (w.top + w.bottom) / 2);
        ASSERT_TRUE(PumpUntil([&] { return A().SkinData->MouseInside; }));
        ASSERT_TRUE(A().SkinData->IsControlActive());
        EXPECT_EQ(PrintedNotAsShown(Box->Handle()), 0);
    }
    Box->SetFocus();
    SetCursorPos(5, 5);
    PumpFor(40ms);
    EXPECT_EQ(PrintedNotAsShown(Box->Handle()), 0);
    ClickAt(ButtonCentre());
    ASSERT_TRUE(Dropped());
    ASSERT_NE(A().ListAdapter, nullptr);
    PumpFor(40ms);
    TvlComboListWnd &list = *A().ListAdapter;
    EXPECT_EQ(list.AppliedColor, EditActiveFace);
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(list.SkinData->CacheBmp()->Canvas()->Handle(), 2, 2)), EditActiveFace);
}

// The focus leaving a drop-down combo takes its text's selection only
// where the skin shows the combo differently while it is active.
TEST_F(Combo, FocusLeavingADropDownComboDeselectsItsTextWhereTheSkinShowsTheFocus) {
    auto *drop = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 80);
    drop->SetBounds(20, 80, 170, 24);
    drop->SetText("Hello");
    auto *other = Form.Add(vcl::Create<vcl::TEdit>(Form.Form), 20, 200);
    const auto adapter = AdapterFactory().CreateAdapter(tpComboBox, drop->Handle(), ParamsFor(drop), Manager.get());
    const auto selected = [&] {
        DWORD from = 0, to = 0;
        SendMessageW(drop->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return from != to;
    };
    for (const bool twoStates : {false, true}) {
        if (twoStates) ApplyActiveEditSkin(*Manager);
        drop->SetFocus();
        PumpFor(30ms);
        SendMessageW(drop->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        ASSERT_TRUE(selected());
        other->SetFocus();
        PumpFor(30ms);
        EXPECT_EQ(selected(), !twoStates) << "two states " << twoStates;
    }
}

// The field as the print shows it: a simple combo prints its field as the
// screen shows it, a focused bare drop-down list shows its
// text selected, a combo aligned to the right prints its item where the
// screen shows it, and a tall owner-drawn field its item at its top.
TEST_F(Combo, PrintedFieldsFollowTheComboStyles) {
    constexpr vcl::TColor Fill = 0xFF00FF;
    auto *simple = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 240, 20);
    simple->SetStyle(vcl::csSimple);
    simple->SetBounds(240, 20, 140, 110);
    for (int i = 0; i < 20; ++i) simple->Items()->Add("Option");
    auto simpleAdapter = AdapterFactory().CreateAdapter(tpComboBox, simple->Handle(), ParamsFor(simple), Manager.get());
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(simple->Handle(), &info));
    RECT c{}, l{};
    GetWindowRect(simple->Handle(), &c);
    GetWindowRect(info.hwndList, &l);
    // The list's frame strips differ between the screen and prints (their
    // see-through pixels take what lies beyond the field's picture): the
    // field is compared.
    EXPECT_EQ(PrintedNotAsShown(simple->Handle(), l.top - c.top), 0);

    const HWND bare = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 240, 150,
                                      140, 200, Form.Form->WindowHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bare, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Bare"));
    SendMessageW(bare, CB_SETCURSEL, 0, 0);
    auto bareAdapter = AdapterFactory().CreateAdapter(tpComboBox, bare, ParamsFor(nullptr), Manager.get());
    SetFocus(bare);
    const uitest::TImage32 focused = PrintedOver(bare, Fill);
    EXPECT_EQ(ColorAt(focused, 4, focused.Height / 2), static_cast<vcl::TColor>(GetSysColor(COLOR_HIGHLIGHT)));

    SendMessageW(Box->Handle(), CB_SETCURSEL, 1, 0);
    SetWindowLongPtrW(Box->Handle(), GWL_EXSTYLE, GetWindowLongPtrW(Box->Handle(), GWL_EXSTYLE) | WS_EX_RIGHT);
    ASSERT_FALSE(FindInk(PrintedOver(Box->Handle(), Fill), [](vcl::TColor p) { return p == EditInk; }).Empty());
    EXPECT_EQ(PrintedNotAsShown(Box->Handle()), 0);

    // An owner-drawn field much taller than its text writes the item at the
    // field's top, as the class library draws it.
    auto *tall = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 200);
    tall->SetStyle(vcl::csOwnerDrawFixed);
    tall->SetBounds(20, 200, 160, 24);
    tall->Items()->Add("Tall");
    tall->SetItemIndex(0);
    auto tallAdapter = AdapterFactory().CreateAdapter(tpComboBox, tall->Handle(), ParamsFor(tall), Manager.get());
    SendMessageW(tall->Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 40);
    const uitest::TImage32 tallField = PrintedOver(tall->Handle(), Fill);
    ASSERT_GT(tallField.Height, 40);
    const InkBox top = FindInk(tallField, [](vcl::TColor p) { return p == EditInk; });
    ASSERT_FALSE(top.Empty());
    EXPECT_LT(top.Top, 3 + 6);
    tallAdapter.reset();
    bareAdapter.reset();
    DestroyWindow(bare);
}

// Each paint builds the pictures again: a mark put into the combo's and the
// dropped list's pictures is painted over at their next paint.
TEST_F(Combo, EveryPaintBuildsThePicturesAgain) {
    constexpr COLORREF Mark = RGB(255, 0, 255);
    const auto mark = [&](vcl::TBitmap &Cache, int Y) {
        for (int x = 0; x < Cache.Width(); ++x) SetPixel(Cache.Canvas()->Handle(), x, Y, Mark);
        GdiFlush();
    };
    mark(*A().SkinData->CacheBmp(), 1);
    RedrawWindow(Box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const uitest::TImage32 combo = uitest::CaptureWindow(Box->Handle());
    EXPECT_NE(ColorAt(combo, combo.Width / 3, 1), vcl::TColor{0xFF00FF});
    ClickAt(ButtonCentre());
    ASSERT_TRUE(Dropped());
    ASSERT_NE(A().ListAdapter, nullptr);
    PumpFor(40ms);
    TvlComboListWnd &list = *A().ListAdapter;
    mark(*list.SkinData->CacheBmp(), 0);
    SendMessageW(list.Handle, WM_NCPAINT, 1, 0);
    const uitest::TImage32 dropped = uitest::CaptureWindow(list.Handle);
    EXPECT_EQ(ColorAt(dropped, dropped.Width / 3, 0), SkinBorder);
}

TEST_F(Combo, CreateDestroyKeepsHandleCountsFlat) {
    ExpectFlatHandleCounts([&] {
        auto *box = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 20, 150);
        box->Items()->Add("One");
        auto adapter = AdapterFactory().CreateAdapter(tpComboBox, box->Handle(), ParamsFor(box), Manager.get());
        RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        adapter.reset();
        delete box;
    });
}

} // namespace
} // namespace skin
