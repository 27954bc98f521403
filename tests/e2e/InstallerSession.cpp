#include "InstallerSession.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "vcl/Dialogs.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace e2e {

TSetupProcess::TSetupProcess(const std::wstring &Arguments)
    : FProcess(L"\"" + HostFolder(ZUVO_SETUP_PROGRAM).wstring() + L"\"" + (Arguments.empty() ? L"" : L" " + Arguments)) {
    EXPECT_TRUE(FProcess.Started()) << "cannot start " << ZUVO_SETUP_PROGRAM;
}

namespace {

// Where the client area starts inside a capture of the whole window.
POINT ClientOffset(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return {origin.x - frame.left, origin.y - frame.top};
}

} // namespace

::testing::AssertionResult ShowsMessage(HWND box, const std::string &text, const char *Picture) {
    if (!box) return ::testing::AssertionFailure() << "no message box";
    if (Picture && !KeepPicture(box, Picture)) return ::testing::AssertionFailure() << "the box is not drawn";
    if (uitest::TextOf(box) != Title) return ::testing::AssertionFailure() << "title \"" << uitest::TextOf(box) << "\"";
    RECT client{};
    GetClientRect(box, &client);

    // The expected box, in a corner where it hides nothing of the installer's.
    vcl::Application->SetTitle(Title);
    std::unique_ptr<vcl::TMessageForm> expected(vcl::CreateMessageDialog(text, vcl::mtCustom, {vcl::mbOK}));
    if (client.right != expected->ClientWidth() || client.bottom != expected->ClientHeight())
        return ::testing::AssertionFailure() << "a box of " << client.right << "x" << client.bottom
                                             << " for a text that takes " << expected->ClientWidth() << "x"
                                             << expected->ClientHeight();
    expected->SetPosition(vcl::poDesigned);
    expected->SetBounds(0, 0, expected->Width(), expected->Height());
    expected->Show();
    expected->Repaint();
    const uitest::TImage32 reference = uitest::CaptureWindow(expected->Handle());
    const POINT referenceOffset = ClientOffset(expected->Handle());
    const vcl::TRect label = expected->MessageLabel()->BoundsRect();
    expected->Hide();

    // The installer's box wears the skin, the reference does not: the
    // text's shape is compared, each pixel as ink or as the background
    // (the colour most of the label's rectangle has).
    const auto inkOf = [&label](const uitest::TImage32 &Image, POINT Offset) {
        std::map<std::uint32_t, int> counts;
        for (int y = label.Top; y < label.Bottom; ++y)
            for (int x = label.Left; x < label.Right; ++x) ++counts[Image.At(x + Offset.x, y + Offset.y) & 0xFFFFFF];
        const std::uint32_t background =
            std::max_element(counts.begin(), counts.end(), [](auto &a, auto &b) { return a.second < b.second; })->first;
        std::vector<bool> ink;
        for (int y = label.Top; y < label.Bottom; ++y)
            for (int x = label.Left; x < label.Right; ++x)
                ink.push_back((Image.At(x + Offset.x, y + Offset.y) & 0xFFFFFF) != background);
        return ink;
    };
    const std::vector<bool> expectedInk = inkOf(reference, referenceOffset);

    // A box that has just appeared may not have painted yet.
    int differing = 0;
    const auto end = std::chrono::steady_clock::now() + 3s;
    do {
        const std::vector<bool> shownInk = inkOf(uitest::CaptureWindow(box), ClientOffset(box));
        differing = 0;
        for (std::size_t i = 0; i < shownInk.size(); ++i) differing += shownInk[i] != expectedInk[i];
        if (!differing) return ::testing::AssertionSuccess();
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < end);
    return ::testing::AssertionFailure() << differing << " pixels of the text differ from \"" << text << "\"";
}

bool AnswerOk(HWND box) {
    HWND ok = uitest::WaitForWindow([&] { return uitest::FindChild(box, "TButton", "OK"); }, 10s);
    if (!ok) return false;
    // A click that reaches a window while it is still being activated can
    // be lost, as it can for a user, who then clicks again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetForegroundWindow(box);
        uitest::ClickWithMouse(ok);
        if (uitest::WaitUntilClosed(box, 2s)) return true;
    }
    return false;
}

bool ClickInstall(HWND main, HWND button) {
    // The button stays disabled while the install runs and while any of its
    // messages is shown: the sign that the click arrived.
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetForegroundWindow(main);
        uitest::ClickWithMouse(button);
        if (uitest::WaitForWindow([&] { return IsWindowEnabled(button) ? nullptr : button; }, 2s)) return true;
    }
    return false;
}

} // namespace e2e
