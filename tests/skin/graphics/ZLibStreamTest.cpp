// The zlib decompression stream against members compressed here with zlib.
#include "skin/graphics/vlZLibEx.h"

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using skin::EZDecompressionError;
using skin::TZDecompressionStream;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Text-like data that compresses well.
Bytes TextData(std::size_t size) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>('a' + (i * 7 + i / 13) % 26);
    return data;
}

// Data that barely compresses, so its zlib stream is about as long as itself.
Bytes NoiseData(std::size_t size) {
    Bytes data(size);
    std::uint32_t x = 2463534242u;
    for (auto &b : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    return data;
}

Bytes Compress(const Bytes &data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

void Append(Bytes &to, const Bytes &what) { to.insert(to.end(), what.begin(), what.end()); }

vcl::TMemoryStream StreamOf(const Bytes &bytes) {
    vcl::TMemoryStream s;
    s.WriteBuffer(bytes.data(), bytes.size());
    s.SetPosition(0);
    return s;
}

Bytes ReadAll(vcl::TStream &s, std::size_t count) {
    Bytes out(count);
    out.resize(s.Read(out.data(), count));
    return out;
}

} // namespace

TEST(ZLibStream, ReadsASmallMemberWhole) {
    const Bytes data = TextData(1000);
    auto source = StreamOf(Compress(data));
    TZDecompressionStream z(source);
    EXPECT_EQ(ReadAll(z, data.size()), data);
    EXPECT_EQ(z.Position(), 1000);
    EXPECT_EQ(source.Position(), source.Size());
}

TEST(ZLibStream, MemberLongerThanTheInputBufferRefillsAndReportsProgress) {
    const Bytes data = NoiseData(200000);
    const Bytes packed = Compress(data);
    ASSERT_GT(packed.size(), 3 * 65536u);
    auto source = StreamOf(packed);
    TZDecompressionStream z(source);
    int refills = 0;
    struct Counter {
        int *n;
        void Tick(vcl::TObject *) { ++*n; }
    } counter{&refills};
    z.OnProgress = vcl::TNotifyEvent::Bind<&Counter::Tick>(&counter);
    // Read in odd pieces so that reads end inside inflate's output.
    Bytes got;
    Bytes piece(7777);
    std::size_t n;
    while ((n = z.Read(piece.data(), piece.size())) != 0) got.insert(got.end(), piece.begin(), piece.begin() + n);
    EXPECT_EQ(got, data);
    EXPECT_EQ(refills, static_cast<int>((packed.size() + 65535) / 65536));
}

TEST(ZLibStream, BackToBackMembersEachLeaveTheSourceRightAfterThemselves) {
    // A header, three members (the middle one over 64 KB compressed, so its
    // end lies in a later refill), then trailing bytes.
    const Bytes header = {'G', 'M', 'Z', 1};
    const std::vector<Bytes> members = {TextData(5000), NoiseData(150000), TextData(1)};
    const Bytes trailer = {0xDE, 0xAD, 0xBE, 0xEF};
    Bytes all = header;
    std::vector<std::int64_t> ends;
    for (const Bytes &m : members) {
        Append(all, Compress(m));
        ends.push_back(static_cast<std::int64_t>(all.size()));
    }
    Append(all, trailer);

    auto source = StreamOf(all);
    source.SetPosition(static_cast<std::int64_t>(header.size()));
    for (std::size_t i = 0; i < members.size(); ++i) {
        TZDecompressionStream z(source);
        Bytes got(members[i].size());
        z.ReadBuffer(got.data(), got.size());
        EXPECT_EQ(got, members[i]) << "member " << i;
        EXPECT_EQ(source.Position(), ends[i]) << "member " << i;
    }
    EXPECT_EQ(ReadAll(source, 100), trailer);
}

TEST(ZLibStream, ReadsStopAtTheEndOfTheZlibStream) {
    const Bytes data = TextData(3000);
    Bytes all = Compress(data);
    const auto memberEnd = static_cast<std::int64_t>(all.size());
    Append(all, TextData(500));
    auto source = StreamOf(all);
    TZDecompressionStream z(source);
    EXPECT_EQ(ReadAll(z, 10000), data);
    EXPECT_EQ(source.Position(), memberEnd);
    std::uint8_t b;
    EXPECT_EQ(z.Read(&b, 1), 0u);
    EXPECT_EQ(source.Position(), memberEnd);
}

TEST(ZLibStream, ReadsFromWhereItStoppedEvenWhenTheSourceWasMovedMeanwhile) {
    const Bytes data = NoiseData(100000);
    auto source = StreamOf(Compress(data));
    TZDecompressionStream z(source);
    Bytes first = ReadAll(z, 10);
    source.SetPosition(0);  // someone else used the source
    Bytes rest = ReadAll(z, data.size());
    Append(first, rest);
    EXPECT_EQ(first, data);
}

TEST(ZLibStream, CorruptHeaderRaisesDataError) {
    Bytes packed = Compress(TextData(1000));
    packed[1] ^= 0x01;  // the header check fails
    auto source = StreamOf(packed);
    TZDecompressionStream z(source);
    std::uint8_t buffer[100];
    try {
        z.Read(buffer, sizeof buffer);
        FAIL() << "no error";
    } catch (const EZDecompressionError &e) {
        EXPECT_EQ(e.ErrorCode, Z_DATA_ERROR);
        EXPECT_EQ(e.Message(), "data error");
    }
}

TEST(ZLibStream, CorruptChecksumRaisesDataError) {
    const Bytes data = TextData(1000);
    Bytes packed = Compress(data);
    packed.back() ^= 0xFF;  // the Adler-32 at the end no longer matches
    auto source = StreamOf(packed);
    TZDecompressionStream z(source);
    Bytes got(data.size() + 1);
    EXPECT_THROW(z.Read(got.data(), got.size()), EZDecompressionError);
}

TEST(ZLibStream, TruncatedSourceGivesFewerBytesAndReadBufferRaises) {
    const Bytes data = NoiseData(20000);
    Bytes packed = Compress(data);
    packed.resize(packed.size() / 2);
    {
        auto source = StreamOf(packed);
        TZDecompressionStream z(source);
        const Bytes got = ReadAll(z, data.size());
        EXPECT_LT(got.size(), data.size());
        EXPECT_GT(got.size(), 0u);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
        EXPECT_EQ(source.Position(), source.Size());
    }
    {
        auto source = StreamOf(packed);
        TZDecompressionStream z(source);
        Bytes got(data.size());
        EXPECT_THROW(z.ReadBuffer(got.data(), got.size()), vcl::EReadError);
    }
}

TEST(ZLibStream, EmptySourceReadsNothing) {
    vcl::TMemoryStream source;
    TZDecompressionStream z(source);
    std::uint8_t b;
    EXPECT_EQ(z.Read(&b, 1), 0u);
}

TEST(ZLibStream, PresetDictionaryRaisesNeedDictionary) {
    const std::string dictionary = "window skins draw frames";
    const Bytes data = TextData(500);
    z_stream d{};
    ASSERT_EQ(deflateInit(&d, 9), Z_OK);
    ASSERT_EQ(deflateSetDictionary(&d, reinterpret_cast<const Bytef *>(dictionary.data()),
                                   static_cast<uInt>(dictionary.size())),
              Z_OK);
    Bytes packed(1000);
    d.next_in = const_cast<Bytef *>(data.data());
    d.avail_in = static_cast<uInt>(data.size());
    d.next_out = packed.data();
    d.avail_out = static_cast<uInt>(packed.size());
    ASSERT_EQ(deflate(&d, Z_FINISH), Z_STREAM_END);
    packed.resize(d.total_out);
    deflateEnd(&d);

    auto source = StreamOf(packed);
    TZDecompressionStream z(source);
    Bytes got(data.size());
    try {
        z.Read(got.data(), got.size());
        FAIL() << "no error";
    } catch (const EZDecompressionError &e) {
        EXPECT_EQ(e.ErrorCode, Z_NEED_DICT);
        EXPECT_EQ(e.Message(), "need dictionary");
    }
}

TEST(ZLibStream, ForwardSeeksDiscardInflatedBytes) {
    const Bytes data = NoiseData(60000);
    auto source = StreamOf(Compress(data));
    TZDecompressionStream z(source);
    EXPECT_EQ(z.Seek(20000, vcl::soCurrent), 20000);
    std::uint8_t b = 0;
    ASSERT_EQ(z.Read(&b, 1), 1u);
    EXPECT_EQ(b, data[20000]);
    EXPECT_EQ(z.Seek(30000, vcl::soBeginning), 30000);
    ASSERT_EQ(z.Read(&b, 1), 1u);
    EXPECT_EQ(b, data[30000]);
    // To where it stands already, from either origin: nothing moves.
    EXPECT_EQ(z.Seek(0, vcl::soCurrent), 30001);
    EXPECT_EQ(z.Seek(30001, vcl::soBeginning), 30001);
    ASSERT_EQ(z.Read(&b, 1), 1u);
    EXPECT_EQ(b, data[30001]);
}

TEST(ZLibStream, SeekingPastTheEndRaisesReadError) {
    auto source = StreamOf(Compress(TextData(100)));
    TZDecompressionStream z(source);
    EXPECT_THROW(z.Seek(101, vcl::soCurrent), vcl::EReadError);
}

TEST(ZLibStream, BackwardSeeksAndOffsetsFromTheEndRaise) {
    auto source = StreamOf(Compress(TextData(1000)));
    TZDecompressionStream z(source);
    z.Seek(500, vcl::soCurrent);
    for (auto [offset, origin] : {std::pair{std::int64_t{-1}, vcl::soCurrent}, std::pair{std::int64_t{499}, vcl::soBeginning},
                                  std::pair{std::int64_t{-10}, vcl::soEnd}, std::pair{std::int64_t{10}, vcl::soEnd}}) {
        try {
            z.Seek(offset, origin);
            ADD_FAILURE() << "no error for " << offset;
        } catch (const EZDecompressionError &e) {
            EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
        }
    }
}

TEST(ZLibStream, SeekZeroFromTheEndAnswersTheSize) {
    const Bytes data = NoiseData(70000);
    auto source = StreamOf(Compress(data));
    TZDecompressionStream z(source);
    EXPECT_EQ(z.Seek(0, vcl::soEnd), 70000);
    // The class library's Size() goes to the end and back to 0.
    auto source2 = StreamOf(Compress(data));
    TZDecompressionStream z2(source2);
    EXPECT_EQ(z2.Size(), 70000);
    EXPECT_EQ(ReadAll(z2, data.size()), data);
}

TEST(ZLibStream, SeekToTheBeginningRewindsToWhereTheStreamStarted) {
    const Bytes data = TextData(4000);
    Bytes all = {1, 2, 3, 4, 5, 6, 7};  // data before the zlib stream
    Append(all, Compress(data));
    auto source = StreamOf(all);
    source.SetPosition(7);
    TZDecompressionStream z(source);
    EXPECT_EQ(ReadAll(z, data.size()), data);
    EXPECT_EQ(z.Seek(0, vcl::soBeginning), 0);
    EXPECT_EQ(source.Position(), 7);
    EXPECT_EQ(ReadAll(z, data.size()), data);
}

TEST(ZLibStream, WriteRaises) {
    auto source = StreamOf(Compress(TextData(10)));
    TZDecompressionStream z(source);
    const std::uint8_t b = 0;
    EXPECT_THROW(z.Write(&b, 1), EZDecompressionError);
}

TEST(ZLibStream, ErrorMessagesByCode) {
    const std::pair<int, const char *> table[] = {
        {2, "need dictionary"}, {1, "stream end"},     {0, "ok"},
        {-1, "file error"},     {-2, "stream error"},  {-3, "data error"},
        {-4, "insufficient memory"}, {-5, "buffer error"}, {-6, "incompatible version"},
        {-7, ""}, {3, ""}, {-8, ""}, {INT_MAX, ""}, {INT_MIN, ""}};
    for (auto [code, message] : table) {
        EXPECT_EQ(skin::ZLibErrorMessage(code), message) << code;
        EXPECT_EQ(skin::EZLibError(code).Message(), message) << code;
    }
}

TEST(ZLibStream, CheckInflateResultRaisesOnlyForNegativeCodes) {
    EXPECT_EQ(skin::CheckInflateResult(Z_OK), Z_OK);
    EXPECT_EQ(skin::CheckInflateResult(Z_STREAM_END), Z_STREAM_END);
    EXPECT_EQ(skin::CheckInflateResult(Z_NEED_DICT), Z_NEED_DICT);
    try {
        skin::CheckInflateResult(Z_MEM_ERROR);
        FAIL() << "no error";
    } catch (const EZDecompressionError &e) {
        EXPECT_EQ(e.ErrorCode, Z_MEM_ERROR);
        EXPECT_EQ(e.Message(), "insufficient memory");
    }
}

TEST(ZLibStream, InflateInitDefaultAcceptsTheLinkedZlib) {
    z_stream s{};
    ASSERT_EQ(skin::InflateInitDefault(s), Z_OK);
    EXPECT_EQ(inflateEnd(&s), Z_OK);
}
