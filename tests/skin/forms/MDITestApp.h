#pragma once
// The MDI application that the Windows tests of MDI forms share: an MDI
// parent with a main menu of three groups and two MDI children, "Dokument
// 1" without a menu and "Dokument 2" with a main menu of its own, each form
// with a provider unless told otherwise. The parent's menu: "&File" (group
// 0), "&Window" (group 5), "&Help" (group 9); the child's: "&File" (group
// 0, standing for the parent's) and "&Edit" (group 3, between the parent's
// first two). The skin: the test skin with a menu
// line, menu items and a face of its own behind the children ("MDIAREA",
// MDIAreaColor). The test owns the application; its forms go with it.
// Windows only.
#include <windows.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "../../support/UiDriver.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace skin::test {

inline constexpr vcl::TColor MDIAreaColor = 0x2E7A3C;
inline constexpr vcl::TColor MDILineColor = 0x5080B0;

// The test skin with what an MDI application shows besides its frames.
inline TestSkin MDITestSkin() {
    TestSkin skin;
    skin.Options += "[MDIAREA]\r\nCOLOR=0x2E7A3C\r\n"
                    "[MENULINE]\r\nCOLOR=0x5080B0\r\nFONTCOLOR=0x101010\r\nHOTFONTCOLOR=0xFFFFFF\r\n"
                    "[MENUITEM]\r\nSTATES=2\r\nCOLOR=0xD0D0D0\r\nHOTCOLOR=0x2040C0\r\nFONTCOLOR=0x101010\r\n"
                    "HOTFONTCOLOR=0xFFFFFF\r\n[MAINMENU]\r\nCOLOR=0x306090\r\n";
    return skin;
}

// A manager with that skin ("MDI") applied, without animations.
inline ManagerPtr MDISkinManager() {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "MDI", MDITestSkin().Packed());
    m->SetSkinName("MDI");
    m->Effects()->AllowAnimation = false;
    return m;
}

// The group by which an MDI child's menu merges into its parent's.
inline void SetMenuGroup(vcl::TMenuItem &Item, int Group) { Item.SetGroupIndex(Group); }

// The base of the MDI test suites: the form and adapter modules (the MDI
// client's adapter, the menu painter) for the suite's run, and a manager
// with the MDI skin for each test.
struct MDIFixture : ::testing::Test {
    static void SetUpTestSuite() {
        Modules = std::make_unique<FormsModules>();
        InitializeAdaptersModule();
    }
    static void TearDownTestSuite() {
        FinalizeAdaptersModule();
        Modules.reset();
    }
    static inline std::unique_ptr<FormsModules> Modules;

    ManagerPtr Manager = MDISkinManager();
};

struct TMDIAppOptions {
    bool ParentProvider = true;   // the parent carries a provider
    bool ChildProviders = true;   // each child carries one
    bool Show = true;             // shown and activated, both children made
};

class TMDITestApp {
public:
    explicit TMDITestApp(TMDIAppOptions Options = {}) : FOptions(Options) {
        using namespace std::chrono_literals;
        Parent->SetFormStyle(vcl::fsMDIForm);
        Parent->SetBounds(60, 40, 640, 480);
        Parent->SetCaption("MDI");
        ParentMenu = Menu(Parent.get(), {{"&File", 0}, {"&Window", 5}, {"&Help", 9}});
        Parent->SetMenu(ParentMenu);
        if (Options.ParentProvider) ParentProvider = vcl::Create<TsSkinProvider>(Parent.get());
        if (!Options.Show) return;
        Parent->Show();
        uitest::ActivateAndWait(Parent->Handle(), 3s);
        AddChild("Dokument 1", false);
        AddChild("Dokument 2", true);
        Pump();
    }
    ~TMDITestApp() {
        Parent.reset();
        vcl::Application->ProcessMessages();
    }
    TMDITestApp(const TMDITestApp &) = delete;
    TMDITestApp &operator=(const TMDITestApp &) = delete;

