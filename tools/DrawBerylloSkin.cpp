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
#include "SkinOptions.h"

namespace fs = std::filesystem;
using namespace skintools;

namespace {

[[noreturn]] void Fail(const std::string &Message) { throw std::runtime_error(Message); }

std::string Where(const PictureItem &Item) { return "[" + Item.Section + "] " + Item.Key; }

void CheckStates(const PictureItem &Item) {
    if (Item.ImageCount < 1 || Item.ImageCount > 9) Fail(Where(Item) + ": image count must be 1 to 9");
    if (Item.MaskType != 1) Fail(Where(Item) + ": every picture of this skin has its mask below it (mask type 1)");
}

bool Overlap(const Rect &A, const Rect &B) {
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
    if (Item.R.Left < 0 || Item.R.Top < 0 || Item.R.Width() <= 0 || Item.R.Height() <= 0)
        Fail(Where(Item) + ": empty or negative rectangle");
    if (Item.R.Width() % Item.ImageCount != 0 || Item.R.Height() % (Item.MaskType + 1) != 0)
        Fail(Where(Item) + ": the rectangle does not divide into its states and parts");
    if (Item.Code == '^' && (Item.WL + Item.WR > Item.FrameWidth() || Item.WT + Item.WB > Item.PartHeight()))
        Fail(Where(Item) + ": margins larger than one state");
    const auto frames = PaintFrames(painter->second.Paint, Item.FrameWidth(), Item.PartHeight(), Item.ImageCount);
    return {Item, MaskedStrip(frames, painter->second.Ground)};
}

Image DrawGlyphFile(const PictureItem &Item) {
    const auto &painters = beryllo::GlyphFilePainters();
    const auto painter = painters.find(Item.File);
    if (painter == painters.end()) Fail(Where(Item) + ": nothing draws " + Item.File);
    CheckStates(Item);
    if (Item.File.size() < 4 || Item.File.substr(Item.File.size() - 4) != ".PNG")
        Fail(Where(Item) + ": glyph files are PNG pictures");
    const int size = painter->second.Size;
    return MaskedPngStrip(PaintFrames(painter->second.Paint, size, size, Item.ImageCount));
}

void Run(const std::string &OptionsPath, const fs::path &Out) {
    const SkinOptions options = SkinOptions::FromFile(OptionsPath);
    const std::string masterName = options.MasterBitmap();
    if (masterName.empty() || masterName.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos ||
        masterName.size() < 5 || masterName.substr(masterName.size() - 4) != ".BMP")
        Fail("MASTERBITMAP must name a BMP file in upper case");

    fs::create_directories(Out);
    std::vector<MasterStrip> strips;
    std::set<std::string> drawnItems, writtenFiles;
    std::map<std::string, PictureItem> fileItems;
    int right = 0, bottom = 0;
    for (const PictureItem &item : options.Pictures()) {
        if (item.FromMaster()) {
            MasterStrip strip = DrawMasterItem(item);
            for (const MasterStrip &other : strips)
                if (Overlap(strip.Item.R, other.Item.R))
                    Fail(Where(item) + " overlaps " + Where(other.Item) + " in the master bitmap");
            right = std::max(right, item.R.Right);
            bottom = std::max(bottom, item.R.Bottom);
            drawnItems.insert(item.Section + "." + item.Key);
            strips.push_back(std::move(strip));
            continue;
        }
        if (item.File == masterName) Fail(Where(item) + ": the master bitmap is not a picture item");
        if (const auto seen = fileItems.find(item.File); seen != fileItems.end()) {
            // Two keys may share a file, but as the same picture.
            if (seen->second.Code != item.Code || seen->second.ImageCount != item.ImageCount ||
                seen->second.MaskType != item.MaskType)
                Fail(Where(item) + ": " + item.File + " is used with another shape by " + Where(seen->second));
            continue;
        }
        fileItems.emplace(item.File, item);
        if (item.Code == '!') {
            WriteFileBytes((Out / item.File).string(), EncodePng(DrawGlyphFile(item)));
        } else {
            const auto &textures = beryllo::TexturePainters();
            const auto painter = textures.find(item.File);
            if (painter == textures.end()) Fail(Where(item) + ": nothing draws " + item.File);
            WriteFileBytes((Out / item.File).string(), EncodeBmp24(painter->second()));
        }
        writtenFiles.insert(item.File);
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
    for (const MasterStrip &strip : strips) master.Paste(strip.Strip, strip.Item.R.Left, strip.Item.R.Top);
    WriteFileBytes((Out / masterName).string(), EncodeBmp24(master));
    WriteFileBytes((Out / "Options.dat").string(), ReadFileBytes(OptionsPath));
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
