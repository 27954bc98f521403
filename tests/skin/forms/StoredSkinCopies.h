#pragma once
// Copies of our stored skin (as the build made it) with some of their
// options changed. "Mode1": border mode 1, with align offsets and a centre
// offset for the title buttons; "Mode1Ex" also carries an extended-border
// image of its own: the form's border mask's pictures (6-pixel margins, two
// states). Windows only.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "../manager/ManagerTestSupport.h"

namespace skin::test {

// Our stored skin copied into Dir as Name, each option text From replaced by To.
inline void WriteStoredSkinCopy(const vcl::test::TempFolder &Dir, const std::string &Name,
                                const std::vector<std::pair<std::string, std::string>> &Swaps) {
    using vcl::test::TempFolder;
    std::filesystem::copy(TempFolder::Native(HostPath(ZUVO_BERYLLO_FOLDER)), TempFolder::Native(Dir / Name),
                          std::filesystem::copy_options::recursive);
    const auto path = TempFolder::Native(Dir / (Name + "\\Options.dat"));
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    std::string options = text.str();
    for (const auto &[from, to] : Swaps) {
        const std::size_t at = options.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) options.replace(at, from.size(), to);
    }
    std::ofstream(path, std::ios::binary) << options;
}

struct ModeOneSkin {
    static constexpr int AlignOffset = 3, CentreOffset = 2;
    vcl::test::TempFolder Dir;
    ModeOneSkin() {
        Write("Mode1", "");
        Write("Mode1Ex", "\r\nEXBORDER=^0420,0048,0452,0080,0006,0006,0006,0006,2,1,0,0");
    }
    void Write(const std::string &Name, const std::string &Extra) {
        WriteStoredSkinCopy(Dir, Name,
                            {{"BORDERMODE=0", "BORDERMODE=1\r\nALIGNOFFSET=" + std::to_string(AlignOffset) + Extra},
                             {"CENTEROFFSET=0", "CENTEROFFSET=" + std::to_string(CentreOffset)}});
    }
};

} // namespace skin::test
