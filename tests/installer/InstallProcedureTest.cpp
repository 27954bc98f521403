// The install behind "Instaluj" over small tables of stored files made here
// (the product's own runs in the end-to-end tests): both progress bars with
// their values at every status text, the keep rule of eetzuvo.exe, the
// abandon and failure paths, and the final actions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "InstallerTestSupport.h"
#include "installer/ProgramMain.h"
#include "installer/SDIMAIN.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"

namespace installer::test {
namespace {

using namespace vcl;

// A status text and the bars' values when it was set.
struct TStatus {
    std::string Text;
    int Bar1Max, Bar1Position, Bar2Position;
    friend bool operator==(const TStatus &, const TStatus &) = default;
    friend std::ostream &operator<<(std::ostream &out, const TStatus &s) {
        return out << "\"" << s.Text << "\" " << s.Bar1Max << " " << s.Bar1Position << " " << s.Bar2Position;
    }
};

// Records every status text of an install through the status line's window procedure.
class TStatusWatch {
public:
    explicit TStatusWatch(TSDIAppForm &Form) : FForm(Form), FSaved(Form.Label2->WindowProc) {
        Form.Label2->WindowProc = TWndMethod::Bind<&TStatusWatch::Proc>(this);
    }
    ~TStatusWatch() { FForm.Label2->WindowProc = FSaved; }
    std::vector<TStatus> Seen;

private:
    void Proc(TMessage &Message) {
        if (Message.Msg == WM_SETTEXT)
            Seen.push_back({WideToUtf8(reinterpret_cast<const wchar_t *>(Message.LParam)), FForm.ProgressBar1->Max(),
                            FForm.ProgressBar1->Position(), FForm.ProgressBar2->Position()});
        FSaved(Message);
    }
    TSDIAppForm &FForm;
    TWndMethod FSaved;
};

int BarMax(std::size_t k, std::size_t Size) {
    return static_cast<int>(k == 0 || k == 4 || k == 5 ? Size : Size / 10);
}

std::string Status(std::size_t k) { return "Generuji : " + std::string(PayloadFileInfos()[k].InstalledName); }

// The status texts of a complete install and the bars at each: files 1 to 6
// leave their bar full for the next status text and step the overall bar
// after; files 7 to 11 step it before and clear the bar and the status after.
std::vector<TStatus> ExpectedStatus(const std::vector<std::size_t> &sizes, bool eetzuvoKept = false) {
    std::vector<TStatus> seen;
    int max = 100, position = 0;
    for (int k = 0; k < 11; ++k) {
        if (k < 6) {
            seen.push_back({Status(k), max, position, k});
            max = BarMax(k, sizes[k]);
            position = k == 2 && eetzuvoKept ? 0 : max;
        } else {
            seen.push_back({Status(k), max, 0, k});
            max = BarMax(k, sizes[k]);
            seen.push_back({"", max, 0, k + 1});
        }
    }
    return seen;
}

struct InstallTest : ::testing::Test {
    void SetUp() override {
        CleanInstall();
        InstallBusy = false;
        Application->SetTitle(ApplicationTitle);
        Form.reset(Create<TSDIAppForm>(Application));
        Form->Show();
    }
    void TearDown() override {
        Form.reset();
        CleanInstall();
    }
    // The windows of the bars, as a user sees them.
    int Shown(TProgressBar *Bar) { return static_cast<int>(SendMessageW(Bar->Handle(), PBM_GETPOS, 0, 0)); }

    std::unique_ptr<TSDIAppForm> Form;
    // The form's state while "Hotovo" is shown.
    std::vector<int> Done;
    TMessageAnswerer Answerer{[this](const std::string &text) {
        if (text == DoneMessage)
            Done = {InstallBusy, Form->Button1->Enabled(), Form->ProgressBar1->Max(), Form->ProgressBar1->Position(),
                    Shown(Form->ProgressBar1), Form->ProgressBar2->Position(), Shown(Form->ProgressBar2),
                    Form->Label2->Caption().empty()};
    }};
    const TStoredFiles Small{SmallContents()};
};

// Into an existing folder, with a customer's own eetzuvo.exe: the status
// texts with the bars' values, the bars at "Hotovo", the files, and the
// final actions (the sample's merkzuvo.exe here is no program: that one is
// started in the end-to-end test).
TEST_F(InstallTest, WritesTheFilesUnderBothBarsKeepsEetzuvoPutsTheShortcutAndCloses) {
    fs::create_directory(InstallFolderPath());
    WriteBytes(InstallFolderPath() / "notes.txt", "kept");
    WriteBytes(TargetPath(10), "an older ticket, longer than the new one");
    WriteBytes(TargetPath(2), "the customer's own eetzuvo.exe");
    std::vector<std::size_t> sizes;
    for (std::size_t k = 0; k < 11; ++k) sizes.push_back(Small.Content(k).size());
    {
        TStatusWatch watch(*Form);
        InstallProduct(*Form, Small.Table());
        EXPECT_EQ(watch.Seen, ExpectedStatus(sizes, true));
    }
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{DoneMessage});
    // While "Hotovo" is shown the install is still busy, and both bars are back at 0.
    EXPECT_EQ(Done, (std::vector<int>{true, false, BarMax(10, sizes[10]), 0, 0, 0, 0, true}));
    EXPECT_TRUE(NonProduction);
    for (std::size_t k = 0; k < 11; ++k)
        EXPECT_EQ(ReadBytes(TargetPath(k)), k == 2 ? "the customer's own eetzuvo.exe" : Small.Content(k)) << Status(k);
    EXPECT_EQ(ReadBytes(InstallFolderPath() / "notes.txt"), "kept");
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Button1->Enabled());
    EXPECT_FALSE(Form->Visible());  // closed
    EXPECT_TRUE(SameText(GetCurrentDir(), "c:\\merkano_zuvo")) << GetCurrentDir();
    const TShortcut link = ReadShortcut(DesktopFolder() / "merkzuvo.lnk");
    EXPECT_TRUE(SameText(link.Path, "c:\\merkano_zuvo\\merkzuvo.exe")) << link.Path;
    EXPECT_TRUE(SameText(link.WorkingDirectory, "c:\\merkano_zuvo\\")) << link.WorkingDirectory;

