// ZuvoSetup.exe started as a user starts it and driven with the mouse: one
// copy at a time, the window it shows, a whole install with its progress,
// the failures a user meets, and closing while it works.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <thread>

#include "InstallerSession.h"
#include "installer/PayloadStore.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"

namespace e2e {
namespace {

std::string Name(std::size_t k) { return std::string(installer::PayloadFileInfos()[k].InstalledName); }

// The per-file bar's maximum for file k: bytes for files 1, 5 and 6, tens of bytes for the others.
int BarMax(std::size_t k) {
    const auto size = static_cast<int>(fs::file_size(PayloadPath(k)));
    return k == 0 || k == 4 || k == 5 ? size : size / 10;
}

struct Setup : ::testing::Test {
    void SetUp() override { CleanInstall(); }
    void TearDown() override { CleanInstall(); }
};

// --- One copy at a time ------------------------------------------------------

// A copy that finds another one running: it says so, shows no window of
// its own and ends with 0 once the message is answered.
void ExpectEndsAsSecondCopy(const TSetupProcess &copy) {
    HWND box = copy.WaitForMessageBox();
    EXPECT_TRUE(ShowsMessage(box, "Program je již spuštěn, vícenásobné spuštění není dovoleno"));
    EXPECT_FALSE(copy.HasWindow("TSDIAppForm"));
    ASSERT_TRUE(AnswerOk(box));
    EXPECT_EQ(copy.WaitForExit(), 0);
}

TEST_F(Setup, ASecondCopySaysSoShowsNoWindowAndEndsWithZero) {
    TSetupProcess first;
    ASSERT_TRUE(first.WaitForMainWindow());

    const TSetupProcess second;
    ExpectEndsAsSecondCopy(second);

    // The first copy is untouched and still closes normally.
    HWND main = first.WaitForMainWindow();
    ASSERT_TRUE(main);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitForExit(), 0);
}

TEST_F(Setup, AnyProcessHoldingTheTitleMutexBlocksItTheSameWay) {
    const TOwnedHandle mutex(CreateMutexW(nullptr, FALSE, L"Setup MERKANO ZUVO DEMO EET 2020"));
    ASSERT_TRUE(mutex);
    const TSetupProcess blocked;
    ExpectEndsAsSecondCopy(blocked);
}

// --- The window ----------------------------------------------------------------

struct TChild {
    const char *Class;
    int Left, Top, Width, Height;
    const char *Text;
};

TEST_F(Setup, ShowsItsWindowWithTheWelcomeText) {
    TSetupProcess setup;
    HWND main = setup.WaitForMainWindow();
    ASSERT_TRUE(main);
    EXPECT_EQ(uitest::TextOf(main), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 774);
    EXPECT_EQ(client.bottom, 341);

    // The windowed controls; the labels and the picture are painted by the form,
    // and the generator's button has no window at all.
    const TChild expected[] = {
        {"TButton", 24, 281, 169, 39, "Instaluj"},
        {"TProgressBar", 24, 235, 727, 17, ""},
        {"TMemo", 343, 8, 408, 221, nullptr},
        {"TProgressBar", 24, 258, 727, 17, ""},
    };
    std::vector<HWND> children = uitest::ChildWindows(main);
    ASSERT_EQ(children.size(), std::size(expected));
    for (const TChild &want : expected) {
        SCOPED_TRACE(std::string(want.Class) + " at " + std::to_string(want.Top));
        auto it = std::find_if(children.begin(), children.end(), [&](HWND w) {
            RECT r{};
            GetWindowRect(w, &r);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT *>(&r), 2);
            return uitest::ClassNameOf(w) == want.Class && r.left == want.Left && r.top == want.Top &&
                   r.right - r.left == want.Width && r.bottom - r.top == want.Height;
        });
        ASSERT_NE(it, children.end());
        if (want.Text) {
            EXPECT_EQ(uitest::TextOf(*it), want.Text);
        }
        EXPECT_TRUE(IsWindowVisible(*it));
    }
    EXPECT_EQ(uitest::FindChild(main, "TButton", "Generuj const "), nullptr);

