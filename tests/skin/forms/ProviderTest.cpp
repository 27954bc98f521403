// The form provider's life: whom it serves and whom it refuses, a second
// provider on a form, the dialog hook's provider giving way, what its
// destruction gives back, the registry of skinned forms, form descriptions
// with its properties, and its handles over many lives.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BorderedFormSupport.h"
#include "FormsTestSupport.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "skin/manager/sMessages.h"
#include "vcl/Bitmap.h"
#include "vcl/FormReader.h"
#include "vcl/FormWriter.h"
#include "vcl/Graphics.h"
#include "vcl/HandleCounts.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "vcl/StringList.h"

namespace skin {
namespace {

using namespace skin::test;

using Provider = FormsFixture;

bool Registered(vcl::TCustomForm *Form) {
    const auto &forms = SkinnedForms();
    return std::count(forms.begin(), forms.end(), Form) == 1;
}

vcl::TWndMethod ProcOf(TsSkinProvider *P) { return P->HookedProc(); }

TEST_F(Provider, RefusesAnOwnerThatIsNoFormAndLeavesNothingBehind) {
    std::unique_ptr<vcl::TComponent> owner(vcl::Create<vcl::TComponent>(nullptr));
    try {
        vcl::Create<TsSkinProvider>(owner.get());
        FAIL() << "no refusal";
    } catch (const vcl::EAbort &e) {
        EXPECT_EQ(e.Message(), "TsSkinProvider component may be used with forms only!");
    }
    EXPECT_EQ(owner->ComponentCount(), 0);
    EXPECT_THROW(vcl::Create<TsSkinProvider>(nullptr), vcl::EAbort);
}

TEST_F(Provider, TakesOverTheFormsProcedureAndAnswersForTheForm) {
    TestForm form;
    const vcl::TWndMethod own = form.Form->WindowProc;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    EXPECT_EQ(p->Form, form.Form);
    EXPECT_TRUE(p->Hooked);
    EXPECT_FALSE(p->Duplicate);
    EXPECT_TRUE(p->SavedWndProc == own);
    EXPECT_TRUE(form.Form->WindowProc == ProcOf(p));
    EXPECT_TRUE(Registered(form.Form));
    EXPECT_EQ(p->SkinData()->SkinSection(), "FORM");
    EXPECT_EQ(p->SkinData()->ControlKind, ckFormProvider);
    EXPECT_EQ(p->SkinData()->OwnerProvider(), p);
    form.Show();
    EXPECT_EQ(SendSkinCommand(form.Form->Handle(), SC_QUERY_FORM_PROVIDER, 0),
              reinterpret_cast<LRESULT>(static_cast<TvlFormProvider *>(p)));
    auto *button = form.Add(vcl::Create<vcl::TButton>(form.Form));
    EXPECT_EQ(FindFormProvider(button), p);

    delete p;
    EXPECT_TRUE(form.Form->WindowProc == own);
    EXPECT_FALSE(Registered(form.Form));
    EXPECT_EQ(FindFormProvider(button), nullptr);
}

TEST_F(Provider, ASecondProviderStaysInertAndItsEndTakesNothingFromTheFirst) {
    TestForm form;
    const vcl::TWndMethod own = form.Form->WindowProc;
    auto *first = vcl::Create<TsSkinProvider>(form.Form);
    auto *second = vcl::Create<TsSkinProvider>(form.Form);
    EXPECT_TRUE(second->Duplicate);
    EXPECT_FALSE(second->Hooked);
    EXPECT_TRUE(form.Form->WindowProc == ProcOf(first));
    EXPECT_EQ(FindFormProvider(form.Form), first);

    // The glued list keeps the serving provider's form too.
    vcl::TForm *other = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    GlueForm(other, form.Form, 5, 0);
    delete second;
    EXPECT_TRUE(form.Form->WindowProc == ProcOf(first));
    EXPECT_TRUE(Registered(form.Form));
    EXPECT_EQ(GluedPairs().size(), 1u);

    delete first;
    EXPECT_TRUE(form.Form->WindowProc == own);
    EXPECT_TRUE(GluedPairs().empty());
    delete other;
}

TEST_F(Provider, OneTheDialogHookMadeGivesWayToTheFormsOwn) {
    TestForm form;
    const vcl::TWndMethod own = form.Form->WindowProc;
    auto *hooked = vcl::Create<TsSkinProvider>(form.Form, TsSkinProvider::TDialogMade{});
    EXPECT_TRUE(hooked->DialogMade);
    EXPECT_TRUE(hooked->SavedWndProc == own);
    auto *mine = vcl::Create<TsSkinProvider>(form.Form);
    EXPECT_FALSE(mine->Duplicate);
    EXPECT_EQ(form.Form->ComponentCount(), 1);  // the hook's provider is gone
    EXPECT_TRUE(form.Form->WindowProc == ProcOf(mine));
    EXPECT_TRUE(mine->SavedWndProc == own);
    EXPECT_TRUE(Registered(form.Form));
    delete mine;
    EXPECT_TRUE(form.Form->WindowProc == own);
}

TEST_F(Provider, GivesBackTheProcedureOnlyWhileItIsStillItsOwn) {
    TestForm form;
    form.Form->SetCaption("Relayed");
    form.Form->HandleNeeded();
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    auto *after = new FormWatcher(form.Form);  // chained in front of the provider
    const vcl::TWndMethod watcher = form.Form->WindowProc;
    delete p;
    EXPECT_TRUE(form.Form->WindowProc == watcher);
    EXPECT_FALSE(Registered(form.Form));
    // What the watcher passes on reaches the form's own procedure past the
    // provider that went, also once the watcher has left in its turn.
    EXPECT_EQ(Through(form.Form, WM_GETTEXTLENGTH).Result, 7);
    EXPECT_TRUE(after->Saw(WM_GETTEXTLENGTH));
    delete after;
    EXPECT_EQ(Through(form.Form, WM_GETTEXTLENGTH).Result, 7);
}

TEST_F(Provider, TheFormsEndReachesItsOwnProcedureThroughTheUnskinnedRoute) {
    auto *form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    FormWatcher watcher(form);
    auto *p = vcl::Create<TsSkinProvider>(form);
    ASSERT_TRUE(p->SkinData()->IsSkinned(false));
    form->Show();
    vcl::Application->ProcessMessages();
    delete form;
    EXPECT_TRUE(watcher.Saw(WM_NCDESTROY));
    EXPECT_TRUE(watcher.NCDestroyWhileDestroying);
    EXPECT_TRUE(std::find(SkinnedForms().begin(), SkinnedForms().end(), form) == SkinnedForms().end());
}

TEST_F(Provider, AManagerPlacedLaterOnTheFormBecomesItsOwn) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    EXPECT_EQ(p->SkinData()->SkinManager(), nullptr);  // the default serves
    auto *second = vcl::Create<TsSkinManager>(form.Form);
    EXPECT_EQ(p->SkinData()->SkinManager(), second);
    delete second;
    EXPECT_EQ(p->SkinData()->SkinManager(), nullptr);
    EXPECT_EQ(p->SkinData()->GetSkinManager(), Manager.get());
}

TEST_F(Provider, ItsOwnThirdPartyTextsDecideOnlyWhenOneIsNotEmpty) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    EXPECT_FALSE(p->OwnThirdPartyLists);
    p->ThirdParty()->SetThirdList(tpButton, "TMyButton\r\nTOther");
    p->ReadThirdPartyLists();
    EXPECT_TRUE(p->OwnThirdPartyLists);
    EXPECT_EQ(p->ThirdPartyLists[tpButton]->IndexOf("TOther"), 1);
    EXPECT_EQ(p->ThirdPartyLists[tpButton]->IndexOf("tother"), -1);  // case counts
    p->ThirdPartyLists[0]->Add("TMyEdit");
    p->WriteThirdPartyLists();
    EXPECT_EQ(p->ThirdParty()->GetThirdList(0), "TMyEdit\r\n");
}

