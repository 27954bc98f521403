#include "installer/PayloadStore.h"

#include "vcl/SysUtils.h"
#include "vcl/System.h"

#include <gtest/gtest.h>

namespace installer {
namespace {

TEST(HexPairToByte, ConvertsTwoHexDigitsInEitherCase) {
    EXPECT_EQ(HexPairToByte("00"), 0x00);
    EXPECT_EQ(HexPairToByte("FF"), 0xFF);
    EXPECT_EQ(HexPairToByte("ff"), 0xFF);
    EXPECT_EQ(HexPairToByte("0A"), 0x0A);
    EXPECT_EQ(HexPairToByte("a5"), 0xA5);
    EXPECT_EQ(HexPairToByte("4D"), 0x4D);
}

TEST(HexPairToByte, RaisesConvertErrorOnTheSentinelAndOtherNonHexText) {
    EXPECT_THROW(HexPairToByte(PayloadSentinel), vcl::EConvertError);
    EXPECT_THROW(HexPairToByte("=="), vcl::EConvertError);
    EXPECT_THROW(HexPairToByte("G0"), vcl::EConvertError);
    EXPECT_THROW(HexPairToByte(""), vcl::EConvertError);
}

TEST(HexPairToByte, ReadsEveryTwoCharacterElementAsStrToIntReadsItWithADollarInFront) {
    int converted = 0;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char pair[2] = {static_cast<char>(a), static_cast<char>(b)};
            const std::string_view element(pair, 2);
            std::int32_t expected = 0;
            const bool valid = vcl::TryStrToInt("$" + std::string(element), expected);
            if (valid) {
                ++converted;
                ASSERT_EQ(HexPairToByte(element), static_cast<std::uint8_t>(expected & 0xFF)) << a << " " << b;
            } else {
                ASSERT_THROW(HexPairToByte(element), vcl::EConvertError) << a << " " << b;
            }
        }
    }
    // 22 digits in either place (0-9, A-F, a-f), and a single digit after a blank.
    EXPECT_GE(converted, 22 * 22);
}

TEST(PayloadFileInfos, KeepEveryInstalledNameInsideItsCreationMessage) {
    // The messages name the file by its installed name, except the manual,
    // whose message carries only the end of its long name.
    for (const PayloadFileInfo &file : PayloadFileInfos()) {
        const std::string_view shortName = file.Identifier == "prirucka" ? "Merkano zuvo1-1.pdf" : file.InstalledName;
        EXPECT_EQ(file.CreateFailedMessage, "Nelze vytvořit " + std::string(shortName) + " !");
        EXPECT_TRUE(file.InstalledName.ends_with(shortName));
    }
}

} // namespace
} // namespace installer
