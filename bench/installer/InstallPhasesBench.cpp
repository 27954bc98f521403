// Where the time of an install goes: the install procedure's work over the
// embedded product taken apart into its phases, each timed alone with the
// same routines and the same visible window, and then the whole procedure
// in this process. Also what the coalescing saves: one progress step sent
// straight to the bar's window, and one empty check of the message queue,
// each timed and multiplied by the install's number of steps. And the
// window's own start and end: one show of the main form (its show
// animation) and one change of its activation (its caption covered while
// the system handles it), as often as the runs ask.
//
//   InstallPhasesBench.exe [runs]   (bench/installer/install-bench.sh runs it)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "installer/InstallProcedure.h"
#include "installer/PayloadFiles.h"
#include "installer/ProgramMain.h"
#include "installer/SDIMAIN.h"
#include "InstalledProduct.h"
#include "vcl/Dialogs.h"
#include "vcl/Streams.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace installer;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double Time(const std::function<void()> &work) {
    const auto start = Clock::now();
    work();
    return Ms(Clock::now() - start);
}

std::int32_t Count(const PayloadFile &file) { return static_cast<std::int32_t>(file.Size); }
std::int32_t Steps(const PayloadFile &file) {
    return file.StepKind == TStepKind::ByteSteps ? Count(file) : Count(file) / 10;
}

const fs::path Folder = L"c:\\merkano_zuvo_phases";

// Keeps the conversion of the unbuffered files from being optimised away.
volatile std::uint8_t Sink;

void Convert() {
    for (const PayloadFile &file : PayloadFiles()) {
        for (std::int32_t i = 0; i < Count(file); ++i) {
            const std::uint8_t byte = HexPairToByte(file.Element(i));
            if (file.Buffer) file.Buffer[i] = byte;
            else Sink = byte;
        }
    }
}

void Step(TSDIAppForm &form) {
    for (const PayloadFile &file : PayloadFiles()) {
        form.ProgressBar1->SetMax(Steps(file));
        form.ProgressBar1->SetPosition(0);
        for (std::int32_t s = 0; s < Steps(file); ++s) form.ProgressBar1->StepIt();
        form.ProgressBar2->StepIt();
    }
    form.ProgressBar2->SetPosition(0);
}

void Pump() {
    for (const PayloadFile &file : PayloadFiles())
        for (std::int32_t s = 1; s <= Steps(file); ++s)
            if (s % 64 == 0) vcl::Application->ProcessMessagesThrottled();
    for (int i = 0; i < 6; ++i) vcl::Application->ProcessMessages();  // after the status texts
}

// Writes the eleven files as the install does: what Convert left in the
// buffers in one block, files 5 and 6 (written "byte by byte") in blocks
// of the install's byte writer, bytes of no interest here.
void Write(bool byteByByteOnly = false) {
    fs::create_directories(Folder);
    static const std::vector<std::uint8_t> block(16384);
    for (const PayloadFile &file : PayloadFiles()) {
        if (byteByByteOnly && file.Buffer) continue;
        vcl::TFileStream target("c:\\merkano_zuvo_phases\\" + std::string(file.InstalledName), vcl::fmCreate);
        if (file.Buffer) {
            target.WriteBuffer(file.Buffer, static_cast<std::size_t>(Count(file)));
        } else {
            for (std::int32_t i = 0; i < Count(file); i += static_cast<std::int32_t>(block.size()))
                target.WriteBuffer(block.data(), std::min<std::size_t>(block.size(), static_cast<std::size_t>(Count(file) - i)));
        }
    }
}

// Counts the messages that bring the bars' windows up to date.
struct TUpdateCounter {
    vcl::TWndMethod Previous;
    int Updates = 0;
    void Proc(vcl::TMessage &Message) {
        if (Message.Msg == PBM_SETPOS || Message.Msg == PBM_SETRANGE32) ++Updates;
        Previous(Message);
    }
};

