// The form provider's actions, on a plain form and on one with an extended
// border: each carries its own trap, an event of the form or of its title
// bar's item, a child's paint, or one message passed below the provider.
#include "FreedByApplication.h"

namespace skin::freed {

// A form of its own beside the test's form, which takes the activation.
void MakeForm(TRun &R) {
    auto *form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    form->SetName("Freed");
    form->SetBounds(300, 200, 420, 300);
    form->SetCaption("Freed");
    R.Control = form;
}

void ServeForm(TRun &R, bool Bordered) {
    auto *p = vcl::Create<TsSkinProvider>(FormOf(R));
    p->SetAllowExtBorders(Bordered);
    R.Server = p;
    FormOf(R)->Show();
    EXPECT_TRUE(uitest::ActivateAndWait(R.Window, 2s));
    EXPECT_EQ(p->BorderForm != nullptr, Bordered);
    Settle();
}

void Redraw(const TRun &R) {
    RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

namespace {

void SendTo(const TRun &R, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) {
    SendMessageW(R.Window, Msg, WParam, LParam);
}
void Command(const TRun &R, WPARAM Command) { SendTo(R, WM_SYSCOMMAND, Command); }
void Place(const TRun &R, int X, int Y, int W, int H) {
    SetWindowPos(R.Window, nullptr, X, Y, W, H, SWP_NOZORDER | SWP_NOACTIVATE);
}
// The activation moves to W, or the row frees on the way.
void Activate(const TRun &R, HWND W) {
    SetForegroundWindow(W);
    uitest::PumpUntil([&] { return R.Fired || GetForegroundWindow() == W; }, 2s);
}
HWND Other(const TRun &R) { return R.Form->Handle(); }
// The form's picture, as an application asks for one.
void Print(const TRun &R) {
    const vcl::TWindowDC screen;
    const vcl::TMemoryDC memory(screen.Get());
    const vcl::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 800, 600));
    const vcl::TSelectObject selected(memory.Get(), bitmap.Get());
    SendTo(R, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    if (R.LiveWindow()) SendTo(R, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_NONCLIENT);
}
// The window that takes the mouse over the caption: the border window
// where there is one.
HWND CaptionWindow(const TRun &R) {
    return ProviderOf(R)->BorderWindow() ? ProviderOf(R)->BorderWindow() : R.Window;
}
// The minimize's flight or the restore's is over (or the row freed).
void AwaitFlight(const TRun &R) {
    uitest::PumpUntil(
        [&] {
            return R.Fired || !R.Server ||
                   !(ProviderOf(R)->StateFlags & (pfMinimizeAnimation | pfRestoreAnimation));
        },
        3s);
}
// The manager's refresh of its skin, as it reaches each skinned form.
void Refresh(const TRun &R) {
    SendTo(R, SM_SKINCOMMAND, SkinCommand(SC_SKIN_REFRESH),
           reinterpret_cast<LPARAM>(ProviderOf(R)->SkinData()->GetSkinManager()));
}
void SkinOn(const TRun &R, bool On) { ProviderOf(R)->SkinData()->GetSkinManager()->SetActive(On); }
// The form beside gets a skin of its own, after this one.
void SkinOther(TRun &R) {
    R.OtherP = vcl::Create<TsSkinProvider>(R.Form);
    R.Form->Hide();
    R.Form->Show();
}
// The skin's colours change: every skinned form fades to its new look, the
// one beside too, whatever went before it.
void ChangeHue(const TRun &R) {
    TsSkinManager *m = DefaultManager();
    m->SetHueOffset(m->HueOffset() + 40);
    if (R.OtherP) {
        EXPECT_FALSE(R.OtherP->StateFlags & pfSkinChangeRedrawLocked) << "the form beside was left out";
    }
}
// A show that lost its provider on the way still shows the form, opaque.
void ExpectShown(const TRun &R) {
    if (!R.Control) return;
    EXPECT_TRUE(IsWindowVisible(R.Window));
    BYTE alpha = 255;
    DWORD flags = 0;
    if (GetWindowLongPtrW(R.Window, GWL_EXSTYLE) & WS_EX_LAYERED)
        GetLayeredWindowAttributes(R.Window, nullptr, &alpha, &flags);
    EXPECT_EQ((flags & LWA_ALPHA) ? alpha : 255, 255);
}
void AddMainMenu(TRun &R) {
    auto *menu = vcl::Create<vcl::TMainMenu>(R.Control);
    vcl::TMenuItem *item = vcl::Create<vcl::TMenuItem>(menu);
    item->SetCaption("&File");
    menu->Items()->Add(item);
    FormOf(R)->SetMenu(menu);
    Settle();
}
// A title bar of one button on the form, its item drawn in the caption.
TvlTitleBarItem *AddTitleItem(TRun &R) {
    auto *bar = vcl::Create<TsTitleBar>(R.Control);
    TvlTitleBarItem *item = bar->Items()->Add();
    item->SetCaption("Item");
    ProviderOf(R)->SetTitleBar(bar);
    ProviderOf(R)->SkinData()->BGChanged = true;
    ProviderOf(R)->RenderFrame();
    return item;
}
// A screen point of the title bar's first item, as mouse messages carry it.
LPARAM AtFramePart(const TRun &R, const vcl::TRect &Part) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    const vcl::TPoint off = ProviderOf(R)->WindowToFrameOffset();
    return MAKELPARAM(w.left - off.X + (Part.Left + Part.Right) / 2, w.top - off.Y + (Part.Top + Part.Bottom) / 2);
}
LPARAM AtItem(const TRun &R) { return AtFramePart(R, ProviderOf(R)->TitleBar()->Items()->Items(0)->Rect); }
// The close button's point, as mouse messages carry it.
LPARAM AtClose(const TRun &R) { return AtFramePart(R, ProviderOf(R)->ButtonClose.Rect); }
// The mouse over the caption part of Code at At, then Leave with the
// form's painting as the trap.
void HotThenLeft(TRun &R, int Code, LPARAM At, const std::function<void()> &Leave) {
    SendTo(R, WM_NCMOUSEMOVE, Code, At);
    EXPECT_EQ(ProviderOf(R)->CurrentButton, Code);
    FormOf(R)->OnPaint = R.AsNotify();
    Leave();
}
LPARAM AtClient(const TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    return MAKELPARAM((w.left + w.right) / 2, (w.top + w.bottom) / 2);
}

// Blended moves on for the row (the run's end puts them off again), with
// the system's full-window dragging, whose move loop moves the window.
void BlendedMoves(TRun &R) {
    DefaultManager()->AnimEffects()->BlendOnMoving->Active = true;
    R.Keep.push_back(std::make_shared<uitest::TFullWindowDrag>());
    R.Keep.push_back(std::shared_ptr<void>(nullptr, [](void *) {
        DefaultManager()->AnimEffects()->BlendOnMoving->Active = false;
    }));
}
// A press on the caption, a drag of 15 steps and the release, from a second
// thread while this one pumps.
void DragCaption(TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    POINT grip{(w.left + w.right) / 2, w.top + 2};
    while (grip.y < w.top + 40 && SendMessageW(R.Window, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)) != HTCAPTION)
        ++grip.y;
    uitest::DragWithMouse(grip, 60, 30, [&] { return !R.Server || !(ProviderOf(R)->StateFlags & pfBlendOnMoving); });
    ParkCursor();
}

