// Draws every picture of the Beryllo skin into a skin folder: the master
// bitmap (a 24-bit BMP laid out by the rectangles of the options text, the
// key colour 0xFF00FF wherever no item lies, one unused column and row at the
// right and bottom), the PNG glyphs and the plain textures; then copies the
// options text beside them, so that the folder is the skin.
//
//   zuvo_draw_beryllo_skin <Options.dat> <output folder>
//
// The options text is the layout: each picture item it names is drawn by the
// painter of its "SECTION.KEY" (or its file name) at the size it gives. An
// item without a painter, a painter without an item, overlapping items and
// sizes that do not divide into their states are errors, so the text and the
// drawings cannot drift apart.
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "BerylloArt.h"
#include "SkinValues.h"

namespace fs = std::filesystem;
using namespace skintools;

namespace {

[[noreturn]] void Fail(const std::string &Message) { throw std::runtime_error(Message); }

std::string Where(const PictureItem &Item) { return "[" + Item.Section + "] " + Item.Key; }

void CheckStates(const PictureItem &Item) {
    if (Item.Value.ImageCount > 9) Fail(Where(Item) + ": image count must be 1 to 9");
    if (Item.Value.MaskType != 1) Fail(Where(Item) + ": every picture of this skin has its mask below it (mask type 1)");
}

bool Overlap(const vcl::TRect &A, const vcl::TRect &B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

struct MasterStrip {
    PictureItem Item;
    Image Strip;
};

MasterStrip DrawMasterItem(const PictureItem &Item) {
    const std::string id = Item.Section + "." + Item.Key;
    const auto &painters = beryllo::MasterItemPainters();
    const auto painter = painters.find(id);
    if (painter == painters.end()) Fail(Where(Item) + ": nothing draws this item");
    CheckStates(Item);
    const skin::TvlImageValue &v = Item.Value;
    if (v.R.Left < 0 || v.R.Top < 0 || v.R.Width() <= 0 || v.R.Height() <= 0)
        Fail(Where(Item) + ": empty or negative rectangle");
    if (v.R.Width() % v.ImageCount != 0 || v.R.Height() % (v.MaskType + 1) != 0)
        Fail(Where(Item) + ": the rectangle does not divide into its states and parts");
    if (v.Code == skin::TvlImageCode::Fixed && (v.WL + v.WR > Item.FrameWidth() || v.WT + v.WB > Item.PartHeight()))
        Fail(Where(Item) + ": margins larger than one state");
    const auto frames = PaintFrames(painter->second.Paint, Item.FrameWidth(), Item.PartHeight(), v.ImageCount);
    return {Item, MaskedStrip(frames, painter->second.Ground)};
}

Image DrawGlyphFile(const PictureItem &Item) {
    const auto &painters = beryllo::GlyphFilePainters();
    const std::string &file = Item.Value.FileName;
    const auto painter = painters.find(file);
    if (painter == painters.end()) Fail(Where(Item) + ": nothing draws " + file);
    CheckStates(Item);
    if (file.size() < 4 || file.substr(file.size() - 4) != ".PNG") Fail(Where(Item) + ": glyph files are PNG pictures");
    const int size = painter->second.Size;
    return MaskedPngStrip(PaintFrames(painter->second.Paint, size, size, Item.Value.ImageCount));
}

void Run(const std::string &OptionsPath, const fs::path &Out) {
    const Bytes optionsText = ReadFileBytes(OptionsPath);
    const skin::TvlOptionsFile options(std::string_view(reinterpret_cast<const char *>(optionsText.data()), optionsText.size()));
    const std::string masterName = options.ReadString("GLOBALINFO", "MASTERBITMAP", "");
    if (masterName.empty() || masterName.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos ||
        masterName.size() < 5 || masterName.substr(masterName.size() - 4) != ".BMP")
        Fail("MASTERBITMAP must name a BMP file in upper case");

    fs::create_directories(Out);
    std::vector<MasterStrip> strips;
    std::set<std::string> drawnItems, writtenFiles;
    std::map<std::string, PictureItem> fileItems;
    int right = 0, bottom = 0;
    for (const PictureItem &item : PictureValues(options)) {
        const skin::TvlImageValue &v = item.Value;
        if (item.FromMaster()) {
            MasterStrip strip = DrawMasterItem(item);
            for (const MasterStrip &other : strips)
                if (Overlap(v.R, other.Item.Value.R))
                    Fail(Where(item) + " overlaps " + Where(other.Item) + " in the master bitmap");
            right = std::max(right, v.R.Right);
            bottom = std::max(bottom, v.R.Bottom);
            drawnItems.insert(item.Section + "." + item.Key);
            strips.push_back(std::move(strip));
            continue;
        }
        if (v.Code == skin::TvlImageCode::Texture) Fail(Where(item) + ": the '~' code is not used by this skin");
        if (v.FileName == masterName) Fail(Where(item) + ": the master bitmap is not a picture item");
        if (const auto seen = fileItems.find(v.FileName); seen != fileItems.end()) {
            // Two keys may share a file, but as the same picture.
            const skin::TvlImageValue &first = seen->second.Value;
            if (first.Code != v.Code || first.ImageCount != v.ImageCount || first.MaskType != v.MaskType)
                Fail(Where(item) + ": " + v.FileName + " is used with another shape by " + Where(seen->second));
            continue;
        }
        fileItems.emplace(v.FileName, item);
        if (v.Code == skin::TvlImageCode::File) {
            WriteFileBytes((Out / v.FileName).string(), EncodePng(DrawGlyphFile(item)));
        } else {
            const auto &textures = beryllo::TexturePainters();
            const auto painter = textures.find(v.FileName);
            if (painter == textures.end()) Fail(Where(item) + ": nothing draws " + v.FileName);
            WriteFileBytes((Out / v.FileName).string(), EncodeBmp24(painter->second()));
        }
        writtenFiles.insert(v.FileName);
    }

    for (const auto &[id, painter] : beryllo::MasterItemPainters())
        if (!drawnItems.count(id)) Fail(id + " is drawn but the options text does not name it");
    for (const auto &[file, painter] : beryllo::GlyphFilePainters())
        if (!writtenFiles.count(file)) Fail(file + " is drawn but the options text does not name it");
    for (const auto &[file, painter] : beryllo::TexturePainters())
        if (!writtenFiles.count(file)) Fail(file + " is drawn but the options text does not name it");

    // One unused column and row at the right and bottom: the corner scan of
    // the skin reader never looks at the last ones.
    Image master(right + 1, bottom + 1, KeyPixel);
    for (const MasterStrip &strip : strips) master.Paste(strip.Strip, strip.Item.Value.R.Left, strip.Item.Value.R.Top);
    WriteFileBytes((Out / masterName).string(), EncodeBmp24(master));
    WriteFileBytes((Out / "Options.dat").string(), optionsText);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "usage: zuvo_draw_beryllo_skin <Options.dat> <output folder>\n";
        return 2;
    }
    try {
        Run(argv[1], argv[2]);
    } catch (const std::exception &e) {
        std::cerr << "zuvo_draw_beryllo_skin: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
