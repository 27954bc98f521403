// The adapters of the class library's group box, panel, static text and
// scroll box, made by the adapters' factory for their kinds: sections chosen
// by bevels, the face and caption in the section's colours, the caption
// band of a group box, a panel's Tag 999, frames and client parts, skin
// removal, and the adapters' ends.
#include <gtest/gtest.h>

#include "StaticTestSupport.h"
#include "skin/adapters/vlContainerWnd.h"
#include "skin/adapters/vlPanelWnd.h"
#include "skin/adapters/vlStaticWnd.h"
#include "skin/adapters/vlTabWnd.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "vcl/HandleCounts.h"
#include "vcl/Panels.h"
#include "vcl/Tabs.h"

namespace skin {
namespace {

using namespace skin::test;

class PanelWnd : public StaticsFixture {
protected:
    PanelWnd() { Form.Show(); }

    template <class A> A *Make(int Kind, vcl::TWinControl *Control) {
        Adapters.push_back(AdapterFactory().CreateAdapter(Kind, Control->Handle(), ParamsFor(Control), Manager.get()));
        return dynamic_cast<A *>(Adapters.back().get());
    }
    vcl::TPanel *NewPanel(vcl::TBevelCut Outer, vcl::TBevelCut Inner, const std::string &Caption, int Left = 10,
                          int Top = 10) {
        auto *p = Form.Add(vcl::Create<vcl::TPanel>(Form.Form), Left, Top);
        p->SetBounds(Left, Top, 160, 60);
        p->SetBevelOuter(Outer);
        p->SetBevelInner(Inner);
        p->SetCaption(Caption);
        return p;
    }
    // A 160 x 60 panel of the given outer bevel inside a plain green panel
    // (Outer).
    vcl::TPanel *InnerPanel(vcl::TPanel *&Outer, vcl::TBevelCut Bevel) {
        Outer = NewPanel(vcl::bvNone, vcl::bvNone, "");
        Outer->SetBounds(10, 10, 300, 200);
        Outer->SetColor(0x00FF00);
        auto *panel = vcl::Create<vcl::TPanel>(Form.Form);
        panel->SetBounds(20, 20, 160, 60);
        panel->SetBevelOuter(Bevel);
        panel->SetParent(Outer);
        return panel;
    }
    // A 200 x 120 scroll box whose red child is taller than it: it has a
    // vertical bar.
    vcl::TScrollBox *TallScrollBox(vcl::TPanel *&Child) {
        auto *box = Form.Add(vcl::Create<vcl::TScrollBox>(Form.Form));
        box->SetBounds(10, 10, 200, 120);
        Child = vcl::Create<vcl::TPanel>(Form.Form);
        Child->SetBevelOuter(vcl::bvNone);
        Child->SetColor(0x0000FF);
        Child->SetBounds(10, 10, 60, 300);
        Child->SetParent(box);
        box->UpdateScrollRange();
        return box;
    }

    static constexpr vcl::TColor FormColor = 0x808080;
    TestForm Form{FormColor};
    std::vector<std::unique_ptr<TvlWindowAdapter>> Adapters;
};

TEST_F(PanelWnd, GroupBoxShowsItsSectionBelowTheCaptionAndTheParentAboveIt) {
    auto *box = Form.Add(vcl::Create<vcl::TGroupBox>(Form.Form));
    box->SetBounds(10, 10, 200, 100);
    box->SetCaption("Options");
    auto *a = Make<TvlGroupBoxWnd>(tpGroupBox, box);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->SkinData->SkinSection(), "GROUPBOX");
    const uitest::TImage32 image = Shown(box->Handle());
    const vcl::TRect caption = a->CaptionRect();
    EXPECT_EQ(caption.Left, 6);
    EXPECT_GT(caption.Height(), 6);
    // Above the frame's top (half the band) the parent shows; the frame below.
    EXPECT_EQ(ColorAt(image, 190, 0), Main);
    EXPECT_EQ(ColorAt(image, 190, caption.Height() / 2 + 1), GroupFace);
    EXPECT_EQ(ColorAt(image, 100, 90), GroupFace);
    const InkBox ink = FindInk(image, [](vcl::TColor c) { return c == GroupText; });
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.Left, caption.Left);
    EXPECT_LE(ink.Right, caption.Right);
    EXPECT_LE(ink.Bottom, caption.Bottom);
    // Behind the caption the parent's background, not the frame.
    EXPECT_EQ(ColorAt(image, caption.Left + 1, caption.Height() / 2 + 1), Main);
    EXPECT_EQ(SendSkinCommand(box->Handle(), SC_GET_CAPTION_HEIGHT, 0), caption.Height());
}

