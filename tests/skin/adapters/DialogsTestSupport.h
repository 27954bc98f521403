#pragma once
// What the tests of skinned system dialogs share: a skin whose dialog
// frame, title bands and title glyphs have flat colours of their own (so
// that a pixel tells what painted it), the modules of the hook, dialogs of
// our own made from an in-memory template, a watcher that inspects the
// system's modal dialogs from inside their loops, and the pictures kept in
// the artifacts. Windows only.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../forms/CaptionTestSupport.h"
#include "AdaptersTestSupport.h"
#include "skin/adapters/vlDialogWnd.h"
#include "skin/adapters/vlDials.h"
#include "skin/manager/sMessages.h"
#include "vcl/WideText.h"

namespace skin::test {

inline constexpr vcl::TColor DialogBorder = 0x3050A0;  // the DIALOG border mask's ring
inline constexpr vcl::TColor DialogFace = 0xF0E4D8;    // DIALOG's colour: the client face
inline constexpr vcl::TColor DialogTitle = 0x6080A0;   // DIALOGTITLE: fixed frames
inline constexpr vcl::TColor FormTitle = 0x80A060;     // FORMTITLE: sizeable ones
inline constexpr vcl::TColor InactiveTitle = 0x707070; // both title sections, inactive

// The caption glyphs of the caption skin, and DIALOG's border mask at x 112:
// a ring of 3 pixels with key-colour triangles of 3, 2 and 1 pixels in the
// corners (as the frame skin's).
inline Bytes DialogMaster() {
    return Bmp24(150, 60, [](int x, int y) -> vcl::TColor {
        if (x >= 112 && x < 142 && y < 30) {
            const int mx = x - 112, dx = mx < 15 ? mx : 29 - mx, dy = y < 15 ? y : 29 - y;
            if (dx + dy < 3) return Fuchsia;
            return DialogBorder;
        }
        if (x >= 110) return 0x909090;
        const StateColors *row[] = {&CloseColors, &MaxColors, &MinColors, &NormColors};
        if (x < 45) return (*row[y / 15])[x / 15];
        if (y >= 15 && y < 30 && x < 90) return HelpColors[(x - 45) / 15];
        return 0x909090;
    });
}

inline std::string DialogSkinOptions() {
    return "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xF0E4D8\r\nFONTCOLOR=0x202020\r\n"
           "BICONCLOSE=@0000,0000,0045,0015,3,0\r\nBICONMAX=@0000,0015,0045,0030,3,0\r\n"
           "BICONMIN=@0000,0030,0045,0045,3,0\r\nBICONNORM=@0000,0045,0045,0060,3,0\r\n"
           "BICONHELP=@0045,0015,0090,0030,3,0\r\nBICONCLOSEGLOW=3\r\n"
           "[DIALOG]\r\nCOLOR=0xF0E4D8\r\nHOTCOLOR=0xF0E4D8\r\nBORDERSMASK=^0112,0000,0142,0030,0003,0003,0003,0003,1,0,0,3\r\n"
           "[DIALOGTITLE]\r\nCOLOR=0x707070\r\nHOTCOLOR=0x6080A0\r\nFONTCOLOR=0xFFFFFF\r\nHOTFONTCOLOR=0xFFFFFF\r\n"
           "[FORMTITLE]\r\nCOLOR=0x707070\r\nHOTCOLOR=0x80A060\r\nFONTCOLOR=0xFFFFFF\r\nHOTFONTCOLOR=0xFFFFFF\r\n"
           "[FORM]\r\nCOLOR=0xF0E4D8\r\n"
           "[BUTTON]\r\nCOLOR=0x204080\r\nFONTCOLOR=0xF0F0F0\r\n"
           "[EDIT]\r\nCOLOR=0xFFFFFF\r\nFONTCOLOR=0x000000\r\n";
}

inline ManagerPtr DialogSkinManager() {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = DialogSkinOptions();
    skin.Files = {{"MASTER.BMP", DialogMaster()}};
    AddStoredSkin(*m, "Dialogs", skin.Packed());
    m->SetSkinName("Dialogs");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

struct DialogModules : AdapterModules {
    DialogModules() { InitializeDialsModule(); }
    ~DialogModules() { FinalizeDialsModule(); }
};

struct DialogsFixture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<DialogModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<DialogModules> Modules;
    void TearDown() override {
        // Releases still posted are taken.
        uitest::PumpUntil([] { return false; }, std::chrono::milliseconds(30));
    }

    ManagerPtr Manager = DialogSkinManager();
};

// The arguments of an Open (or Save) dialog in the explorer style with an
// empty file name; pass Ofn. Not copied: Ofn points into it.
struct OpenFileArgs {
    OpenFileArgs() {
        Ofn.lStructSize = sizeof Ofn;
        Ofn.lpstrFile = File;
        Ofn.nMaxFile = MAX_PATH;
        Ofn.Flags = OFN_EXPLORER;
    }
    OpenFileArgs(const OpenFileArgs &) = delete;
    OpenFileArgs &operator=(const OpenFileArgs &) = delete;
    wchar_t File[MAX_PATH] = L"";
    OPENFILENAMEW Ofn{};
};

// ------------------------------------------------------------- lookups

// The dialog providers listed (those of forms left out).
inline int DialogProviderCount() {
    int n = 0;
    ForEachHookedProvider([&](TvlProvider &P) { n += P.DialogAdapter() != nullptr; });
    return n;
}
inline TvlDialogWnd *DialogAdapterOf(HWND Window) {
    TvlProvider *p = FindDialogProvider(Window);
    return p ? p->DialogAdapter() : nullptr;
}
inline bool Served(HWND Window) { return SendSkinQuery(Window, SC_IS_HANDLED); }
inline bool LiveSysMenu(HWND Window) { return (GetWindowLongPtrW(Window, GWL_STYLE) & WS_SYSMENU) != 0; }
// A pixel of the window as its own DC shows it.
inline vcl::TColor FramePixel(HWND Window, int X, int Y) { return ScreenPixel(Window, {X, Y}); }

// The visible "#32770" windows of this process.
inline std::vector<HWND> VisibleDialogs() {
    std::vector<HWND> shown;
    for (HWND w : uitest::TopLevelWindows("#32770", GetCurrentProcessId()))
        if (IsWindowVisible(w)) shown.push_back(w);
    return shown;
}

inline void KeepPicture(HWND Window, const std::string &Name) {
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), uitest::CaptureWindow(Window));
}

