// The install behind "Instaluj": the product's files under both progress
// bars with their values after every file, the status line, the keep rule
// of eetzuvo.exe, the abandon and failure paths, and the final actions.
// The product's own table runs once (a real click); small tables made here
// take the edge cases.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "InstallerTestSupport.h"
#include "installer/PayloadFiles.h"
#include "installer/ProgramMain.h"
#include "installer/SDIMAIN.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"

namespace installer::test {
namespace {

using namespace vcl;

// What the status line and the per-file bar's window showed, in order.
struct TEvent {
    bool Status;         // a new status text, or a new state of the bar's window
    std::string Text;    // the status text
    int Bar1Max = 0;     // the bars' values when the status changed,
    int Bar1Position = 0;  // or the bar window's range and position
    int Bar2Position = 0;
};

// Watches an install through the form's status line and the per-file bar's
// window procedure.
class TInstallWatch {
public:
    explicit TInstallWatch(TSDIAppForm &Form) : FForm(Form) {
        FLabelProc = Form.Label2->WindowProc;
        FBarProc = Form.ProgressBar1->WindowProc;
        Form.Label2->WindowProc = TWndMethod::Bind<&TInstallWatch::LabelProc>(this);
        Form.ProgressBar1->WindowProc = TWndMethod::Bind<&TInstallWatch::BarProc>(this);
        FShownMax = static_cast<int>(SendMessageW(Form.ProgressBar1->Handle(), PBM_GETRANGE, FALSE, 0));
        FShownPosition = static_cast<int>(SendMessageW(Form.ProgressBar1->Handle(), PBM_GETPOS, 0, 0));
    }
    ~TInstallWatch() {
        FForm.Label2->WindowProc = FLabelProc;
        FForm.ProgressBar1->WindowProc = FBarProc;
    }

    const std::vector<TEvent> &Events() const { return FEvents; }
    std::vector<TEvent> StatusEvents() const {
        std::vector<TEvent> status;
        std::copy_if(FEvents.begin(), FEvents.end(), std::back_inserter(status), [](const TEvent &e) { return e.Status; });
        return status;
    }
    // The overall bar's value when the per-file bar's window showed Max of
    // Max between the status text Text and the next status text; -1 when it
    // never did.
    int OverallWhenFull(const std::string &Text, int Max) const {
        bool inside = false;
        for (const TEvent &e : FEvents) {
            if (e.Status) {
                if (inside) return -1;
                inside = e.Text == Text;
            } else if (inside && e.Bar1Max == Max && e.Bar1Position == Max) {
                return e.Bar2Position;
            }
        }
        return -1;
    }

private:
    void LabelProc(TMessage &Message) {
        if (Message.Msg == WM_SETTEXT)
            FEvents.push_back({true, WideToUtf8(reinterpret_cast<const wchar_t *>(Message.LParam)),
                               FForm.ProgressBar1->Max(), FForm.ProgressBar1->Position(),
                               FForm.ProgressBar2->Position()});
        FLabelProc(Message);
    }
    void BarProc(TMessage &Message) {
        FBarProc(Message);
        if (Message.Msg == PBM_SETRANGE32) FShownMax = static_cast<int>(Message.LParam);
        else if (Message.Msg == PBM_SETPOS) FShownPosition = static_cast<int>(Message.WParam);
        else return;
        FEvents.push_back({false, {}, FShownMax, FShownPosition, FForm.ProgressBar2->Position()});
    }

    TSDIAppForm &FForm;
    TWndMethod FLabelProc;
    TWndMethod FBarProc;
    int FShownMax = 0;
    int FShownPosition = 0;
    std::vector<TEvent> FEvents;
};

// The bars and the status line while "Hotovo" is shown.
struct TDoneState {
    bool Seen = false;
    bool Busy = false;
    bool ButtonEnabled = true;
    int Bar1Max = -1, Bar1Position = -1, Bar2Max = -1, Bar2Position = -1;
    int Bar1Shown = -1, Bar2Shown = -1;  // what the windows show
    std::string Status;
};

struct TInstallFixture : ::testing::Test {
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