    HWND memo = ChildrenByTop(main, "TMemo").front();
    EXPECT_EQ(uitest::TextOf(memo),
              "Setup MERKANO ZUVO 2019 23.12.2019 Demo\r\n"
              "vygenerujeme MERKANO ZUVO CZ 1.9 23.12.2019\r\n"
              "do složky c:\\merkano_zuvo\r\n"
              "\r\n"
              "po dokončení se spustí MERKZUVO.EXE\r\n"
              "\r\n"
              "Děkujeme za Vaši přízeň.\r\n"
              "MERKANO team.\r\n"
              "Novinky: Podpora tisku vstupenek ve službách pokud je v názvu Vstup\r\n"
              "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X \xE2\x80\x93"
              "1 v konfiguraci.");

    // The window as a user sees it, kept with the build's artefacts.
    fs::create_directories(ArtifactsFolder());
    SetForegroundWindow(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::this_thread::sleep_for(200ms);
    uitest::WritePng(vcl::WideToUtf8((ArtifactsFolder() / "installer-window.png").wstring()),
                     uitest::CaptureWindow(main));

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(setup.WaitForExit(), 0);
    EXPECT_FALSE(fs::exists(InstallFolderPath()));
}

// --- A whole install -------------------------------------------------------------

// What the test saw of the bars while the install ran.
struct TProgressLog {
    std::vector<TBarState> File, Overall;
};

// Polls both bars until a message box of the installer appears; answers the box.
HWND WatchUntilMessage(const TSetupProcess &setup, HWND fileBar, HWND overallBar, TProgressLog &log) {
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < end) {
        for (HWND box : uitest::TopLevelWindows("TMessageForm", setup.Id()))
            if (IsWindowVisible(box)) return box;
        const TBarState file = BarState(fileBar), overall = BarState(overallBar);
        if (log.File.empty() || !(log.File.back() == file)) log.File.push_back(file);
        if (log.Overall.empty() || !(log.Overall.back() == overall)) log.Overall.push_back(overall);
        std::this_thread::sleep_for(2ms);
    }
    return nullptr;
}

