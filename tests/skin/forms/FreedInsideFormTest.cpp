// Application code that frees a skinned form's provider, or in a second
// pass the form itself, from inside the form's events, its title bar's item
// events and each message the provider passes on to the form's own
// procedure. Freed memory stays marked while a case runs: nothing of what
// went is touched afterwards, no access faults, and a form that stays takes
// later messages without harm. One table, a row per event or message, run
// on a plain form and on one with an extended border.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <iterator>
#include <tuple>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BorderedFormSupport.h"
#include "FreedMemoryMark.h"
#include "skin/forms/vlTitleBar.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

enum class TFreed { Provider, Form };

// A shown skinned form, a procedure below its provider that frees at the
// message it is told, and a plain form beside it to take the activation.
struct FreeCase {
    FreeCase(TFreed What, bool Bordered) : What(What) {
        Form->SetName("Freed");
        Form->SetBounds(300, 200, 420, 300);
        Form->SetCaption("Freed");
        Below = Form->WindowProc;
        Form->WindowProc = vcl::TWndMethod::Bind<&FreeCase::BelowProvider>(this);
        P = vcl::Create<TsSkinProvider>(Form);
        P->SetAllowExtBorders(Bordered);
        Other->SetBounds(20, 20, 200, 150);
        Other->Show();
        Form->Show();
        Activated = uitest::ActivateAndWait(Wnd, 2s);
        Settle();
    }
    ~FreeCase() {
        if (Form) Form->WindowProc = Below;  // before it goes: the procedure below is this case's
        delete Form;
        delete Other;
    }
    FreeCase(const FreeCase &) = delete;
    FreeCase &operator=(const FreeCase &) = delete;

    // What the application's code does, once the case is armed.
    void Free() {
        if (!Armed || Done) return;
        Done = true;
        if (What == TFreed::Provider) {
            delete std::exchange(P, nullptr);
        } else {
            delete std::exchange(Form, nullptr);
            P = nullptr;
        }
    }
    void Notify(vcl::TObject *) { Free(); }
    void CloseQuery(vcl::TObject *, bool &) { Free(); }
    void Close(vcl::TObject *, vcl::TCloseAction &) { Free(); }
    void Mouse(vcl::TObject *, vcl::TMouseButton, vcl::TShiftState, int, int) { Free(); }
    void MouseMove(vcl::TObject *, vcl::TShiftState, int, int) { Free(); }
    void AnimationEnd(TvlAnimEvent) { Free(); }
    vcl::TNotifyEvent AsNotify() { return vcl::TNotifyEvent::Bind<&FreeCase::Notify>(this); }
    vcl::TMouseEvent AsMouse() { return vcl::TMouseEvent::Bind<&FreeCase::Mouse>(this); }

    // The form's own procedure, below the provider: frees at FreeAt (and
    // passes on nothing of a form that went).
    void BelowProvider(vcl::TMessage &M) {
        const vcl::TWndMethod below = Below;
        if (M.Msg == FreeAt) {
            Free();
            if (!Form) return;
        }
        below(M);
    }

