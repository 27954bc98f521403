// The control adapter: which windowed controls it hands to the registered
// adapter factory and with what kind (the index of the ThirdParty list that
// names the control's class), whom it leaves alone, when it looks again,
// what it tells the adapted controls, and the labels, which take the skin's
// text colour and get their own back.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

// An adapter as far as the control adapter sees one.
struct FakeAdapter : TvlWindowAdapter {
    FakeAdapter(HWND W, int &Alive) : Window(W), AliveCount(Alive) { ++AliveCount; }
    ~FakeAdapter() override { --AliveCount; }
    HWND AdapterWindow() const override { return Window; }
    bool Destroyed() const override { return Gone; }
    HWND Window;
    int &AliveCount;
    bool Gone = false;
};

// Records what it is asked for and makes a FakeAdapter every time.
struct FakeFactory : TvlAdapterFactory {
    struct Request {
        int Kind;
        HWND Window;
        std::string Section;
        TsSkinManager *Manager;
    };
    std::unique_ptr<TvlWindowAdapter> CreateAdapter(int Kind, HWND Window, const TvlSkinParams &Params,
                                                    TsSkinManager *Manager) override {
        Requests.push_back({Kind, Window, Params.SkinSection, Manager});
        return std::make_unique<FakeAdapter>(Window, Alive);
    }
    std::vector<Request> Requests;
    int Alive = 0;
};

struct CtrlAdapter : FormsFixture {
    FakeFactory Factory;
    TvlServiceRegistration<TvlAdapterFactory> Registration{Factory};
    TestForm Form;
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    void SetUp() override { Form.Show(); }
    vcl::TForm *F() { return Form.Form; }
    // The provider's own lists decide: Lines for the list of Kind.
    void List(int Kind, const std::string &Lines) {
        P->ThirdParty()->SetThirdList(Kind, Lines);
        P->ReadThirdPartyLists();
    }
    TvlCtrlAdapter &Adapter() {
        if (!P->ControlAdapter) P->ControlAdapter = std::make_unique<TvlCtrlAdapter>(P);
        return *P->ControlAdapter;
    }
    void Walk() { Adapter().AdaptControls(nullptr); }
    int KindAskedFor(HWND Window) const {
        for (const auto &r : Factory.Requests)
            if (r.Window == Window) return r.Kind;
        return -1;
    }
};

constexpr int kEdit = 0, kButton = 1, kCheckBox = 3, kPanel = 8;

TEST_F(CtrlAdapter, WindowedControlsGoToTheFactoryByTheKindOfTheListThatNamesThem) {
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()), 10, 10);
    auto *memo = Form.Add(vcl::Create<vcl::TMemo>(F()), 10, 60);
    List(kButton, "TOther\r\nTButton");
    List(kEdit, "TMemo");
    Walk();
    ASSERT_EQ(Factory.Requests.size(), 2u);
    EXPECT_EQ(KindAskedFor(button->Handle()), kButton);
    EXPECT_EQ(KindAskedFor(memo->Handle()), kEdit);
    for (const auto &r : Factory.Requests) {
        EXPECT_EQ(r.Manager, Manager.get());
        EXPECT_TRUE(r.Section.empty());
    }
    EXPECT_EQ(Adapter().Items.size(), 2u);
    ASSERT_NE(Adapter().ItemOf(button), nullptr);
    EXPECT_EQ(Adapter().ItemOf(button)->Adapter->AdapterWindow(), button->Handle());

    // A second walk finds them served.
    Walk();
    EXPECT_EQ(Factory.Requests.size(), 2u);
    EXPECT_EQ(Factory.Alive, 2);
}

TEST_F(CtrlAdapter, TheLowerKindWinsAndLetterCaseCounts) {
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()), 10, 10);
    auto *memo = Form.Add(vcl::Create<vcl::TMemo>(F()), 10, 60);
    List(kPanel, "TButton");
    List(kCheckBox, "TButton");
    List(kEdit, "TMEMO\r\ntmemo");
    Walk();
    EXPECT_EQ(KindAskedFor(button->Handle()), kCheckBox);
    EXPECT_EQ(KindAskedFor(memo->Handle()), -1);
    EXPECT_EQ(Adapter().ItemOf(memo), nullptr);
}

