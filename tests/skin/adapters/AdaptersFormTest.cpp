// The form with every control the window adapters skin, in our stored skin:
// each window served by the adapter class listed for it, the skin removed
// (nothing served, the controls' own looks back) and applied again, with a
// picture kept of each state; some of what the skin gives the controls;
// commands that another program sends or posts to its windows; handle
// counts flat over many paints of the whole form.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "AllControlsForm.h"
#include "GridTestControl.h"
#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlTabWnd.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;

ManagerPtr StoredSkinManager() {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    m->SetSkinName("Beryllo (internal)");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

void KeepPicture(HWND Window, const std::string &Name) {
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(HostPath(ZUVO_ARTIFACTS_FOLDER)));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), uitest::CaptureWindow(Window));
    EXPECT_TRUE(std::filesystem::exists(folder / Name)) << Name;
}

// The adapter that answers for the window (null when none).
TvlMainWnd *ServingAdapter(HWND Window) {
    if (!SendSkinQuery(Window, SC_IS_HANDLED)) return nullptr;
    auto *adapter = reinterpret_cast<TvlWindowAdapter *>(SendSkinCommand(Window, SC_QUERY_ADAPTER, 0));
    return dynamic_cast<TvlMainWnd *>(adapter);
}

// Every window served by the adapter class listed for it (none where none is listed).
::testing::AssertionResult ServedAsListed(const AllControlsForm &F) {
    std::string wrong;
    for (const AllControlsForm::Entry &e : F.Entries()) {
        const TvlMainWnd *a = ServingAdapter(e.Window());
        if (!e.Adapter && a)
            wrong += e.Name + " is served by " + typeid(*a).name() + "; ";
        else if (e.Adapter && !a)
            wrong += e.Name + " is not served; ";
        else if (e.Adapter && typeid(*a) != *e.Adapter)
            wrong += e.Name + " is served by " + typeid(*a).name() + ", not " + e.Adapter->name() + "; ";
    }
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong;
}

::testing::AssertionResult NoneServed(const AllControlsForm &F) {
    for (const AllControlsForm::Entry &e : F.Entries()) {
        // A page's adapter lives as long as its page; it paints as the
        // system does while the skin is off.
        if (e.Adapter == &typeid(TvlPageWnd)) continue;
        if (SendSkinQuery(e.Window(), SC_IS_HANDLED)) return ::testing::AssertionFailure() << e.Name << " is served";
    }
    return ::testing::AssertionSuccess();
}

struct AllControls : AdaptersFixture {
    AllControls() {
        Manager.reset();
        Manager = StoredSkinManager();
        SetCursorPos(1270, 1010);
    }
};

// What shows inside the class library's group boxes, just around the check
// boxes in them and on the page control's sheet, and last the form's own face
// just left of the first group box. Read from one picture of the form.
std::vector<std::pair<std::string, vcl::TColor>> Faces(const AllControlsForm &F) {
    const HWND form = F.Form().WindowHandle();
    const uitest::TImage32 shot = uitest::CaptureWindow(form);
    RECT outer{};
    GetWindowRect(form, &outer);
    // Dx, Dy from the left/top edge, or (when negative) from the right/bottom one.
    const auto at = [&](HWND W, int Dx, int Dy) {
        RECT r{};
        GetWindowRect(W, &r);
        return ColorAt(shot, (Dx < 0 ? r.right : r.left) - outer.left + Dx,
                       (Dy < 0 ? r.bottom : r.top) - outer.top + Dy);
    };
    std::vector<std::pair<std::string, vcl::TColor>> faces;
    HWND firstBox = nullptr;
    for (const AllControlsForm::Entry &e : F.Entries()) {
        if (e.Name == "TGroupBox") {
            if (!firstBox) firstBox = e.Window();
            faces.push_back({"inside a group box", at(e.Window(), 20, -8)});
        }
        if (e.Name == "TCheckBox" && e.Control->Parent() != &F.Form())
            faces.push_back({"around " + e.Control->Caption(), at(e.Window(), -1, -1)});
        if (auto *pages = dynamic_cast<vcl::TPageControl *>(e.Control))
            faces.push_back({"on the sheet", at(pages->Handle(), 20, -10)});
    }
    RECT box{};
    GetWindowRect(firstBox, &box);
    faces.push_back({"the form", ColorAt(shot, box.left - outer.left - 4, box.bottom - outer.top - 4)});
    return faces;
}

