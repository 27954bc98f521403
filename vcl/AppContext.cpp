#include "AppContext.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "WideText.h"

namespace vcl {
namespace {

TErrorReporter &Reporter() {
    static TErrorReporter reporter;
    return reporter;
}

// Constant-initialised: the application sets it before dynamic
// initialisation reaches this module.
constinit std::atomic<DWORD> UIThread{0};

} // namespace

TErrorReporter SetErrorReporter(TErrorReporter Reporter) { return std::exchange(vcl::Reporter(), Reporter); }

void ReportException(TObject *Sender) noexcept {
    try {
        if (const TErrorReporter reporter = Reporter()) {
            reporter(Sender);
            return;
        }
        WriteUnreportedError(CurrentExceptionMessage());
    } catch (...) {
        WriteUnreportedError("An error occurred while an error was reported");
    }
}

void WriteUnreportedError(const std::string &Message) noexcept {
    try {
        const std::string line = "Error: " + Message + "\n";
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        OutputDebugStringW(Utf8ToWide(line).c_str());
    } catch (...) {
        // Out of memory for the text: nothing is left to tell it with.
    }
}

std::string CurrentExceptionMessage() {
    try {
        throw;
    } catch (const Exception &e) {
        return e.Message();
    } catch (const std::exception &e) {
        return e.what();
    } catch (...) {
        return "An unknown error occurred";
    }
}

void SetUIThread() { UIThread = GetCurrentThreadId(); }

bool IsUIThread() {
    const DWORD owner = UIThread;
    return owner == 0 || owner == GetCurrentThreadId();
}

void CheckUIThread(const char *What) {
    if (IsUIThread()) return;
    const std::string message =
        std::string(What) + " was called on a thread that does not own the user interface";
#ifndef NDEBUG
    WriteUnreportedError(message);
    std::abort();
#else
    throw EInvalidOperation(message);
#endif
}

} // namespace vcl