TEST_F(CtrlAdapter, ManagersListsServeWhileTheProviderHasNoneOfItsOwn) {
    ASSERT_FALSE(P->OwnThirdPartyLists);
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    for (auto &list : Manager->ThirdPartyLists) list->Clear();
    Manager->ThirdPartyLists[kPanel]->SetText("TButton");
    Walk();
    EXPECT_EQ(KindAskedFor(button->Handle()), kPanel);
}

TEST_F(CtrlAdapter, ControlsMarkedOrRefusedStayUnadaptedButTheirChildrenAreWalked) {
    auto *marked = Form.Add(vcl::Create<vcl::TButton>(F()), 10, 10);
    marked->SetTag(0x1100);
    auto *box = Form.Add(vcl::Create<vcl::TWinControl>(F()), 10, 60);
    box->SetBounds(10, 60, 200, 100);
    auto *inner = vcl::Create<vcl::TButton>(box);  // not the form's: found by walking into the box
    inner->SetBounds(5, 5, 50, 20);
    inner->SetParent(box);
    List(kButton, "TButton");
    List(kPanel, "TWinControl");
    struct Refuser {
        vcl::TObject *Refused;
        void OnSkinItem(vcl::TObject *Item, bool &CanBeAdded, std::string &) {
            if (Item == Refused) CanBeAdded = false;
        }
    } refuser{box};
    P->OnSkinItem = TAddItemEvent::Bind<&Refuser::OnSkinItem>(&refuser);
    Walk();
    ASSERT_EQ(Factory.Requests.size(), 1u);
    EXPECT_EQ(Factory.Requests[0].Window, inner->Handle());
}

TEST_F(CtrlAdapter, NothingIsAdaptedWithoutTheRuleOrWithoutPermission) {
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    auto *label = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 60);
    label->Font()->SetColor(vcl::clRed);
    List(kButton, "TButton");
    Manager->SetSkinningRules({srStdForms, srStdDialogs});
    Walk();
    P->SetAllowSkin3rdParty(false);
    Manager->SetSkinningRules({srStdForms, srStdDialogs, srThirdParty});
    Walk();
    Adapter().AddNewItem(button, {});
    EXPECT_TRUE(Factory.Requests.empty());
    EXPECT_EQ(label->Font()->Color(), vcl::clRed);
}

TEST_F(CtrlAdapter, AControlMadeHiddenIsAdaptedOnceItHasAWindow) {
    auto *button = vcl::Create<vcl::TButton>(F());
    button->SetVisible(false);
    Form.Add(button);
    List(kButton, "TButton");
    Walk();
    EXPECT_FALSE(button->HandleAllocated());
    EXPECT_TRUE(Factory.Requests.empty());
    button->SetVisible(true);
    vcl::Application->ProcessMessages();
    Walk();
    EXPECT_EQ(KindAskedFor(button->Handle()), kButton);
}

TEST_F(CtrlAdapter, AnAdapterThatGaveUpIsReplacedAtTheNextLook) {
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    List(kButton, "TButton");
    Walk();
    ASSERT_EQ(Factory.Alive, 1);
    static_cast<FakeAdapter *>(Adapter().ItemOf(button)->Adapter.get())->Gone = true;
    Adapter().AddNewItem(button, "MYBUTTON");  // the item is there: its adapter is made again
    EXPECT_EQ(Factory.Requests.size(), 2u);
    EXPECT_EQ(Factory.Requests.back().Section, "MYBUTTON");
    EXPECT_EQ(Factory.Alive, 1);
    static_cast<FakeAdapter *>(Adapter().ItemOf(button)->Adapter.get())->Gone = true;
    Adapter().Purge();
    EXPECT_TRUE(Adapter().Items.empty());
    EXPECT_EQ(Factory.Alive, 0);
}

