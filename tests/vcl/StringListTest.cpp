#include "vcl/StringList.h"

#include <gtest/gtest.h>

#include "vcl/Streams.h"

using namespace vcl;

namespace {

// Counts its instances, so tests see which objects a list frees.
class Counted : public TObject {
public:
    explicit Counted(int &live) : FLive(live) { ++FLive; }
    ~Counted() override { --FLive; }

private:
    int &FLive;
};

std::string Join(const TStrings &list) {
    std::string out;
    for (int i = 0; i < list.Count(); ++i) out += (i ? "|" : "") + list[i];
    return out;
}

class ChangeCounter {
public:
    void Changed(TObject *) { ++Count; }
    int Count = 0;
};

} // namespace

TEST(StringList, AddsInsertsAndDeletesLines) {
    TStringList list;
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("c"), 1);
    list.Insert(0, "a");
    list.Insert(3, "d");
    EXPECT_EQ(Join(list), "a|b|c|d");
    list.Delete(1);
    EXPECT_EQ(Join(list), "a|c|d");
    list.Move(0, 2);
    EXPECT_EQ(Join(list), "c|d|a");
    list.Exchange(0, 2);
    EXPECT_EQ(Join(list), "a|d|c");
    list.SetStrings(1, "x");
    EXPECT_EQ(Join(list), "a|x|c");
    EXPECT_THROW(list.Strings(3), EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
    EXPECT_THROW(list.Insert(5, "y"), EStringListError);
}

TEST(StringList, NamesAndValuesSplitAtTheFirstEqualsSignWithoutCaseUnlessMadeCaseSensitive) {
    TStringList list;
    list.SetText("COLOR=123\r\nGRADIENT=0;1;2=x\r\nnoequals\r\n COLOR = 7\r\n");
    EXPECT_EQ(list.IndexOf("gradient=0;1;2=X"), 1);
    EXPECT_EQ(list.Values("gradient"), "0;1;2=x");
    EXPECT_EQ(list.Names(1), "GRADIENT");
    EXPECT_EQ(list.ValueFromIndex(1), "0;1;2=x");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.IndexOfName("noequals"), -1);
    EXPECT_EQ(list.IndexOfName(" COLOR "), 3);  // blanks are part of the name
    list.SetValues("color", "456");
    EXPECT_EQ(list[0], "color=456");
    list.SetValues("NEW", "");
    EXPECT_EQ(list[4], "NEW=");
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOfName("COLOR"), -1);
    EXPECT_EQ(list.IndexOf("NOEQUALS"), -1);
}

TEST(StringList, TextJoinsWithCrLfAndSplitsAnyLineBreak) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour\r\n\r\nsix");
    EXPECT_EQ(Join(list), "one|two|three|four||six");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
    list.SetText("last\n");
    EXPECT_EQ(list.Count(), 1);
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    list.SetText("\r\n");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "");
}

TEST(StringList, SortedListsKeepOrderAndApplyDuplicates) {
    TStringList list;
    list.SetSorted(true);
    for (const char *s : {"TcxGridFilterPopup", "TApplication", "tapplication", "TfcPopup"}) list.Add(s);
    EXPECT_EQ(Join(list), "TApplication|TcxGridFilterPopup|TfcPopup");  // dupIgnore by default
    int index = -1;
    EXPECT_TRUE(list.Find("TFCPOPUP", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("TB", index));
    EXPECT_EQ(index, 1);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);

    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("TAPPLICATION"), EStringListError);
    list.SetDuplicates(dupAccept);
    list.Add("TAPPLICATION");
    EXPECT_EQ(list.Count(), 4);

    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("TAPPLICATION"), 0);  // upper case sorts first
    EXPECT_EQ(list.IndexOf("TApplication"), 1);
}

TEST(StringList, ObjectsFollowTheirLinesAndAnOwningListFreesThoseThatGo) {
    int live = 0;
    {
        TStringList list(true);
        list.AddObject("d", new Counted(live));
        Counted *c = new Counted(live);
        list.AddObject("c", c);
        list.AddObject("b", new Counted(live));
        list.AddObject("a", new Counted(live));
        list.Sort();
        EXPECT_EQ(list.IndexOfObject(c), 2);
        list.Delete(0);
        EXPECT_EQ(live, 3);
        list.SetObjects(0, new Counted(live));  // replaces b's object
        list.Move(0, 2);
        list.Exchange(0, 1);
        EXPECT_EQ(live, 3);
        EXPECT_EQ(Join(list), "d|c|b");
        EXPECT_EQ(list.Objects(1), c);

        list.SetSorted(true);
        Counted second(live);
        EXPECT_EQ(list.AddObject("C", &second), 1);  // a duplicate ignored keeps the first object
        EXPECT_EQ(list.Objects(1), c);
    }
    EXPECT_EQ(live, 0);

    TStringList borrowing;
    Counted kept(live);
    borrowing.AddObject("x", &kept);
    borrowing.Clear();
    EXPECT_EQ(live, 1);
}

TEST(StringList, UpdatesAnnounceOneChange) {
    TStringList list;
    ChangeCounter counter;
    list.OnChange = TNotifyEvent::Bind<&ChangeCounter::Changed>(&counter);
    list.Add("a");
    EXPECT_EQ(counter.Count, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(counter.Count, 1);
    list.EndUpdate();
    EXPECT_EQ(counter.Count, 2);
    list.SetText("x\ny\nz");
    EXPECT_EQ(counter.Count, 3);
}

TEST(StringList, AssignCopiesLinesAndObjectsButNotFromOtherClasses) {
    TStringList source;
    TObject marker;
    source.AddObject("Other", &marker);
    source.Add("Beryllo (internal)");
    TStringList dest;
    dest.SetSorted(true);
    dest.Add("stale");
    dest.Assign(&source);
    EXPECT_EQ(Join(dest), "Beryllo (internal)|Other");
    EXPECT_EQ(dest.Objects(1), &marker);
    dest.Assign(&dest);
    EXPECT_EQ(dest.Count(), 2);
    TPersistent other;
    EXPECT_THROW(dest.Assign(&other), EConvertError);
    EXPECT_THROW(dest.Assign(nullptr), EConvertError);
}

TEST(StringList, LoadsFromTheStreamPositionAndSkipsAByteOrderMark) {
    TMemoryStream s;
    const std::string data = "skip\xEF\xBB\xBF[GLOBALINFO]\r\nVERSION=10.21\r\n";
    s.WriteBuffer(data.data(), data.size());
    s.SetPosition(4);
    TStringList list;
    list.LoadFromStream(s);
    EXPECT_EQ(Join(list), "[GLOBALINFO]|VERSION=10.21");
    TMemoryStream out;
    list.SaveToStream(out);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(out.Memory()), out.Size()), "[GLOBALINFO]\r\nVERSION=10.21\r\n");
}
