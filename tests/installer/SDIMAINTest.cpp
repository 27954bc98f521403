// The main form as the program makes it from its description: what it holds
// before it is shown, what showing it does (twice), closing while busy, and
// the hidden generator button over C:\merkzuvo\.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "InstallerTestSupport.h"
#include "installer/SDIMAIN.h"
#include "vcl/Graphics.h"

namespace installer::test {
namespace {

using namespace vcl;

const char *const ExpectedMemo[] = {
    "Setup MERKANO ZUVO 2019 23.12.2019 Demo",
    "vygenerujeme MERKANO ZUVO CZ 1.9 23.12.2019",
    "do složky c:\\merkano_zuvo",
    "",
    "po dokončení se spustí MERKZUVO.EXE",
    "",
    "Děkujeme za Vaši přízeň.",
    "MERKANO team.",
    "Novinky: Podpora tisku vstupenek ve službách pokud je v názvu Vstup",
    // The dash before the 1 is an en dash (U+2013).
    "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X \xE2\x80\x93"
    "1 v konfiguraci.",
};

// A main form of its own for each test, as the program makes it, but not
// the application's main form: closing it hides it instead of ending the
// test program.
struct TFormFixture : ::testing::Test {
    void SetUp() override {
        InstallBusy = false;
        Form.reset(Create<TSDIAppForm>(Application));
    }
    void TearDown() override { Form.reset(); }
    std::unique_ptr<TSDIAppForm> Form;
};

void ExpectBounds(const TControl *Control, int Left, int Top, int Width, int Height) {
    SCOPED_TRACE(Control->Name());
    EXPECT_EQ(Control->Left(), Left);
    EXPECT_EQ(Control->Top(), Top);
    EXPECT_EQ(Control->Width(), Width);
    EXPECT_EQ(Control->Height(), Height);
}

std::vector<std::string> MemoLines(const TMemo &Memo) {
    std::vector<std::string> lines;
    for (int i = 0; i < Memo.Lines()->Count(); ++i) lines.push_back(Memo.Lines()->Strings(i));
    return lines;
}

using SDIAppForm = TFormFixture;

TEST_F(SDIAppForm, IsReadFromItsDescriptionWithEveryPropertyAndBound) {
    TSDIAppForm &f = *Form;
    EXPECT_EQ(f.Name(), "SDIAppForm");
    EXPECT_EQ(f.Caption(), "Setup MERKANO ZUVO 2020  23.12.2019 Demo");
    EXPECT_EQ(f.BorderStyle(), bsDialog);
    EXPECT_EQ(f.ClientWidth(), 774);
    EXPECT_EQ(f.ClientHeight(), 341);
    EXPECT_EQ(f.Position(), poDesktopCenter);
    EXPECT_EQ(f.Color(), clBtnFace);
    EXPECT_EQ(f.Font()->Name(), "System");
    EXPECT_EQ(f.Font()->Height(), -13);
    EXPECT_EQ(f.Font()->Color(), clWindowText);
    EXPECT_EQ(f.PixelsPerInch(), 96);
    EXPECT_EQ(f.FormStyle(), fsNormal);
    EXPECT_TRUE(f.OnShow && f.OnCloseQuery && f.OnClick);

    ASSERT_TRUE(f.Label1 && f.Button1 && f.Button2 && f.Label2 && f.ProgressBar1 && f.Memo1 && f.Image1 &&
                f.ProgressBar2);
    // The labels take the size of their text in the font they get; their place is the description's.
    EXPECT_EQ(f.Label1->Left(), 473);
    EXPECT_EQ(f.Label1->Top(), 312);
    EXPECT_TRUE(f.Label1->AutoSize());
    EXPECT_EQ(f.Label1->Caption(), "Label1");
    EXPECT_FALSE(f.Label1->Visible());
    EXPECT_EQ(f.Label2->Left(), 208);
    EXPECT_EQ(f.Label2->Top(), 291);
    EXPECT_TRUE(f.Label2->AutoSize());
    EXPECT_EQ(f.Label2->Caption(), "");
    ExpectBounds(f.Image1, 24, 8, 313, 221);
    EXPECT_TRUE(f.Image1->Proportional());
    EXPECT_TRUE(f.Image1->Stretch());
    EXPECT_EQ(f.Image1->Picture()->Width(), 313);
    EXPECT_EQ(f.Image1->Picture()->Height(), 221);
    ExpectBounds(f.Button1, 24, 281, 169, 39);
    EXPECT_EQ(f.Button1->Caption(), "Instaluj");
    EXPECT_EQ(f.Button1->TabOrder(), 0);
    EXPECT_TRUE(f.Button1->OnClick);
    ExpectBounds(f.Button2, 473, 281, 136, 25);
    EXPECT_EQ(f.Button2->Caption(), "Generuj const ");
    EXPECT_EQ(f.Button2->TabOrder(), 1);
    EXPECT_FALSE(f.Button2->Visible());
    EXPECT_TRUE(f.Button2->OnClick);
    ExpectBounds(f.ProgressBar1, 24, 235, 727, 17);
    EXPECT_EQ(f.ProgressBar1->Step(), 1);
    EXPECT_EQ(f.ProgressBar1->Max(), 100);
    EXPECT_EQ(f.ProgressBar1->TabOrder(), 2);
    ExpectBounds(f.Memo1, 343, 8, 408, 221);
    EXPECT_EQ(f.Memo1->Alignment(), taCenter);
    EXPECT_TRUE(f.Memo1->ReadOnly());
    EXPECT_EQ(f.Memo1->ScrollBars(), ssVertical);
    EXPECT_EQ(f.Memo1->TabOrder(), 3);
    ExpectBounds(f.ProgressBar2, 24, 258, 727, 17);
    EXPECT_EQ(f.ProgressBar2->Max(), 11);
    EXPECT_EQ(f.ProgressBar2->Step(), 1);
    EXPECT_EQ(f.ProgressBar2->TabOrder(), 4);

    // A click on the form leaves it a normal form.
    f.OnClick(&f);
    EXPECT_EQ(f.FormStyle(), fsNormal);
}

TEST_F(SDIAppForm, ShowsItsCaptionAndTheWelcomeTextOnceHoweverOftenItIsShown) {
    InstallBusy = true;
    Form->Show();
    EXPECT_FALSE(InstallBusy);
    EXPECT_EQ(Form->Caption(), ShownCaption);
    EXPECT_EQ(MemoLines(*Form->Memo1), std::vector<std::string>(std::begin(ExpectedMemo), std::end(ExpectedMemo)));
    // The generator's button never gets a window: nothing can click it.
    EXPECT_FALSE(Form->Button2->HandleAllocated());

    Form->Hide();
    Form->Show();
    EXPECT_EQ(MemoLines(*Form->Memo1), std::vector<std::string>(std::begin(ExpectedMemo), std::end(ExpectedMemo)));
}

TEST_F(SDIAppForm, RefusesToCloseWhileBusyWithItsMessageAndClosesOnceIdle) {
    Form->Show();
    InstallBusy = true;
    {
        TMessageAnswerer answerer;
        SendMessageW(Form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"Spuštěnou instalaci nelze přerušit !"});
    }
    EXPECT_TRUE(Form->Visible());

