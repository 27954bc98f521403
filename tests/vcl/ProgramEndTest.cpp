// The end of a program whose main form was painted and closed before the
// application ever went idle: a bitmap canvas still holds its DC when the
// forms are destroyed at exit, as may a control whose window lags its
// state, and the program must still end cleanly.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <new>

#include "vcl/Bitmap.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"

namespace {

// While on, every allocation gets pages of its own that go back to the
// system when it is freed, so that a later read of freed memory faults
// instead of quietly finding the old bytes.
bool GuardAllocations = false;
std::array<void *, 2048> Guarded{};
std::size_t GuardedCount = 0;

void *GuardedAlloc(std::size_t Size) {
    for (void *&slot : Guarded) {
        if (slot) continue;
        slot = VirtualAlloc(nullptr, Size ? Size : 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (slot) ++GuardedCount;
        return slot;
    }
    return nullptr;  // the table is full: the ordinary heap takes it
}

bool GuardedFree(void *Block) {
    if (GuardedCount == 0) return false;
    for (void *&slot : Guarded) {
        if (slot != Block) continue;
        VirtualFree(Block, 0, MEM_RELEASE);
        slot = nullptr;
        --GuardedCount;
        return true;
    }
    return false;
}

} // namespace

void *operator new(std::size_t Size) {
    if (GuardAllocations)
        if (void *block = GuardedAlloc(Size)) return block;
    if (void *block = std::malloc(Size ? Size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void *Block) noexcept {
    if (Block && !GuardedFree(Block)) std::free(Block);
}
void operator delete(void *Block, std::size_t) noexcept { operator delete(Block); }

namespace vcl {
namespace {

class TPaintedForm : public TForm {
    VCL_CLASS(TPaintedForm, TForm)
public:
    explicit TPaintedForm(TComponent *AOwner) : TForm(AOwner, CreateNew), Buffer(std::make_unique<TBitmap>()) {
        SetBounds(40, 40, 200, 120);
        Buffer->SetSize(32, 32);
        OnPaint = TNotifyEvent::Bind<&TPaintedForm::Paint>(this);
        Progress = Create<TProgressBar>(this);
        Progress->SetParent(this);
        Progress->SetBounds(0, 60, 150, 16);
    }
    void Paint(TObject *) {
        Buffer->Canvas()->FillRect(Rect(0, 0, 32, 32));
        Canvas()->Draw(0, 0, Buffer.get());
        Painted = true;
    }
    std::unique_ptr<TBitmap> Buffer;
    TProgressBar *Progress;
    bool Painted = false;
};
VCL_CLASS_INFO(TPaintedForm)

// The program's life up to the end of main: the form is shown and painted
// (its bitmap's canvas takes a DC) and its progress bar stepped, then it is
// closed and the loop's last turn handles the messages up to the quit,
// with no idle pass that would give the DC back. Answers whether the
// bitmap's DC is still held and the bar's window update still pending when
// main ends, as the scenario needs.
bool PaintCloseAndEndWithoutIdle() {
    Application->Initialize();
    TPaintedForm *form = nullptr;
    Application->CreateForm(form);
    const long dcsBefore = LiveHandles().DCs;
    GuardAllocations = true;
    form->Show();
    UpdateWindow(form->Handle());
    form->Progress->StepIt();
    GuardAllocations = false;
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    form->Progress->StepIt();  // behind its window again
    return form->Painted && Application->Terminated() && LiveHandles().DCs > dcsBefore && WindowUpdatesPending();
}

TEST(ProgramEnd, AProgramClosedBeforeItsFirstIdleEndsCleanlyWithADCAndAWindowUpdateLeft) {
    // In a process of its own: the exit, with the forms destroyed by the
    // application, is what is checked. 3: the scenario did not come about.
    EXPECT_EXIT(std::exit(PaintCloseAndEndWithoutIdle() ? 0 : 3), testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace vcl
