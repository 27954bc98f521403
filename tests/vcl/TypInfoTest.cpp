#include "vcl/TypInfo.h"

#include <gtest/gtest.h>

#include "TestForm.h"

using namespace vcl;
using namespace vcl::test;

namespace {

class TypInfoTest : public testing::Test {
protected:
    TTestForm *Form = Create<TTestForm>(nullptr);
    TTestControl *Control = Create<TTestControl>(Form);
    void TearDown() override { delete Form; }
};

std::vector<std::string> Names(const std::vector<const TPropInfo *> &props) {
    std::vector<std::string> names;
    for (const TPropInfo *p : props) names.push_back(p->Name());
    return names;
}

} // namespace

TEST_F(TypInfoTest, PropertiesAreFoundByNameWithoutCaseAlongTheAncestors) {
    const TPropInfo *width = GetPropInfo(Control, "WIDTH");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->Name(), "Width");
    EXPECT_EQ(width->Kind(), tkInteger);
    EXPECT_EQ(GetPropInfo(Control, "Name")->Kind(), tkString);  // published by TComponent
    EXPECT_EQ(GetPropInfo(Form, "Caption"), GetPropInfo(Control, "Caption"));
    EXPECT_EQ(GetPropInfo(Control, "Captions"), nullptr);
    EXPECT_EQ(GetPropInfo(static_cast<TObject *>(nullptr), "Width"), nullptr);
    EXPECT_TRUE(IsPublishedProp(Control, "onclick"));
    EXPECT_FALSE(IsPublishedProp(Control, "Parent"));

    const std::vector<std::string> names = Names(GetPropList(TTestForm::StaticClassInfo()));
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "Name");  // ancestors first
    EXPECT_EQ(names[1], "Tag");
    EXPECT_EQ(names[2], "Caption");

    // Forms publish their component fields and handlers too.
    const TPublishedField *field = FindPublishedField(TTestForm::StaticClassInfo(), "button1");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(&field->FieldClass(), &TTestButton::StaticClassInfo());
    EXPECT_EQ(FindFieldClass(TTestForm::StaticClassInfo(), "TTESTBUTTON"), &TTestButton::StaticClassInfo());
    EXPECT_EQ(FindFieldClass(TTestForm::StaticClassInfo(), "TTestFont"), nullptr);
    EXPECT_EQ(FindPublishedField(TTestControl::StaticClassInfo(), "Button1"), nullptr);
    EXPECT_NE(FindPublishedMethod(TTestForm::StaticClassInfo(), "FormChange"), nullptr);
}

TEST_F(TypInfoTest, ValuesOutsideTheTypeWrongKindsAndUnknownNamesAreRefusedUnchanged) {
    EXPECT_THROW(SetOrdProp(Control, "Small", 256), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Small", -1), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Style", 3), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Visible", 2), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Width", INT64_C(1) << 31), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Options", 8), EPropertyConvertError);
    EXPECT_THROW(SetEnumProp(Control, "Style", "tsSunken"), EPropertyConvertError);
    SetEnumProp(Control, "style", "TSRAISED");
    EXPECT_EQ(GetEnumProp(Control, "Style"), "tsRaised");
    SetEnumProp(Control, "style", "tsFlat");
    EXPECT_THROW(GetStrProp(Control, "Width"), EPropertyError);
    EXPECT_THROW(SetOrdProp(Control, "Caption", 1), EPropertyError);
    EXPECT_THROW(GetObjectProp(Control, "Width"), EPropertyError);
    EXPECT_THROW(GetOrdProp(Control, "Widht"), EPropertyError);
    EXPECT_THROW(GetFloatProp(Control, "Big"), EPropertyError);
    EXPECT_THROW(GetEnumProp(Control, "Width"), EPropertyError);
    EXPECT_EQ(Control->Small, 0);
    EXPECT_EQ(Control->Style(), tsFlat);
    EXPECT_EQ(Control->Width(), 64);
}