    // A new child, shown and active; WithMenu: with the child's menu (one
    // child has it: the first one asked for).
    vcl::TForm *AddChild(const std::string &Caption, bool WithMenu) {
        auto *child = vcl::Create<vcl::TForm>(Parent.get(), vcl::CreateNew);
        child->SetFormStyle(vcl::fsMDIChild);
        child->SetCaption(Caption);
        const int shift = 30 * static_cast<int>(Children.size() % 8);
        child->SetBounds(10 + shift, 10 + shift, 260, 180);
        child->OnClose = vcl::TCloseEvent::Bind<&TMDITestApp::FreeOnClose>(this);
        if (WithMenu && !ChildMenu) {
            ChildMenu = Menu(child, {{"&File", 0}, {"&Edit", 3}});
            child->SetMenu(ChildMenu);
        }
        TsSkinProvider *provider = FOptions.ChildProviders ? vcl::Create<TsSkinProvider>(child) : nullptr;
        child->Show();
        Children.push_back(child);
        ChildProviders.push_back(provider);
        return child;
    }

    HWND ParentWindow() const { return Parent->WindowHandle(); }
    HWND Client() const { return Parent->ClientHandle(); }
    HWND ChildWindow(int Index) const { return Children[static_cast<std::size_t>(Index)]->WindowHandle(); }
    vcl::TForm *Child(int Index) const { return Children[static_cast<std::size_t>(Index)]; }
    TsSkinProvider *ChildProvider(int Index) const { return ChildProviders[static_cast<std::size_t>(Index)]; }

    // A system command to a child as its system menu or caption buttons
    // send it, and what it brings about pumped through.
    void Command(int Index, WPARAM Command) {
        SendMessageW(ChildWindow(Index), WM_SYSCOMMAND, Command, 0);
        Pump();
    }
    void Activate(int Index) {
        SendMessageW(Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(ChildWindow(Index)), 0);
        Pump();
    }
    // A child closed (and freed, as its close event says) is out of the lists.
    void Close(int Index) {
        vcl::TForm *child = Child(Index);
        SendMessageW(ChildWindow(Index), WM_SYSCOMMAND, SC_CLOSE, 0);
        uitest::PumpUntil([&] { return ChildGone(child); }, std::chrono::seconds(3));
        Children.erase(Children.begin() + Index);
        ChildProviders.erase(ChildProviders.begin() + Index);
        Pump();
    }
    static void Pump() { vcl::Application->ProcessMessages(); }

    // The parent's menu, then the child's (while it lives), by group.
    std::unique_ptr<vcl::TForm> Parent{vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew)};
    TsSkinProvider *ParentProvider = nullptr;
    vcl::TMainMenu *ParentMenu = nullptr;
    vcl::TMainMenu *ChildMenu = nullptr;  // of the child that has one
    std::vector<vcl::TForm *> Children;   // owned by Parent
    std::vector<TsSkinProvider *> ChildProviders;

private:
    struct TTop {
        const char *Caption;
        int Group;
    };
    static vcl::TMainMenu *Menu(vcl::TComponent *Owner, std::initializer_list<TTop> Items) {
        auto *menu = vcl::Create<vcl::TMainMenu>(Owner);
        for (const TTop &t : Items) {
            auto *top = vcl::Create<vcl::TMenuItem>(Owner);
            top->SetCaption(t.Caption);
            SetMenuGroup(*top, t.Group);
            auto *sub = vcl::Create<vcl::TMenuItem>(Owner);
            sub->SetCaption(std::string("Item of ") + t.Caption);
            top->Add(sub);
            menu->Items()->Add(top);
        }
        return menu;
    }
    bool ChildGone(vcl::TForm *Child) const {
        for (int i = 0; i < Parent->ComponentCount(); ++i)
            if (Parent->Components(i) == Child) return false;
        return true;
    }
    void FreeOnClose(vcl::TObject *, vcl::TCloseAction &Action) { Action = vcl::caFree; }
    TMDIAppOptions FOptions;
};

} // namespace skin::test
