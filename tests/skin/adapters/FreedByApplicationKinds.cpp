// The adapters' kinds, each with how to make its control or window and
// the actions it takes, and the adapters' actions.
#include "FreedByApplication.h"

namespace skin::freed {
namespace {

template <class C> C *Put(TRun &R, C *Control, int W = 160, int H = 90) {
    Control->SetBounds(20, 20, W, H);
    Control->SetParent(R.Host ? R.Host : R.Form);
    R.Control = Control;
    return Control;
}

std::string Lines(int N) {
    std::string text;
    for (int i = 0; i < N; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

void Bare(TRun &R, const wchar_t *Class, DWORD Style, DWORD ExStyle = 0) {
    R.Window = CreateWindowExW(ExStyle, Class, L"Text", WS_CHILD | WS_VISIBLE | Style, 20, 20, 160, 90,
                               (R.Host ? R.Host : R.Form)->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Fill(HWND Window, UINT AddMsg, int N) {
    for (int i = 0; i < N; ++i) SendMessageW(Window, AddMsg, 0, reinterpret_cast<LPARAM>(L"Item"));
}

// Two labels on Parent, from Top down: the first holds the trap, the
// second is its later sibling.
void Labels(TRun &R, vcl::TWinControl *Parent, int Top = 8) {
    vcl::TLabel *labels[2];
    for (int i = 0; i < 2; ++i) {
        labels[i] = vcl::Create<vcl::TLabel>(R.Form);
        labels[i]->SetBounds(8, Top + 24 * i, 60, 18);
        labels[i]->SetCaption("Label");
        labels[i]->SetParent(Parent);
    }
    R.Trapped = labels[0];
    R.Sibling = vcl::TGuarded<vcl::TComponent>(labels[1]);
}

// A window class of the application's own, which no adapter serves.
const wchar_t *ApplicationChildClass() {
    static const ATOM atom = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        c.lpszClassName = L"FreedTestChild";
        return RegisterClassW(&c);
    }();
    return atom ? L"FreedTestChild" : L"STATIC";
}

// A dialog window of the system's class, which its dialog provider serves.
void MakeDialog(TRun &R) {
    R.Window = CreateWindowExW(WS_EX_DLGMODALFRAME, WC_DIALOG, L"Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                               100, 100, 300, 200, R.Form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}
void ServeDialog(TRun &R) {
    auto *provider = vcl::Create<TvlProvider>(nullptr);
    R.Server = provider;
    provider->AttachToDialog(R.Window);
    EXPECT_TRUE(provider->DialogAdapter()) << "no dialog adapter";
}

// A point inside the part of the adapter's vertical bar (screen).
POINT BarPart(TRun &R, int Part) {
    TvlNcBarsWnd *bars = R.Bars();
    if (!bars) return {0, 0};  // its server went
    const vcl::TRect rect = VertScrollBarRect(*bars);
    const int x = (rect.Left + rect.Right) / 2;
    for (int y = rect.Top; y < rect.Bottom; ++y)
        if (ScrollBarPartAt(*bars->VertBar, rect, x, y) == Part) return {x, y + 1};
    return {x, rect.Bottom - 2};
}

// A press on the part while the adapter and its window are there.
void Press(TRun &R, int Part) {
    if (!R.Bars() || !R.LiveWindow()) return;
    const POINT p = BarPart(R, Part);
    SendMessageW(R.Window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(p.x, p.y));
}

void Release(TRun &R) {
    if (const HWND w = R.LiveWindow()) SendMessageW(w, WM_LBUTTONUP, 0, 0);
}

} // namespace

// ------------------------------------------------------------- the kinds

const std::vector<TKind> &Kinds() {
    static const std::vector<TKind> kinds = {
        {"Button", tpButton, [](TRun &R) { Put(R, vcl::Create<vcl::TButton>(R.Form))->SetCaption("OK"); },
         "focus size font colour skin removal bgquery"},
        {"Edit", tpEdit, [](TRun &R) { Put(R, vcl::Create<vcl::TEdit>(R.Form), 160, 24)->SetText("Text"); },
         "paint print focus size font colour skin removal bgquery"},
        {"Memo", tpEdit,
         [](TRun &R) {
             auto *memo = Put(R, vcl::Create<vcl::TMemo>(R.Form));
             memo->SetScrollBars(vcl::ssVertical);
             memo->Lines()->SetText(Lines(40));
         },
         "paint print focus size font colour skin removal line page thumb cancel capture destroy barsize bgquery"},
        {"ListBox", tpEdit,
         [](TRun &R) {
             Bare(R, L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
             Fill(R.Window, LB_ADDSTRING, 40);
         },
         "paint print size skin removal line page thumb cancel capture destroy bgquery"},
        {"ComboBox", tpComboBox,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 24);
             for (int i = 0; i < 20; ++i) combo->Items()->Add("Item " + std::to_string(i));
             combo->SetItemIndex(0);
         },
         "paint focus size font colour skin removal drop bgquery"},
        // Its list always shows, and builds its picture from the combo's.
        {"SimpleCombo", tpComboBox,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 90);
             combo->SetStyle(vcl::csSimple);
             for (int i = 0; i < 20; ++i) combo->Items()->Add("Item " + std::to_string(i));
         },
         "paint print size bgquery bgquery_nested"},
        {"ListView", tpListView,
         [](TRun &R) {
             Bare(R, WC_LISTVIEWW, LVS_LIST, WS_EX_CLIENTEDGE);
             for (int i = 0; i < 60; ++i) {
                 LVITEMW item{};
                 item.mask = LVIF_TEXT;
                 item.iItem = i;
                 item.pszText = const_cast<wchar_t *>(L"Item");
                 SendMessageW(R.Window, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
             }
         },
         "paint print size skin removal bgquery"},
        {"TreeView", tpTreeView,
         [](TRun &R) {
             Bare(R, WC_TREEVIEWW, TVS_HASLINES, WS_EX_CLIENTEDGE);
             for (int i = 0; i < 30; ++i) {
                 TVINSERTSTRUCTW ins{};
                 ins.hInsertAfter = TVI_LAST;
                 ins.item.mask = TVIF_TEXT;
                 ins.item.pszText = const_cast<wchar_t *>(L"Node");
                 SendMessageW(R.Window, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
             }
         },
         "paint print size skin removal line page thumb cancel capture destroy bgquery"},
        {"Grid", tpGrid, [](TRun &R) { Put(R, vcl::Create<TTestPlainGrid>(R.Form)); }, "paint print focus size font colour skin removal bgquery"},
        {"GridEh", tpGridEh, [](TRun &R) { Put(R, vcl::Create<TTestGridEh>(R.Form)); }, "paint print focus size font colour skin removal bgquery"},
        {"ScrollBar", tpScrollBar,
         [](TRun &R) {
             auto *bar = Put(R, vcl::Create<vcl::TScrollBar>(R.Form), 160, 18);
             bar->SetPosition(30);
             bar->OnChange = vcl::TNotifyEvent::Bind<&TRun::Changed>(&R);
         },
         "size skin removal position bgquery press"},
        {"GroupBox", tpGroupBox, [](TRun &R) { Put(R, vcl::Create<vcl::TGroupBox>(R.Form))->SetCaption("Group"); },
         "paint size font colour skin removal text bgquery bgquery_nested"},
        {"Panel", tpPanel, [](TRun &R) { Put(R, vcl::Create<vcl::TPanel>(R.Form))->SetCaption("Panel"); },
         "size font colour skin removal text bgquery bgquery_nested"},
        {"StaticText", tpStaticText,
         [](TRun &R) { Put(R, vcl::Create<vcl::TStaticText>(R.Form), 160, 22)->SetCaption("Static"); },
         "size font colour skin removal text bgquery"},
        {"ScrollBox", tpScrollControl,
         [](TRun &R) {
             auto *box = Put(R, vcl::Create<vcl::TScrollBox>(R.Form));
             auto *inner = vcl::Create<vcl::TButton>(R.Form);
             inner->SetBounds(10, 200, 80, 24);
             inner->SetParent(box);
         },
         "size skin removal cancel destroy text bgquery"},
        {"BitBtn", tpBitBtn, [](TRun &R) { Put(R, vcl::Create<vcl::TBitBtn>(R.Form))->SetCaption("Bit"); },
         "focus size font colour skin removal bgquery"},
        {"CheckBox", tpCheckBox,
         [](TRun &R) { Put(R, vcl::Create<vcl::TCheckBox>(R.Form), 160, 22)->SetCaption("Check"); },
         "focus size font colour skin removal bgquery"},
        {"UpDown", tpUpDown, [](TRun &R) { Put(R, vcl::Create<vcl::TUpDown>(R.Form), 18, 40); }, "size skin removal bgquery"},
        {"StatusBar", tpStatusBar, [](TRun &R) { Put(R, vcl::Create<vcl::TStatusBar>(R.Form), 160, 22); },
         "size font skin removal bgquery"},
        {"TabControl", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->Tabs()->Add("One");
             tabs->Tabs()->Add("Two");
         },
         "paint print size font skin removal bgquery"},
        {"VirtualTree", tpVirtualTree,
         [](TRun &R) {
             auto *memo = Put(R, vcl::Create<vcl::TMemo>(R.Form));
             memo->SetScrollBars(vcl::ssVertical);
             memo->Lines()->SetText(Lines(40));
         },
         "paint print focus size font colour skin removal line cancel destroy bgquery"},
        {"WWEdit", tpWWEdit,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 24);
             combo->Items()->Add("Item");
         },
         "paint focus size font colour skin removal bgquery"},
        {"NativePaint", tpNativePaint, [](TRun &R) { Put(R, vcl::Create<vcl::TPanel>(R.Form))->SetCaption("Native"); },
         "paint size font colour skin removal bgquery"},
        // Controls the application draws a part of, in its event: a status
        // bar's owner-drawn panel, an owner-drawn combo box's items, an
        // owner-drawn tab control's tabs (skinned: the stored skin has no
        // tab control); skinned, and with the skin off as the class library
        // draws them.
        {"OwnerDrawStatusBar", tpStatusBar,
         [](TRun &R) {
             auto *bar = Put(R, vcl::Create<vcl::TStatusBar>(R.Form), 160, 22);
             for (int i = 0; i < 2; ++i) bar->Panels()->Add()->SetWidth(60);
             bar->Panels()->Items(0)->SetStyle(vcl::psOwnerDraw);
             bar->UpdatePanels();
         },
         "OnDrawPanel OnDrawPanel_unskinned"},
        {"OwnerDrawCombo", tpComboBox,
         [](TRun &R) {
             auto *combo = Put(R, vcl::Create<vcl::TComboBox>(R.Form), 160, 24);
             combo->SetStyle(vcl::csOwnerDrawFixed);
             for (int i = 0; i < 20; ++i) combo->Items()->Add("Item " + std::to_string(i));
             combo->SetItemIndex(0);
         },
         "OnDrawItem_in_the_field OnDrawItem_in_the_list OnDrawItem_unskinned"},
        {"OwnerDrawTabs", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->SetOwnerDraw(true);
             tabs->Tabs()->Add("One");
             tabs->Tabs()->Add("Two");
         },
         "OnDrawTab OnDrawTab_in_a_print OnDrawTab_unskinned", {}, false, false, true},
        // Skinned: it chooses a tab with its drawing off.
        {"SkinnedTabs", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->Tabs()->Add("One");
             tabs->Tabs()->Add("Two");
         },
         "select", {}, false, false, true},
        {"PageControl", tpPageControl,
         [](TRun &R) {
             auto *pages = Put(R, vcl::Create<vcl::TPageControl>(R.Form));
             for (const char *name : {"One", "Two"}) {
                 auto *sheet = vcl::Create<vcl::TTabSheet>(R.Form);
                 sheet->SetCaption(name);
                 sheet->SetPageControl(pages);
             }
         },
         "paint print size font skin removal bgquery"},
        {"PanelChildren", tpPanel, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TPanel>(R.Form))); },
         "paint print updatedone showing paint_unskinned skin barsize bgquery"},
        {"ButtonChildren", tpButton, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TButton>(R.Form), 160, 60)); },
         "hover"},
        {"GroupBoxChildren", tpGroupBox, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TGroupBox>(R.Form))); },
         "paint print updatedone showing paint_unskinned"},
        {"ScrollBoxChildren", tpScrollControl, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TScrollBox>(R.Form))); },
         "updatedone showing skin"},
        {"StaticTextChildren", tpStaticText,
         [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TStaticText>(R.Form), 160, 90)); }, "showing skin"},
        // Skinned (the stored skin has no tab control), it paints its
        // labels into its own picture, in its print and its erase.
        {"TabControlChildren", tpTabControl,
         [](TRun &R) {
             auto *tabs = Put(R, vcl::Create<vcl::TTabControl>(R.Form));
             tabs->Tabs()->Add("One");
             Labels(R, tabs, 30);
         },
         "paint print", {}, false, false, true},
        {"WindowedChildren", tpPanel,
         [](TRun &R) {
             auto *panel = Put(R, vcl::Create<vcl::TPanel>(R.Form));
             vcl::TButton *buttons[2];
             for (int i = 0; i < 2; ++i) {
                 buttons[i] = vcl::Create<vcl::TButton>(R.Form);
                 buttons[i]->SetBounds(8, 8 + 30 * i, 80, 24);
                 buttons[i]->SetParent(panel);
             }
             panel->HandleNeeded();
             R.Trapped = buttons[0];
             R.Sibling = vcl::TGuarded<vcl::TComponent>(buttons[1]);
         },
         "print"},
        {"SpeedButton", tpSpeedButton,
         [](TRun &R) { Put(R, vcl::Create<vcl::TSpeedButton>(R.Form), 80, 26)->SetCaption("Speed"); },
         "print font removal pass"},
        {"BareButton", tpButton, [](TRun &R) { Bare(R, L"BUTTON", BS_PUSHBUTTON); }, "focus size removal bgquery"},
        {"BareCombo", tpComboBox,
         [](TRun &R) {
             Bare(R, L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWN);
             Fill(R.Window, CB_ADDSTRING, 20);
         },
         "paint focus size skin removal drop bgquery"},
        {"BareScrollBar", tpScrollBar, [](TRun &R) { Bare(R, L"SCROLLBAR", SBS_VERT); }, "size bgquery"},
        {"DialogStatic", DialogChild, [](TRun &R) { Bare(R, L"STATIC", SS_LEFT); }, "size removal bgquery"},
        {"DialogIcon", DialogChild,
         [](TRun &R) {
             Bare(R, L"STATIC", SS_ICON);
             SendMessageW(R.Window, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION))), 0);
         },
         "removal bgquery"},
        {"DialogCheckBox", DialogChild, [](TRun &R) { Bare(R, L"BUTTON", BS_AUTOCHECKBOX); }, "focus size removal bgquery"},
        {"DialogGroupBox", DialogChild, [](TRun &R) { Bare(R, L"BUTTON", BS_GROUPBOX); }, "paint size skin removal bgquery bgquery_nested"},
        {"DialogLink", DialogChild, [](TRun &R) { Bare(R, L"SysLink", 0); }, "size removal bgquery"},
        {"DialogSizer", DialogChild, [](TRun &R) { Bare(R, L"SCROLLBAR", SBS_SIZEGRIP); }, "removal bgquery"},
        {"DialogPane", DialogChild, [](TRun &R) { Bare(R, WC_DIALOG, 0); }, "size removal bgquery bgquery_nested"},
        {"DialogTrack", DialogChild, [](TRun &R) { Bare(R, TRACKBAR_CLASSW, 0); }, "focus size removal bgquery"},
        {"DialogSpin", DialogChild, [](TRun &R) { Bare(R, UPDOWN_CLASSW, 0); }, "size removal"},
        {"DialogTabs", DialogChild,
         [](TRun &R) {
             Bare(R, WC_TABCONTROLW, 0);
             TCITEMW item{};
             item.mask = TCIF_TEXT;
             item.pszText = const_cast<wchar_t *>(L"Tab");
             SendMessageW(R.Window, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
         },
         "paint print size skin removal bgquery"},
        {"DialogToolBar", DialogChild,
         [](TRun &R) {
             Bare(R, TOOLBARCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE);
             SendMessageW(R.Window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
             TBBUTTON buttons[2] = {};
             for (int i = 0; i < 2; ++i) {
                 buttons[i].iBitmap = I_IMAGENONE;
                 buttons[i].idCommand = 100 + i;
                 buttons[i].fsState = TBSTATE_ENABLED;
                 buttons[i].iString = reinterpret_cast<INT_PTR>(L"Tool");
             }
             SendMessageW(R.Window, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
         },
         "size removal bgquery"},
        {"DialogProgress", DialogChild, [](TRun &R) { Bare(R, PROGRESS_CLASSW, 0); }, "paint print size skin removal bgquery"},
        {"ToolBar", tpToolBar,
         [](TRun &R) {
             auto *bar = Put(R, vcl::Create<vcl::TToolBar>(R.Form), 160, 30);
             for (int i = 0; i < 3; ++i) vcl::Create<vcl::TToolButton>(bar)->SetToolBar(bar);
         },
         "paint print size font skin removal bgquery"},
        // Its labels are painted in the bar's custom-draw event.
        {"ToolBarChildren", tpToolBar, [](TRun &R) { Labels(R, Put(R, vcl::Create<vcl::TToolBar>(R.Form), 160, 80), 30); },
         "paint print"},
        // An MDI parent of its own, served by its provider, which makes the
        // client's adapter; the trap sits below both the form's procedure
        // and the client's, and the application frees the provider.
        {"MDIClient", Served,
         [](TRun &R) {
             auto *form = vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew);
             form->SetFormStyle(vcl::fsMDIForm);
             form->SetBounds(60, 60, 420, 300);
             form->Show();
             R.Control = form;
         },
         "paint size tile menu formsize removal",
         [](TRun &R) {
             auto *form = static_cast<vcl::TForm *>(R.Control);
             R.Window = form->ClientHandle();
             R.NextProc = reinterpret_cast<WNDPROC>(
                 SetWindowLongPtrW(R.Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareProc)));
             auto *provider = vcl::Create<TsSkinProvider>(form);
             R.Server = provider;
             EXPECT_TRUE(provider->MDIHelper && provider->MDIHelper->ClientAdapter) << "no client adapter";
         }},
        // A form's own scroll bars, served by its provider.
        {"FormScroll", Served,
         [](TRun &R) {
             auto *form = vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew);
             form->SetBounds(80, 80, 360, 260);
             form->Show();
             const HWND w = form->Handle();
             SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | WS_VSCROLL);
             SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 1000, 100, 0, 0};
             SetScrollInfo(w, SB_VERT, &info, FALSE);
             SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
             R.Control = form;
         },
         "size line page thumb cancel capture",
         [](TRun &R) {
             auto *provider = vcl::Create<TsSkinProvider>(R.Control);
             R.Server = provider;
             provider->UpdateFormScrollBars();
             EXPECT_TRUE(R.Bars()) << "no scroll adapter";
         }},
        {"DialogWindow", Served, MakeDialog, "paint size focus skin removal show move style", ServeDialog},
        // The same under the manager's extended borders, its frame in a
        // border window of its own.
        {"BorderedDialog", Served, MakeDialog, "move", ServeDialog, false, true},
        // The same with a child of the application's own class: its paint,
        // in the picture the dialog's show takes, may end the dialog.
        {"DialogWithChild", Served,
         [](TRun &R) {
             MakeDialog(R);
             R.TrapWindow = CreateWindowExW(0, ApplicationChildClass(), L"", WS_CHILD | WS_VISIBLE, 20, 20, 100, 30,
                                            R.Window, nullptr, GetModuleHandleW(nullptr), nullptr);
         },
         "show", ServeDialog},
        // A popup menu's window, served by the menu adapter.
        {"MenuWindow", Served,
         [](TRun &R) {
             R.Window = CreateWindowExW(WS_EX_TOPMOST, L"#32768", L"", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 120,
                                        80, R.Form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
         },
         "paint size",
         [](TRun &R) {
             TvlSkinParams params;
             params.SkinSection = "MAINMENU";
             R.Adapter.reset(static_cast<TvlMainWnd *>(NewAdapter<TvlMnuWnd>(R.Window, nullptr, DefaultManager(), params).release()));
         }},
        // A popup whose items the skin's menu painter draws, shown for a form
        // of its own; the application turns the skin off (which frees the
        // menu windows' adapters), frees the form (the popup with it) or an
        // item.
        {"PopupMenu", Served, MakePopup, "popup_OnPopup popup_OnDrawItem popup_OnGetPopupItemData popup_OnGetMenuExtraLineData "
         "popup_OnGetPopupItemData_in_its_window popup_OnGetMenuExtraLineData_in_its_window "
         "popup_OnGetPopupItemData_drawn_off_screen",
         [](TRun &R) {
             Painter().SetMenuOwnerDraw(R.Popup.Get(), true);
             R.FreeAdapter = [] { DefaultManager()->SetActive(false); };
         },
         false, false, true},
        {"Form", Served, MakeForm, "", [](TRun &R) { ServeForm(R, false); }, true},
        {"BorderedForm", Served, MakeForm, "", [](TRun &R) { ServeForm(R, true); }, true, true},
    };
    return kinds;
}

