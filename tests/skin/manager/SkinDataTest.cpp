// The manager's small rules: where skins are, packed names, screen-scale
// classes and the version text.
#include "skin/manager/sSkinData.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace skin