TEST_F(AllControls, EveryWindowIsServedByItsAdapterAndTheSkinGoesAndComesBack) {
    AllControlsForm f(*Manager);
    ASSERT_GE(f.Entries().size(), 50u);
    EXPECT_TRUE(ServedAsListed(f));
    f.Redraw();
    const auto skinned = Faces(f);
    KeepPicture(f.Form().WindowHandle(), "all-controls-skinned.png");

    Manager->SetActive(false);
    f.FreePlainWindowAdapters();
    f.Redraw();
    EXPECT_TRUE(NoneServed(f));
    // Nothing keeps the skin's paint: each face is the form's own.
    const auto unskinned = Faces(f);
    ASSERT_GE(unskinned.size(), 6u);
    for (const auto &[where, colour] : unskinned) EXPECT_EQ(colour, unskinned.back().second) << where;
    KeepPicture(f.Form().WindowHandle(), "all-controls-unskinned.png");

    Manager->SetActive(true);
    f.AdaptPlainWindows();
    f.Redraw();
    EXPECT_TRUE(ServedAsListed(f));
    EXPECT_EQ(Faces(f), skinned);
    EXPECT_NE(skinned.front().second, unskinned.back().second) << "the skin shows a face of its own";
    KeepPicture(f.Form().WindowHandle(), "all-controls-skinned-again.png");

    // Each page of the page control.
    for (const AllControlsForm::Entry &e : f.Entries()) {
        auto *pages = dynamic_cast<vcl::TPageControl *>(e.Control);
        if (!pages) continue;
        for (int i = 0; i < pages->PageCount(); ++i) {
            pages->SetActivePage(pages->Pages(i));
            f.Redraw();
            KeepPicture(pages->Handle(), "all-controls-page-" + std::to_string(i + 1) + ".png");
        }
    }
}

TEST_F(AllControls, TheControlsWearTheSkinsColours) {
    AllControlsForm f(*Manager);
    const vcl::TColor edit = Manager->GetEditColor();
    for (int i = 0; i < f.Form().ComponentCount(); ++i) {
        vcl::TComponent *c = f.Form().Components(i);
        if (auto *memo = dynamic_cast<vcl::TMemo *>(c)) {
            EXPECT_EQ(vcl::ColorToRGB(memo->Color()), edit);
        }
        if (auto *grid = dynamic_cast<TTestGridBase *>(c)) {
            EXPECT_EQ(grid->FixedColor, Manager->GetMainColor());
        }
    }
    // The grid paints its title row in the colour it was given.
    for (const AllControlsForm::Entry &e : f.Entries()) {
        if (e.Name != "TTestPlainGrid") continue;
        const uitest::TImage32 shot = uitest::CaptureWindow(e.Window());
        const TvlScrollWnd *a = dynamic_cast<const TvlScrollWnd *>(ServingAdapter(e.Window()));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(ColorAt(shot, std::max(a->FrameLeft, 0) + 20, std::max(a->FrameTop, 0) + 5), Manager->GetMainColor());
    }
}

// A child that paints what lies behind it shows no box in its parent: the
// pixels just around it equal its own background (its top right corner, past
// any caption). Both windows are captured together in Outer.
::testing::AssertionResult NoBoxAround(HWND Outer, HWND Child) {
    RECT outer{}, inner{};
    GetWindowRect(Outer, &outer);
    GetWindowRect(Child, &inner);
    const int left = inner.left - outer.left, top = inner.top - outer.top;
    const int right = inner.right - outer.left, bottom = inner.bottom - outer.top;
    const uitest::TImage32 shot = uitest::CaptureWindow(Outer);
    const vcl::TColor own = ColorAt(shot, right - 2, top + 1);
    const int cx = (left + right) / 2, cy = (top + bottom) / 2;
    const POINT around[4] = {{left - 2, cy}, {right + 2, cy}, {cx, top - 2}, {cx, bottom + 2}};
    for (const POINT &p : around)
        if (ColorAt(shot, p.x, p.y) != own)
            return ::testing::AssertionFailure() << "at " << p.x << "," << p.y << ": "
                                                 << ColorAt(shot, p.x, p.y) << " around, " << own << " inside";
    return ::testing::AssertionSuccess();
}

