// Unpacking packed skins built here: member order and sizes, names, and
// damaged or truncated data that must be refused without harm.
#include "skin/manager/vlSkinConvertor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "PackedSkinBuilder.h"
#include "skin/graphics/vlZLibEx.h"

// The largest single request to operator new while a TLargestAllocation
// watches: it shows what a damaged skin made the reader allocate.
namespace {
std::atomic<bool> WatchAllocations{false};
std::atomic<std::size_t> LargestAllocation{0};

void *Allocate(std::size_t Size) noexcept {
    if (WatchAllocations) {
        std::size_t seen = LargestAllocation;
        while (Size > seen && !LargestAllocation.compare_exchange_weak(seen, Size)) {
        }
    }
    return std::malloc(Size ? Size : 1);
}
// Out of line, so that the compiler does not pair a free with an inlined new.
[[gnu::noinline]] void Release(void *p) noexcept { std::free(p); }
} // namespace

void *operator new(std::size_t Size) {
    if (void *p = Allocate(Size)) return p;
    throw std::bad_alloc();
}
void *operator new[](std::size_t Size) { return operator new(Size); }
void *operator new(std::size_t Size, const std::nothrow_t &) noexcept { return Allocate(Size); }
void *operator new[](std::size_t Size, const std::nothrow_t &) noexcept { return Allocate(Size); }
void operator delete(void *p) noexcept { Release(p); }
void operator delete[](void *p) noexcept { Release(p); }
void operator delete(void *p, std::size_t) noexcept { Release(p); }
void operator delete[](void *p, std::size_t) noexcept { Release(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { Release(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { Release(p); }

namespace skin {
namespace {

using namespace skin::test;

struct TLargestAllocation {
    TLargestAllocation() {
        LargestAllocation = 0;
        WatchAllocations = true;
    }
    ~TLargestAllocation() { WatchAllocations = false; }
    std::size_t Bytes() const { return LargestAllocation; }
};

constexpr std::size_t LargeAllocation = 1024 * 1024;

// The error UnpackSkinData raises for Data, with the largest allocation it made.
std::string RefusalOf(const Bytes &Data, const TvlUnpackLimits &Limits, std::size_t &Largest) {
    vcl::TMemoryStream source;
    FillStream(source, Data);
    TvlSkinConvertor convertor;
    convertor.Source = &source;
    const TLargestAllocation watch;
    std::string message;
    try {
        UnpackSkinData(convertor, Limits);
    } catch (const ESkinFormatError &e) {
        message = e.Message();
    }
    Largest = watch.Bytes();
    return message;
}

// Unpacks Data with a fresh convertor; the stream stays alive with it.
struct Unpacked {
    vcl::TMemoryStream Source;
    TvlSkinConvertor Convertor;
    bool Result = false;

    explicit Unpacked(const Bytes &Data, const TvlUnpackLimits &Limits = {}) {
        FillStream(Source, Data);
        Convertor.Source = &Source;
        Result = UnpackSkinData(Convertor, Limits);
    }
};

TEST(SkinConvertor, UnpacksOptionsAndImagesInStoredOrder) {
    const Bytes options = BytesOf("[GLOBALINFO]\r\nVERSION=10\r\n");
    const Bytes bmp = Noise(300, 1), png = Noise(500, 2);
    Unpacked u(PackSkin({{"Master.BMP", bmp}, {"Options.dat", options}, {"glyph.png", png}}));
    ASSERT_TRUE(u.Result);
    ASSERT_NE(u.Convertor.Options, nullptr);
    EXPECT_EQ(StreamBytes(*u.Convertor.Options), options);
    ASSERT_EQ(u.Convertor.ImageItems.size(), 2u);
    EXPECT_EQ(u.Convertor.FileCount, 2);
    EXPECT_EQ(u.Convertor.ImageItems[0].Name, "Master.BMP");
    EXPECT_TRUE(u.Convertor.ImageItems[0].IsBitmap);
    EXPECT_EQ(StreamBytes(*u.Convertor.ImageItems[0].Stream), bmp);
    EXPECT_EQ(u.Convertor.ImageItems[1].Name, "glyph.png");
    EXPECT_FALSE(u.Convertor.ImageItems[1].IsBitmap);
    EXPECT_EQ(StreamBytes(*u.Convertor.ImageItems[1].Stream), png);
    EXPECT_EQ(u.Convertor.FindImage("GLYPH.PNG"), &u.Convertor.ImageItems[1]);
    EXPECT_EQ(u.Convertor.FindImage("glyph.png"), nullptr);  // callers pass upper case
    EXPECT_EQ(u.Source.Position(), u.Source.Size());
}

// Members whose zlib streams end right around the 64 KiB read-ahead of the
// decompression stream, in both orders: each following entry must still be
// found right after the member before it.
TEST(SkinConvertor, MembersAcrossTheReadAheadBoundaryKeepTheirNeighbours) {
    const std::size_t sizes[] = {0, 1, 65000, 65526, 65527, 65528, 65529, 65530, 65531, 65535, 65536, 65537, 200000};
    for (std::size_t size : sizes) {
        const Bytes big = Noise(size, static_cast<std::uint32_t>(size) + 7);
        const Bytes small = BytesOf("[A]\r\nB=1\r\n");
        for (bool bigFirst : {true, false}) {
            std::vector<PackedEntry> entries = {{"big.bmp", big}, {"OPTIONS.DAT", small}, {"tail.jpg", Noise(40, 3)}};
            if (!bigFirst) std::swap(entries[0], entries[1]);
            Unpacked u(PackSkin(entries));
            SCOPED_TRACE(testing::Message() << "size " << size << (bigFirst ? ", big first" : ", big second"));
            ASSERT_TRUE(u.Result);
            ASSERT_EQ(u.Convertor.ImageItems.size(), 2u);
            EXPECT_EQ(StreamBytes(*u.Convertor.ImageItems[0].Stream), big);
            EXPECT_EQ(StreamBytes(*u.Convertor.Options), small);
            EXPECT_EQ(StreamBytes(*u.Convertor.ImageItems[1].Stream), Noise(40, 3));
        }
    }
}

TEST(SkinConvertor, OptionsNameMatchesInAnyCaseAndALaterOneWins) {
    Unpacked u(PackSkin({{"options.dat", BytesOf("first")}, {"OPTIONS.DAT", BytesOf("second")}}));
    ASSERT_TRUE(u.Result);
    EXPECT_EQ(StreamBytes(*u.Convertor.Options), BytesOf("second"));
    EXPECT_TRUE(u.Convertor.ImageItems.empty());
}

TEST(SkinConvertor, BitmapFlagFollowsTheExtensionOnly) {
    Unpacked u(PackSkin({{"a.bmp", {}}, {"b.BmP", {}}, {"c.png", {}}, {"d.jpg", {}}, {"bmp", {}}, {"e.bmp.png", {}}}));
    ASSERT_TRUE(u.Result);
    std::vector<bool> flags;
    for (const auto &item : u.Convertor.ImageItems) flags.push_back(item.IsBitmap);
    EXPECT_EQ(flags, (std::vector<bool>{true, true, false, false, false, false}));
    EXPECT_EQ(u.Convertor.ImageItems[0].Stream->Size(), 0);
}

TEST(SkinConvertor, SkinWithoutOptionsCountsEveryImage) {
    Unpacked u(PackSkin({{"one.bmp", Noise(10)}, {"two.bmp", Noise(20)}}));
    ASSERT_TRUE(u.Result);
    EXPECT_EQ(u.Convertor.Options, nullptr);
    EXPECT_EQ(u.Convertor.FileCount, 2);
    EXPECT_NE(u.Convertor.FindImage("TWO.BMP"), nullptr);
}

TEST(SkinConvertor, OtherSignatureIsNotUnpackedAndChangesNothing) {
    vcl::TMemoryStream first;
    FillStream(first, PackSkin({{"Options.dat", BytesOf("kept")}}));
    TvlSkinConvertor c;
    c.Source = &first;
    ASSERT_TRUE(UnpackSkinData(c));
    for (const Bytes &other : {BytesOf("GMzF\x01\0\0\0"), BytesOf("GMz"), Bytes{}, BytesOf("BM6\0\0\0")}) {
        vcl::TMemoryStream s;
        FillStream(s, other);
        c.Source = &s;
        EXPECT_FALSE(UnpackSkinData(c));
        EXPECT_EQ(StreamBytes(*c.Options), BytesOf("kept"));
    }
}

struct DamageCase {
    const char *What;
    Bytes Data;
};

std::vector<DamageCase> DamagedSkins() {
    const Bytes member = Deflate(BytesOf("0123456789"));
    const auto skin = [&](std::int32_t count, const Bytes &entries) {
        Bytes out = Header(count);
        AppendBytes(out, entries);
        return out;
    };
    Bytes corrupt = member;
    corrupt[4] ^= 0xFF;
    Bytes noTrailer = member;
    noTrailer.resize(noTrailer.size() - 6);
    Bytes hugeName;
    vcl::AppendU32(hugeName, 0x7FFFFFFF);
    AppendBytes(hugeName, BytesOf("x"));
    Bytes bomb = Deflate(Bytes(2 * 1024 * 1024, 0));  // 2 MiB of zeros, a few KiB packed
    return {
        {"negative entry count", skin(-1, EntryBytes("a", 10, member))},
        {"count beyond the bytes", skin(1000, EntryBytes("a", 10, member))},
        {"count beyond the bytes by one", skin(2, EntryBytes("a", 10, member))},
        {"header without a count", BytesOf("GMzf\x01\0")},
        {"negative name length", skin(1, EntryBytes("", 10, member) /* patched below */)},
        {"name length beyond the data", skin(1, hugeName)},
        {"negative size", skin(1, EntryBytes("a", -5, member))},
        {"size beyond what deflate can give", skin(1, EntryBytes("a", 500'000, member))},
        {"member smaller than its size", skin(1, EntryBytes("a", 11, member))},
        {"member larger than its size", skin(1, EntryBytes("a", 9, member))},
        {"corrupt member", skin(1, EntryBytes("a", 10, corrupt))},
        {"member cut short", skin(1, EntryBytes("a", 10, noTrailer))},
        {"second entry missing", skin(2, [&] {
             Bytes two = EntryBytes("a", 10, member);
             AppendBytes(two, Bytes(16, 0));
             return two;
         }())},
        {"member above the member cap", skin(1, EntryBytes("zero.bmp", 2 * 1024 * 1024, bomb))},
    };
}

TEST(SkinConvertor, DamagedSkinsRaiseLibraryErrorsAndKeepWhatWasUnpacked) {
    std::vector<DamageCase> cases = DamagedSkins();
    // A name length of -1 in the fifth case.
    cases[4].Data[8] = cases[4].Data[9] = cases[4].Data[10] = cases[4].Data[11] = 0xFF;
    TvlUnpackLimits limits;
    limits.MaxMemberSize = 1024 * 1024;
    for (const DamageCase &c : cases) {
        SCOPED_TRACE(c.What);
        vcl::TMemoryStream keep;
        FillStream(keep, PackSkin({{"Options.dat", BytesOf("kept")}, {"x.bmp", BytesOf("image")}}));
        TvlSkinConvertor convertor;
        convertor.Source = &keep;
        ASSERT_TRUE(UnpackSkinData(convertor));
        vcl::TMemoryStream damaged;
        FillStream(damaged, c.Data);
        convertor.Source = &damaged;
        EXPECT_THROW(UnpackSkinData(convertor, limits), vcl::Exception);
        EXPECT_EQ(StreamBytes(*convertor.Options), BytesOf("kept"));
        ASSERT_EQ(convertor.ImageItems.size(), 1u);
        EXPECT_EQ(convertor.FileCount, 1);
    }
}

// Members that inflate to megabytes before the file runs out of entries:
// the count is refused before any of them is.
TEST(SkinConvertor, AnEntryCountTheBytesCannotHoldIsRefusedBeforeAnyMemberInflates) {
    constexpr std::int32_t MemberSize = 8 * 1024 * 1024;
    const Bytes entries = EntryBytes("zero.bmp", MemberSize, Deflate(Bytes(MemberSize, 0)));
    const std::int32_t most = static_cast<std::int32_t>(entries.size() / 16);  // 16 bytes: the smallest entry
    Bytes data = Header(most + 1);
    AppendBytes(data, entries);
    std::size_t largest = 0;
    const std::string message = RefusalOf(data, {}, largest);
    EXPECT_NE(message.find(std::to_string(most + 1) + " entries"), std::string::npos) << message;
    EXPECT_LT(largest, LargeAllocation);
}

// A name that is there in full but longer than any skin's: refused before it is read.
TEST(SkinConvertor, ANameAboveTheCapIsRefusedBeforeItIsRead) {
    const Bytes member = Deflate(BytesOf("image"));
    const auto skinNamed = [&](std::size_t NameLength) {
        Bytes data = Header(1);
        AppendBytes(data, EntryBytes(std::string(NameLength, 'n'), 5, member));
        return data;
    };
    EXPECT_TRUE(Unpacked(skinNamed(1024)).Result);
    EXPECT_THROW(Unpacked(skinNamed(1025)), ESkinFormatError);

    TvlUnpackLimits limits;
    limits.MaxNameLength = 64;
    std::size_t largest = 0;
    EXPECT_EQ(RefusalOf(skinNamed(64), limits, largest), "");
    const std::string message = RefusalOf(skinNamed(4 * LargeAllocation), limits, largest);
    EXPECT_NE(message.find("name length of " + std::to_string(4 * LargeAllocation)), std::string::npos) << message;
    EXPECT_LT(largest, LargeAllocation);
}

TEST(SkinConvertor, TotalSizeIsCapped) {
    TvlUnpackLimits limits;
    limits.MaxTotalSize = 1500;
    EXPECT_NO_THROW(Unpacked(PackSkin({{"a.bmp", Bytes(700, 1)}, {"b.bmp", Bytes(700, 2)}}), limits));
    EXPECT_THROW(Unpacked(PackSkin({{"a.bmp", Bytes(700, 1)}, {"b.bmp", Bytes(700, 2)}, {"c", Bytes(200, 3)}}), limits),
                 ESkinFormatError);
}

// Every prefix of a good skin is either refused cleanly or, for the whole
// data, unpacked: nothing in between reads past the end.
TEST(SkinConvertor, EveryTruncationIsRefused) {
    const Bytes whole = PackSkin({{"Options.dat", BytesOf("[A]\r\nB=1\r\n")}, {"i.bmp", Noise(300)}, {"j", {}}});
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        bool result = true;
        try {
            result = Unpacked(cut).Result;
        } catch (const vcl::Exception &) {
            result = false;
        }
        EXPECT_FALSE(result) << "prefix of " << n << " bytes";
    }
    EXPECT_TRUE(Unpacked(whole).Result);
}

} // namespace
} // namespace skin
