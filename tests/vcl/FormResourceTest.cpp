#include <gtest/gtest.h>

#include "TestForm.h"
#include "vcl/FormReader.h"
#include "vcl/ResourceStream.h"

using namespace vcl;
using namespace vcl::test;

TEST(ResourceStream, ReadsAnRcDataResourceByNameAndRefusesWrites) {
    TResourceStream s("TestSkin");
    ASSERT_EQ(s.Size(), 19);
    char head[4];
    s.ReadBuffer(head, 4);
    EXPECT_EQ(std::string(head, 4), "GMzf");
    s.Seek(-4, soEnd);
    char tail[4];
    s.ReadBuffer(tail, 4);
    EXPECT_EQ(std::string(tail, 4), "data");
    EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
    EXPECT_TRUE(TResourceStream::Exists("TESTSKIN"));
    EXPECT_FALSE(TResourceStream::Exists("NoSuchResource"));
    try {
        TResourceStream missing("NoSuchResource");
        FAIL();
    } catch (const EResNotFound &e) {
        EXPECT_NE(e.Message().find("NoSuchResource"), std::string::npos);
    }
}

TEST(FormResource, ReadsTheDescriptionNamedAfterTheRootsClass) {
    TTestForm *form = Create<TTestForm>(nullptr);
    ASSERT_TRUE(ReadComponentRes(*form));
    EXPECT_EQ(form->Name(), "ResourceForm");
    EXPECT_EQ(form->Caption(), "Uživatelská příručka");
    ASSERT_NE(form->Button1, nullptr);
    form->Button1->OnClick(form->Button1);
    EXPECT_EQ(form->Clicks, 1);
    auto *manager = static_cast<TTestControl *>(form->FindComponent("Manager"));
    ASSERT_EQ(manager->Items()->Count(), 1);
    TMemoryStream &data = manager->Items()->Items(0)->Data;
    EXPECT_EQ(data.Size(), 19);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(data.Memory()), 4), "GMzf");
    delete form;

    TTestControl *other = Create<TTestControl>(nullptr);
    EXPECT_FALSE(ReadComponentRes(*other));  // no TTestControl description in the program
    EXPECT_EQ(other->ComponentCount(), 0);
    delete other;
}
