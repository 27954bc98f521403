#include "SkinComposer.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "skin/graphics/vlPNG.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sIndexCache.h"
#include "skin/manager/sMaskTableReader.h"
#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sSkinQueries.h"
#include "skin/manager/vlSkinConvertor.h"
#include "vcl/BmpFile.h"
#include "vcl/JpegDecoder.h"
#include "vcl/SysUtils.h"

namespace skintools {

namespace {

// FORMOFFSET's default, the system's frame width; nothing here draws with it.
constexpr int FrameWidth = 4;

std::span<const std::uint8_t> BytesOf(vcl::TCustomMemoryStream &Stream) {
    return {Stream.Memory(), static_cast<std::size_t>(Stream.Size())};
}

bool Names(std::string_view UpperName, std::string_view Extension) {
    return UpperName.find(Extension) != std::string_view::npos;
}

// A decoded picture as 32-bit skin pixels (see CopyToSkinPixels).
std::unique_ptr<vcl::TPixels32> SkinPixels(vcl::TDibImage &Dib, bool Opaque) {
    auto pixels = std::make_unique<vcl::TPixels32>(Dib.Width, Dib.Height);
    skin::CopyToSkinPixels(Dib.Layout(), pixels->View(), Opaque);
    return pixels;
}

// R of Target (what lies inside it) as opaque skin pixels; outside, 0.
vcl::TPixels32 PixelsOf(const Image &Target, const Rect &R) {
    vcl::TPixels32 out(std::max(R.Width(), 0), std::max(R.Height(), 0));
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            if (Target.Contains(R.Left + x, R.Top + y)) {
                const Pixel &p = Target.At(R.Left + x, R.Top + y);
                out.At(x, y) = 0xFF000000u | std::uint32_t{p.R} << 16 | std::uint32_t{p.G} << 8 | p.B;
            }
    return out;
}

// The pixels back into R of Target, opaque: a preview has no alpha.
void PutBack(Image &Target, const Rect &R, const vcl::TPixels32 &Pixels) {
    for (int y = 0; y < Pixels.Height(); ++y)
        for (int x = 0; x < Pixels.Width(); ++x)
            if (Target.Contains(R.Left + x, R.Top + y)) {
                const std::uint32_t p = Pixels.At(x, y);
                Target.At(R.Left + x, R.Top + y) = Pixel{std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), 0xFF};
            }
}

} // namespace

