#pragma once
// Grid-like test controls: this library has no grid, so the grid adapters
// are tried on controls that publish the properties a grid of another
// library would (found by name, like any foreign control). Three classes
// publish different subsets: a plain grid (title font, grid style, no
// "ControlLook"), a grid with "ControlLook" and line colours, and an
// extended grid with "OptionsEh" and its parameter objects. They paint a
// title row, an indicator column and lines in their current colours, so a
// picture shows what the skin gave them. Windows only.
#include <memory>

#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/TypInfo.h"

namespace skin::test {

VCL_ENUM(TTestOptionEh, dghFixed3D, dghHighlightFocus, dghFixed3DEx)
using TTestOptionsEh = vcl::TSet<TTestOptionEh>;
VCL_ENUM(TTestFillStyle, tfsSolid, tfsGradient, tfsVista, tfsBevel)

#define TEST_GRID_PART(Name, ...)                                                          \
    class Name : public vcl::TPersistent {                                                 \
        VCL_CLASS(Name, vcl::TPersistent)                                                  \
    public:                                                                                \
        __VA_ARGS__                                                                        \
    };

TEST_GRID_PART(TTestControlLook, vcl::TColor FixedGradientFrom = vcl::clBtnFace; vcl::TColor FixedGradientTo = vcl::clNone;
               vcl::TColor FixedGradientMirrorFrom = 0x101010; vcl::TColor FixedGradientMirrorTo = 0x202020;)
TEST_GRID_PART(TTestLineColors, vcl::TColor FixedColor = 0x303030; vcl::TColor DataColor = 0x404040;
               vcl::TColor ShadowColor = 0x505050;)
TEST_GRID_PART(TTestTitleStyle, vcl::TColor StartColor = vcl::clNone; vcl::TColor EndColor = 0x606060;)
class TTestGridStyle : public vcl::TPersistent {
    VCL_CLASS(TTestGridStyle, vcl::TPersistent)
public:
    TTestTitleStyle *Title() const { return FTitle.get(); }
    std::unique_ptr<TTestTitleStyle> FTitle = std::make_unique<TTestTitleStyle>();
};
TEST_GRID_PART(TTestLineParams, vcl::TColor BrightColor = 0x707070; vcl::TColor DataHorzColor = 0x808080;
               vcl::TColor DataVertColor = 0x909090; vcl::TColor DarkColor = 0xA0A0A0;)
TEST_GRID_PART(TTestIndicatorParams, vcl::TColor Color = vcl::clBtnFace; bool HorzLines = true; bool VertLines = true;
               TTestFillStyle FillStyle = tfsSolid;)
TEST_GRID_PART(TTestTitleParams, vcl::TColor Color = vcl::clBtnFace; vcl::TColor SecondColor = 0xB0B0B0;
               TTestFillStyle FillStyle = tfsGradient; vcl::TColor VertLineColor = 0xC0C0C0;)
TEST_GRID_PART(TTestDataGrouping, vcl::TColor Color = 0xD0D0D0; bool ParentColor = false;)
class TTestRowCategories : public vcl::TPersistent {
    VCL_CLASS(TTestRowCategories, vcl::TPersistent)
public:
    vcl::TColor Color = 0xE0E0E0;
    vcl::TFont *Font() const { return FFont.get(); }
    std::unique_ptr<vcl::TFont> FFont = std::make_unique<vcl::TFont>();
};
TEST_GRID_PART(TTestRowDetailPanel, vcl::TColor Color = 0xF0F0F0;)
#undef TEST_GRID_PART

// Every field any of the three publishes; each class publishes its own.
class TTestGridBase : public vcl::TWinControl {
    VCL_CLASS(TTestGridBase, vcl::TWinControl)
public:
    explicit TTestGridBase(vcl::TComponent *AOwner);
    bool PaintsItself() const override { return true; }
    void PaintWindow(HDC DC) override;

    vcl::TFont *TitleFont() const { return FTitleFont.get(); }
    vcl::TFont *FixedFont() const { return FFixedFont.get(); }
    TTestControlLook *ControlLook() const { return FControlLook.get(); }
    TTestLineColors *LineColors() const { return FLineColors.get(); }
    TTestGridStyle *GridStyle() const { return FGridStyle.get(); }
    TTestLineParams *GridLineParams() const { return FGridLineParams.get(); }
    TTestIndicatorParams *IndicatorParams() const { return FIndicatorParams.get(); }
    TTestTitleParams *TitleParams() const { return FTitleParams.get(); }
    TTestDataGrouping *DataGrouping() const { return FDataGrouping.get(); }
    TTestRowCategories *RowCategories() const { return FRowCategories.get(); }
    TTestRowDetailPanel *RowDetailPanel() const { return FRowDetailPanel.get(); }

    vcl::TColor FixedColor = vcl::clBtnFace;
    vcl::TColor GridLineColor = vcl::clSilver;
    vcl::TColor GridFixedLineColor = vcl::clGray;
    vcl::TColor SelectionColor = vcl::clHighlight;
    vcl::TColor SelectionTextColor = vcl::clHighlightText;
    vcl::TColor FooterColor = 0x010203, FooterCellColor = 0x040506, TitleColor = 0x070809;
    vcl::TColor IndicatorIconColor = 0x0A0B0C;
    vcl::TColor EvenRowColor = vcl::clWindow, OddRowColor = 0xECF0F4;
    int DataSource = 0;
    TTestOptionsEh OptionsEh{dghFixed3D, dghHighlightFocus};

protected:
    void CreateParams(vcl::TCreateParams &Params) override;

private:
    std::unique_ptr<vcl::TFont> FTitleFont = std::make_unique<vcl::TFont>();
    std::unique_ptr<vcl::TFont> FFixedFont = std::make_unique<vcl::TFont>();
    std::unique_ptr<TTestControlLook> FControlLook = std::make_unique<TTestControlLook>();
    std::unique_ptr<TTestLineColors> FLineColors = std::make_unique<TTestLineColors>();
    std::unique_ptr<TTestGridStyle> FGridStyle = std::make_unique<TTestGridStyle>();
    std::unique_ptr<TTestLineParams> FGridLineParams = std::make_unique<TTestLineParams>();
    std::unique_ptr<TTestIndicatorParams> FIndicatorParams = std::make_unique<TTestIndicatorParams>();
    std::unique_ptr<TTestTitleParams> FTitleParams = std::make_unique<TTestTitleParams>();
    std::unique_ptr<TTestDataGrouping> FDataGrouping = std::make_unique<TTestDataGrouping>();
    std::unique_ptr<TTestRowCategories> FRowCategories = std::make_unique<TTestRowCategories>();
    std::unique_ptr<TTestRowDetailPanel> FRowDetailPanel = std::make_unique<TTestRowDetailPanel>();
};

// Title font and grid style, no "ControlLook": the older kind of grid.
class TTestPlainGrid : public TTestGridBase {
    VCL_CLASS(TTestPlainGrid, TTestGridBase)
public:
    using TTestGridBase::TTestGridBase;
};

// "ControlLook" with its gradients, line colours and selection colours.
class TTestLookGrid : public TTestGridBase {
    VCL_CLASS(TTestLookGrid, TTestGridBase)
public:
    using TTestGridBase::TTestGridBase;
};

// The plain grid's properties and the extended grid's.
class TTestGridEh : public TTestPlainGrid {
    VCL_CLASS(TTestGridEh, TTestPlainGrid)
public:
    using TTestPlainGrid::TTestPlainGrid;
};

} // namespace skin::test