// An erase with a DC of its own paints nothing (the paint does), unless
// the control is painting a copy of itself.
TEST_F(PanelWnd, GroupBoxEraseFillsTheDCOnlyForACopy) {
    auto *box = Form.Add(vcl::Create<vcl::TGroupBox>(Form.Form));
    box->SetBounds(10, 10, 200, 100);
    Make<TvlGroupBoxWnd>(tpGroupBox, box);
    Shown(box->Handle());
    const auto picture = NewBitmap32(200, 100);
    const HDC dc = picture->Canvas()->Handle();
    for (const bool copy : {false, true}) {
        vcl::TControlState state = box->ControlState();
        if (copy) state.Include(vcl::csPaintCopy);
        box->SetControlState(state);
        PatBlt(dc, 0, 0, 200, 100, BLACKNESS);
        SendMessageW(box->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, 100, 90)), copy ? GroupFace : vcl::clBlack) << copy;
    }
}

TEST_F(PanelWnd, EmptyGroupBoxCaptionKeepsASixPixelBand) {
    auto *box = Form.Add(vcl::Create<vcl::TGroupBox>(Form.Form));
    box->SetBounds(10, 10, 200, 100);
    auto *a = Make<TvlGroupBoxWnd>(tpGroupBox, box);
    EXPECT_EQ(a->CaptionRect(), (vcl::TRect{6, 0, 14, 6}));
    EXPECT_EQ(SendSkinCommand(box->Handle(), SC_GET_CAPTION_HEIGHT, 0), 6);
    const uitest::TImage32 image = Shown(box->Handle());
    EXPECT_EQ(ColorAt(image, 100, 2), Main);
    EXPECT_EQ(ColorAt(image, 100, 3), GroupFace);
    EXPECT_EQ(CountColor(image, GroupText), 0);
}

TEST_F(PanelWnd, PanelSectionsFollowTheBevels) {
    auto *groupLike = NewPanel(vcl::bvRaised, vcl::bvLowered, "");
    auto *raised = NewPanel(vcl::bvRaised, vcl::bvRaised, "", 180, 10);
    auto *flat = NewPanel(vcl::bvNone, vcl::bvNone, "", 10, 80);
    auto *bordered = NewPanel(vcl::bvNone, vcl::bvNone, "", 180, 80);
    bordered->SetBorderStyle(vcl::bsSingle);
    const std::pair<vcl::TPanel *, const char *> cases[] = {
        {groupLike, "GROUPBOX"}, {raised, "PANEL"}, {flat, "CHECKBOX"}, {bordered, "PANEL_LOW"}};
    for (const auto &[panel, section] : cases) {
        auto *a = Make<TvlPanelWnd>(tpPanel, panel);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->SkinData->SkinSection(), section);
        EXPECT_EQ(a->Panel.Get(), panel);
    }
    EXPECT_EQ(ColorAt(Shown(raised->Handle()), 80, 30), PanelFace);
    EXPECT_EQ(ColorAt(Shown(groupLike->Handle()), 80, 30), GroupFace);
    // Without bevels and border the panel is a transparent area over the form.
    EXPECT_EQ(ColorAt(Shown(flat->Handle()), 80, 30), FormColor);
    // A border: its strips come from the cache as well.
    const uitest::TImage32 low = Shown(bordered->Handle());
    EXPECT_EQ(ColorAt(low, 0, 0), LowFace);
    EXPECT_EQ(ColorAt(low, 80, 30), LowFace);
}

