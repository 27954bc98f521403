// The skinned labels. Wine's fonts are not Windows': texts are judged by
// counts of colours, where ink lies, or against a label drawing the expected text.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/manager/sLabel.h"
#include "vcl/Bitmap.h"
#include "vcl/FormReader.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

// GLOBALINFO's font red, LABELBG green with blue text, HOLDER a panel giving its olive font.
constexpr vcl::TColor SkinFont = 0x0000C0, BackColor = 0x00C000, BackFont = 0xC00000, HolderFont = 0x00C0C0;
constexpr vcl::TColor OwnFont = 0x00FF00;
const std::string Czech = "Příliš žluťoučký kůň úpěl ďábelské ódy nad zelenou krajinou";

std::uint32_t Pixel(vcl::TColor C) {
    const auto c = static_cast<std::uint32_t>(vcl::ColorToRGB(C));
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

// The control painted as its parent paints it, on white of its size.
std::unique_ptr<vcl::TBitmap> Picture(vcl::TControl *Control) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf32bit);
    b->SetSize(Control->Width(), Control->Height());
    const vcl::TBitmapView v = b->View();
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) v.At(x, y) = 0xFFFFFF;
    Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(b->Canvas()->Handle()), 0);
    GdiFlush();
    return b;
}

int Count(const std::unique_ptr<vcl::TBitmap> &B, vcl::TColor C, int *InkBottom = nullptr) {
    const vcl::TBitmapView v = B->View();
    int n = 0;
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) {
            const std::uint32_t p = v.At(x, y) & 0xFFFFFF;
            n += p == Pixel(C);
            if (InkBottom && p != 0xFFFFFF) *InkBottom = y + 1;
        }
    return n;
}

bool Same(const std::unique_ptr<vcl::TBitmap> &A, const std::unique_ptr<vcl::TBitmap> &B) {
    const vcl::TBitmapView a = A->View(), b = B->View();
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if ((a.At(x, y) ^ b.At(x, y)) & 0xFFFFFF) return false;
    return true;
}

class Label : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitializeSkinManagerModule();
        InitializeLabelModule();
    }
    static void TearDownTestSuite() {
        FinalizeLabelModule();
        FinalizeSkinManagerModule();
    }
    void SetUp() override {
        TestSkin skin;
        skin.Options = "[GLOBALINFO]\r\nVERSION=10\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x0000C0\r\n[LABELBG]\r\nCOLOR=0x00C000\r\n"
                       "FONTCOLOR=0xC00000\r\n[HOLDER]\r\nCOLOR=0x808080\r\nFONTCOLOR=0x00C0C0\r\nGIVEOWNFONT=1\r\n";
        skin.Files.clear();
        AddStoredSkin(*Manager, "Labels", skin.Packed());
        Manager->SetSkinName("Labels");
    }

    // Bold and large, so that strokes hold pixels of the pure text colour.
    template <class L> L *Add(const std::string &Caption, vcl::TWinControl *Parent = nullptr) {
        auto *label = Form.Add(vcl::Create<L>(Form.Form));
        if (Parent) label->SetParent(Parent);
        label->Font()->SetHeight(-24);
        label->Font()->SetStyle({vcl::fsBold});
        label->Font()->SetColor(OwnFont);
        label->SetCaption(Caption);
        return label;
    }
    // Two lines and a half, wrapped, "..." at the end unless AutoSize.
    TsLabel *Wrapped(const std::string &Caption, int Width, bool Ellipsis = true) {
        auto *label = Add<TsLabel>(Caption);
        label->SetAutoSize(false);
        label->SetWordWrap(true);
        label->SetEllipsisPosition(Ellipsis ? vcl::epEndEllipsis : vcl::epNone);
        label->SetBounds(10, 10, Width, Line * 5 / 2);
        return label;
    }
    std::unique_ptr<vcl::TBitmap> Drawing(const TsLabel *Like, const std::string &Caption) {
        std::unique_ptr<TsLabel> label(Wrapped(Caption, Like->Width(), false));
        label->SetBounds(10, 10, Like->Width(), Like->Height());
        return Picture(label.get());
    }

    ManagerPtr Manager = NewManager();
    TestForm Form;
    const int Line = std::unique_ptr<TsLabel>(Add<TsLabel>("Ž"))->Height();
};

