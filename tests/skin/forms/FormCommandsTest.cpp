// The skin's coming and going at a form: what the removal gives back and
// that it repaints the form only; the skin commands from the form's own
// manager and from another one; a child's question for what lies behind
// it, in both of its modes; the handles over many cycles.
#include <gtest/gtest.h>

#include <memory>

#include "FormsTestSupport.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "vcl/Bitmap.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

struct FormCommands : FormsFixture {
    TestForm Form;
    FormWatcher Watcher{Form.Form};  // the provider's saved procedure
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    void SetUp() override {
        Form.Show();
        Watcher.Seen.clear();  // what the provider's construction asked
    }
    void TearDown() override { delete std::exchange(Form.Form, nullptr); }  // before the watcher
    vcl::TForm *F() { return Form.Form; }
    HWND Window() { return F()->Handle(); }
    LPARAM From(TsSkinManager *M) { return reinterpret_cast<LPARAM>(M); }
    // As the skin's first application leaves it: its next walk colours the labels.
    void GiveAdapter() { P->ControlAdapter = std::make_unique<TvlCtrlAdapter>(P); }
    bool HasRegion() {
        vcl::TRegionHandle probe(CreateRectRgn(0, 0, 0, 0));
        return GetWindowRgn(Window(), probe.Get()) != ERROR;
    }
    void GiveRegion() { SetWindowRgn(Window(), CreateRectRgn(0, 0, 300, 200), TRUE); }
};

TEST_F(FormCommands, RemovalGivesTheFormAndItsLabelsTheirOwnLookBackAndApplicationTakesItAgain) {
    auto *own = Form.Add(vcl::Create<vcl::TLabel>(F()));
    own->Font()->SetColor(vcl::clRed);
    auto *inherited = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 60);
    inherited->SetTransparent(true);
    GiveAdapter();
    P->ControlAdapter->AdaptControls(nullptr);
    EXPECT_EQ(own->Font()->Color(), Manager->GetMainFontColor());
    EXPECT_TRUE(own->Transparent());
    GiveRegion();

    Manager->SetActive(false);
    EXPECT_FALSE(P->Skinned() || P->IsSkinned);
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_FALSE(HasRegion());
    EXPECT_EQ(F()->Color(), vcl::clBtnFace);
    EXPECT_EQ(own->Font()->Color(), vcl::clRed);
    EXPECT_FALSE(own->Transparent());  // it was opaque, the other one was not
    EXPECT_TRUE(inherited->Transparent());
    EXPECT_TRUE(inherited->ParentFont());
    EXPECT_EQ(inherited->Font()->Color(), F()->Font()->Color());
    EXPECT_EQ(P->ControlAdapter, nullptr);

    GiveAdapter();
    Manager->SetActive(true);
    EXPECT_TRUE(P->Skinned() && P->IsSkinned);
    EXPECT_EQ(F()->Color(), Manager->GetMainColor());
    EXPECT_EQ(own->Font()->Color(), Manager->GetMainFontColor());
}

TEST_F(FormCommands, RemovalRepaintsTheFormAndNoOtherWindow) {
    TestForm other;
    other.Form->SetBounds(520, 100, 200, 150);
    other.Show();
    UpdateWindow(other.Form->Handle());
    FormWatcher otherWatcher(other.Form);
    Command(F(), SC_SKIN_REMOVED, From(Manager.get()));
    EXPECT_TRUE(Watcher.Saw(WM_NCPAINT) && Watcher.Saw(WM_PAINT));
    for (UINT msg : {UINT(WM_NCPAINT), UINT(WM_ERASEBKGND), UINT(WM_PAINT)}) EXPECT_FALSE(otherWatcher.Saw(msg)) << msg;
}

