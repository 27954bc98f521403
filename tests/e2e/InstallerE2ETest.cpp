// ZuvoSetup.exe started as a user starts it and driven with the mouse: one
// copy at a time, the window and a whole install with its progress and its
// refusals to close, and the failures a user meets. Every window a user
// meets is kept as a picture among the build's artefacts.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <thread>

#include "InstallerSession.h"
#include "installer/PayloadStore.h"
#include "vcl/SysUtils.h"

namespace e2e {
namespace {

std::string Name(std::size_t k) { return std::string(installer::PayloadFileInfos()[k].InstalledName); }

struct Setup : ::testing::Test {
    void SetUp() override { CleanInstall(); }
    void TearDown() override { CleanInstall(); }
};

TEST_F(Setup, ASecondCopyOrAnyHolderOfTheTitleMutexMakesItSaySoAndEndWithZero) {
    TSetupProcess first;
    HWND main = first.WaitFor("TSDIAppForm");
    ASSERT_TRUE(main);
    const TOwnedHandle mutex(CreateMutexW(nullptr, FALSE, L"Setup MERKANO ZUVO DEMO EET 2020"));
    // Blocked by the first copy; then, once that has closed as usual, by this
    // test's handle on the same mutex.
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            PostMessageW(main, WM_CLOSE, 0, 0);
            EXPECT_EQ(first.WaitForExit(), 0);
        }
        const TSetupProcess copy;
        HWND box = copy.WaitFor("TMessageForm");
        EXPECT_TRUE(ShowsMessage(box, "Program je již spuštěn, vícenásobné spuštění není dovoleno",
                                 round == 0 ? "second-copy-box" : nullptr));
        EXPECT_TRUE(uitest::TopLevelWindows("TSDIAppForm", copy.Id()).empty());
        ASSERT_TRUE(AnswerOk(box));
        EXPECT_EQ(copy.WaitForExit(), 0);
    }
    EXPECT_FALSE(fs::exists(InstallFolderPath()));
}

// The skinning library's switch, in any case, shows its version before the
// program's own start-up; then the window comes as usual.
TEST_F(Setup, VersionSwitchShowsTheLibraryVersionBeforeTheWindow) {
    TSetupProcess setup(L"/VLVER");
    HWND box = setup.WaitFor("#32770");
    ASSERT_TRUE(box);
    EXPECT_TRUE(uitest::FindChild(box, "Static", "Velvetine v10.21"));
    EXPECT_TRUE(uitest::TopLevelWindows("TSDIAppForm", setup.Id()).empty());
    ASSERT_TRUE(uitest::AnswerModalWindow(box, [box] { PostMessageW(box, WM_COMMAND, IDOK, 0); }));
    HWND main = setup.WaitFor("TSDIAppForm");
    ASSERT_TRUE(main);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(setup.WaitForExit(), 0);
}

