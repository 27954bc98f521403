#pragma once
// A copy of our stored skin (as the build made it) whose border mode is 1,
// with align offsets and a centre offset for the title buttons; "Mode1Ex"
// also carries an extended-border image of its own: the form's border
// mask's pictures (6-pixel margins, two states). Windows only.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "../manager/ManagerTestSupport.h"

namespace skin::test {

struct ModeOneSkin {
    static constexpr int AlignOffset = 3, CentreOffset = 2;
    vcl::test::TempFolder Dir;
    ModeOneSkin() {
        Write("Mode1", "");
        Write("Mode1Ex", "\r\nEXBORDER=^0420,0048,0452,0080,0006,0006,0006,0006,2,1,0,0");
    }
    void Write(const std::string &Name, const std::string &Extra) {
        using vcl::test::TempFolder;
        std::filesystem::copy(TempFolder::Native(HostPath(ZUVO_BERYLLO_FOLDER)), TempFolder::Native(Dir / Name),
                              std::filesystem::copy_options::recursive);
        const auto path = TempFolder::Native(Dir / (Name + "\\Options.dat"));
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        std::string options = text.str();
        const auto swap = [&](const std::string &From, const std::string &To) {
            const std::size_t at = options.find(From);
            EXPECT_NE(at, std::string::npos) << From;
            if (at != std::string::npos) options.replace(at, From.size(), To);
        };
        swap("BORDERMODE=0", "BORDERMODE=1\r\nALIGNOFFSET=" + std::to_string(AlignOffset) + Extra);
        swap("CENTEROFFSET=0", "CENTEROFFSET=" + std::to_string(CentreOffset));
        std::ofstream(path, std::ios::binary) << options;
    }
};

} // namespace skin::test
