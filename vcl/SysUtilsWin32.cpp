// The file system through the wide Win32 calls.
#include <windows.h>

#include "FileHandle.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

namespace {

DWORD AttributesOf(const std::string &name) { return GetFileAttributesW(Utf8ToWide(name).c_str()); }

DWORD ShareFlags(TFileShare share) {
    switch (share) {
    case TFileShare::Exclusive: return 0;
    case TFileShare::DenyWrite: return FILE_SHARE_READ;
    case TFileShare::DenyRead: return FILE_SHARE_WRITE;
    case TFileShare::Compat:
    case TFileShare::DenyNone: break;
    }
    return FILE_SHARE_READ | FILE_SHARE_WRITE;
}

// Runs a ReadFile or WriteFile call as often as it takes to move `count`
// bytes: they take 32-bit counts, so larger requests go in pieces. Answers
// the bytes moved; -1 when the first call fails.
template <class Byte, class Call> std::int64_t InPieces(Byte *p, std::size_t count, Call transfer) {
    std::int64_t total = 0;
    while (count > 0) {
        const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD done = 0;
        if (!transfer(p, chunk, done)) return total > 0 ? total : -1;
        if (done == 0) break;
        total += done;
        p += done;
        count -= done;
    }
    return total;
}

} // namespace

struct TSearchRec::TSearch {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    int Allowed = 0;  // the special attributes the caller asked for
    ~TSearch() {
        if (Handle != INVALID_HANDLE_VALUE) ::FindClose(Handle);
    }
};

TSearchRec::TSearchRec() = default;
TSearchRec::TSearchRec(TSearchRec &&) noexcept = default;
TSearchRec &TSearchRec::operator=(TSearchRec &&) noexcept = default;
TSearchRec::~TSearchRec() = default;

namespace {

// Fills rec from data when the entry passes the attribute filter.
bool Accept(const WIN32_FIND_DATAW &data, TSearchRec &rec) {
    const int attr = static_cast<int>(data.dwFileAttributes & 0xFF);
    const int special = attr & (faHidden | faSysFile | faDirectory);
    if ((special & ~rec.Search->Allowed) != 0) return false;
    rec.Name = WideToUtf8(data.cFileName);
    rec.Attr = attr;
    rec.Size = static_cast<std::int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return true;
}

} // namespace

int FindFirst(const std::string &path, int attr, TSearchRec &rec) {
    FindClose(rec);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(Utf8ToWide(path).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    rec.Search = std::make_unique<TSearchRec::TSearch>();
    rec.Search->Handle = h;
    rec.Search->Allowed = attr;
    if (Accept(data, rec)) return 0;
    return FindNext(rec);
}

int FindNext(TSearchRec &rec) {
    if (!rec.Search) return ERROR_NO_MORE_FILES;
    WIN32_FIND_DATAW data;
    while (FindNextFileW(rec.Search->Handle, &data))
        if (Accept(data, rec)) return 0;
    return static_cast<int>(GetLastError());
}

void FindClose(TSearchRec &rec) { rec.Search.reset(); }

bool FileExists(const std::string &fileName) {
    const DWORD a = AttributesOf(fileName);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string &directory) {
    const DWORD a = AttributesOf(directory);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::string &directory) { return CreateDirectoryW(Utf8ToWide(directory).c_str(), nullptr) != 0; }
bool RemoveDir(const std::string &directory) { return RemoveDirectoryW(Utf8ToWide(directory).c_str()) != 0; }
bool DeleteFile(const std::string &fileName) { return ::DeleteFileW(Utf8ToWide(fileName).c_str()) != 0; }

std::string GetCurrentDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(n, L'\0');
    const DWORD written = GetCurrentDirectoryW(n, buffer.data());
    buffer.resize(written);
    return WideToUtf8(buffer);
}

bool SetCurrentDir(const std::string &directory) { return SetCurrentDirectoryW(Utf8ToWide(directory).c_str()) != 0; }

int GetLastOSError() { return static_cast<int>(GetLastError()); }

std::string SysErrorMessage(int errorCode) {
    wchar_t *text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    if (n == 0 || !text) return "System error " + IntToStr(errorCode);
    std::string message = Trim(WideToUtf8(std::wstring_view(text, n)));
    LocalFree(text);
    return message;
}

// TFileHandle

TFileHandle::TFileHandle(TFileHandle &&other) noexcept : FHandle(other.FHandle) { other.FHandle = nullptr; }

TFileHandle &TFileHandle::operator=(TFileHandle &&other) noexcept {
    if (this != &other) {
        Close();
        FHandle = other.FHandle;
        other.FHandle = nullptr;
    }
    return *this;
}

TFileHandle::~TFileHandle() { Close(); }

bool TFileHandle::Open(const std::string &fileName, TFileAccess access, TFileShare share) {
    Close();
    const DWORD rights = access == TFileAccess::Read ? GENERIC_READ
                         : access == TFileAccess::Write ? GENERIC_WRITE
                                                        : GENERIC_READ | GENERIC_WRITE;
    HANDLE h = CreateFileW(Utf8ToWide(fileName).c_str(), rights, ShareFlags(share), nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FHandle = h;
    return true;
}

bool TFileHandle::Create(const std::string &fileName, TFileShare share) {
    Close();
    HANDLE h = CreateFileW(Utf8ToWide(fileName).c_str(), GENERIC_READ | GENERIC_WRITE, ShareFlags(share), nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FHandle = h;
    return true;
}

void TFileHandle::Close() {
    if (FHandle) CloseHandle(FHandle);
    FHandle = nullptr;
}

bool TFileHandle::IsOpen() const { return FHandle != nullptr; }

std::int64_t TFileHandle::Read(void *buffer, std::size_t count) {
    return InPieces(static_cast<char *>(buffer), count, [this](char *p, DWORD n, DWORD &done) {
        return ReadFile(FHandle, p, n, &done, nullptr) != 0;
    });
}

std::int64_t TFileHandle::Write(const void *buffer, std::size_t count) {
    return InPieces(static_cast<const char *>(buffer), count, [this](const char *p, DWORD n, DWORD &done) {
        return WriteFile(FHandle, p, n, &done, nullptr) != 0;
    });
}

std::int64_t TFileHandle::Seek(std::int64_t offset, int origin) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    const DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(FHandle, distance, &result, method)) return -1;
    return result.QuadPart;
}

bool TFileHandle::Truncate() { return SetEndOfFile(FHandle) != 0; }

} // namespace vcl
