#pragma once
// What the tests of the per-control skin data, the broadcasts and the hooks
// share: a skin with sections of known transparency, a manager that has it
// applied, a control skinned the way a window adapter skins one (its
// messages pass the common handlers first) that records the skin commands
// it gets, and a shown form to put such controls on. Windows only.
#include <algorithm>
#include <string>
#include <vector>

#include "ManagerTestSupport.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
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

// Puts the cursor where no test puts a window, so that the next move onto
// a control is a move.
inline void ParkCursor() { SetCursorPos(1270, 1010); }

// A command to a skin data's common handler: handled?, and its answer.
inline std::pair<bool, LRESULT> CallCommon(TsCommonData &Data, unsigned Code, LPARAM LParam = 0, unsigned Flag = 0) {
    vcl::TMessage m{SM_SKINCOMMAND, SkinCommand(Code, Flag), LParam, 0};
    const bool handled = CommonWndProc(m, &Data);
    return {handled, m.Result};
}

// Puts itself in front of a control's window procedure, keeps each message
// whose number is in Watched, and passes every message on.
class MessageTap {
public:
    MessageTap(vcl::TControl *Control, std::vector<UINT> Watched)
        : FControl(Control), FWatched(std::move(Watched)), FPrevious(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&MessageTap::Handle>(this);
    }
    ~MessageTap() { FControl->WindowProc = FPrevious; }
    MessageTap(const MessageTap &) = delete;
    MessageTap &operator=(const MessageTap &) = delete;

    // The messages kept, in the order they came.
    std::vector<vcl::TMessage> Seen;
    // How many of Msg were kept (of one sub-command, for SM_SKINCOMMAND).
    int Count(UINT Msg, int SubCommand = -1) const {
        return static_cast<int>(std::count_if(Seen.begin(), Seen.end(), [&](const vcl::TMessage &M) {
            return M.Msg == Msg && (SubCommand < 0 || SubCommandOf(M.WParam) == static_cast<unsigned>(SubCommand));
        }));
    }

private:
    void Handle(vcl::TMessage &M) {
        if (std::find(FWatched.begin(), FWatched.end(), M.Msg) != FWatched.end()) Seen.push_back(M);
        FPrevious(M);
    }
    vcl::TControl *FControl;
    std::vector<UINT> FWatched;
    vcl::TWndMethod FPrevious;
};

// A form provider as far as this layer uses one: it answers what the test
// gives it and counts what it is asked to do.
struct TestProvider : TvlFormProvider {
    explicit TestProvider(vcl::TCustomForm *F, TsCommonData *D = nullptr) : Form(F), Data(D) { IsSkinned = true; }
    const vcl::TLifeMark &LifeMark() const override { return Life; }
    vcl::TCustomForm *ProviderForm() const override { return Form; }
    TsCommonData *ProviderSkinData() const override { return Data; }
    bool DrawsNonClientArea() const override { return NonClient; }
    std::unique_ptr<vcl::TBitmap> GetFormImage() override {
        ++Images;
        return std::make_unique<vcl::TBitmap>();
    }
    int GetTitleHeight() override { return 30; }
    void CollectFrameMasks() override { ++FrameMasks; }
    void UpdateFormRegion() override { ++FormRegions; }
    bool StartMinimizeAnimation() override { return ++Minimizes, true; }
    bool StartRestoreAnimation() override { return ++Restores, false; }
    void PopupSystemMenu(vcl::TPoint) override { ++Menus; }
    HWND BorderWindow() const override { return Border; }
    HRGN BorderRegion() override { return Regions.emplace_back(CreateRectRgn(0, 0, 10, 10)); }
    void UpdateBorder(bool, std::uint8_t Alpha) override { BorderAlpha = Alpha; }

    vcl::TLifeMark Life;
    vcl::TCustomForm *Form;
    TsCommonData *Data;  // not owned
    bool NonClient = true;
    HWND Border = nullptr;  // not owned
    std::vector<HRGN> Regions;  // every border region handed out (not owned)
    int Images = 0, FrameMasks = 0, FormRegions = 0, Minimizes = 0, Restores = 0, Menus = 0, BorderAlpha = -1;
};

// Makes a control answer SC_QUERY_FORM_PROVIDER with a provider.
struct ProviderAnswer {
    ProviderAnswer(vcl::TControl *C, TvlFormProvider *P) : Control(C), Provider(P), Previous(C->WindowProc) {
        C->WindowProc = vcl::TWndMethod::Bind<&ProviderAnswer::Handle>(this);
    }
    ~ProviderAnswer() { Control->WindowProc = Previous; }
    ProviderAnswer(const ProviderAnswer &) = delete;
    ProviderAnswer &operator=(const ProviderAnswer &) = delete;
    void Handle(vcl::TMessage &M) {
        if (M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_QUERY_FORM_PROVIDER)
            M.Result = reinterpret_cast<LRESULT>(Provider);
        else
            Previous(M);
    }
    vcl::TControl *Control;
    TvlFormProvider *Provider;
    vcl::TWndMethod Previous;
};

// Layered form animations that only log what they are asked (Xvfb shows
// no blending).
struct AnimationsWatch : TvlFormAnimations {
    std::vector<std::string> Log;
    void AnimShowForm(TvlFormProvider &, int Time, std::uint8_t Alpha, int Mode) override {
        Log.push_back("show " + std::to_string(Time) + " " + std::to_string(Alpha) + " " + std::to_string(Mode));
    }
    void AnimHideForm(TvlFormProvider &) override { Log.push_back("hide"); }
    bool SetLayeredAlpha(HWND, bool On, std::uint8_t Alpha) override {
        Log.push_back("alpha " + std::to_string(On) + " " + std::to_string(Alpha));
        return true;
    }
    void ShowLayeredBitmap(HWND, vcl::TBitmap *, std::uint8_t Alpha) override {
        Log.push_back("layered " + std::to_string(Alpha));
    }
    void AnimateSkinChangeOfForm(TvlFormProvider &, int Time, std::uint8_t Alpha, bool Aero) override {
        Log.push_back("fade " + std::to_string(Time) + " " + std::to_string(Alpha) + " " + std::to_string(Aero));
    }
};

// A popup-menu painter that records what the manager asks of it, and the
// menu layer's factory of it.
struct MenuWatch : TvlSkinableMenus {
    static inline std::vector<std::string> Log;
    static inline int Alive = 0;
    MenuWatch() { ++Alive; }
    ~MenuWatch() override { --Alive; }
    void SetActive(bool Value) override { Log.push_back(Value ? "on" : "off"); }
    void ApplyToAllForms() override { Log.push_back("all forms"); }
    void ResetSectionCache() override { Log.push_back("reset"); }
    void SetControlMenuOwnerDraw(vcl::TControl *, bool On) override { Log.push_back(On ? "owner draw" : "own draw"); }
    void ApplyItemRegion(LPARAM Key) override { Log.push_back("item " + std::to_string(Key)); }
    void ApplyPopupRegion(HWND) override { Log.push_back("popup"); }
};

struct MenuLayer : TvlSkinableMenusFactory {
    int Made = 0;
    std::unique_ptr<TvlSkinableMenus> CreateSkinableMenus(TsSkinManager &) override {
        ++Made;
        return std::make_unique<MenuWatch>();
    }
};

} // namespace skin::test
