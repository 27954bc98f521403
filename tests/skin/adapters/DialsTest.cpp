// Forms skinned from the window-creation hook: a message box gets a form
// provider of the dialog variant that goes with it, the forms that stay
// unskinned, the form's own provider taking over, the hook's end, and the
// handles over many message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../forms/FormsTestSupport.h"
#include "UiDriver.h"
#include "skin/adapters/vlDials.h"
#include "skin/manager/sMessages.h"
#include "vcl/Dialogs.h"
#include "vcl/HandleCounts.h"

namespace skin {

// A form of a class that the list of unskinned popup classes names.
class TfcPopup : public vcl::TForm {
    VCL_CLASS(TfcPopup, vcl::TForm)
public:
    explicit TfcPopup(vcl::TComponent *AOwner) : vcl::TForm(AOwner, vcl::CreateNew) {}
    TfcPopup(vcl::TComponent *AOwner, vcl::TCreateNew) : TfcPopup(AOwner) {}
};
VCL_CLASS_INFO(TfcPopup)

namespace {

using namespace skin::test;

struct DialsModules {
    FormsModules Below;  // started first, ended last
    DialsModules() { InitializeDialsModule(); }
    ~DialsModules() { FinalizeDialsModule(); }
};

class Dials : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Modules = std::make_unique<DialsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<DialsModules> Modules;
    void TearDown() override { EXPECT_EQ(HookedDialogCount(), 0u) << "an entry outlived its test"; }
    ManagerPtr Manager = FormSkinManager();
};

// Learns of the end of the components it watches.
struct FreeWatch : vcl::TComponent {
    FreeWatch() : vcl::TComponent(nullptr) {}
    std::vector<const void *> Gone;
    bool Saw(const void *C) const { return std::find(Gone.begin(), Gone.end(), C) != Gone.end(); }
    void Notification(vcl::TComponent *C, vcl::TOperation Op) override {
        vcl::TComponent::Notification(C, Op);
        if (Op == vcl::opRemove) Gone.push_back(C);
    }
};

// On this thread's timer, inside the boxes' modal loops: notes whether each
// visible message box is served and posts a click to its OK button.
struct BoxAnswers {
    static inline int Seen = 0, Served = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        for (HWND box : uitest::TopLevelWindows("TMessageForm", GetCurrentProcessId())) {
            if (!IsWindowVisible(box)) continue;
            ++Seen;
            Served += SendSkinQuery(box, SC_IS_HANDLED) && HookedDialogCount() == 1;
            PostMessageW(uitest::FindChild(box, "TButton", "OK"), BM_CLICK, 0, 0);
        }
    }
    BoxAnswers() : Id(SetTimer(nullptr, 0, 10, Tick)) { Seen = Served = 0; }
    ~BoxAnswers() { KillTimer(nullptr, Id); }
    UINT_PTR Id;
};

TsSkinProvider *ProviderOf(HWND Window) {
    return dynamic_cast<TsSkinProvider *>(
        reinterpret_cast<TvlFormProvider *>(SendSkinCommand(Window, SC_QUERY_FORM_PROVIDER, 0)));
}
bool Served(vcl::TCustomForm &Form) { return SendSkinQuery(Form.Handle(), SC_IS_HANDLED); }

template <class F = vcl::TForm> std::unique_ptr<F> Shown(std::intptr_t Tag = 0, vcl::TFormBorderStyle Style = vcl::bsSizeable) {
    std::unique_ptr<F> form(vcl::Create<F>(vcl::Application, vcl::CreateNew));
    form->SetTag(Tag);
    form->SetBorderStyle(Style);
    form->Show();
    return form;
}

TEST_F(Dials, AMessageBoxGetsADialogProviderThatGoesWithIt) {
    std::unique_ptr<vcl::TMessageForm> box(vcl::CreateMessageDialog("Hotovo", vcl::mtInformation, {vcl::mbOK}));
    auto answer = uitest::AnswerMessageForm("OK");
    EXPECT_EQ(box->ShowModal(), vcl::mrOk);
    EXPECT_TRUE(answer.get().Clicked);
    const HWND window = box->WindowHandle();
    EXPECT_TRUE(Served(*box));
    TsSkinProvider *provider = ProviderOf(window);
    TvlProvider *hooked = FindDialogProvider(window);
    ASSERT_TRUE(provider && hooked);
    EXPECT_TRUE(provider->MadeForDialog);
    EXPECT_FALSE(provider->DialogMade);  // shown: set up as the form's own
    EXPECT_EQ(provider->Form, box.get());
    EXPECT_FALSE(provider->UseGlobalColor());
    EXPECT_FALSE(provider->MakeSkinMenu());
    EXPECT_EQ(hooked->FormProvider(), provider);
    EXPECT_EQ(hooked->Owner(), box.get());
    AttachSkinToWindow(window);  // as a second activation: nothing new
    EXPECT_EQ(ProviderOf(window), provider);
    EXPECT_EQ(HookedDialogCount(), 1u);
    FreeWatch watch;
    watch.FreeNotification(provider);
    watch.FreeNotification(hooked);
    box.reset();
    EXPECT_TRUE(watch.Saw(provider) && watch.Saw(hooked));
}

