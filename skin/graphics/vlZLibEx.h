#pragma once
// Reading zlib-compressed data as a stream: the packed-skin reader copies
// each member of a packed skin out of a TZDecompressionStream. The inflate
// calls are zlib's own; the PNG reader uses InflateInitDefault and zlib's
// calls directly on a z_stream of its own. Portable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "vcl/Streams.h"
#include "vcl/System.h"

namespace skin {

// A failure reported by zlib, with zlib's result code.
class EZLibError : public vcl::Exception {
public:
    // The message of the code (ZLibErrorMessage).
    explicit EZLibError(int Code);
    EZLibError(std::string Message, int Code) : vcl::Exception(std::move(Message)), ErrorCode(Code) {}
    int ErrorCode;
};

class EZDecompressionError : public EZLibError {
    using EZLibError::EZLibError;
};

// "need dictionary" (2) down to "incompatible version" (-6); empty for any
// other code.
std::string ZLibErrorMessage(int Code);

// Raises EZDecompressionError for a negative zlib result; answers the code.
int CheckInflateResult(int Code);

// inflateInit_ of the zlib this program is linked with (its own version
// text and record size, which zlib checks).
int InflateInitDefault(z_stream &Stream);

// Base of the zlib streams: the borrowed source of compressed bytes, the
// inflate state and the input buffer.
class TCustomZStream : public vcl::TStream {
    VCL_CLASS(TCustomZStream, vcl::TStream)
public:
    // Called after each refill of the input buffer.
    vcl::TNotifyEvent OnProgress;

protected:
    explicit TCustomZStream(vcl::TStream &Stream);
    void Progress();

    static constexpr std::size_t BufferSize = 65536;

    vcl::TStream &FStream;      // not owned: the caller keeps the source
    std::int64_t FStreamStart;  // where the compressed data begins in the source
    std::int64_t FStreamPos;    // where the next read from the source must start
    z_stream FZStream{};
    std::vector<Bytef> FBuffer;  // input read ahead from the source
};

// Inflates one zlib stream from the source's position onwards. Read-only and
// forward-only: Seek goes forward by reading, Seek(0, soEnd) reads to the end
// (and answers the inflated size), Seek(0, soBeginning) starts again at the
// position where the stream was created. When the end of the zlib stream is
// reached, the source is put back right after it.
class TZDecompressionStream : public TCustomZStream {
    VCL_CLASS(TZDecompressionStream, TCustomZStream)
public:
    // Raises EZDecompressionError when zlib cannot be initialised.
    explicit TZDecompressionStream(vcl::TStream &Source);
    ~TZDecompressionStream() override;

    // Answers the bytes inflated; fewer than Count when the source ends early
    // or the zlib stream has ended. Damaged data raises EZDecompressionError.
    std::size_t Read(void *Buffer, std::size_t Count) override;
    // Always raises EZDecompressionError: the stream is read-only.
    std::size_t Write(const void *Buffer, std::size_t Count) override;
    // Answers the position, the number of bytes inflated so far. Backward
    // seeks and non-zero offsets from the end raise EZDecompressionError.
    std::int64_t Seek(std::int64_t Offset, vcl::TSeekOrigin Origin) override;
    // True once the end of the zlib stream (its checksum included) was read;
    // a read that answers fewer bytes than asked without it means that the
    // source ended inside the stream.
    bool EndOfStream() const { return FEnded; }

private:
    void SkipForward(std::int64_t Count);
    void Rewind();

    bool FEnded = false;
};

} // namespace skin
