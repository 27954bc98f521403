// The life of a program: the first form created is the main form, Run shows
// it and pumps until it is closed, and the forms go, the last created first.
// One process for this test alone: Run ends with the application terminated.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace vcl {
namespace {

std::vector<std::string> Log;

class TMainForm : public TForm {
    VCL_CLASS(TMainForm, TForm)
public:
    explicit TMainForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {
        SetName("MainForm");
        OnDestroy = TNotifyEvent::Bind<&TMainForm::Destroyed>(this);
        OnCloseQuery = TCloseQueryEvent::Bind<&TMainForm::Query>(this);
        OnShow = TNotifyEvent::Bind<&TMainForm::Shown>(this);
        Closer = Create<TTimer>(this);
        Closer->SetInterval(50);
        Closer->OnTimer = TNotifyEvent::Bind<&TMainForm::Tick>(this);
    }
    void Destroyed(TObject *) { Log.push_back("destroy " + Name()); }
    void Shown(TObject *) { Log.push_back("show " + Name()); }
    void Query(TObject *, bool &CanClose) {
        // The first close is refused, as while an install runs.
        CanClose = ++Queries > 1;
        Log.push_back(CanClose ? "close allowed" : "close refused");
    }
    void Tick(TObject *) { Close(); }
    TTimer *Closer;
    int Queries = 0;
};
VCL_CLASS_INFO(TMainForm)

class TAboutForm : public TForm {
    VCL_CLASS(TAboutForm, TForm)
public:
    explicit TAboutForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {
        SetName("AboutBox");
        OnDestroy = TNotifyEvent::Bind<&TAboutForm::Destroyed>(this);
    }
    void Destroyed(TObject *) { Log.push_back("destroy " + Name()); }
};
VCL_CLASS_INFO(TAboutForm)

// Ends the loop if closing the main form did not, so that the test fails
// instead of hanging.
struct TWatchdog {
    void Fire(TObject *) {
        Log.push_back("watchdog");
        Application->Terminate();
    }
};

TEST(ApplicationRun, ClosingTheMainFormEndsTheLoopAndFormsGoLastCreatedFirst) {
    Application->Initialize();
    Application->SetTitle("Setup MERKANO ZUVO DEMO EET 2020");
    TMainForm *mainForm = nullptr;
    TAboutForm *about = nullptr;
    Application->CreateForm(mainForm);
    Application->CreateForm(about);
    EXPECT_EQ(Application->MainForm(), mainForm);
    EXPECT_FALSE(about->Visible());
    TWatchdog watchdog;
    std::unique_ptr<TTimer> timer(Create<TTimer>(nullptr));
    timer->SetInterval(10000);
    timer->OnTimer = TNotifyEvent::Bind<&TWatchdog::Fire>(&watchdog);
    Application->Run();
    timer.reset();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(mainForm->Visible());
    Application->DestroyComponents();
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"show MainForm", "close refused", "close allowed", "destroy AboutBox",
                                             "destroy MainForm"}));
}

} // namespace
} // namespace vcl
