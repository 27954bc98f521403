#include "vcl/Graphics.h"

#include <gtest/gtest.h>

using namespace vcl;

TEST(ColorToRGB, SystemColoursComeFromTheSystem) {
    for (int index : {COLOR_BTNFACE, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_INFOBK})
        EXPECT_EQ(ColorToRGB(clSystemColor | index), static_cast<TColor>(GetSysColor(index))) << index;
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST(ColorToRGB, OtherValuesPassUnchanged) {
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_EQ(GdiColor(clNone), 0xFFFFFFu);
    EXPECT_EQ(GdiColor(clRed), RGB(255, 0, 0));
    EXPECT_EQ(GdiColor(clWindow), GetSysColor(COLOR_WINDOW));
}

namespace {

struct TChangeCounter {
    int Count = 0;
    void Changed(TObject *) { ++Count; }
};

LOGFONTW LogFontOf(HFONT font) {
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    return lf;
}

} // namespace

TEST(Font, HandleFollowsEveryChangeOfTheDescription) {
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-20);
    font.SetStyle({fsBold, fsItalic});
    LOGFONTW lf = LogFontOf(font.Handle());
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_EQ(font.Handle(), font.Handle());  // made once until the next change

    font.SetHeight(-12);
    EXPECT_EQ(LogFontOf(font.Handle()).lfHeight, -12);
    font.SetStyle({});
    EXPECT_EQ(LogFontOf(font.Handle()).lfWeight, FW_NORMAL);
}

TEST(Font, OnChangeFiresOncePerRealChange) {
    TFont font;
    TChangeCounter counter;
    font.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    font.SetHeight(font.Height());
    font.SetColor(font.Color());
    EXPECT_EQ(counter.Count, 0);
    font.SetColor(clRed);
    font.SetHeight(-30);
    font.SetName("Courier New");
    EXPECT_EQ(counter.Count, 3);
}

TEST(Font, SizeAndHeightConvertAtPixelsPerInch) {
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    font.SetPixelsPerInch(120);
    EXPECT_EQ(font.Height(), -16);  // only the meaning of Size changes
    EXPECT_EQ(font.Size(), 10);
}

TEST(Font, AssignKeepsThePointSizeAcrossResolutions) {
    TFont from, to;
    from.SetPixelsPerInch(96);
    from.SetHeight(-16);  // 12 points
    from.SetName("Arial");
    from.SetColor(clBlue);
    from.SetStyle({fsUnderline});
    from.SetCharset(EASTEUROPE_CHARSET);
    to.SetPixelsPerInch(144);
    to.Assign(&from);
    EXPECT_EQ(to.Height(), -24);
    EXPECT_EQ(to.Name(), "Arial");
    EXPECT_EQ(to.Color(), clBlue);
    EXPECT_EQ(to.Style(), TFontStyles{fsUnderline});
    EXPECT_EQ(to.Charset(), EASTEUROPE_CHARSET);

    TFont same;
    same.SetPixelsPerInch(96);
    same.Assign(&from);
    EXPECT_EQ(same.Height(), -16);
}

TEST(Font, AssigningAnEqualFontChangesNothing) {
    TFont font, other;
    font.SetName("Arial");
    other.SetName("Arial");
    TChangeCounter counter;
    font.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    const HFONT handle = font.Handle();
    font.Assign(&other);
    EXPECT_EQ(counter.Count, 0);
    EXPECT_EQ(font.Handle(), handle);

    other.SetColor(clRed);  // the colour is no part of the font object
    font.Assign(&other);
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_EQ(font.Handle(), handle);
}

TEST(Font, SetHandleTakesTheOtherFontsDescription) {
    LOGFONTW lf{};
    lf.lfHeight = -15;
    lf.lfWeight = FW_BOLD;
    lf.lfUnderline = TRUE;
    lf.lfCharSet = EASTEUROPE_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH;
    wcscpy(lf.lfFaceName, L"Courier New");
    TFontHandle other(CreateFontIndirectW(&lf));
    TFont font;
    font.SetHandle(other.Get());
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_EQ(font.Height(), -15);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(font.Charset(), EASTEUROPE_CHARSET);
    EXPECT_EQ(font.Pitch(), fpFixed);
    EXPECT_NE(font.Handle(), other.Get());  // its own object; the caller keeps the other
}