TEST_F(FormCommands, OnlyTheFormsOwnManagerIsHeardAndAnothersRemovalReachesTheChildren) {
    std::vector<std::string> log;
    Recorder child(log, "child", Form.Add(vcl::Create<vcl::TButton>(F())), SC_SKIN_REMOVED, true);
    ManagerPtr other = NewManager();
    const auto arm = [&] {
        P->TitleSkinIndex = 999;  // what no skin resolves
        P->SkinData()->PaintLocked = true;
        P->RegionChanged = false;
        F()->SetColor(vcl::clRed);
    };
    arm();
    for (unsigned code : {SC_SKIN_APPLIED, SC_SKIN_REFRESH, SC_SKIN_REMOVED}) Command(F(), code, From(other.get()));
    EXPECT_EQ(log, std::vector<std::string>{"child"});
    EXPECT_TRUE(P->Skinned());
    EXPECT_EQ(P->TitleSkinIndex, 999);
    EXPECT_TRUE(P->SkinData()->PaintLocked);
    EXPECT_EQ(F()->Color(), vcl::clRed);

    Command(F(), SC_SKIN_APPLIED, From(Manager.get()));
    EXPECT_NE(P->TitleSkinIndex, 999);
    Command(F(), SC_SKIN_REFRESH, From(Manager.get()));
    EXPECT_FALSE(P->SkinData()->PaintLocked);
    // The refresh's repaint has made the new region already.
    EXPECT_FALSE(P->RegionChanged);
    EXPECT_EQ(F()->Color(), Manager->GetMainColor());
    EXPECT_FALSE(Watcher.Saw(SM_SKINCOMMAND));
    // Unskinned, another manager's application changes nothing either.
    Command(F(), SC_SKIN_REMOVED, From(Manager.get()));
    Command(F(), SC_SKIN_APPLIED, From(other.get()));
    EXPECT_FALSE(P->Skinned());
}

TEST_F(FormCommands, AChildLearnsWhereItsPieceOfTheFrameImageLiesInBothModes) {
    TsCommonData &data = *P->SkinData();
    data.PrepareCache();
    vcl::TBitmap &frame = *data.CacheBmp();
    frame.SetSize(F()->Width(), F()->Height());
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) frame.Canvas()->SetPixels(x, y, static_cast<vcl::TColor>(x | y << 8));
    data.BGChanged = false;
    RECT window{};
    GetWindowRect(Window(), &window);
    POINT client{0, 0};
    ClientToScreen(Window(), &client);
    const vcl::TPoint origin{client.x - window.left, client.y - window.top};

    // The section's answer is its colour; the offset and the limit follow the client area.
    TvlBgQuery query;
    query.Rect = {10, 30, 50, 60};
    QueryParentBackground(query, F(), false, TvlAsker(F()));
    EXPECT_EQ(query.Kind, bqColor);
    EXPECT_EQ(vcl::TPoint(query.X, query.Y), origin);
    EXPECT_EQ(query.Rect, vcl::TRect(std::max(0, 10 - origin.X), std::max(0, 30 - origin.Y), 50, 60));
    // A form that paints itself hands over its frame image.
    F()->OnPaint = vcl::TNotifyEvent(nullptr, [](void *, vcl::TObject *) {});
    query = {};
    QueryParentBackground(query, F(), false, TvlAsker(F()));
    EXPECT_EQ(query.Kind, bqImage);
    EXPECT_EQ(query.Image, &frame);
    EXPECT_EQ(vcl::TPoint(query.X, query.Y), origin);
    F()->OnPaint = {};
    // Painted into a DC: the client area's corner lands at the rectangle.
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(20, 10);
    query = {};
    query.DC = target.Canvas()->Handle();
    query.Rect = {0, 0, 20, 10};
    query.X = 123;  // nothing the asker leaves there counts
    QueryParentBackground(query, F(), true, TvlAsker(F()));
    EXPECT_EQ(query.Kind, bqImage);
    for (const auto &[x, y] : {std::pair{0, 0}, std::pair{19, 9}})
        EXPECT_EQ(target.Canvas()->Pixels(x, y), frame.Canvas()->Pixels(origin.X + x, origin.Y + y));
}

// The form's alpha goes through the layered-window calls bound at start-up
// only: a system without them leaves the form as it is.
TEST_F(FormCommands, AFormsAlphaNeedsTheBoundLayeredWindowCalls) {
    const TLayeredWindowFunctionsOverride none({nullptr, nullptr});
    Command(F(), SC_SET_FORM_ALPHA, 128);
    EXPECT_FALSE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(FormCommands, HandlesStayFlatOverAHundredApplicationsAndRemovals) {
    Form.Add(vcl::Create<vcl::TLabel>(F()));
    const auto cycle = [&] {
        P->SkinData()->PrepareCache();
        P->SkinData()->CacheBmp()->SetSize(F()->Width(), F()->Height());
        GiveRegion();
        Manager->SetActive(false);
        GiveAdapter();
        Manager->SetActive(true);
        vcl::Application->ProcessMessages();
    };
    cycle();  // what lives for the process is made on the first round
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(P->LabelRecords.size(), 1u);
}

} // namespace
} // namespace skin
