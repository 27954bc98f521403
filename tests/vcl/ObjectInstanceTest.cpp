#include "vcl/ObjectInstance.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

namespace vcl {
namespace {

struct TRecorder {
    std::vector<UINT> Seen;
    LRESULT Answer = 0;
    WNDPROC Previous = nullptr;
    HWND Window = nullptr;
    bool Forward = false;

    void Handle(TMessage &m) {
        Seen.push_back(m.Msg);
        if (Forward && Previous) m.Result = CallWindowProcW(Previous, Window, m.Msg, m.WParam, m.LParam);
        else m.Result = Answer;
    }
};

// A window whose own procedure answers a private message with a fixed value.
constexpr UINT kProbe = WM_APP + 7;
LRESULT CALLBACK ProbeWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kProbe) return 1000 + static_cast<LRESULT>(wp);
    return DefWindowProcW(w, msg, wp, lp);
}

HWND CreateProbeWindow() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ProbeWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ObjectInstanceProbe";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    return CreateWindowExW(0, L"ObjectInstanceProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TEST(ObjectInstance, StubPassesMessageFieldsAndAnswersResult) {
    TRecorder rec;
    rec.Answer = 77;
    TObjectInstance inst(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    const LRESULT r = CallWindowProcW(inst.Proc(), reinterpret_cast<HWND>(0x1234), WM_USER + 3, 5, 9);
    EXPECT_EQ(r, 77);
    ASSERT_EQ(rec.Seen.size(), 1u);
    EXPECT_EQ(rec.Seen[0], WM_USER + 3u);
}

TEST(ObjectInstance, EachObjectGetsItsOwnProcedure) {
    TRecorder a, b;
    a.Answer = 1;
    b.Answer = 2;
    TObjectInstance ia(TWndMethod::Bind<&TRecorder::Handle>(&a));
    TObjectInstance ib(TWndMethod::Bind<&TRecorder::Handle>(&b));
    EXPECT_NE(ia.Proc(), ib.Proc());
    EXPECT_EQ(CallWindowProcW(ia.Proc(), nullptr, WM_NULL, 0, 0), 1);
    EXPECT_EQ(CallWindowProcW(ib.Proc(), nullptr, WM_NULL, 0, 0), 2);
}

TEST(ObjectInstance, ChainedSubclassesSeeMessagesInTurn) {
    HWND w = CreateProbeWindow();
    ASSERT_TRUE(w);
    TRecorder first, second;
    first.Forward = second.Forward = true;
    first.Window = second.Window = w;
    TObjectInstance i1(TWndMethod::Bind<&TRecorder::Handle>(&first));
    TObjectInstance i2(TWndMethod::Bind<&TRecorder::Handle>(&second));
    first.Previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(i1.Proc())));
    second.Previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(i2.Proc())));
    EXPECT_EQ(second.Previous, i1.Proc());

    EXPECT_EQ(SendMessageW(w, kProbe, 5, 0), 1005);
    EXPECT_EQ(first.Seen.back(), kProbe);
    EXPECT_EQ(second.Seen.back(), kProbe);

    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(first.Previous));
    DestroyWindow(w);
}

TEST(ObjectInstance, OrphanedStubForwardsToThePreviousProcedure) {
    HWND w = CreateProbeWindow();
    ASSERT_TRUE(w);
    TRecorder rec;
    rec.Answer = -1;
    WNDPROC stub = MakeObjectInstance(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stub));
    EXPECT_EQ(SendMessageW(w, kProbe, 1, 0), -1);

    OrphanObjectInstance(stub, w, original);
    FreeObjectInstance(stub);  // ignored: the stub stays in the chain for good
    EXPECT_EQ(SendMessageW(w, kProbe, 2, 0), 1002);
    EXPECT_EQ(rec.Seen.size(), 1u);
    DestroyWindow(w);
}

TEST(ObjectInstance, WindowThatOutlivesDestroyWindowKeepsAForwardingStub) {
    // A window of another thread: DestroyWindow from this one fails.
    std::promise<HWND> made;
    std::promise<void> release;
    std::thread owner([&] {
        HWND w = CreateProbeWindow();
        made.set_value(w);
        auto done = release.get_future();
        while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        DestroyWindow(w);
    });
    HWND w = made.get_future().get();
    ASSERT_TRUE(w);
    TRecorder rec;
    rec.Answer = -1;
    TObjectInstance inst(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inst.Proc())));
    EXPECT_EQ(SendMessageW(w, kProbe, 1, 0), -1);

    DestroyInstanceWindow(w, inst, original);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_FALSE(inst);
    EXPECT_EQ(SendMessageW(w, kProbe, 2, 0), 1002);  // forwarded, not to the object
    EXPECT_EQ(rec.Seen.size(), 1u);
    release.set_value();
    owner.join();
}

TEST(ObjectInstance, GivenBackStubAnswersNothing) {
    TRecorder rec;
    rec.Answer = 5;
    WNDPROC stub = MakeObjectInstance(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    FreeObjectInstance(stub);
    EXPECT_EQ(CallWindowProcW(stub, nullptr, WM_NULL, 0, 0), 0);
    EXPECT_TRUE(rec.Seen.empty());
}

TEST(ObjectInstance, UtilWindowSendsItsMessagesToTheMethod) {
    TRecorder rec;
    rec.Answer = 9;
    HWND handle;
    {
        TUtilWindow util(TWndMethod::Bind<&TRecorder::Handle>(&rec));
        handle = util.Handle();
        wchar_t name[32] = {};
        GetClassNameW(handle, name, 32);
        EXPECT_STREQ(name, L"TPUtilWindow");
        EXPECT_EQ(SendMessageW(handle, WM_APP, 0, 0), 9);
    }
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(rec.Seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(ObjectInstance, ManyStubsCanLiveAtOnce) {
    std::vector<TRecorder> recs(500);
    std::vector<TObjectInstance> insts;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        recs[i].Answer = static_cast<LRESULT>(i);
        insts.emplace_back(TWndMethod::Bind<&TRecorder::Handle>(&recs[i]));
    }
    for (std::size_t i = 0; i < insts.size(); i += 37)
        EXPECT_EQ(CallWindowProcW(insts[i].Proc(), nullptr, WM_NULL, 0, 0), static_cast<LRESULT>(i));
}

} // namespace
} // namespace vcl
