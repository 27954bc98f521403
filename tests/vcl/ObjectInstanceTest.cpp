#include "vcl/ObjectInstance.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace vcl {
namespace {

struct TRecorder {
    std::vector<UINT> Seen;
    LRESULT Answer = 0;
    TWindowSubclass *Subclass = nullptr;  // passes on what it does not answer

    void Handle(TMessage &m) {
        Seen.push_back(m.Msg);
        if (Subclass && m.Msg != kProbe + 1) Subclass->CallPrevious(m);
        else m.Result = Answer;
    }
    static constexpr UINT kProbe = WM_APP + 7;
};

// A window whose own procedure answers a private message with 1000 + WParam.
constexpr UINT kProbe = TRecorder::kProbe;
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

WNDPROC ProcOf(HWND w) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC)); }

TEST(ObjectInstance, EveryObjectGetsAProcedureOfItsOwnInCodeThatIsReadAndExecuteOnly) {
    std::vector<TRecorder> recs(500);
    std::vector<TObjectInstance> insts;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        recs[i].Answer = static_cast<LRESULT>(i);
        insts.emplace_back(TWndMethod::Bind<&TRecorder::Handle>(&recs[i]));
    }
    for (std::size_t i = 0; i < insts.size(); i += 37)
        EXPECT_EQ(CallWindowProcW(insts[i].Proc(), reinterpret_cast<HWND>(0x1234), WM_USER + 3, 5, 9), LRESULT(i));
    EXPECT_EQ(recs[37].Seen, std::vector<UINT>{WM_USER + 3});
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_TRUE(VirtualQuery(reinterpret_cast<const void *>(insts[0].Proc()), &info, sizeof info));
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));

    // Given back, a stub answers nothing, even if some window still calls it.
    WNDPROC stub = insts[1].Release();
    FreeObjectInstance(stub);
    EXPECT_EQ(CallWindowProcW(stub, nullptr, WM_NULL, 0, 0), 0);
    EXPECT_TRUE(recs[1].Seen.empty());
}

TEST(ObjectInstance, OrphanedStubForwardsToThePreviousProcedureForGood) {
    HWND w = CreateProbeWindow();
    TRecorder rec;
    rec.Answer = -1;
    WNDPROC stub = MakeObjectInstance(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    const WNDPROC original = ProcOf(w);
    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stub));
    EXPECT_EQ(SendMessageW(w, kProbe, 1, 0), -1);
    OrphanObjectInstance(stub, w, original);
    FreeObjectInstance(stub);  // ignored: the stub stays in the chain
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
    TRecorder rec;
    rec.Answer = -1;
    TObjectInstance inst(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    const auto original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inst.Proc())));
    EXPECT_EQ(SendMessageW(w, kProbe, 1, 0), -1);
    DestroyInstanceWindow(w, inst, original);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_FALSE(inst);
    EXPECT_EQ(SendMessageW(w, kProbe, 2, 0), 1002);  // forwarded, not to the object
    EXPECT_EQ(rec.Seen.size(), 1u);
    release.set_value();
    owner.join();
}

LRESULT CALLBACK OuterProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC OuterPrevious = nullptr;
int OuterCalls = 0;
LRESULT CALLBACK OuterProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    ++OuterCalls;
    return CallWindowProcW(OuterPrevious, w, msg, wp, lp);
}

TEST(WindowSubclass, IsRestoredOnlyWhileTheWindowPointsAtIt) {
    HWND w = CreateProbeWindow();
    const WNDPROC original = ProcOf(w);
    TRecorder rec;
    rec.Answer = 42;
    auto sub = std::make_unique<TWindowSubclass>(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    rec.Subclass = sub.get();
    sub->Attach(w);
    EXPECT_THROW(sub->Attach(w), EInvalidOperation);
    EXPECT_EQ(SendMessageW(w, kProbe + 1, 0, 0), 42);
    EXPECT_EQ(SendMessageW(w, kProbe, 3, 0), 1003);  // passed on to the window's own procedure
    // The desktop window belongs to another process: it cannot be taken over.
    TWindowSubclass foreign(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    EXPECT_THROW(foreign.Attach(GetDesktopWindow()), EInvalidOperation);

    // Someone chains over us: we may not take ourselves out, and when we go
    // the chain keeps working without us.
    OuterPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterProc)));
    EXPECT_FALSE(sub->Detach());
    EXPECT_TRUE(sub->Attached());
    sub.reset();
    EXPECT_EQ(SendMessageW(w, kProbe, 4, 0), 1004);
    EXPECT_EQ(OuterCalls, 1);
    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterPrevious));
    DestroyWindow(w);

    // Alone on a window, it puts the original back; the window's end detaches it too.
    HWND w2 = CreateProbeWindow();
    TWindowSubclass sub2(TWndMethod::Bind<&TRecorder::Handle>(&rec));
    rec.Subclass = &sub2;
    sub2.Attach(w2);
    EXPECT_TRUE(sub2.Detach());
    EXPECT_EQ(ProcOf(w2), original);
    sub2.Attach(w2);
    DestroyWindow(w2);
    EXPECT_FALSE(sub2.Attached());
    EXPECT_EQ(rec.Seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(UtilWindow, SendsItsMessagesToTheMethodAndGoesWithIt) {
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

} // namespace
} // namespace vcl