// The whole procedure in this process, until "Hotovo" shows; then answered.
// Updates: how often the bars' windows were brought up to date meanwhile.
double WholeProcedure(TSDIAppForm &form, int &Updates) {
    test::CleanInstall();
    std::optional<Clock::time_point> shown;
    struct TAnswer {
        std::optional<Clock::time_point> *Shown;
        void Tick(vcl::TObject *) {
            for (int i = 0; i < vcl::Screen->FormCount(); ++i)
                if (auto *box = dynamic_cast<vcl::TMessageForm *>(vcl::Screen->Forms(i)); box && box->Modal()) {
                    if (!*Shown) *Shown = Clock::now();
                    box->SetModalResult(vcl::mrOk);
                }
        }
    } answer{&shown};
    std::unique_ptr<vcl::TTimer> timer(vcl::Create<vcl::TTimer>(nullptr));
    timer->SetInterval(1);
    timer->OnTimer = vcl::TNotifyEvent::Bind<&TAnswer::Tick>(&answer);
    form.Show();
    TUpdateCounter bar1{form.ProgressBar1->WindowProc}, bar2{form.ProgressBar2->WindowProc};
    form.ProgressBar1->WindowProc = vcl::TWndMethod::Bind<&TUpdateCounter::Proc>(&bar1);
    form.ProgressBar2->WindowProc = vcl::TWndMethod::Bind<&TUpdateCounter::Proc>(&bar2);
    const auto start = Clock::now();
    InstallProduct(form, PayloadFiles());
    const double ms = shown ? Ms(*shown - start) : -1;
    form.ProgressBar1->WindowProc = bar1.Previous;
    form.ProgressBar2->WindowProc = bar2.Previous;
    Updates = bar1.Updates + bar2.Updates;
    // The install started the product, went into its folder and put its
    // shortcut: undone for the next run.
    test::WaitForStartedProduct();
    test::CleanInstall();
    return ms;
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    vcl::Application->Initialize();
    vcl::Application->SetTitle(ApplicationTitle);
    std::unique_ptr<TSDIAppForm> form(vcl::Create<TSDIAppForm>(vcl::Application));
    form->Show();
    vcl::Application->ProcessMessages();

    std::int64_t elements = 0, steps = 0;
    for (const PayloadFile &file : PayloadFiles()) {
        elements += file.Size;
        steps += Steps(file);
    }

    std::vector<double> convert, step, pump, write, writeBytes, whole, updates;
    for (int i = 0; i < runs + 1; ++i) {  // the first run is not counted
        const double c = Time(Convert);
        const double s = Time([&] { Step(*form); });
        const double p = Time(Pump);
        const double w = Time([] { Write(); });
        const double b = Time([] { Write(true); });
        int windowUpdates = 0;
        const double all = WholeProcedure(*form, windowUpdates);
        std::error_code ignored;
        fs::remove_all(Folder, ignored);
        if (i == 0) continue;
        convert.push_back(c);
        step.push_back(s);
        pump.push_back(p);
        write.push_back(w);
        writeBytes.push_back(b);
        whole.push_back(all);
        updates.push_back(windowUpdates);
    }

    // Without coalescing: each step repaints the bar's window at once, and
    // each step is followed by a look at the message queue.
    form->Show();
    vcl::Application->ProcessMessages();
    HWND bar = form->ProgressBar1->Handle();
    SendMessageW(bar, PBM_SETRANGE32, 0, 1000000);
    const int probes = 2000;
    const double stepItEach = Time([&] {
        for (int i = 0; i < probes; ++i) SendMessageW(bar, PBM_STEPIT, 0, 0);
    }) / probes;
    const int peeks = 100000;
    const double peekEach = Time([] {
        MSG msg;
        for (int i = 0; i < peeks; ++i) PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }) / peeks;

    // The window's start and end, each alone.
    std::vector<double> show, activation;
    for (int i = 0; i < 4 * runs + 1; ++i) {
        form->Hide();
        vcl::Application->ProcessMessages();
        const double s = Time([&] { form->Show(); });
        vcl::Application->ProcessMessages();
        const double a = Time([&] {
            SendMessageW(form->Handle(), WM_NCACTIVATE, FALSE, 0);
            SendMessageW(form->Handle(), WM_NCACTIVATE, TRUE, 0);
        }) / 2;
        if (i == 0) continue;
        show.push_back(s);
        activation.push_back(a);
    }

    std::printf("%lld elements, %lld progress steps; %d runs, medians\n", static_cast<long long>(elements),
                static_cast<long long>(steps), runs);
    std::printf("%-52s %9.1f ms\n", "conversion of every element (HexPairToByte)", Median(convert));
    std::printf("%-52s %9.1f ms\n", "progress steps (StepIt, window coalesced)", Median(step));
    std::printf("%-52s %9.1f ms\n", "pumping (due after 10 ms, asked every 64th step)", Median(pump));
    std::printf("%-52s %9.1f ms\n", "writing the eleven files", Median(write));
    std::printf("%-52s %9.1f ms\n", "  of which files 5 and 6, through the byte writer", Median(writeBytes));
    std::printf("%-52s %9.1f ms\n", "sum of the phases", Median(convert) + Median(step) + Median(pump) + Median(write));
    std::printf("%-52s %9.1f ms\n", "the whole procedure here, to Hotovo", Median(whole));
    std::printf("%-52s %9.0f\n", "  bar window updates during it", Median(updates));
    std::printf("%-52s %9.3f ms -> %8.0f ms for all steps\n", "one step sent straight to the bar's window",
                stepItEach, stepItEach * static_cast<double>(steps));
    std::printf("%-52s %9.4f ms -> %8.0f ms for all steps\n", "one empty look at the message queue", peekEach,
                peekEach * static_cast<double>(steps));
    std::printf("%-52s %9.2f ms\n", "one show of the main form (its show animation)", Median(show));
    std::printf("%-52s %9.2f ms\n", "one activation change of it (caption covered)", Median(activation));
    return 0;
}
