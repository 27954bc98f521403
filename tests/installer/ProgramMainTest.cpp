// The program's start when another copy runs: any process holding the mutex
// named as the title (here the test itself) makes it say so, announce itself
// to every top-level window, and end with 0 before any form exists; a hung
// window cannot hold it up.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "InstallerTestSupport.h"
#include "installer/ProgramMain.h"
#include "installer/SDIMAIN.h"

namespace installer::test {
namespace {

UINT Announcement = 0;
std::vector<std::pair<WPARAM, LPARAM>> Announced;

LRESULT CALLBACK ListenerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != Announcement || m == 0) return DefWindowProcW(w, m, wp, lp);
    Announced.emplace_back(wp, lp);
    return 0;
}

TEST(ProgramMain, WhileAnotherProcessHoldsTheTitleMutexSaysSoAnnouncesItAndEndsWithZero) {
    // Held as the other copy would hold it.
    const TOwnedHandle other(CreateMutexW(nullptr, FALSE, L"Setup MERKANO ZUVO DEMO EET 2020"));
    ASSERT_TRUE(other);
    Announcement = RegisterWindowMessageW(L"Setup MERKANO ZUVO DEMO EET 2020");
    WNDCLASSW wc{};
    wc.lpfnWndProc = ListenerProc;
    wc.lpszClassName = L"ZuvoTestListener";
    RegisterClassW(&wc);
    HWND listener = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    // A top-level window whose thread stops answering until released.
    const TOwnedHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)), release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> woken = false;
    std::thread hung([&] {
        HWND w = CreateWindowExW(0, L"STATIC", L"hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetEvent(ready.Get());
        WaitForSingleObject(release.Get(), 30000);
        woken = true;
        DestroyWindow(w);
    });
    WaitForSingleObject(ready.Get(), 10000);
    const int formsBefore = vcl::Screen->FormCount();
    Announced.clear();

    TMessageAnswerer answerer;
    const int exitCode = ProgramMain();

    // Returned although a window never answered.
    EXPECT_FALSE(woken);
    SetEvent(release.Get());
    hung.join();
    DestroyWindow(listener);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{AlreadyRunningMessage});
    EXPECT_EQ(Announced, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 0}}));
    EXPECT_EQ(SDIAppForm, nullptr);
    EXPECT_EQ(vcl::Screen->FormCount(), formsBefore);
    EXPECT_EQ(vcl::Application->MainForm(), nullptr);
}

} // namespace
} // namespace installer::test