RGB ColourOf(vcl::TColor Colour) {
    const vcl::TColor c = vcl::ColorToRGB(Colour);
    return {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
}

Pixel PixelOf(RGB C) {
    auto b = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return {b(C.R), b(C.G), b(C.B), 0xFF};
}

// The pictures of the packed skin, found by the mask table's reader and
// decoded by the library's readers the way the manager's load does.
class SkinBook::PictureReader : public skin::TvlMaskTableReader {
public:
    PictureReader(SkinBook &Book, skin::TvlSkinConvertor &Packed)
        : skin::TvlMaskTableReader(Book, *Book.FOptions), FBook(Book), FPacked(Packed) {}

protected:
    vcl::TBitmapView MasterPixels() const override { return FBook.MasterImage(); }

    bool FindPicture(const std::string &FileName, vcl::TBitmapView &Pixels) override {
        auto known = FBook.FPictures.find(FileName);
        if (known == FBook.FPictures.end()) {
            skin::TvlImageItem *item = FPacked.FindImage(vcl::UpperCase(FileName));
            if (!item) return false;
            known = FBook.FPictures.emplace(FileName, Decode(FileName, *item->Stream)).first;
        }
        Pixels = known->second->View();
        return true;
    }

    void SharePicture(skin::TsMaskData &Mask, const std::string &FileName) override {
        FBook.FItemPictures[{Mask.ClassName, Mask.PropertyName}] = FBook.FPictures.at(FileName).get();
    }

private:
    std::unique_ptr<vcl::TPixels32> Decode(const std::string &FileName, vcl::TMemoryStream &File) const {
        const std::string name = vcl::UpperCase(FileName);
        if (Names(name, ".BMP")) {
            vcl::TDibImage dib = vcl::ReadBmpFile(BytesOf(File));
            return SkinPixels(dib, false);
        }
        if (Names(name, ".JPG") || Names(name, ".JPEG")) {
            vcl::TDibImage dib = vcl::DecodeJpeg(BytesOf(File));
            return SkinPixels(dib, true);
        }
        if (Names(name, ".PNG")) {
            File.SetPosition(0);
            skin::TPngImage png = skin::ReadPngImage(File);
            auto pixels = SkinPixels(png.Dib, false);
            if (skin::PremultipliesPngPictures(FBook.FData.Version, 0))
                skin::PremultiplyRect(pixels->View(), {0, 0, pixels->Width(), pixels->Height()});
            return pixels;
        }
        return std::make_unique<vcl::TPixels32>();  // a name the manager loads nothing for
    }

    SkinBook &FBook;
    skin::TvlSkinConvertor &FPacked;
};

SkinBook::SkinBook(const Bytes &Packed) {
    skin::TvlSkinConvertor packed;
    packed.OwnedSource = std::make_unique<vcl::TMemoryStream>();
    packed.OwnedSource->WriteBuffer(Packed.data(), Packed.size());
    packed.OwnedSource->SetPosition(0);
    packed.Source = packed.OwnedSource.get();
    if (!skin::UnpackSkinData(packed)) throw ImageError("not a packed skin");
    if (!packed.Options) throw ImageError("the packed skin has no options text");
    const auto text = BytesOf(*packed.Options);
    FOptions = std::make_unique<skin::TvlOptionsFile>(
        std::string_view(reinterpret_cast<const char *>(text.data()), text.size()));
    FData.Version = skin::ReadSkinVersion(*FOptions);
    skin::ReadGlobalInfo(*FOptions, FData, FrameWidth);

    const std::string master = FOptions->ReadString("GLOBALINFO", "MASTERBITMAP", "");
    skin::TvlImageItem *masterItem = packed.FindImage(vcl::UpperCase(master));
    if (master.empty() || !masterItem) throw ImageError("the packed skin has no master bitmap");
    vcl::TDibImage masterDib = vcl::ReadBmpFile(BytesOf(*masterItem->Stream));
    FMaster = std::move(*SkinPixels(masterDib, true));

    PictureReader reader(*this, packed);
    reader.ReadImageKeys();
    Masks = std::move(reader.Masks);

    Sections = skin::ReadSections(*FOptions);
    skin::CacheSectionIndices(Sections, Masks);
    FColors = skin::ReadSkinColors(*FOptions, Sections);
    skin::AddTransparentSection(Sections, FColors[skin::scGlobalFontColor]);
    skin::TvlCommonElements elements;
    skin::CacheCommonElements(elements, Sections, Masks);
    StdSectionIndexes = elements.StdSectionIndexes;
    MainColor = FColors[skin::scGlobalColor];
    SkinActive = true;
}

SkinBook::~SkinBook() = default;

Image SkinBook::MasterPicture() const {
    Image out(FMaster.Width(), FMaster.Height());
    PutBack(out, {0, 0, out.Width(), out.Height()}, FMaster);
    return out;
}

int SkinBook::Section(const std::string &Name) const {
    const int index = skin::FindSectionIndex(Sections, Name);
    if (index < 0) throw ImageError("the skin has no section " + Name);
    return index;
}

const skin::TsMaskData &SkinBook::Mask(const std::string &SectionName, const std::string &Key) const {
    const int index = skin::GetMaskIndex(Sections, Masks, Section(SectionName), Key);
    if (index < 0) throw ImageError("the skin has no " + SectionName + "." + Key);
    return Masks[static_cast<std::size_t>(index)];
}

const skin::TsGenState &SkinBook::Look(const std::string &SectionName, int State) const {
    const skin::TsGeneralData &section = Sections[static_cast<std::size_t>(Section(SectionName))];
    return section.Props[static_cast<std::size_t>(std::min(skin::ClampStateIndex(State, section.States), 2))];
}

void SkinBook::PaintSection(Image &Target, const Rect &R, const std::string &SectionName, int State) const {
    if (R.IsEmpty()) return;
    const int index = Section(SectionName);
    vcl::TPixels32 behind = PixelsOf(Target, R);
    vcl::TPixels32 painted(R.Width(), R.Height());
    // The painters take the tables as they take the manager; they only read them.
    skin::PaintSkinSection(index, {behind.View(), 0, 0, vcl::clFuchsia, true, {}}, State, {0, 0, R.Width(), R.Height()},
                           {0, 0}, painted.View(), const_cast<SkinBook *>(this), -1, -1);
    PutBack(Target, R, painted);
}

void SkinBook::DrawGlyph(Image &Target, int X, int Y, const skin::TsMaskData &Glyph, int State, bool Faded) const {
    const Rect r{X, Y, X + skin::GetMaskFrameWidth(Glyph), Y + skin::GetMaskFrameHeight(Glyph)};
    vcl::TPixels32 pixels = PixelsOf(Target, r);
    const vcl::TBitmapView view = pixels.View();
    skin::DrawSkinGlyph(view, {0, 0}, State, Faded ? skin::gmFaded : skin::gmNormal, Glyph,
                        {view, 0, 0, vcl::clFuchsia, true, {}});
    PutBack(Target, r, pixels);
}

vcl::TBitmapView SkinBook::MasterImage() const { return FMaster.View(); }

vcl::TBitmapView SkinBook::MaskPixels(const skin::TsMaskData &Mask) const {
    const auto own = FItemPictures.find({Mask.ClassName, Mask.PropertyName});
    return own != FItemPictures.end() ? own->second->View() : MasterImage();
}

} // namespace skintools
