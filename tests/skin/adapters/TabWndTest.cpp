// The tab-control and page-control adapters: bare "SysTabControl32"
// windows with tabs on top and on the left, one without tabs, the class
// library's TTabControl and TPageControl with pages. The active tab in its
// state-2 face joined to the frame, the others in state 0, the frame's
// section, a click of the real mouse still selecting a tab, a skin without
// tab elements, the arrows' adapter asked of the factory, one adapter per
// page (a page added later too, a destroyed one gone), and the live counts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "BarsTestSupport.h"
#include "skin/adapters/vlTabWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/GdiObjects.h"
#include "vcl/Panels.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

vcl::TRect ItemRect(HWND Tabs, int Index) {
    RECT r{};
    SendMessageW(Tabs, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
}

class TabAdapter : public BarsFixture {
protected:
    TabAdapter() {
        InitCommonControls();
        Form.Form->SetBounds(40, 40, 640, 420);
        Form.Show();
        uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
    }
    HWND BareTabs(DWORD Style, int X, int Y, int W, int H, int Count) {
        const HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | Style, X, Y, W, H,
                                          Form.Form->WindowHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        for (int i = 0; i < Count; ++i) {
            std::wstring text = L"Tab " + std::to_wstring(i);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
        return tabs;
    }
    std::unique_ptr<TvlWindowAdapter> Skin(int Kind, HWND Window, vcl::TControl *Control = nullptr) {
        auto a = AdapterFactory().CreateAdapter(Kind, Window, ParamsFor(Control), Manager.get());
        RedrawAll(Form.Form->WindowHandle());
        return a;
    }
    // The colour in the middle of a tab's upper half, read from the screen.
    vcl::TColor TabFace(HWND Tabs, int Index) {
        const vcl::TRect r = ItemRect(Tabs, Index);
        return ScreenColor(Tabs, r.Left + 4, r.Top + 5);
    }
    TestForm Form;
};

TEST_F(TabAdapter, ActiveTabIsInStateTwoOthersInStateZeroOverTheFrameSection) {
    const HWND tabs = BareTabs(0, 10, 10, 300, 160, 3);
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    const auto adapter = Skin(tpTabControl, tabs);
    auto *a = dynamic_cast<TvlTabControlWnd *>(adapter.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->SkinData->SkinSection(), "PAGECONTROL");
    EXPECT_EQ(SendSkinCommand(tabs, SC_IS_HANDLED, 0), 1);
    EXPECT_EQ(SendSkinCommand(tabs, SC_GET_SKIN_MANAGER, 0), reinterpret_cast<LRESULT>(Manager.get()));
    EXPECT_EQ(TabFace(tabs, 1), TabActive);
    EXPECT_EQ(TabFace(tabs, 0), TabNormal);
    EXPECT_EQ(TabFace(tabs, 2), TabNormal);
    const uitest::TImage32 image = uitest::CaptureWindow(tabs);
    // The frame, and the strip right of the last tab showing the form.
    EXPECT_EQ(ColorAt(image, 150, 100), FrameFace);
    EXPECT_EQ(ColorAt(image, 290, 5), 0xFFFFFFu);
    // The active tab joins the frame: its face reaches over the frame's top edge.
    const vcl::TRect active = a->TabRect(1, true);
    ASSERT_GE(active.Bottom - 2, a->GetFrameRect().Top);
    EXPECT_EQ(ColorAt(image, (active.Left + active.Right) / 2, active.Bottom - 2), TabActive);
    EXPECT_EQ(ColorAt(image, (active.Left + active.Right) / 2, active.Bottom - 1), TabBorder);
    EXPECT_GT(CountColor(image, TabHotInk), 5);  // the active caption in the hot colour
    EXPECT_GT(CountColor(image, TabInk), 5);
    SaveWindowPicture(tabs, "tabs-top-skinned.png");
}

TEST_F(TabAdapter, RealClickSelectsAnotherTabWhichThenShowsActive) {
    const HWND tabs = BareTabs(0, 10, 10, 300, 160, 3);
    const auto adapter = Skin(tpTabControl, tabs);
    ASSERT_EQ(TabFace(tabs, 0), TabActive);
    const vcl::TRect r = ItemRect(tabs, 2);
    POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    ClientToScreen(tabs, &p);
    ClickAt(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 2; }));
    RedrawAll(tabs);
    EXPECT_EQ(TabFace(tabs, 2), TabActive);
    EXPECT_EQ(TabFace(tabs, 0), TabNormal);
    // A selection made by the program shows at once too.
    SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    PumpFor(60ms);
    EXPECT_EQ(TabFace(tabs, 1), TabActive);
    EXPECT_EQ(TabFace(tabs, 2), TabNormal);
}

