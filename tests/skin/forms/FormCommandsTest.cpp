// The skin's coming and going at a form: what the removal gives back (the
// system menu style, no region, the form's colour, its labels' colours and
// opacity) and that it repaints the form only; the skin commands from the
// form's own manager and from another one; a child's question for what
// lies behind it, answered from the frame image in both of its modes; and
// the handles over many applications and removals.
#include <gtest/gtest.h>

#include <memory>

#include "FormsTestSupport.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/manager/sMessages.h"
#include "vcl/Bitmap.h"
#include "vcl/Graphics.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr vcl::TColor OwnLabelColor = 0x0000C0;

struct FormCommands : FormsFixture {
    TestForm Form;
    FormWatcher Watcher{Form.Form};  // the provider's saved procedure
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    void SetUp() override {
        Form.Show();
        Watcher.Seen.clear();
    }
    // The form (and its provider) go before the watcher they pass on to.
    void TearDown() override {
        delete Form.Form;
        Form.Form = nullptr;
    }
    vcl::TForm *F() { return Form.Form; }
    HWND Window() { return F()->Handle(); }
    LPARAM Own() { return reinterpret_cast<LPARAM>(Manager.get()); }
    // The control adapter as the skin's first application leaves it; its
    // walk gives the labels the skin's colours.
    void GiveAdapter() { P->ControlAdapter = std::make_unique<TvlCtrlAdapter>(P); }
    void WalkControls() {
        GiveAdapter();
        P->ControlAdapter->AdaptControls(nullptr);
    }
    bool HasRegion() {
        vcl::TRegionHandle probe(CreateRectRgn(0, 0, 0, 0));
        return GetWindowRgn(Window(), probe.Get()) != ERROR;
    }
    void GiveRegion() { SetWindowRgn(Window(), CreateRectRgn(0, 0, 300, 200), TRUE); }
};

TEST_F(FormCommands, RemovalGivesTheFormAndItsLabelsTheirOwnLookBack) {
    auto *own = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 10);
    own->Font()->SetColor(OwnLabelColor);
    auto *inherited = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 60);
    inherited->SetTransparent(true);
    ASSERT_TRUE(inherited->ParentFont());
    const vcl::TColor formFont = F()->Font()->Color();
    WalkControls();
    // Every label took the skin's text colour and lets the skin show through.
    for (vcl::TLabel *label : {own, inherited}) {
        EXPECT_EQ(label->Font()->Color(), Manager->GetMainFontColor());
        EXPECT_TRUE(label->Transparent());
    }
    GiveRegion();
    ASSERT_TRUE(HasRegion());

    Manager->SetActive(false);
    EXPECT_FALSE(P->Skinned());
    EXPECT_FALSE(P->IsSkinned);
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_STYLE) & WS_SYSMENU);
    EXPECT_FALSE(HasRegion());
    EXPECT_EQ(F()->Color(), vcl::clBtnFace);
    EXPECT_EQ(own->Font()->Color(), OwnLabelColor);
    EXPECT_FALSE(own->Transparent());  // it was opaque
    EXPECT_TRUE(inherited->ParentFont());
    EXPECT_EQ(inherited->Font()->Color(), formFont);
    EXPECT_TRUE(inherited->Transparent());  // and this one was not
    EXPECT_TRUE(P->LabelRecords.empty());
    EXPECT_EQ(P->ControlAdapter, nullptr);
    EXPECT_EQ(P->SkinData()->CacheBmp() ? P->SkinData()->CacheBmp()->Width() : 0, 0);

    // Back on: the form takes the skin's colour, the labels its text colour.
    GiveAdapter();
    Manager->SetActive(true);
    EXPECT_TRUE(P->Skinned());
    EXPECT_TRUE(P->IsSkinned);
    EXPECT_EQ(F()->Color(), Manager->GetMainColor());
    EXPECT_EQ(own->Font()->Color(), Manager->GetMainFontColor());
    EXPECT_EQ(P->LabelRecords.size(), 2u);
}

TEST_F(FormCommands, ALabelMarkedUnskinnableKeepsItsColour) {
    auto *label = Form.Add(vcl::Create<vcl::TLabel>(F()));
    label->Font()->SetColor(OwnLabelColor);
    label->SetTag(0x100);
    WalkControls();
    EXPECT_EQ(label->Font()->Color(), OwnLabelColor);
    EXPECT_FALSE(label->Transparent());
    EXPECT_TRUE(P->LabelRecords.empty());
}

