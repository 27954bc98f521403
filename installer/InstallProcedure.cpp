#include "installer/InstallProcedure.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "installer/CreateShortcut.h"
#include "vcl/Dialogs.h"
#include "vcl/Streams.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"

namespace installer {

namespace {

using vcl::Application;

std::string TargetPath(const PayloadFile &File) {
    return std::string(InstallFolder) + "\\" + std::string(File.InstalledName);
}

// The number of elements the conversion loop runs over: the low 32 bits of
// the size constant, as the stored form fixes it.
std::int32_t ElementCount(const PayloadFile &File) { return static_cast<std::int32_t>(File.Size & 0xFFFFFFFF); }

int BarMax(const PayloadFile &File) {
    const std::int64_t steps = File.StepKind == TStepKind::ByteSteps ? File.Size : File.Size / 10;
    return static_cast<int>(steps & 0xFFFFFFFF);
}

// Advances the per-file bar as the file's elements are converted, and keeps
// the window alive meanwhile. A step only changes the bar's number; the bar
// brings its window up to date when a pump finds its frame due. A pump is
// only worth its cost once some milliseconds have passed, and asking the
// clock whether they have costs as much as a step: every 64th step asks.
// After the file's last step the full bar is shown and pumped whatever the
// time, so that it reaches the screen before the next file sets it back.
class TFileProgress {
public:
    TFileProgress(vcl::TProgressBar &Bar, const PayloadFile &File)
        : FBar(Bar), FTenByteSteps(File.StepKind == TStepKind::TenByteSteps),
          FSteps(FTenByteSteps ? ElementCount(File) / 10 : ElementCount(File)) {}

    void ElementConverted() {
        if (FTenByteSteps) {
            if (++FCounter < 10) return;
            FCounter = 0;
        }
        FBar.StepIt();
        if (++FStepsDone == FSteps) {
            FBar.ShowNow();
            Application->ProcessMessages();
        } else if (FStepsDone % 64 == 0) {
            Application->ProcessMessagesThrottled();
        }
    }

private:
    vcl::TProgressBar &FBar;
    const bool FTenByteSteps;
    const std::int32_t FSteps;
    std::int32_t FStepsDone = 0;
    std::int32_t FCounter = 0;
};

// The bytes of a file written "byte by byte", collected and handed to the
// file a block at a time: the same bytes in the same order, without a system
// call for each. What was put before a failure still reaches the file.
class TByteWriter {
public:
    explicit TByteWriter(vcl::TFileStream &Target) : FTarget(Target) {}
    ~TByteWriter() {
        // Only on the way out of a failure; a write error then must not
        // replace the error that is on its way.
        try {
            Flush();
        } catch (...) {
        }
    }
    TByteWriter(const TByteWriter &) = delete;
    TByteWriter &operator=(const TByteWriter &) = delete;

    void Put(std::uint8_t Byte) {
        if (FCount == FBlock.size()) Flush();
        FBlock[FCount++] = Byte;
    }
    void Flush() {
        const std::size_t count = std::exchange(FCount, 0);
        if (count > 0) FTarget.WriteBuffer(FBlock.data(), count);
    }

private:
    vcl::TFileStream &FTarget;
    std::array<std::uint8_t, 16384> FBlock;
    std::size_t FCount = 0;
};

std::size_t PageSize() {
    static const std::size_t size = [] {
        SYSTEM_INFO system{};
        GetSystemInfo(&system);
        return static_cast<std::size_t>(system.dwPageSize);
    }();
    return size;
}

// Gives the memory of the whole pages inside [Begin, End) back to the
// system; the pages at the edges are shared with neighbours and stay.
// MEM_RESET drops the pages under Wine; unlocking pages that were never
// locked takes them out of the working set under Windows.
void ForgetWholePages(const void *Begin, const void *End) {
    const std::uintptr_t page = PageSize();
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(Begin) + page - 1) / page * page;
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(End) / page * page;
    if (last <= first) return;
    void *pages = reinterpret_cast<void *>(first);
    VirtualAlloc(pages, last - first, MEM_RESET, PAGE_READWRITE);
    VirtualUnlock(pages, last - first);
}

// A work buffer whose bytes are on disk is not read again before the next
// file fills it: its memory is given back, so that the eleven buffers are
// not all held at once.
void ForgetBufferPages(std::uint8_t *Buffer, std::size_t Size) { ForgetWholePages(Buffer, Buffer + Size); }

// Whether the page holding Address is a read-only page of a program image
// whose sections lie on page boundaries in its file. Such a page is mapped
// from the file, and a page given back is read from the file again when it
// is next touched. An image laid out more tightly is copied into memory
// when it is loaded: its pages given back would be lost.
bool MappedFromProgramFile(const void *Address) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(Address, &region, sizeof region) != sizeof region) return false;
    if (region.Type != MEM_IMAGE || region.Protect != PAGE_READONLY) return false;
    const auto *image = static_cast<const std::uint8_t *>(region.AllocationBase);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(image);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(image + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE && nt->OptionalHeader.FileAlignment % PageSize() == 0;
}

// The stored elements are read once, front to back. Where they are pages of
// the program file, the pages that the conversion has passed are given back,
// so that the ten megabytes of stored text are never held at once. Text held
// anywhere else (a test's table) belongs to its caller and is left alone.
class TPassedText {
public:
    TPassedText(const char *Text, std::size_t Size)
        : FText(Text), FProgramFile(Size > 0 && MappedFromProgramFile(Text)) {}
    // The first Size bytes of the text are converted.
    void Passed(std::size_t Size) {
        if (FProgramFile) ForgetWholePages(FText, FText + Size);
    }

private:
    const char *FText;
    bool FProgramFile;
};