TEST_F(CtrlAdapter, TheSkinsRemovalReachesTheAdaptedControlsAndFreesTheirAdapters) {
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    std::vector<std::string> log;
    Recorder recorder(log, "button", button, SC_SKIN_REMOVED);
    List(kButton, "TButton");
    Walk();
    ASSERT_EQ(Factory.Alive, 1);
    Command(F(), SC_SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(log, std::vector<std::string>{"button"});
    EXPECT_EQ(P->ControlAdapter, nullptr);
    EXPECT_EQ(Factory.Alive, 0);
}

TEST_F(CtrlAdapter, LabelsTakeTheSkinsTextColourUnlessTheApplicationSaysNo) {
    auto *plain = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 10);
    auto *kept = Form.Add(vcl::Create<vcl::TLabel>(F()), 10, 40);
    plain->Font()->SetColor(vcl::clRed);
    kept->Font()->SetColor(vcl::clRed);
    struct OwnFontKeeper {
        vcl::TObject *Kept;
        void OnSkinItemEx(vcl::TObject *Item, bool &, TvlSkinParams &Params) {
            if (Item == Kept) Params.OwnFont = false;
        }
    } keeper{kept};
    P->OnSkinItemEx = TAddItemExEvent::Bind<&OwnFontKeeper::OnSkinItemEx>(&keeper);
    Walk();
    EXPECT_EQ(plain->Font()->Color(), Manager->GetMainFontColor());
    EXPECT_EQ(kept->Font()->Color(), vcl::clRed);
    EXPECT_EQ(P->LabelRecords.size(), 1u);
    // Skinned twice, the record still holds the label's own colour.
    P->SkinLabel(plain, true);
    P->SkinLabel(plain, false);
    EXPECT_EQ(plain->Font()->Color(), vcl::clRed);
    EXPECT_TRUE(P->LabelRecords.empty());
}

TEST_F(CtrlAdapter, AFormInsideTheFormGetsAProviderOfItsOwnAndNoItem) {
    auto *inner = vcl::Create<vcl::TForm>(F(), vcl::CreateNew);
    inner->SetBorderStyle(vcl::bsNone);
    inner->SetParent(F());
    inner->SetBounds(10, 10, 150, 100);
    inner->Show();
    vcl::Application->ProcessMessages();
    Walk();
    TsSkinProvider *own = FindFormProvider(inner);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, P);
    EXPECT_EQ(own->Form, inner);
    EXPECT_EQ(own->SkinData()->SkinSection(), "FORM");
    EXPECT_EQ(Adapter().ItemOf(inner), nullptr);
    // Served now: the next walk leaves it alone.
    Walk();
    EXPECT_EQ(inner->ComponentCount(), 1);
}

TEST_F(CtrlAdapter, AControlPutOnTheSkinnedFormLaterGetsItsAdapterWhenItsWindowIsMade) {
    List(kButton, "TButton");
    Walk();
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));  // its window tells the form
    ASSERT_TRUE(button->HandleAllocated());
    EXPECT_EQ(KindAskedFor(button->Handle()), kButton);
    EXPECT_NE(Adapter().ItemOf(button), nullptr);
}

TEST_F(CtrlAdapter, AnotherTabShownMakesTheFormLookAgain) {
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    Adapter();
    List(kButton, "TButton");  // listed after its window was made
    EXPECT_TRUE(Factory.Requests.empty());
    NMHDR other{button->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
    SendMessageW(F()->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_TRUE(Factory.Requests.empty());
    NMHDR changed{button->Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(F()->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&changed));
    EXPECT_EQ(KindAskedFor(button->Handle()), kButton);
}

TEST_F(CtrlAdapter, AFloatingFormDropsItsScrollBarsAndRefreshes) {
    struct Bars : TvlScrollAdapter {
        HWND AdapterWindow() const override { return nullptr; }
        TvlScrollBarState HorzScrollBar() const override { return {}; }
        TvlScrollBarState VertScrollBar() const override { return {}; }
    };
    auto *button = Form.Add(vcl::Create<vcl::TButton>(F()));
    List(kButton, "TButton");
    Adapter();
    P->FormScrollAdapter = std::make_unique<Bars>();
    P->SkinData()->PaintLocked = true;
    F()->Perform(vcl::CM_FLOAT, 0, 0);
    EXPECT_EQ(P->FormScrollAdapter, nullptr);
    EXPECT_FALSE(P->SkinData()->PaintLocked);          // the refresh ran
    EXPECT_EQ(KindAskedFor(button->Handle()), kButton);  // and walked the form
}

} // namespace
} // namespace skin