TEST_F(FormCommands, RemovalRepaintsTheFormAndNoOtherWindow) {
    TestForm other(vcl::clWhite);
    other.Form->SetBounds(520, 100, 200, 150);
    other.Show();
    UpdateWindow(other.Form->Handle());
    FormWatcher otherWatcher(other.Form);

    Command(F(), SC_SKIN_REMOVED, Own());
    EXPECT_TRUE(Watcher.Saw(WM_NCPAINT));
    EXPECT_TRUE(Watcher.Saw(WM_PAINT));
    for (UINT msg : {UINT(WM_NCPAINT), UINT(WM_ERASEBKGND), UINT(WM_PAINT)}) EXPECT_FALSE(otherWatcher.Saw(msg)) << msg;
}

TEST_F(FormCommands, AnotherManagersRemovalOnlyReachesTheChildren) {
    auto *child = Form.Add(vcl::Create<vcl::TButton>(F()));
    std::vector<std::string> log;
    Recorder recorder(log, "child", child, SC_SKIN_REMOVED, true);
    ManagerPtr other = NewManager();
    GiveRegion();

    Command(F(), SC_SKIN_REMOVED, reinterpret_cast<LPARAM>(other.get()));
    EXPECT_EQ(log, std::vector<std::string>{"child"});
    EXPECT_TRUE(P->Skinned());
    EXPECT_TRUE(HasRegion());
    EXPECT_FALSE(Watcher.Saw(SM_SKINCOMMAND));

    log.clear();
    Command(F(), SC_SKIN_REMOVED, Own());
    EXPECT_EQ(log, std::vector<std::string>{"child"});
    EXPECT_FALSE(P->Skinned());
    EXPECT_FALSE(HasRegion());
}

TEST_F(FormCommands, AppliedAndRefreshActOnlyForTheFormsOwnManager) {
    ManagerPtr other = NewManager();
    const LPARAM foreign = reinterpret_cast<LPARAM>(other.get());
    const auto arm = [&] {
        P->ButtonsBackup->SetSize(8, 8);
        P->TitleSkinIndex = 5;
        P->SkinData()->BGChanged = false;
        P->SkinData()->PaintLocked = true;
        P->RegionChanged = false;
        P->MenuLineCount = 3;
        F()->SetColor(vcl::clRed);
    };

    arm();
    Command(F(), SC_SKIN_APPLIED, foreign);
    Command(F(), SC_SKIN_REFRESH, foreign);
    EXPECT_EQ(P->ButtonsBackup->Width(), 8);
    EXPECT_EQ(P->TitleSkinIndex, 5);
    EXPECT_FALSE(P->SkinData()->BGChanged);
    EXPECT_TRUE(P->SkinData()->PaintLocked);
    EXPECT_FALSE(P->RegionChanged);
    EXPECT_EQ(F()->Color(), vcl::clRed);

    Command(F(), SC_SKIN_APPLIED, Own());
    EXPECT_EQ(P->ButtonsBackup->Width(), 0);
    EXPECT_EQ(P->TitleSkinIndex, -1);
    EXPECT_TRUE(P->SkinData()->BGChanged);
    EXPECT_EQ(P->MenuLineCount, -1);

    arm();
    Command(F(), SC_SKIN_REFRESH, Own());
    EXPECT_FALSE(P->SkinData()->PaintLocked);
    EXPECT_TRUE(P->RegionChanged);
    EXPECT_EQ(P->MenuLineCount, -1);
    EXPECT_EQ(F()->Color(), Manager->GetMainColor());
    EXPECT_FALSE(Watcher.Saw(SM_SKINCOMMAND));
}

TEST_F(FormCommands, AppliedToTheUnskinnedFormSkinsItAgain) {
    Command(F(), SC_SKIN_REMOVED, Own());
    ASSERT_FALSE(P->Skinned());
    ManagerPtr other = NewManager();
    Command(F(), SC_SKIN_APPLIED, reinterpret_cast<LPARAM>(other.get()));
    EXPECT_FALSE(P->Skinned());
    EXPECT_EQ(F()->Color(), vcl::clBtnFace);

    ASSERT_TRUE(P->UseGlobalColor());
    P->SkinData()->SetCustomColor(true);  // the form keeps its own colour
    Command(F(), SC_SKIN_APPLIED, Own());
    EXPECT_TRUE(P->Skinned());
    EXPECT_TRUE(P->IsSkinned);
    EXPECT_TRUE(P->RegionChanged);
    EXPECT_EQ(F()->Color(), vcl::clBtnFace);
    EXPECT_FALSE(Watcher.Saw(SM_SKINCOMMAND));
}