TEST_F(PanelWnd, PanelCaptionIsCentredAndTag999HidesIt) {
    auto *shown = NewPanel(vcl::bvRaised, vcl::bvNone, "Caption");
    auto *hidden = NewPanel(vcl::bvRaised, vcl::bvNone, "Caption", 180, 10);
    hidden->SetTag(999);
    Make<TvlPanelWnd>(tpPanel, shown);
    Make<TvlPanelWnd>(tpPanel, hidden);
    const uitest::TImage32 image = Shown(shown->Handle());
    const InkBox ink = FindInk(image, [](vcl::TColor c) { return c == PanelText; });
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(std::abs(ink.Left - (160 - ink.Right)), 3);
    EXPECT_LE(std::abs(ink.Top - (60 - ink.Bottom)), 4);
    EXPECT_EQ(CountColor(Shown(hidden->Handle()), PanelText), 0);
    // The same through WM_PRINT.
    EXPECT_EQ(FindInk(Printed(shown->Handle()), [](vcl::TColor c) { return c == PanelText; }), ink);
}

TEST_F(PanelWnd, PanelChildrenArePaintedOverTheSkinnedFace) {
    auto *panel = NewPanel(vcl::bvRaised, vcl::bvNone, "");
    auto *child = vcl::Create<vcl::TPanel>(Form.Form);
    child->SetBounds(20, 20, 40, 20);
    child->SetBevelOuter(vcl::bvNone);
    child->SetColor(0x0000FF);
    child->SetParent(panel);
    Make<TvlPanelWnd>(tpPanel, panel);
    const uitest::TImage32 image = Shown(panel->Handle());
    EXPECT_EQ(ColorAt(image, 30, 30), 0x0000FF);
    EXPECT_EQ(ColorAt(image, 100, 30), PanelFace);
}