// A form's menu bar of two items whose first is the row's item.
void AddLineMenu(TRun &R) {
    AddMainMenu(R);
    auto *second = vcl::Create<vcl::TMenuItem>(FormOf(R)->Menu());
    second->SetCaption("&Edit");
    FormOf(R)->Menu()->Items()->Add(second);
    Settle();
    R.Sibling = vcl::TGuarded<vcl::TComponent>(FormOf(R)->Menu()->Items()->Items(0));
}
// The system draws the bar's first item highlighted, as it does while it
// tracks the bar.
void DrawLineItem(TRun &R) {
    vcl::TMenuItem *item = FormOf(R)->Menu()->Items()->Items(0);
    const vcl::TWindowDC dc(R.Window, GetWindowDC(R.Window));
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_MENU;
    d.itemID = item->Command();
    d.itemAction = ODA_SELECT;
    d.itemState = ODS_SELECTED;
    d.hwndItem = reinterpret_cast<HWND>(GetMenu(R.Window));
    d.hDC = dc.Get();
    d.rcItem = {8, 30, 60, 48};
    d.itemData = item->Command();
    SendTo(R, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}

// A child whose own procedure is the application's trap as it paints.
struct TChildTrap {
    TRun *R;
    vcl::TWndMethod Next;
    void Proc(vcl::TMessage &M) {
        const vcl::TWndMethod next = Next;
        if (M.Msg == WM_PAINT || M.Msg == WM_PRINT || M.Msg == WM_PRINTCLIENT) {
            R->Event();
            if (!R->Control) return;
        }
        next(M);
    }
};

// Children whose own procedures free as they paint: a label before a
// second one, and an edit before a second one.
void AddPaintingChildren(TRun &R) {
    vcl::TForm *form = FormOf(R);
    const auto add = [&](vcl::TControl *Child, int Top) {
        Child->SetBounds(10, Top, 80, 20);
        Child->SetParent(form);
        return Child;
    };
    for (int i = 0; i < 2; ++i) {
        vcl::TControl *label = add(vcl::Create<vcl::TLabel>(form), 10 + 30 * i);
        vcl::TControl *edit = add(vcl::Create<vcl::TEdit>(form), 80 + 30 * i);
        if (i > 0) continue;
        for (vcl::TControl *painter : {label, edit}) {
            auto trap = std::make_shared<TChildTrap>(TChildTrap{&R, painter->WindowProc});
            painter->WindowProc = vcl::TWndMethod::Bind<&TChildTrap::Proc>(trap.get());
            R.Keep.push_back(trap);
        }
    }
}

// The user holds the form's bottom-right corner in an outline drag.
void HoldCorner(TRun &R) {
    ProviderOf(R)->SetResizeMode(rmBorder);
    RECT w{};
    GetWindowRect(R.Window, &w);
    ProviderOf(R)->BeginOutlineDrag(HTBOTTOMRIGHT, {w.right, w.bottom});
}
// ... takes it 30 pixels right and down and lets go.
void LetGoOfCorner(TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    POINT p{w.right + 30, w.bottom + 30};
    ScreenToClient(R.Window, &p);
    SendTo(R, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendTo(R, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}
// A screen point of the caption, left of its buttons.
LPARAM AtCaption(const TRun &R) {
    RECT w{};
    GetWindowRect(R.Window, &w);
    return MAKELPARAM(w.left + 60, w.top + ProviderOf(R)->GetCaptionHeight(true) / 2);
}
// The mouse over the border window's outer shadow, left of the form.
void CursorOnShadow(const TRun &R) {
    RECT b{};
    GetWindowRect(CaptionWindow(R), &b);
    SetCursorPos(b.left, (b.top + b.bottom) / 2);
}

TAction FormAction(const char *Name, UINT TrapAt, std::function<void(TRun &)> Prepare,
                   std::function<void(TRun &)> Drive, bool FormToo = true, bool BorderOnly = false) {
    return {Name, std::move(Drive), true, std::move(Prepare), TrapAt, FormToo, BorderOnly};
}

TAction Did(TAction Action, std::function<void(const TRun &)> Done) {
    Action.Done = std::move(Done);
    return Action;
}

// ------------------------------------------- what the form's actions did

void Hidden(const TRun &R) {
    uitest::PumpUntil([&] { return !IsWindowVisible(R.Window); }, 1s);
    EXPECT_FALSE(IsWindowVisible(R.Window)) << "the form was not hidden";
}
void Shown(const TRun &R) {
    uitest::PumpUntil([&] { return IsWindowVisible(R.Window) != 0; }, 1s);
    ExpectShown(R);
}
void Iconic(const TRun &R) {
    uitest::PumpUntil([&] { return IsIconic(R.Window) != 0; }, 2s);
    EXPECT_TRUE(IsIconic(R.Window)) << "the form was not minimized";
}
void Zoomed(const TRun &R) { EXPECT_TRUE(IsZoomed(R.Window)) << "the form was not maximized"; }
void Restored(const TRun &R) {
    uitest::PumpUntil([&] { return !IsIconic(R.Window) && !IsZoomed(R.Window); }, 2s);
    EXPECT_TRUE(!IsIconic(R.Window) && !IsZoomed(R.Window)) << "the form was not restored";
}
std::function<void(const TRun &)> PlacedAt(int X, int Y, int W, int H) {
    return [=](const TRun &R) {
        RECT r{};
        GetWindowRect(R.Window, &r);
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  (std::vector<LONG>{X, Y, W, H}))
            << "the form was not placed";
    };
}
std::function<void(const TRun &)> ActiveIs(HWND (*Which)(const TRun &)) {
    return [=](const TRun &R) {
        uitest::PumpUntil([&] { return GetForegroundWindow() == Which(R); }, 2s);
        EXPECT_EQ(GetForegroundWindow(), Which(R)) << "the activation did not move";
    };
}
HWND Itself(const TRun &R) { return R.Window; }
void Renamed(const TRun &R) {
    wchar_t text[32] = L"";
    GetWindowTextW(R.Window, text, 32);
    EXPECT_STREQ(text, L"Renamed") << "the form did not take its text";
}
HICON RowIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }
void IconSet(const TRun &R) {
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(R.Window, WM_GETICON, ICON_SMALL, 0)), RowIcon())
        << "the form did not take its icon";
}
// Msg (with Flags in its placement, for one) reached the form's own
// procedure after the free, as the system or the class library sent it.
std::function<void(const TRun &)> Reached(UINT Msg, UINT Flags = 0) {
    return [=](const TRun &R) {
        bool reached = false;
        for (const auto &[msg, flags] : R.Reached) reached = reached || (msg == Msg && (flags & Flags) == Flags);
        EXPECT_TRUE(reached) << "message 0x" << std::hex << Msg << " did not reach the form";
    };
}
std::function<void(const TRun &)> Both(std::function<void(const TRun &)> A, std::function<void(const TRun &)> B) {
    return [=](const TRun &R) {
        A(R);
        B(R);
    };
}
void Disabled(const TRun &R) { EXPECT_FALSE(IsWindowEnabled(R.Window)) << "the form was not disabled"; }