// ------------------------------------------------- what lies behind a child

struct BackgroundQuestion : FormCommands {
    // The frame image with a pixel of its own at every place, ready.
    vcl::TBitmap &Frame() {
        TsCommonData &data = *P->SkinData();
        data.PrepareCache();
        vcl::TBitmap &cache = *data.CacheBmp();
        cache.SetSize(F()->Width(), F()->Height());
        for (int y = 0; y < cache.Height(); ++y)
            for (int x = 0; x < cache.Width(); ++x) cache.Canvas()->SetPixels(x, y, static_cast<vcl::TColor>(x | y << 8 | 0x40 << 16));
        data.BGChanged = false;
        return cache;
    }
    // Where the client area starts in the window, as the system places it.
    vcl::TPoint ClientOrigin() {
        RECT window{};
        GetWindowRect(Window(), &window);
        POINT client{0, 0};
        ClientToScreen(Window(), &client);
        return {client.x - window.left, client.y - window.top};
    }
};

TEST_F(BackgroundQuestion, AnImageAnswerPlacesTheChildInTheFrameImage) {
    vcl::TBitmap &frame = Frame();
    auto *child = Form.Add(vcl::Create<vcl::TButton>(F()), 30, 40);
    F()->OnPaint = vcl::TNotifyEvent(nullptr, [](void *, vcl::TObject *) {});  // the form paints over the frame image
    TvlBgQuery query;
    query.X = 77;  // what the asker left there counts for nothing
    QueryParentBackground(query, F(), false);
    EXPECT_EQ(query.Kind, bqImage);
    EXPECT_EQ(query.Image, &frame);
    EXPECT_EQ(vcl::TPoint(query.X, query.Y), ClientOrigin());
    // The child's piece starts at the answer's offset plus its place.
    EXPECT_EQ(frame.Canvas()->Pixels(query.X + child->Left(), query.Y + child->Top()),
              static_cast<vcl::TColor>((ClientOrigin().X + 30) | (ClientOrigin().Y + 40) << 8 | 0x40 << 16));
    EXPECT_FALSE(Watcher.Saw(SM_SKINCOMMAND));
}

TEST_F(BackgroundQuestion, AColourAnswerOfTheSectionKeepsTheOffsetAndLimitsTheRectangle) {
    Frame();
    TvlBgQuery query;
    query.Rect = {10, 30, 50, 60};
    SendMessageW(Window(), SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(query.Kind, bqColor);
    EXPECT_EQ(query.Color, P->SkinData()->GetBackColor(0));
    EXPECT_EQ(vcl::TPoint(query.X, query.Y), ClientOrigin());
    EXPECT_EQ(query.Rect.Left, std::max(0, 10 - ClientOrigin().X));
    EXPECT_EQ(query.Rect.Top, std::max(0, 30 - ClientOrigin().Y));
    EXPECT_EQ(query.Rect.Right, 50);
}

TEST_F(BackgroundQuestion, PaintedIntoADCTheClientAreasPieceOfTheFrameImageLands) {
    vcl::TBitmap &frame = Frame();
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(20, 10);
    TvlBgQuery query;
    query.PaintIntoDC = true;
    query.DC = target.Canvas()->Handle();
    query.Rect = {0, 0, 20, 10};
    query.X = 123;
    query.Y = 45;
    SendMessageW(Window(), SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(query.Kind, bqImage);
    const vcl::TPoint origin = ClientOrigin();
    for (const auto &[x, y] : {std::pair{0, 0}, std::pair{19, 9}, std::pair{7, 3}})
        EXPECT_EQ(target.Canvas()->Pixels(x, y), frame.Canvas()->Pixels(origin.X + x, origin.Y + y)) << x << "," << y;
}

TEST_F(BackgroundQuestion, TheUnskinnedFormLeavesTheQuestionToItself) {
    Command(F(), SC_SKIN_REMOVED, Own());
    Watcher.Seen.clear();
    TvlBgQuery query;
    SendMessageW(Window(), SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(query.Kind, bqNone);
    EXPECT_TRUE(Watcher.Saw(SM_SKINCOMMAND));
}

// ------------------------------------------------------------------ handles

TEST_F(FormCommands, HandlesStayFlatOverAHundredApplicationsAndRemovals) {
    auto *label = Form.Add(vcl::Create<vcl::TLabel>(F()));
    WalkControls();
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
    EXPECT_EQ(label->Font()->Color(), Manager->GetMainFontColor());
    EXPECT_EQ(P->LabelRecords.size(), 1u);
}

} // namespace
} // namespace skin
