#include "sSkinImages.h"

#include <windows.h>

#include <algorithm>
#include <span>

#include "sOptionsFile.h"
#include "sSkinImageCodes.h"
#include "sSkinManager.h"
#include "sSkinPictures.h"
#include "skin/graphics/vlPNG.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/Bitmap.h"
#include "vcl/BmpFile.h"
#include "vcl/Jpeg.h"
#include "vcl/ResourceStream.h"
#include "vcl/SysUtils.h"
#include "vcl/WideText.h"
#include "vlSkinConvertor.h"

namespace skin {

namespace {

bool Contains(std::string_view S, std::string_view Part) { return S.find(Part) != std::string_view::npos; }

// The bytes of the stream from its position: its memory where it has one,
// else a copy (at most MaxSkinFileSize).
std::span<const std::uint8_t> BytesFrom(vcl::TStream &Stream, std::vector<std::uint8_t> &Copy) {
    const std::int64_t position = std::max<std::int64_t>(Stream.Position(), 0);
    if (auto *memory = dynamic_cast<vcl::TCustomMemoryStream *>(&Stream); memory && position <= memory->Size())
        return {memory->Memory() + position, static_cast<std::size_t>(memory->Size() - position)};
    Copy.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(Stream.Size() - position, 0, MaxSkinFileSize)));
    Copy.resize(Stream.Read(Copy.data(), Copy.size()));
    Stream.SetPosition(position);
    return Copy;
}

std::string InSkinFolder(const std::string &SkinPath, const std::string &FileName) {
    return Contains(FileName, ":") ? FileName : SkinPath + FileName;
}

// A name of the options text is 8-bit text of the code page, the folder
// UTF-8: the name is converted before the two are joined, or a name with a
// letter outside ASCII names no file. A text that says it is UTF-8 (by its
// byte order mark) has its names in UTF-8 already: converted once more,
// every name with such a letter would be lost. (The application's common
// sections are its own UTF-8 text.)
std::string OptionsNameInSkinFolder(const TvlOptionsFile &Options, const std::string &SkinPath,
                                    const std::string &FileName) {
    return InSkinFolder(SkinPath, Options.Utf8() ? FileName : CodePageToUtf8(FileName));
}

} // namespace

std::string CodePageToUtf8(const std::string &Text) {
    if (Text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), wide.data(), n);
    return vcl::WideToUtf8(wide);
}