// The skin has no section for page controls: every page shows one colour,
// the one its check box paints behind itself. A static in a dialog's pane
// shows the pane's background.
TEST_F(AllControls, ChildrenShowNoBoxOnPagesAndPanes) {
    AllControlsForm f(*Manager);
    vcl::TPageControl *pages = nullptr;
    HWND pane = nullptr, inPane = nullptr;
    for (const AllControlsForm::Entry &e : f.Entries()) {
        if (auto *p = dynamic_cast<vcl::TPageControl *>(e.Control)) pages = p;
        if (e.Name == "#32770 (pane)") pane = e.Window();
        if (e.Name == "Static (in the pane)") inPane = e.Window();
    }
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->PageCount(), 2);
    std::vector<vcl::TColor> sheets;
    for (int i = 0; i < pages->PageCount(); ++i) {
        vcl::TTabSheet *sheet = pages->Pages(i);
        pages->SetActivePage(sheet);
        f.Redraw();
        ASSERT_GE(sheet->ControlCount(), 1);
        auto *box = dynamic_cast<vcl::TWinControl *>(sheet->Controls(0));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(NoBoxAround(pages->Handle(), box->Handle())) << "page " << i + 1;
        // Well inside the sheet, below its child.
        RECT outer{}, inner{};
        GetWindowRect(pages->Handle(), &outer);
        GetWindowRect(box->Handle(), &inner);
        sheets.push_back(ColorAt(uitest::CaptureWindow(pages->Handle()), inner.left - outer.left + 20,
                                 inner.bottom - outer.top + 40));
    }
    EXPECT_EQ(sheets[0], sheets[1]);

    ASSERT_TRUE(pane && inPane);
    EXPECT_TRUE(NoBoxAround(pane, inPane));
}

DWORD WINAPI RunWork(LPVOID Work) {
    (*static_cast<const std::function<void()> *>(Work))();
    return 0;
}

// Runs Work on a thread of its own, standing in for another program, while
// this thread answers what it sends and dispatches what it posts.
void FromAnotherThread(const std::function<void()> &Work) {
    HANDLE thread = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()> *>(&Work), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        vcl::Application->ProcessMessages();
    CloseHandle(thread);
    vcl::Application->ProcessMessages();
}

