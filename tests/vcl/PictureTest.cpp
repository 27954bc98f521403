#include "vcl/Picture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "GraphicsTestSupport.h"
#include "TempFolder.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Icon.h"

using namespace vcl;
using vcl::test::Pixel32;
using vcl::test::TempFolder;

namespace {

// A graphic whose file format is its text; text starting with "BAD" is damaged.
class TTextGraphic : public TGraphic {
    VCL_CLASS(TTextGraphic, TGraphic)
public:
    std::string Text;

    bool Empty() const override { return Text.empty(); }
    int Width() const override { return static_cast<int>(Text.size()); }
    int Height() const override { return 1; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void LoadFromStream(TStream &Stream) override {
        std::string text(static_cast<std::size_t>(Stream.Size() - Stream.Position()), '\0');
        Stream.ReadBuffer(text.data(), text.size());
        if (text.rfind("BAD", 0) == 0)
            throw EInvalidGraphic("damaged text graphic");
        Text = text;
        Changed();
    }
    void SaveToStream(TStream &Stream) override { Stream.WriteBuffer(Text.data(), Text.size()); }
    void Draw(TCanvas &, const TRect &) override {}
};
VCL_CLASS_INFO(TTextGraphic)

class TOtherBitmap : public TBitmap {
    VCL_CLASS(TOtherBitmap, TBitmap)
};
VCL_CLASS_INFO(TOtherBitmap)

// Registers a format for the length of a test.
struct TRegistration {
    TRegistration(const std::string &extension, const TClassInfo &graphicClass) : Class(graphicClass) {
        TPicture::RegisterFileFormat(extension, "test format", graphicClass);
    }
    ~TRegistration() { TPicture::UnregisterGraphicClass(Class); }
    const TClassInfo &Class;
};

void WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream(TempFolder::Native(path), std::ios::binary) << bytes;
}

// Captures what an object declares in DefineProperties.
class TCaptureFiler : public TFiler {
public:
    void DefineBinaryProperty(const std::string &Name, const TStreamProc &ReadData, const TStreamProc &WriteData,
                              bool HasData) override {
        this->Name = Name;
        Read = ReadData;
        Write = WriteData;
        Has = HasData;
    }
    std::string Name;
    TStreamProc Read, Write;
    bool Has = false;
};

struct TChangeCounter {
    int Count = 0;
    void Changed(TObject *) { ++Count; }
};

} // namespace

TEST(PictureRegistry, TheExtensionChoosesTheGraphicClassTheLatestRegistrationWinning) {
    EXPECT_EQ(TPicture::FileFormatClass(".BMP"), &TBitmap::StaticClassInfo());
    EXPECT_EQ(TPicture::FileFormatClass("Ico"), &TIcon::StaticClassInfo());
    EXPECT_EQ(TPicture::FileFormatClass("png"), nullptr);
    EXPECT_THROW(TPicture::RegisterFileFormat("x", "not a graphic", TPicture::StaticClassInfo()), EInvalidGraphic);
    const TempFolder temp;
    const std::string text = temp / "picture.txg";
    WriteFile(text, "hello");
    {
        TRegistration first(".TXG", TOtherBitmap::StaticClassInfo());
        TRegistration registration("txg", TTextGraphic::StaticClassInfo());
        TPicture picture;
        picture.LoadFromFile(text);
        auto *graphic = dynamic_cast<TTextGraphic *>(picture.Graphic());
        ASSERT_NE(graphic, nullptr);
        EXPECT_EQ(graphic->Text, "hello");
        const std::string bmp = temp / "picture.Bmp";
        TBitmap bitmap;
        bitmap.SetSize(3, 1);
        bitmap.SaveToFile(bmp);
        picture.LoadFromFile(bmp);
        EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
    }
    // Unregistering forgets the class and only it.
    EXPECT_EQ(TPicture::FileFormatClass("txg"), nullptr);
    EXPECT_EQ(TPicture::FileFormatClass("bmp"), &TBitmap::StaticClassInfo());
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(text), EInvalidGraphic);
}

TEST(Picture, AFailedLoadKeepsTheGraphic) {
    TRegistration registration("txg", TTextGraphic::StaticClassInfo());
    TPicture picture;
    picture.Bitmap()->SetSize(4, 4);
    TGraphic *before = picture.Graphic();
    const TempFolder temp;
    const std::string damaged = temp / "picture.txg";
    WriteFile(damaged, "BAD data");
    EXPECT_THROW(picture.LoadFromFile(damaged), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(damaged + ".missing.txg"), EFOpenError);
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(picture.Width(), 4);
}

TEST(Picture, KindsAreReplacedChangesAnnouncedAndAssignCopies) {
    TPicture picture;
    TChangeCounter counter;
    picture.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    TIcon *icon = picture.Icon();
    EXPECT_EQ(picture.Graphic(), icon);
    TBitmap *bitmap = picture.Bitmap();
    EXPECT_EQ(picture.Graphic(), bitmap);
    EXPECT_EQ(picture.Bitmap(), bitmap);  // a bitmap stays
    EXPECT_EQ(counter.Count, 2);
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(1, 1);
    static_cast<std::uint32_t *>(bitmap->ScanLine(0))[0] = 0x12345678;
    EXPECT_EQ(counter.Count, 4);

    TPicture copy;
    copy.Assign(&picture);
    EXPECT_NE(copy.Graphic(), picture.Graphic());
    EXPECT_EQ(Pixel32(*copy.Bitmap(), 0, 0), 0x12345678u);
    TBitmap target;  // a picture assigned to a graphic gives its graphic
    target.Assign(&picture);
    EXPECT_EQ(Pixel32(target, 0, 0), 0x12345678u);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Graphic(), nullptr);
}

TEST(PictureData, AStoredPictureKeepsItsClassAndImage) {
    TPicture picture;
    TCaptureFiler empty;
    picture.DefineProperties(empty);
    EXPECT_FALSE(empty.Has);  // nothing to store
    picture.Bitmap()->SetPixelFormat(pf32bit);
    picture.Bitmap()->SetSize(2, 1);
    static_cast<std::uint32_t *>(picture.Bitmap()->ScanLine(0))[1] = 0xAABBCCDD;
    TCaptureFiler writer;
    picture.DefineProperties(writer);
    EXPECT_EQ(writer.Name, "Data");
    TMemoryStream data;
    writer.Write(data);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(data.Memory()), 10), std::string("\x07TBitmapBM"));
    TPicture read;
    TCaptureFiler reader;
    read.DefineProperties(reader);
    data.SetPosition(0);
    reader.Read(data);
    EXPECT_EQ(Pixel32(*read.Bitmap(), 1, 0), 0xAABBCCDDu);

    // A registered class is found by name; an unknown one leaves the picture as it was.
    TRegistration registration("txg", TTextGraphic::StaticClassInfo());
    for (const std::string stored : {std::string("\x0CTTextGraphicstored text"), std::string("\x07TNoSuchGARBAGE")}) {
        TMemoryStream block;
        block.WriteBuffer(stored.data(), stored.size());
        block.SetPosition(0);
        if (stored.find("NoSuch") != std::string::npos) {
            EXPECT_THROW(reader.Read(block), EInvalidGraphic);
            EXPECT_NE(dynamic_cast<TTextGraphic *>(read.Graphic()), nullptr);
        } else {
            reader.Read(block);
            EXPECT_EQ(dynamic_cast<TTextGraphic &>(*read.Graphic()).Text, "stored text");
        }
    }
}