    // Answers every message; records the form's state at "Hotovo".
    TMessageAnswerer Answerer{[this](const std::string &text) {
        if (text != DoneMessage) return;
        Done.Seen = true;
        Done.Busy = InstallBusy;
        Done.ButtonEnabled = Form->Button1->Enabled();
        Done.Bar1Max = Form->ProgressBar1->Max();
        Done.Bar1Position = Form->ProgressBar1->Position();
        Done.Bar2Max = Form->ProgressBar2->Max();
        Done.Bar2Position = Form->ProgressBar2->Position();
        Done.Bar1Shown = static_cast<int>(SendMessageW(Form->ProgressBar1->Handle(), PBM_GETPOS, 0, 0));
        Done.Bar2Shown = static_cast<int>(SendMessageW(Form->ProgressBar2->Handle(), PBM_GETPOS, 0, 0));
        Done.Status = Form->Label2->Caption();
    }};
    TDoneState Done;
    std::unique_ptr<TSDIAppForm> Form;
};

// The per-file bar's maximum for a file of Size bytes.
int BarMax(std::size_t k, std::int64_t Size) {
    const bool byteSteps = k == 0 || k == 4 || k == 5;
    return static_cast<int>(byteSteps ? Size : Size / 10);
}

std::string Status(std::size_t k) { return "Generuji : " + std::string(PayloadFileInfos()[k].InstalledName); }

// The status texts of a complete install and the bars at each of them:
// after files 1 to 6 the per-file bar is full when the next status text
// comes; files 7 to 11 reset it before.
std::vector<TEvent> ExpectedStatusEvents(const std::vector<std::int64_t> &sizes, int firstBar1Max,
                                         bool eetzuvoKept = false) {
    std::vector<TEvent> events;
    int max = firstBar1Max, position = 0;
    for (std::size_t k = 0; k < 11; ++k) {
        if (k < 6) {
            events.push_back({true, Status(k), max, position, static_cast<int>(k)});
            max = BarMax(k, sizes[k]);
            position = k == 2 && eetzuvoKept ? 0 : max;
        } else {
            events.push_back({true, Status(k), max, 0, static_cast<int>(k)});
            max = BarMax(k, sizes[k]);
            events.push_back({true, "", max, 0, static_cast<int>(k) + 1});
        }
    }
    return events;
}

void ExpectStatusEvents(const std::vector<TEvent> &actual, const std::vector<TEvent> &expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("status text " + std::to_string(i) + " \"" + expected[i].Text + "\"");
        EXPECT_EQ(actual[i].Text, expected[i].Text);
        EXPECT_EQ(actual[i].Bar1Max, expected[i].Bar1Max);
        EXPECT_EQ(actual[i].Bar1Position, expected[i].Bar1Position);
        EXPECT_EQ(actual[i].Bar2Position, expected[i].Bar2Position);
    }
}

// The status texts with the bars' values at each; and for every file whose
// bar moves, the overall bar's value when that file's bar is shown full:
// the files before it, and from the seventh file on the file itself.
void ExpectProgress(const TInstallWatch &watch, const std::vector<std::int64_t> &sizes, bool eetzuvoKept = false) {
    ExpectStatusEvents(watch.StatusEvents(), ExpectedStatusEvents(sizes, 100, eetzuvoKept));
    for (std::size_t k = 0; k < 11; ++k) {
        if (BarMax(k, sizes[k]) == 0 || (k == 2 && eetzuvoKept)) continue;
        EXPECT_EQ(watch.OverallWhenFull(Status(k), BarMax(k, sizes[k])), k < 6 ? int(k) : int(k) + 1) << Status(k);
    }
}

std::vector<std::int64_t> Sizes(const TStoredFiles &files) {
    std::vector<std::int64_t> sizes;
    for (std::size_t k = 0; k < 11; ++k) sizes.push_back(static_cast<std::int64_t>(files.Content(k).size()));
    return sizes;
}

bool CanOpenExclusively(const fs::path &file) {
    return static_cast<bool>(
        TOwnedHandle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

using Install = TInstallFixture;

TEST_F(Install, WritesTheProductUnderBothBarsStartsItPutsItsShortcutAndCloses) {
    std::vector<std::int64_t> sizes;
    for (std::size_t k = 0; k < 11; ++k) sizes.push_back(static_cast<std::int64_t>(fs::file_size(PayloadPath(k))));
    {
        TInstallWatch watch(*Form);
        Form->Button1->Click();
        ExpectProgress(watch, sizes);
    }
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{DoneMessage});
    ASSERT_TRUE(Done.Seen);
    // While "Hotovo" is shown the install is still busy: the window cannot be closed.
    EXPECT_TRUE(Done.Busy);
    EXPECT_FALSE(Done.ButtonEnabled);
    EXPECT_EQ(Done.Bar1Max, BarMax(10, sizes[10]));
    EXPECT_EQ(Done.Bar1Position, 0);
    EXPECT_EQ(Done.Bar2Max, 11);
    EXPECT_EQ(Done.Bar2Position, 0);
    EXPECT_EQ(Done.Bar1Shown, 0);
    EXPECT_EQ(Done.Bar2Shown, 0);
    EXPECT_EQ(Done.Status, "");

    for (std::size_t k = 0; k < 11; ++k) EXPECT_TRUE(ReadBytes(TargetPath(k)) == ReadBytes(PayloadPath(k))) << Status(k);
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Button1->Enabled());
    EXPECT_FALSE(Form->Visible());  // closed
    EXPECT_TRUE(SameText(GetCurrentDir(), "c:\\merkano_zuvo")) << GetCurrentDir();

    const std::string started = WaitForStartedProduct();
    EXPECT_TRUE(SameText(started, "c:\\merkano_zuvo\tc:\\merkano_zuvo\\merkzuvo.exe\r\n")) << started;
    const TShortcut link = ReadShortcut(DesktopFolder() / "merkzuvo.lnk");
    EXPECT_TRUE(SameText(link.Path, "c:\\merkano_zuvo\\merkzuvo.exe")) << link.Path;
    EXPECT_TRUE(SameText(link.WorkingDirectory, "c:\\merkano_zuvo\\")) << link.WorkingDirectory;
}

TEST_F(Install, UsesAnExistingFolderAndStepsFilesOfEverySize) {
    fs::create_directory(InstallFolderPath());
    WriteBytes(InstallFolderPath() / "notes.txt", "kept");
    WriteBytes(TargetPath(10), "an older ticket, longer than the new one");
    const TStoredFiles files(SmallContents());
    {
        TInstallWatch watch(*Form);
        InstallProduct(*Form, files.Table());
        ExpectProgress(watch, Sizes(files));
    }
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{DoneMessage});
    for (std::size_t k = 0; k < 11; ++k) EXPECT_EQ(ReadBytes(TargetPath(k)), files.Content(k)) << Status(k);
    EXPECT_EQ(ReadBytes(InstallFolderPath() / "notes.txt"), "kept");
    EXPECT_FALSE(Form->Visible());
    EXPECT_TRUE(fs::exists(DesktopFolder() / "merkzuvo.lnk"));
}

