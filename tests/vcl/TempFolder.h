#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
// Made with std::filesystem, not with the code under test.
#include <filesystem>
#include <string>
#include "UniqueName.h"

namespace vcl::test {

class TempFolder {
public:
    TempFolder() {
        FPath = std::filesystem::temp_directory_path() / zuvotest::UniqueName("zuvo-test-");
        std::filesystem::create_directories(FPath);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // The folder with a trailing delimiter, as UTF-8.
    std::string Path() const { return Utf8(FPath) + Delim(); }
    std::string operator/(const std::string &name) const { return Path() + name; }

    static std::filesystem::path Native(const std::string &utf8) {
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    }
    static std::string Utf8(const std::filesystem::path &p) {
        const std::u8string s = p.u8string();
        return std::string(s.begin(), s.end());
    }

private:
    static std::string Delim() { return std::string(1, static_cast<char>(std::filesystem::path::preferred_separator)); }
    std::filesystem::path FPath;
};

} // namespace vcl::test
