#include "vlZLibEx.h"

#include <algorithm>
#include <array>
#include <limits>

namespace skin {

VCL_CLASS_INFO(TCustomZStream)
VCL_CLASS_INFO(TZDecompressionStream)

namespace {

// Indexed by 2 - code: zlib's codes run from Z_NEED_DICT (2) down to
// Z_VERSION_ERROR (-6).
constexpr std::array<const char *, 10> ZLibMessages{
    "need dictionary", "stream end", "ok", "file error", "stream error",
    "data error", "insufficient memory", "buffer error", "incompatible version", ""};

constexpr const char *InvalidOperation = "Invalid ZStream operation!";
constexpr std::size_t SkipBlock = 8192;

} // namespace

EZLibError::EZLibError(int Code) : vcl::Exception(ZLibErrorMessage(Code)), ErrorCode(Code) {}

std::string ZLibErrorMessage(int Code) {
    // A code outside the table (a newer zlib's, or garbage) has no message;
    // computing 2 - Code in 64 bits keeps INT_MIN from overflowing.
    const std::int64_t index = 2 - static_cast<std::int64_t>(Code);
    if (index < 0 || index >= static_cast<std::int64_t>(ZLibMessages.size())) return {};
    return ZLibMessages[static_cast<std::size_t>(index)];
}

int CheckInflateResult(int Code) {
    if (Code < 0) throw EZDecompressionError(Code);
    return Code;
}

// No memory routines are handed over: with none, the linked zlib takes and
// frees its memory on the C runtime's heap, which is the program's own.
int InflateInitDefault(z_stream &Stream) {
    return inflateInit_(&Stream, ZLIB_VERSION, static_cast<int>(sizeof(z_stream)));
}

// TCustomZStream

TCustomZStream::TCustomZStream(vcl::TStream &Stream)
    : FStream(Stream), FStreamStart(Stream.Position()), FStreamPos(FStreamStart), FBuffer(BufferSize) {
    FZStream.next_in = FBuffer.data();
    FZStream.avail_in = 0;
}

void TCustomZStream::Progress() {
    if (OnProgress) OnProgress(this);
}

// TZDecompressionStream

TZDecompressionStream::TZDecompressionStream(vcl::TStream &Source) : TCustomZStream(Source) {
    CheckInflateResult(InflateInitDefault(FZStream));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZStream); }

std::size_t TZDecompressionStream::Read(void *Buffer, std::size_t Count) {
    auto *out = static_cast<Bytef *>(Buffer);
    std::size_t left = Count;
    if (FStream.Position() != FStreamPos) FStream.SetPosition(FStreamPos);

    int result = FEnded ? Z_STREAM_END : Z_OK;
    while (left > 0 && result != Z_STREAM_END) {
        bool sourceEnded = false;
        if (FZStream.avail_in == 0) {
            const std::size_t got = FStream.Read(FBuffer.data(), FBuffer.size());
            sourceEnded = got == 0;
            if (!sourceEnded) {
                FZStream.next_in = FBuffer.data();
                FZStream.avail_in = static_cast<uInt>(got);
                FStreamPos = FStream.Position();
                Progress();
            }
        }
        // avail_out is 32 bits wide; a larger request is served in pieces.
        const auto piece = static_cast<uInt>(std::min<std::size_t>(left, std::numeric_limits<uInt>::max()));
        FZStream.next_out = out;
        FZStream.avail_out = piece;
        // Even with the source at its end, inflate may hold bits it has
        // read and a match it has not copied out yet: it hands them out
        // until it has nothing left, which it tells by Z_BUF_ERROR. A source
        // that ends early is then the caller's to notice by the count.
        const int code = inflate(&FZStream, Z_NO_FLUSH);
        if (sourceEnded && code == Z_BUF_ERROR) break;
        result = CheckInflateResult(code);
        // A stream that wants a preset dictionary never makes progress
        // without one, and packed skins carry none.
        if (result == Z_NEED_DICT) throw EZDecompressionError(result);
        const std::size_t produced = piece - FZStream.avail_out;
        out += produced;
        left -= produced;
    }

    if (result == Z_STREAM_END) FEnded = true;
    // Input read ahead past the end of the zlib stream belongs to whatever
    // follows it in the source: give it back.
    if (result == Z_STREAM_END && FZStream.avail_in > 0) {
        FStreamPos = FStream.Seek(-static_cast<std::int64_t>(FZStream.avail_in), vcl::soCurrent);
        FZStream.avail_in = 0;
    }
    return Count - left;
}

std::size_t TZDecompressionStream::Write(const void *, std::size_t) {
    throw EZDecompressionError(InvalidOperation, 0);
}

std::int64_t TZDecompressionStream::Seek(std::int64_t Offset, vcl::TSeekOrigin Origin) {
    const auto position = static_cast<std::int64_t>(FZStream.total_out);
    if (Offset == 0 && Origin == vcl::soBeginning) {
        Rewind();
    } else if (Origin == vcl::soCurrent && Offset >= 0) {
        SkipForward(Offset);
    } else if (Origin == vcl::soBeginning && Offset >= position) {
        // A seek to where the stream stands answers its position rather than
        // raising: Size() seeks back to the position it found, and a stream
        // read to its end would otherwise fail to tell its size.
        SkipForward(Offset - position);
    } else if (Origin == vcl::soEnd && Offset == 0) {
        std::array<Bytef, SkipBlock> discard;
        while (Read(discard.data(), discard.size()) != 0) {
        }
    } else {
        throw EZDecompressionError(InvalidOperation, 0);
    }
    return static_cast<std::int64_t>(FZStream.total_out);
}

void TZDecompressionStream::SkipForward(std::int64_t Count) {
    std::array<Bytef, SkipBlock> discard;
    while (Count > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(Count, SkipBlock));
        ReadBuffer(discard.data(), n);
        Count -= static_cast<std::int64_t>(n);
    }
}

void TZDecompressionStream::Rewind() {
    CheckInflateResult(inflateReset(&FZStream));
    FEnded = false;
    FZStream.next_in = FBuffer.data();
    FZStream.avail_in = 0;
    // The stream began where the source stood at its creation, which is not
    // the source's start when the zlib data follows other data.
    FStream.SetPosition(FStreamStart);
    FStreamPos = FStreamStart;
}

} // namespace skin