TEST_F(Install, KeepsAnExistingEetzuvoWhileTheTitleLacksTheProductionWord) {
    fs::create_directory(InstallFolderPath());
    WriteBytes(TargetPath(2), "the customer's own eetzuvo.exe");
    const TStoredFiles files(SmallContents());
    {
        TInstallWatch watch(*Form);
        InstallProduct(*Form, files.Table());
        ExpectProgress(watch, Sizes(files), true);
    }
    EXPECT_TRUE(NonProduction);
    EXPECT_EQ(ReadBytes(TargetPath(2)), "the customer's own eetzuvo.exe");
    EXPECT_EQ(ReadBytes(TargetPath(3)), files.Content(3));

    // A production build's title writes it; the flag, once set, stays.
    CleanInstall();
    fs::create_directory(InstallFolderPath());
    WriteBytes(TargetPath(2), "the customer's own eetzuvo.exe");
    NonProduction = false;
    Application->SetTitle("Setup MERKANO ZUVO Produkční 2020");
    Form->Show();
    InstallProduct(*Form, files.Table());
    EXPECT_FALSE(NonProduction);
    EXPECT_EQ(ReadBytes(TargetPath(2)), files.Content(2));
    Application->SetTitle(ApplicationTitle);
}

TEST_F(Install, StopsBeforeAnyFileWhenTheOldProgramCannotBeDeleted) {
    fs::create_directory(InstallFolderPath());
    WriteBytes(TargetPath(3), "the running program");
    const TStoredFiles files(SmallContents());
    {
        const TOwnedHandle running = HoldFile(TargetPath(3), FILE_SHARE_READ);  // no FILE_SHARE_DELETE, as a running image
        ASSERT_TRUE(running);
        InstallProduct(*Form, files.Table());
    }
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{OldProgramMessage});
    for (std::size_t k = 0; k < 11; ++k)
        if (k != 3) {
            EXPECT_FALSE(fs::exists(TargetPath(k))) << Status(k);
        }
    EXPECT_EQ(ReadBytes(TargetPath(3)), "the running program");
    EXPECT_TRUE(Form->Button1->Enabled());
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Visible());
    EXPECT_FALSE(fs::exists(DesktopFolder() / "merkzuvo.lnk"));

    // Once the program has ended, the same button installs.
    InstallProduct(*Form, files.Table());
    EXPECT_EQ(ReadBytes(TargetPath(3)), files.Content(3));
}