    InstallBusy = false;
    TMessageAnswerer answerer;
    SendMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(answerer.Texts().empty());
    EXPECT_FALSE(Form->Visible());
}

// --- The generator ---------------------------------------------------------

const fs::path SourceFolder = "C:\\merkzuvo";

// The names the generator reads, in its order.
const char *const SourceNames[] = {
    "zuvoeet_dll.dll", "eet_z.exe", "eetzuvo.exe", "merkzuvo.exe", "Licence MERKANO ZUVO.pdf",
    "fiscal_test_cert.p12", "Uživatelská příručka Merkano zuvo1-1.pdf", "PdfQuill.dll",
    "PdfQuill.Charting.dll", "pdfconv.exe", "ticket.jpg"};

struct TDeclared {
    const char *Identifier;
    const char *Buffer;
};
const TDeclared Declared[] = {
    {"zuvoeet_dll_dll", "var_zuvoeet_dll_dll"}, {"eet_z_exe", "var_eet_z_exe"},
    {"eetzuvo_exe", "var_eetzuvo_exe"},         {"merkzuvo_exe", "var_merkzuvo_exe"},
    {"Licence_MERKZUVO_pdf", "var_max_Licence_MERKZUVO_pdf"}, {"p01000003_p12", "var_max_p01000003_p12"},
    {"prirucka", "var_max_prirucka"},           {"PdfQuill", "var_max_PdfQuill"},
    {"PdfQuillCharting", "var_max_PdfQuillCharting"}, {"pdfconv", "var_max_pdfconv"},
    {"ticket", "var_max_ticket"}};

// The module for these contents, written out plainly.
std::string ExpectedModule(const std::vector<std::string> &contents) {
    std::string text = "#pragma once\r\n#include <cstdint>\r\nnamespace Unit1 {\r\n";
    for (std::size_t k = 0; k < contents.size(); ++k) {
        const std::string &bytes = contents[k];
        const std::string n = std::to_string(bytes.size()), n1 = std::to_string(bytes.size() + 1);
        text += " \r\n";
        text += "   inline constexpr std::int64_t max_" + std::string(Declared[k].Identifier) + " = " + n + ";\r\n";
        text += "inline std::uint8_t " + std::string(Declared[k].Buffer) + "[" + n1 + "];\r\n";
        text += "inline constexpr char " + std::string(Declared[k].Identifier) + "[" + n1 + "][3] = {\r\n";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char element[8];
            std::snprintf(element, sizeof element, "\"%02X\",", static_cast<unsigned char>(bytes[i]));
            text += element;
            if (i % 20 == 19) text += "\r\n";
        }
        text += "\"==\"};\r\n";
    }
    text += " \r\n}\r\n";
    return text;
}