TEST_F(PanelWnd, RemovingTheSkinGivesThePanelItsOwnLookAndStyleBack) {
    auto *panel = NewPanel(vcl::bvRaised, vcl::bvNone, "");
    panel->SetColor(0x00FFFF);
    const vcl::TControlStyle own = panel->ControlStyle();
    Make<TvlPanelWnd>(tpPanel, panel);
    EXPECT_EQ(ColorAt(Shown(panel->Handle()), 80, 30), PanelFace);
    Manager->SetActive(false);
    // The removal as a form's provider hands it on, the manager off already:
    // the panel keeps no opaque style, its own included.
    SendMessageW(panel->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(panel->ControlStyle(), own - vcl::TControlStyle{vcl::csOpaque});
    const uitest::TImage32 removed = Shown(panel->Handle());
    EXPECT_EQ(ColorAt(removed, 80, 30), 0x00FFFF);
    SavePicture(removed, "panel-skin-removed.png");
    // Applied again: the skinned face is back.
    Manager->SetActive(true);
    const uitest::TImage32 again = Shown(panel->Handle());
    EXPECT_EQ(ColorAt(again, 80, 30), PanelFace);
    SavePicture(again, "panel-skin-applied-again.png");
}

// Apply, refresh and the skin's end reach each container's own steps (the
// end although the manager is off already while it tells its windows): the
// common answer after the scroll box's and the tab controls' own, the
// controls' style without the opaque flag, and the tab controls' steps
// after the common answer.
TEST_F(PanelWnd, SkinCommandsReachEachContainersOwnSteps) {
    vcl::TPanel *inner = nullptr;
    auto *box = TallScrollBox(inner);
    auto *group = Form.Add(vcl::Create<vcl::TGroupBox>(Form.Form), 220, 10);
    group->SetBounds(220, 10, 150, 80);
    auto *panel = NewPanel(vcl::bvRaised, vcl::bvNone, "", 220, 100);
    auto *tabs = Form.Add(vcl::Create<vcl::TTabControl>(Form.Form), 10, 170);
    tabs->SetBounds(10, 170, 120, 90);
    for (int i = 0; i < 12; ++i) tabs->Tabs()->Add("Tab " + std::to_string(i));  // the strip gets arrows
    auto *pages = Form.Add(vcl::Create<vcl::TPageControl>(Form.Form), 140, 170);
    pages->SetBounds(140, 170, 220, 90);
    for (const char *caption : {"One", "Two"}) {
        auto *sheet = vcl::Create<vcl::TTabSheet>(Form.Form);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
    }
    // A hidden child has no window until a tab control's apply gives it one.
    const auto hidden = [&](vcl::TWinControl *Parent) {
        auto *p = vcl::Create<vcl::TPanel>(Form.Form);
        p->SetVisible(false);
        p->SetParent(Parent);
        return p;
    };
    struct Row {
        const char *Name;
        vcl::TWinControl *Control;
        int Kind;
        bool CommonApply;  // the common answer follows the own stage's
        bool TabSteps;     // the tab controls' steps after the common answer
        bool DropsOpaque;  // the skin's end takes the opaque style away
        vcl::TPanel *Hidden;
    };
    const Row rows[] = {
        {"scroll box", box, tpScrollControl, true, false, true, nullptr},
        {"group box", group, tpGroupBox, false, false, true, nullptr},
        {"panel", panel, tpPanel, false, false, true, nullptr},
        {"tab control", tabs, tpTabControl, true, true, false, hidden(tabs)},
        {"page control", pages, tpPageControl, true, true, false, hidden(pages)},
    };
    std::vector<TvlMainWnd *> adapters;
    for (const Row &row : rows) adapters.push_back(Make<TvlMainWnd>(row.Kind, row.Control));
    RedrawWindow(Form.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const auto send = [&](HWND W, unsigned Sub) {
        SendMessageW(W, SM_SKINCOMMAND, SkinCommand(Sub), reinterpret_cast<LPARAM>(Manager.get()));
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row &row = rows[i];
        SCOPED_TRACE(row.Name);
        ASSERT_NE(adapters[i], nullptr);
        TsCommonData &data = *adapters[i]->SkinData;
        const HWND w = row.Control->Handle();
        data.PrepareCache();
        data.CacheBmp()->SetSize(8, 8);
        data.PaintLocked = true;
        send(w, SC_SKIN_APPLIED);
        EXPECT_EQ(data.CacheBmp()->Width() == 0, row.CommonApply);  // the common answer's shrink
        EXPECT_EQ(data.PaintLocked, !row.TabSteps);
        if (row.Hidden) EXPECT_TRUE(row.Hidden->HandleAllocated());

        UpdateWindow(w);
        data.PaintLocked = true;
        send(w, SC_SKIN_REFRESH);
        EXPECT_FALSE(data.PaintLocked);
        RECT update{};
        if (row.TabSteps) EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));  // left to the next paint
    }
    auto *tabAdapter = dynamic_cast<TvlTabControlWnd *>(adapters[3]);
    ASSERT_NE(tabAdapter->UpDownAdapter, nullptr);
    // The manager tells the windows it reaches; a form's provider hands the
    // removal on to its controls' adapters afterwards, the manager off.
    Manager->SetActive(false);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].Name);
        send(rows[i].Control->Handle(), SC_SKIN_REMOVED);
        EXPECT_EQ(adapters[i]->SkinData->SkinIndex(), -1);
        EXPECT_EQ(rows[i].Control->ControlStyle().Contains(vcl::csOpaque), !rows[i].DropsOpaque);
    }
    EXPECT_EQ(tabAdapter->UpDownAdapter, nullptr);
}

