// The control adapter: which windowed controls it hands to the registered
// adapter factory and with what kind (the index of the ThirdParty list that
// names the control's class), whom it leaves alone, and the labels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

// Makes an adapter for every request and keeps the kind asked for.
struct FakeFactory : TvlAdapterFactory {
    struct Adapter : TvlWindowAdapter {
        HWND Window = nullptr;
        HWND AdapterWindow() const override { return Window; }
    };
    std::unique_ptr<TvlWindowAdapter> CreateAdapter(int Kind, HWND Window, const TvlSkinParams &,
                                                    TsSkinManager *) override {
        Kinds.emplace_back(Window, Kind);
        auto adapter = std::make_unique<Adapter>();
        adapter->Window = Window;
        return adapter;
    }
    int KindOf(const vcl::TWinControl *Control) const {
        for (const auto &[window, kind] : Kinds)
            if (window == Control->WindowHandle()) return kind;
        return -1;
    }
    std::vector<std::pair<HWND, int>> Kinds;
};

constexpr int kEdit = 0, kButton = 1, kCheckBox = 3, kPanel = 8;

struct CtrlAdapter : FormsFixture {
    FakeFactory Factory;
    TvlServiceRegistration<TvlAdapterFactory> Registration{Factory};
    TestForm Form;
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    void SetUp() override {
        Form.Show();
        P->ControlAdapter = std::make_unique<TvlCtrlAdapter>(P);
    }
    vcl::TForm *F() { return Form.Form; }
    // The provider's own lists decide.
    void List(int Kind, const std::string &Lines) {
        P->ThirdParty()->SetThirdList(Kind, Lines);
        P->ReadThirdPartyLists();
    }
    void Walk() { P->ControlAdapter->AdaptControls(nullptr); }
};

TEST_F(CtrlAdapter, ControlsGoToTheFactoryByTheFirstListThatNamesThemExactly) {
    List(kPanel, "TButton");
    List(kCheckBox, "TOther\r\nTButton");
    List(kEdit, "TMemo\r\ntcustomedit");
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    auto *memo = Form.Add(vcl::Create<vcl::TMemo>(F()), 10, 60);
    auto *wrongCase = Form.Add(vcl::Create<vcl::TCustomEdit>(F()), 10, 110);
    Walk();
    Walk();  // served already: not asked again
    EXPECT_EQ(Factory.Kinds.size(), 2u);
    EXPECT_EQ(Factory.KindOf(button), kCheckBox);
    EXPECT_EQ(Factory.KindOf(memo), kEdit);
    EXPECT_EQ(Factory.KindOf(wrongCase), -1);
    EXPECT_EQ(P->ControlAdapter->ItemOf(button)->Adapter->AdapterWindow(), button->Handle());

    // Without lists of its own the manager's decide.
    List(kPanel, "");
    List(kCheckBox, "");
    List(kEdit, "");
    P->ControlAdapter = std::make_unique<TvlCtrlAdapter>(P);
    Factory.Kinds.clear();
    Walk();
    EXPECT_EQ(Factory.KindOf(button), kButton);
}

TEST_F(CtrlAdapter, MarkedAndRefusedControlsStayUnadaptedButTheirChildrenAreWalked) {
    List(kButton, "TButton");
    List(kPanel, "TWinControl");
    auto *marked = vcl::Create<vcl::TButton>(F());
    marked->SetTag(0x1100);
    Form.Add(marked);
    auto *box = vcl::Create<vcl::TWinControl>(F());
    auto *inner = vcl::Create<vcl::TButton>(box);  // not the form's: found inside the box
    struct Refuser {
        vcl::TObject *Refused;
        void Ask(vcl::TObject *Item, bool &CanBeAdded, std::string &) { CanBeAdded = Item != Refused; }
    } refuser{box};
    P->OnSkinItem = TAddItemEvent::Bind<&Refuser::Ask>(&refuser);
    Form.Add(box, 10, 60);
    inner->SetParent(box);
    Walk();
    EXPECT_EQ(Factory.Kinds, (std::vector<std::pair<HWND, int>>{{inner->Handle(), kButton}}));

    // Without the rule, or with the provider's permission off, nothing more.
    Factory.Kinds.clear();
    Manager->SetSkinningRules({srStdForms, srStdDialogs});
    auto *later = Form.Add(vcl::Create<vcl::TButton>(F()), 10, 200);
    Walk();
    Manager->SetSkinningRules({srStdForms, srStdDialogs, srThirdParty});
    P->SetAllowSkin3rdParty(false);
    Walk();
    P->ControlAdapter->AddNewItem(later, {});
    EXPECT_TRUE(Factory.Kinds.empty());
}

TEST_F(CtrlAdapter, AControlGetsItsAdapterOnceItHasAWindowAndTheSkinsEndFreesIt) {
    List(kButton, "TButton");
    auto *hidden = vcl::Create<vcl::TButton>(F());
    hidden->SetVisible(false);
    Form.Add(hidden);
    Walk();
    EXPECT_TRUE(Factory.Kinds.empty());
    auto *created = Form.Add(vcl::Create<vcl::TButton>(F()), 10, 60);  // its window tells the form
    EXPECT_EQ(Factory.KindOf(created), kButton);
    hidden->SetVisible(true);
    Walk();
    EXPECT_EQ(Factory.KindOf(hidden), kButton);

    std::vector<std::string> log;
    Recorder recorder(log, "created", created, SC_SKIN_REMOVED);
    Command(F(), SC_SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(log, std::vector<std::string>{"created"});
    EXPECT_EQ(P->ControlAdapter, nullptr);
}

TEST_F(CtrlAdapter, LabelsTakeTheSkinsTextColourUnlessTheApplicationKeepsTheirFont) {
    auto *plain = Form.Add(vcl::Create<vcl::TLabel>(F()));
    auto *kept = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 40);
    auto *marked = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 70);
    marked->SetTag(0x100);
    for (vcl::TLabel *label : {plain, kept, marked}) label->Font()->SetColor(vcl::clRed);
    struct Keeper {
        vcl::TObject *Kept;
        void Ask(vcl::TObject *Item, bool &, TvlSkinParams &Params) { Params.OwnFont = Item != Kept; }
    } keeper{kept};
    P->OnSkinItemEx = TAddItemExEvent::Bind<&Keeper::Ask>(&keeper);
    Walk();
    P->SkinLabel(plain, true);  // twice: the record keeps its own colour
    EXPECT_EQ(plain->Font()->Color(), Manager->GetMainFontColor());
    EXPECT_EQ(kept->Font()->Color(), vcl::clRed);
    EXPECT_EQ(marked->Font()->Color(), vcl::clRed);
    P->SkinLabel(plain, false);
    EXPECT_EQ(plain->Font()->Color(), vcl::clRed);
    EXPECT_TRUE(P->LabelRecords.empty());

    // A label freed while skinned takes its record along.
    P->SkinLabel(plain, true);
    ASSERT_EQ(P->LabelRecords.size(), 1u);
    delete plain;
    EXPECT_TRUE(P->LabelRecords.empty());
}

} // namespace
} // namespace skin