// Events of the class library, and its own messages from its own changes of
// the form, that touch the form after they return: the form itself may not
// go from inside them (an application releases it instead).
constexpr bool ProviderOnly = false;
// The border window's own rows.
constexpr bool BorderOnly = true;

void WatchHitTest(TRun &R) { ProviderOf(R)->OnExtHitTest = TvlNCHitTest::Bind<&TRun::ExtHitTest>(&R); }

} // namespace

std::vector<TAction> FormActions() {
    return {
        // The form provider's: a form event, a title-bar item's event, a
        // child's paint or a message passed on below the provider.
        // The form's events.
        Did(FormAction("OnShow", 0, [](TRun &R) { FormOf(R)->Hide(); FormOf(R)->OnShow = R.AsNotify(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("OnHide", 0, [](TRun &R) { FormOf(R)->OnHide = R.AsNotify(); }, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Hidden),
        Did(FormAction("OnActivate", 0,
     [](TRun &R) {
         uitest::ActivateAndWait(Other(R), 2s);
         FormOf(R)->OnActivate = R.AsNotify();
     },
     [](TRun &R) { Activate(R, R.Window); }), ActiveIs(Itself)),
        Did(FormAction("OnDeactivate", 0, [](TRun &R) { FormOf(R)->OnDeactivate = R.AsNotify(); },
     [](TRun &R) { Activate(R, Other(R)); }), ActiveIs(Other)),
        Did(FormAction("OnCloseQuery", 0,
     [](TRun &R) { FormOf(R)->OnCloseQuery = vcl::TCloseQueryEvent::Bind<&TRun::CloseQuery>(&R); },
     [](TRun &R) { Command(R, SC_CLOSE); }, ProviderOnly), Hidden),
        Did(FormAction("OnClose", 0, [](TRun &R) { FormOf(R)->OnClose = vcl::TCloseEvent::Bind<&TRun::Close>(&R); },
     [](TRun &R) { Command(R, SC_CLOSE); }, ProviderOnly), Hidden),
        Did(FormAction("OnPaint", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) {
         FormOf(R)->SetBounds(300, 200, 440, 320);
         Redraw(R);
     },
     ProviderOnly), PlacedAt(300, 200, 440, 320)),
        FormAction("OnPaint in a skin refresh", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) { Refresh(R); }, ProviderOnly),
        FormAction("OnPaint in a skin's removal", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) { SkinOn(R, false); }, ProviderOnly),
        FormAction("OnPaint in a skin's return", 0,
     [](TRun &R) {
         SkinOn(R, false);
         FormOf(R)->OnPaint = R.AsNotify();
     },
     [](TRun &R) { SkinOn(R, true); }, ProviderOnly),
        FormAction("OnPaint in a skin's update", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) {
         TsSkinManager *m = ProviderOf(R)->SkinData()->GetSkinManager();
         m->BeginUpdate();
         m->EndUpdate(true, false);
     },
     ProviderOnly),
        FormAction("OnPaint during a print", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
     [](TRun &R) { Print(R); }, ProviderOnly),
        // The children's own painting, in each picture the provider takes of
        // the form and in its repaint.
        FormAction("a child's paint in a print", 0, [](TRun &R) { AddPaintingChildren(R); }, [](TRun &R) { Print(R); },
     ProviderOnly),
        Did(FormAction("a child's paint in a hide", 0, [](TRun &R) { AddPaintingChildren(R); }, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Both(Hidden, Reached(WM_WINDOWPOSCHANGING, SWP_HIDEWINDOW))),
        FormAction("a child's paint in a repaint", 0, [](TRun &R) { AddPaintingChildren(R); }, [](TRun &R) { Redraw(R); },
     ProviderOnly),
        FormAction("a child's paint in an erase, the form looking through", 0,
     [](TRun &R) {
         EXPECT_TRUE(ProviderOf(R)->SkinData()->BGFlags() & bgfParentBackground) << "the form is opaque";
         AddPaintingChildren(R);
     },
     [](TRun &R) { Redraw(R); }, ProviderOnly),
        // The show and the skin change take the form's picture, its own
        // painting and its children's, and tell the application their end.
        FormAction("a child's paint in a show", 0,
     [](TRun &R) {
         FormOf(R)->Hide();
         AddPaintingChildren(R);
     },
     [](TRun &R) {
         FormOf(R)->Show();
         ExpectShown(R);
     },
     ProviderOnly),
        FormAction("OnPaint in a show", 0,
     [](TRun &R) {
         FormOf(R)->Hide();
         FormOf(R)->OnPaint = R.AsNotify();
     },
     [](TRun &R) {
         FormOf(R)->Show();
         ExpectShown(R);
     },
     ProviderOnly),
        Did(FormAction("OnAfterAnimation of a show", 0,
     [](TRun &R) {
         FormOf(R)->Hide();
         ProviderOf(R)->OnAfterAnimation = TvlAfterAnimation::Bind<&TRun::AnimationEnd>(&R);
     },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("OnAfterAnimation of a hide", 0,
     [](TRun &R) { ProviderOf(R)->OnAfterAnimation = TvlAfterAnimation::Bind<&TRun::AnimationEnd>(&R); },
     [](TRun &R) {
         FormOf(R)->Hide();
         uitest::PumpUntil([&] { return R.Fired; }, 2s);
     }), Hidden),
        FormAction("a child's paint in a skin change", 0,
     [](TRun &R) {
         AddPaintingChildren(R);
         SkinOther(R);
     },
     [](TRun &R) { ChangeHue(R); }),
        FormAction("OnPaint in a skin change", 0,
     [](TRun &R) {
         FormOf(R)->OnPaint = R.AsNotify();
         SkinOther(R);
     },
     [](TRun &R) { ChangeHue(R); }, ProviderOnly),
        FormAction("OnMouseMove", 0,
     [](TRun &R) { FormOf(R)->OnMouseMove = vcl::TMouseMoveEvent::Bind<&TRun::MouseMove>(&R); },
     [](TRun &R) { SendTo(R, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); }, ProviderOnly),
        FormAction("OnMouseEnter", 0, [](TRun &R) { FormOf(R)->OnMouseEnter = R.AsNotify(); },
     [](TRun &R) { SendTo(R, vcl::CM_MOUSEENTER); }),
        // The menu painter's, as it draws the bar's items: in the frame's
        // picture, and on the window while the system tracks the bar.
        FormAction("menu line OnDrawItem", 0,
     [](TRun &R) {
         AddLineMenu(R);
         Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::DrawItem>(&R);
     },
     [](TRun &R) {
         ProviderOf(R)->SkinData()->BGChanged = true;
         Redraw(R);
     }),
        FormAction("menu line OnDrawItem while the bar is tracked", 0,
     [](TRun &R) {
         AddLineMenu(R);
         Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::DrawItem>(&R);
     },
     [](TRun &R) { DrawLineItem(R); }),
        // The title bar's item events.
        FormAction("item OnMouseEnter", 0, [](TRun &R) { AddTitleItem(R)->OnMouseEnter = R.AsNotify(); },
     [](TRun &R) { SendTo(R, WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R)); }),
        FormAction("item OnMouseLeave", 0, [](TRun &R) { AddTitleItem(R)->OnMouseLeave = R.AsNotify(); },
     [](TRun &R) {
         SendTo(R, WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R));
         SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R));
     }),
        FormAction("item OnMouseLeave on the caption's window", 0, [](TRun &R) { AddTitleItem(R)->OnMouseLeave = R.AsNotify(); },
     [](TRun &R) {
         SendMessageW(CaptionWindow(R), WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R));
         SendMessageW(CaptionWindow(R), WM_NCMOUSEMOVE, HTCAPTION, AtClient(R));
     }),
        Did(FormAction("item OnMouseDown", 0, [](TRun &R) { AddTitleItem(R)->OnMouseDown = R.AsMouse(); },
     [](TRun &R) { SendTo(R, WM_NCLBUTTONDOWN, htTitleBarItem, AtItem(R)); }),
            // Every form's caption buttons and items would stay cold.
            [](const TRun &) { EXPECT_FALSE(FormsState().FormButtonPressed) << "the freed provider's press is held"; }),
        FormAction("item OnMouseUp", 0, [](TRun &R) { AddTitleItem(R)->OnMouseUp = R.AsMouse(); },
     [](TRun &R) {
         SendTo(R, WM_NCLBUTTONDOWN, htTitleBarItem, AtItem(R));
         SendTo(R, WM_NCLBUTTONUP, htTitleBarItem, AtItem(R));
     }),
        FormAction("item OnClick", 0, [](TRun &R) { AddTitleItem(R)->OnClick = R.AsNotify(); },
     [](TRun &R) {
         SendTo(R, WM_NCLBUTTONDOWN, htTitleBarItem, AtItem(R));
         SendTo(R, WM_NCLBUTTONUP, htTitleBarItem, AtItem(R));
     }),
        FormAction("item OnMouseLeave as the border's shadow sets the cursor", 0,
     [](TRun &R) { AddTitleItem(R)->OnMouseLeave = R.AsNotify(); },
     [](TRun &R) {
         SendTo(R, WM_NCMOUSEMOVE, htTitleBarItem, AtItem(R));
         CursorOnShadow(R);
         SendMessageW(CaptionWindow(R), WM_SETCURSOR, reinterpret_cast<WPARAM>(CaptionWindow(R)),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
         ParkCursor();
     },
     true, BorderOnly),
        // The provider's OnExtHitTest, asked by each of the border window's
        // messages and the form's that want its codes.
        FormAction("OnExtHitTest on the form", 0, WatchHitTest, [](TRun &R) { SendTo(R, WM_NCHITTEST, 0, AtCaption(R)); },
     true, BorderOnly),
        FormAction("OnExtHitTest at the form's mouse move", 0, WatchHitTest,
     [](TRun &R) { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtCaption(R)); }, true, BorderOnly),
        FormAction("OnExtHitTest at the form's release", 0, WatchHitTest,
     [](TRun &R) { SendTo(R, WM_NCLBUTTONUP, static_cast<WPARAM>(htAskBorderForm), AtCaption(R)); }, true, BorderOnly),
        FormAction("OnExtHitTest at the form's right release", 0, WatchHitTest,
     [](TRun &R) { SendTo(R, WM_NCRBUTTONUP, HTCAPTION, AtCaption(R)); }, true, BorderOnly),
        FormAction("OnExtHitTest on the border window", 0, WatchHitTest,
     [](TRun &R) {
         for (UINT m : {WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCLBUTTONDBLCLK})
             if (R.Server) SendMessageW(CaptionWindow(R), m, HTCAPTION, AtCaption(R));
     },
     true, BorderOnly),
        FormAction("OnExtHitTest as the border window sets the cursor", 0, WatchHitTest,
     [](TRun &R) {
         const LPARAM at = AtCaption(R);
         SetCursorPos(LOWORD(at), HIWORD(at));
         SendMessageW(CaptionWindow(R), WM_SETCURSOR, reinterpret_cast<WPARAM>(CaptionWindow(R)),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
         ParkCursor();
     },
     true, BorderOnly),
        // The end of an outline drag gives the capture back and moves the form.
        Did(FormAction("WM_CAPTURECHANGED at an outline drag's end", WM_CAPTURECHANGED, HoldCorner, LetGoOfCorner),
            PlacedAt(300, 200, 450, 330)),
        FormAction("WM_SIZE at an outline drag's end", WM_SIZE, HoldCorner, LetGoOfCorner, ProviderOnly),
        FormAction("WM_CAPTURECHANGED as another window takes the mouse from an outline drag", WM_CAPTURECHANGED,
     HoldCorner, [](TRun &R) { SetCapture(Other(R)); }),
        FormAction("WM_CAPTURECHANGED as a double click ends an outline drag", WM_CAPTURECHANGED, HoldCorner,
     [](TRun &R) { SendMessageW(CaptionWindow(R), WM_NCLBUTTONDBLCLK, HTCAPTION, AtCaption(R)); }),
        // The form's painting as a hot title-bar item or caption button
        // goes back to its normal look: the frame is painted anew, the
        // form's own painting in it. (Hot and left at once: the system's
        // own word that the mouse left would come first otherwise.)
        FormAction("OnPaint as the mouse leaves a hot caption button", 0, [](TRun &R) { AddTitleItem(R); },
     [](TRun &R) { HotThenLeft(R, HTCLOSE, AtClose(R), [&] { SendTo(R, vcl::CM_MOUSELEAVE); }); }, ProviderOnly),
        FormAction("OnPaint as an item goes cold", 0, [](TRun &R) { AddTitleItem(R); },
     [](TRun &R) {
         HotThenLeft(R, htTitleBarItem, AtItem(R), [&] { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R)); });
     },
     ProviderOnly),
        FormAction("OnPaint as a caption button goes cold", 0, [](TRun &R) { AddTitleItem(R); },
     [](TRun &R) {
         HotThenLeft(R, HTCLOSE, AtClose(R), [&] { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R)); });
     },
     ProviderOnly),
        // The form's own painting, or its children's, where the provider
        // takes the form's picture before it hands the form's message on.
        Did(FormAction("a child's paint in a placement that hides", 0, [](TRun &R) { AddPaintingChildren(R); },
                       [](TRun &R) { ShowWindow(R.Window, SW_HIDE); }, ProviderOnly),
            Both(Hidden, Reached(WM_WINDOWPOSCHANGING, SWP_HIDEWINDOW))),
        Did(FormAction("a child's paint in an unskinned hide", 0,
                       [](TRun &R) {
                           AddPaintingChildren(R);
                           ProviderOf(R)->SkinData()->SetSkinSection("NO SUCH SECTION");
                       },
                       [](TRun &R) { FormOf(R)->Hide(); }, ProviderOnly),
            Both(Hidden, Reached(vcl::CM_VISIBLECHANGED))),
        Did(FormAction("OnPaint in a caption drag", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
                       [](TRun &R) {
                           // The frame is stale: the repaint before the drag renders
                           // it, the form's painting in it. The user's Esc ends a
                           // drag that the system plays.
                           PostMessageW(R.Window, WM_KEYDOWN, VK_ESCAPE, 0);
                           SendSkinCommand(R.Window, SC_INVALIDATE_CACHE, 0);
                           Command(R, SC_MOVE | HTCAPTION);
                       },
                       ProviderOnly),
            Reached(WM_SYSCOMMAND)),
        // The application changes how the provider draws the form: the new
        // frame (or region) is painted at once, the form's painting in it.
        FormAction("OnPaint as the extended border comes or goes", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
                   [](TRun &R) { ProviderOf(R)->SetAllowExtBorders(!ProviderOf(R)->AllowExtBorders()); }, ProviderOnly),
        Did(FormAction("OnPaint as the form is disabled", 0, [](TRun &R) { FormOf(R)->OnPaint = R.AsNotify(); },
                       [](TRun &R) { FormOf(R)->SetEnabled(false); }, ProviderOnly),
            Disabled),
        FormAction("OnPaint as the skin's frame comes back", 0,
                   [](TRun &R) {
                       ProviderOf(R)->SetDrawNonClientArea(false);
                       FormOf(R)->OnPaint = R.AsNotify();
                   },
                   [](TRun &R) { ProviderOf(R)->SetDrawNonClientArea(true); }, ProviderOnly),
        // The provider's own style and theme changes as it leaves the frame
        // to the system and takes it back.
        FormAction("WM_STYLECHANGED as the skin's frame goes", WM_STYLECHANGED, nullptr,
                   [](TRun &R) { ProviderOf(R)->SetDrawNonClientArea(false); }),
        FormAction("WM_THEMECHANGED as the skin's frame goes", WM_THEMECHANGED, nullptr,
                   [](TRun &R) { ProviderOf(R)->SetDrawNonClientArea(false); }),
        FormAction("WM_STYLECHANGED as the skin's frame comes back", WM_STYLECHANGED,
                   [](TRun &R) { ProviderOf(R)->SetDrawNonClientArea(false); },
                   [](TRun &R) { ProviderOf(R)->SetDrawNonClientArea(true); }),
        // The provider asks the application about each control it would
        // skin: a control that comes, and each one again in a skin refresh.
        FormAction("OnSkinItem as a control comes", 0,
                   [](TRun &R) { ProviderOf(R)->OnSkinItem = TAddItemEvent::Bind<&TRun::SkinItem>(&R); },
                   [](TRun &R) {
                       auto *edit = vcl::Create<vcl::TEdit>(FormOf(R));
                       edit->SetParent(FormOf(R));
                       edit->HandleNeeded();
                   },
                   ProviderOnly),
        FormAction("OnSkinItem in a skin refresh", 0,
                   [](TRun &R) {
                       for (int i = 0; i < 2; ++i) {
                           vcl::Create<vcl::TLabel>(FormOf(R))->SetParent(FormOf(R));
                           vcl::Create<vcl::TEdit>(FormOf(R))->SetParent(FormOf(R));
                       }
                       Settle();
                       ProviderOf(R)->OnSkinItem = TAddItemEvent::Bind<&TRun::SkinItem>(&R);
                   },
                   [](TRun &R) { Refresh(R); }, ProviderOnly),
        Did(FormAction("OnSkinItem in a show", 0,
                       [](TRun &R) {
                           vcl::Create<vcl::TLabel>(FormOf(R))->SetParent(FormOf(R));
                           FormOf(R)->Hide();
                           ProviderOf(R)->OnSkinItem = TAddItemEvent::Bind<&TRun::SkinItem>(&R);
                       },
                       [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly),
            Shown),
        Did(FormAction("WM_SETREDRAW in an icon change", WM_SETREDRAW, nullptr,
                       [](TRun &R) { SendTo(R, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(RowIcon())); }),
            Both(IconSet, Shown)),
        // The form's colour follows the skin's in a refresh; the menus are
        // hooked again as the form is activated or shown.
        FormAction("CM_COLORCHANGED in a skin refresh", vcl::CM_COLORCHANGED,
     [](TRun &R) { FormOf(R)->SetColor(0x123456); }, [](TRun &R) { Refresh(R); }, ProviderOnly),
        Did(FormAction("CM_MENUCHANGED in an activation", vcl::CM_MENUCHANGED,
                       [](TRun &R) {
                           AddMainMenu(R);
                           uitest::ActivateAndWait(Other(R), 2s);
                           AddMainMenu(R);
                       },
                       [](TRun &R) { Activate(R, R.Window); }),
            ActiveIs(Itself)),
        Did(FormAction("CM_MENUCHANGED on show", vcl::CM_MENUCHANGED,
                       [](TRun &R) {
                           FormOf(R)->Hide();
                           AddMainMenu(R);
                       },
                       [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly),
            Shown),
        // Messages passed on below the provider.
        Did(FormAction("WM_NCACTIVATE", WM_NCACTIVATE, nullptr, [](TRun &R) { Activate(R, Other(R)); }), ActiveIs(Other)),
        Did(FormAction("WM_ACTIVATE", WM_ACTIVATE, nullptr, [](TRun &R) { Activate(R, Other(R)); }), ActiveIs(Other)),
        FormAction("WM_ACTIVATEAPP", WM_ACTIVATEAPP, nullptr, [](TRun &R) { SendTo(R, WM_ACTIVATEAPP, 1); }),
        Did(FormAction("CM_SHOWINGCHANGED on hide", vcl::CM_SHOWINGCHANGED, nullptr, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Hidden),
        Did(FormAction("CM_SHOWINGCHANGED on show", vcl::CM_SHOWINGCHANGED, [](TRun &R) { FormOf(R)->Hide(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("CM_VISIBLECHANGED on hide", vcl::CM_VISIBLECHANGED, nullptr, [](TRun &R) { FormOf(R)->Hide(); },
     ProviderOnly), Hidden),
        Did(FormAction("CM_VISIBLECHANGED on show", vcl::CM_VISIBLECHANGED, [](TRun &R) { FormOf(R)->Hide(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        // The system's own placements, as another program or the user makes them.
        Did(FormAction("WM_SHOWWINDOW on hide", WM_SHOWWINDOW, nullptr, [](TRun &R) { ShowWindow(R.Window, SW_HIDE); }), Hidden),
        Did(FormAction("WM_ACTIVATE in a restore", WM_ACTIVATE,
     [](TRun &R) {
         Command(R, SC_MINIMIZE);
         AwaitFlight(R);
     },
     [](TRun &R) {
         Command(R, SC_RESTORE);
         AwaitFlight(R);
     }), Restored),
        Did(FormAction("WM_SETREDRAW during a show", WM_SETREDRAW, [](TRun &R) { FormOf(R)->Hide(); },
     [](TRun &R) { FormOf(R)->Show(); }, ProviderOnly), Shown),
        Did(FormAction("WM_SHOWWINDOW on show", WM_SHOWWINDOW, [](TRun &R) { ShowWindow(R.Window, SW_HIDE); },
     [](TRun &R) { ShowWindow(R.Window, SW_SHOW); }), Shown),
        Did(FormAction("WM_WINDOWPOSCHANGING", WM_WINDOWPOSCHANGING, nullptr, [](TRun &R) { Place(R, 320, 210, 440, 320); }), PlacedAt(320, 210, 440, 320)),
        Did(FormAction("WM_WINDOWPOSCHANGED", WM_WINDOWPOSCHANGED, nullptr, [](TRun &R) { Place(R, 320, 210, 440, 320); }), PlacedAt(320, 210, 440, 320)),
        // The border's update ranks the form again, an active stay-on-top
        // one on top, as the frame repaints.
        FormAction("WM_WINDOWPOSCHANGED in the border's update", WM_WINDOWPOSCHANGED,
     [](TRun &R) {
         FormOf(R)->SetFormStyle(vcl::fsStayOnTop);
         uitest::ActivateAndWait(R.Window, 2s);
         Settle();
     },
     [](TRun &R) { Refresh(R); }, true, BorderOnly),
        // The user drags the caption of a form with an extended border, the
        // skin's blended move on: the form's window waits unseen while the
        // border window travels, and joins it where the drag left it.
        // (Not the plain form: Wine's move loop never ends once the window it drags is destroyed.)
        FormAction("WM_WINDOWPOSCHANGED in a blended move", WM_WINDOWPOSCHANGED, BlendedMoves, DragCaption, true,
                   BorderOnly),
        // (WM_SIZE, WM_MOVE and WM_ERASEBKGND come from the system's handling
        // of the class library's own placement and paint.)
        Did(FormAction("WM_SIZE", WM_SIZE, nullptr, [](TRun &R) { Place(R, 320, 210, 440, 320); }, ProviderOnly), PlacedAt(320, 210, 440, 320)),
        Did(FormAction("WM_MOVE", WM_MOVE, nullptr, [](TRun &R) { Place(R, 330, 220, 420, 300); }, ProviderOnly), PlacedAt(330, 220, 420, 300)),
        Did(FormAction("WM_GETMINMAXINFO", WM_GETMINMAXINFO, nullptr, [](TRun &R) { Command(R, SC_MAXIMIZE); }), Zoomed),
        FormAction("WM_SIZING", WM_SIZING, nullptr,
     [](TRun &R) {
         RECT r{300, 200, 730, 510};
         SendTo(R, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
     }),
        FormAction("WM_EXITSIZEMOVE", WM_EXITSIZEMOVE, nullptr, [](TRun &R) { SendTo(R, WM_EXITSIZEMOVE); }),
        Did(FormAction("WM_SYSCOMMAND minimize", WM_SYSCOMMAND, nullptr, [](TRun &R) { Command(R, SC_MINIMIZE); }), Iconic),
        Did(FormAction("WM_SYSCOMMAND maximize", WM_SYSCOMMAND, nullptr, [](TRun &R) { Command(R, SC_MAXIMIZE); }), Zoomed),
        Did(FormAction("WM_SYSCOMMAND restore", WM_SYSCOMMAND, [](TRun &R) { Command(R, SC_MAXIMIZE); },
     [](TRun &R) { Command(R, SC_RESTORE); }), Restored),
        Did(FormAction("WM_SYSCOMMAND close", WM_SYSCOMMAND, nullptr, [](TRun &R) { Command(R, SC_CLOSE); }), Hidden),
        Did(FormAction("WM_CLOSE", WM_CLOSE, nullptr, [](TRun &R) { Command(R, SC_CLOSE); }), Hidden),
        FormAction("WM_PAINT", WM_PAINT, [](TRun &R) { ProviderOf(R)->SetDrawClientArea(false); }, [](TRun &R) { Redraw(R); }),
        FormAction("WM_ERASEBKGND", WM_ERASEBKGND, [](TRun &R) { ProviderOf(R)->SetDrawClientArea(false); },
     [](TRun &R) { Redraw(R); }, ProviderOnly),
        FormAction("CM_MENUCHANGED in a skin refresh", vcl::CM_MENUCHANGED, [](TRun &R) { AddMainMenu(R); },
     [](TRun &R) { Refresh(R); }),
        Did(FormAction("WM_SETTEXT", WM_SETTEXT, nullptr, [](TRun &R) { SetWindowTextW(R.Window, L"Renamed"); }), Renamed),
        Did(FormAction("WM_SETICON", WM_SETICON, nullptr,
     [](TRun &R) { SendTo(R, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(RowIcon())); }), IconSet),
        FormAction("WM_STYLECHANGED", WM_STYLECHANGED, nullptr,
     [](TRun &R) {
         SetWindowLongPtrW(R.Window, GWL_STYLE, GetWindowLongPtrW(R.Window, GWL_STYLE) ^ WS_SYSMENU);
     }),
        Did(FormAction("CM_ENABLEDCHANGED", vcl::CM_ENABLEDCHANGED, nullptr, [](TRun &R) { FormOf(R)->SetEnabled(false); }), Disabled),
        FormAction("WM_SETTINGCHANGE", WM_SETTINGCHANGE, nullptr, [](TRun &R) { SendTo(R, WM_SETTINGCHANGE, SPI_SETWORKAREA); }),
        FormAction("WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE, nullptr, [](TRun &R) { SendTo(R, WM_SYSCOLORCHANGE); }),
        FormAction("WM_PARENTNOTIFY", WM_PARENTNOTIFY, nullptr,
     [](TRun &R) {
         auto *edit = vcl::Create<vcl::TEdit>(FormOf(R));
         edit->SetParent(FormOf(R));
         edit->HandleNeeded();
     },
     ProviderOnly),
        FormAction("CM_CONTROLLISTCHANGE", vcl::CM_CONTROLLISTCHANGE, nullptr,
     [](TRun &R) { vcl::Create<vcl::TLabel>(FormOf(R))->SetParent(FormOf(R)); }, ProviderOnly),
        FormAction("WM_NOTIFY", WM_NOTIFY, nullptr,
     [](TRun &R) {
         NMHDR header{R.Window, 1, static_cast<UINT>(-551)};  // a tab's selection changed
         SendTo(R, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
     }),
        FormAction("WM_MOUSEMOVE", WM_MOUSEMOVE, nullptr, [](TRun &R) { SendTo(R, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20)); }),
        FormAction("CM_MOUSEENTER", vcl::CM_MOUSEENTER, nullptr, [](TRun &R) { SendTo(R, vcl::CM_MOUSEENTER); }),
        FormAction("CM_MOUSELEAVE", vcl::CM_MOUSELEAVE, nullptr, [](TRun &R) { SendTo(R, vcl::CM_MOUSELEAVE); }),
        FormAction("WM_NCMOUSEMOVE", WM_NCMOUSEMOVE, nullptr, [](TRun &R) { SendTo(R, WM_NCMOUSEMOVE, HTCAPTION, AtClient(R)); }),
        FormAction("WM_NCHITTEST", WM_NCHITTEST, nullptr, [](TRun &R) { SendTo(R, WM_NCHITTEST, 0, AtClient(R)); }),
        FormAction("WM_NCLBUTTONDBLCLK", WM_NCLBUTTONDBLCLK, nullptr,
     [](TRun &R) { SendTo(R, WM_NCLBUTTONDBLCLK, HTCAPTION, AtClient(R)); }),
        FormAction("WM_COPYDATA", WM_COPYDATA, nullptr,
     [](TRun &R) {
         COPYDATASTRUCT data{7, 0, nullptr};
         SendTo(R, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
     }),
        FormAction("WM_ENTERMENULOOP", WM_ENTERMENULOOP, nullptr, [](TRun &R) { SendTo(R, WM_ENTERMENULOOP); }),
        FormAction("WM_QUERYENDSESSION", WM_QUERYENDSESSION, nullptr, [](TRun &R) { SendTo(R, WM_QUERYENDSESSION); }),
        FormAction("CM_RECREATEWND", vcl::CM_RECREATEWND, nullptr, [](TRun &R) { SendTo(R, vcl::CM_RECREATEWND); }),
    };
}

} // namespace skin::freed