TEST_F(Setup, InstallsTheProductStartsItPutsItsShortcutAndCloses) {
    TSetupProcess setup;
    HWND main = setup.WaitForMainWindow();
    ASSERT_TRUE(main);
    const std::vector<HWND> bars = ChildrenByTop(main, "TProgressBar");
    ASSERT_EQ(bars.size(), 2u);
    HWND install = uitest::FindChild(main, "TButton", "Instaluj");
    ASSERT_TRUE(install);

    ASSERT_TRUE(ClickInstall(main, install));
    TProgressLog log;
    HWND done = WatchUntilMessage(setup, bars[0], bars[1], log);
    ASSERT_TRUE(ShowsMessage(done, "Hotovo"));
    EXPECT_FALSE(IsWindowEnabled(install));
    // At "Hotovo" both bars are back at 0 (once the installer has drawn
    // them); the file bar keeps the last file's maximum.
    const TBarState fileDone{BarMax(10), 0}, overallDone{11, 0};
    uitest::WaitForWindow([&] { return BarState(bars[0]) == fileDone && BarState(bars[1]) == overallDone ? main : nullptr; },
                          2s);
    EXPECT_EQ(BarState(bars[0]), fileDone);
    EXPECT_EQ(BarState(bars[1]), overallDone);

    // Whatever the test caught on the way was a value the install gives its
    // bars: the overall bar counts files up, the file bar runs within the
    // maximum of one of the files.
    std::set<int> maxima{100};
    for (std::size_t k = 0; k < 11; ++k) maxima.insert(BarMax(k));
    for (const TBarState &s : log.File) {
        EXPECT_TRUE(maxima.count(s.Max)) << s.Max;
        EXPECT_LE(s.Position, s.Max);
    }
    // The overall bar only goes back once, to 0, just before "Hotovo".
    bool reset = false;
    for (std::size_t i = 0; i < log.Overall.size(); ++i) {
        EXPECT_EQ(log.Overall[i].Max, 11);
        if (i == 0) continue;
        if (reset || log.Overall[i].Position < log.Overall[i - 1].Position) {
            reset = true;
            EXPECT_EQ(log.Overall[i].Position, 0) << "sample " << i;
        }
    }
    EXPECT_GT(log.Overall.size() + log.File.size(), 2u) << "the bars never moved while the test looked";

    ASSERT_TRUE(AnswerOk(done));
    EXPECT_EQ(setup.WaitForExit(), 0);

    for (std::size_t k = 0; k < 11; ++k) {
        EXPECT_TRUE(ReadBytes(TargetPath(k)) == ReadBytes(PayloadPath(k))) << Name(k);
    }
    const std::string started = WaitForStartedProduct();
    EXPECT_EQ(vcl::LowerCase(started), "c:\\merkano_zuvo\tc:\\merkano_zuvo\\merkzuvo.exe\r\n");
    const TShortcut shortcut = ReadShortcut(DesktopFolder() / "merkzuvo.lnk");
    EXPECT_EQ(vcl::LowerCase(shortcut.Path), "c:\\merkano_zuvo\\merkzuvo.exe");
    EXPECT_EQ(vcl::LowerCase(shortcut.WorkingDirectory), "c:\\merkano_zuvo\\");
}

// --- What a user may meet --------------------------------------------------------

// Starts the installer, clicks "Instaluj" and waits for its first message box.
struct TStartedInstall {
    TSetupProcess Setup;
    HWND Main = nullptr;
    HWND Button = nullptr;
    HWND Box = nullptr;

    void Click() {
        Main = Setup.WaitForMainWindow();
        ASSERT_TRUE(Main);
        Button = uitest::FindChild(Main, "TButton", "Instaluj");
        ASSERT_TRUE(Button);
        ASSERT_TRUE(ClickInstall(Main, Button));
    }
    void WaitForBox() { Box = Setup.WaitForMessageBox(60s); }
};

// The stand-in started from the install folder, as a user who left the
// product running.
class TRunningProduct {
public:
    TRunningProduct() {
        EXPECT_TRUE(FProcess.Started());
        EXPECT_TRUE(uitest::WaitForTopLevelWindow("MerkanoZuvoStandIn", 20s, FProcess.Id()));
    }
    ~TRunningProduct() {
        for (HWND w : uitest::TopLevelWindows("MerkanoZuvoStandIn", FProcess.Id())) PostMessageW(w, WM_CLOSE, 0, 0);
        FProcess.Wait(10s);
    }

private:
    TChildProcess FProcess{L"\"" + TargetPath(3).wstring() + L"\"", InstallFolderPath()};
};

TEST_F(Setup, ARunningProductStopsTheInstallBeforeAnyFileAndTheButtonWorksAgain) {
    fs::create_directories(InstallFolderPath());
    fs::copy_file(PayloadPath(3), TargetPath(3));
    {
        TRunningProduct running;
        TStartedInstall install;
        install.Click();
        install.WaitForBox();
        EXPECT_TRUE(ShowsMessage(install.Box, "Nelze smazat původni verzi MERKANO ZUVO, ukončete jej před instalací !"));
        ASSERT_TRUE(AnswerOk(install.Box));
        for (std::size_t k = 0; k < 11; ++k) {
            if (k != 3) {
                EXPECT_FALSE(fs::exists(TargetPath(k))) << Name(k);
            }
        }
        EXPECT_TRUE(uitest::WaitForWindow([&] { return IsWindowEnabled(install.Button) ? install.Button : nullptr; }, 5s));
        EXPECT_TRUE(IsWindowVisible(install.Main));
        PostMessageW(install.Main, WM_CLOSE, 0, 0);
        EXPECT_EQ(install.Setup.WaitForExit(), 0);
    }
}