TEST_F(Label, TextTakesTheSkinsTheSectionsOrItsOwnColourMixedWhenDisabled) {
    auto *holder = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form), 10, 100)->Skin("HOLDER");
    auto *own = Add<TsLabel>("Barvy"), *sectioned = Add<TsLabel>("Barvy"), *disabledOwn = Add<TsLabel>("Barvy");
    own->SetUseSkinColor(false);
    disabledOwn->SetUseSkinColor(false);
    disabledOwn->SetEnabled(false);
    sectioned->SetSkinSection("LABELBG");
    auto *disabled = Add<TsCustomLabel>("Barvy");
    disabled->SetEnabled(false);
    Form.Show();
    // Disabled: 40 % of 0xC0 and 60 % of the white form: 0xE6; 0x99 for green and blue.
    const struct {
        vcl::TControl *Label;
        vcl::TColor Text;
    } cases[] = {{Add<TsCustomLabel>("Barvy"), SkinFont}, {Add<TsLabel>("Barvy"), SkinFont}, {own, OwnFont},
                 {sectioned, BackFont},  {Add<TsLabel>("Barvy", holder), HolderFont}, {disabled, 0x9999E6},
                 {disabledOwn, OwnFont}};
    for (const auto &c : cases) {
        const auto picture = Picture(c.Label);
        EXPECT_GT(Count(picture, c.Text), 20) << std::hex << c.Text;
        for (vcl::TColor other : {SkinFont, OwnFont, BackFont, HolderFont, vcl::clBtnShadow})
            EXPECT_TRUE(other == c.Text || Count(picture, other) == 0) << std::hex << c.Text << " " << other;
    }
    // Without a skin the class library's drawing, in Font.Color (set by the
    // section's paint) or embossed.
    Manager->SetActive(false);
    EXPECT_GT(Count(Picture(sectioned), BackFont), 20);
    EXPECT_GT(Count(Picture(disabled), vcl::clBtnShadow), 20);
}

TEST_F(Label, SectionPaintsBehindTheTextButTheFirstOnlyGivesItsFontAndNoPaintFollows) {
    auto *back = Add<TsCustomLabel>("Pozadí"), *zero = Add<TsCustomLabel>("Pozadí");
    back->SetSkinSection("LABELBG");
    zero->SetSkinSection(Manager->Sections[0].ClassName);
    Form.Show();
    const auto a = Picture(back), b = Picture(zero);
    EXPECT_GT(Count(a, BackColor), back->Width() * back->Height() / 2);
    EXPECT_GT(Count(a, SkinFont), 20);
    EXPECT_GT(Count(b, 0xFFFFFF), zero->Width() * zero->Height() / 2);
    EXPECT_EQ(zero->Font()->Color(), Manager->Sections[0].Props[0].FontColor);

    // The colour set while painting changes nothing else; outside it resizes and repaints.
    back->Font()->SetColor(OwnFont);
    ValidateRect(Form.Form->Handle(), nullptr);
    Picture(back);
    EXPECT_EQ(back->Font()->Color(), BackFont);
    EXPECT_FALSE(GetUpdateRect(Form.Form->Handle(), nullptr, FALSE));
    const int height = back->Height();
    back->Font()->SetHeight(-40);
    EXPECT_GT(back->Height(), height);
    EXPECT_TRUE(GetUpdateRect(Form.Form->Handle(), nullptr, FALSE));
    back->SetSkinSection("");  // nothing of the last paint's section is kept
    EXPECT_EQ(Count(Picture(back), BackColor), 0);
}

