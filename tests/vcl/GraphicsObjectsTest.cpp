#include "vcl/Graphics.h"

#include <gtest/gtest.h>

using namespace vcl;

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

TEST(Colours, SystemColoursComeFromTheSystemAndOthersPassUnchanged) {
    for (int index : {COLOR_BTNFACE, COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT})
        EXPECT_EQ(GdiColor(clSystemColor | index), GetSysColor(index)) << index;
    EXPECT_EQ(GdiColor(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(GdiColor(clNone), 0xFFFFFFu);
}

TEST(Font, TheHandleFollowsEveryRealChangeOfTheDescription) {
    TFont font;
    TChangeCounter counter;
    font.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    font.SetHeight(font.Height());  // no change
    font.SetName("Arial");
    font.SetHeight(-20);
    font.SetStyle({fsBold, fsItalic});
    const LOGFONTW lf = LogFontOf(font.Handle());
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
    EXPECT_EQ(font.Handle(), font.Handle());  // made once until the next change
    font.SetStyle({});
    EXPECT_EQ(LogFontOf(font.Handle()).lfWeight, FW_NORMAL);
    EXPECT_EQ(counter.Count, 4);

    // The colour is no part of the font object; an equal font changes nothing.
    TFont other;
    other.Assign(&font);
    const HFONT handle = other.Handle();
    other.OnChange = TNotifyEvent::Bind<&TChangeCounter::Changed>(&counter);
    other.Assign(&font);
    EXPECT_EQ(counter.Count, 4);
    font.SetColor(clRed);
    other.Assign(&font);
    EXPECT_EQ(counter.Count, 6);
    EXPECT_EQ(other.Handle(), handle);
}

TEST(Font, SizeHeightAndAssignKeepThePointSizeAcrossResolutions) {
    TFont font;
    font.SetPixelsPerInch(96);
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    TFont large;
    large.SetPixelsPerInch(144);
    large.Assign(&font);
    EXPECT_EQ(large.Height(), -24);
    font.SetPixelsPerInch(120);
    EXPECT_EQ(font.Height(), -16);  // only the meaning of Size changes
    EXPECT_EQ(font.Size(), 10);
    TBrush brush;
    EXPECT_THROW(font.Assign(&brush), EConvertError);
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

TEST(BrushAndPen, StyleColourAndWidthMakeTheHandle) {
    TBrush brush;
    brush.SetColor(clBtnFace);
    LOGBRUSH lb{};
    GetObjectW(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    brush.SetStyle(bsClear);
    EXPECT_EQ(brush.Handle(), GetStockObject(NULL_BRUSH));
    brush.SetColor(clBlue);  // a colour makes a clear brush solid again
    EXPECT_EQ(brush.Style(), bsSolid);
    brush.SetStyle(bsCross);
    GetObjectW(brush.Handle(), sizeof lb, &lb);
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));

    TPen pen;
    pen.SetColor(clLime);
    pen.SetWidth(3);
    pen.SetStyle(psInsideFrame);
    LOGPEN lp{};
    GetObjectW(pen.Handle(), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_INSIDEFRAME));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(0, 255, 0));
    const HPEN handle = pen.Handle();
    pen.SetMode(pmXor);  // applied by the canvas, not part of the object
    EXPECT_EQ(pen.Handle(), handle);
    EXPECT_EQ(PenModeRop2(pmXor), R2_XORPEN);
    pen.SetStyle(psClear);
    EXPECT_EQ(pen.Handle(), GetStockObject(NULL_PEN));
}

TEST(PublishedTools, ToolsAreReachedByPropertyName) {
    TFont font;
    SetOrdProp(&font, "Color", clBtnFace);
    SetSetProp(&font, "Style", "[fsBold,fsItalic]");
    SetEnumProp(&font, "Pitch", "fpFixed");
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font.Pitch(), fpFixed);
    const TPropInfo *color = GetPropInfo(TFont::StaticClassInfo(), "Color");
    ASSERT_NE(color, nullptr);
    EXPECT_FALSE(color->IsDefaultValue(&font));
    font.SetColor(clWindowText);
    EXPECT_TRUE(color->IsDefaultValue(&font));  // a new font's colour is not stored
    TPen pen;
    SetEnumProp(&pen, "Mode", "pmXor");
    EXPECT_EQ(pen.Mode(), pmXor);
    EXPECT_EQ(GetOrdProp(&pen, "Width"), 1);
}
