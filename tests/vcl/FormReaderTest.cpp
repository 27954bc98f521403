#include "vcl/FormReader.h"

#include <gtest/gtest.h>


#include "TestForm.h"
#include "vcl/FormWriter.h"

using namespace vcl;
using namespace vcl::test;

namespace {

const char *const Description = R"form(# A form with one of each kind of member
TTestForm Form1 {
    Caption = "Setup MERKANO ZUVO 2020  23.12.2019 Demo"
    Width = 774
    Color = clSilver
    Font.Name = "System"
    Font.Height = -13
    OnClick = Button1Click
    TTestControl Label1 {
        Caption = "Label1"
        Visible = False
        Buddy = Button1  // read before Button1 exists
    }
    TTestControl Panel1 {
        Style = tsRaised
        TTestButton Button1 {
            Caption = "Instaluj"
            OnClick = Button1Click
            OnChange = FormChange
            Options = [toBold, toTall]
        }
    }
    TTestControl Manager {
        Lines = ("TButton", "", "Uživatelská \"příručka\"")
        Items {
            item {
                Data = hex {
                    474D7A66 01000000
                    ff
                }
            }
            item {
                Name = "From resource"
                Value = -3
                Data = resource "SKIN2"
            }
        }
        Font {
            Name = "Tahoma"
            Style = [toBold]
            Color = $00FF00
        }
        Ratio = 1021.0e-2
        Big = $100000000
        Small = 200
        Letter = "*"
        Tag = -5
    }
}
)form";

std::unique_ptr<TStream> Resources(const std::string &name) {
    if (name != "SKIN2") return nullptr;
    auto s = std::make_unique<TMemoryStream>();
    s->WriteBuffer("GMzf", 4);
    return s;
}

std::string Bytes(TMemoryStream &s) { return std::string(reinterpret_cast<const char *>(s.Memory()), s.Size()); }

class FormReaderTest : public testing::Test {
protected:
    void SetUp() override { Log.clear(); }
    void TearDown() override { delete Form; }

    void Read(const std::string &text) { ReadComponentText(*Form, text, Resources); }
    TTestControl *Child(const char *name) { return static_cast<TTestControl *>(Form->FindComponent(name)); }

    TTestForm *Form = Create<TTestForm>(nullptr);
};

std::vector<std::string> LogLinesStartingWith(const std::string &prefix) {
    std::vector<std::string> lines;
    for (const std::string &l : Log)
        if (l.rfind(prefix, 0) == 0) lines.push_back(l);
    return lines;
}

} // namespace

TEST_F(FormReaderTest, ReadsComponentsPropertiesOfEveryKindEventsAndReferences) {
    Read(Description);
    // Components in stored order, owned by the root, placed in their parent.
    std::string order;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        order += Form->Components(i)->Name() + (Form->Components(i)->Owner() == Form ? " " : "? ");
    EXPECT_EQ(order, "Label1 Panel1 Button1 Manager ");
    EXPECT_EQ(Form->Button1->ClassName(), "TTestButton");
    EXPECT_EQ(Form->Label1->Parent, Form);
    EXPECT_EQ(Form->Button1->Parent, Form->Panel1);

    // A property of each kind; what is left out keeps its constructed value.
    EXPECT_EQ(Form->Font()->Height(), -13);
    EXPECT_EQ(Form->Color(), clSilver);
    EXPECT_FALSE(Form->Label1->Visible());
    EXPECT_EQ(Form->Button1->Options(), (TTestOptions{toBold, toTall}));
    EXPECT_EQ(Form->Button1->Width(), 75);  // the button's own default
    TTestControl *m = Child("Manager");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Lines()->Text(), "TButton\r\n\r\nUživatelská \"příručka\"\r\n");
    EXPECT_EQ(m->Font()->Color(), 0x00FF00);
    EXPECT_EQ(m->Font()->Height(), -11);
    EXPECT_DOUBLE_EQ(m->Ratio, 10.21);
    EXPECT_EQ(m->Big, INT64_C(0x100000000));
    EXPECT_EQ(m->Small, 200);
    EXPECT_EQ(m->Letter, '*');
    EXPECT_EQ(m->Tag(), -5);

    // A collection's items replace it in one announcement; binary data inline or from a resource.
    TTestItems &items = *m->Items();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Updates, 1);
    EXPECT_EQ(Bytes(items.Items(0)->Data), std::string("GMzf\x01\0\0\0\xFF", 9));
    EXPECT_EQ(items.Items(1)->Value, -3);
    EXPECT_EQ(Bytes(items.Items(1)->Data), "GMzf");

    // Events bind to the root's handlers; references resolve once all is read, for free notification.
    Form->OnClick(Form);
    EXPECT_EQ(Form->Clicks, 1);
    Form->Button1->OnChange(Form->Button1, 3);
    EXPECT_EQ(Form->Changed, 3);
    EXPECT_EQ(Form->Label1->Buddy(), Form->Button1);
    delete Form->Button1;
    EXPECT_EQ(Form->Label1->Buddy(), nullptr);
}

