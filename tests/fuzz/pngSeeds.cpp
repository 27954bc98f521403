// Writes the seeds of the PNG fuzz target with the tests' PNG writer:
//
//   build/fuzz/tests/fuzz/pngSeeds tests/fuzz/seeds/png
//
// Every colour type at every depth, plain (with gAMA, tRNS and bKGD, and
// the palette of an indexed image) and Adam7 (without gamma, image data in
// many IDAT chunks); rows wide enough for the vector filters; the chunk
// rules the reader follows; and damaged files that stop at each of its
// checks, so that mutation starts from every branch.
#include <cstdio>
#include <string>
#include <vector>

#include <zlib.h>

#include "PngWriter.h"

using namespace pngtest;

namespace {

struct TSeed {
    std::string Name;
    TBytes File;
};

TBytes Deflate(const TBytes &Raw) {
    uLongf size = compressBound(static_cast<uLong>(Raw.size()));
    TBytes out(size);
    compress2(out.data(), &size, Raw.data(), static_cast<uLong>(Raw.size()), 6);
    out.resize(size);
    return out;
}

TBytes FileWith(const TBytes &Header, std::initializer_list<TBytes> Chunks) {
    TBytes file = Join({Signature, Chunk("IHDR", Header)});
    for (const TBytes &c : Chunks) file.insert(file.end(), c.begin(), c.end());
    return Join({file, Chunk("IEND", {})});
}

// Every filter type, row after row, differently in each pass.
int Filters(int Row, int Pass) { return (Row + (Pass < 0 ? 0 : Pass)) % 5; }

TBytes Palette(int Entries) {
    TBytes p;
    for (int i = 0; i < Entries; ++i)
        for (int v : {i * 40, 255 - i * 3, i * 7}) p.push_back(static_cast<std::uint8_t>(v));
    return p;
}

void AddEveryFormat(std::vector<TSeed> &Seeds) {
    const struct {
        int ColorType;
        std::vector<int> Depths;
    } formats[] = {{0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    for (const auto &f : formats)
        for (int depth : f.Depths)
            for (bool adam7 : {false, true}) {
                const TSampleImage im = MakeImage(adam7 ? 11 : 7, adam7 ? 9 : 5, f.ColorType, depth,
                                                  [](int x, int y, int c) { return unsigned(x * 37 + y * 101 + c * 59 + x * y); });
                TPngOptions o;
                o.Interlaced = adam7;
                o.Filter = Filters;
                if (adam7) o.IdatPiece = 23;
                std::vector<TBytes> &chunks = o.BeforeImageData;
                if (!adam7) chunks.push_back(Chunk("gAMA", f.ColorType == 3 ? TBytes{0, 0, 0xB1, 0x8F} : TBytes{0, 1, 0x86, 0xA0}));
                switch (f.ColorType) {
                case 0: chunks.insert(chunks.end(), {Chunk("tRNS", {0, 1}), Chunk("bKGD", {0, 1})}); break;
                case 2: chunks.insert(chunks.end(), {Chunk("tRNS", {0, 1, 0, 2, 0, 3}), Chunk("bKGD", {0, 1, 0, 2, 0, 3})}); break;
                case 3: chunks.insert(chunks.end(), {Chunk("PLTE", Palette(1 << depth)), Chunk("tRNS", {0, 128}), Chunk("bKGD", {1})}); break;
                case 4: chunks.push_back(Chunk("bKGD", {0, 1})); break;
                default: chunks.push_back(Chunk("bKGD", {0, 1, 0, 2, 0, 3})); break;
                }
                if (adam7) chunks.push_back(Chunk("tEXt", {'a', 0, 'b'}));
                Seeds.push_back({"t" + std::to_string(f.ColorType) + "-d" + std::to_string(depth) + (adam7 ? "-adam7" : ""),
                                 EncodePng(im, o)});
            }
}

void AddWideRows(std::vector<TSeed> &Seeds) {
    const struct {
        int ColorType, Depth;
        bool Adam7;
    } formats[] = {{0, 8, false}, {2, 8, false}, {2, 16, false}, {3, 8, false}, {4, 16, false},
                   {6, 8, false}, {6, 16, false}, {2, 8, true},   {6, 8, true},   {0, 4, true}};
    for (const auto &f : formats) {
        const TSampleImage im = MakeImage(37, f.Adam7 ? 17 : 5, f.ColorType, f.Depth,
                                          [](int x, int y, int c) { return unsigned(x * 13 + y * 57 + c * 91 + x * x); });
        TPngOptions o;
        o.Interlaced = f.Adam7;
        o.Filter = Filters;
        if (f.ColorType == 3) o.BeforeImageData.push_back(Chunk("PLTE", Palette(256)));
        Seeds.push_back({"wide-t" + std::to_string(f.ColorType) + "-d" + std::to_string(f.Depth) + (f.Adam7 ? "-adam7" : ""),
                         EncodePng(im, o)});
    }
}

void AddChunkRulesAndDamage(std::vector<TSeed> &Seeds) {
    const TSampleImage rgb = MakeImage(6, 4, 2, 8, [](int x, int y, int c) { return unsigned(x * 40 + y * 9 + c * 70); });
    const TBytes header = HeaderData(6, 4, 8, 2);
    const TBytes data = ImageData(rgb, {});
    TPngOptions split;
    split.IdatPiece = 7;
    split.EmptyIdatBetween = true;
    split.BeforeImageData = {Chunk("PLTE", {1, 2, 3, 4, 5, 6}), Chunk("tEXt", {'k', 0})};
    TPngOptions shortChunks;
    shortChunks.BeforeImageData = {Chunk("gAMA", {0, 1}), Chunk("tRNS", {0, 1}), Chunk("bKGD", {0})};
    TBytes idatCrc = FileWith(header, {Chunk("IDAT", data)});
    idatCrc[33 + 8 + data.size()] ^= 1;
    TBytes pastTheEnd = Join({Signature, Chunk("IHDR", header), Chunk("IDAT", data)});
    pastTheEnd[36] += 1;
    TBytes zlibDamaged = data;
    zlibDamaged[3] ^= 0x55;
    zlibDamaged[zlibDamaged.size() / 2] ^= 0xFF;
    TBytes truncated = EncodePng(rgb);
    truncated.resize(truncated.size() - 20);

    const TSeed seeds[] = {
        {"rule-lower-case-types", Join({Signature, Chunk("IHDR", header), ChunkWithCrc("tEXt", {1, 2}, 0),
                                        Chunk("idat", data), Chunk("iend", {})})},
        {"rule-split-idat-plte-in-rgb", EncodePng(rgb, split)},
        {"rule-short-ancillary", EncodePng(rgb, shortChunks)},
        {"rule-filter-type-5", FileWith(HeaderData(2, 2, 8, 2), {Chunk("IDAT", Deflate({5, 10, 20, 30, 40, 50, 60, 7, 1, 2, 3, 4, 5, 6}))})},
        {"rule-gama-after-text", FileWith(header, {Chunk("tEXt", {'a', 0}), Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("IDAT", data)})},
        {"bad-ihdr-crc", Join({Signature, ChunkWithCrc("IHDR", header, 1), Chunk("IEND", {})})},
        {"bad-ihdr-short", FileWith(TBytes(header.begin(), header.end() - 1), {Chunk("IDAT", data)})},
        {"bad-first-chunk", Join({Signature, Chunk("gAMA", {0, 0, 0, 1}), Chunk("IEND", {})})},
        {"bad-width-0", FileWith(HeaderData(0, 4, 8, 2), {Chunk("IDAT", data)})},
        {"bad-too-large", FileWith(HeaderData(100000, 100000, 8, 6), {Chunk("IDAT", data)})},
        {"bad-compression-1", FileWith(HeaderData(6, 4, 8, 2, 0, 1), {Chunk("IDAT", data)})},
        {"bad-colour-type-5", FileWith(HeaderData(6, 4, 8, 5), {Chunk("IDAT", data)})},
        {"bad-depth-4-rgb", FileWith(HeaderData(6, 4, 4, 2), {Chunk("IDAT", data)})},
        {"bad-plte-770", FileWith(HeaderData(4, 4, 8, 3), {Chunk("PLTE", TBytes(770)), Chunk("IDAT", data)})},
        {"bad-plte-crc", FileWith(HeaderData(6, 4, 8, 3), {ChunkWithCrc("PLTE", TBytes(6), 0), Chunk("IDAT", data)})},
        {"bad-critical-chunk", FileWith(header, {Chunk("ZZZZ", {}), Chunk("IDAT", data)})},
        {"bad-idat-crc", idatCrc},
        {"bad-length-past-the-end", pastTheEnd},
        {"bad-no-image-data", FileWith(header, {Chunk("gAMA", {0, 0, 0xB1, 0x8F})})},
        {"bad-not-zlib", FileWith(header, {Chunk("IDAT", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})})},
        {"bad-zlib-damaged", FileWith(header, {Chunk("IDAT", zlibDamaged)})},
        {"bad-stream-ends-early", FileWith(header, {Chunk("IDAT", Deflate(TBytes(10, 0)))})},
        {"bad-stream-ends-mid-row", FileWith(header, {Chunk("IDAT", Deflate(TBytes(19 * 3 + 7, 0)))})},
        {"bad-bytes-after-the-stream", FileWith(header, {Chunk("IDAT", Join({data, {1, 2}}))})},
        {"bad-second-idat-run", FileWith(header, {Chunk("IDAT", data), Chunk("tEXt", {}), Chunk("IDAT", data)})},
        {"bad-truncated", truncated},
    };
    Seeds.insert(Seeds.end(), std::begin(seeds), std::end(seeds));
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    std::vector<TSeed> seeds;
    AddEveryFormat(seeds);
    AddWideRows(seeds);
    AddChunkRulesAndDamage(seeds);
    for (const TSeed &s : seeds) {
        const std::string path = std::string(argv[1]) + "/" + s.Name + ".png";
        std::FILE *f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(s.File.data(), 1, s.File.size(), f) != s.File.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    std::printf("%zu seeds\n", seeds.size());
    return 0;
}