std::unique_ptr<vcl::TMemoryStream> ReadSkinFile(const std::string &FileName) {
    vcl::TFileStream file(FileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    if (file.Size() > MaxSkinFileSize)
        throw vcl::EReadError("The skin file \"" + FileName + "\" is larger than " + vcl::IntToStr(MaxSkinFileSize) +
                              " bytes");
    auto data = std::make_unique<vcl::TMemoryStream>();
    data->LoadFromStream(file);
    return data;
}

void MakeOpaque32(vcl::TBitmap &Bitmap) {
    if (Bitmap.PixelFormat() == vcl::pf32bit) return;
    Bitmap.SetPixelFormat(vcl::pf32bit);
    SetRectAlpha(Bitmap, {0, 0, Bitmap.Width(), Bitmap.Height()}, 255, vcl::clFuchsia);
}

namespace {

// A decoded picture into Bitmap, made 32-bit in one pass (see CopyToSkinPixels).
void TakeDib(vcl::TBitmap &Bitmap, const vcl::TDibLayout &Image, bool Opaque, const std::string &Name) {
    CheckPictureSize(Name, Image.Width, Image.Height);
    Bitmap.SetPixelFormat(vcl::pf32bit);
    Bitmap.SetSize(Image.Width, Image.Height);
    CopyToSkinPixels(Image, Bitmap.View(), Opaque);
}

} // namespace

void LoadSkinBitmap(vcl::TBitmap &Bitmap, vcl::TStream &Stream, bool Opaque, const std::string &Name) {
    // Decoded straight from the stream's memory into the 32-bit image: the
    // loading of a skin is mostly the loading of its pictures.
    std::vector<std::uint8_t> copy;
    const std::span<const std::uint8_t> data = BytesFrom(Stream, copy);
    // Before compressed rows are unpacked into an image of the size the header says.
    CheckAnnouncedPictureSize(Name, TvlPictureFormat::Bmp, data);
    // The file's rows are read where they lie: a copy would cost as much as the conversion.
    vcl::TDibImage holder;
    TakeDib(Bitmap, vcl::ViewBmpFile(data, holder), Opaque, Name);
}

void LoadSkinPicture(vcl::TBitmap &Bitmap, const std::string &FileName, vcl::TStream &Stream, bool Premultiply) {
    const TvlPictureFormat format = PictureFormatOf(vcl::UpperCase(FileName));
    Stream.SetPosition(0);
    if (format == TvlPictureFormat::Bmp) {
        LoadSkinBitmap(Bitmap, Stream, false, FileName);
        return;
    }
    {
        // The decoders make an image of the size the header says before they
        // read its pixels: the limit is checked on what the header says.
        std::vector<std::uint8_t> copy;
        CheckAnnouncedPictureSize(FileName, format, BytesFrom(Stream, copy));
    }
    if (format == TvlPictureFormat::Jpeg) {
        vcl::TJPEGImage jpeg;
        jpeg.LoadFromStream(Stream);
        Bitmap.Assign(jpeg.Bitmap());
    } else if (format == TvlPictureFormat::Png) {
        // The PNG reader's pixels taken over directly: a graphic object and
        // its copy per glyph cost more than the glyph's decoding.
        TPngImage png = ReadPngImage(Stream);
        const bool hasAlpha = png.Dib.PixelFormat == vcl::pf32bit;
        TakeDib(Bitmap, png.Dib.Layout(), false, FileName);
        // Only a picture with an alpha channel is premultiplied: one without
        // has just been made opaque around its key colour, and multiplying
        // by that alpha would darken every pixel by a step and turn the key
        // pixels black, so that the picture loses its transparent parts.
        if (Premultiply && hasAlpha) PremultiplyRect(Bitmap, {0, 0, Bitmap.Width(), Bitmap.Height()});
        return;
    }
    CheckPictureSize(FileName, Bitmap.Width(), Bitmap.Height());
    MakeOpaque32(Bitmap);
}

// TvlSkinLoad: images

vcl::TBitmap *TvlSkinLoad::FindExternalImage(const std::string &FileName) const {
    for (const TvlExtFileData &e : ExtImages)
        if (e.FileName == FileName) return e.Bitmap.get();
    return nullptr;
}

vcl::TBitmap *TvlSkinLoad::LoadImageFile(const std::string &FileName, vcl::TStream *Stream) {
    std::unique_ptr<vcl::TMemoryStream> file;
    if (!Stream) {
        const std::string path = OptionsNameInSkinFolder(FOptions, FSkinPath, FileName);
        if (!vcl::FileExists(path)) return nullptr;
        file = ReadSkinFile(path);
        Stream = file.get();
    }
    auto bitmap = std::make_shared<vcl::TBitmap>();
    ExtImages.push_back(TvlExtFileData{bitmap, FileName, 0});
    LoadSkinPicture(*bitmap, FileName, *Stream, PremultipliesPngPictures(Data.Version, FManager.Brightness()));
    return bitmap.get();
}

vcl::TBitmap *TvlSkinLoad::FindPictureBitmap(const std::string &FileName) {
    if (vcl::TBitmap *known = FindExternalImage(FileName)) return known;
    if (FConvertor) {
        TvlImageItem *item = FConvertor->FindImage(vcl::UpperCase(FileName));
        return item ? LoadImageFile(FileName, item->Stream.get()) : nullptr;
    }
    return LoadImageFile(FileName, nullptr);
}

void TvlSkinLoad::LoadMasterBitmap() {
    const std::string name = FOptions.ReadString("GLOBALINFO", "MASTERBITMAP", "");
    Master = std::make_shared<vcl::TBitmap>();
    if (FConvertor) {
        // Found whatever case the options file writes the name in.
        if (TvlImageItem *item = FConvertor->FindImage(vcl::UpperCase(name)); item && !name.empty()) {
            item->Stream->SetPosition(0);
            LoadSkinBitmap(*Master, *item->Stream, true, name);
        }
    } else if (!name.empty()) {
        const std::string path = OptionsNameInSkinFolder(FOptions, FSkinPath, name);
        if (vcl::FileExists(path)) LoadSkinBitmap(*Master, *ReadSkinFile(path), true, name);
    }
    Master->SetPixelFormat(vcl::pf32bit);
    Master->SetTransparentColor(vcl::clFuchsia);
    Master->SetTransparent(true);
    Master->SetHandleType(vcl::bmDIB);
}

vcl::TBitmapView TvlSkinLoad::MasterPixels() const { return BitmapPixels(Master.get()); }

bool TvlSkinLoad::FindPicture(const std::string &FileName, vcl::TBitmapView &Pixels) {
    vcl::TBitmap *picture = FindPictureBitmap(FileName);
    if (!picture) return false;
    Pixels = BitmapPixels(picture);
    return true;
}

void TvlSkinLoad::SharePicture(TsMaskData &Mask, const std::string &FileName) {
    for (const TvlExtFileData &e : ExtImages)
        if (e.FileName == FileName) Mask.Bmp = e.Bitmap;
}

void TvlSkinLoad::LoadCommonSectionPictures() {
    const vcl::TStringList &common = *FManager.CommonSections();
    if (common.Count() == 0) return;
    const TvlOptionsFile ini(common);
    for (const TvlOptionsFile::TSection &section : ini.Sections()) {
        if (vcl::UpperCase(section.Name) == "GLOBALINFO") continue;
        for (const TvlOptionsFile::TKey &key : section.Keys) {
            const std::string value = vcl::UpperCase(key.Value);
            if (!Contains(value, ".BMP")) continue;
            const std::string path = InSkinFolder(FSkinPath, value);
            if (!vcl::FileExists(path)) continue;
            TsMaskData m;
            m.Manager = &FManager;
            m.PropertyName = vcl::UpperCase(key.Name);
            m.ClassName = vcl::UpperCase(section.Name);
            // -1, not 0: these pictures belong to no section of the skin, and
            // 0 would hand them to its first section's lookups.
            m.OwnerSection = -1;
            m.Bmp = std::make_shared<vcl::TBitmap>();
            try {
                const std::unique_ptr<vcl::TMemoryStream> file = ReadSkinFile(path);
                CheckAnnouncedPictureSize(value, TvlPictureFormat::Bmp,
                                          {file->Memory(), static_cast<std::size_t>(file->Size())});
                m.Bmp->LoadFromStream(*file);
                CheckPictureSize(value, m.Bmp->Width(), m.Bmp->Height());
                MakeOpaque32(*m.Bmp);
            } catch (const vcl::Exception &) {
                // The application's own picture is optional: its item stays,
                // named and empty.
                m.Bmp->SetSize(0, 0);
            }
            Masks.push_back(std::move(m));
        }
    }
}

void TvlSkinLoad::LoadSkinImages() {
    LoadMasterBitmap();
    ReadImageKeys();
    LoadCommonSectionPictures();
}

// Outer effects

namespace {

// Pixel value of a colour as GDI leaves it in a 32-bit bitmap (alpha 0).
std::uint32_t GdiPixel(vcl::TColor Color) { return ColorToBGRA(vcl::ColorToRGB(Color)); }

// The image part of the built-in outer effect, W x W: the top half in Top,
// the bottom half in Bottom, and over them two side triangles that meet in
// the middle, pointing inward.
void PaintEffectSides(const vcl::TBitmapView &View, int W, const TvlOutEffect &E) {
    const int h2 = W / 2;
    for (int y = 0; y < W && y < View.Height; ++y) {
        std::uint32_t *row = View.Row32(y);
        const std::uint32_t fill = GdiPixel(y < h2 ? E.ColorT : E.ColorB);
        for (int x = 0; x < W && x < View.Width; ++x) row[x] = fill;
        if (y < 1 || y > W - 2 || h2 < 1) continue;
        // How far each triangle reaches into row y: its apex lies at the
        // middle row, h2 - 1 pixels in from its side.
        const int depth = y <= h2 ? (y - 1) * (h2 - 1) / std::max(h2 - 1, 1)
                                  : (W - 2 - y) * (h2 - 1) / std::max(W - 2 - h2, 1);
        for (int x = 0; x <= depth && x < View.Width; ++x) row[x] = GdiPixel(E.ColorL);
        for (int x = W - 1 - depth; x < W && x < View.Width; ++x)
            if (x >= 0) row[x] = GdiPixel(E.ColorR);
    }
}

} // namespace

void TvlSkinLoad::LoadOuterEffectMask(TvlOutEffect &Effect, const std::string &Key) {
    Effect.MaskIndex = -1;
    if (Effect.Source == 0) return;
    if (Effect.Source == 1) {
        Effect.MaskIndex = AddOuterEffectItem(Key);
        return;
    }
    const int global = FOptions.SectionIndex("GLOBALINFO");
    // The picture is read where the module keeps it (resources stay mapped
    // while the module is loaded): a bitmap of its own, and a 32-bit copy of
    // that, would cost more than the effect's image.
    vcl::TDibImage holder;
    vcl::TDibLayout blur;
    try {
        vcl::TResourceStream resource("BLUR5", MAKEINTRESOURCEW(2) /* RT_BITMAP */);
        blur = vcl::ViewPackedDib({resource.Memory(), static_cast<std::size_t>(resource.Size())}, holder);
    } catch (const vcl::Exception &) {
        return;  // a program without the picture has no built-in effect
    }
    const int w = blur.Width;
    if (w < 1) return;
    const int h2 = w / 2;
    for (int *width : {&Effect.WidthL, &Effect.WidthT, &Effect.WidthR, &Effect.WidthB})
        if (*width == -1) *width = h2;
    const int index = AddMaskItem(global, Key, "GLOBALINFO", 0, {0, 0, w, 2 * w}, 1, 1, 1);
    TsMaskData &m = Masks[static_cast<std::size_t>(index)];
    m.BorderWidth = m.WL = m.WT = m.WR = m.WB = static_cast<std::int16_t>(std::min(h2, 32767));
    m.Bmp = std::make_shared<vcl::TBitmap>();
    m.Bmp->SetPixelFormat(vcl::pf32bit);
    m.Bmp->SetSize(w, 2 * w);
    PaintEffectSides(m.Bmp->View(), w, Effect);
    // The blur below the sides, as 32-bit pixels (alpha 0 unless the picture has it).
    const vcl::TBitmapView to = m.Bmp->View();
    vcl::TDibLayout lower;
    lower.First = reinterpret_cast<std::uint8_t *>(to.Row32(w));
    lower.Stride = to.Stride;
    lower.Width = w;
    lower.Height = w;
    vcl::CopyDibPixels(blur, lower);
    Effect.MaskIndex = index;
}

} // namespace skin
