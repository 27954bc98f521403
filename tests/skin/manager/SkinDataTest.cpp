// The manager's small rules: where skins are, packed names, screen-scale
// classes and the version text.
#include "skin/manager/sSkinData.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <random>

namespace skin {
namespace {

TEST(SkinData, SkinDirectoryIsResolvedAgainstTheProgramFolder) {
    const std::string app = "C:\\Program Files\\Zuvo\\";
    const std::pair<const char *, const char *> cases[] = {
        {"..\\Skins", "C:\\Program Files\\Skins\\"},
        {".\\Skins", "C:\\Program Files\\Zuvo\\Skins\\"},
        {"./Skins/", "C:\\Program Files\\Zuvo\\Skins/\\"},
        {".", "C:\\Program Files\\Zuvo\\"},
        {"Skins", "C:\\Program Files\\Zuvo\\Skins\\"},
        {"", "C:\\Program Files\\Zuvo\\"},
        {"c:\\Skins", "c:\\Skins\\"},
        {"d:\\Skins\\", "d:\\Skins\\"},
        {"\\\\server\\skins", "\\\\server\\skins\\"},
    };
    for (const auto &[dir, resolved] : cases) EXPECT_EQ(ResolveSkinDirectoryOf(dir, app), resolved) << dir;
    EXPECT_EQ(ResolveSkinDirectoryOf("..\\x", ""), "x\\");  // nothing to go up from
}

TEST(SkinData, PackedExtensionIsDroppedInAnyCase) {
    const std::pair<const char *, const char *> cases[] = {
        {"Beryllo.gmz", "Beryllo"}, {"Beryllo.GMZ", "Beryllo"}, {"Beryllo.GmZ", "Beryllo"},
        {".gmz", ".gmz"},           {"a.gmz.x", "a.gmz.x"},     {"Beryllo", "Beryllo"}};
    for (const auto &[name, stripped] : cases) EXPECT_EQ(StripPackedExtension(name), stripped) << name;
}

TEST(SkinData, DpiClassesAndVersionText) {
    const std::pair<int, int> dpi[] = {{0, 0}, {96, 0}, {119, 0}, {120, 1}, {143, 1}, {144, 2}, {192, 2}};
    for (const auto &[applied, cls] : dpi) EXPECT_EQ(DPIClassOf(applied), cls) << applied;
    EXPECT_EQ(VersionText(10), "10");
    EXPECT_EQ(VersionText(7.45), "7.45");
    EXPECT_EQ(VersionText(0), "0");
}

TEST(SkinData, VersionTextHasFifteenDigitsRoundedToEvenAndAnExponentOnlyWhenFarOff) {
    const std::pair<double, const char *> cases[] = {
        {-2.5, "-2.5"},
        {123.456, "123.456"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1e+15"},  // the carry makes a new first digit
        {1e15, "1e+15"},
        {1000000000000005.0, "1e+15"},  // an exact tie goes to the even digit
        {1000000000000015.0, "1.00000000000002e+15"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {2.5e-5, "2.5e-05"},
        {1e100, "1e+100"},
        {5e-324, "4.94065645841247e-324"},
        {std::numeric_limits<double>::max(), "1.79769313486232e+308"},
        {-0.0, "-0"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto &[value, text] : cases) EXPECT_EQ(VersionText(value), text) << text;
}

TEST(SkinData, VersionTextIsTheStandardFifteenDigitTextForAnyValue) {
    const auto reference = [](double v) {
        char text[64];
        return std::string(text, std::to_chars(text, text + sizeof text, v, std::chars_format::general, 15).ptr);
    };
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<int> hundredths(0, 100000);
    for (int i = 0; i < 20000; ++i) {
        // Any bit pattern, and versions as they are typed.
        const double any = std::bit_cast<double>(random());
        ASSERT_EQ(VersionText(any), reference(any)) << std::bit_cast<std::uint64_t>(any);
        const double typed = hundredths(random) / 100.0;
        ASSERT_EQ(VersionText(typed), reference(typed)) << typed;
    }
}

} // namespace
} // namespace skin
