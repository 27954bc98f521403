#include "vcl/Streams.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "TempFolder.h"
#include "vcl/SysUtils.h"

using namespace vcl;
using vcl::test::TempFolder;

namespace {

std::string Contents(TMemoryStream &s) { return std::string(reinterpret_cast<const char *>(s.Memory()), s.Size()); }

void Put(TStream &s, const std::string &text) { s.WriteBuffer(text.data(), text.size()); }

std::string FileText(const std::string &name) {
    std::ifstream in(TempFolder::Native(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(MemoryStream, ReadsWritesAndSeeksFromEachOrigin) {
    TMemoryStream s;
    Put(s, "GMzf1234");
    EXPECT_EQ(s.Size(), 8);
    EXPECT_EQ(s.Position(), 8);
    EXPECT_EQ(s.Seek(-4, soEnd), 4);
    char four[4];
    s.ReadBuffer(four, 4);
    EXPECT_EQ(std::string(four, 4), "1234");
    EXPECT_EQ(s.Seek(-6, soCurrent), 2);
    EXPECT_EQ(s.Read(four, 4), 4u);
    EXPECT_EQ(std::string(four, 4), "zf12");
    s.SetPosition(6);
    EXPECT_EQ(s.Read(four, 4), 2u);  // short read at the end
    EXPECT_EQ(s.Read(four, 4), 0u);
    EXPECT_THROW(s.ReadBuffer(four, 1), EReadError);
}

TEST(MemoryStream, GapsFillWithZerosAndFarPositionsNeedNoMemoryUntilWritten) {
    TMemoryStream s;
    s.SetPosition(3);
    Put(s, "x");
    EXPECT_EQ(Contents(s), std::string("\0\0\0x", 4));
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.Size(), 2);
    const std::int64_t far = (std::int64_t{1} << 32) + 17;
    EXPECT_EQ(s.Seek(far, soBeginning), far);
    EXPECT_EQ(s.Size(), 2);
    char c;
    EXPECT_EQ(s.Read(&c, 1), 0u);
}

TEST(MemoryStream, BadPositionsAndSizesRaiseAndChangeNothing) {
    TMemoryStream s;
    Put(s, "ab");
    s.SetPosition(1);
    EXPECT_THROW(s.Seek(-2, soCurrent), EStreamError);
    EXPECT_THROW(s.Seek(INT64_MAX, soCurrent), EStreamError);
    EXPECT_THROW(s.Seek(INT64_MAX, soEnd), EStreamError);
    EXPECT_THROW(s.Seek(INT64_MIN, soCurrent), EStreamError);
    EXPECT_THROW(s.SetSize(-5), EStreamError);
    EXPECT_EQ(s.Position(), 1);
    s.SetPosition(INT64_MAX - 1);
    EXPECT_THROW(Put(s, "xyz"), EStreamError);
    EXPECT_EQ(s.Size(), 2);
}

TEST(Stream, CopyFromCopiesACountFromThePositionOrTheWholeSource) {
    TMemoryStream source;
    Put(source, "0123456789");
    source.SetPosition(3);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 4), 4);
    EXPECT_EQ(Contents(dest), "3456");
    EXPECT_EQ(source.Position(), 7);
    EXPECT_EQ(dest.CopyFrom(source, 0), 0);  // nothing, not the whole source
    EXPECT_EQ(Contents(dest), "3456");
    EXPECT_THROW(dest.CopyFrom(source, 4), EReadError);  // only three left

    // Without a count: all of it from its start, in several transfer chunks.
    TMemoryStream big;
    big.SetSize(200000);
    for (std::int64_t i = 0; i < big.Size(); ++i) big.Memory()[i] = static_cast<std::uint8_t>(i * 7);
    big.SetPosition(99);
    TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(big), 200000);
    EXPECT_EQ(Contents(copy), Contents(big));
}

TEST(FileStream, CreatesWritesTruncatesAndReopensAFileWithACzechName) {
    TempFolder temp;
    const std::string name = temp / "Uživatelská příručka Merkano zuvo1-1.pdf";
    {
        TFileStream f(name, fmCreate);
        Put(f, "%PDF-1.4\n");
        EXPECT_EQ(f.FileName(), name);
    }
    EXPECT_EQ(FileText(name), "%PDF-1.4\n");
    {
        TFileStream f(name, fmOpenReadWrite);
        EXPECT_EQ(f.Size(), 9);
        f.Seek(0, soEnd);
        Put(f, "%%EOF");
        f.SetPosition(1);
        char three[3];
        f.ReadBuffer(three, 3);
        EXPECT_EQ(std::string(three, 3), "PDF");
        f.SetSize(11);
        EXPECT_EQ(f.Position(), 4);  // inside still: kept
        f.SetSize(2);
        EXPECT_EQ(f.Position(), 2);
    }
    EXPECT_EQ(FileText(name), "%P");
    { TFileStream replaced(name, fmCreate); }
    EXPECT_EQ(FileText(name), "");
}

TEST(FileStream, FailuresNameTheFileAndLeaveItAlone) {
    TempFolder temp;
    const std::string missing = temp / "ticket.jpg";
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError &e) {
        EXPECT_NE(e.Message().find(missing), std::string::npos) << e.Message();
    }
    const std::string inMissingFolder = temp / "no-such-folder" + PathDelim + "x.bin";
    try {
        TFileStream f(inMissingFolder, fmCreate);
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError &e) {
        EXPECT_NE(e.Message().find(inMissingFolder), std::string::npos) << e.Message();
    }
    EXPECT_THROW(TFileStream(temp.Path(), fmOpenRead), EFOpenError);  // a folder is not a file

    const std::string name = temp / "r.bin";
    std::ofstream(TempFolder::Native(name)) << "abc";
    TFileStream f(name, fmOpenRead);
    EXPECT_THROW(Put(f, "x"), EWriteError);
    EXPECT_EQ(FileText(name), "abc");
}

#ifdef _WIN32
TEST(FileStream, ExclusiveShareModeLocksOutOtherOpens) {
    TempFolder temp;
    const std::string name = temp / "locked.exe";
    TFileStream first(name, fmCreate | fmShareExclusive);
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
    EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);
    EXPECT_FALSE(DeleteFile(name));
}
#endif

TEST(MemoryStream, LoadsAndSavesWholeFiles) {
    TempFolder temp;
    const std::string name = temp / "data.bin";
    std::ofstream(TempFolder::Native(name), std::ios::binary) << std::string("a\0b\r\n", 5);
    TMemoryStream s;
    Put(s, "old content");
    s.LoadFromFile(name);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(Contents(s), std::string("a\0b\r\n", 5));
    s.SetPosition(3);
    s.SaveToFile(name + ".copy");
    EXPECT_EQ(FileText(name + ".copy"), std::string("a\0b\r\n", 5));
    EXPECT_THROW(s.LoadFromFile(temp / "missing"), EFOpenError);
}