    // Children whose own procedures free as they paint: a label before a
    // second one, and an edit before a second one.
    struct ChildHook {
        FreeCase *C;
        vcl::TWndMethod Below;
        void Proc(vcl::TMessage &M) {
            const vcl::TWndMethod below = Below;
            if (M.Msg == WM_PAINT || M.Msg == WM_PRINT || M.Msg == WM_PRINTCLIENT) {
                C->Free();
                if (!C->Form) return;
            }
            below(M);
        }
    };
    void AddChildren() {
        const auto add = [&](vcl::TControl *Child, int Top) {
            Child->SetBounds(10, Top, 80, 20);
            Child->SetParent(Form);
            return Child;
        };
        for (int i = 0; i < 2; ++i) {
            vcl::TControl *label = add(vcl::Create<vcl::TLabel>(Form), 10 + 30 * i);
            vcl::TControl *edit = add(vcl::Create<vcl::TEdit>(Form), 80 + 30 * i);
            if (i > 0) continue;
            for (vcl::TControl *painter : {label, edit}) {
                Hooks.push_back(std::make_unique<ChildHook>(ChildHook{this, painter->WindowProc}));
                painter->WindowProc = vcl::TWndMethod::Bind<&ChildHook::Proc>(Hooks.back().get());
            }
        }
    }
    // The form's picture, as an application asks for one.
    void Print() const {
        const vcl::TWindowDC screen;
        const vcl::TMemoryDC memory(screen.Get());
        const vcl::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 800, 600));
        const vcl::TSelectObject selected(memory.Get(), bitmap.Get());
        SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
        SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_NONCLIENT);
    }
    // The window that takes the mouse over the caption: the border window
    // where there is one.
    HWND Caption() const { return P->BorderWindow() ? P->BorderWindow() : Wnd; }
    // The minimize's flight or the restore's is over (or the case freed).
    void AwaitFlight() {
        uitest::PumpUntil([&] { return Done || !P || !(P->StateFlags & (pfMinimizeAnimation | pfRestoreAnimation)); },
                          3s);
    }

    // A title bar of one button on the form, its item drawn in the caption.
    TvlTitleBarItem *AddTitleItem() {
        auto *bar = vcl::Create<TsTitleBar>(Form);
        TvlTitleBarItem *item = bar->Items()->Add();
        item->SetCaption("Item");
        P->SetTitleBar(bar);
        P->SkinData()->BGChanged = true;
        P->RenderFrame();
        return item;
    }
    // A screen point of the title bar's first item, as mouse messages carry it.
    LPARAM AtItem() const {
        const vcl::TRect &r = P->TitleBar()->Items()->Items(0)->Rect;
        RECT w{};
        GetWindowRect(Wnd, &w);
        const vcl::TPoint off = P->WindowToFrameOffset();
        return MAKELPARAM(w.left - off.X + (r.Left + r.Right) / 2, w.top - off.Y + (r.Top + r.Bottom) / 2);
    }
    LPARAM AtClient() const {
        RECT w{};
        GetWindowRect(Wnd, &w);
        return MAKELPARAM((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    }
    // The activation moves to W, or the case frees on the way.
    void Activate(HWND W) {
        SetForegroundWindow(W);
        uitest::PumpUntil([&] { return Done || GetForegroundWindow() == W; }, 2s);
    }
    void Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const { SendMessageW(Wnd, Msg, WParam, LParam); }
    void Command(WPARAM Command) const { Send(WM_SYSCOMMAND, Command); }
    // The manager's refresh of its skin, as it reaches each skinned form.
    void Refresh() const {
        Send(SM_SKINCOMMAND, SkinCommand(SC_SKIN_REFRESH), reinterpret_cast<LPARAM>(P->SkinData()->GetSkinManager()));
    }
    // The manager turns its skin off, or on again.
    void Skin(bool On) const { P->SkinData()->GetSkinManager()->SetActive(On); }
    void AddMainMenu() {
        auto *menu = vcl::Create<vcl::TMainMenu>(Form);
        vcl::TMenuItem *item = vcl::Create<vcl::TMenuItem>(menu);
        item->SetCaption("&File");
        menu->Items()->Add(item);
        Form->SetMenu(menu);
        Settle();
    }
    void Place(int X, int Y, int W, int H) const { SetWindowPos(Wnd, nullptr, X, Y, W, H, SWP_NOZORDER | SWP_NOACTIVATE); }
    void Redraw() const {
        RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // The form beside gets a skin of its own, after this one.
    void SkinOther() {
        OtherP = vcl::Create<TsSkinProvider>(Other);
        Other->Hide();
        Other->Show();
    }
    // The skin's colours change: every skinned form fades to its new look,
    // the one beside too, whatever went before it.
    void ChangeHue() const {
        TsSkinManager *m = DefaultManager();
        m->SetHueOffset(m->HueOffset() + 40);
        if (OtherP) {
            EXPECT_FALSE(OtherP->StateFlags & pfSkinChangeRedrawLocked) << "the form beside was left out";
        }
    }
    // A show that lost its provider on the way still shows the form, opaque.
    void ExpectShown() const {
        if (!Form) return;
        EXPECT_TRUE(IsWindowVisible(Wnd));
        BYTE alpha = 255;
        DWORD flags = 0;
        if (GetWindowLongPtrW(Wnd, GWL_EXSTYLE) & WS_EX_LAYERED)
            GetLayeredWindowAttributes(Wnd, nullptr, &alpha, &flags);
        EXPECT_EQ((flags & LWA_ALPHA) ? alpha : 255, 255);
    }
    static void Settle() { uitest::PumpUntil([] { return false; }, 30ms); }

    TFreed What;
    vcl::TForm *Form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    vcl::TForm *Other = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    HWND Wnd = Form->Handle();
    vcl::TWndMethod Below;
    std::vector<std::unique_ptr<ChildHook>> Hooks;
    TsSkinProvider *P = nullptr;
    TsSkinProvider *OtherP = nullptr;  // the form beside owns it
    UINT FreeAt = 0;  // the message below that frees
    bool Armed = false, Done = false;
    bool Activated = false;
};

struct Row {
    const char *Name;
    UINT FreeAt;  // 0: an event of the form or its title bar frees
    // Puts the handler in place (and the form in the state the row needs).
    std::function<void(FreeCase &)> Prepare;
    // What the user or the application does.
    std::function<void(FreeCase &)> Act;
    bool FormToo = true;  // the form may go from there as well
};

// Events of the class library, and its own messages from its own changes of
// the form, that touch the form after they return: the form itself may not
// go from inside them (an application releases it instead).
constexpr bool ProviderOnly = false;

const Row Rows[] = {
    // The form's events.
    {"OnShow", 0, [](FreeCase &C) { C.Form->Hide(); C.Form->OnShow = C.AsNotify(); },
     [](FreeCase &C) { C.Form->Show(); }, ProviderOnly},
    {"OnHide", 0, [](FreeCase &C) { C.Form->OnHide = C.AsNotify(); }, [](FreeCase &C) { C.Form->Hide(); },
     ProviderOnly},
    {"OnActivate", 0,
     [](FreeCase &C) {
         uitest::ActivateAndWait(C.Other->Handle(), 2s);
         C.Form->OnActivate = C.AsNotify();
     },
     [](FreeCase &C) { C.Activate(C.Wnd); }},
    {"OnDeactivate", 0, [](FreeCase &C) { C.Form->OnDeactivate = C.AsNotify(); },
     [](FreeCase &C) { C.Activate(C.Other->Handle()); }},
    {"OnCloseQuery", 0,
     [](FreeCase &C) { C.Form->OnCloseQuery = vcl::TCloseQueryEvent::Bind<&FreeCase::CloseQuery>(&C); },
     [](FreeCase &C) { C.Command(SC_CLOSE); }, ProviderOnly},
    {"OnClose", 0, [](FreeCase &C) { C.Form->OnClose = vcl::TCloseEvent::Bind<&FreeCase::Close>(&C); },
     [](FreeCase &C) { C.Command(SC_CLOSE); }, ProviderOnly},
    {"OnPaint", 0, [](FreeCase &C) { C.Form->OnPaint = C.AsNotify(); },
     [](FreeCase &C) {
         C.Form->SetBounds(300, 200, 440, 320);
         C.Redraw();
     },
     ProviderOnly},
    {"OnPaint in a skin refresh", 0, [](FreeCase &C) { C.Form->OnPaint = C.AsNotify(); },
     [](FreeCase &C) { C.Refresh(); }, ProviderOnly},
    {"OnPaint in a skin's removal", 0, [](FreeCase &C) { C.Form->OnPaint = C.AsNotify(); },
     [](FreeCase &C) { C.Skin(false); }, ProviderOnly},
    {"OnPaint in a skin's return", 0,
     [](FreeCase &C) {
         C.Skin(false);
         C.Form->OnPaint = C.AsNotify();
     },
     [](FreeCase &C) { C.Skin(true); }, ProviderOnly},
    {"OnPaint in a skin's update", 0, [](FreeCase &C) { C.Form->OnPaint = C.AsNotify(); },
     [](FreeCase &C) {
         TsSkinManager *m = C.P->SkinData()->GetSkinManager();
         m->BeginUpdate();
         m->EndUpdate(true, false);
     },
     ProviderOnly},
    {"OnPaint during a print", 0, [](FreeCase &C) { C.Form->OnPaint = C.AsNotify(); },
     [](FreeCase &C) { C.Print(); }, ProviderOnly},
    // The children's own painting, in each picture the provider takes of
    // the form and in its repaint.
    {"a child's paint in a print", 0, [](FreeCase &C) { C.AddChildren(); }, [](FreeCase &C) { C.Print(); },
     ProviderOnly},
    {"a child's paint in a hide", 0, [](FreeCase &C) { C.AddChildren(); }, [](FreeCase &C) { C.Form->Hide(); },
     ProviderOnly},
    {"a child's paint in a repaint", 0, [](FreeCase &C) { C.AddChildren(); }, [](FreeCase &C) { C.Redraw(); },
     ProviderOnly},
    // The show and the skin change take the form's picture, its own
    // painting and its children's, and tell the application their end.
    {"a child's paint in a show", 0,
     [](FreeCase &C) {
         C.Form->Hide();
         C.AddChildren();
     },
     [](FreeCase &C) {
         C.Form->Show();
         C.ExpectShown();
     },
     ProviderOnly},
    {"OnPaint in a show", 0,
     [](FreeCase &C) {
         C.Form->Hide();
         C.Form->OnPaint = C.AsNotify();
     },
     [](FreeCase &C) {
         C.Form->Show();
         C.ExpectShown();
     },
     ProviderOnly},
    {"OnAfterAnimation of a show", 0,
     [](FreeCase &C) {
         C.Form->Hide();
         C.P->OnAfterAnimation = TvlAfterAnimation::Bind<&FreeCase::AnimationEnd>(&C);
     },
     [](FreeCase &C) { C.Form->Show(); }, ProviderOnly},
    {"OnAfterAnimation of a hide", 0,
     [](FreeCase &C) { C.P->OnAfterAnimation = TvlAfterAnimation::Bind<&FreeCase::AnimationEnd>(&C); },
     [](FreeCase &C) {
         C.Form->Hide();
         uitest::PumpUntil([&] { return C.Done; }, 2s);
     }},
    {"a child's paint in a skin change", 0,
     [](FreeCase &C) {
         C.AddChildren();
         C.SkinOther();
     },
     [](FreeCase &C) { C.ChangeHue(); }},
    {"OnPaint in a skin change", 0,
     [](FreeCase &C) {
         C.Form->OnPaint = C.AsNotify();
         C.SkinOther();
     },
     [](FreeCase &C) { C.ChangeHue(); }},
    {"OnMouseMove", 0,
     [](FreeCase &C) { C.Form->OnMouseMove = vcl::TMouseMoveEvent::Bind<&FreeCase::MouseMove>(&C); },
     [](FreeCase &C) { C.Send(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); }, ProviderOnly},
    {"OnMouseEnter", 0, [](FreeCase &C) { C.Form->OnMouseEnter = C.AsNotify(); },
     [](FreeCase &C) { C.Send(vcl::CM_MOUSEENTER); }},
    // The title bar's item events.
    {"item OnMouseEnter", 0, [](FreeCase &C) { C.AddTitleItem()->OnMouseEnter = C.AsNotify(); },
     [](FreeCase &C) { C.Send(WM_NCMOUSEMOVE, htTitleBarItem, C.AtItem()); }},
    {"item OnMouseLeave", 0, [](FreeCase &C) { C.AddTitleItem()->OnMouseLeave = C.AsNotify(); },
     [](FreeCase &C) {
         C.Send(WM_NCMOUSEMOVE, htTitleBarItem, C.AtItem());
         C.Send(WM_NCMOUSEMOVE, HTCAPTION, C.AtClient());
     }},
    {"item OnMouseLeave on the caption's window", 0, [](FreeCase &C) { C.AddTitleItem()->OnMouseLeave = C.AsNotify(); },
     [](FreeCase &C) {
         SendMessageW(C.Caption(), WM_NCMOUSEMOVE, htTitleBarItem, C.AtItem());
         SendMessageW(C.Caption(), WM_NCMOUSEMOVE, HTCAPTION, C.AtClient());
     }},
    {"item OnMouseDown", 0, [](FreeCase &C) { C.AddTitleItem()->OnMouseDown = C.AsMouse(); },
     [](FreeCase &C) { C.Send(WM_NCLBUTTONDOWN, htTitleBarItem, C.AtItem()); }},
    {"item OnMouseUp", 0, [](FreeCase &C) { C.AddTitleItem()->OnMouseUp = C.AsMouse(); },
     [](FreeCase &C) {
         C.Send(WM_NCLBUTTONDOWN, htTitleBarItem, C.AtItem());
         C.Send(WM_NCLBUTTONUP, htTitleBarItem, C.AtItem());
     }},
    {"item OnClick", 0, [](FreeCase &C) { C.AddTitleItem()->OnClick = C.AsNotify(); },
     [](FreeCase &C) {
         C.Send(WM_NCLBUTTONDOWN, htTitleBarItem, C.AtItem());
         C.Send(WM_NCLBUTTONUP, htTitleBarItem, C.AtItem());
     }},
    // Messages passed on below the provider.
    {"WM_NCACTIVATE", WM_NCACTIVATE, nullptr, [](FreeCase &C) { C.Activate(C.Other->Handle()); }},
    {"WM_ACTIVATE", WM_ACTIVATE, nullptr, [](FreeCase &C) { C.Activate(C.Other->Handle()); }},
    {"WM_ACTIVATEAPP", WM_ACTIVATEAPP, nullptr, [](FreeCase &C) { C.Send(WM_ACTIVATEAPP, 1); }},
    {"CM_SHOWINGCHANGED on hide", vcl::CM_SHOWINGCHANGED, nullptr, [](FreeCase &C) { C.Form->Hide(); },
     ProviderOnly},
    {"CM_SHOWINGCHANGED on show", vcl::CM_SHOWINGCHANGED, [](FreeCase &C) { C.Form->Hide(); },
     [](FreeCase &C) { C.Form->Show(); }, ProviderOnly},
    {"CM_VISIBLECHANGED on hide", vcl::CM_VISIBLECHANGED, nullptr, [](FreeCase &C) { C.Form->Hide(); },
     ProviderOnly},
    {"CM_VISIBLECHANGED on show", vcl::CM_VISIBLECHANGED, [](FreeCase &C) { C.Form->Hide(); },
     [](FreeCase &C) { C.Form->Show(); }, ProviderOnly},
    // The system's own placements, as another program or the user makes them.
    {"WM_SHOWWINDOW on hide", WM_SHOWWINDOW, nullptr, [](FreeCase &C) { ShowWindow(C.Wnd, SW_HIDE); }},
    {"WM_ACTIVATE in a restore", WM_ACTIVATE,
     [](FreeCase &C) {
         C.Command(SC_MINIMIZE);
         C.AwaitFlight();
     },
     [](FreeCase &C) {
         C.Command(SC_RESTORE);
         C.AwaitFlight();
     }},
    {"WM_SETREDRAW during a show", WM_SETREDRAW, [](FreeCase &C) { C.Form->Hide(); },
     [](FreeCase &C) { C.Form->Show(); }, ProviderOnly},
    {"WM_SHOWWINDOW on show", WM_SHOWWINDOW, [](FreeCase &C) { ShowWindow(C.Wnd, SW_HIDE); },
     [](FreeCase &C) { ShowWindow(C.Wnd, SW_SHOW); }},
    {"WM_WINDOWPOSCHANGING", WM_WINDOWPOSCHANGING, nullptr, [](FreeCase &C) { C.Place(320, 210, 440, 320); }},
    {"WM_WINDOWPOSCHANGED", WM_WINDOWPOSCHANGED, nullptr, [](FreeCase &C) { C.Place(320, 210, 440, 320); }},
    // (WM_SIZE, WM_MOVE and WM_ERASEBKGND come from the system's handling
    // of the class library's own placement and paint.)
    {"WM_SIZE", WM_SIZE, nullptr, [](FreeCase &C) { C.Place(320, 210, 440, 320); }, ProviderOnly},
    {"WM_MOVE", WM_MOVE, nullptr, [](FreeCase &C) { C.Place(330, 220, 420, 300); }, ProviderOnly},
    {"WM_GETMINMAXINFO", WM_GETMINMAXINFO, nullptr, [](FreeCase &C) { C.Command(SC_MAXIMIZE); }},
    {"WM_SIZING", WM_SIZING, nullptr,
     [](FreeCase &C) {
         RECT r{300, 200, 730, 510};
         C.Send(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
     }},
    {"WM_EXITSIZEMOVE", WM_EXITSIZEMOVE, nullptr, [](FreeCase &C) { C.Send(WM_EXITSIZEMOVE); }},
    {"WM_SYSCOMMAND minimize", WM_SYSCOMMAND, nullptr, [](FreeCase &C) { C.Command(SC_MINIMIZE); }},
    {"WM_SYSCOMMAND maximize", WM_SYSCOMMAND, nullptr, [](FreeCase &C) { C.Command(SC_MAXIMIZE); }},
    {"WM_SYSCOMMAND restore", WM_SYSCOMMAND, [](FreeCase &C) { C.Command(SC_MAXIMIZE); },
     [](FreeCase &C) { C.Command(SC_RESTORE); }},
    {"WM_SYSCOMMAND close", WM_SYSCOMMAND, nullptr, [](FreeCase &C) { C.Command(SC_CLOSE); }},
    {"WM_CLOSE", WM_CLOSE, nullptr, [](FreeCase &C) { C.Command(SC_CLOSE); }},
    {"WM_PAINT", WM_PAINT, [](FreeCase &C) { C.P->SetDrawClientArea(false); }, [](FreeCase &C) { C.Redraw(); }},
    {"WM_ERASEBKGND", WM_ERASEBKGND, [](FreeCase &C) { C.P->SetDrawClientArea(false); },
     [](FreeCase &C) { C.Redraw(); }, ProviderOnly},
    {"CM_MENUCHANGED in a skin refresh", vcl::CM_MENUCHANGED, [](FreeCase &C) { C.AddMainMenu(); },
     [](FreeCase &C) { C.Refresh(); }},
    {"WM_SETTEXT", WM_SETTEXT, nullptr, [](FreeCase &C) { SetWindowTextW(C.Wnd, L"Renamed"); }},
    {"WM_SETICON", WM_SETICON, nullptr,
     [](FreeCase &C) { C.Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_APPLICATION))); }},
    {"WM_STYLECHANGED", WM_STYLECHANGED, nullptr,
     [](FreeCase &C) {
         SetWindowLongPtrW(C.Wnd, GWL_STYLE, GetWindowLongPtrW(C.Wnd, GWL_STYLE) ^ WS_SYSMENU);
     }},
    {"CM_ENABLEDCHANGED", vcl::CM_ENABLEDCHANGED, nullptr, [](FreeCase &C) { C.Form->SetEnabled(false); }},
    {"WM_SETTINGCHANGE", WM_SETTINGCHANGE, nullptr, [](FreeCase &C) { C.Send(WM_SETTINGCHANGE, SPI_SETWORKAREA); }},
    {"WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE, nullptr, [](FreeCase &C) { C.Send(WM_SYSCOLORCHANGE); }},
    {"WM_PARENTNOTIFY", WM_PARENTNOTIFY, nullptr,
     [](FreeCase &C) {
         auto *edit = vcl::Create<vcl::TEdit>(C.Form);
         edit->SetParent(C.Form);
         edit->HandleNeeded();
     },
     ProviderOnly},
    {"CM_CONTROLLISTCHANGE", vcl::CM_CONTROLLISTCHANGE, nullptr,
     [](FreeCase &C) { vcl::Create<vcl::TLabel>(C.Form)->SetParent(C.Form); }, ProviderOnly},
    {"WM_NOTIFY", WM_NOTIFY, nullptr,
     [](FreeCase &C) {
         NMHDR header{C.Wnd, 1, static_cast<UINT>(-551)};  // a tab's selection changed
         C.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
     }},
    {"WM_MOUSEMOVE", WM_MOUSEMOVE, nullptr, [](FreeCase &C) { C.Send(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); }},
    {"CM_MOUSEENTER", vcl::CM_MOUSEENTER, nullptr, [](FreeCase &C) { C.Send(vcl::CM_MOUSEENTER); }},
    {"CM_MOUSELEAVE", vcl::CM_MOUSELEAVE, nullptr, [](FreeCase &C) { C.Send(vcl::CM_MOUSELEAVE); }},
    {"WM_NCMOUSEMOVE", WM_NCMOUSEMOVE, nullptr, [](FreeCase &C) { C.Send(WM_NCMOUSEMOVE, HTCAPTION, C.AtClient()); }},
    {"WM_NCHITTEST", WM_NCHITTEST, nullptr, [](FreeCase &C) { C.Send(WM_NCHITTEST, 0, C.AtClient()); }},
    {"WM_NCLBUTTONDBLCLK", WM_NCLBUTTONDBLCLK, nullptr,
     [](FreeCase &C) { C.Send(WM_NCLBUTTONDBLCLK, HTCAPTION, C.AtClient()); }},
    {"WM_COPYDATA", WM_COPYDATA, nullptr,
     [](FreeCase &C) {
         COPYDATASTRUCT data{7, 0, nullptr};
         C.Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
     }},
    {"WM_ENTERMENULOOP", WM_ENTERMENULOOP, nullptr, [](FreeCase &C) { C.Send(WM_ENTERMENULOOP); }},
    {"WM_QUERYENDSESSION", WM_QUERYENDSESSION, nullptr, [](FreeCase &C) { C.Send(WM_QUERYENDSESSION); }},
    {"CM_RECREATEWND", vcl::CM_RECREATEWND, nullptr, [](FreeCase &C) { C.Send(vcl::CM_RECREATEWND); }},
};

// One case: a row of the table, what goes, and the kind of form.
using Param = std::tuple<std::size_t, TFreed, bool>;

struct FreedInsideForm : ::testing::TestWithParam<Param> {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    FreedInsideForm() {
        // Animations as short as they go: their paths run, their frames do not.
        Manager->AnimEffects()->FormShow->Time = 20;
        Manager->AnimEffects()->FormHide->Time = 20;
        Manager->AnimEffects()->SkinChanging->Time = 20;
    }
    ManagerPtr Manager = BorderedManager();
};

TEST_P(FreedInsideForm, NothingThatWentIsTouched) {
    const auto [index, what, bordered] = GetParam();
    const Row &r = Rows[index];
    FreeCase c(what, bordered);
    ASSERT_TRUE(c.Activated);
    ASSERT_EQ(c.P->BorderForm != nullptr, bordered);
    if (r.Prepare) r.Prepare(c);
    FreeCase::Settle();
    c.FreeAt = r.FreeAt;
    const void *provider = c.P;
    const void *form = c.Form;
    const TFreedMemoryMark mark;
    c.Armed = true;
    r.Act(c);
    FreeCase::Settle();
    ASSERT_TRUE(c.Done) << "nothing freed";
    EXPECT_TRUE(mark.Untouched(provider));
    if (what == TFreed::Form) {
        EXPECT_TRUE(mark.Untouched(form));
    }
    // A form that stays takes later messages as a form without a skin.
    if (c.Form && IsWindow(c.Wnd)) {
        c.Form->SetBounds(310, 205, 400, 280);
        c.Form->Show();
        c.Redraw();
        uitest::ActivateAndWait(c.Wnd, 1s);
        FreeCase::Settle();
    }
    EXPECT_EQ(mark.Faults(), 0);
}

std::vector<Param> Cases() {
    std::vector<Param> cases;
    for (std::size_t i = 0; i < std::size(Rows); ++i)
        for (const TFreed what : {TFreed::Provider, TFreed::Form})
            for (const bool bordered : {false, true})
                if (what == TFreed::Provider || Rows[i].FormToo) cases.emplace_back(i, what, bordered);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Forms, FreedInsideForm, ::testing::ValuesIn(Cases()),
                         [](const auto &Info) {
                             std::string name = Rows[std::get<0>(Info.param)].Name;
                             for (char &ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             name += std::get<1>(Info.param) == TFreed::Provider ? "_Provider" : "_Form";
                             return name + (std::get<2>(Info.param) ? "_Bordered" : "_Plain");
                         });

} // namespace
} // namespace skin
