#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "SysUtils.h"

namespace vcl {

VCL_CLASS_INFO(TStream)
VCL_CLASS_INFO(TCustomMemoryStream)
VCL_CLASS_INFO(TMemoryStream)
VCL_CLASS_INFO(TFileStream)

namespace {

constexpr std::size_t CopyChunk = 64 * 1024;

[[noreturn]] void RaiseBadPosition() { throw EStreamError("Invalid stream position"); }

} // namespace

// TStream

std::int64_t TStream::Size() {
    const std::int64_t pos = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("A " + ClassName() + " cannot change its size"); }

void TStream::ReadBuffer(void *Buffer, std::size_t Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void *Buffer, std::size_t Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream &Source, std::int64_t Count) {
    if (Count < 0) throw EStreamError("Cannot copy a negative number of bytes");
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(Count, CopyChunk)));
    std::int64_t left = Count;
    while (left > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, CopyChunk));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= static_cast<std::int64_t>(n);
    }
    return Count;
}

std::int64_t TStream::CopyFrom(TStream &Source) {
    Source.SetPosition(0);
    return CopyFrom(Source, Source.Size());
}

// TCustomMemoryStream

std::size_t TCustomMemoryStream::Read(void *Buffer, std::size_t Count) {
    const std::int64_t size = Size();
    if (FPosition >= size) return 0;
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(Count), size - FPosition));
    std::memcpy(Buffer, FMemory + FPosition, n);
    FPosition += static_cast<std::int64_t>(n);
    return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const std::int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
    // Offsets come from file contents too: a sum past the 64-bit range is a bad position, not a wrap.
    std::int64_t pos;
    if (__builtin_add_overflow(base, Offset, &pos) || pos < 0) RaiseBadPosition();
    FPosition = pos;
    return pos;
}

void TCustomMemoryStream::SetPointer(std::uint8_t *Memory, std::size_t Size) {
    FMemory = Memory;
    FSize = Size;
}

// TMemoryStream

std::size_t TMemoryStream::Write(const void *Buffer, std::size_t Count) {
    if (Count == 0) return 0;
    if (Count > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() - FPosition)) RaiseBadPosition();
    const std::int64_t end = FPosition + static_cast<std::int64_t>(Count);
    if (end > Size()) SetSize(end);
    std::memcpy(FData.data() + FPosition, Buffer, Count);
    FPosition = end;
    return Count;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
    if (NewSize < 0) RaiseBadPosition();
    if (static_cast<std::uint64_t>(NewSize) > std::min<std::uint64_t>(FData.max_size(), std::numeric_limits<std::size_t>::max()))
        throw EStreamError("Out of memory while expanding memory stream");
    try {
        FData.resize(static_cast<std::size_t>(NewSize));
    } catch (const std::bad_alloc &) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::length_error &) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
    SetPointer(FData.data(), FData.size());
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    SetPointer(nullptr, 0);
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream &Stream) {
    Stream.SetPosition(0);
    const std::int64_t size = Stream.Size();
    SetSize(size);
    FPosition = 0;
    Stream.ReadBuffer(Memory(), FData.size());
}

void TMemoryStream::LoadFromFile(const std::string &FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream &Stream) const { Stream.WriteBuffer(FData.data(), FData.size()); }

void TMemoryStream::SaveToFile(const std::string &FileName) const {
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

// TFileStream

namespace {

TFileShare ShareOf(std::uint16_t mode) {
    switch (mode & 0x00F0) {
    case fmShareExclusive: return TFileShare::Exclusive;
    case fmShareDenyWrite: return TFileShare::DenyWrite;
    case fmShareDenyRead: return TFileShare::DenyRead;
    case fmShareDenyNone: return TFileShare::DenyNone;
    default: return TFileShare::Compat;
    }
}

} // namespace

TFileStream::TFileStream(const std::string &FileName, std::uint16_t Mode) : FFileName(FileName) {
    if ((Mode & fmCreate) == fmCreate) {
        if (!FHandle.Create(FileName, ShareOf(Mode))) {
            const int code = GetLastOSError();
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + SysErrorMessage(code));
        }
        return;
    }
    const TFileAccess access = (Mode & 3) == fmOpenWrite       ? TFileAccess::Write
                               : (Mode & 3) == fmOpenReadWrite ? TFileAccess::ReadWrite
                                                               : TFileAccess::Read;
    if (!FHandle.Open(FileName, access, ShareOf(Mode))) {
        const int code = GetLastOSError();
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(code));
    }
}

std::size_t TFileStream::Read(void *Buffer, std::size_t Count) {
    const std::int64_t n = FHandle.Read(Buffer, Count);
    if (n < 0) throw EReadError("Cannot read file \"" + FFileName + "\". " + SysErrorMessage(GetLastOSError()));
    return static_cast<std::size_t>(n);
}

std::size_t TFileStream::Write(const void *Buffer, std::size_t Count) {
    const std::int64_t n = FHandle.Write(Buffer, Count);
    if (n < 0) throw EWriteError("Cannot write file \"" + FFileName + "\". " + SysErrorMessage(GetLastOSError()));
    return static_cast<std::size_t>(n);
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const std::int64_t pos = FHandle.Seek(Offset, Origin == soBeginning ? 0 : Origin == soCurrent ? 1 : 2);
    if (pos < 0) RaiseBadPosition();
    return pos;
}

void TFileStream::SetSize(std::int64_t NewSize) {
    const std::int64_t pos = Seek(0, soCurrent);
    Seek(NewSize, soBeginning);
    if (!FHandle.Truncate()) throw EStreamError("Cannot change the size of \"" + FFileName + "\". " + SysErrorMessage(GetLastOSError()));
    Seek(std::min(pos, NewSize), soBeginning);
}

} // namespace vcl