TEST(Font, AssignFromAnotherClassRaises) {
    TFont font;
    TBrush brush;
    EXPECT_THROW(font.Assign(&brush), EConvertError);
}

TEST(Brush, StyleAndColourMakeTheHandle) {
    TBrush brush;
    brush.SetColor(clRed);
    LOGBRUSH lb{};
    GetObjectW(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));

    brush.SetStyle(bsClear);
    EXPECT_EQ(brush.Handle(), GetStockObject(NULL_BRUSH));
    brush.SetColor(clBlue);  // a colour makes a clear brush solid again
    EXPECT_EQ(brush.Style(), bsSolid);

    brush.SetStyle(bsCross);
    GetObjectW(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
}

TEST(Brush, SystemColoursAreResolved) {
    TBrush brush;
    brush.SetColor(clBtnFace);
    LOGBRUSH lb{};
    GetObjectW(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST(Pen, WidthStyleAndColourMakeTheHandle) {
    TPen pen;
    pen.SetColor(clLime);
    pen.SetWidth(3);
    pen.SetStyle(psInsideFrame);
    LOGPEN lp{};
    GetObjectW(pen.Handle(), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_INSIDEFRAME));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(0, 255, 0));
    pen.SetStyle(psClear);
    EXPECT_EQ(pen.Handle(), GetStockObject(NULL_PEN));
}

TEST(Pen, ModeIsNoPartOfThePenObject) {
    TPen pen;
    TChangeCounter counter;
    pen.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    LOGPEN before{}, after{};
    GetObjectW(pen.Handle(), sizeof before, &before);
    pen.SetMode(pmXor);
    GetObjectW(pen.Handle(), sizeof after, &after);
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(before.lopnColor, after.lopnColor);
    EXPECT_EQ(PenModeRop2(pmXor), R2_XORPEN);
    EXPECT_EQ(PenModeRop2(pmCopy), R2_COPYPEN);
}

TEST(PublishedTools, ToolsAreReachedByPropertyName) {
    TFont font;
    SetStrProp(&font, "Name", "Courier New");
    SetOrdProp(&font, "Height", -13);
    SetOrdProp(&font, "Color", clBtnFace);
    SetSetProp(&font, "Style", "[fsBold,fsItalic]");
    SetEnumProp(&font, "Pitch", "fpFixed");
    SetOrdProp(&font, "Charset", EASTEUROPE_CHARSET);
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Color(), clBtnFace);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font.Pitch(), fpFixed);
    EXPECT_EQ(font.Charset(), EASTEUROPE_CHARSET);
    EXPECT_EQ(GetSetProp(&font, "Style"), "fsBold,fsItalic");

    TBrush brush;
    SetEnumProp(&brush, "Style", "bsClear");
    EXPECT_EQ(brush.Style(), bsClear);
    EXPECT_EQ(GetOrdProp(&brush, "Color"), clWhite);

    TPen pen;
    SetOrdProp(&pen, "Width", 4);
    SetEnumProp(&pen, "Mode", "pmXor");
    EXPECT_EQ(pen.Width(), 4);
    EXPECT_EQ(GetEnumProp(&pen, "Mode"), "pmXor");
}

TEST(PublishedTools, ColoursTakeTheirIdentifiers) {
    const TPropInfo *color = GetPropInfo(TFont::StaticClassInfo(), "Color");
    ASSERT_NE(color, nullptr);
    ASSERT_NE(color->Idents(), nullptr);
    std::int64_t value = 0;
    ASSERT_TRUE(color->Idents()->ToValue("clWindowText", value));
    EXPECT_EQ(value, clWindowText);
    TFont font;
    EXPECT_TRUE(color->IsDefaultValue(&font));  // a new font's colour is not stored
    font.SetColor(clRed);
    EXPECT_FALSE(color->IsDefaultValue(&font));
}
