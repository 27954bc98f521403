#include "GridTestControl.h"

#include "vcl/GdiObjects.h"

namespace skin::test {

namespace {

void Fill(HDC DC, int L, int T, int R, int B, vcl::TColor Color) {
    const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(Color))));
    const RECT r{L, T, R, B};
    FillRect(DC, &r, brush.Get());
}

} // namespace

TTestGridBase::TTestGridBase(vcl::TComponent *AOwner) : vcl::TWinControl(AOwner) {
    SetBounds(0, 0, 200, 120);
    TitleFont()->SetColor(0x111111);
    FixedFont()->SetColor(0x121212);
    RowCategories()->Font()->SetColor(0x131313);
}

void TTestGridBase::CreateParams(vcl::TCreateParams &Params) {
    vcl::TWinControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// Rows of 18 pixels under a title row, an indicator column of 12, the
// lines in the grid's line colour.
void TTestGridBase::PaintWindow(HDC DC) {
    RECT c{};
    GetClientRect(WindowHandle(), &c);
    constexpr int Row = 18, Indicator = 12;
    Fill(DC, 0, 0, c.right, c.bottom, vcl::clWindow);
    for (int y = Row, i = 0; y < c.bottom; y += Row, ++i)
        Fill(DC, Indicator, y, c.right, y + Row, i % 2 ? OddRowColor : EvenRowColor);
    Fill(DC, 0, 0, c.right, Row, FixedColor);
    Fill(DC, 0, Row, Indicator, c.bottom, FixedColor);
    for (int y = Row; y < c.bottom; y += Row) Fill(DC, Indicator, y, c.right, y + 1, GridLineColor);
    for (int x = Indicator + 60; x < c.right; x += 60) Fill(DC, x, Row, x + 1, c.bottom, GridLineColor);
    Fill(DC, 0, Row - 1, c.right, Row, GridFixedLineColor);
}

VCL_PUBLISHED(TTestControlLook, p) {
    p.Property("FixedGradientFrom", &TTestControlLook::FixedGradientFrom);
    p.Property("FixedGradientTo", &TTestControlLook::FixedGradientTo);
    p.Property("FixedGradientMirrorFrom", &TTestControlLook::FixedGradientMirrorFrom);
    p.Property("FixedGradientMirrorTo", &TTestControlLook::FixedGradientMirrorTo);
}
VCL_PUBLISHED(TTestLineColors, p) {
    p.Property("FixedColor", &TTestLineColors::FixedColor);
    p.Property("DataColor", &TTestLineColors::DataColor);
    p.Property("ShadowColor", &TTestLineColors::ShadowColor);
}
VCL_PUBLISHED(TTestTitleStyle, p) {
    p.Property("StartColor", &TTestTitleStyle::StartColor);
    p.Property("EndColor", &TTestTitleStyle::EndColor);
}
VCL_PUBLISHED(TTestGridStyle, p) { p.Property("Title", &TTestGridStyle::Title); }
VCL_PUBLISHED(TTestLineParams, p) {
    p.Property("BrightColor", &TTestLineParams::BrightColor);
    p.Property("DataHorzColor", &TTestLineParams::DataHorzColor);
    p.Property("DataVertColor", &TTestLineParams::DataVertColor);
    p.Property("DarkColor", &TTestLineParams::DarkColor);
}
VCL_PUBLISHED(TTestIndicatorParams, p) {
    p.Property("Color", &TTestIndicatorParams::Color);
    p.Property("HorzLines", &TTestIndicatorParams::HorzLines);
    p.Property("VertLines", &TTestIndicatorParams::VertLines);
    p.Property("FillStyle", &TTestIndicatorParams::FillStyle);
}
VCL_PUBLISHED(TTestTitleParams, p) {
    p.Property("Color", &TTestTitleParams::Color);
    p.Property("SecondColor", &TTestTitleParams::SecondColor);
    p.Property("FillStyle", &TTestTitleParams::FillStyle);
    p.Property("VertLineColor", &TTestTitleParams::VertLineColor);
}
VCL_PUBLISHED(TTestDataGrouping, p) {
    p.Property("Color", &TTestDataGrouping::Color);
    p.Property("ParentColor", &TTestDataGrouping::ParentColor);
}
VCL_PUBLISHED(TTestRowCategories, p) {
    p.Property("Color", &TTestRowCategories::Color);
    p.Property("Font", &TTestRowCategories::Font);
}
VCL_PUBLISHED(TTestRowDetailPanel, p) { p.Property("Color", &TTestRowDetailPanel::Color); }

VCL_CLASS_INFO(TTestGridBase)

VCL_PUBLISHED(TTestPlainGrid, p) {
    p.Property("FixedColor", &TTestPlainGrid::FixedColor);
    p.Property("TitleFont", &TTestPlainGrid::TitleFont);
    p.Property("FixedFont", &TTestPlainGrid::FixedFont);
    p.Property("GridLineColor", &TTestPlainGrid::GridLineColor);
    p.Property("SelectionColor", &TTestPlainGrid::SelectionColor);
    p.Property("GridStyle", &TTestPlainGrid::GridStyle);
    p.Property("FooterColor", &TTestPlainGrid::FooterColor);
    p.Property("TitleColor", &TTestPlainGrid::TitleColor);
    p.Property("DataSource", &TTestPlainGrid::DataSource);
}

VCL_PUBLISHED(TTestLookGrid, p) {
    p.Property("FixedColor", &TTestLookGrid::FixedColor);
    p.Property("FixedFont", &TTestLookGrid::FixedFont);
    p.Property("GridFixedLineColor", &TTestLookGrid::GridFixedLineColor);
    p.Property("GridLineColor", &TTestLookGrid::GridLineColor);
    p.Property("SelectionColor", &TTestLookGrid::SelectionColor);
    p.Property("SelectionTextColor", &TTestLookGrid::SelectionTextColor);
    p.Property("ControlLook", &TTestLookGrid::ControlLook);
    p.Property("LineColors", &TTestLookGrid::LineColors);
    p.Property("FooterCellColor", &TTestLookGrid::FooterCellColor);
    p.Property("IndicatorIconColor", &TTestLookGrid::IndicatorIconColor);
}

VCL_PUBLISHED(TTestGridEh, p) {
    p.Property("OptionsEh", &TTestGridEh::OptionsEh);
    p.Property("EvenRowColor", &TTestGridEh::EvenRowColor);
    p.Property("OddRowColor", &TTestGridEh::OddRowColor);
    p.Property("GridLineParams", &TTestGridEh::GridLineParams);
    p.Property("IndicatorParams", &TTestGridEh::IndicatorParams);
    p.Property("TitleParams", &TTestGridEh::TitleParams);
    p.Property("DataGrouping", &TTestGridEh::DataGrouping);
    p.Property("RowCategories", &TTestGridEh::RowCategories);
    p.Property("RowDetailPanel", &TTestGridEh::RowDetailPanel);
}

} // namespace skin::test