// Answers a child's background question with "no picture yet" while Busy,
// and its question whether painting waits with "yes" while Updating.
struct BusyParent {
    explicit BusyParent(vcl::TControl *Control) : Control(Control), Previous(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&BusyParent::Handle>(this);
    }
    ~BusyParent() { Control->WindowProc = Previous; }
    BusyParent(const BusyParent &) = delete;
    BusyParent &operator=(const BusyParent &) = delete;
    void Handle(vcl::TMessage &M) {
        if (Busy && M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_GET_BG_INFO) {
            reinterpret_cast<TvlBgQuery *>(M.LParam)->Kind = bqNoImage;
            M.Result = 1;
            return;
        }
        if (Updating && M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_IS_UPDATING) {
            M.Result = 1;
            return;
        }
        Previous(M);
    }
    vcl::TControl *Control;
    vcl::TWndMethod Previous;
    bool Busy = true;
    bool Updating = false;
};

TEST_F(PanelWnd, ParentWithoutAPictureYetLeavesThePanelUnpaintedUntilItsUpdateIsDone) {
    vcl::TPanel *outer = nullptr;
    auto *panel = InnerPanel(outer, vcl::bvRaised);
    BusyParent busy(outer);
    auto *a = Make<TvlPanelWnd>(tpPanel, panel);
    EXPECT_FALSE(a->BuildCache());
    EXPECT_TRUE(a->SkinData->PaintLocked);
    EXPECT_NE(ColorAt(Shown(panel->Handle()), 80, 30), PanelFace);
    busy.Busy = false;
    SendSkinCommand(panel->Handle(), SC_PARENT_UPDATE_DONE, 0);
    EXPECT_FALSE(a->SkinData->PaintLocked);
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(panel->Handle()), 80, 30), PanelFace);
}

// A static text over a parent in the middle of an update waits for its
// update-done before it shows the parent's new face.
TEST_F(PanelWnd, StaticTextOverAParentMidUpdateWaitsForItsUpdateDone) {
    vcl::TPanel *outer = nullptr;
    delete InnerPanel(outer, vcl::bvNone);
    auto *text = vcl::Create<vcl::TStaticText>(Form.Form);
    text->SetBounds(20, 20, 160, 60);
    text->SetParent(outer);
    ASSERT_TRUE(Make<TvlStaticTextWnd>(tpStaticText, text));
    EXPECT_EQ(ColorAt(Shown(text->Handle()), 80, 30), 0x00FF00);
    BusyParent busy(outer);
    busy.Busy = false;
    busy.Updating = true;
    outer->SetColor(0xFF0000);
    SendSkinCommand(text->Handle(), SC_PARENT_BG_CHANGED, 0);
    EXPECT_EQ(ColorAt(Shown(text->Handle()), 80, 30), 0x00FF00) << "painted while the parent updates";
    busy.Updating = false;
    SendSkinCommand(text->Handle(), SC_PARENT_UPDATE_DONE, 0);
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(text->Handle()), 80, 30), 0xFF0000);
}

// A panel over its parent's background that a paint pass left out (its
// parent's clip had no room for it) shows the parent as it is now on the
// next whole paint, not the picture it kept.
TEST_F(PanelWnd, PanelLeftOutOfAPassShowsItsParentAnewOnTheNextPaint) {
    vcl::TPanel *outer = nullptr;
    auto *panel = InnerPanel(outer, vcl::bvNone);
    auto *a = Make<TvlPanelWnd>(tpPanel, panel);
    ASSERT_EQ(a->SkinData->SkinSection(), "CHECKBOX");
    EXPECT_EQ(ColorAt(Shown(panel->Handle()), 80, 30), 0x00FF00);
    // The parent's new face, not yet known to the panel: a pass that had no
    // room for the panel tells it only that it was left out.
    outer->SetColor(0xFF0000);
    a->SkinData->BGChanged = false;
    SendSkinCommand(panel->Handle(), SC_SET_NOT_PAINTED, 0);
    // The client alone: a frame paint would build the picture anyway.
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(panel->Handle()), 80, 30), 0xFF0000);
}

