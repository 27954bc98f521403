// Writes the seeds of the skinpaint fuzz target:
//
//   build/fuzz/tests/fuzz/skinpaintSeeds tests/fuzz/seeds/skinpaint
//
// Each seed is an options text, then a zero byte and its master picture as
// a 24-bit BMP file (none: the target's own picture): our stored skin's
// options as they are; a skin that uses every picture code and the values
// that reach sizes, within their ranges, in lines ended by CR LF; one whose
// numbers lie far beyond them; and one whose picture rects and margins run
// out of their pictures (title buttons, an outer effect's mask, textures of
// a picture of their own), so that mutation starts from every reader's
// refusals.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "vcl/BmpFile.h"
#include "vcl/Dib.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

// W x H pixels of distinct colours (blue along x, green along y) with the
// key colour in the four corners, so that corner scans find it.
TBytes Master(int W, int H) {
    const int stride = (3 * W + 3) & ~3;
    TBytes pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            std::uint8_t *p = &pixels[static_cast<std::size_t>(y * stride + 3 * x)];
            const bool corner = (x == 0 || x == W - 1) && (y == 0 || y == H - 1);
            p[0] = corner ? 0xFF : static_cast<std::uint8_t>(x * 5);
            p[1] = corner ? 0x00 : static_cast<std::uint8_t>(y * 7);
            p[2] = corner ? 0xFF : 0x80;
        }
    vcl::TDibLayout image;
    image.First = pixels.data();
    image.Stride = stride;
    image.Width = W;
    image.Height = H;
    image.PixelFormat = vcl::pf24bit;
    return vcl::WriteBmpFile(image);
}

// The text with its lines ended by CR LF, as a skin editor writes them.
std::string WithCrLf(const std::string &Text) {
    std::string out;
    for (char c : Text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

TBytes Seed(const std::string &Options, const TBytes &Picture) {
    TBytes seed(Options.begin(), Options.end());
    if (Picture.empty()) return seed;
    seed.push_back(0);
    seed.insert(seed.end(), Picture.begin(), Picture.end());
    return seed;
}

const char *const EveryCode = R"([GLOBALINFO]
VERSION=10
BORDERWIDTH=6
TITLEHEIGHT=28
MAXHEIGHT=24
FORMOFFSET=3
EXBORDER=^0000,0000,0032,0016,0006,0005,0006,0005,2,0,0,0
BICONCLOSE=@0000,0000,0016,0016,1,0
BICONCLOSEGLOW=1
BICONCLOSEGLOWMARGIN=2
BICONCLOSEGLOW0=^0000,0016,0016,0032,0004,0004,0004,0004,1,0,0,0
SH_SOURCE=1
SH_MASK=^0016,0000,0032,0032,0004,0004,0004,0004,1,1,1,0
LO_OFFSETL=3
LO_SOURCE=0
[BUTTON]
STATES=3
USESTATE2=1
COLOR=$F0F0F0
HOTCOLOR=$E0E0E0
COLOR2=$D0D0D0
IMAGEPERCENT=30
GRADIENTPERCENT=70
GRADIENTDATA=16777215;0;100;0;0
TRANSPARENCY=20
GSIZE=3
GCOL=$FFFFFF
HOTIMAGEPERCENT=50
HOTTRANSPARENCY=50
HGSIZE=4
GRADIENTDATA2=0;255;100;0;2
GRADIENTPERCENT2=60
PATTERN=^0004,0004,0020,0020,0000,0000,0000,0000,1,0,0,0
HOTPATTERN=~0000,0000,0016,0016,10,1
BORDERSMASK=^0000,0000,0048,0016,0003,0003,0003,0003,3,1,0,0
GLOW=120
GLOWMARGIN=-3
GLOW0=^0000,0000,0024,0024,0006,0006,0006,0006,1,0,0,0
OUTERMODE=1
OUTOFFSL=2
IMGTOPLEFT=@0000,0000,0004,0004,1,0
OUTERMASK=^0000,0000,0024,0048,0004,0004,0004,0004,1,1,1,0
[MYBUTTON]
PARENTCLASS=BUTTON
STATES=2
[TABTOP]
TABSCOVERING=2
BORDERSMASK=!TAB.PNG!3!1!0!4!4!4!4!1
[PANEL]
STATES=1
PATTERN=WOOD.JPG
IMAGEPERCENT=100
TRANSPARENCY=100
[EDIT]
COLOR=$FFFFFF
FONTCOLOR=0
TRANSPARENCY=40
)";

const char *const Damaged = R"([GLOBALINFO]
BORDERWIDTH=30000
TITLEHEIGHT=1073741824
FORMOFFSET=-100000
BICONCLOSEGLOWMARGIN=-100000
EXBORDER=^0000,0000,9999,9999,9999,9999,9999,9999,1,0,0,0
LO_OFFSETT=2147483647
[S]
STATES=0
IMAGEPERCENT=100000000
TRANSPARENCY=100000000
GLOWMARGIN=-100000
GSIZE=100000
OUTOFFSL=-2147483648
GLOW0=^0000,0000,0012,0012,9999,9999,9999,9999,1,0,0,0
[TABTOP]
TABSCOVERING=2147483647
)";

// The master is 32 x 24; every picture file the target's own small one.
const char *const MaskRects = R"([GLOBALINFO]
VERSION=10
BICONCLOSE=^0000,0000,9999,9999,0000,0000,0000,0000,3,1,0,0
BICONMAX=^0020,0000,0010,0020,0000,0000,0000,0000,1,0,0,0
BICONMIN=@0030,0020,0040,0030,1,1
BICONHELP=^0000,0000,0030,0020,9999,-999,0040,9999,3,1,0,0
BICONNORM=^0000,0000,0030,0024,0000,0000,0000,0000,9,0,0,9
SH_SOURCE=1
SH_MASK=^0000,0000,0033,0010,0004,0004,0004,0004,1,1,1,0
[BUTTON]
PATTERN=~0000,0000,0020,0020,01,0~x~x~x~x~x~own.bmp
HOTPATTERN=~0002,0001,0012,0011,01,0~x~x~x~x~x~own.bmp
GLYPHMASK=!own.png!1!0!0!32767!32767!32767!32767
BORDERSMASK=^0000,0000,0032,0024,0000,0000,0000,0000,3,1,0,0
ARROW=^0024,0000,0032,0024,0002,0002,0002,0002,3,9,0,0
)";

bool Write(const std::string &Path, const TBytes &Bytes) {
    std::ofstream out(Path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    std::ifstream beryllo(ZUVO_BERYLLO_OPTIONS, std::ios::binary);
    const TBytes berylloOptions((std::istreambuf_iterator<char>(beryllo)), std::istreambuf_iterator<char>());
    if (berylloOptions.empty()) {
        std::fprintf(stderr, "cannot read %s\n", ZUVO_BERYLLO_OPTIONS);
        return 1;
    }
    const struct {
        const char *Name;
        TBytes Bytes;
    } seeds[] = {
        {"beryllo.skin", berylloOptions},
        {"every-code.skin", Seed(WithCrLf(EveryCode), Master(48, 48))},
        {"damaged.skin", Seed(Damaged, Master(20, 12))},
        {"mask-rects.skin", Seed(MaskRects, Master(32, 24))},
    };
    for (const auto &s : seeds)
        if (!Write(std::string(argv[1]) + "/" + s.Name, s.Bytes)) {
            std::fprintf(stderr, "cannot write %s\n", s.Name);
            return 1;
        }
    return 0;
}
