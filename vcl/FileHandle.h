#pragma once
// An open operating-system file behind one small interface, so that the
// streams stay portable. Names are UTF-8; Windows opens them with the wide
// calls, so Czech file names work on every code page. Used by TFileStream.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vcl {

enum class TFileAccess { Read, Write, ReadWrite };
enum class TFileShare { Compat, Exclusive, DenyWrite, DenyRead, DenyNone };

class TFileHandle {
public:
    TFileHandle() = default;
    TFileHandle(TFileHandle &&other) noexcept;
    TFileHandle &operator=(TFileHandle &&other) noexcept;
    TFileHandle(const TFileHandle &) = delete;
    TFileHandle &operator=(const TFileHandle &) = delete;
    ~TFileHandle();

    // Each answers false (or -1) on failure; GetLastOSError tells why.
    bool Open(const std::string &fileName, TFileAccess access, TFileShare share);
    bool Create(const std::string &fileName, TFileShare share);  // empty, read-write, replacing a file
    void Close();
    bool IsOpen() const;

    std::int64_t Read(void *buffer, std::size_t count);
    std::int64_t Write(const void *buffer, std::size_t count);
    std::int64_t Seek(std::int64_t offset, int origin);  // origin 0 start, 1 current, 2 end
    bool Truncate();                                     // the file ends at the current position

private:
#ifdef _WIN32
    void *FHandle = nullptr;  // a HANDLE; null while closed
#else
    int FHandle = -1;
#endif
};

} // namespace vcl
