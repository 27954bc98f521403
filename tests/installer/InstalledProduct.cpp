#include "InstalledProduct.h"

#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "UiDriver.h"
#include "installer/ComInterface.h"
#include "installer/InstallProcedure.h"
#include "vcl/WideText.h"

namespace installer::test {

TChildProcess::TChildProcess(std::wstring CommandLine, const fs::path &Folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Folder.empty() ? nullptr : Folder.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    FProcess = TOwnedHandle(info.hProcess);
    FId = info.dwProcessId;
}

TChildProcess::~TChildProcess() {
    if (FProcess && !Wait(0ms)) {
        TerminateProcess(FProcess.Get(), 1);
        Wait(10s);
    }
}

bool TChildProcess::Wait(std::chrono::milliseconds Timeout) const {
    return FProcess && WaitForSingleObject(FProcess.Get(), static_cast<DWORD>(Timeout.count())) == WAIT_OBJECT_0;
}

long TChildProcess::WaitForExit(std::chrono::milliseconds Timeout) const {
    if (!Wait(Timeout)) return -1;
    DWORD code = 0;
    GetExitCodeProcess(FProcess.Get(), &code);
    return static_cast<long>(code);
}

fs::path HostFolder(const std::string &UnixPath) {
    std::string path = "Z:" + UnixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return fs::path(vcl::Utf8ToWide(path));
}

fs::path PayloadFolder() { return HostFolder(ZUVO_PAYLOAD_FOLDER); }

const fs::path &InstallFolderPath() {
    static const fs::path folder = vcl::Utf8ToWide(InstallFolder);
    return folder;
}

namespace {

fs::path InstalledName(std::size_t k) { return vcl::Utf8ToWide(std::string(PayloadFileInfos().at(k).InstalledName)); }

} // namespace

fs::path TargetPath(std::size_t k) { return InstallFolderPath() / InstalledName(k); }

fs::path PayloadPath(std::size_t k) { return PayloadFolder() / InstalledName(k); }

fs::path DesktopFolder() {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     L"Desktop", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

namespace {

// Closes one window of the stand-in product and waits for its process to end.
void CloseProduct(HWND Window) {
    DWORD id = 0;
    GetWindowThreadProcessId(Window, &id);
    const TOwnedHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    PostMessageW(Window, WM_CLOSE, 0, 0);
    if (process) WaitForSingleObject(process.Get(), 10000);
}

} // namespace

void CleanInstall() {
    // A product left running by a check that stopped early would keep its
    // program file from being removed.
    for (HWND product : uitest::TopLevelWindows("MerkanoZuvoStandIn")) CloseProduct(product);
    static const fs::path startFolder = fs::current_path();
    fs::current_path(startFolder);
    std::error_code ignored;
    fs::remove_all(InstallFolderPath(), ignored);
    const fs::path desktop = DesktopFolder();
    if (!desktop.empty()) fs::remove(desktop / "merkzuvo.lnk", ignored);
}

std::string ReadBytes(const fs::path &File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path &File, const std::string &Bytes) {
    std::ofstream out(File, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + vcl::WideToUtf8(File.wstring()));
}

TOwnedHandle HoldFile(const fs::path &File, DWORD Share) {
    return TOwnedHandle(CreateFileW(File.c_str(), GENERIC_READ, Share, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string WaitForStartedProduct() {
    // The stand-in records its start before its window appears.
    if (HWND product = uitest::WaitForTopLevelWindow("MerkanoZuvoStandIn", 20s)) CloseProduct(product);
    return ReadBytes(InstallFolderPath() / "merkzuvo-started.txt");
}

fs::path ArtifactsFolder() { return HostFolder(ZUVO_ARTIFACTS_FOLDER); }

bool KeepPicture(HWND Window, const std::string &Name) {
    // A window just shown may still be painting: drawn, and the same twice in a row.
    uitest::TImage32 picture, before;
    const bool drawn = uitest::PumpUntil(
        [&] {
            before = std::exchange(picture, uitest::CaptureXWindow(Window));
            return uitest::IsDrawn(picture) && picture.Pixels == before.Pixels;
        },
        5s);
    if (picture.Width > 0) {
        fs::create_directories(ArtifactsFolder());
        uitest::WritePng(vcl::WideToUtf8((ArtifactsFolder() / (Name + ".png")).wstring()), picture);
    }
    return drawn;
}

TShortcut ReadShortcut(const fs::path &File) {
    const TComApartment apartment;
    TInterface<IShellLinkW> link;
    TInterface<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Out())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.Out())) || FAILED(persist->Load(File.c_str(), STGM_READ)))
        return {};
    TShortcut shortcut;
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) shortcut.Path = vcl::WideToUtf8(text);
    text[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) shortcut.WorkingDirectory = vcl::WideToUtf8(text);
    return shortcut;
}

} // namespace installer::test