TEST_F(Provider, SubMenuReferenceGoesWithTheMenu) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    auto *menu = vcl::Create<vcl::TPopupMenu>(form.Form);
    p->SysSubMenu()->SetPopupMenu(menu);
    delete menu;
    EXPECT_EQ(p->SysSubMenu()->PopupMenu(), nullptr);
}

// ------------------------------------------------------ form descriptions

class TDescribedForm : public vcl::TForm {
    VCL_CLASS(TDescribedForm, vcl::TForm)
public:
    explicit TDescribedForm(vcl::TComponent *AOwner) : vcl::TForm(AOwner, vcl::CreateNew) {}
    TsSkinProvider *sSkinProvider1 = nullptr;
};

VCL_PUBLISHED(TDescribedForm, p) { p.Field("sSkinProvider1", &TDescribedForm::sSkinProvider1); }

const char *const Described = R"desc(TDescribedForm Form1 {
    TsSkinProvider sSkinProvider1 {
        AllowAnimation = False
        CaptionAlignment = taCenter
        DisabledBlendValue = 100
        GripMode = gmRightBottom
        ResizeMode = rmBorder
        SnapBuffer = 5
        TitleSkin = "MYTITLE"
        AddedTitle.Text = "(demo)"
        AddedTitle.ShowMainCaption = False
        AddedTitle.Font.Name = "Tahoma"
        AddedTitle.Font.Height = -11
        FormHeader.AdditionalHeight = 7
        GluedForms = ("Left", "Below")
        SysSubMenu.Caption = "Extra"
        SysSubMenu.Position = ipTop
        TitleIcon.Width = 20
        TitleIcon.Visible = False
        SkinData.SkinSection = "FORM"
        ThirdParty.ThirdButtons = "TMyButton"
        TitleButtons {
            item {
                Hint = "Help me"
                Enabled = False
            }
            item {
                Name = "Second"
                UseSkinData = False
            }
        }
    }
}
)desc";