struct TGeneratorFixture : TFormFixture {
    void SetUp() override {
        TFormFixture::SetUp();
        std::error_code ignored;
        fs::remove_all(SourceFolder, ignored);
        fs::create_directory(SourceFolder);
        Output = fs::temp_directory_path() / "zuvo-generator-test";
        fs::remove_all(Output, ignored);
        fs::create_directory(Output);
        StartFolder = fs::current_path();
        fs::current_path(Output);
        Form->Show();
    }
    void TearDown() override {
        fs::current_path(StartFolder);
        std::error_code ignored;
        fs::remove_all(SourceFolder, ignored);
        fs::remove_all(Output, ignored);
        TFormFixture::TearDown();
    }
    void WriteSources(const std::vector<std::string> &contents) {
        for (std::size_t k = 0; k < contents.size(); ++k)
            WriteBytes(SourceFolder / fs::u8path(SourceNames[k]), contents[k]);
    }
    fs::path Output;
    fs::path StartFolder;
};

using Generator = TGeneratorFixture;

TEST_F(Generator, WritesUnit1FromTheSourceFolderSaysHotovoAndCloses) {
    // An empty file, exactly twenty bytes, the byte 10 alone, one full line
    // and one more, and others of no particular size.
    std::vector<std::string> contents = {"", "ABCDEFGHIJKLMNOPQRST", "\n", std::string(21, '\xFF')};
    for (std::size_t k = contents.size(); k < 11; ++k) contents.push_back(std::string(k * 3, char(k)));
    contents[10] = std::string("\x00\x0A\xA0\x7F", 4);
    WriteSources(contents);

    bool busyWhileDone = false;
    std::string countWhileDone;
    TMessageAnswerer answerer([&](const std::string &) {
        busyWhileDone = InstallBusy;
        countWhileDone = Form->Label1->Caption();
    });
    Form->Button2Click(Form->Button2);

    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"Hotovo"});
    EXPECT_TRUE(busyWhileDone);
    EXPECT_EQ(countWhileDone, "4");  // the size of the last file
    EXPECT_FALSE(InstallBusy);
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(ReadBytes(Output / "Unit1.h"), ExpectedModule(contents));
    // Closed: the module can be replaced at once.
    EXPECT_TRUE(fs::remove(Output / "Unit1.h"));
}

TEST_F(Generator, ThatFailsLeavesTheFormOpenAndClosableAndItsFilesClosed) {
    std::vector<std::string> contents;
    for (std::size_t k = 0; k < 11; ++k) contents.push_back(std::string(5, char('a' + k)));
    WriteSources(contents);
    fs::remove(SourceFolder / fs::u8path(SourceNames[6]));  // the manual is missing

    TMessageAnswerer answerer;
    EXPECT_THROW(Form->Button2Click(Form->Button2), EStreamError);
    EXPECT_TRUE(answerer.Texts().empty());
    EXPECT_FALSE(InstallBusy);
    EXPECT_TRUE(Form->Visible());
    EXPECT_EQ(Form->Label1->Caption(), "5");
    // Written up to the missing file, and closed.
    const std::string partial = ReadBytes(Output / "Unit1.h");
    EXPECT_NE(partial.find("max_p01000003_p12 = 5;"), std::string::npos);
    EXPECT_EQ(partial.find("prirucka"), std::string::npos);
    EXPECT_TRUE(fs::remove(Output / "Unit1.h"));
    for (std::size_t k = 0; k < 11; ++k)
        if (k != 6) {
            EXPECT_TRUE(fs::remove(SourceFolder / fs::u8path(SourceNames[k]))) << SourceNames[k];
        }

    // Once the generator failed, the form can be closed.
    SendMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Form->Visible());
}

} // namespace
} // namespace installer::test
