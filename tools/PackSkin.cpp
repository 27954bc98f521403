// Packs a skin folder into the packed skin format: "Options.dat" first, then
// every picture file that the options text names, in the order of their
// names, so the same folder always gives the same bytes. The output serves
// both as the packed file (".gmz") and as the Data of a stored skin.
//
//   zuvo_pack_skin <skin folder> <output>
//
// A picture named by the options text but missing from the folder, and a
// file of the folder that the options text does not name, are errors.
#include <filesystem>
#include <iostream>
#include <set>

#include "SkinPack.h"
#include "SkinValues.h"

namespace fs = std::filesystem;
using namespace skintools;

namespace {

void Run(const fs::path &Folder, const fs::path &Output) {
    const fs::path optionsPath = Folder / "Options.dat";
    const Bytes optionsText = ReadFileBytes(optionsPath.string());
    const skin::TvlOptionsFile options(std::string_view(reinterpret_cast<const char *>(optionsText.data()), optionsText.size()));
    std::set<std::string> named{options.ReadString("GLOBALINFO", "MASTERBITMAP", "")};
    for (const PictureItem &item : PictureValues(options))
        if (!item.Value.FileName.empty()) named.insert(item.Value.FileName);

    std::vector<PackedMember> members{{"Options.dat", optionsText}};
    for (const std::string &name : named) {
        if (!fs::is_regular_file(Folder / name)) throw std::runtime_error(name + " is named but missing");
        members.push_back({name, ReadFileBytes((Folder / name).string())});
    }
    for (const fs::directory_entry &entry : fs::directory_iterator(Folder)) {
        const std::string name = entry.path().filename().string();
        if (name != "Options.dat" && !named.count(name))
            throw std::runtime_error(name + " lies in the skin folder but the options text does not name it");
    }
    WriteFileBytes(Output.string(), PackSkin(members));
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "usage: zuvo_pack_skin <skin folder> <output>\n";
        return 2;
    }
    try {
        Run(argv[1], argv[2]);
    } catch (const std::exception &e) {
        std::cerr << "zuvo_pack_skin: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
