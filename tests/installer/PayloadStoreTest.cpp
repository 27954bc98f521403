#include "installer/PayloadStore.h"

#include "vcl/SysUtils.h"

#include <gtest/gtest.h>

namespace installer {
namespace {

// Every element of two characters, against StrToInt's reading of "$" +
// element: digits of either case, the sentinel, and whatever else StrToInt
// takes or refuses (a blank before one digit, a sign).
TEST(HexPairToByte, ReadsEveryTwoCharacterElementAsStrToIntReadsItWithADollarInFront) {
    int converted = 0;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char pair[2] = {static_cast<char>(a), static_cast<char>(b)};
            const std::string_view element(pair, 2);
            std::int32_t expected = 0;
            if (vcl::TryStrToInt("$" + std::string(element), expected)) {
                ++converted;
                ASSERT_EQ(HexPairToByte(element), static_cast<std::uint8_t>(expected & 0xFF)) << a << " " << b;
            } else {
                ASSERT_THROW(HexPairToByte(element), vcl::EConvertError) << a << " " << b;
            }
        }
    }
    EXPECT_GE(converted, 22 * 22);  // 0-9, A-F, a-f in either place
    EXPECT_EQ(HexPairToByte("4D"), 0x4D);
    EXPECT_EQ(HexPairToByte("ff"), 0xFF);
    EXPECT_THROW(HexPairToByte(PayloadSentinel), vcl::EConvertError);
    // Other lengths take StrToInt's way too.
    EXPECT_THROW(HexPairToByte(""), vcl::EConvertError);
    EXPECT_EQ(HexPairToByte("1A2"), 0xA2);
}

TEST(PayloadFileInfos, NameEachFileInItsCreationMessage) {
    // By its installed name, except the manual: only the end of its long name.
    for (const PayloadFileInfo &file : PayloadFileInfos()) {
        const std::string_view shortName = file.Identifier == "prirucka" ? "Merkano zuvo1-1.pdf" : file.InstalledName;
        EXPECT_EQ(file.CreateFailedMessage, "Nelze vytvořit " + std::string(shortName) + " !");
        EXPECT_TRUE(file.InstalledName.ends_with(shortName));
    }
}

} // namespace
} // namespace installer
