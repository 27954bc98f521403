#include "installer/PayloadStore.h"

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