TEST_F(TabAdapter, VerticalTabsNoTabsAndASkinWithoutTabElements) {
    const HWND left = BareTabs(TCS_VERTICAL | TCS_MULTILINE, 10, 10, 260, 200, 3);
    const HWND none = BareTabs(0, 300, 10, 120, 80, 0);
    auto a1 = Skin(tpTabControl, left);
    auto a2 = Skin(tpTabControl, none);
    const vcl::TRect r = ItemRect(left, 2);
    ASSERT_GT(r.Height(), r.Width());
    const uitest::TImage32 image = uitest::CaptureWindow(left);
    // Turned captions: the ink of an inactive tab is taller than wide.
    const InkBox ink = FindInk(image, [](vcl::TColor c) { return c == TabInk; });
    ASSERT_FALSE(ink.Empty());
    EXPECT_GT(ink.Bottom - ink.Top, ink.Right - ink.Left);
    EXPECT_EQ(ScreenColor(left, r.Left + 5, (r.Top + r.Bottom) / 2 - 12), TabNormal);
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(none), 60, 40), CheckFace);
    SaveWindowPicture(left, "tabs-left-skinned.png");

    a1.reset();
    a2.reset();
    Manager.reset();
    Manager = BarsSkinManager(false);
    const HWND plain = BareTabs(0, 10, 220, 300, 120, 3);
    auto a3 = Skin(tpTabControl, plain);
    const uitest::TImage32 captions = uitest::CaptureWindow(plain);
    EXPECT_EQ(CountColor(captions, TabNormal) + CountColor(captions, TabActive), 0);
    EXPECT_GT(CountColor(captions, 0x202020), 5);  // captions in the frame section's font colour
}

TEST_F(TabAdapter, SkinRemovedAndAppliedAgainWithPicturesKept) {
    const HWND tabs = BareTabs(0, 10, 10, 300, 160, 3);
    const auto adapter = Skin(tpTabControl, tabs);
    const auto tell = [&](unsigned Command) {
        SendMessageW(tabs, SM_SKINCOMMAND, SkinCommand(Command), reinterpret_cast<LPARAM>(Manager.get()));
        RedrawAll(tabs);
    };
    ASSERT_EQ(TabFace(tabs, 0), TabActive);
    SaveWindowPicture(tabs, "tabs-cycle-1-skinned.png");
    Manager->SetActive(false);
    tell(SC_SKIN_REMOVED);
    const uitest::TImage32 plain = uitest::CaptureWindow(tabs);
    EXPECT_EQ(CountColor(plain, TabActive) + CountColor(plain, FrameFace) + CountColor(plain, TabNormal), 0);
    SaveWindowPicture(tabs, "tabs-cycle-2-unskinned.png");
    Manager->SetActive(true);
    tell(SC_SKIN_APPLIED);
    EXPECT_EQ(TabFace(tabs, 0), TabActive);
    EXPECT_EQ(TabFace(tabs, 1), TabNormal);
    SaveWindowPicture(tabs, "tabs-cycle-3-skinned.png");
}

// Told by its parent to drop its cache, it asks the tab control once to
// refresh itself.
struct RefreshAsker {
    RefreshAsker(vcl::TControl *Control, HWND Tabs, TsSkinManager *Manager)
        : Control(Control), Tabs(Tabs), Manager(Manager), Previous(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&RefreshAsker::Handle>(this);
    }
    ~RefreshAsker() { Control->WindowProc = Previous; }
    RefreshAsker(const RefreshAsker &) = delete;
    RefreshAsker &operator=(const RefreshAsker &) = delete;
    void Handle(vcl::TMessage &M) {
        if (!Asked && M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_INVALIDATE_CACHE) {
            Asked = true;
            SendMessageW(Tabs, SM_SKINCOMMAND, SkinCommand(SC_SKIN_REFRESH), reinterpret_cast<LPARAM>(Manager));
        }
        Previous(M);
    }
    vcl::TControl *Control;
    HWND Tabs;
    TsSkinManager *Manager;
    vcl::TWndMethod Previous;
    bool Asked = false;
};

