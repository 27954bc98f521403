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
}

TEST_F(TypInfoTest, KindsFollowTheValueTypes) {
    struct Case {
        const char *name;
        TTypeKind kind;
    } cases[] = {{"Visible", tkEnumeration}, {"Style", tkEnumeration}, {"Options", tkSet}, {"Color", tkInteger},
                 {"Font", tkClass},          {"Lines", tkClass},       {"Buddy", tkClass}, {"Ratio", tkFloat},
                 {"Big", tkInt64},           {"Small", tkInteger},     {"Letter", tkChar}, {"OnClick", tkMethod},
                 {"OnChange", tkMethod},     {"Caption", tkString}};
    for (const Case &c : cases) EXPECT_EQ(GetPropInfo(Control, c.name)->Kind(), c.kind) << c.name;
    EXPECT_EQ(GetPropInfo(Control, "Style")->EnumType()->TypeName(), "TTestStyle");
    EXPECT_EQ(GetPropInfo(Control, "Visible")->EnumType()->Names(1), "True");
    EXPECT_EQ(GetPropInfo(Control, "Font")->PropClass().Name, "TTestFont");
    EXPECT_FALSE(GetPropInfo(Control, "Font")->IsWritable() && GetPropInfo(Control, "Lines")->IsWritable());
    EXPECT_TRUE(GetPropInfo(Control, "Ratio")->IsWritable());  // a field
}

TEST_F(TypInfoTest, OrdinalsReadAndWriteThroughAccessorsAndFields) {
    SetOrdProp(Control, "Width", 120);
    EXPECT_EQ(Control->Width(), 120);
    SetOrdProp(Control, "Visible", 0);
    EXPECT_FALSE(Control->Visible());
    SetOrdProp(Control, "Style", tsLowered);
    EXPECT_EQ(GetEnumProp(Control, "Style"), "tsLowered");
    SetEnumProp(Control, "style", "TSRAISED");
    EXPECT_EQ(Control->Style(), tsRaised);
    SetOrdProp(Control, "Small", 255);
    EXPECT_EQ(Control->Small, 255);
    SetOrdProp(Control, "Letter", 'Q');
    EXPECT_EQ(Control->Letter, 'Q');
    EXPECT_EQ(GetOrdProp(Control, "Color"), clBtnFace);
    SetInt64Prop(Control, "Big", INT64_MIN);
    EXPECT_EQ(GetInt64Prop(Control, "Big"), INT64_MIN);
    SetFloatProp(Control, "Ratio", 0.25);
    EXPECT_EQ(GetFloatProp(Control, "Ratio"), 0.25);
    SetOrdProp(Control, "Tag", 7);
    EXPECT_EQ(Control->Tag(), 7);
}

TEST_F(TypInfoTest, ValuesOutsideTheTypeAreRefusedUnchanged) {
    EXPECT_THROW(SetOrdProp(Control, "Small", 256), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Small", -1), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Style", 3), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Visible", 2), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Width", INT64_C(1) << 31), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(Control, "Options", 8), EPropertyConvertError);
    EXPECT_THROW(SetEnumProp(Control, "Style", "tsSunken"), EPropertyConvertError);
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

