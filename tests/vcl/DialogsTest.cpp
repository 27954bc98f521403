// Message forms: found by their window class, answered by a click, sized to
// their text, Czech text kept.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>

#include "UiDriver.h"
#include "vcl/Dialogs.h"
#include "vcl/StdCtrls.h"

namespace vcl {
namespace {

using namespace std::chrono_literals;

using uitest::AnswerMessageForm;
using uitest::TSeenBox;

TEST(Dialogs, ShowMessageIsAMessageFormUnderTheTitleClosedByARealClick) {
    Application->SetTitle("Setup MERKANO ZUVO DEMO EET 2020");
    auto answer = AnswerMessageForm("OK", true);
    ShowMessage("Program je již spuštěn, vícenásobné spuštění není dovoleno");
    const TSeenBox seen = answer.get();
    EXPECT_TRUE(seen.Clicked);
    EXPECT_EQ(seen.Caption, "Setup MERKANO ZUVO DEMO EET 2020");
    EXPECT_EQ(seen.Buttons, (std::vector<std::string>{"OK"}));
}

TEST(Dialogs, MessageDlgAnswersTheClickedButton) {
    auto answer = AnswerMessageForm("&No");
    const int result = MessageDlg("Pokračovat?", mtConfirmation, mbYesNoCancel, 0);
    const TSeenBox seen = answer.get();
    EXPECT_EQ(result, mrNo);
    EXPECT_EQ(seen.Caption, "Confirm");
    EXPECT_EQ(seen.Buttons, (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
}

TEST(Dialogs, AMessageFormFitsItsTextWithinHalfTheScreen) {
    const std::string text = "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X –1 v konfiguraci.";
    std::unique_ptr<TMessageForm> form(CreateMessageDialog(text, mtWarning, {mbOK, mbCancel}));
    EXPECT_EQ(form->MessageLabel()->Caption(), text);
    EXPECT_EQ(form->Caption(), "Warning");
    EXPECT_TRUE(form->FindComponent("Image"));
    // The text fits beside the icon and above the buttons, all inside the form.
    const TRect label = form->MessageLabel()->BoundsRect();
    auto *ok = dynamic_cast<TButton *>(form->FindComponent("OK"));
    auto *cancel = dynamic_cast<TButton *>(form->FindComponent("Cancel"));
    ASSERT_TRUE(ok && cancel);
    EXPECT_LE(label.Right, form->ClientWidth());
    EXPECT_GE(ok->Top(), label.Bottom);
    EXPECT_LE(cancel->BoundsRect().Right, form->ClientWidth());
    EXPECT_LE(ok->BoundsRect().Bottom, form->ClientHeight());
    EXPECT_TRUE(ok->Default());
    EXPECT_TRUE(cancel->Cancel());

    std::string longText;
    for (int i = 0; i < 60; ++i) longText += "slovo ";
    std::unique_ptr<TMessageForm> wrapped(CreateMessageDialog(longText, mtInformation, {mbOK}));
    const TRect lines = wrapped->MessageLabel()->BoundsRect();
    EXPECT_LE(lines.Width(), Screen->Width() / 2);
    EXPECT_GT(lines.Height(), 2 * label.Height());
}

TEST(Dialogs, EscapeAnswersCancel) {
    std::unique_ptr<TMessageForm> form(CreateMessageDialog("?", mtConfirmation, mbOKCancel));
    const DWORD loop = GetCurrentThreadId();
    auto pressed = std::async(std::launch::async, [=] {
        HWND box = uitest::WaitForModalWindow("TMessageForm", loop, 10s);
        if (!box) return false;
        return uitest::AnswerModalWindow(box, [] {
            INPUT keys[2] = {};
            keys[0].type = keys[1].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, keys, sizeof(INPUT));
        });
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_TRUE(pressed.get());
}

} // namespace
} // namespace vcl
