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

// A zlib member of the data, with a preset dictionary when one is given.
Bytes Compress(const Bytes &data, const std::string &dictionary = {}) {
    z_stream d{};
    EXPECT_EQ(deflateInit(&d, 9), Z_OK);
    if (!dictionary.empty())
        deflateSetDictionary(&d, reinterpret_cast<const Bytef *>(dictionary.data()), static_cast<uInt>(dictionary.size()));
    Bytes out(deflateBound(&d, static_cast<uLong>(data.size())));
    d.next_in = const_cast<Bytef *>(data.data());
    d.avail_in = static_cast<uInt>(data.size());
    d.next_out = out.data();
    d.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&d, Z_FINISH), Z_STREAM_END);
    out.resize(d.total_out);
    deflateEnd(&d);
    return out;
}

void Append(Bytes &to, const Bytes &what) { to.insert(to.end(), what.begin(), what.end()); }

vcl::TMemoryStream StreamOf(const Bytes &bytes) {
    vcl::TMemoryStream s;
    s.WriteBuffer(bytes.data(), bytes.size());
    s.SetPosition(0);
    return s;
}

// Everything the stream gives, read `piece` bytes at a time.
Bytes ReadAll(vcl::TStream &s, std::size_t piece = 1 << 20) {
    Bytes out;
    Bytes buffer(piece);
    for (std::size_t n; (n = s.Read(buffer.data(), piece)) != 0;) out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    return out;
}

} // namespace

TEST(ZLibStream, BackToBackMembersEachLeaveTheSourceRightAfterThemselves) {
    // A header, three members (the middle one over 64 KB compressed, so its
    // end lies in a later refill), then trailing bytes.
    const Bytes header = {'G', 'M', 'Z', 1};
    const std::vector<Bytes> members = {TextData(5000), NoiseData(150000), TextData(1)};
    const Bytes trailer = {0xDE, 0xAD, 0xBE, 0xEF};
    Bytes all = header;
    std::vector<std::int64_t> ends{static_cast<std::int64_t>(header.size())};
    for (const Bytes &m : members) {
        Append(all, Compress(m));
        ends.push_back(static_cast<std::int64_t>(all.size()));
    }
    Append(all, trailer);

    auto source = StreamOf(all);
    source.SetPosition(static_cast<std::int64_t>(header.size()));
    for (std::size_t i = 0; i < members.size(); ++i) {
        TZDecompressionStream z(source);
        int refills = 0;
        struct Counter {
            int *n;
            void Tick(vcl::TObject *) { ++*n; }
        } counter{&refills};
        z.OnProgress = vcl::TNotifyEvent::Bind<&Counter::Tick>(&counter);
        // Odd pieces, so that reads end inside inflate's output.
        Bytes got(members[i].size());
        for (std::size_t at = 0; at < got.size(); at += 7777)
            z.ReadBuffer(got.data() + at, std::min<std::size_t>(7777, got.size() - at));
        EXPECT_EQ(got, members[i]) << "member " << i;
        EXPECT_EQ(refills, (ends[i + 1] - ends[i] + 65535) / 65536) << "one per 64 KiB of member " << i;
        std::uint8_t b;
        EXPECT_EQ(z.Read(&b, 1), 0u);  // the end of the zlib stream, not of the source
        EXPECT_EQ(z.Position(), static_cast<std::int64_t>(members[i].size()));
        EXPECT_EQ(source.Position(), ends[i + 1]) << "member " << i;
    }
    EXPECT_EQ(ReadAll(source), trailer);
}

TEST(ZLibStream, EndOfStreamOnlyOnceTheChecksumWasRead) {
    const Bytes data = TextData(3000);
    const Bytes packed = Compress(data);
    auto whole = StreamOf(packed);
    TZDecompressionStream z(whole);
    Bytes got(data.size());
    z.ReadBuffer(got.data(), got.size());
    std::uint8_t b;
    EXPECT_EQ(z.Read(&b, 1), 0u);
    EXPECT_TRUE(z.EndOfStream());
    z.SetPosition(0);
    EXPECT_FALSE(z.EndOfStream());
    // Without its last checksum byte all data still comes out, but the
    // stream never ends.
    auto cut = StreamOf(Bytes(packed.begin(), packed.end() - 1));
    TZDecompressionStream y(cut);
    EXPECT_EQ(ReadAll(y, data.size() + 1), data);
    EXPECT_FALSE(y.EndOfStream());
}

TEST(ZLibStream, ReadsFromWhereItStoppedEvenWhenTheSourceWasMovedMeanwhile) {
    const Bytes data = NoiseData(100000);
    auto source = StreamOf(Compress(data));
    TZDecompressionStream z(source);
    Bytes first(10);
    z.ReadBuffer(first.data(), first.size());
    source.SetPosition(0);  // someone else used the source
    Append(first, ReadAll(z));
    EXPECT_EQ(first, data);
}