TEST_F(Setup, InstallsAsAUserSeesItRefusingToCloseUntilItIsDone) {
    // A shop's own eetzuvo.exe is kept.
    fs::create_directories(InstallFolderPath());
    WriteBytes(TargetPath(2), "the shop's own eetzuvo.exe");
    TSetupProcess setup;
    HWND main = setup.WaitFor("TSDIAppForm");
    ASSERT_TRUE(main);
    EXPECT_EQ(uitest::TextOf(main), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    // The labels and the picture are painted by the form; the generator's button has no window.
    std::multiset<std::string> classes;
    for (HWND child : uitest::ChildWindows(main)) classes.insert(uitest::ClassNameOf(child));
    EXPECT_EQ(classes, (std::multiset<std::string>{"TButton", "TMemo", "TProgressBar", "TProgressBar"}));
    HWND memo = uitest::ChildWindows(main, "TMemo").at(0);
    EXPECT_TRUE(uitest::TextOf(memo).starts_with(
        "Setup MERKANO ZUVO 2019 23.12.2019 Demo\r\nvygenerujeme MERKANO ZUVO CZ 1.9 23.12.2019\r\n"));
    EXPECT_TRUE(KeepPicture(main, "installer-window"));
    HWND install = uitest::FindChild(main, "TButton", "Instaluj");
    ASSERT_TRUE(install);

    // Once it runs, a click on the close box is refused; the install goes on.
    ASSERT_TRUE(ClickInstall(main, install));
    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND refused = setup.WaitFor("TMessageForm");
    ASSERT_TRUE(ShowsMessage(refused, "Spuštěnou instalaci nelze přerušit !", "close-refused-box"));
    ASSERT_TRUE(AnswerOk(refused));
    // The bars' values on the way and at "Hotovo" are the in-process tests'.
    HWND done = setup.WaitFor("TMessageForm", 60s);
    ASSERT_TRUE(ShowsMessage(done, "Hotovo", "hotovo-box"));
    EXPECT_FALSE(IsWindowEnabled(install));

    // Not while "Hotovo" is shown either.
    PostMessageW(main, WM_CLOSE, 0, 0);
    HWND refusal = uitest::WaitForWindow([&]() -> HWND {
        for (HWND w : uitest::TopLevelWindows("TMessageForm", setup.Id()))
            if (w != done && IsWindowVisible(w)) return w;
        return nullptr;
    }, 20s);
    EXPECT_TRUE(ShowsMessage(refusal, "Spuštěnou instalaci nelze přerušit !"));
    ASSERT_TRUE(AnswerOk(refusal));
    EXPECT_TRUE(IsWindowVisible(main));
    ASSERT_TRUE(AnswerOk(done));
    EXPECT_EQ(setup.WaitForExit(), 0);

    for (std::size_t k = 0; k < 11; ++k)
        EXPECT_TRUE(ReadBytes(TargetPath(k)) == (k == 2 ? "the shop's own eetzuvo.exe" : ReadBytes(PayloadPath(k)))) << Name(k);
    EXPECT_EQ(vcl::LowerCase(WaitForStartedProduct()), "c:\\merkano_zuvo\tc:\\merkano_zuvo\\merkzuvo.exe\r\n");
    const TShortcut shortcut = ReadShortcut(DesktopFolder() / "merkzuvo.lnk");
    EXPECT_EQ(vcl::LowerCase(shortcut.Path), "c:\\merkano_zuvo\\merkzuvo.exe");
    EXPECT_EQ(vcl::LowerCase(shortcut.WorkingDirectory), "c:\\merkano_zuvo\\");
}

// The other ways to stop are the in-process tests' (InstallProcedureTest).
TEST_F(Setup, StopsForARunningProductAndInstallsOnceItHasEnded) {
    fs::create_directories(InstallFolderPath());
    fs::copy_file(PayloadPath(3), TargetPath(3));
    TChildProcess product(L"\"" + TargetPath(3).wstring() + L"\"", InstallFolderPath());
    HWND productWindow = uitest::WaitForTopLevelWindow("MerkanoZuvoStandIn", 20s, product.Id());
    ASSERT_TRUE(productWindow);
    TSetupProcess setup;
    HWND main = setup.WaitFor("TSDIAppForm");
    HWND install = main ? uitest::FindChild(main, "TButton", "Instaluj") : nullptr;
    ASSERT_TRUE(install);

    ASSERT_TRUE(ClickInstall(main, install));
    HWND box = setup.WaitFor("TMessageForm", 60s);
    EXPECT_TRUE(ShowsMessage(box, "Nelze smazat původni verzi MERKANO ZUVO, ukončete jej před instalací !"));
    ASSERT_TRUE(AnswerOk(box));
    for (std::size_t k = 0; k < 11; ++k) EXPECT_EQ(fs::exists(TargetPath(k)), k == 3) << Name(k);

    PostMessageW(productWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(product.Wait(10s));
    ASSERT_TRUE(uitest::WaitForWindow([&] { return IsWindowEnabled(install) ? install : nullptr; }, 5s));
    ASSERT_TRUE(ClickInstall(main, install));
    box = setup.WaitFor("TMessageForm", 60s);
    EXPECT_TRUE(ShowsMessage(box, "Hotovo"));
    ASSERT_TRUE(AnswerOk(box));
    EXPECT_EQ(setup.WaitForExit(), 0);
    for (std::size_t k = 0; k < 11; ++k) EXPECT_TRUE(ReadBytes(TargetPath(k)) == ReadBytes(PayloadPath(k))) << Name(k);
    WaitForStartedProduct();
}

} // namespace
} // namespace e2e
