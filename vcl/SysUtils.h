#pragma once
// Text, number and file-name helpers, and the file system seen through UTF-8
// names. The text routines are portable; the file routines use the wide
// (W) calls on Windows and POSIX elsewhere, so the same names work on both.
//
// Path delimiters: both '\' and '/' end a folder name everywhere, and ':'
// ends a drive, so that Windows paths split the same way in host tests.
#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "System.h"

#ifdef DeleteFile
#undef DeleteFile  // windows.h's macro for DeleteFileW; call that by its W name
#endif

namespace vcl {

// Attribute bits of TSearchRec::Attr and of the FindFirst filter.
inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0xFF;

// The folder delimiter that this platform writes.
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// One entry found by FindFirst / FindNext. It keeps the open search; FindClose
// (or the record's destruction) ends it.
struct TSearchRec {
    std::string Name;   // file name without folder, UTF-8
    std::int64_t Size = 0;
    int Attr = 0;

    TSearchRec();
    TSearchRec(TSearchRec &&) noexcept;
    TSearchRec &operator=(TSearchRec &&) noexcept;
    ~TSearchRec();

    struct TSearch;  // the open search, per platform
    std::unique_ptr<TSearch> Search;
};

// Numbers and text.
std::string IntToStr(std::int64_t value);
// Upper-case hexadecimal digits, at least `digits` of them; a negative value
// is written as its two's complement in the width of the argument's type.
std::string HexDigits(std::uint64_t value, int digits);
template <std::integral T>
    requires(!std::same_as<T, bool>)
std::string IntToHex(T value, int digits) {
    return HexDigits(static_cast<std::make_unsigned_t<T>>(value), digits);
}
// Decimal, or hexadecimal after "$", with an optional sign in front and
// leading blanks allowed. Hexadecimal text may use the full width of the
// result (up to 8 digits for 32 bits, which may then read as negative).
// Anything else raises EConvertError naming the text.
std::int32_t StrToInt(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);
bool TryStrToInt(std::string_view text, std::int32_t &value);
std::int64_t StrToInt64(std::string_view text);
std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue);
bool TryStrToInt64(std::string_view text, std::int64_t &value);

// ASCII case folding: bytes of UTF-8 sequences stay as they are.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);  // <0, 0, >0 without regard to case
int CompareStr(std::string_view a, std::string_view b);   // <0, 0, >0 by bytes
// Removes control characters and blanks (bytes up to 32) from the ends.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// File names.
bool IsPathDelimiter(char c);
std::string ExtractFilePath(std::string_view fileName);  // with its trailing delimiter
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);   // with its dot; empty when none
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);

// The file system.
bool FileExists(const std::string &fileName);       // an existing file, not a folder
bool DirectoryExists(const std::string &directory);
bool CreateDir(const std::string &directory);        // one level; false when it fails
bool RemoveDir(const std::string &directory);
bool DeleteFile(const std::string &fileName);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string &directory);
// Like SetCurrentDir, but raises EInOutError naming the folder when it fails.
void ChDir(const std::string &directory);

// Searches `path` (a folder followed by a name pattern with * and ?, "*.*"
// matching every name) for entries whose special attributes (hidden, system,
// folder) are all allowed by `attr`. Answers 0 and fills `rec` with the first
// entry, or an operating-system error code when there is none.
int FindFirst(const std::string &path, int attr, TSearchRec &rec);
int FindNext(TSearchRec &rec);
void FindClose(TSearchRec &rec);

// The calling thread's last operating-system error and its text.
int GetLastOSError();
std::string SysErrorMessage(int errorCode);

} // namespace vcl