TEST_F(FormReaderTest, EverythingIsLoadingWhileItIsReadAndLoadedRunsOnceAllIsReadInStoredOrder) {
    Read(Description);
    EXPECT_EQ(LogLinesStartingWith("caption "),
              (std::vector<std::string>{"caption Form1 LR", "caption Label1 LR", "caption Button1 LR"}));
    // Each Loaded finds itself and the components after it still loading (the
    // inherited Loaded clears its own state), and nobody reading any more.
    EXPECT_EQ(LogLinesStartingWith("loaded "),
              (std::vector<std::string>{
                  "loaded Form1  |",
                  "loaded Label1  | Label1:L Panel1:L Button1:L Manager:L",
                  "loaded Panel1  | Label1: Panel1:L Button1:L Manager:L",
                  "loaded Button1  | Label1: Panel1: Button1:L Manager:L",
                  "loaded Manager  | Label1: Panel1: Button1: Manager:L",
              }));
    for (int i = 0; i < Form->ComponentCount(); ++i) EXPECT_TRUE(Form->Components(i)->ComponentState().Empty());
    EXPECT_TRUE(Form->ComponentState().Empty());
}

TEST_F(FormReaderTest, WrittenFormReadsBackToTheSameText) {
    Read(Description);
    const std::string written = WriteComponentText(*Form);

    TTestForm *copy = Create<TTestForm>(nullptr);
    ReadComponentText(*copy, written);
    EXPECT_EQ(WriteComponentText(*copy), written);
    EXPECT_EQ(copy->Button1->Parent, copy->Panel1);
    EXPECT_EQ(copy->Label1->Buddy(), copy->Button1);
    copy->Button1->OnClick(copy);
    EXPECT_EQ(copy->Clicks, 1);
    EXPECT_EQ(Bytes(static_cast<TTestControl *>(copy->FindComponent("Manager"))->Items()->Items(1)->Data), "GMzf");
    delete copy;
}

TEST_F(FormReaderTest, WriterLeavesOutDefaultsAndRefusesWhatCannotBeReadBack) {
    Read(Description);
    const std::string written = WriteComponentText(*Form);
    EXPECT_EQ(written.rfind("TTestForm Form1 {\n", 0), 0u);  // the header names components
    for (const char *present : {"Width = 774", "Visible = False", "Color = clSilver", "Options = [toTall, toBold]",
                                "Name = \"System\""})
        EXPECT_NE(written.find(present), std::string::npos) << present;
    for (const char *absent : {"Width = 64", "Width = 75", "Name = \"Tahoma\"", "Style = tsFlat", "Height = -11",
                               "Name = \"Form1\""})
        EXPECT_EQ(written.find(absent), std::string::npos) << absent;
    TTestForm empty(nullptr);
    empty.SetName("Blank");
    EXPECT_EQ(WriteComponentText(empty), "TTestForm Blank {\n}\n");

    // A component without a name could not be found again by name.
    Create<TTestControl>(&empty);
    EXPECT_THROW(WriteComponentText(empty), EWriteError);
    TTestForm unnamed(nullptr);
    EXPECT_THROW(WriteComponentText(unnamed), EWriteError);
    // Nor could a component that has the form's name.
    TTestForm twin(nullptr);
    twin.SetName("Twin");
    Create<TTestControl>(&twin)->SetName("twin");
    EXPECT_THROW(WriteComponentText(twin), EWriteError);
}

namespace {

struct BadCase {
    const char *body;  // the form's second line
    const char *message;
};

const BadCase BadCases[] = {
    {"Widht = 5", "unknown property Widht of TTestForm"},
    {"Style = tsSunken", "tsSunken is not an element of TTestStyle"},
    {"Width = \"wide\"", "expected a number for the property Width"},
    {"Width = 99999999999", "out of range for property Width"},
    {"Big = 99999999999999999999", "too large"},
    {"Caption = \"open", "not closed"},
    {"Caption = \"a\\q\"", "unknown escape"},
    {"OnClick = Nothing", "TTestForm has no published method Nothing"},
    {"OnClick = FormChange", "does not fit the event OnClick"},
    {"TNoSuch X { }", "unknown class TNoSuch"},
    {"TTestControl Button1 { }", "the field Button1 of TTestForm is a TTestButton, not a TTestControl"},
    {"TTestFont F2 { }", "TTestFont is not a component class"},
    {"Buddy = Ghost", "unknown component Ghost"},
    {"Font = Form1", "takes a TTestFont, not a TTestForm"},
    {"Items { thing { } }", "only 'item' blocks"},
    {"Font { TTestControl X { } }", "cannot be declared inside a property"},
    {"Lines = \"x\"", "expected a component name, '(' or '{'"},
    {"Items { item { Data = hex { 0G } } }", "'G' is not a hex digit"},
    {"Items { item { Data = hex { ABC } } }", "odd number of digits"},
    {"Items { item { Data = resource \"NOPE\" } }", "the resource NOPE does not exist"},
    {"Items { item { Stuff = hex { 00 } } }", "unknown property Stuff of TTestItem"},
    {"Font.Size = 3", "unknown property Size of TTestFont"},
    {"Width.Height = 3", "has no properties"},
    {"Options = [toWide, toWidest]", "toWidest is not an element of TTestOption"},
    {"Visible = Maybe", "Maybe is not an element of Boolean"},
    {"Letter = \"ab\"", "expected one character"},
    {"TTestControl L { } TTestControl l { }", "a component named l exists already"},
    {"TTestControl Form1 { }", "a component named Form1 exists already"},
    // The form's name and its components' names are one set, whichever way a name is given.
    {"TTestControl L { Name = \"form1\" }", "a component named form1 exists already"},
    {"TTestControl L { } Name = \"L\"", "a component named L exists already"},
    {"TTestControl L { } TTestControl M { Name = \"l\" }", "A component named l already exists"},
    {"Name = \"\"", "a component of the form needs a name"},
    {"TTestControl L { Name = \"\" }", "a component of the form needs a name"},
    {"TTestControl L { Name = \"Button1\" }", "the field Button1 of TTestForm is a TTestButton, not a TTestControl"},
    {"Caption \"x\"", "expected '=' or '{' after 'Caption'"},
    {"Caption = ;", "unexpected character ';'"},
    {"Width = 5 } }", "expected the end of the description"},
    {"= 5", "expected a property or a component"},
    {"Width = 12abc", "bad number"},
};

} // namespace

