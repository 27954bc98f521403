// The provider's option objects as code and descriptions set them, the
// list of glued forms and the snapping arithmetic.
#include <gtest/gtest.h>

#include <memory>

#include "FormsTestSupport.h"
#include "vcl/Bitmap.h"
#include "vcl/Graphics.h"

namespace skin {
namespace {

using namespace skin::test;

struct Options : FormsFixture {
    TestForm Form;
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);
};

TEST_F(Options, TitleButtonsAreNamedAlikeAndAssignmentLeavesVisibleAlone) {
    auto *first = static_cast<TsTitleButton *>(P->TitleButtons()->Add());
    auto *second = static_cast<TsTitleButton *>(P->TitleButtons()->Add());
    EXPECT_EQ(first->Name(), "TsTitleButton");
    EXPECT_EQ(second->Name(), "TsTitleButton");  // not made unique
    EXPECT_EQ(first->DisplayName(), "TsTitleButton");
    EXPECT_EQ(first->Provider(), P);
    EXPECT_TRUE(first->Enabled() && first->Visible() && first->UseSkinData());

    first->SetName("Pin");
    first->SetHint("Keep on top");
    first->SetEnabled(false);
    first->SetUseSkinData(false);
    first->Glyph()->SetSize(12, 12);
    second->SetVisible(false);
    second->Assign(first);
    EXPECT_EQ(second->Name(), "Pin");
    EXPECT_EQ(second->Hint(), "Keep on top");
    EXPECT_FALSE(second->Enabled());
    EXPECT_FALSE(second->UseSkinData());
    EXPECT_EQ(second->Glyph()->Width(), 12);
    EXPECT_FALSE(second->Visible());
}

TEST_F(Options, AddedTitleAndHeaderStartAsTheDescriptionsLeaveThem) {
    EXPECT_TRUE(P->AddedTitle()->ShowMainCaption());
    EXPECT_EQ(P->AddedTitle()->Font()->Color(), vcl::clNone);
    EXPECT_TRUE(P->AddedTitle()->Text().empty());
    vcl::TFont font;
    font.SetName("Tahoma");
    font.SetColor(vcl::clRed);
    P->AddedTitle()->SetFont(&font);
    EXPECT_EQ(P->AddedTitle()->Font()->Name(), "Tahoma");
    EXPECT_EQ(P->AddedTitle()->Font()->Color(), vcl::clRed);

    // The test skin has no "FORMHEADER": a header of any height is not there.
    P->FormHeader()->SetAdditionalHeight(10);
    EXPECT_EQ(P->FormHeader()->AdditionalHeight(), 10);
    EXPECT_FALSE(P->FormHeader()->Present());
    EXPECT_FALSE(P->FormHeader()->StateDependent());
    EXPECT_EQ(P->SysSubMenu()->Position(), ipBeforeClose);
    EXPECT_TRUE(P->TitleIcon()->Visible());
}

TEST_F(Options, GluedPairsAreKeptOncePerPairAndGoWithEitherForm) {
    TestForm a, b, c;
    GlueForm(a.Form, Form.Form, 10, 0);
    GlueForm(b.Form, Form.Form, 0, 20);
    GlueForm(a.Form, Form.Form, 11, 1);  // updated, not added
    GlueForm(Form.Form, c.Form, 0, -5);  // the provider's form follows another
    GlueForm(a.Form, a.Form, 0, 0);      // never to itself
    ASSERT_EQ(GluedPairs().size(), 3u);
    EXPECT_EQ(GluedPairs()[0].OffsetX, 11);
    EXPECT_EQ(GluedPairs()[0].OffsetY, 1);

    UngluePairsOf(a.Form);
    EXPECT_EQ(GluedPairs().size(), 2u);
    // A form that goes leaves the list as master and as follower.
    RemoveGluedForm(Form.Form);
    EXPECT_TRUE(GluedPairs().empty());

    GlueForm(b.Form, c.Form, 1, 1);
    delete P;  // its form stays glued: only its own form's end takes it out
    P = nullptr;
    EXPECT_EQ(GluedPairs().size(), 1u);
    RemoveGluedForm(c.Form);
}

TEST_F(Options, SnapOffsetWithinTheBufferBothEndsIncluded) {
    struct Case {
        int Value, Edge, Distance, Offset;
    };
    for (const Case &c : {Case{105, 100, 10, 5}, Case{111, 100, 10, 0}, Case{110, 100, 10, 10}, Case{90, 100, 10, -10},
                          Case{89, 100, 10, 0}, Case{8, 0, 10, 8}, Case{11, 0, 10, 0}, Case{100, 100, 0, 0}})
        EXPECT_EQ(SnapOffset(c.Value, c.Edge, c.Distance), c.Offset) << c.Value << " " << c.Edge;
}

} // namespace
} // namespace skin