// ------------------------------------------------------------ the actions

std::vector<TAction> AdapterActions() {
    return {
        {"paint", [](TRun &R) { RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW); }},
        {"print",
         [](TRun &R) {
             // As the form pictures take it; a bare window is printed.
             vcl::TBitmap picture;
             picture.SetSize(220, 140);
             if (R.Control)
                 PaintControlToBitmap(picture, R.Control, 0, 0, nullptr);
             else
                 SendMessageW(R.Window, WM_PRINT, reinterpret_cast<WPARAM>(picture.Canvas()->Handle()),
                              PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
         }},
        // With the skin off, as the class library paints a control's labels.
        {"paint_unskinned",
         [](TRun &R) {
             DefaultManager()->SetActive(false);
             if (R.LiveWindow()) Redraw(R);
         }},
        {"focus",
         [](TRun &R) {
             SetFocus(R.Window);
             SetFocus(R.Form->Handle());
         }},
        {"size", [](TRun &R) { SetWindowPos(R.Window, nullptr, 0, 0, 150, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }},
        {"font", [](TRun &R) { R.Control->Font()->SetSize(R.Control->Font()->Size() + 2); }},
        {"colour", [](TRun &R) { R.Control->SetColor(0x2060A0); }},
        {"skin", [](TRun &R) { DefaultManager()->UpdateSkin(true); }},
        {"removal", [](TRun &R) { DefaultManager()->SetActive(false); }},
        // The application makes its window sizeable and gives it the system
        // menu, which a skin that draws the buttons takes back at once.
        {"style",
         [](TRun &R) {
             const LONG_PTR style = GetWindowLongPtrW(R.Window, GWL_STYLE);
             SetWindowLongPtrW(R.Window, GWL_STYLE, style | WS_THICKFRAME | WS_SYSMENU);
         }},
        // The skin's scroll bars change size: every control's frame is
        // calculated again, then its children's.
        {"barsize",
         [](TRun &R) {
             TvlScrollBarsSupport *bars = DefaultManager()->ScrollsOptions();
             const int size = bars->ScrollSize();
             R.Keep.push_back(std::shared_ptr<void>(nullptr, [bars, size](void *) { bars->SetScrollSize(size); }));
             bars->SetScrollSize(size + 4);
         }},
        // The application renames the control.
        {"text",
         [](TRun &R) {
             if (R.Control)
                 R.Control->SetText("Renamed");
             else
                 SetWindowTextW(R.Window, L"Renamed");
         }},
        {"hover",
         [](TRun &R) {
             // With the fades on: the new look is painted, children and all,
             // for the fade.
             RECT r{};
             GetWindowRect(R.Window, &r);
             SetCursorPos(r.left + 4, r.top + 4);
             DefaultManager()->Effects()->AllowAnimation = true;
             SendSkinCommand(R.Window, SC_MOUSE_ENTERED, 0);
             DefaultManager()->Effects()->AllowAnimation = false;
             ParkCursor();
         }},
        // Down, then back up: each direction's own code.
        {"line",
         [](TRun &R) {
             for (int part : {spSecondArrow, spFirstArrow}) {
                 Press(R, part);
                 Release(R);
             }
         }},
        {"page",
         [](TRun &R) {
             for (int part : {spTrackAfter, spTrackBefore}) {
                 Press(R, part);
                 Release(R);
             }
         }},
        {"thumb",
         [](TRun &R) {
             Press(R, spThumb);
             if (const HWND w = R.LiveWindow()) {
                 POINT p = BarPart(R, spTrackAfter);
                 ScreenToClient(w, &p);
                 SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y + 20));
             }
             Release(R);
         }},
        {"cancel",
         [](TRun &R) {
             Press(R, spSecondArrow);
             if (const HWND w = R.LiveWindow()) SendMessageW(w, WM_CANCELMODE, 0, 0);
         }},
        {"capture",
         [](TRun &R) {
             Press(R, spSecondArrow);
             SetCapture(R.Form->Handle());
             ReleaseCapture();
         }},
        {"destroy",
         [](TRun &R) {
             Press(R, spSecondArrow);
             if (R.Control && R.Victim == TVictim::Adapter)
                 R.FreeControl();
             else if (const HWND w = R.LiveWindow())
                 DestroyWindow(w);
         }},
        {"drop",
         [](TRun &R) {
             SendMessageW(R.Window, CB_SHOWDROPDOWN, TRUE, 0);
             if (const HWND w = R.LiveWindow()) SendMessageW(w, CB_SHOWDROPDOWN, FALSE, 0);
         }},
        // The parent's update ends while the control's paint is locked: the
        // control paints, then tells its children.
        {"updatedone",
         [](TRun &R) {
             SendMessageW(R.Window, SM_SKINCOMMAND, SkinCommand(SC_SET_UPDATING, 1), 0);
             if (const HWND w = R.LiveWindow()) SendSkinCommand(w, SC_PARENT_UPDATE_DONE, 0);
         }},
        // The form shows again: its controls hear that they show.
        {"showing",
         [](TRun &R) {
             R.Form->Hide();
             R.Form->Show();
         }},
        // A click on the control's first arrow; the release waits in the
        // queue for the system's tracking loop.
        {"press",
         [](TRun &R) {
             PostMessageW(R.Window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
             SendMessageW(R.Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
         }},
        {"position", [](TRun &R) { static_cast<vcl::TScrollBar *>(R.Control)->SetPosition(70); }},
        {"pass",
         [](TRun &R) {
             // The mouse comes over the control and goes, as the class
             // library sees it.
             POINT p{R.Control->Left() + R.Control->Width() / 2, R.Control->Top() + R.Control->Height() / 2};
             ClientToScreen(R.Control->Parent()->Handle(), &p);
             SetCursorPos(p.x, p.y);
             vcl::Application->UpdateMouseControl();
             ParkCursor();
             vcl::Application->UpdateMouseControl();
         }},
        {"select", [](TRun &R) { SendMessageW(R.Window, TCM_SETCURSEL, 1, 0); }},
        {"tile", [](TRun &R) { SendMessageW(R.Window, WM_MDITILE, MDITILE_VERTICAL, 0); }},
        {"show",
         [](TRun &R) {
             // Hidden at once, then shown with the skin's show animation,
             // which takes the dialog's picture, children and all.
             ShowWindow(R.Window, SW_HIDE);
             if (!R.LiveWindow()) return;
             TsSkinManager *m = DefaultManager();
             m->Effects()->AllowAnimation = true;
             const std::uint16_t time = std::exchange(m->AnimEffects()->DialogShow->Time, 20);
             ShowWindow(R.Window, SW_SHOW);
             m->AnimEffects()->DialogShow->Time = time;
             m->Effects()->AllowAnimation = false;
         }},
        {"move",
         [](TRun &R) {
             // The user drags the caption, the skin's blended move on: the
             // dialog turns layered while it travels.
             TsSkinManager *m = DefaultManager();
             m->AnimEffects()->BlendOnMoving->Active = true;
             m->AnimEffects()->BlendOnMoving->BlendValue = 150;
             R.Keep.push_back(
                 std::shared_ptr<void>(nullptr, [m](void *) { m->AnimEffects()->BlendOnMoving->Active = false; }));
             Settle();
             RECT w{};
             GetWindowRect(R.Window, &w);
             POINT grip{(w.left + w.right) / 2, w.top + 6};
             // Over the caption: the dialog's own, or the border window's, which takes the press there.
             const auto caption = [&] {
                 const HWND at = WindowFromPoint(grip);
                 return at != R.Window || SendMessageW(at, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)) == HTCAPTION;
             };
             while (grip.y < w.top + 40 && !caption()) ++grip.y;
             uitest::DragWithMouse(grip, 60, 30);
             ParkCursor();
             // Whoever went on the way, a dialog left is opaque.
             if (const HWND d = R.LiveWindow()) {
                 EXPECT_FALSE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_LAYERED)
                     << "the dialog is left layered, freed after message " << R.FireAt;
             }
         }},
        {"menu",
         [](TRun &R) {
             // The application gives the parent its menu bar.
             auto *menu = vcl::Create<vcl::TMainMenu>(R.Control);
             auto *item = vcl::Create<vcl::TMenuItem>(menu);
             item->SetCaption("File");
             menu->Items()->Add(item);
             static_cast<vcl::TForm *>(R.Control)->SetMenu(menu);
         }},
        {"formsize",
         [](TRun &R) {
             SetWindowPos(static_cast<vcl::TWinControl *>(R.Control)->Handle(), nullptr, 0, 0, 460, 330,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         }},
    };
}

} // namespace skin::freed