TEST_F(FormReaderTest, DamagedDescriptionsRaiseNamingTheLine) {
    RegisterClass(TTestFont::StaticClassInfo());
    for (const BadCase &c : BadCases) {
        TTestForm *form = Create<TTestForm>(nullptr);
        Log.clear();
        try {
            ReadComponentText(*form, std::string("TTestForm Form1 {\n") + c.body + "\n}\n", Resources);
            ADD_FAILURE() << "accepted: " << c.body;
        } catch (const EParserError &e) {
            EXPECT_EQ(e.Line, 2) << c.body << ": " << e.Message();
            EXPECT_NE(e.Message().find("TTestForm(2): "), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(c.message), std::string::npos) << c.body << ": " << e.Message();
        }
        EXPECT_TRUE(LogLinesStartingWith("loaded").empty()) << c.body;
        EXPECT_FALSE(form->ComponentState().Contains(csLoading) || form->ComponentState().Contains(csReading));
        for (int i = 0; i < form->ComponentCount(); ++i) EXPECT_TRUE(form->Components(i)->ComponentState().Empty());
        delete form;
    }
    UnRegisterClass(TTestFont::StaticClassInfo());
}

TEST_F(FormReaderTest, TheRootMustBeOfTheDescribedClass) {
    try {
        Read("\n\nTTestControl Form1 { }");
        FAIL();
    } catch (const EParserError &e) {
        EXPECT_EQ(e.Line, 3);
        EXPECT_NE(e.Message().find("the description is of a TTestControl, not of a TTestForm"), std::string::npos);
    }
    EXPECT_THROW(Read(""), EParserError);
    EXPECT_THROW(ReadComponentText(*Form, "TTestForm F { Items { item { Data = resource \"SKIN2\" } } }"), EParserError);
}

TEST_F(FormReaderTest, DeepNestingIsRefused) {
    std::string text = "TTestForm Form1 {\n";
    for (int i = 0; i < 100; ++i) text += "TTestControl C" + std::to_string(i) + " {\n";
    try {
        Read(text);
        FAIL();
    } catch (const EParserError &e) {
        EXPECT_NE(e.Message().find("nested too deeply"), std::string::npos);
    }
}

TEST_F(FormReaderTest, ClassesOutsideTheFieldsComeFromTheRegistry) {
    const std::string text = "TTestForm Form1 {\n  TTestControl Extra { }\n}\n";
    Read(text);  // TTestControl: the class of the field Panel1
    EXPECT_EQ(Child("Extra")->ClassName(), "TTestControl");

    TTestControl *bare = Create<TTestControl>(nullptr);  // publishes no fields
    EXPECT_THROW(ReadComponentText(*bare, "TTestControl Root {\n TTestButton B { }\n}\n"), EParserError);
    RegisterClass(TTestButton::StaticClassInfo());
    ReadComponentText(*bare, "TTestControl Root {\n TTestButton B { }\n}\n");
    UnRegisterClass(TTestButton::StaticClassInfo());
    EXPECT_EQ(bare->FindComponent("B")->ClassName(), "TTestButton");
    delete bare;
}

TEST_F(FormReaderTest, CharactersTakeAnyByteAndEscapesReadAsWritten) {
    Read("TTestForm Form1 {\n  Letter = \"\\xE9\"\n  Caption = \"tab\\there\\r\\n\\\\ \\\"q\\\" \\x01\"\n}\n");
    EXPECT_EQ(Form->Letter, '\xE9');
    EXPECT_EQ(Form->Caption(), "tab\there\r\n\\ \"q\" \x01");
    const std::string written = WriteComponentText(*Form);
    TTestForm *copy = Create<TTestForm>(nullptr);
    ReadComponentText(*copy, written);
    EXPECT_EQ(copy->Letter, '\xE9');
    EXPECT_EQ(copy->Caption(), Form->Caption());
    delete copy;
}
