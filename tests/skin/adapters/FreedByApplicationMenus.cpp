// The menu painter's events in a popup, and the controls' own drawing
// events: the application's handler frees as the item or the part is drawn.
#include "FreedByApplication.h"
#include "skin/adapters/vlComboWnd.h"

namespace skin::freed {
namespace {

// A popup that the system tracks until a timer's first tick ends it.
class TShortPopup : public vcl::TPopupMenu {
public:
    using vcl::TPopupMenu::TPopupMenu;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, &End);
        const UINT chosen = vcl::TPopupMenu::TrackMenu(Menu, X, Y, Owner);
        KillTimer(nullptr, timer);
        return chosen;
    }

private:
    static void CALLBACK End(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
};

} // namespace

TsSkinableMenus &Painter() { return dynamic_cast<TsSkinableMenus &>(DefaultManager()->SkinableMenus()); }

// A popup of a form of its own, shown for that form, with a divider, a
// shortcut and a submenu; its first item is the row's item.
void MakePopup(TRun &R) {
    MakeForm(R);
    FormOf(R)->Show();
    auto *popup = vcl::Create<TShortPopup>(FormOf(R));
    for (const char *caption : {"One", "Two", "-", "Three"}) {
        auto *item = vcl::Create<vcl::TMenuItem>(popup);
        item->SetCaption(caption);
        popup->Items()->Add(item);
    }
    popup->Items()->Items(1)->SetShortCut(vcl::ShortCut('T', vcl::TShiftState{vcl::ssCtrl}));
    auto *sub = vcl::Create<vcl::TMenuItem>(popup);
    sub->SetCaption("Four");
    popup->Items()->Items(3)->Add(sub);
    popup->SetWindowHandle(FormOf(R)->Handle());
    R.Popup = vcl::TGuarded<vcl::TPopupMenu>(popup);
    R.Sibling = vcl::TGuarded<vcl::TComponent>(popup->Items()->Items(0));
}

namespace {

// The popup shows under the system's tracking until the timer's first tick
// ends it.
void ShowPopup(TRun &R) {
    RECT r{};
    GetWindowRect(FormOf(R)->Handle(), &r);
    R.Popup->Popup(r.left + 40, r.top + 60);
}
// The popup's first item drawn into a DC of no window, as a system that
// paints its menus off the screen first asks for it.
void DrawPopupItemOffScreen(TRun &R) {
    vcl::TMenuItem *item = R.Popup->Items()->Items(0);
    const vcl::TWindowDC screen;
    const vcl::TMemoryDC memory(screen.Get());
    const vcl::TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 200, 40));
    const vcl::TSelectObject selected(memory.Get(), bitmap.Get());
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_MENU;
    d.itemID = item->Command();
    d.itemAction = ODA_DRAWENTIRE;
    d.hDC = memory.Get();
    d.rcItem = {0, 0, 200, 22};
    d.itemData = item->Command();
    SendMessageW(FormOf(R)->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}

// The item's data asked for by an application that draws over its items too.
void ItemDataTrap(TRun &R) {
    DefaultManager()->OnGetPopupItemData = TvlPopupItemDataEvent::Bind<&TRun::ItemData>(&R);
    Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::LookAtItem>(&R);
}

// The menu painter's events in a popup: a row of the kinds that name it.
TAction MenuAction(const char *Name, std::function<void(TRun &)> Prepare,
                   std::function<void(TRun &)> Drive = ShowPopup) {
    return {Name, std::move(Drive), true, std::move(Prepare), 0, true, false, {}, false};
}

} // namespace

