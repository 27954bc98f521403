// A dragged form snapping to the edges of its monitor's work area and of
// other forms, and glued forms: found when they touch, carried along, let
// go when dragged by themselves.
#include <gtest/gtest.h>

#include <memory>

#include "FormsTestSupport.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/StringList.h"

namespace skin {
namespace {

using namespace skin::test;

struct Snapping : FormsFixture {
    TestForm Form;
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);
    vcl::TRect Work;

    void SetUp() override {
        Form.Form->SetBounds(300, 300, 200, 150);
        Form.Show();
        Work = FormWorkArea(*Form.Form);
    }
    // Where a drag to (X, Y) ends.
    vcl::TPoint Drag(int X, int Y, UINT Flags = SWP_NOSIZE | SWP_NOZORDER) {
        WINDOWPOS pos{Form.Form->Handle(), nullptr, X, Y, 0, 0, Flags};
        P->SnapFormPosition(pos);
        return {pos.x, pos.y};
    }
};

TEST_F(Snapping, AFormDraggedNearTheWorkAreasEdgesLandsOnThem) {
    const int midY = Work.Top + 300;
    EXPECT_EQ(Drag(Work.Left + 8, midY), vcl::TPoint(Work.Left, midY));
    EXPECT_EQ(Drag(Work.Left - 10, midY), vcl::TPoint(Work.Left, midY));
    EXPECT_EQ(Drag(Work.Left + 11, midY), vcl::TPoint(Work.Left + 11, midY));
    EXPECT_EQ(Drag(Work.Right - 200 - 6, Work.Top + 4), vcl::TPoint(Work.Right - 200, Work.Top));
    EXPECT_EQ(Drag(Work.Left + 500, Work.Bottom - 150 + 3), vcl::TPoint(Work.Left + 500, Work.Bottom - 150));
    // A new size counts where the move brings one.
    WINDOWPOS sized{Form.Form->Handle(), nullptr, Work.Right - 300 + 5, midY, 300, 150, SWP_NOZORDER};
    P->SnapFormPosition(sized);
    EXPECT_EQ(sized.x, Work.Right - 300);
    // A snap buffer of 3 does not reach 8.
    P->SetSnapBuffer(3);
    EXPECT_EQ(Drag(Work.Left + 8, midY), vcl::TPoint(Work.Left + 8, midY));
    // No move, nothing to snap.
    EXPECT_EQ(Drag(Work.Left + 2, midY, SWP_NOMOVE | SWP_NOSIZE), vcl::TPoint(Work.Left + 2, midY));
}

TEST_F(Snapping, AFormDraggedNearAnotherFormsEdgeLandsOnIt) {
    TestForm other;
    other.Form->SetBounds(Work.Left + 600, Work.Top + 400, 200, 150);
    other.Show();
    const int right = Work.Left + 800, bottom = Work.Top + 550;
    // Beside it on the right, and above it.
    EXPECT_EQ(Drag(right + 7, Work.Top + 300).X, right);
    EXPECT_EQ(Drag(Work.Left + 100, Work.Top + 400 - 150 - 9).Y, Work.Top + 400 - 150);
    EXPECT_EQ(Drag(Work.Left + 100, bottom + 2).Y, bottom);
    // A hidden form is no edge.
    other.Form->Hide();
    EXPECT_EQ(Drag(right + 7, Work.Top + 300).X, right + 7);
}

TEST_F(Snapping, NothingSnapsWhileTheFormIsMovedAsAGluedForm) {
    P->StateFlags |= pfGluedMove;
    EXPECT_EQ(Drag(Work.Left + 4, Work.Top + 300), vcl::TPoint(Work.Left + 4, Work.Top + 300));
    P->StateFlags &= ~pfGluedMove;
}

// ------------------------------------------------------------ glued forms

struct Gluing : FormsFixture {
    TestForm Master;
    TestForm Follower;
    TestForm Stranger;
    TsSkinProvider *M = vcl::Create<TsSkinProvider>(Master.Form);
    TsSkinProvider *F = vcl::Create<TsSkinProvider>(Follower.Form);

