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
class TFileProgress {
public:
    TFileProgress(vcl::TProgressBar &Bar, const PayloadFile &File)
        : FBar(Bar), FTenByteSteps(File.StepKind == TStepKind::TenByteSteps) {}

    void ElementConverted() {
        if (FTenByteSteps) {
            if (++FCounter < 10) return;
            FCounter = 0;
        }
        FBar.StepIt();
        if (++FStepsDone % 64 == 0) Application->ProcessMessagesThrottled();
    }

private:
    vcl::TProgressBar &FBar;
    const bool FTenByteSteps;
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

// A work buffer whose bytes are on disk is not read again before the next
// file fills it: its memory is given back to the system, so that the eleven
// buffers are not all held at once. Whole pages only, since the buffers'
// neighbours share the pages at their edges.
void ForgetBufferPages(std::uint8_t *Buffer, std::size_t Size) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    const std::size_t skip = (page - reinterpret_cast<std::uintptr_t>(Buffer) % page) % page;
    if (Size <= skip) return;
    const std::size_t whole = (Size - skip) / page * page;
    if (whole == 0) return;
    // MEM_RESET drops the pages under Wine; unlocking pages that were never
    // locked takes them out of the working set under Windows.
    VirtualAlloc(Buffer + skip, whole, MEM_RESET, PAGE_READWRITE);
    VirtualUnlock(Buffer + skip, whole);
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
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint8_t byte = HexPairToByte(File.Element(i));
            progress.ElementConverted();
            File.Buffer[i] = byte;
        }
        if (count > 0) target->WriteBuffer(File.Buffer, static_cast<std::size_t>(count));
        ForgetBufferPages(File.Buffer, static_cast<std::size_t>(count));
    } else {
        TByteWriter bytes(*target);
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint8_t byte = HexPairToByte(File.Element(i));
            progress.ElementConverted();
            bytes.Put(byte);
        }
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

// Starts a program as a command line with its window shown normally, in the
// current folder, and does not wait for it; whether it starts is not asked.
void StartProgram(const std::string &CommandLine) {
    std::wstring command = vcl::Utf8ToWide(CommandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
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