// Converts every element of a file in order, advancing the progress after
// each, and hands each byte with its index to Store.
template <class TStore> void ConvertElements(const PayloadFile &File, TFileProgress &Progress, TStore Store) {
    // Elements between two returns of passed pages: 128 KB of text.
    constexpr std::int32_t ElementsPerPass = 1 << 16;
    const std::int32_t count = ElementCount(File);
    TPassedText text(File.Elements, count > 0 ? 2 * static_cast<std::size_t>(count) : 0);
    for (std::int32_t start = 0; start < count; start += ElementsPerPass) {
        const std::int32_t end = count - start > ElementsPerPass ? start + ElementsPerPass : count;
        for (std::int32_t i = start; i < end; ++i) {
            const std::uint8_t byte = HexPairToByte(File.Element(i));
            Progress.ElementConverted();
            Store(i, byte);
        }
        text.Passed(2 * static_cast<std::size_t>(end));
    }
}

// Creates the target and writes the file's converted elements into it:
// buffered files collect them in their buffer and write them in one block,
// the others are written byte by byte. False when the target cannot be
// created (its message is shown). The target is closed on every path.
bool WriteStoredFile(TSDIAppForm &Form, const PayloadFile &File) {
    std::optional<vcl::TFileStream> target;
    try {
        target.emplace(TargetPath(File), vcl::fmCreate);
    } catch (const vcl::EFCreateError &) {
        vcl::ShowMessage(std::string(File.CreateFailedMessage));
        return false;
    }
    const std::int32_t count = ElementCount(File);
    TFileProgress progress(*Form.ProgressBar1, File);
    if (File.Buffer) {
        ConvertElements(File, progress, [&](std::int32_t i, std::uint8_t byte) { File.Buffer[i] = byte; });
        if (count > 0) target->WriteBuffer(File.Buffer, static_cast<std::size_t>(count));
        ForgetBufferPages(File.Buffer, static_cast<std::size_t>(count));
    } else {
        TByteWriter bytes(*target);
        ConvertElements(File, progress, [&](std::int32_t, std::uint8_t byte) { bytes.Put(byte); });
        bytes.Flush();
    }
    return true;
}

// Files 1 to 6: the status line stays until the next file; the overall bar
// advances once the file is written (or kept).
bool InstallEarlyFile(TSDIAppForm &Form, const PayloadFile &File, std::size_t Index) {
    Form.Label2->SetCaption(StatusPrefix + std::string(File.InstalledName));
    Application->ProcessMessages();
    Form.ProgressBar1->SetMax(BarMax(File));
    Form.ProgressBar1->SetPosition(0);
    bool keep = false;
    if (Index == KeptFileIndex) {
        if (Application->Title().find(ProductionWord) == std::string::npos) NonProduction = true;
        keep = vcl::FileExists(TargetPath(File)) && NonProduction;
    }
    if (!keep && !WriteStoredFile(Form, File)) return false;
    Form.ProgressBar2->StepIt();
    return true;
}

// Files 7 to 11: the overall bar advances before the file is written; the
// per-file bar and the status line are cleared after.
bool InstallLateFile(TSDIAppForm &Form, const PayloadFile &File) {
    Form.ProgressBar1->SetPosition(0);
    Form.Label2->SetCaption(StatusPrefix + std::string(File.InstalledName));
    Form.ProgressBar1->SetMax(BarMax(File));
    Form.ProgressBar2->StepIt();
    if (!WriteStoredFile(Form, File)) return false;
    Form.ProgressBar1->SetPosition(0);
    Form.Label2->SetCaption("");
    return true;
}

// The protected part of the install; false when it was abandoned with a message.
bool WriteProduct(TSDIAppForm &Form, const TPayloadTable &Files) {
    if (!vcl::DirectoryExists(InstallFolder) && !MakeDirectory(InstallFolder)) {
        vcl::ShowMessage(FolderFailedMessage);
        return false;
    }
    if (vcl::FileExists(ProgramFileName) && !vcl::DeleteFile(ProgramFileName)) {
        vcl::ShowMessage(OldProgramMessage);
        return false;
    }
    for (std::size_t k = 0; k < Files.size(); ++k) {
        const bool written = k < FirstLateFileIndex ? InstallEarlyFile(Form, Files[k], k)
                                                    : InstallLateFile(Form, Files[k]);
        if (!written) return false;
    }
    Form.ProgressBar2->SetPosition(0);
    vcl::ShowMessage(DoneMessage);
    return true;
}

void EndBusy(TSDIAppForm &Form) {
    Form.Button1->SetEnabled(true);
    InstallBusy = false;
}

// Starts the installed program with its window shown normally, in the
// current folder, and does not wait for it; whether it starts is not asked.
void StartProgram(const std::string &CommandLine) {
    WinExec(CommandLine.c_str(), SW_SHOWNORMAL);
}

} // namespace

bool MakeDirectory(const std::string &Folder) { return vcl::CreateDir(Folder); }

void InstallProduct(TSDIAppForm &Form, const TPayloadTable &Files) {
    Form.Button1->SetEnabled(false);
    InstallBusy = true;
    bool completed = false;
    try {
        completed = WriteProduct(Form, Files);
    } catch (...) {
        EndBusy(Form);
        throw;
    }
    EndBusy(Form);
    if (!completed) return;

    vcl::ChDir(std::string(InstallFolder) + "\\");
    StartProgram(ProgramFileName);
    CreateShortcut(ProgramFileName, DesktopLocation, "");
    Form.Close();
}

} // namespace installer