    void SetUp() override {
        Master.Form->SetName("Master");
        Follower.Form->SetName("Follower");
        Stranger.Form->SetName("Stranger");
        Master.Form->SetBounds(200, 200, 300, 200);
        Follower.Form->SetBounds(500, 250, 150, 100);  // touches the master's right edge
        Stranger.Form->SetBounds(200, 420, 300, 100);  // a gap of 20 below it
        for (TestForm *f : {&Master, &Follower, &Stranger}) f->Show();
        M->GluedForms()->Add("Follower");
        M->GluedForms()->Add("Stranger");
    }
    void MoveMaster(int Left, int Top) {
        Master.Form->SetBounds(Left, Top, 300, 200);
        M->MoveGluedForms();
    }
};

TEST_F(Gluing, ATouchingNamedFormFollowsItsMasterAndOthersStay) {
    M->NoteGluedForms();
    ASSERT_EQ(GluedPairs().size(), 1u);
    EXPECT_EQ(GluedPairs()[0].Glued, Follower.Form);
    EXPECT_EQ(GluedPairs()[0].Master, Master.Form);
    EXPECT_EQ(GluedPairs()[0].OffsetX, 300);
    EXPECT_EQ(GluedPairs()[0].OffsetY, 50);

    MoveMaster(150, 100);
    EXPECT_EQ(Follower.Form->BoundsRect(), vcl::TRect(450, 150, 600, 250));
    EXPECT_EQ(Stranger.Form->BoundsRect(), vcl::TRect(200, 420, 500, 520));
    // The follower heard that it was moved as a glued form, and that it ended.
    EXPECT_FALSE(F->StateFlags & pfGluedMove);
}

TEST_F(Gluing, DraggedByItselfAGluedFormIsLetGoUntilItTouchesAgain) {
    M->NoteGluedForms();
    WINDOWPOS pos{Follower.Form->Handle(), nullptr, 700, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER};
    F->SnapFormPosition(pos);
    Follower.Form->SetBounds(pos.x, pos.y, 150, 100);
    EXPECT_TRUE(GluedPairs().empty());
    MoveMaster(220, 200);
    EXPECT_EQ(Follower.Form->Left(), 700);

    // Touching the master's bottom now: glued again when the master looks.
    Follower.Form->SetBounds(250, 400, 150, 100);
    M->NoteGluedForms();
    MoveMaster(230, 210);
    EXPECT_EQ(Follower.Form->BoundsRect(), vcl::TRect(260, 410, 410, 510));
}

TEST_F(Gluing, AFollowerMovedAsAGluedFormCarriesNothingItself) {
    // Each is glued to the other: a move must not bounce back.
    F->GluedForms()->Add("Master");
    M->NoteGluedForms();
    F->NoteGluedForms();
    ASSERT_EQ(GluedPairs().size(), 2u);
    F->StateFlags |= pfGluedMove;
    Follower.Form->SetBounds(520, 260, 150, 100);
    F->MoveGluedForms();
    EXPECT_EQ(Master.Form->BoundsRect(), vcl::TRect(200, 200, 500, 400));
    F->StateFlags &= ~pfGluedMove;
}

TEST_F(Gluing, AFormThatGoesLeavesTheListOnBothSides) {
    F->GluedForms()->Add("Master");
    M->NoteGluedForms();
    F->NoteGluedForms();
    ASSERT_EQ(GluedPairs().size(), 2u);
    delete Follower.Form;
    Follower.Form = nullptr;
    EXPECT_TRUE(GluedPairs().empty());
    MoveMaster(100, 100);  // nothing left to carry
    EXPECT_EQ(Master.Form->Left(), 100);
}

} // namespace
} // namespace skin
