#pragma once
// What the tests of the per-control skin data, the broadcasts and the hooks
// share: a skin with sections of known transparency, a manager that has it
// applied, a control skinned the way a window adapter skins one (its
// messages pass the common handlers first) that records the skin commands
// it gets, and a shown form to put such controls on. Windows only.
#include <string>
#include <vector>

#include "ManagerTestSupport.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "vcl/Forms.h"

namespace skin::test {

inline constexpr vcl::TColor PanelColor = 0x204060;
inline constexpr vcl::TColor EditColor = 0x40E0F0;

// PANEL0, PANEL50 and PANEL100 of transparency 0, 50 and 100 (PANEL0
// offers itself as the section behind its children); EDIT with a hot
// state; BUTTON. Colour shifts the main and edit colours (a second
// skin of the same shape).
inline std::string SectionsOptions(vcl::TColor Shift = 0) {
    const auto hex = [](vcl::TColor c) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(c));
        return std::string(text);
    };
    std::string s = "[GLOBALINFO]\r\nVERSION=10\r\nCOLOR=" + hex(0xE0E0E0 ^ Shift) + "\r\nFONTCOLOR=0x202020\r\n";
    for (const char *t : {"0", "50", "100"})
        s += std::string("[PANEL") + t + "]\r\nCOLOR=" + hex(PanelColor) + "\r\nTRANSPARENCY=" + t + "\r\nGIVEOWNFONT=" +
             (t[0] == '0' ? "1" : "0") + "\r\n";
    return s + "[EDIT]\r\nCOLOR=" + hex(EditColor ^ Shift) + "\r\nFONTCOLOR=0x000080\r\nHOTCOLOR=0x50F0F0\r\n" +
           "HOTFONTCOLOR=0x0000C0\r\n[BUTTON]\r\nCOLOR=0x808080\r\nFONTCOLOR=0x101010\r\n";
}

// A manager with stored skins "One" and "Two" (Two: shifted colours), One applied.
inline ManagerPtr SectionsManager() {
    ManagerPtr m = NewManager();
    for (const auto &[name, shift] : {std::pair{"One", 0}, std::pair{"Two", 0x0F0F0F}}) {
        TestSkin skin;
        skin.Options = SectionsOptions(shift);
        AddStoredSkin(*m, name, skin.Packed());
    }
    m->SetSkinName("One");
    return m;
}

// A control of class Base whose messages take a skinned window's order, as
// a window adapter's do; its own handling records what it hears.
template <class Base> class TSkinned : public Base {
public:
    explicit TSkinned(vcl::TComponent *AOwner, int Kind = ckAdapter) : Base(AOwner), Data(this, false) {
        Data.ControlKind = Kind;
        FPrevious = this->WindowProc;
        this->WindowProc = vcl::TWndMethod::Bind<&TSkinned::Handle>(this);
    }
    // The control's own handling; nothing is handled whole unless told.
    TvlOwnMessageHandler Own;
    // Loaded, as a control read from a form description would be.
    TSkinned *Skin(const std::string &Section) {
        Data.SetSkinSection(Section);
        Data.Loaded();
        Commands.clear();
        return this;
    }
    // The sub-commands received, with their flag (WParam).
    std::vector<WPARAM> Commands;
    int ColorChanges = 0;
    TsCommonData Data;

private:
    void Handle(vcl::TMessage &M) {
        DispatchSkinnedMessage(M, &Data, TvlOwnMessageHandler::Bind<&TSkinned::Record>(this), FPrevious);
    }
    bool Record(vcl::TMessage &M) {
        if (M.Msg == SM_SKINCOMMAND) Commands.push_back(M.WParam);
        if (M.Msg == vcl::CM_COLORCHANGED) ++ColorChanges;
        return Own && Own(M);
    }
    vcl::TWndMethod FPrevious;
};

// A form (owned by the application unless told otherwise), freed with the test.
struct TestForm {
    vcl::TForm *Form;
    explicit TestForm(vcl::TColor Color = vcl::clWhite, vcl::TComponent *Owner = vcl::Application)
        : Form(vcl::Create<vcl::TForm>(Owner, vcl::CreateNew)) {
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(Color);
    }
    ~TestForm() { delete Form; }
    TestForm(const TestForm &) = delete;
    TestForm &operator=(const TestForm &) = delete;

    template <class C> C *Add(C *Control, int Left = 10, int Top = 10) {
        Control->SetBounds(Left, Top, 120, 40);
        Control->SetParent(Form);
        return Control;
    }
    void Show() {
        Form->Show();
        vcl::Application->ProcessMessages();
    }
};

// Puts itself in front of a control's window procedure and logs the
// control's name for each SM_SKINCOMMAND of sub-command Logged; with
// Skinned it answers SC_IS_HANDLED as a skinned window does.
class Recorder {
public:
    Recorder(std::vector<std::string> &Log, std::string Name, vcl::TControl *Control, unsigned Logged,
             bool Skinned = false)
        : FLog(Log), FName(std::move(Name)), FControl(Control), FLogged(Logged), FSkinned(Skinned),
          FPrevious(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&Recorder::Handle>(this);
    }
    ~Recorder() { FControl->WindowProc = FPrevious; }
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

private:
    void Handle(vcl::TMessage &M) {
        if (M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_IS_HANDLED && FSkinned) {
            M.Result = 1;
            return;
        }
        if (M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == FLogged) FLog.push_back(FName);
        FPrevious(M);
    }
    std::vector<std::string> &FLog;
    std::string FName;
    vcl::TControl *FControl;
    unsigned FLogged;
    bool FSkinned;
    vcl::TWndMethod FPrevious;
};

} // namespace skin::test