TEST_F(TypInfoTest, ObjectPropertiesHandOutSubObjectsAndTakeTypedReferences) {
    TObject *font = GetObjectProp(Control, "Font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, Control->Font());
    SetOrdProp(font, "Height", -13);
    EXPECT_EQ(Control->Font()->Height(), -13);

    TTestForm other(nullptr);
    other.Font()->SetHeight(20);
    SetObjectProp(Control, "Font", other.Font());  // the setter assigns
    EXPECT_EQ(Control->Font()->Height(), 20);
    EXPECT_NE(Control->Font(), other.Font());

    auto *buddy = Create<TTestButton>(Form);
    SetObjectProp(Control, "Buddy", buddy);
    EXPECT_EQ(Control->Buddy(), buddy);
    EXPECT_THROW(SetObjectProp(Control, "Buddy", Control->Font()), EPropertyConvertError);
    EXPECT_EQ(Control->Buddy(), buddy);
    EXPECT_THROW(SetObjectProp(Control, "Lines", nullptr), EPropertyError);  // no setter
    delete buddy;
    EXPECT_EQ(GetObjectProp(Control, "Buddy"), nullptr);
}

TEST_F(TypInfoTest, EventsBindToPublishedMethodsOfMatchingSignature) {
    const TMethodRef click = MethodAddress(Form, "button1click");
    ASSERT_TRUE(click);
    SetMethodProp(Control, "OnClick", click);
    Control->OnClick(Control);
    EXPECT_EQ(Form->Clicks, 1);
    EXPECT_EQ(GetMethodProp(Control, "OnClick"), click);
    EXPECT_EQ(MethodName(Form, GetMethodProp(Control, "OnClick")), "Button1Click");

    // The same handler bound in code is recognised by name too.
    Control->OnClick = TNotifyEvent::Bind<&TTestForm::Button1Click>(Form);
    EXPECT_EQ(MethodName(Form, Control->OnClick.Ref()), "Button1Click");

    EXPECT_THROW(SetMethodProp(Control, "OnChange", click), EPropertyError);
    SetMethodProp(Control, "OnChange", MethodAddress(Form, "FormChange"));
    Control->OnChange(Control, 5);
    EXPECT_EQ(Form->Changed, 5);
    SetMethodProp(Control, "OnChange", {});
    EXPECT_FALSE(Control->OnChange);
    EXPECT_FALSE(MethodAddress(Form, "NoSuchHandler"));
}

TEST_F(TypInfoTest, WrongKindsAndUnknownNamesRaise) {
    EXPECT_THROW(GetStrProp(Control, "Width"), EPropertyError);
    EXPECT_THROW(SetOrdProp(Control, "Caption", 1), EPropertyError);
    EXPECT_THROW(GetObjectProp(Control, "Width"), EPropertyError);
    EXPECT_THROW(GetOrdProp(Control, "Widht"), EPropertyError);
    EXPECT_THROW(GetFloatProp(Control, "Big"), EPropertyError);
    EXPECT_THROW(GetEnumProp(Control, "Width"), EPropertyError);
    SetStrProp(Control, "Caption", "Instaluj");
    EXPECT_EQ(GetStrProp(Control, "Caption"), "Instaluj");
}

TEST_F(TypInfoTest, DefaultsTellWhichValuesAFormLeavesOut) {
    const TPropInfo *width = GetPropInfo(Control, "Width");
    EXPECT_TRUE(width->HasDefault());
    EXPECT_TRUE(width->IsDefaultValue(Control));
    Control->SetWidth(65);
    EXPECT_FALSE(width->IsDefaultValue(Control));
    EXPECT_TRUE(GetPropInfo(Control, "Caption")->IsDefaultValue(Control));  // empty
    EXPECT_TRUE(GetPropInfo(Control, "Options")->IsDefaultValue(Control));
    Control->SetOptions({});
    EXPECT_FALSE(GetPropInfo(Control, "Options")->IsDefaultValue(Control));
    EXPECT_TRUE(GetPropInfo(Control, "OnClick")->IsDefaultValue(Control));
    EXPECT_FALSE(GetPropInfo(Control, "Name")->HasDefault());
}

TEST_F(TypInfoTest, FormsPublishFieldsAndHandlers) {
    const TPublishedField *field = FindPublishedField(TTestForm::StaticClassInfo(), "button1");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(&field->FieldClass(), &TTestButton::StaticClassInfo());
    EXPECT_EQ(FindFieldClass(TTestForm::StaticClassInfo(), "TTESTBUTTON"), &TTestButton::StaticClassInfo());
    EXPECT_EQ(FindFieldClass(TTestForm::StaticClassInfo(), "TTestFont"), nullptr);
    EXPECT_EQ(FindPublishedField(TTestControl::StaticClassInfo(), "Button1"), nullptr);
    EXPECT_NE(FindPublishedMethod(TTestForm::StaticClassInfo(), "FormChange"), nullptr);
}

TEST(ColorIdents, NameSystemAndPlainColours) {
    std::int64_t v = 0;
    ASSERT_TRUE(ColorIdents.ToValue("clBtnFace", v));
    EXPECT_EQ(v, clBtnFace);
    ASSERT_TRUE(ColorIdents.ToValue("clNone", v));
    EXPECT_EQ(v, clNone);
    EXPECT_FALSE(ColorIdents.ToValue("clNotAColour", v));
    std::string ident;
    ASSERT_TRUE(ColorIdents.ToIdent(clWindowText, ident));
    EXPECT_EQ(ident, "clWindowText");
    EXPECT_FALSE(ColorIdents.ToIdent(0x123456, ident));
}

TEST(EnumInfo, SplitsTheDeclaredNames) {
    const TEnumInfo &info = EnumInfo(tsFlat);
    EXPECT_EQ(info.Count(), 3);
    EXPECT_EQ(GetEnumName(info, tsRaised), "tsRaised");
    EXPECT_EQ(GetEnumValue(info, "TSLOWERED"), tsLowered);
    EXPECT_EQ(GetEnumValue(info, "ts"), -1);
    EXPECT_THROW(GetEnumName(info, 3), EPropertyConvertError);
    EXPECT_EQ(SetToString(EnumInfo(toWide), 0b101, true), "[toWide,toBold]");
    EXPECT_EQ(StringToSet(EnumInfo(toWide), " [ toBold ,toTall ] "), 0b110u);
}