TEST_F(PanelWnd, StaticTextTakesItsSectionFromItsBevelAndWritesInItsAlignment) {
    auto *plain = Form.Add(vcl::Create<vcl::TStaticText>(Form.Form));
    plain->SetCaption("Plain");
    auto *bevel = Form.Add(vcl::Create<vcl::TStaticText>(Form.Form), 10, 60);
    bevel->SetBevelKind(vcl::bkFlat);
    bevel->SetBevelOuter(vcl::bvRaised);
    bevel->SetBevelInner(vcl::bvNone);
    bevel->SetAlignment(vcl::taRightJustify);
    bevel->SetBounds(10, 60, 160, 30);
    bevel->SetCaption("Right");
    auto *a = Make<TvlStaticTextWnd>(tpStaticText, plain);
    auto *b = Make<TvlStaticTextWnd>(tpStaticText, bevel);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->SkinData->SkinSection(), "CHECKBOX");
    EXPECT_EQ(b->SkinData->SkinSection(), "PANEL");
    EXPECT_EQ(b->StaticText.Get(), bevel);
    const uitest::TImage32 image = Shown(bevel->Handle());
    // The frame strips and the client part both from the section.
    EXPECT_EQ(ColorAt(image, 0, 0), PanelFace);
    EXPECT_EQ(ColorAt(image, 5, 15), PanelFace);
    const InkBox ink = FindInk(image, [](vcl::TColor c) { return c == PanelText; });
    ASSERT_FALSE(ink.Empty());
    EXPECT_GT(ink.Left, 80);  // right aligned
    const uitest::TImage32 over = Shown(plain->Handle());
    EXPECT_EQ(ColorAt(over, 118, 38), FormColor);
    EXPECT_GT(CountColor(over, CheckBoxText), 5);
}

// The skin's end, handed on with the manager off already, runs the static
// text's own step and the common removal after it: no section, no opaque
// style, painting held and the picture dropped.
TEST_F(PanelWnd, StaticTextsSkinEndRunsTheCommonRemovalWithTheManagerOff) {
    auto *text = Form.Add(vcl::Create<vcl::TStaticText>(Form.Form));
    text->SetCaption("Text");
    auto *a = Make<TvlStaticTextWnd>(tpStaticText, text);
    ASSERT_NE(a, nullptr);
    Shown(text->Handle());
    TsCommonData &data = *a->SkinData;
    ASSERT_GT(data.CacheBmp()->Width(), 0);
    data.PaintLocked = false;
    Manager->SetActive(false);
    SendMessageW(text->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(data.SkinIndex(), -1);
    EXPECT_FALSE(text->ControlStyle().Contains(vcl::csOpaque));
    EXPECT_TRUE(data.PaintLocked);
    EXPECT_EQ(data.CacheBmp()->Width(), 0);
}

TEST_F(PanelWnd, ScrollBoxShowsItsSectionAroundItsChildrenAndScrolls) {
    vcl::TPanel *child = nullptr;
    auto *box = TallScrollBox(child);
    EXPECT_TRUE(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & WS_VSCROLL);
    auto *a = Make<TvlScrollBoxWnd>(tpScrollControl, box);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->SkinData->SkinSection(), "PANEL_LOW");
    const uitest::TImage32 image = Shown(box->Handle());
    EXPECT_EQ(ColorAt(image, 0, 0), LowFace);
    EXPECT_EQ(ColorAt(image, 120, 60), LowFace);
    EXPECT_EQ(ColorAt(image, 30, 30), 0x0000FF);
    box->ScrollTo({0, 100});
    EXPECT_EQ(child->Top(), -90);
    EXPECT_EQ(ColorAt(Shown(box->Handle()), 30, 30), 0x0000FF);
}

