#pragma once
// What the form provider's tests share: the module started once, a manager
// with a small skin that has the "FORM" section, a form made in code with a
// provider, and a watcher put in front of the form's own procedure (so
// that the provider's SavedWndProc is the watcher) that records what
// reaches the form. Windows only.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "../manager/SkinnedTestSupport.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sCommonData.h"

namespace skin::test {

// The form and manager modules, for a test suite's whole run.
struct FormsModules {
    FormsModules() {
        InitializeSkinManagerModule();
        InitializeFormsModule();
    }
    ~FormsModules() {
        FinalizeFormsModule();
        FinalizeSkinManagerModule();
    }
};

// A manager with the test skin "T" (GLOBALINFO, FORM with a border mask, ...) applied.
inline ManagerPtr FormSkinManager() {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "T", TestSkin().Packed());
    m->SetSkinName("T");
    return m;
}

// The base of the provider's test suites: the modules for the suite's run,
// and a manager with the test skin for each test.
struct FormsFixture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;

    ManagerPtr Manager = FormSkinManager();
};

// Records the messages that reach the form's own procedure.
class FormWatcher {
public:
    explicit FormWatcher(vcl::TControl *Control) : FControl(Control), FPrevious(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&FormWatcher::Handle>(this);
    }
    ~FormWatcher() {
        if (FControl->WindowProc == vcl::TWndMethod::Bind<&FormWatcher::Handle>(this)) FControl->WindowProc = FPrevious;
    }
    FormWatcher(const FormWatcher &) = delete;
    FormWatcher &operator=(const FormWatcher &) = delete;

    // The form's own procedure, as it was before the watcher.
    vcl::TWndMethod Previous() const { return FPrevious; }
    bool Saw(UINT Msg) const { return std::find(Seen.begin(), Seen.end(), Msg) != Seen.end(); }
    std::vector<UINT> Seen;
    // The form was being destroyed when WM_NCDESTROY came.
    bool NCDestroyWhileDestroying = false;
    // Called with each message before the form's own procedure.
    std::function<void(const vcl::TMessage &)> Before;

private:
    void Handle(vcl::TMessage &M) {
        Seen.push_back(M.Msg);
        if (Before) Before(M);
        if (M.Msg == WM_NCDESTROY)
            NCDestroyWhileDestroying = FControl->ComponentState().Contains(vcl::csDestroying);
        FPrevious(M);
    }
    vcl::TControl *FControl;
    vcl::TWndMethod FPrevious;
};

// A message run through the form's procedure at once, with its answer.
inline vcl::TMessage Through(vcl::TControl *Control, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0,
                             LRESULT Result = 0) {
    vcl::TMessage m{Msg, WParam, LParam, Result};
    Control->WindowProc(m);
    return m;
}

inline LRESULT Command(vcl::TControl *Control, unsigned SubCommand, LPARAM LParam = 0, unsigned Flag = 0) {
    return Control->Perform(SM_SKINCOMMAND, SkinCommand(SubCommand, Flag), LParam);
}

} // namespace skin::test
