#pragma once
// Streams of bytes with 64-bit positions: the abstract TStream, a stream in
// memory and a stream on a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FileHandle.h"
#include "System.h"

namespace vcl {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// TFileStream modes: one access mode, combined with one share mode.
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmCreate = 0x1000;  // a new empty file, replacing one of the name
inline constexpr std::uint16_t fmShareCompat = 0x0000;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyRead = 0x0030;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
    VCL_CLASS(TStream, TObject)
public:
    // Read and Write transfer up to Count bytes and answer how many they did.
    virtual std::size_t Read(void *Buffer, std::size_t Count) = 0;
    virtual std::size_t Write(const void *Buffer, std::size_t Count) = 0;
    // Answers the new position; raises EStreamError for a position before the start.
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t NewSize);

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }

    // Transfer exactly Count bytes or raise EReadError / EWriteError.
    void ReadBuffer(void *Buffer, std::size_t Count);
    void WriteBuffer(const void *Buffer, std::size_t Count);
    // Copies exactly Count bytes from Source's position (0 copies nothing)
    // and raises EReadError when Source ends first. Answers Count.
    std::int64_t CopyFrom(TStream &Source, std::int64_t Count);
    // Copies the whole of Source, from its start. Answers the bytes copied.
    std::int64_t CopyFrom(TStream &Source);
};

// A stream over bytes in memory that someone else keeps: the base of the
// memory and resource streams. Its position may lie past the end.
class TCustomMemoryStream : public TStream {
    VCL_CLASS(TCustomMemoryStream, TStream)
public:
    std::size_t Read(void *Buffer, std::size_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FSize); }

    std::uint8_t *Memory() { return FMemory; }
    const std::uint8_t *Memory() const { return FMemory; }

protected:
    void SetPointer(std::uint8_t *Memory, std::size_t Size);
    std::int64_t FPosition = 0;

private:
    std::uint8_t *FMemory = nullptr;
    std::size_t FSize = 0;
};

class TMemoryStream : public TCustomMemoryStream {
    VCL_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    // Writing past the end grows the stream; a gap is filled with zeros.
    std::size_t Write(const void *Buffer, std::size_t Count) override;
    void SetSize(std::int64_t NewSize) override;

    void Clear();
    // Replace the content with the whole of Stream / the file, position 0.
    void LoadFromStream(TStream &Stream);
    void LoadFromFile(const std::string &FileName);
    // Write the whole content, whatever the position.
    void SaveToStream(TStream &Stream) const;
    void SaveToFile(const std::string &FileName) const;

private:
    std::vector<std::uint8_t> FData;
};

// A file opened or created by name (UTF-8). Failure to open raises
// EFOpenError, failure to create EFCreateError; both name the file and say
// why. Share modes apply on Windows.
class TFileStream : public TStream {
    VCL_CLASS(TFileStream, TStream)
public:
    TFileStream(const std::string &FileName, std::uint16_t Mode);

    std::size_t Read(void *Buffer, std::size_t Count) override;
    std::size_t Write(const void *Buffer, std::size_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(std::int64_t NewSize) override;

    const std::string &FileName() const { return FFileName; }

private:
    std::string FFileName;
    TFileHandle FHandle;
};

} // namespace vcl