TEST_F(PanelWnd, PrintedStaticTextAndScrollBoxEqualTheScreen) {
    // Frames of different widths on each side: a bevelled text, and a box
    // whose vertical bar makes its frame wider on the right.
    auto *text = Form.Add(vcl::Create<vcl::TStaticText>(Form.Form), 10, 150);
    text->SetBevelKind(vcl::bkFlat);
    text->SetBevelOuter(vcl::bvRaised);
    text->SetBounds(10, 150, 160, 30);
    text->SetCaption("Printed");
    vcl::TPanel *child = nullptr;
    auto *box = TallScrollBox(child);
    ASSERT_TRUE(Make<TvlStaticTextWnd>(tpStaticText, text));
    ASSERT_TRUE(Make<TvlScrollBoxWnd>(tpScrollControl, box));
    // The box's child is not printed with its parent.
    RECT outer{}, inner{};
    GetWindowRect(box->Handle(), &outer);
    GetWindowRect(child->Handle(), &inner);
    OffsetRect(&inner, -outer.left, -outer.top);
    for (const HWND w : {text->Handle(), box->Handle()}) {
        const uitest::TImage32 shown = Shown(w);
        const uitest::TImage32 printed = Printed(w, 0x00FF00);
        ASSERT_EQ(printed.Width, shown.Width);
        int differ = 0;
        for (int y = 0; y < shown.Height; ++y)
            for (int x = 0; x < shown.Width; ++x)
                if (w != box->Handle() || !PtInRect(&inner, {x, y}))
                    differ += (shown.At(x, y) & 0xFFFFFF) != (printed.At(x, y) & 0xFFFFFF);
        EXPECT_EQ(differ, 0) << (w == box->Handle() ? "scroll box" : "static text");
    }
}

TEST_F(PanelWnd, ScrollBoxThatTakesNoChildrenIsLeftToTheScrollingAdapter) {
    auto *box = Form.Add(vcl::Create<vcl::TScrollBox>(Form.Form));
    box->SetBounds(10, 10, 200, 120);
    box->SetColor(0x00C0C0);
    box->SetControlStyle(box->ControlStyle() - vcl::TControlStyle{vcl::csAcceptsControls});
    Make<TvlScrollBoxWnd>(tpScrollControl, box);
    EXPECT_EQ(ColorAt(Shown(box->Handle()), 100, 60), 0x00C0C0);
}

TEST_F(PanelWnd, AdaptersOfTheClassLibrarysContainersLeaveNoHandles) {
    ExpectFlatOver(1000, [&] {
        auto *box = Form.Add(vcl::Create<vcl::TGroupBox>(Form.Form));
        box->SetCaption("G");
        auto *panel = NewPanel(vcl::bvRaised, vcl::bvNone, "P", 10, 60);
        auto *text = Form.Add(vcl::Create<vcl::TStaticText>(Form.Form), 10, 130);
        text->SetCaption("T");
        auto *scroll = Form.Add(vcl::Create<vcl::TScrollBox>(Form.Form), 200, 10);
        auto *native = NewPanel(vcl::bvRaised, vcl::bvNone, "N", 200, 100);
        Make<TvlGroupBoxWnd>(tpGroupBox, box);
        Make<TvlPanelWnd>(tpPanel, panel);
        Make<TvlStaticTextWnd>(tpStaticText, text);
        Make<TvlScrollBoxWnd>(tpScrollControl, scroll);
        Make<TvlNativePaint>(tpNativePaint, native);
        RedrawWindow(Form.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (vcl::TWinControl *c : std::initializer_list<vcl::TWinControl *>{box, panel, text, scroll, native})
            Printed(c->Handle());
        Adapters.clear();
        delete box;
        delete panel;
        delete text;
        delete scroll;
        delete native;
    });
}

} // namespace
} // namespace skin
