// The main form as the program makes it from its description, what showing
// it does (twice), the hidden generator button over C:\merkzuvo\, and the
// about box's picture. Closing while busy is the end-to-end tests'.
#include <gtest/gtest.h>

#include <memory>

#include "InstallerTestSupport.h"
#include "installer/ABOUT.h"
#include "installer/PayloadGenerator.h"
#include "installer/SDIMAIN.h"
#include "skin/manager/sCommonData.h"
#include "vcl/Bitmap.h"

namespace installer::test {
namespace {

using namespace vcl;

// A main form of its own for each test, as the program makes it, but not
// the application's main form: closing it hides it instead of ending the
// test program.
struct SDIAppFormTest : ::testing::Test {
    void SetUp() override {
        InstallBusy = false;
        Form.reset(Create<TSDIAppForm>(Application));
    }
    std::unique_ptr<TSDIAppForm> Form;
};

TEST_F(SDIAppFormTest, BindsItsHandlersAndTheValuesTheInstallReliesOn) {
    TSDIAppForm &f = *Form;
    EXPECT_EQ(f.Caption(), "Setup MERKANO ZUVO 2020  23.12.2019 Demo");  // until it is shown
    EXPECT_TRUE(f.Button1->OnClick == TNotifyEvent::Bind<&TSDIAppForm::Button1Click>(&f));
    EXPECT_TRUE(f.Button2->OnClick == TNotifyEvent::Bind<&TSDIAppForm::Button2Click>(&f));
    EXPECT_FALSE(f.Button2->Visible());
    EXPECT_FALSE(f.Label1->Visible());
    EXPECT_EQ(f.ProgressBar1->Step(), 1);
    EXPECT_EQ(f.ProgressBar2->Step(), 1);
    EXPECT_EQ(f.ProgressBar2->Max(), 11);
    EXPECT_GT(f.Image1->Picture()->Width(), 0);

    // A click on the form makes it a normal form again.
    f.SetFormStyle(fsStayOnTop);
    f.OnClick(&f);
    EXPECT_EQ(f.FormStyle(), fsNormal);
}

// The skin manager of the description has read its stored skin while the
// form was read, and applied it once the whole form was there.
TEST_F(SDIAppFormTest, CarriesTheSkinManagerWithItsStoredSkinApplied) {
    skin::TsSkinManager *m = Form->sSkinManager1;
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->GetIsDefault());
    EXPECT_TRUE(m->SkinData->Active);
    EXPECT_EQ(m->GetSkinInfo(), "10");
    EXPECT_EQ(m->SkinName(), "Beryllo (internal)");
    EXPECT_EQ(m->SkinDirectory(), "c:\\Skins");
    const int form = m->FindSectionIndex("FORM");
    ASSERT_GE(form, 0);
    const int border = m->GetMaskIndex(form, "BORDERSMASK");
    ASSERT_GE(border, 0);
    EXPECT_EQ(m->Masks[border].CornerClass, 1);
    EXPECT_GT(m->MasterBitmap->Width(), 0);