std::vector<TAction> MenuActions() {
    return {
        // A control's own drawing event, as its window paints or its list drops.
        MenuAction("OnDrawPanel",
                   [](TRun &R) {
                       static_cast<vcl::TStatusBar *>(R.Control)->OnDrawPanel =
                           vcl::TDrawPanelEvent::Bind<&TRun::DrawPanel>(&R);
                   },
                   [](TRun &R) { RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }),
        MenuAction("OnDrawItem_in_the_field",
                   [](TRun &R) {
                       static_cast<vcl::TComboBox *>(R.Control)->OnDrawItem =
                           vcl::TDrawItemEvent::Bind<&TRun::DrawComboItem>(&R);
                   },
                   [](TRun &R) { RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }),
        MenuAction("OnDrawItem_in_the_list",
                   [](TRun &R) {
                       static_cast<vcl::TComboBox *>(R.Control)->OnDrawItem =
                           vcl::TDrawItemEvent::Bind<&TRun::DrawComboItem>(&R);
                   },
                   [](TRun &R) {
                       SendMessageW(R.Window, CB_SHOWDROPDOWN, TRUE, 0);
                       if (const HWND w = R.LiveWindow()) SendMessageW(w, CB_SHOWDROPDOWN, FALSE, 0);
                   }),
        MenuAction("OnDrawTab",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Control)->OnDrawTab = vcl::TDrawTabEvent::Bind<&TRun::DrawTab>(&R);
                   },
                   Redraw),
        MenuAction("OnDrawTab_in_a_print",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Control)->OnDrawTab = vcl::TDrawTabEvent::Bind<&TRun::DrawTab>(&R);
                   },
                   [](TRun &R) {
                       vcl::TBitmap picture;
                       picture.SetSize(220, 140);
                       PaintControlToBitmap(picture, R.Control, 0, 0, nullptr);
                   }),
        // The same events with the skin off, as the class library draws them.
        MenuAction("OnDrawPanel_unskinned",
                   [](TRun &R) {
                       static_cast<vcl::TStatusBar *>(R.Control)->OnDrawPanel =
                           vcl::TDrawPanelEvent::Bind<&TRun::DrawPanel>(&R);
                       DefaultManager()->SetActive(false);
                   },
                   Redraw),
        MenuAction("OnDrawItem_unskinned",
                   [](TRun &R) {
                       static_cast<vcl::TComboBox *>(R.Control)->OnDrawItem =
                           vcl::TDrawItemEvent::Bind<&TRun::DrawComboItem>(&R);
                       DefaultManager()->SetActive(false);
                   },
                   Redraw),
        MenuAction("OnDrawTab_unskinned",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Control)->OnDrawTab = vcl::TDrawTabEvent::Bind<&TRun::DrawTab>(&R);
                       DefaultManager()->SetActive(false);
                   },
                   Redraw),
        // The control asks what lies behind it while its host's picture is
        // stale: the host builds it, drawing its tabs through the application.
        MenuAction("bgquery",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Host)->OnDrawTab =
                           vcl::TDrawTabEvent::Bind<&TRun::DrawHostTab>(&R);
                   },
                   [](TRun &R) {
                       // The host's image goes stale, then the control's with its
                       // size; the control alone is painted.
                       R.HostAdapter->SkinData->BGChanged = true;
                       if (R.Control && !R.Windowed())
                           R.Control->SetBounds(20, 20, 170, 100);
                       else
                           SetWindowPos(R.Window, nullptr, 0, 0, 170, 100,
                                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
                       if (R.Control && !R.Windowed()) {
                           const RECT r{20, 20, 190, 120};
                           RedrawWindow(R.Window, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                       } else if (R.LiveWindow()) {
                           RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                       }
                   }),
        // The same a level down: a child of the control, half see-through,
        // asks while both pictures are stale; the control builds its own,
        // asking the host, whose drawing frees the control in the middle.
        // The child is a simple combo box's list, or a static text.
        MenuAction("bgquery_nested",
                   [](TRun &R) {
                       static_cast<vcl::TTabControl *>(R.Host)->OnDrawTab =
                           vcl::TDrawTabEvent::Bind<&TRun::DrawHostTab>(&R);
                       if (auto *middle = dynamic_cast<TvlMainWnd *>(R.Adapter.get()))
                           middle->SkinData->SetSkinSection("HALFCLEAR");
                       if (COMBOBOXINFO info{sizeof info}; GetComboBoxInfo(R.Window, &info) && info.hwndList) {
                           R.Keep.push_back(std::shared_ptr<void>(std::shared_ptr<void>(), info.hwndList));
                           return;
                       }
                       const HWND child = CreateWindowExW(0, L"STATIC", L"Child", WS_CHILD | WS_VISIBLE | SS_LEFT, 8,
                                                          8, 60, 30, R.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
                       auto held = std::make_shared<TRun>();  // only its adapter is used
                       TChildHost host(*held);
                       CreateDialogChildAdapters(host, child);
                       EXPECT_TRUE(held->Adapter) << "no adapter for the child";
                       if (auto *adapter = dynamic_cast<TvlMainWnd *>(held->Adapter.get()))
                           adapter->SkinData->SetSkinSection("HALFCLEAR");
                       R.Keep.push_back(std::shared_ptr<void>(nullptr, [held, child](void *) {
                           held->Adapter.reset();
                           if (IsWindow(child)) DestroyWindow(child);
                       }));
                       R.Keep.push_back(std::shared_ptr<void>(held, reinterpret_cast<void *>(child)));
                   },
                   [](TRun &R) {
                       R.HostAdapter->SkinData->BGChanged = true;
                       if (auto *middle = dynamic_cast<TvlMainWnd *>(R.Adapter.get())) middle->SkinData->BGChanged = true;
                       // The list's adapter comes with its first paint.
                       if (auto *combo = dynamic_cast<TvlComboBoxWnd *>(R.Adapter.get())) {
                           EXPECT_TRUE(combo->ListAdapter) << "no adapter for the list";
                           if (combo->ListAdapter) combo->ListAdapter->SkinData->SetSkinSection("HALFCLEAR");
                       }
                       const HWND child = static_cast<HWND>(R.Keep.back().get());
                       SendMessageW(child, WM_NCPAINT, 1, 0);
                       if (!IsWindow(child)) return;
                       SetWindowPos(child, nullptr, 0, 0, 64, 34, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
                       RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                   }),
        MenuAction("popup_OnPopup", [](TRun &R) { R.Popup->OnPopup = R.AsNotify(); }),
        MenuAction("popup_OnDrawItem",
                   [](TRun &R) { Painter().OnDrawItem = TsMenuManagerDrawItemEvent::Bind<&TRun::DrawItem>(&R); }),
        // As the items are measured, and once the menu window is there (its
        // own paint asks for the extra line; the items' drawing for their data).
        MenuAction("popup_OnGetPopupItemData", ItemDataTrap),
        MenuAction("popup_OnGetMenuExtraLineData",
                   [](TRun &R) {
                       DefaultManager()->OnGetMenuExtraLineData = TvlMenuExtraLineEvent::Bind<&TRun::ExtraLine>(&R);
                   }),
        MenuAction("popup_OnGetPopupItemData_in_its_window",
                   [](TRun &R) {
                       R.InMenuWindow = true;
                       ItemDataTrap(R);
                   }),
        MenuAction("popup_OnGetPopupItemData_drawn_off_screen", ItemDataTrap, DrawPopupItemOffScreen),
        MenuAction("popup_OnGetMenuExtraLineData_in_its_window",
                   [](TRun &R) {
                       R.InMenuWindow = true;
                       DefaultManager()->OnGetMenuExtraLineData = TvlMenuExtraLineEvent::Bind<&TRun::ExtraLine>(&R);
                   }),
    };
}

} // namespace skin::freed
