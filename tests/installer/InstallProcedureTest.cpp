// The install behind "Instaluj" over small tables of stored files made here
// (the product's own runs in the end-to-end tests): both progress bars with
// their values at every status text, the keep rule of eetzuvo.exe, the
// abandon and failure paths, the final actions, and long files whose stored
// text lies in the program file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <array>
#include <functional>

#include "InstallerTestSupport.h"
#include "installer/ProgramMain.h"
#include "installer/SDIMAIN.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"

namespace installer::test {
namespace {

using namespace vcl;

// A status text and the bars' values when it was set; Bar1Shown: what the
// per-file bar's window showed then.
struct TStatus {
    std::string Text;
    int Bar1Max, Bar1Position, Bar2Position, Bar1Shown;
    friend bool operator==(const TStatus &, const TStatus &) = default;
    friend std::ostream &operator<<(std::ostream &out, const TStatus &s) {
        return out << "\"" << s.Text << "\" " << s.Bar1Max << " " << s.Bar1Position << " " << s.Bar2Position
                   << " shown " << s.Bar1Shown;
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
                            FForm.ProgressBar1->Position(), FForm.ProgressBar2->Position(),
                            static_cast<int>(SendMessageW(FForm.ProgressBar1->Handle(), PBM_GETPOS, 0, 0))});
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
// The screen shows each file's bar full once its last step is made, until
// the next file's steps: so at every status text it shows the maximum of
// the last file that made steps.
std::vector<TStatus> ExpectedStatus(const std::vector<std::size_t> &sizes, bool eetzuvoKept = false) {
    std::vector<TStatus> seen;
    int max = 100, position = 0, shown = 0;
    for (int k = 0; k < 11; ++k) {
        const bool stepped = BarMax(k, sizes[k]) > 0 && !(k == 2 && eetzuvoKept);
        if (k < 6) {
            seen.push_back({Status(k), max, position, k, shown});
            max = BarMax(k, sizes[k]);
            position = k == 2 && eetzuvoKept ? 0 : max;
            if (stepped) shown = max;
        } else {
            seen.push_back({Status(k), max, 0, k, shown});
            max = BarMax(k, sizes[k]);
            if (stepped) shown = max;
            seen.push_back({"", max, 0, k + 1, shown});
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

// Stored text that is part of the program file, as the product's is: this
// test program lays its sections out on page boundaries in its file, as the
// installer does. Far longer than the stretch of text after which the
// conversion gives back the pages it has passed.
constexpr std::size_t LongCount = 200'003;
constexpr std::uint8_t LongByte(std::size_t i) { return static_cast<std::uint8_t>(i * 131 + (i >> 9)); }
constexpr std::array<char, 2 * LongCount + 2> LongText = [] {
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<char, 2 * LongCount + 2> text{};
    for (std::size_t i = 0; i < LongCount; ++i) {
        text[2 * i] = digits[LongByte(i) >> 4];
        text[2 * i + 1] = digits[LongByte(i) & 15];
    }
    text[2 * LongCount] = text[2 * LongCount + 1] = '=';
    return text;
}();

// How many of the whole pages inside [Begin, End) are in this process's working set.
std::size_t ResidentPages(const char *Begin, const char *End) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uintptr_t page = system.dwPageSize;
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages;
    for (std::uintptr_t p = (reinterpret_cast<std::uintptr_t>(Begin) + page - 1) / page * page;
         p + page <= reinterpret_cast<std::uintptr_t>(End); p += page) {
        pages.emplace_back();
        pages.back().VirtualAddress = reinterpret_cast<void *>(p);
    }
    EXPECT_TRUE(QueryWorkingSetEx(GetCurrentProcess(), pages.data(),
                                  static_cast<DWORD>(pages.size() * sizeof(pages[0]))));
    std::size_t resident = 0;
    for (const auto &p : pages) resident += p.VirtualAttributes.Valid;
    return resident;
}

// The pages of the program's stored text are given back as the conversion
// passes them and come back from the file when read again: long files land
// whole, collected in a buffer or written byte by byte, and the text reads
// the same afterwards. Text that a caller holds in its own memory is never
// given back.
TEST_F(InstallTest, WritesLongFilesFromTheProgramFileAndGivesBackOnlyItsPages) {
    std::string bytes(LongCount, '\0');
    for (std::size_t i = 0; i < LongCount; ++i) bytes[i] = static_cast<char>(LongByte(i));
    std::vector<std::string> contents = SmallContents();
    contents[6] = bytes;  // its text held by the table, in this program's heap
    const TStoredFiles files(contents);
    const std::string heldText(files.Table()[6].Elements, 2 * LongCount + 2);
    TPayloadTable table = files.Table();
    std::vector<std::uint8_t> buffer(LongCount + 1);
    for (std::size_t k : {1, 4}) {  // collected in a buffer, written byte by byte
        table[k].Elements = LongText.data();
        table[k].Size = LongCount;
    }
    table[1].Buffer = table[2].Buffer = buffer.data();  // file 3 shares file 2's buffer
    MEMORY_BASIC_INFORMATION region{};
    ASSERT_EQ(VirtualQuery(LongText.data(), &region, sizeof region), sizeof region);
    ASSERT_EQ(region.Type, static_cast<DWORD>(MEM_IMAGE));
    ASSERT_EQ(region.Protect, static_cast<DWORD>(PAGE_READONLY));

    InstallProduct(*Form, table);
    EXPECT_EQ(Answerer.Texts(), std::vector<std::string>{DoneMessage});
    const char *text = LongText.data();
    EXPECT_EQ(ResidentPages(text, text + 2 * LongCount), 0u);
    // Compared whole, without printing 200 KB when they differ.
    for (std::size_t k : {1, 4, 6}) EXPECT_TRUE(ReadBytes(TargetPath(k)) == bytes) << Status(k);
    EXPECT_EQ(ReadBytes(TargetPath(2)), contents[2]);
    // Read again, from the file: the same text as the copy of the same bytes in the heap, untouched.
    EXPECT_TRUE(std::string_view(text, 2 * LongCount + 2) == heldText);
    EXPECT_TRUE(std::string_view(files.Table()[6].Elements, 2 * LongCount + 2) == heldText);
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