TEST(ZLibStream, DamagedMembersRaiseWithZlibsCode) {
    const Bytes data = TextData(1000);
    Bytes badHeader = Compress(data), badChecksum = Compress(data);
    badHeader[1] ^= 0x01;
    badChecksum.back() ^= 0xFF;  // the Adler-32 at the end no longer matches
    const std::pair<Bytes, int> cases[] = {
        {badHeader, Z_DATA_ERROR},
        {badChecksum, Z_DATA_ERROR},
        // Packed skins carry no preset dictionary: a member that wants one never makes progress.
        {Compress(data, "window skins draw frames"), Z_NEED_DICT},
    };
    for (const auto &[packed, code] : cases) {
        auto source = StreamOf(packed);
        TZDecompressionStream z(source);
        try {
            ReadAll(z);
            ADD_FAILURE() << "no error for code " << code;
        } catch (const EZDecompressionError &e) {
            EXPECT_EQ(e.ErrorCode, code);
            EXPECT_EQ(e.Message(), skin::ZLibErrorMessage(code));
        }
    }
}

TEST(ZLibStream, ATruncatedMemberGivesWhatZlibGivesWhateverTheReadSize) {
    const Bytes data = TextData(100000);
    Bytes packed = Compress(data);
    packed.resize(packed.size() / 2);
    // zlib itself, with all the input and room for everything.
    Bytes expected(data.size());
    z_stream s{};
    ASSERT_EQ(inflateInit(&s), Z_OK);
    s.next_in = packed.data();
    s.avail_in = static_cast<uInt>(packed.size());
    s.next_out = expected.data();
    s.avail_out = static_cast<uInt>(expected.size());
    ASSERT_EQ(inflate(&s, Z_NO_FLUSH), Z_OK);
    expected.resize(s.total_out);
    inflateEnd(&s);
    ASSERT_LT(expected.size(), data.size());

    for (std::size_t piece : {1, 7, 4096, 8192, 1 << 20}) {
        auto source = StreamOf(packed);
        TZDecompressionStream z(source);
        const Bytes got = ReadAll(z, piece);
        EXPECT_EQ(got.size(), expected.size()) << piece;
        EXPECT_TRUE(got == expected) << piece;
        EXPECT_EQ(source.Position(), source.Size());
        source.SetPosition(0);
        TZDecompressionStream sized(source);
        EXPECT_EQ(sized.Size(), static_cast<std::int64_t>(expected.size())) << "Size() promises what Read gives";
        Bytes all(data.size());
        EXPECT_THROW(sized.ReadBuffer(all.data(), all.size()), vcl::EReadError);
    }
    vcl::TMemoryStream empty;
    TZDecompressionStream z(empty);
    EXPECT_TRUE(ReadAll(z).empty());
}

TEST(ZLibStream, SeeksGoForwardByReadingOrBackToTheStart) {
    const Bytes data = NoiseData(60000);
    Bytes all = {1, 2, 3, 4, 5, 6, 7};  // data before the zlib stream
    Append(all, Compress(data));
    auto source = StreamOf(all);
    source.SetPosition(7);
    TZDecompressionStream z(source);
    std::uint8_t b = 0;
    EXPECT_EQ(z.Seek(20000, vcl::soCurrent), 20000);
    z.ReadBuffer(&b, 1);
    EXPECT_EQ(b, data[20000]);
    EXPECT_EQ(z.Seek(30000, vcl::soBeginning), 30000);
    EXPECT_EQ(z.Seek(0, vcl::soCurrent), 30000);  // to where it stands: nothing moves
    z.ReadBuffer(&b, 1);
    EXPECT_EQ(b, data[30000]);
    EXPECT_EQ(z.Seek(0, vcl::soEnd), 60000);
    EXPECT_EQ(z.Seek(0, vcl::soBeginning), 0);  // back to where the stream started, not the source's start
    EXPECT_EQ(source.Position(), 7);
    EXPECT_EQ(z.Size(), 60000);
    EXPECT_EQ(ReadAll(z), data);
    EXPECT_THROW(z.Seek(1, vcl::soCurrent), vcl::EReadError);  // past the end

    // Backwards, from the end and writing: not for a forward-only reader.
    for (auto [offset, origin] : {std::pair{std::int64_t{-1}, vcl::soCurrent}, std::pair{std::int64_t{499}, vcl::soBeginning},
                                  std::pair{std::int64_t{-10}, vcl::soEnd}, std::pair{std::int64_t{10}, vcl::soEnd}}) {
        try {
            z.Seek(offset, origin);
            ADD_FAILURE() << "no error for " << offset;
        } catch (const EZDecompressionError &e) {
            EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
        }
    }
    EXPECT_THROW(z.Write(&b, 1), EZDecompressionError);
}

TEST(ZLibStream, OnlyNegativeCodesRaiseAndCodesOutsideZlibsTableHaveNoMessage) {
    EXPECT_EQ(skin::CheckInflateResult(Z_NEED_DICT), Z_NEED_DICT);
    EXPECT_EQ(skin::CheckInflateResult(Z_STREAM_END), Z_STREAM_END);
    EXPECT_THROW(skin::CheckInflateResult(Z_BUF_ERROR), EZDecompressionError);
    for (int code : {3, -7, INT_MAX, INT_MIN}) EXPECT_EQ(skin::EZLibError(code).Message(), "") << code;
    EXPECT_EQ(skin::EZLibError(Z_VERSION_ERROR).Message(), "incompatible version");
}