TEST_F(TypInfoTest, SetsReadAndWriteAsElementNames) {
    EXPECT_EQ(GetSetProp(Control, "Options"), "toWide");
    SetSetProp(Control, "Options", "[toBold, toWide]");
    EXPECT_EQ(Control->Options(), (TTestOptions{toWide, toBold}));
    EXPECT_EQ(GetSetProp(Control, "Options"), "toWide,toBold");
    EXPECT_EQ(GetSetProp(Control, "Options", true), "[toWide,toBold]");
    SetSetProp(Control, "Options", "toTall");
    EXPECT_EQ(GetOrdProp(Control, "Options"), 2);
    SetSetProp(Control, "Options", "[]");
    EXPECT_TRUE(Control->Options().Empty());
    // Appending ",name" to the text of a set, as when an element is added to an empty one.
    SetSetProp(Control, "Options", GetSetProp(Control, "Options") + ",toBold");
    EXPECT_EQ(Control->Options(), TTestOptions{toBold});
    SetSetProp(Control, "Options", "toWide,,toBold,");
    EXPECT_EQ(Control->Options(), (TTestOptions{toWide, toBold}));
    EXPECT_THROW(SetSetProp(Control, "Options", "toWide,toWidest"), EPropertyConvertError);
    EXPECT_THROW(SetSetProp(Control, "Options", "[toWide"), EPropertyConvertError);
    EXPECT_THROW(GetSetProp(Control, "Style"), EPropertyError);
}

TEST_F(TypInfoTest, ObjectPropertiesHandOutSubObjectsAndAssignThroughTheirSetter) {
    EXPECT_EQ(GetObjectProp(Control, "Font"), Control->Font());
    TTestForm other(nullptr);
    other.Font()->SetHeight(20);
    SetObjectProp(Control, "Font", other.Font());  // the setter assigns
    EXPECT_EQ(Control->Font()->Height(), 20);
    EXPECT_NE(Control->Font(), other.Font());
    EXPECT_THROW(SetObjectProp(Control, "Buddy", Control->Font()), EPropertyConvertError);
    EXPECT_THROW(SetObjectProp(Control, "Lines", nullptr), EPropertyError);  // no setter
}

TEST_F(TypInfoTest, EventsBindToPublishedMethodsOfMatchingSignatureAndAreKnownByName) {
    const TMethodRef click = MethodAddress(Form, "button1click");
    ASSERT_TRUE(click);
    SetMethodProp(Control, "OnClick", click);
    Control->OnClick(Control);
    EXPECT_EQ(Form->Clicks, 1);
    EXPECT_EQ(MethodName(Form, GetMethodProp(Control, "OnClick")), "Button1Click");
    // The same handler bound in code is recognised by name too.
    Control->OnClick = TNotifyEvent::Bind<&TTestForm::Button1Click>(Form);
    EXPECT_EQ(MethodName(Form, Control->OnClick.Ref()), "Button1Click");
    EXPECT_THROW(SetMethodProp(Control, "OnChange", click), EPropertyError);
    SetMethodProp(Control, "OnChange", {});
    EXPECT_FALSE(Control->OnChange);
}

TEST(TypeInfo, EnumerationsAndColoursMapNamesToValuesBothWays) {
    const TEnumInfo &info = EnumInfo(tsFlat);
    EXPECT_EQ(info.Count(), 3);
    EXPECT_EQ(GetEnumName(info, tsRaised), "tsRaised");
    EXPECT_EQ(GetEnumValue(info, "TSLOWERED"), tsLowered);
    EXPECT_EQ(GetEnumValue(info, "ts"), -1);
    EXPECT_THROW(GetEnumName(info, 3), EPropertyConvertError);
    EXPECT_EQ(SetToString(EnumInfo(toWide), 0b101, true), "[toWide,toBold]");
    EXPECT_EQ(StringToSet(EnumInfo(toWide), " [ toBold ,toTall ] "), 0b110u);

    std::int64_t v = 0;
    ASSERT_TRUE(ColorIdents.ToValue("clBtnFace", v));
    EXPECT_EQ(v, clBtnFace);
    EXPECT_FALSE(ColorIdents.ToValue("clNotAColour", v));
    EXPECT_FALSE(ColorIdents.ToValue("clbtnface", v));  // spelled exactly
    std::string ident;
    for (TColor c : {clBlack, clWhite, clNone, clDefault, clScrollBar, clBtnFace, clInfoBk, clHighlightText}) {
        ASSERT_TRUE(ColorIdents.ToIdent(c, ident)) << c;
        ASSERT_TRUE(ColorIdents.ToValue(ident, v));
        EXPECT_EQ(v, c) << ident;
    }
    EXPECT_FALSE(ColorIdents.ToIdent(0x123456, ident));
}