TEST_F(Setup, ALockedTargetStopsTheInstallWithItsMessageAndTheFilesBeforeStay) {
    fs::create_directories(InstallFolderPath());
    WriteBytes(TargetPath(4), "open in a reader");
    TOwnedHandle locked = HoldFile(TargetPath(4), 0);
    ASSERT_TRUE(locked);
    TStartedInstall install;
    install.Click();
    install.WaitForBox();
    EXPECT_TRUE(ShowsMessage(install.Box, "Nelze vytvořit Licence_MERKZUVO.pdf !"));
    ASSERT_TRUE(AnswerOk(install.Box));
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(ReadBytes(TargetPath(k)) == ReadBytes(PayloadPath(k))) << Name(k);
    }
    for (std::size_t k = 5; k < 11; ++k) {
        EXPECT_FALSE(fs::exists(TargetPath(k))) << Name(k);
    }
    locked = TOwnedHandle();
    EXPECT_EQ(ReadBytes(TargetPath(4)), "open in a reader");

    // Once the reader lets go, the same window installs.
    ASSERT_TRUE(uitest::WaitForWindow([&] { return IsWindowEnabled(install.Button) ? install.Button : nullptr; }, 5s));
    ASSERT_TRUE(ClickInstall(install.Main, install.Button));
    install.WaitForBox();
    EXPECT_TRUE(ShowsMessage(install.Box, "Hotovo"));
    ASSERT_TRUE(AnswerOk(install.Box));
    EXPECT_EQ(install.Setup.WaitForExit(), 0);
    EXPECT_TRUE(ReadBytes(TargetPath(4)) == ReadBytes(PayloadPath(4)));
    WaitForStartedProduct();
}

TEST_F(Setup, KeepsAnExistingEetzuvoAndRefusesToCloseWhileItWorks) {
    fs::create_directories(InstallFolderPath());
    WriteBytes(TargetPath(2), "the shop's own eetzuvo.exe");
    TStartedInstall install;
    install.Click();
    // Once the install runs, a click on the close box.
    PostMessageW(install.Main, WM_CLOSE, 0, 0);
    install.WaitForBox();
    EXPECT_TRUE(ShowsMessage(install.Box, "Spuštěnou instalaci nelze přerušit !"));
    ASSERT_TRUE(AnswerOk(install.Box));

    install.WaitForBox();
    EXPECT_TRUE(ShowsMessage(install.Box, "Hotovo"));
    // Not while "Hotovo" is shown either.
    PostMessageW(install.Main, WM_CLOSE, 0, 0);
    HWND refusal = uitest::WaitForWindow([&]() -> HWND {
        for (HWND w : uitest::TopLevelWindows("TMessageForm", install.Setup.Id()))
            if (w != install.Box && IsWindowVisible(w)) return w;
        return nullptr;
    }, 20s);
    EXPECT_TRUE(ShowsMessage(refusal, "Spuštěnou instalaci nelze přerušit !"));
    ASSERT_TRUE(AnswerOk(refusal));
    EXPECT_TRUE(IsWindowVisible(install.Main));
    ASSERT_TRUE(AnswerOk(install.Box));
    EXPECT_EQ(install.Setup.WaitForExit(), 0);

    EXPECT_EQ(ReadBytes(TargetPath(2)), "the shop's own eetzuvo.exe");
    for (std::size_t k = 0; k < 11; ++k) {
        if (k != 2) {
            EXPECT_TRUE(ReadBytes(TargetPath(k)) == ReadBytes(PayloadPath(k))) << Name(k);
        }
    }
    WaitForStartedProduct();
}

} // namespace
} // namespace e2e