TEST_F(TabAdapter, ARefreshAskedWhileTheTabControlTakesTheSkinLeavesTheApplysOwnStepsToIt) {
    auto *tabs = vcl::Create<vcl::TTabControl>(Form.Form);
    tabs->SetParent(Form.Form);
    tabs->SetBounds(10, 10, 300, 150);
    tabs->Tabs()->Add("One");
    auto *hidden = vcl::Create<vcl::TPanel>(Form.Form);
    hidden->SetVisible(false);
    hidden->SetParent(tabs);
    const auto adapter = Skin(tpTabControl, tabs->Handle(), tabs);
    auto *a = dynamic_cast<TvlTabControlWnd *>(adapter.get());
    ASSERT_NE(a, nullptr);
    // Without a section of its own the common answer names one after the
    // control's class, and that change tells the children.
    a->SkinData->SetSkinSection("");
    RefreshAsker asker(hidden, tabs->Handle(), Manager.get());
    SendMessageW(tabs->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    ASSERT_TRUE(asker.Asked);
    // The apply's own step after the common answer: its windowed children get windows.
    EXPECT_TRUE(hidden->HandleAllocated());
}

// Answers the up-down kind with an adapter base and records the ask.
struct ArrowFactory : TvlAdapterFactory {
    int Asked = 0;
    std::string Section;
    std::unique_ptr<TvlWindowAdapter> CreateAdapter(int Kind, HWND Window, const TvlSkinParams &Params,
                                                    TsSkinManager *Manager) override {
        if (Kind != 19) return Previous->CreateAdapter(Kind, Window, Params, Manager);
        ++Asked;
        Section = Params.SkinSection;
        return NewAdapter<TvlMainWnd>(Window, nullptr, Manager, Params);
    }
    std::unique_ptr<TvlScrollAdapter> CreateScrollAdapter(HWND W, const TvlSkinParams &P, TsSkinManager *M,
                                                          TsCommonData *D) override {
        return Previous->CreateScrollAdapter(W, P, M, D);
    }
    std::unique_ptr<TvlWindowAdapter> CreateMDIClientAdapter(HWND W, const TvlSkinParams &P, TsSkinManager *M,
                                                             TvlFormProvider *F) override {
        return Previous->CreateMDIClientAdapter(W, P, M, F);
    }
    TvlAdapterFactory *Previous = &AdapterFactory();
};

TEST_F(TabAdapter, TheStripArrowsGetTheirAdapterFromTheFactory) {
    ArrowFactory factory;
    const TvlServiceRegistration<TvlAdapterFactory> registration(factory);
    const HWND tabs = BareTabs(0, 10, 10, 160, 100, 12);
    const auto adapter = Skin(tpTabControl, tabs);
    auto *a = dynamic_cast<TvlTabControlWnd *>(adapter.get());
    ASSERT_NE(FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr), nullptr);
    EXPECT_GE(factory.Asked, 1);
    EXPECT_EQ(factory.Section, "UPDOWNBTN");
    ASSERT_NE(a->UpDownAdapter, nullptr);
    EXPECT_EQ(a->UpDownAdapter->AdapterWindow(), FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr));
    // Each erase makes the arrows' adapter anew.
    const int asked = factory.Asked;
    RedrawWindow(tabs, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
    EXPECT_GT(factory.Asked, asked);
    ASSERT_NE(a->UpDownAdapter, nullptr);
    EXPECT_EQ(a->UpDownAdapter->AdapterWindow(), FindWindowExW(tabs, nullptr, UPDOWN_CLASSW, nullptr));
}