LRESULT SendWaiting(HWND Window, unsigned Code, LPARAM LParam) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(Window, SM_SKINCOMMAND, SkinCommand(Code), LParam, SMTO_NORMAL, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

// Runs Work when the control's window procedure gets Msg (in place of the
// message), as a handler of a message that another program sends would.
struct TOnMessage {
    vcl::TControl &Control;
    unsigned Msg;
    std::function<void()> Work;
    vcl::TWndMethod Saved = Control.WindowProc;
    TOnMessage(vcl::TControl &C, unsigned M, std::function<void()> W) : Control(C), Msg(M), Work(std::move(W)) {
        Control.WindowProc = vcl::TWndMethod::Bind<&TOnMessage::Handle>(this);
    }
    ~TOnMessage() { Control.WindowProc = Saved; }
    void Handle(vcl::TMessage &M) {
        if (M.Msg != Msg) return Saved(M);
        Work();
        M.Result = 1;
    }
};

// The command message lies in the application range: any program can send
// or post it to any of our windows, and an address it carries points into
// no record of ours. Such a command leaves records alone and crashes nothing.
TEST_F(AllControls, CommandsFromOutsideReachNoRecord) {
    AllControlsForm f(*Manager);
    f.Redraw();
    std::vector<HWND> windows = uitest::ChildWindows(f.Form().WindowHandle());
    windows.push_back(f.Form().WindowHandle());
    windows.push_back(vcl::Application->Handle());

    // Records of this process, handed in by another thread, are neither
    // filled nor read.
    const vcl::TRect marker{-7, -7, -7, -7};
    vcl::TRect bounds = marker;
    TvlSectionQuery query;
    query.SectionIndex = -7;
    std::string section = "NO SUCH SECTION";
    FromAnotherThread([&] {
        for (HWND w : windows) {
            SendWaiting(w, SC_GET_BOUNDS, reinterpret_cast<LPARAM>(&bounds));
            SendWaiting(w, SC_GET_SECTION_INDEX, reinterpret_cast<LPARAM>(&query));
            SendWaiting(w, SC_GET_BG_SECTION, reinterpret_cast<LPARAM>(&query));
            SendWaiting(w, SC_SET_SECTION, reinterpret_cast<LPARAM>(section.c_str()));
        }
    });
    EXPECT_EQ(bounds, marker);
    EXPECT_EQ(query.SectionIndex, -7);
    int renamed = 0;
    for (HWND w : windows)
        if (const auto *data = reinterpret_cast<const TsCommonData *>(SendSkinCommand(w, SC_GET_SKIN_DATA, 0)))
            renamed += data->SkinSection() == section;
    EXPECT_EQ(renamed, 0);
    // This thread's own question is answered.
    int answered = 0;
    for (HWND w : windows) {
        bounds = marker;
        SendSkinCommand(w, SC_GET_BOUNDS, reinterpret_cast<LPARAM>(&bounds));
        answered += bounds != marker;
    }
    EXPECT_GT(answered, 40);

    // While this thread answers a message that another thread sends (a
    // broadcast after which the form repaints at once), the questions our
    // own painting asks are answered as at any other time: every control
    // asked what lies behind a child (image, colour and where the child's
    // piece is) and for its bounds.
    using Answers = std::vector<std::tuple<int, const vcl::TBitmap *, vcl::TColor, int, bool>>;
    const auto ask = [&f, &marker](Answers &Into) {
        for (const AllControlsForm::Entry &e : f.Entries()) {
            if (!e.Control) continue;
            TvlBgQuery behind;
            QueryParentBackground(behind, e.Control, false, TvlAsker(e.Control));
            vcl::TRect b = marker;
            PerformSkinCommand(e.Control, SC_GET_BOUNDS, reinterpret_cast<LPARAM>(&b));
            Into.emplace_back(behind.Kind, behind.Image, behind.Color, behind.X, b != marker);
        }
    };
    Answers here, there;
    ask(here);
    ASSERT_GT(std::count_if(here.begin(), here.end(), [](const auto &A) { return std::get<0>(A) == bqImage; }), 5);
    {
        constexpr unsigned settingsChanged = WM_APP + 71;
        const TOnMessage broadcast(f.Form(), settingsChanged, [&] { ask(there); });
        FromAnotherThread([&] {
            SendMessageTimeoutW(f.Form().WindowHandle(), settingsChanged, 0, 0, SMTO_NORMAL, 5000, nullptr);
        });
    }
    EXPECT_EQ(there, here);

    // Every sub-command, sent and posted with an address in no memory at all.
    const LPARAM nowhere = 0x10;
    FromAnotherThread([&] {
        for (HWND w : windows)
            for (unsigned code = 0; code <= 80; ++code) {
                SendWaiting(w, code, nowhere);
                PostMessageW(w, SM_SKINCOMMAND, SkinCommand(code), nowhere);
            }
    });
    EXPECT_TRUE(ServedAsListed(f));
}

TEST_F(AllControls, ManyPaintsOfTheWholeFormLeaveNoHandleBehind) {
    AllControlsForm f(*Manager);
    const auto paint = [&] {
        RedrawWindow(f.Form().WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    paint();
    vcl::Application->ProcessMessages();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 300; ++i) paint();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