TEST_F(Provider, ReadsAndWritesItsPropertiesInAFormDescription) {
    std::unique_ptr<TDescribedForm> form(vcl::Create<TDescribedForm>(vcl::Application));
    vcl::ReadComponentText(*form, Described);
    TsSkinProvider *p = form->sSkinProvider1;
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->AllowAnimation());
    EXPECT_EQ(p->CaptionAlignment(), vcl::taCenter);
    EXPECT_EQ(p->DisabledBlendValue(), 100);
    EXPECT_EQ(p->GripMode(), gmRightBottom);
    EXPECT_EQ(p->ResizeMode(), rmBorder);
    EXPECT_EQ(p->SnapBuffer(), 5);
    EXPECT_EQ(p->TitleSkin(), "MYTITLE");
    EXPECT_EQ(p->AddedTitle()->Text(), "(demo)");
    EXPECT_FALSE(p->AddedTitle()->ShowMainCaption());
    EXPECT_EQ(p->AddedTitle()->Font()->Name(), "Tahoma");
    EXPECT_EQ(p->AddedTitle()->Font()->Color(), vcl::clNone);  // no colour of its own
    EXPECT_EQ(p->FormHeader()->AdditionalHeight(), 7);
    EXPECT_EQ(p->GluedForms()->Count(), 2);
    EXPECT_EQ(p->SysSubMenu()->Caption(), "Extra");
    EXPECT_EQ(p->SysSubMenu()->Position(), ipTop);
    EXPECT_EQ(p->TitleIcon()->Width(), 20);
    EXPECT_FALSE(p->TitleIcon()->Visible());
    EXPECT_TRUE(p->OwnThirdPartyLists);  // read again once loaded
    EXPECT_EQ(p->ThirdPartyLists[tpButton]->IndexOf("TMyButton"), 0);
    ASSERT_EQ(p->TitleButtons()->Count(), 2);
    const TsTitleButton &b0 = *p->TitleButtons()->Items(0);
    EXPECT_EQ(b0.Name(), "TsTitleButton");
    EXPECT_EQ(b0.Hint(), "Help me");
    EXPECT_FALSE(b0.Enabled());
    EXPECT_EQ(p->TitleButtons()->Items(1)->Name(), "Second");
    EXPECT_FALSE(p->TitleButtons()->Items(1)->UseSkinData());
    EXPECT_TRUE(p->Hooked);
    EXPECT_FALSE(p->ProviderLoading());

    // Written, only what differs from the defaults comes out, and reads back.
    const std::string written = vcl::WriteComponentText(*form);
    EXPECT_EQ(written.find("AllowExtBorders"), std::string::npos);
    EXPECT_EQ(written.find("ShowAppIcon"), std::string::npos);
    EXPECT_NE(written.find("SnapBuffer = 5"), std::string::npos);
    form.reset();
    std::unique_ptr<TDescribedForm> copy(vcl::Create<TDescribedForm>(vcl::Application));
    vcl::ReadComponentText(*copy, written);
    ASSERT_TRUE(copy->sSkinProvider1);
    EXPECT_EQ(copy->sSkinProvider1->GripMode(), gmRightBottom);
    EXPECT_EQ(copy->sSkinProvider1->TitleButtons()->Items(1)->Name(), "Second");
}