    ASSERT_EQ(m->InternalSkins()->Count(), 1);
    const skin::TsStoredSkin &stored = *m->InternalSkins()->Items(0);
    EXPECT_EQ(stored.Name, "Beryllo (internal)");
    EXPECT_EQ(stored.Shadow1Color, clBlack);
    EXPECT_GT(stored.Data().Size(), 0);
    EXPECT_EQ(m->MenuSupport()->IcoLineSkin, "ICOLINE");
    EXPECT_EQ(m->MenuSupport()->ExtraLineFont()->Name(), "Tahoma");
    EXPECT_EQ(m->MenuSupport()->ExtraLineFont()->Height(), -11);
    EXPECT_EQ(m->ThirdPartyLists[skin::tpButton]->Text(), "TButton\r\n");
    EXPECT_EQ(m->ThirdParty()->GetThirdList(0), " ");
}

// The form provider of the description serves the form from its creation:
// the form answers for it and its messages pass through it.
TEST_F(SDIAppFormTest, CarriesTheFormProviderWithItsStoredOptions) {
    skin::TsSkinProvider *p = Form->sSkinProvider1;
    ASSERT_TRUE(p);
    EXPECT_EQ(skin::FindFormProvider(Form->Button1), p);
    EXPECT_TRUE(Form->WindowProc == p->HookedProc());
    EXPECT_FALSE(p->Duplicate);
    EXPECT_EQ(p->SkinData()->SkinSection(), "FORM");
    EXPECT_TRUE(p->SkinData()->IsSkinned(true));
    EXPECT_EQ(p->AddedTitle()->Font()->Name(), "Tahoma");
    EXPECT_EQ(p->AddedTitle()->Font()->Height(), -11);
    EXPECT_EQ(p->AddedTitle()->Font()->Color(), clNone);
    EXPECT_EQ(p->FormHeader()->AdditionalHeight(), 0);
    EXPECT_EQ(p->TitleButtons()->Count(), 0);
}

TEST_F(SDIAppFormTest, ShowsItsCaptionAndTheWelcomeTextOnceHoweverOftenItIsShown) {
    const std::string expected = std::string(ShownCaption) +
                                 "\r\nvygenerujeme MERKANO ZUVO CZ 1.9 23.12.2019\r\ndo složky c:\\merkano_zuvo\r\n\r\n"
                                 "po dokončení se spustí MERKZUVO.EXE\r\n\r\nDěkujeme za Vaši přízeň.\r\nMERKANO team.\r\n"
                                 "Novinky: Podpora tisku vstupenek ve službách pokud je v názvu Vstup\r\n"
                                 // The dash before the 1 is an en dash.
                                 "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X \u2013"
                                 "1 v konfiguraci.\r\n";
    InstallBusy = true;
    Form->Show();
    EXPECT_FALSE(InstallBusy);
    EXPECT_EQ(Form->Caption(), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    EXPECT_EQ(Form->Memo1->Lines()->Text(), expected);
    // The generator's button never gets a window: nothing can click it.
    EXPECT_FALSE(Form->Button2->HandleAllocated());
    Form->Hide();
    Form->Show();
    EXPECT_EQ(Form->Memo1->Lines()->Text(), expected);
}

// The generator's button over C:\merkzuvo\, writing Unit1.h in the current folder.
struct GeneratorTest : SDIAppFormTest {
    void SetUp() override {
        SDIAppFormTest::SetUp();
        std::error_code ignored;
        fs::remove_all(Source, ignored);
        fs::create_directory(Source);
        fs::remove_all(Output, ignored);
        fs::create_directory(Output);
        fs::current_path(Output);
        Form->Show();
        const std::vector<TGeneratorSource> sources = GeneratorSources();
        for (std::size_t k = 0; k < sources.size(); ++k)
            WriteBytes(Source / fs::u8path(sources[k].SourceName), std::string(k * 3, static_cast<char>(k * 25)));
    }
    void TearDown() override {
        fs::current_path(Start);
        std::error_code ignored;
        fs::remove_all(Source, ignored);
        fs::remove_all(Output, ignored);
    }
    const fs::path Source = "C:\\merkzuvo";
    const fs::path Output = fs::temp_directory_path() / "zuvo-generator-test";
    const fs::path Start = fs::current_path();
};

TEST_F(GeneratorTest, WritesUnit1FromTheSourceFolderSaysHotovoAndCloses) {
    bool busyWhileDone = false;
    std::string countWhileDone;
    TMessageAnswerer answerer([&](const std::string &) {
        busyWhileDone = InstallBusy;
        countWhileDone = Form->Label1->Caption();
    });
    Form->Button2Click(Form->Button2);
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"Hotovo"});
    EXPECT_TRUE(busyWhileDone);
    EXPECT_EQ(countWhileDone, "30");  // the size of the last file
    EXPECT_FALSE(InstallBusy);
    EXPECT_FALSE(Form->Visible());
    // What the generator routine writes for that folder (its text is checked on its own).
    GeneratePayloadModule("C:\\merkzuvo\\", GeneratorSources(), "expected.h");
    EXPECT_EQ(ReadBytes(Output / "Unit1.h"), ReadBytes(Output / "expected.h"));
    EXPECT_TRUE(fs::remove(Output / "Unit1.h"));  // closed
}

TEST_F(GeneratorTest, ThatFailsShowsTheErrorAndLeavesTheFormOpenAndClosable) {
    fs::remove(Source / fs::u8path(GeneratorSources()[6].SourceName));  // the manual is missing
    TMessageAnswerer answerer;
    // As the button's click comes to it: through the application's error dialog.
    try {
        Form->Button2Click(Form->Button2);
    } catch (...) {
        Application->HandleException(Form.get());
    }
    ASSERT_EQ(answerer.Texts().size(), 1u);
    EXPECT_NE(answerer.Texts()[0].find("Uživatelská příručka Merkano zuvo1-1.pdf"), std::string::npos)
        << answerer.Texts()[0];
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Visible());
    EXPECT_EQ(Form->Label1->Caption(), "15");
    EXPECT_NE(ReadBytes(Output / "Unit1.h").find("max_p01000003_p12 = 15;"), std::string::npos);
    EXPECT_TRUE(fs::remove(Output / "Unit1.h"));  // closed
    SendMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Form->Visible());
}

// Nothing shows the about box; it is shown here for its picture.
TEST(AboutBox, IsDrawnFromItsDescription) {
    const std::unique_ptr<TAboutBox> about(Create<TAboutBox>(Application));
    EXPECT_EQ(about->OKButton->Caption(), "OK");
    about->Show();
    EXPECT_TRUE(KeepPicture(about->Handle(), "about-box"));
}

} // namespace
} // namespace installer::test