    // A production build's title writes it.
    WriteBytes(TargetPath(2), "the customer's own eetzuvo.exe");
    NonProduction = false;
    Application->SetTitle("Setup MERKANO ZUVO Produkční 2020");
    Form->Show();
    InstallProduct(*Form, Small.Table());
    Application->SetTitle(ApplicationTitle);
    EXPECT_FALSE(NonProduction);
    EXPECT_EQ(ReadBytes(TargetPath(2)), Small.Content(2));
}

// Makes the install folder with file k in it, held open as another program
// holds it: others may only do what Share allows.
TOwnedHandle HoldInFolder(std::size_t k, DWORD Share) {
    fs::create_directory(InstallFolderPath());
    WriteBytes(TargetPath(k), "held");
    return HoldFile(TargetPath(k), Share);
}

// What stops an install with a message: the button works again, and once
// the cause is gone, the same button installs.
TEST_F(InstallTest, StopsWithTheMessageOfWhatFailedKeepsTheFilesBeforeAndInstallsOnceItIsGone) {
    struct TCase {
        std::string Message;
        std::function<TOwnedHandle()> Cause;  // what holds the cause, if anything
        std::size_t Held;                     // the file held (11: none)
    };
    const TCase cases[] = {
        {FolderFailedMessage, [] {
             WriteBytes(InstallFolderPath(), "a file where the folder belongs");
             return TOwnedHandle();
         }, 11},
        // A running program: held without FILE_SHARE_DELETE.
        {OldProgramMessage, [] { return HoldInFolder(3, FILE_SHARE_READ); }, 3},
        {"Nelze vytvořit Licence_MERKZUVO.pdf !", [] { return HoldInFolder(4, 0); }, 4},
        {"Nelze vytvořit Merkano zuvo1-1.pdf !", [] { return HoldInFolder(6, FILE_SHARE_READ); }, 6},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Message);
        CleanInstall();
        {
            const TOwnedHandle held = c.Cause();
            InstallProduct(*Form, Small.Table());
        }
        EXPECT_EQ(Answerer.Texts().back(), c.Message);
        // Files after the one that stopped it, or all when it was not a file, are not written.
        const std::size_t before = c.Held == 3 ? 0 : c.Held % 11;
        for (std::size_t k = 0; k < 11; ++k)
            EXPECT_EQ(ReadBytes(TargetPath(k)), k < before ? Small.Content(k) : k == c.Held ? "held" : "") << Status(k);
        EXPECT_TRUE(Form->Button1->Enabled());
        EXPECT_FALSE(InstallBusy);
        EXPECT_TRUE(Form->Visible());
        EXPECT_FALSE(fs::exists(DesktopFolder() / "merkzuvo.lnk"));

        if (fs::is_regular_file(InstallFolderPath())) fs::remove(InstallFolderPath());
        InstallProduct(*Form, Small.Table());
        for (std::size_t k = 0; k < 11; ++k) EXPECT_EQ(ReadBytes(TargetPath(k)), Small.Content(k)) << Status(k);
        EXPECT_FALSE(Form->Visible());
        Form->Show();
    }
}

bool CanOpenExclusively(const fs::path &file) {
    return static_cast<bool>(TOwnedHandle(
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

TEST_F(InstallTest, ThatFailsOnADamagedElementShowsTheErrorLeavesNoFileOpenAndCanBeRepeated) {
    // Element 4 of the licence, written byte by byte: the three bytes before
    // it are on disk; element 25 of eet_z.exe, collected first: it is empty.
    for (auto [k, i, element] : {std::tuple{4, 3, "G1"}, std::tuple{1, 24, "=="}}) {
        TStoredFiles damaged(SmallContents());
        damaged.SetElement(k, i, element);
        // As the button's click comes to it: through the application's error dialog.
        try {
            InstallProduct(*Form, damaged.Table());
        } catch (...) {
            Application->HandleException(Form.get());
        }
        EXPECT_EQ(Answerer.Texts().back(), "'$" + std::string(element) + "' is not a valid integer value");
        EXPECT_EQ(ReadBytes(TargetPath(k)), damaged.Content(k).substr(0, k == 4 ? i : 0));
        EXPECT_TRUE(CanOpenExclusively(TargetPath(k)));
        EXPECT_TRUE(Form->Button1->Enabled());
        EXPECT_FALSE(InstallBusy);
        EXPECT_TRUE(Form->Visible());
    }
    InstallProduct(*Form, Small.Table());
    for (std::size_t k = 0; k < 11; ++k) EXPECT_EQ(ReadBytes(TargetPath(k)), Small.Content(k)) << Status(k);
}

} // namespace
} // namespace installer::test
