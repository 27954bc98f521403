// The file system through POSIX calls, for the host build. Share modes have
// no equivalent here and are ignored.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileHandle.h"
#include "SysUtils.h"

namespace vcl {

namespace {

bool Matches(std::string_view pattern, std::string_view name) {
    // Case-insensitive wildcard match, as names are matched on Windows.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || CompareText(pattern.substr(p, 1), name.substr(n, 1)) == 0)) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// Runs a read or write call until `count` bytes have moved, the file ends
// or it fails; an interrupted call is repeated. Answers the bytes moved; -1
// when the first call fails.
template <class Byte, class Call> std::int64_t InPieces(Byte *p, std::size_t count, Call transfer) {
    std::int64_t total = 0;
    while (count > 0) {
        const ssize_t done = transfer(p, count);
        if (done < 0) {
            if (errno == EINTR) continue;
            return total > 0 ? total : -1;
        }
        if (done == 0) break;
        total += done;
        p += done;
        count -= static_cast<std::size_t>(done);
    }
    return total;
}

} // namespace

struct TSearchRec::TSearch {
    DIR *Dir = nullptr;
    std::string Folder;
    std::string Pattern;
    int Allowed = 0;
    ~TSearch() {
        if (Dir) closedir(Dir);
    }
};

TSearchRec::TSearchRec() = default;
TSearchRec::TSearchRec(TSearchRec &&) noexcept = default;
TSearchRec &TSearchRec::operator=(TSearchRec &&) noexcept = default;
TSearchRec::~TSearchRec() = default;

int FindFirst(const std::string &path, int attr, TSearchRec &rec) {
    FindClose(rec);
    auto search = std::make_unique<TSearchRec::TSearch>();
    search->Folder = ExtractFilePath(path);
    search->Pattern = ExtractFileName(path);
    if (search->Pattern == "*.*") search->Pattern = "*";
    search->Allowed = attr;
    search->Dir = opendir(search->Folder.empty() ? "." : search->Folder.c_str());
    if (!search->Dir) return errno;
    rec.Search = std::move(search);
    return FindNext(rec);
}

int FindNext(TSearchRec &rec) {
    if (!rec.Search) return ENOENT;
    TSearchRec::TSearch &s = *rec.Search;
    while (dirent *entry = readdir(s.Dir)) {
        const std::string name = entry->d_name;
        if (!Matches(s.Pattern, name)) continue;
        struct stat st;
        if (stat((s.Folder + name).c_str(), &st) != 0) continue;
        int attr = 0;
        if (S_ISDIR(st.st_mode)) attr |= faDirectory;
        if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
        if ((attr & (faHidden | faSysFile | faDirectory) & ~s.Allowed) != 0) continue;
        rec.Name = name;
        rec.Attr = attr;
        rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
        return 0;
    }
    return ENOENT;
}

void FindClose(TSearchRec &rec) { rec.Search.reset(); }

bool FileExists(const std::string &fileName) {
    struct stat st;
    return stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string &directory) {
    struct stat st;
    return stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string &directory) { return mkdir(directory.c_str(), 0777) == 0; }
bool RemoveDir(const std::string &directory) { return rmdir(directory.c_str()) == 0; }
bool DeleteFile(const std::string &fileName) { return !DirectoryExists(fileName) && unlink(fileName.c_str()) == 0; }

std::string GetCurrentDir() {
    std::string buffer(256, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

bool SetCurrentDir(const std::string &directory) { return chdir(directory.c_str()) == 0; }

int GetLastOSError() { return errno; }

std::string SysErrorMessage(int errorCode) { return std::strerror(errorCode); }

// TFileHandle

TFileHandle::TFileHandle(TFileHandle &&other) noexcept : FHandle(other.FHandle) { other.FHandle = -1; }

TFileHandle &TFileHandle::operator=(TFileHandle &&other) noexcept {
    if (this != &other) {
        Close();
        FHandle = other.FHandle;
        other.FHandle = -1;
    }
    return *this;
}

TFileHandle::~TFileHandle() { Close(); }

bool TFileHandle::Open(const std::string &fileName, TFileAccess access, TFileShare) {
    Close();
    const int flags = access == TFileAccess::Read ? O_RDONLY : access == TFileAccess::Write ? O_WRONLY : O_RDWR;
    FHandle = open(fileName.c_str(), flags | O_CLOEXEC);
    if (FHandle >= 0 && DirectoryExists(fileName)) {
        Close();
        errno = EISDIR;
    }
    return FHandle >= 0;
}

bool TFileHandle::Create(const std::string &fileName, TFileShare) {
    Close();
    FHandle = open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return FHandle >= 0;
}

void TFileHandle::Close() {
    if (FHandle >= 0) close(FHandle);
    FHandle = -1;
}

bool TFileHandle::IsOpen() const { return FHandle >= 0; }

std::int64_t TFileHandle::Read(void *buffer, std::size_t count) {
    return InPieces(static_cast<char *>(buffer), count, [this](char *p, std::size_t n) { return read(FHandle, p, n); });
}

std::int64_t TFileHandle::Write(const void *buffer, std::size_t count) {
    return InPieces(static_cast<const char *>(buffer), count,
                    [this](const char *p, std::size_t n) { return write(FHandle, p, n); });
}

std::int64_t TFileHandle::Seek(std::int64_t offset, int origin) {
    const int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END;
    return lseek(FHandle, static_cast<off_t>(offset), whence);
}

bool TFileHandle::Truncate() {
    const off_t at = lseek(FHandle, 0, SEEK_CUR);
    return at >= 0 && ftruncate(FHandle, at) == 0;
}

} // namespace vcl