TEST_F(Dials, TheRulesDecideAndHelperFormsPopupClassesAndBorderlessPopupsStayUnskinned) {
    Manager->SetSkinningRules({srStdDialogs});
    EXPECT_FALSE(Served(*Shown()));
    std::unique_ptr<vcl::TMessageForm> box(vcl::CreateMessageDialog("?", vcl::mtInformation, {vcl::mbOK}));
    box->Show();
    EXPECT_TRUE(Served(*box));
    Manager->SetSkinningRules({srStdForms});
    box.reset(vcl::CreateMessageDialog("?", vcl::mtInformation, {vcl::mbOK}));
    box->Show();
    EXPECT_FALSE(Served(*box));
    EXPECT_TRUE(Served(*Shown(1)));
    EXPECT_FALSE(Served(*Shown(UnskinnedFormTag | 1)));
    EXPECT_FALSE(Served(*Shown<TfcPopup>()));
    EXPECT_FALSE(Served(*Shown(0, vcl::bsNone)));
}

TEST_F(Dials, TheFormsOwnProviderTakesOverAndTheEntryStillGoesWithTheForm) {
    auto form = Shown();
    TvlProvider *hooked = FindDialogProvider(form->WindowHandle());
    ASSERT_NE(hooked, nullptr);
    auto *mine = vcl::Create<TsSkinProvider>(form.get());
    EXPECT_FALSE(mine->Duplicate);
    EXPECT_EQ(ProviderOf(form->WindowHandle()), mine);
    EXPECT_EQ(hooked->FormProvider(), nullptr);
    EXPECT_EQ(HookedDialogCount(), 1u);
    form.reset();  // the fixture checks that no entry is left
}

TEST_F(Dials, AnMDIParentAttachedWithChildrenBringsThemAlongButNoneTheLibraryServesAlready) {
    // Made while the skin is off: the hook sees none of it until the parent
    // is activated.
    Manager->SetActive(false);
    std::unique_ptr<vcl::TForm> parent(vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew));
    parent->SetFormStyle(vcl::fsMDIForm);
    parent->HandleNeeded();
    std::vector<vcl::TForm *> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(vcl::Create<vcl::TForm>(parent.get(), vcl::CreateNew));
        children[i]->SetFormStyle(vcl::fsMDIChild);
        children[i]->SetBounds(10 + 30 * i, 10 + 30 * i, 200, 120);
        children[i]->Show();
    }
    auto *own = vcl::Create<TsSkinProvider>(children[2]);
    Manager->SetActive(true);
    ASSERT_FALSE(Served(*parent));
    parent->Show();  // activated: the hook attaches it
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(Served(*parent));
    for (vcl::TForm *c : {children[0], children[1]}) {
        EXPECT_TRUE(Served(*c));
        const TvlProvider *hooked = FindDialogProvider(c->WindowHandle());
        ASSERT_NE(hooked, nullptr);
        EXPECT_EQ(hooked->Owner(), c);
        EXPECT_EQ(ProviderOf(c->WindowHandle()), hooked->FormProvider());
    }
    EXPECT_EQ(ProviderOf(children[2]->WindowHandle()), own);
    EXPECT_EQ(FindDialogProvider(children[2]->WindowHandle()), nullptr);
    EXPECT_EQ(HookedDialogCount(), 3u);
    parent.reset();  // the fixture checks that no entry is left
}

TEST_F(Dials, TheHookStopsWithTheSkinAndItsRecordsGo) {
    auto form = Shown();
    TvlProvider *hooked = FindDialogProvider(form->WindowHandle());
    ASSERT_NE(hooked, nullptr);
    FreeWatch watch;
    watch.FreeNotification(hooked);
    Manager->SetActive(false);
    EXPECT_TRUE(watch.Saw(hooked));
    EXPECT_EQ(HookedDialogCount(), 0u);
    EXPECT_NE(ProviderOf(form->WindowHandle()), nullptr);  // the provider stays with its form
    BoxAnswers answers;
    vcl::ShowMessage("Bez vzhledu");
    EXPECT_GE(BoxAnswers::Seen, 1);
    EXPECT_EQ(BoxAnswers::Served, 0);
}

TEST_F(Dials, HandlesStayFlatOverAHundredMessageBoxes) {
    BoxAnswers answers;
    vcl::ShowMessage("0");  // the first box makes what later ones share
    const vcl::THandleCounts before = vcl::LiveHandles();
    const int forms = vcl::Screen->FormCount();
    for (int i = 1; i <= 100; ++i) vcl::ShowMessage(std::to_string(i));
    EXPECT_GE(BoxAnswers::Seen, 101);
    EXPECT_EQ(BoxAnswers::Served, BoxAnswers::Seen);
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(vcl::Screen->FormCount(), forms);
}

} // namespace
} // namespace skin
