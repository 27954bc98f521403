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

// A top-level window that counts the announcements it receives.
class TListener {
public:
    TListener() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TListener::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZuvoTestListener";
        RegisterClassW(&wc);
        FWindow = CreateWindowExW(0, wc.lpszClassName, L"listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        Announcement = RegisterWindowMessageW(L"Setup MERKANO ZUVO DEMO EET 2020");
        Received = 0;
        ParametersZero = true;
    }
    ~TListener() { DestroyWindow(FWindow); }

    static inline UINT Announcement = 0;
    static inline int Received = 0;
    static inline bool ParametersZero = true;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == Announcement && Announcement != 0) {
            ++Received;
            ParametersZero = ParametersZero && wp == 0 && lp == 0;
            return 0;
        }
        return DefWindowProcW(w, m, wp, lp);
    }
    HWND FWindow;
};

// A top-level window whose thread stops answering until released.
class THungWindow {
public:
    THungWindow() {
        FThread = std::thread([this] {
            HWND w = CreateWindowExW(0, L"STATIC", L"hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                     nullptr);
            SetEvent(FReady.Get());
            WaitForSingleObject(FRelease.Get(), 30000);  // not pumping: hung
            FWoken = true;
            DestroyWindow(w);
        });
        WaitForSingleObject(FReady.Get(), 10000);
    }
    ~THungWindow() {
        SetEvent(FRelease.Get());
        FThread.join();
    }
    // A broadcast that waited for this window would only have come back
    // after the thread woke up.
    bool StillHung() const { return !FWoken; }

private:
    const TOwnedHandle FReady{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    const TOwnedHandle FRelease{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> FWoken = false;
    std::thread FThread;
};

TEST(ProgramMain, WhileAnotherProcessHoldsTheTitleMutexSaysSoAnnouncesItAndEndsWithZero) {
    // Held as the other copy would hold it.
    const TOwnedHandle other(CreateMutexW(nullptr, FALSE, L"Setup MERKANO ZUVO DEMO EET 2020"));
    ASSERT_TRUE(other);
    TListener listener;
    THungWindow hung;
    const int formsBefore = vcl::Screen->FormCount();

    TMessageAnswerer answerer;
    const int exitCode = ProgramMain();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{AlreadyRunningMessage});
    EXPECT_EQ(TListener::Received, 1);
    EXPECT_TRUE(TListener::ParametersZero);
    // Returned although a window never answered.
    EXPECT_TRUE(hung.StillHung());
    EXPECT_EQ(SDIAppForm, nullptr);
    EXPECT_EQ(vcl::Screen->FormCount(), formsBefore);
    EXPECT_EQ(vcl::Application->MainForm(), nullptr);
}

} // namespace
} // namespace installer::test