TEST_F(Provider, ADamagedDescriptionIsRefusedWithItsLineAndTheFormLivesOn) {
    std::unique_ptr<TDescribedForm> form(vcl::Create<TDescribedForm>(vcl::Application));
    const std::string damaged = "TDescribedForm Form1 {\n    TsSkinProvider sSkinProvider1 {\n"
                                "        SnapBuffer = \"ten\"\n    }\n}\n";
    try {
        vcl::ReadComponentText(*form, damaged);
        FAIL() << "accepted";
    } catch (const vcl::EParserError &e) {
        EXPECT_EQ(e.Line, 3);
    }
    // What was read stays the form's, serving it.
    ASSERT_TRUE(form->sSkinProvider1);
    EXPECT_TRUE(form->WindowProc == ProcOf(form->sSkinProvider1));
    form.reset();
}

BOOL CALLBACK CollectShown(HWND W, LPARAM List) {
    if (IsWindowVisible(W)) reinterpret_cast<std::vector<HWND> *>(List)->push_back(W);
    return TRUE;
}

// A provider freed while its shown form lives on leaves the frame to the
// system as it found it: the system menu (and with it the caption
// buttons), no region cut by the skin, no border window.
TEST(ProviderFreed, BeforeItsShownFormLeavesTheFrameToTheSystem) {
    const FormsModules modules;
    ManagerPtr manager = BorderedManager();
    for (const bool border : {false, true}) {
        BorderedForm f;
        if (!border) f.P->SetAllowExtBorders(false);
        const HWND w = f.Wnd();
        ASSERT_EQ(f.Border() != nullptr, border);
        ASSERT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_SYSMENU);
        delete std::exchange(f.P, nullptr);
        uitest::PumpUntil([] { return false; }, 50ms);
        EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_SYSMENU) << border;
        const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(GetWindowRgn(w, region.Get()), ERROR) << border;
        std::vector<HWND> shown;
        EnumThreadWindows(
            GetCurrentThreadId(),
            &CollectShown,
            reinterpret_cast<LPARAM>(&shown));
        EXPECT_EQ(shown, std::vector<HWND>{w}) << border;
    }
}

TEST_F(Provider, HandlesReturnToTheirStartOverManyLives) {
    {  // the first life makes what lives on (window classes, fonts of the system)
        TestForm warm;
        vcl::Create<TsSkinProvider>(warm.Form);
        warm.Show();
    }
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        TestForm form;
        auto *p = vcl::Create<TsSkinProvider>(form.Form);
        form.Show();
        Command(form.Form, SC_SET_FORM_ALPHA, 200);
        if (i % 2) delete p;  // half go before their form, half with it
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_TRUE(SkinnedForms().empty());
}

} // namespace
} // namespace skin