TEST_F(TabAdapter, ClassLibraryTabControlDrawsItsOwnTabsThroughTheSkin) {
    auto *tabs = vcl::Create<vcl::TTabControl>(Form.Form);
    tabs->SetParent(Form.Form);
    tabs->SetBounds(10, 10, 300, 150);
    for (const char *t : {"First", "Second"}) tabs->Tabs()->Add(t);
    struct Drawer {
        int Calls = 0;
        bool OwnFont = false;
        void Draw(vcl::TCustomTabControl *C, int, const vcl::TRect &R, bool) {
            ++Calls;
            C->Canvas()->Brush()->SetColor(0x00FF00);
            C->Canvas()->FillRect({R.Left + 6, R.Top + 6, R.Left + 12, R.Top + 12});
            if (OwnFont) C->Canvas()->Font()->SetColor(0x0080FF);
        }
    } drawer;
    tabs->SetOwnerDraw(true);
    tabs->OnDrawTab = vcl::TDrawTabEvent::Bind<&Drawer::Draw>(&drawer);
    vcl::Application->ProcessMessages();
    const auto adapter = Skin(tpTabControl, tabs->Handle(), tabs);
    EXPECT_GT(drawer.Calls, 0);
    const vcl::TRect r = ItemRect(tabs->WindowHandle(), 1);
    const uitest::TImage32 image = uitest::CaptureWindow(tabs->WindowHandle());
    // Both tabs' squares (6 x 6 each, the captions may cross them).
    EXPECT_GT(CountColor(image, 0x00FF00), 40);
    EXPECT_EQ(ColorAt(image, r.Right - 6, r.Top + 5), TabNormal);
    // The captions still come, in the section's colours...
    EXPECT_GT(CountColor(image, TabInk), 5);
    // ...or, once the handler chose a font of its own, in that font.
    drawer.OwnFont = true;
    RedrawAll(tabs->WindowHandle());
    const uitest::TImage32 own = uitest::CaptureWindow(tabs->WindowHandle());
    EXPECT_EQ(CountColor(own, TabInk), 0);
    EXPECT_GT(CountColor(own, 0x0080FF), 5);
}