TEST_F(Label, WrappedTextEndsWithTheLastFittingWordsAndDotsUnlessAutoSize) {
    auto *label = Wrapped(Czech, 220);
    Form.Show();
    const auto picture = Picture(label);
    int bottom = 0;
    Count(picture, SkinFont, &bottom);
    EXPECT_LE(bottom, 2 * Line);  // nothing of a third line
    std::size_t fitting = 0;
    for (std::size_t blank = Czech.find(' '); blank != std::string::npos && !fitting; blank = Czech.find(' ', blank + 1))
        if (Same(picture, Drawing(label, Czech.substr(0, blank) + "..."))) fitting = blank;
    EXPECT_GT(fitting, Czech.find(' '));  // more than one word
    // Without blanks whole characters go (here the last line and its break).
    auto *lines = Wrapped("příliš\r\nžluťoučký\r\nkůň", 300);
    EXPECT_TRUE(Same(Picture(lines), Drawing(lines, "příliš\r\nžluťoučký...")));
    // AutoSize grows the label instead.
    label->SetAutoSize(true);
    EXPECT_GT(label->Height(), 3 * Line - 1);
    EXPECT_TRUE(Same(Picture(label), Drawing(label, Czech)));
    // An empty caption measures as one line of one blank.
    const auto *empty = Add<TsLabel>("");
    EXPECT_EQ(empty->Height(), Line);
    EXPECT_GT(empty->Width(), 0);
}

TEST_F(Label, SectionQuestionGoesToTheParentWhileTheManagerIsOn) {
    auto *holder = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("HOLDER");
    auto *label = Add<TsLabel>("Dotaz", holder);
    Form.Show();
    TvlSectionQuery query;
    const auto ask = [&](TvlSectionQuery *Query) {
        return label->Perform(SM_SKINCOMMAND, SkinCommand(SC_GET_BG_SECTION), reinterpret_cast<LPARAM>(Query));
    };
    EXPECT_EQ(ask(&query), 1);
    EXPECT_EQ(query.SectionIndex, Manager->FindSectionIndex("HOLDER"));
    EXPECT_EQ(ask(nullptr), 0);
    ManagerPtr off = NewManager();
    off->SetActive(false);
    label->SetSkinManager(off.get());
    EXPECT_EQ(ask(&query), 0);
    off.reset();  // forgotten: the default manager serves again
    EXPECT_EQ(label->SkinManager(), nullptr);
    EXPECT_EQ(ask(&query), 1);
}

TEST_F(Label, EditLabelWritesNoFlagIntoAGoneBindingAndIsReadFromFormDescriptions) {
    for (bool bindingFirst : {false, true}) {
        bool hasLabel = true;
        auto *binding = vcl::Create<vcl::TComponent>(nullptr);
        auto *label = vcl::Create<TsEditLabel>(bindingFirst ? binding : nullptr);  // owned: goes with it
        label->SetBinding(binding, &hasLabel);
        delete (bindingFirst ? static_cast<vcl::TComponent *>(binding) : label);
        EXPECT_EQ(hasLabel, bindingFirst);
        if (!bindingFirst) delete binding;
    }

    vcl::Create<TsSkinManager>(Form.Form)->SetName("Other");
    const auto read = [&](const std::string &Name, const std::string &Body) {
        vcl::ReadComponentText(*Form.Form, "TForm F {\n TsEditLabel " + Name + " {\n" + Body + "\n }\n}\n");
        return dynamic_cast<TsEditLabel *>(Form.Form->FindComponent(Name));
    };
    TsEditLabel *label = read("A", "Caption = \"Jméno\" SkinSection = \"LABELBG\" SkinManager = Other "
                                   "UseSkinColor = False EllipsisPosition = epWordEllipsis");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->Caption() + label->SkinSection(), "JménoLABELBG");
    EXPECT_EQ(label->SkinManager(), Form.Form->FindComponent("Other"));
    EXPECT_FALSE(label->UseSkinColor());
    EXPECT_EQ(label->EllipsisPosition(), vcl::epWordEllipsis);
    InitializeLabelModule();  // counted: known until the last end
    FinalizeLabelModule();
    EXPECT_TRUE(read("B", ""));
    FinalizeLabelModule();
    EXPECT_THROW(read("C", ""), vcl::EParserError);
    InitializeLabelModule();
}

TEST_F(Label, PaintsAndLivesLeaveTheHandleCountsFlat) {
    Form.Show();
    const auto cycle = [&] {
        std::unique_ptr<TsCustomLabel> back(Add<TsCustomLabel>("Pozadí"));
        back->SetSkinSection("LABELBG");
        std::unique_ptr<TsLabel> shortened(Wrapped(Czech, 150));
        shortened->SetEnabled(false);
        Form.Form->Repaint();
        Picture(back.get());
        Picture(shortened.get());
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 300; ++i) cycle();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