// What one look at a shown system dialog found.
struct DialogLook {
    HWND Window = nullptr;
    bool Served = false;
    bool SysMenuLive = true;
    int Providers = 0;
    vcl::TColor Border = 0, Caption = 0;  // the left border's middle, the caption left of the buttons
    vcl::TColor CacheBorder = 1, CacheCaption = 1;  // the same pixels of the adapter's cache
};

inline DialogLook LookAt(HWND Window) {
    DialogLook look;
    look.Window = Window;
    look.Served = Served(Window);
    look.SysMenuLive = LiveSysMenu(Window);
    look.Providers = DialogProviderCount();
    RECT r{};
    GetWindowRect(Window, &r);
    TvlDialogWnd *a = DialogAdapterOf(Window);
    const int h = r.bottom - r.top;
    const int captionY = a ? a->FrameTopHeight() - 3 : 10;
    int captionX = (r.right - r.left) / 2;
    if (a) {
        for (const TvlDialogButton &b : a->Buttons)
            if (!b.Rect.IsEmpty()) captionX = std::min(captionX, static_cast<int>(b.Rect.Left) - 3);
    }
    look.Border = FramePixel(Window, 1, h / 2);
    look.Caption = FramePixel(Window, captionX, captionY);
    if (a && a->SkinData && a->SkinData->CacheBmp() && !a->SkinData->CacheBmp()->Empty()) {
        const vcl::TBitmapView v = a->SkinData->CacheBmp()->View();
        const auto colour = [&](int x, int y) {
            const std::uint32_t p = v.At(x, y);
            return static_cast<vcl::TColor>((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
        };
        look.CacheBorder = colour(1, h / 2);
        look.CacheCaption = colour(captionX, captionY);
    }
    return look;
}

// Runs Show (which calls a system dialog function and returns when it
// closes) while a timer inside its modal loop calls Inspect once for each
// dialog window that has been visible for Wait, then posts it IDCANCEL.
class DialogVisitor {
public:
    using TInspect = std::function<void(HWND Window)>;
    // Close: how a dialog is ended once CloseAfter passed since its look
    // (IDCANCEL by default).
    DialogVisitor(TInspect Inspect, DWORD WaitMs = 300, DWORD CloseAfter = 0,
                  std::function<void(HWND)> Close = nullptr)
        : FInspect(std::move(Inspect)), FWait(WaitMs), FCloseAfter(CloseAfter), FClose(std::move(Close)) {}
    void Run(const std::function<void()> &Show) {
        Current() = this;
        const UINT_PTR id = SetTimer(nullptr, 0, 20, Tick);
        Show();
        KillTimer(nullptr, id);
        Current() = nullptr;
    }
    int Visited() const { return static_cast<int>(FDone.size()); }

private:
    static DialogVisitor *&Current() {
        static DialogVisitor *current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogVisitor *v = Current();
        if (!v || v->FBusy) return;
        v->FBusy = true;
        const std::vector<HWND> shown = VisibleDialogs();
        // The newest (an owned box over its owner) first.
        for (HWND w : shown) {
            if (GetWindow(w, GW_ENABLEDPOPUP) && GetWindow(w, GW_ENABLEDPOPUP) != w) continue;
            if (!IsWindowEnabled(w)) continue;
            auto &since = v->FSeen[w];
            if (since == 0) since = GetTickCount();
            if (GetTickCount() - since < v->FWait) continue;
            if (!v->FDone.count(w)) {
                v->FDone[w] = GetTickCount();
                if (v->FInspect) v->FInspect(w);
            }
            if (GetTickCount() - v->FDone[w] >= v->FCloseAfter) {
                if (v->FClose)
                    v->FClose(w);
                else
                    PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
            }
            break;
        }
        v->FBusy = false;
    }
    TInspect FInspect;
    DWORD FWait;
    DWORD FCloseAfter;
    std::function<void(HWND)> FClose;
    bool FBusy = false;
    std::map<HWND, DWORD> FSeen;
    std::map<HWND, DWORD> FDone;  // when each was looked at
};

// --------------------------------------------------- dialogs of our own

// An in-memory dialog template: the dialog and its items, no font.
class DialogTemplate {
public:
    DialogTemplate(DWORD Style, int W, int H, const wchar_t *Title, DWORD ExStyle = 0) {
        Word(LOWORD(Style)), Word(HIWORD(Style)), Word(LOWORD(ExStyle)), Word(HIWORD(ExStyle));
        Word(0);  // item count, patched
        Word(10), Word(10), Word(static_cast<WORD>(W)), Word(static_cast<WORD>(H));
        Word(0), Word(0);  // no menu, the default class
        Text(Title);
    }
    // An item of a class given by name.
    DialogTemplate &Item(const wchar_t *Class, const wchar_t *Text, WORD Id, DWORD Style, int X, int Y, int W, int H,
                         bool Visible = true) {
        while (FWords.size() % 2) Word(0);  // DWORD aligned
        const DWORD style = Style | WS_CHILD | (Visible ? WS_VISIBLE : 0);
        Word(LOWORD(style)), Word(HIWORD(style)), Word(0), Word(0);
        Word(static_cast<WORD>(X)), Word(static_cast<WORD>(Y)), Word(static_cast<WORD>(W)), Word(static_cast<WORD>(H));
        Word(Id);
        this->Text(Class);
        this->Text(Text);
        Word(0);  // no creation data
        ++FWords[4];
        return *this;
    }
    const DLGTEMPLATE *Get() const { return reinterpret_cast<const DLGTEMPLATE *>(FWords.data()); }

private:
    void Word(WORD W) { FWords.push_back(W); }
    void Text(const wchar_t *T) {
        for (; *T; ++T) Word(*T);
        Word(0);
    }
    std::vector<WORD> FWords;
};

// What the dialog procedure of our own dialogs saw and does.
struct OwnDialogState {
    static inline int SysCloses = 0;       // WM_SYSCOMMAND SC_CLOSE heard
    static inline bool RefuseClose = true; // SC_CLOSE handled here: the dialog stays
    static inline bool KeepsRegion = false;
};
inline INT_PTR CALLBACK OwnDialogProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM) {
    switch (Msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_SYSCOMMAND:
        if ((WParam & 0xFFF0) == SC_CLOSE) {
            ++OwnDialogState::SysCloses;
            return OwnDialogState::RefuseClose;
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(WParam) == IDCANCEL || LOWORD(WParam) == IDOK) DestroyWindow(Window);
        return TRUE;
    case WM_REGION_PROBE:
        if (WParam == RegionProbeKey && OwnDialogState::KeepsRegion) {
            SetWindowLongPtrW(Window, DWLP_MSGRESULT, static_cast<LONG_PTR>(RegionProbeKey));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

// A modeless dialog of our own, shown; destroyed with this object.
struct OwnDialog {
    HWND Window = nullptr;
    explicit OwnDialog(const DialogTemplate &T, HWND Parent = nullptr, bool Show = true) {
        OwnDialogState::SysCloses = 0;
        Window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), T.Get(), Parent, OwnDialogProc, 0);
        if (Window && Show) {
            ShowWindow(Window, SW_SHOW);
            uitest::ActivateAndWait(Window, std::chrono::milliseconds(1000));
            Settle();
        }
    }
    ~OwnDialog() {
        if (Window && IsWindow(Window)) DestroyWindow(Window);
        uitest::PumpUntil([] { return false; }, std::chrono::milliseconds(20));
    }
    OwnDialog(const OwnDialog &) = delete;
    OwnDialog &operator=(const OwnDialog &) = delete;
    TvlDialogWnd *Adapter() const { return DialogAdapterOf(Window); }
};

inline DialogTemplate FixedDialog(const wchar_t *Title = L"Vlastni") {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 180, 90, Title);
    t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 20, 60, 50, 14);
    return t;
}
inline DialogTemplate SizeableDialog() {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, 180, 90,
                     L"Velky");
    t.Item(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 20, 60, 50, 14);
    return t;
}

} // namespace skin::test