TEST_F(Install, StopsWhenTheFolderCannotBeMade) {
    WriteBytes(InstallFolderPath(), "a file where the folder belongs");
    const TStoredFiles files(SmallContents());
    InstallProduct(*Form, files.Table());
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{FolderFailedMessage});
    EXPECT_TRUE(Form->Button1->Enabled());
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Visible());
    fs::remove(InstallFolderPath());
}

TEST_F(Install, StopsAtATargetThatCannotBeCreatedAndKeepsTheFilesBefore) {
    fs::create_directory(InstallFolderPath());
    WriteBytes(TargetPath(4), "locked licence");
    const TStoredFiles files(SmallContents());
    {
        const TOwnedHandle locked = HoldFile(TargetPath(4), 0);
        ASSERT_TRUE(locked);
        InstallProduct(*Form, files.Table());
    }
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{"Nelze vytvořit Licence_MERKZUVO.pdf !"});
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(ReadBytes(TargetPath(k)), files.Content(k)) << Status(k);
    EXPECT_EQ(ReadBytes(TargetPath(4)), "locked licence");
    for (std::size_t k = 5; k < 11; ++k) EXPECT_FALSE(fs::exists(TargetPath(k))) << Status(k);
    EXPECT_TRUE(Form->Button1->Enabled());
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Visible());

    // The manual's message names it by its short name.
    CleanInstall();
    fs::create_directory(InstallFolderPath());
    WriteBytes(TargetPath(6), "manual in use");
    const TStoredFiles again(SmallContents());
    {
        const TOwnedHandle locked = HoldFile(TargetPath(6), FILE_SHARE_READ);
        ASSERT_TRUE(locked);
        InstallProduct(*Form, again.Table());
    }
    EXPECT_EQ(Answerer.Texts().back(), "Nelze vytvořit Merkano zuvo1-1.pdf !");
    EXPECT_EQ(ReadBytes(TargetPath(5)), again.Content(5));
    EXPECT_EQ(ReadBytes(TargetPath(6)), "manual in use");
}

TEST_F(Install, ThatFailsOnADamagedElementLeavesNoFileOpenAndCanBeRepeated) {
    // In a file written byte by byte: what came before the damage is on disk.
    TStoredFiles damaged(SmallContents());
    damaged.SetElement(4, 3, "G1");
    EXPECT_THROW(InstallProduct(*Form, damaged.Table()), EConvertError);
    EXPECT_EQ(ReadBytes(TargetPath(4)), damaged.Content(4).substr(0, 3));
    EXPECT_TRUE(CanOpenExclusively(TargetPath(4)));
    EXPECT_TRUE(Form->Button1->Enabled());
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Visible());
    EXPECT_TRUE(Answerer.Texts().empty());

    // In a buffered file: the file exists, empty, and is closed.
    TStoredFiles damagedBuffer(SmallContents());
    damagedBuffer.SetElement(1, 24, "=");
    EXPECT_THROW(InstallProduct(*Form, damagedBuffer.Table()), EConvertError);
    EXPECT_EQ(ReadBytes(TargetPath(1)), "");
    EXPECT_TRUE(CanOpenExclusively(TargetPath(1)));

    const TStoredFiles good(SmallContents());
    InstallProduct(*Form, good.Table());
    for (std::size_t k = 0; k < 11; ++k) EXPECT_EQ(ReadBytes(TargetPath(k)), good.Content(k)) << Status(k);
    EXPECT_FALSE(Form->Visible());
}

TEST_F(Install, RefusesToCloseWhileItRuns) {
    const TStoredFiles files(SmallContents());
    // Handled by the first pump of the install, as a click on the close box would be.
    PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    InstallProduct(*Form, files.Table());
    EXPECT_EQ(Answerer.Texts(), (std::vector<std::string>{CloseRefusedMessage, DoneMessage}));
    for (std::size_t k = 0; k < 11; ++k) EXPECT_EQ(ReadBytes(TargetPath(k)), files.Content(k)) << Status(k);
    EXPECT_FALSE(Form->Visible());
}

} // namespace
} // namespace installer::test