TEST_F(TabAdapter, AClassLibraryTabsImagesFollowTheManagersGlyphOption) {
    constexpr vcl::TColor Glyph = 0x2020E0;
    auto *tabs = vcl::Create<vcl::TTabControl>(Form.Form);
    tabs->SetParent(Form.Form);
    tabs->SetBounds(10, 10, 300, 150);
    for (const char *t : {"First", "Second"}) tabs->Tabs()->Add(t);
    const HWND window = tabs->Handle();
    // One image of 12 x 12 in one colour, on the second tab.
    const HIMAGELIST images = ImageList_Create(12, 12, ILC_COLOR24, 1, 1);
    {
        const vcl::TWindowDC screen;
        const vcl::TBitmapHandle bmp(CreateCompatibleBitmap(screen.Get(), 12, 12));
        const vcl::TMemoryDC dc(screen.Get());
        const HGDIOBJ old = SelectObject(dc.Get(), bmp.Get());
        const vcl::TBrushHandle brush(CreateSolidBrush(Glyph));
        const RECT all{0, 0, 12, 12};
        FillRect(dc.Get(), &all, brush.Get());
        SelectObject(dc.Get(), old);
        ImageList_Add(images, bmp.Get(), nullptr);
    }
    SendMessageW(window, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = 0;
    SendMessageW(window, TCM_SETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    const auto adapter = Skin(tpTabControl, window, tabs);
    const vcl::TRect r = ItemRect(window, 1);
    const auto inTab = [&](auto Wanted) {
        RedrawAll(window);
        const uitest::TImage32 image = uitest::CaptureWindow(window);
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += Wanted(ColorAt(image, x, y));
        return n;
    };
    EXPECT_GE(inTab([&](vcl::TColor C) { return C == Glyph; }), 100);
    // Discoloured: half the tab's own colour, half the image's.
    Manager->Effects()->SetDiscoloredGlyphs(true);
    const auto half = [](vcl::TColor A, vcl::TColor B, int Shift) {
        return (((A >> Shift) & 0xFF) + ((B >> Shift) & 0xFF)) / 2;
    };
    EXPECT_EQ(inTab([&](vcl::TColor C) { return C == Glyph; }), 0);
    EXPECT_GE(inTab([&](vcl::TColor C) {
                  for (int shift : {0, 8, 16})
                      if (std::abs(static_cast<int>((C >> shift) & 0xFF) - half(Glyph, TabNormal, shift)) > 2) return false;
                  return true;
              }),
              100);
    Manager->Effects()->SetDiscoloredGlyphs(false);
    ImageList_Destroy(images);
}

class PageAdapter : public TabAdapter {
protected:
    PageAdapter() {
        Pages = vcl::Create<vcl::TPageControl>(Form.Form);
        Pages->SetParent(Form.Form);
        Pages->SetBounds(10, 10, 400, 300);
        for (const char *caption : {"General", "Details", "More"}) AddPage(caption);
        Pages->SetActivePage(Pages->Pages(0));
        vcl::Application->ProcessMessages();
    }
    vcl::TTabSheet *AddPage(const char *Caption) {
        auto *sheet = vcl::Create<vcl::TTabSheet>(Form.Form);
        sheet->SetCaption(Caption);
        sheet->SetPageControl(Pages);
        sheet->Handle();
        return sheet;
    }
    vcl::TPageControl *Pages = nullptr;
};

TEST_F(PageAdapter, EachPageGetsOneAdapterAndShowsTheFrameThroughWithItsLabel) {
    for (int i = 0; i < 3; ++i) {
        auto *label = vcl::Create<vcl::TLabel>(Form.Form);
        label->SetBounds(20, 20, 150, 20);
        label->SetCaption("Label WWW");
        label->SetParent(Pages->Pages(i));
    }
    const std::size_t before = PageAdapterCount();
    const auto adapter = Skin(tpPageControl, Pages->Handle(), Pages);
    ASSERT_NE(dynamic_cast<TvlPageControlWnd *>(adapter.get()), nullptr);
    EXPECT_EQ(PageAdapterCount(), before + 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SendSkinCommand(Pages->Pages(i)->WindowHandle(), SC_IS_HANDLED, 0), 1);
        Pages->SetActivePage(Pages->Pages(i));
        RedrawAll(Pages->WindowHandle());
        const HWND page = Pages->Pages(i)->WindowHandle();
        EXPECT_EQ(ScreenColor(page, 100, 100), FrameFace) << "page " << i;
        // The label's text (in the skin's colour) on the page's face.
        const uitest::TImage32 shown = uitest::CaptureWindow(page);
        int text = 0;
        for (int y = 20; y < 40; ++y)
            for (int x = 20; x < 170; ++x) text += ColorAt(shown, x, y) != FrameFace;
        EXPECT_GT(text, 20) << "the label on page " << i;
        EXPECT_EQ(TabFace(Pages->WindowHandle(), i), TabActive);
        SaveWindowPicture(Pages->WindowHandle(), "pages-" + std::to_string(i) + "-skinned.png");
    }
    // A page added later gets exactly one adapter; asking again adds none.
    vcl::TTabSheet *later = AddPage("Later");
    SendMessageW(Pages->WindowHandle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(PageAdapterCount(), before + 4);
    SendMessageW(Pages->WindowHandle(), WM_NCPAINT, 1, 0);
    SendMessageW(Pages->WindowHandle(), WM_PRINT, 0, PRF_CLIENT);
    EXPECT_EQ(PageAdapterCount(), before + 4);
    EXPECT_EQ(SendSkinCommand(later->WindowHandle(), SC_IS_HANDLED, 0), 1);
    // A page destroyed takes its adapter out of the list.
    delete later;
    EXPECT_EQ(PageAdapterCount(), before + 3);
}

TEST_F(PageAdapter, LiveCountsStayFlatOverCreateAndDestroyCycles) {
    ExpectFlatCounts(1000, [&] {
        const HWND tabs = BareTabs(TCS_MULTILINE, 10, 10, 200, 120, 4);
        const HWND page = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 4, 30, 190, 80, tabs, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
        (void)page;
        auto adapter = AdapterFactory().CreateAdapter(tpPageControl, tabs, ParamsFor(nullptr), Manager.get());
        SendMessageW(tabs, WM_PRINT, 0, PRF_CLIENT);
        DestroyWindow(tabs);
        adapter.reset();
        PageAdapterCount();
    });
    EXPECT_EQ(PageAdapterCount(), 0u);
}

} // namespace
} // namespace skin
