// A dragged form snapping to the work area's and other forms' edges, and
// glued forms: found when they touch, carried along, let go when dragged
// by themselves.
#include <gtest/gtest.h>

#include <utility>

#include "FormsTestSupport.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/StringList.h"

namespace skin {
namespace {

using namespace skin::test;

// Where a drag of the provider's form to (X, Y) ends.
vcl::TPoint Drag(TsSkinProvider &P, int X, int Y, UINT Flags = SWP_NOSIZE | SWP_NOZORDER) {
    WINDOWPOS pos{P.Form->Handle(), nullptr, X, Y, 0, 0, Flags};
    P.SnapFormPosition(pos);
    return {pos.x, pos.y};
}

using Snapping = FormsFixture;

TEST_F(Snapping, ADraggedFormSnapsToTheWorkAreasAndOtherFormsEdgesWithinTheBuffer) {
    TestForm form, other;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    form.Form->SetBounds(300, 300, 200, 150);
    form.Show();
    const vcl::TRect work = FormWorkArea(*form.Form);
    const int y = work.Top + 300;
    EXPECT_EQ(Drag(*p, work.Left + 8, y), vcl::TPoint(work.Left, y));
    EXPECT_EQ(Drag(*p, work.Left - 10, y), vcl::TPoint(work.Left, y));
    EXPECT_EQ(Drag(*p, work.Left + 11, y), vcl::TPoint(work.Left + 11, y));
    EXPECT_EQ(Drag(*p, work.Right - 206, work.Top + 4), vcl::TPoint(work.Right - 200, work.Top));
    EXPECT_EQ(Drag(*p, work.Left + 8, y, SWP_NOMOVE | SWP_NOSIZE), vcl::TPoint(work.Left + 8, y));

    other.Form->SetBounds(work.Left + 600, work.Top + 400, 200, 150);
    other.Show();
    EXPECT_EQ(Drag(*p, work.Left + 807, y).X, work.Left + 800);       // beside its right edge
    EXPECT_EQ(Drag(*p, work.Left + 100, work.Top + 241).Y, work.Top + 250);  // above its top edge
    p->SetSnapBuffer(3);
    EXPECT_EQ(Drag(*p, work.Left + 807, y).X, work.Left + 807);
    p->StateFlags |= pfGluedMove;  // moved as a glued form: no snapping at all
    EXPECT_EQ(Drag(*p, work.Left + 1, y).X, work.Left + 1);
}

// Forms with an extended border meet where the user sees them meet: at the
// edges of their border windows (the shadow margins and the skin frame's
// excess around each window). Those edges snap to the work area's and to
// each other's, and touching there glues.
TEST_F(Snapping, BorderedFormsSnapAndGlueAtTheirBordersEdges) {
    Manager->SetExtendedBorders(true);
    TestForm form, other;
    form.Form->SetName("Master");
    other.Form->SetName("Follower");
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    auto *q = vcl::Create<TsSkinProvider>(other.Form);
    form.Form->SetBounds(300, 300, 200, 150);
    form.Show();
    ASSERT_TRUE(p->BorderForm);
    ASSERT_GT(p->GetShadowMargins().Left, 0);
    // How far the border reaches beyond the window on the left and right.
    const int left = p->WindowToFrameOffset().X, right = p->CacheWidth() - 200 - left;
    const vcl::TRect work = FormWorkArea(*form.Form);
    const int y = work.Top + 300;
    EXPECT_EQ(Drag(*p, work.Left + left + 8, y), vcl::TPoint(work.Left + left, y));
    EXPECT_EQ(Drag(*p, work.Left + left + 11, y).X, work.Left + left + 11);
    EXPECT_EQ(Drag(*p, work.Right - 200 - right - 7, y).X, work.Right - 200 - right);

    other.Form->SetBounds(work.Left + 600, work.Top + 400, 200, 150);
    other.Show();
    ASSERT_TRUE(q->BorderForm);
    const int beside = work.Left + 800 + right + left;  // the two borders touch
    EXPECT_EQ(Drag(*p, beside + 5, y).X, beside);
    EXPECT_EQ(Drag(*p, beside + 12, y).X, beside + 12);

    form.Form->SetBounds(beside, work.Top + 420, 200, 150);
    p->GluedForms()->Add("Follower");
    p->NoteGluedForms();
    ASSERT_EQ(GluedPairs().size(), 1u);
    EXPECT_EQ(GluedPairs()[0].OffsetX, work.Left + 600 - beside) << "the windows' offset";
    EXPECT_EQ(GluedPairs()[0].OffsetY, -20);
    RemoveGluedForm(form.Form);
}

struct Gluing : FormsFixture {
    TestForm Master, Follower, Stranger;
    TsSkinProvider *M = vcl::Create<TsSkinProvider>(Master.Form);
    TsSkinProvider *F = vcl::Create<TsSkinProvider>(Follower.Form);

    void SetUp() override {
        Master.Form->SetName("Master");
        Follower.Form->SetName("Follower");
        Stranger.Form->SetName("Stranger");
        for (TestForm *form : {&Master, &Follower, &Stranger}) form->Show();
        Master.Form->SetBounds(200, 200, 300, 200);
        Follower.Form->SetBounds(500, 250, 150, 100);  // touches the master's right edge
        Stranger.Form->SetBounds(200, 420, 300, 100);  // 20 below it
        M->GluedForms()->Add("Follower");
        M->GluedForms()->Add("Stranger");
        F->GluedForms()->Add("Master");  // each glued to the other
    }
    void MoveMaster(int Left, int Top) {
        Master.Form->SetBounds(Left, Top, 300, 200);
        M->MoveGluedForms();
    }
};

TEST_F(Gluing, ATouchingNamedFormFollowsItsMasterWithoutCarryingItBack) {
    M->NoteGluedForms();
    ASSERT_EQ(GluedPairs().size(), 1u);
    EXPECT_EQ(GluedPairs()[0].OffsetX, 300);
    EXPECT_EQ(GluedPairs()[0].OffsetY, 50);
    F->NoteGluedForms();
    F->StateFlags |= pfGluedMove;
    F->MoveGluedForms();  // the follower being moved moves nobody
    F->StateFlags &= ~pfGluedMove;
    MoveMaster(150, 100);
    EXPECT_EQ(Follower.Form->BoundsRect(), vcl::TRect(450, 150, 600, 250));
    EXPECT_EQ(Stranger.Form->BoundsRect(), vcl::TRect(200, 420, 500, 520));
    EXPECT_FALSE(F->StateFlags & pfGluedMove);  // set for the move only

    delete std::exchange(Follower.Form, nullptr);  // leaves the list on both sides
    EXPECT_TRUE(GluedPairs().empty());
}

TEST_F(Gluing, DraggedByItselfAGluedFormIsLetGoUntilItTouchesAgain) {
    M->NoteGluedForms();
    Drag(*F, 700, 600);
    Follower.Form->SetBounds(700, 600, 150, 100);
    MoveMaster(220, 200);
    EXPECT_EQ(Follower.Form->Left(), 700);
    Follower.Form->SetBounds(250, 400, 150, 100);  // on the master's bottom edge
    M->NoteGluedForms();
    MoveMaster(230, 210);
    EXPECT_EQ(Follower.Form->BoundsRect(), vcl::TRect(260, 410, 410, 510));
}

} // namespace
} // namespace skin
