// The run of a row of the table (FreedByApplication.h): the control made
// and served, the dry run, and the runs that free after each kind of
// message the dry run saw.
#include "FreedByApplication.h"

namespace skin::freed {
namespace {

// The table's actions: the adapters', the menus', the forms'.
const std::vector<TAction> &Actions() {
    static const std::vector<TAction> actions = [] {
        std::vector<TAction> all = AdapterActions();
        for (std::vector<TAction> part : {MenuActions(), FormActions()})
            for (TAction &a : part) all.push_back(std::move(a));
        return all;
    }();
    return actions;
}

// The rows whose form's section looks through (the Through manager's).
bool LooksThrough(const std::string &Action) { return Action.find("looking through") != std::string::npos; }

const TAction &ActionNamed(const std::string &Name) {
    for (const TAction &a : Actions())
        if (Name == a.Name) return a;
    throw std::runtime_error("no action " + Name);
}

// The sections the kinds take, in plain colours, two states each.
std::string LightSections() {
    std::string options;
    for (const char *name : {"CHECKBOX", "RADIOBUTTON", "COMBOBOX", "GROUPBOX", "PANEL", "PANEL_LOW", "TRANSPARENT",
                             "TOOLBAR", "STATUSBAR", "TABCONTROL", "PAGECONTROL", "SPEEDBUTTON", "SCROLLBAR1H",
                             "MAINMENU", "MENUITEM"})
        options += std::string("[") + name +
                   "]\r\nSTATES=2\r\nCOLOR=0x406080\r\nFONTCOLOR=0x102030\r\nHOTCOLOR=0x508090\r\n"
                   "HOTFONTCOLOR=0x203040\r\n";
    // Half see-through: what lies behind it is built from its parent's.
    options += "[HALFCLEAR]\r\nSTATES=1\r\nCOLOR=0x406080\r\nTRANSPARENCY=50\r\n";
    return options;
}

// ---------------------------------------------------------------- the rows

struct TRow {
    const TKind *Kind;
    std::string Action;
};

std::vector<TRow> Rows() {
    std::vector<TRow> rows;
    for (const TKind &k : Kinds()) {
        if (k.Framed) {
            for (const TAction &a : Actions())
                if (a.OwnTrap && a.OfForms && (k.Bordered || !a.BorderOnly)) rows.push_back({&k, a.Name});
            continue;
        }
        std::string names = k.Actions;
        for (std::size_t at = 0; at < names.size();) {
            const std::size_t end = std::min(names.find(' ', at), names.size());
            rows.push_back({&k, names.substr(at, end - at)});
            at = end + 1;
        }
    }
    return rows;
}

std::string RowName(const ::testing::TestParamInfo<TRow> &Info) {
    std::string name = std::string(Info.param.Kind->Name) + "_" + Info.param.Action;
    for (char &ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

class FreedByApplication : public ::testing::TestWithParam<TRow> {
protected:
    // The stored skin, read once; a removal is undone after each run, and a
    // skin of plain colours reads again in no time.
    static void SetUpTestSuite() {
        Modules = std::make_unique<AdapterModules>();
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                   ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        Stored = NewManager();
        AddStoredSkin(*Stored, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
        Stored->SetSkinName("Beryllo (internal)");
        Light = NewManager();
        TestSkin light;
        light.Options += LightSections();
        AddStoredSkin(*Light, "Light", light.Packed());
        Light->SetSkinName("Light");
        for (TsSkinManager *m : {Stored.get(), Light.get()}) {
            m->Effects()->AllowAnimation = false;
            m->Effects()->AllowGlowing = false;
        }
        Framed = NewManager();
        AddStoredSkin(*Framed, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
        Framed->SetSkinName("Beryllo (internal)");
        // The same skin whose form section, a plain colour in a mere outline,
        // looks through to what lies behind: its client background is painted
        // as the form is erased, graphic children and all.
        ThroughDir = std::make_unique<vcl::test::TempFolder>();
        WriteStoredSkinCopy(*ThroughDir, "Through",
                            {{"BORDERSMASK=^0420,0048,0452,0080,0006,0006,0006,0006,2,1,0,0",
                              "BORDERSMASK=^0420,0048,0452,0080,0006,0006,0006,0006,2,0,0,0"}});
        Through = NewManager();
        Through->SetSkinDirectory(ThroughDir->Path());
        Through->SetSkinName("Through");
        for (TsSkinManager *m : {Framed.get(), Through.get()}) {
            m->SetExtendedBorders(true);
            m->AnimEffects()->FormShow->Time = 20;
            m->AnimEffects()->FormHide->Time = 20;
            m->AnimEffects()->SkinChanging->Time = 20;
        }
    }
    static void TearDownTestSuite() {
        Stored.reset();
        Light.reset();
        Framed.reset();
        Through.reset();
        ThroughDir.reset();
        Modules.reset();
    }
    static inline std::unique_ptr<AdapterModules> Modules;
    static inline ManagerPtr Stored, Light, Framed, Through;
    static inline std::unique_ptr<vcl::test::TempFolder> ThroughDir;

    FreedByApplication()
        : Manager(GetParam().Kind->Framed || GetParam().Kind->Bordered ? (LooksThrough(GetParam().Action) ? Through.get() : Framed.get())
                  : GetParam().Action == "removal" || GetParam().Action.ends_with("_unskinned") || GetParam().Kind->Light ||
                            GetParam().Action.starts_with("bgquery")  // the owner-drawn host's tabs are the skin's in plain colours
                      ? Light.get()
                      : Stored.get()) {
        Manager->SetIsDefault(true);
        Form.Show();
    }

    // A fresh control with its adapter and the procedure below it.
    void Make(TRun &R) {
        R.Form = Form.Form;
        const TKind &kind = *GetParam().Kind;
        if (GetParam().Action.starts_with("bgquery")) MakeHost(R);
        kind.Make(R);
        if (!R.Trapped) R.Trapped = R.Control;
        if (auto *windowed = R.Windowed()) R.Window = windowed->Handle();
        if (R.Trapped) {
            R.Next = R.Trapped->WindowProc;
            R.Trapped->WindowProc = vcl::TWndMethod::Bind<&TRun::ControlProc>(&R);
        } else {
            R.NextProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(R.TrapWindow ? R.TrapWindow : R.Window,
                                                                     GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareProc)));
        }
        if (kind.Serve) {
            kind.Serve(R);
        } else if (kind.Factory == DialogChild) {
            TChildHost host(R);
            CreateDialogChildAdapters(host, R.Window);
        } else if (R.Control && !R.Windowed()) {
            R.Handler = AdapterFactory().CreateGraphicHandler(kind.Factory, R.Control, ParamsFor(R.Control),
                                                              Manager);
            R.Window = R.Control->Parent()->Handle();  // a window-less control paints in its parent's
        } else {
            R.Adapter = AdapterFactory().CreateAdapter(kind.Factory, R.Window, ParamsFor(R.Control), Manager);
        }
        ASSERT_TRUE(R.Adapter || R.Handler || R.Server || R.FreeAdapter) << kind.Name;
        RedrawWindow(R.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }

    // An owner-drawn tab control over the form, skinned, for the control to sit on.
    void MakeHost(TRun &R) {
        auto *tabs = vcl::Create<vcl::TTabControl>(R.Form);
        tabs->SetBounds(0, 0, 360, 240);
        tabs->SetOwnerDraw(true);
        tabs->Tabs()->Add("One");
        tabs->Tabs()->Add("Two");
        tabs->SetParent(R.Form);
        std::shared_ptr<TvlWindowAdapter> adapter =
            AdapterFactory().CreateAdapter(tpTabControl, tabs->Handle(), ParamsFor(tabs), Manager);
        R.HostAdapter = dynamic_cast<TvlMainWnd *>(adapter.get());
        ASSERT_TRUE(R.HostAdapter);
        R.Host = tabs;
        R.HostNext = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(tabs->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostProc)));
        // The adapter goes before its control, both after the control on it.
        R.Keep.push_back(std::shared_ptr<void>(nullptr, [adapter, tabs, next = R.HostNext](void *) mutable {
            SetWindowLongPtrW(tabs->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
            adapter.reset();
            delete tabs;
        }));
    }

    // What is left freed, the skin back.
    void Clear(TRun &R) {
        ReleaseCapture();
        Painter().OnDrawItem = {};
        DefaultManager()->OnGetPopupItemData = {};
        DefaultManager()->OnGetMenuExtraLineData = {};
        delete R.Popup.Get();
        R.FreeServer();
        delete std::exchange(R.OtherP, nullptr);
        if (R.Trapped) R.Trapped->WindowProc = R.Next;
        if (R.Trapped != R.Control) delete R.Trapped;
        delete R.Sibling.Get();
        if (R.Control)
            delete R.Control;
        else if (R.LiveWindow() && R.Window != R.Form->Handle())
            DestroyWindow(R.Window);
        if (!Manager->Active()) Manager->SetActive(true);
    }

    // The action with the victim freed after message FireAt (-1: none);
    // the kinds of message that passed below the adapter.
    std::vector<std::uint32_t> Run(TVictim Victim, int FireAt, const std::vector<std::uint32_t> &Seen = {},
                                   bool KeepContents = false) {
        TRun run;
        Current = &run;
        run.Victim = Victim;
        run.FireAt = FireAt;
        Make(run);
        const TAction &action = ActionNamed(GetParam().Action);
        if (action.OwnTrap) {
            run.OwnTrap = true;
            run.TrapAt = action.TrapAt;
            if (action.Prepare) action.Prepare(run);
            Settle();
        }
        const void *adapter = run.Adapter ? static_cast<const void *>(run.Adapter.get())
                              : run.Handler ? static_cast<const void *>(run.Handler.get())
                                            : static_cast<const void *>(run.Server);
        const vcl::TControl *control = run.Control;
        const vcl::TComponent *sibling = run.Sibling.Get();
        static const char *const names[] = {"adapter", "control", "sibling"};
        char after[48] = "";
        if (FireAt >= 0 && FireAt < static_cast<int>(Seen.size()))
            std::snprintf(after, sizeof after, " freed after message %d (0x%08X)", FireAt, Seen[FireAt]);
        const std::string what =
            names[static_cast<int>(Victim)] + std::string(after) + (KeepContents ? ", its contents kept" : "");
        {
            const TFreedMemoryMark mark(KeepContents);
            run.Armed = true;
            action.Drive(run);
            if (action.OwnTrap) Settle();
            if (action.Done && run.Control) action.Done(run);
            run.Armed = false;
            // A later message to the window, the time for what was posted,
            // and the adapter's end where the application left it.
            if (const HWND w = run.LiveWindow()) {
                RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                SendMessageW(w, WM_NCPAINT, 1, 0);
                SendSkinCommand(w, SC_REPAINT, 0);
            }
            vcl::Application->ProcessMessages();
            run.FreeServer();
            if (FireAt >= 0) {
                EXPECT_TRUE(run.Fired) << what;
                const void *victims[] = {adapter, control, sibling};
                if (const void *victim = victims[static_cast<int>(Victim)]) {
                    EXPECT_TRUE(mark.Untouched(victim)) << what;
                }
            }
            EXPECT_TRUE(mark.AllUntouched()) << what;
            EXPECT_EQ(mark.Faults(), 0) << what << " at " << mark.FirstFaultAddress();
        }
        Clear(run);
        Current = nullptr;
        HasSibling = sibling != nullptr;
        TrapInChildWindow = run.TrapWindow != nullptr;
        return run.Seen;
    }

    TsSkinManager *Manager;  // Stored or Light
    TestForm Form;
    bool HasSibling = false;
    bool TrapInChildWindow = false;
};

TEST_P(FreedByApplication, NothingTouchesWhatTheApplicationFreed) {
    // A row with its own trap: the provider goes there, and the form.
    if (const TAction &action = ActionNamed(GetParam().Action); action.OwnTrap) {
        for (TVictim victim : {TVictim::Adapter, TVictim::Control, TVictim::Sibling}) {
            if (victim == TVictim::Control && !action.FormToo) continue;
            if (victim == TVictim::Sibling && !HasSibling) continue;
            for (bool keep : {false, true}) {
                if (keep && victim == TVictim::Adapter) continue;
                Run(victim, 0, {}, keep);
                if (HasFailure()) return;
            }
        }
        return;
    }
    const std::vector<std::uint32_t> seen = Run(TVictim::Adapter, -1);
    if (seen.empty()) GTEST_SKIP() << "no application code runs";
    std::set<std::uint32_t> tried;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (!tried.insert(seen[i]).second) continue;
        for (TVictim victim : {TVictim::Adapter, TVictim::Control, TVictim::Sibling}) {
            if (victim == TVictim::Sibling && !HasSibling) continue;
            if (victim != TVictim::Adapter && (seen[i] & TRun::Nested)) continue;
            // The class library's controls outlive their windows: the window's
            // last message is no place to free one.
            if (victim == TVictim::Control && seen[i] >> 16 == WM_NCDESTROY) continue;
            // Nor does the system's own dialog code outlive its dialog
            // destroyed from a child's focus message (the process heap is
            // left broken, skin or none).
            if (victim == TVictim::Control && TrapInChildWindow && seen[i] >> 16 == WM_SETFOCUS) continue;
            // Marked, a stale pointer faults; a control kept as it was shows
            // a stale value that leads to a write by the write.
            for (bool keep : {false, true}) {
                if (keep && victim == TVictim::Adapter) continue;
                Run(victim, static_cast<int>(i), seen, keep);
                if (HasFailure()) return;  // one place at a time
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Adapters, FreedByApplication, ::testing::ValuesIn(Rows()), RowName);

} // namespace
} // namespace skin::freed
