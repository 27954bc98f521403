#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

// Wine ends a process whose crash reached its debugger with exit code 0: the
// crash is reported here and ends the run with a code of its own instead (not
// the exception's: only its low byte reaches the test runner, and that can
// be 0).
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS *Info) {
    const EXCEPTION_RECORD *record = Info ? Info->ExceptionRecord : nullptr;
    const DWORD code = record ? record->ExceptionCode : 0;
    std::fprintf(stderr, "Unhandled exception 0x%08lx at %p\n", static_cast<unsigned long>(code),
                 record ? record->ExceptionAddress : nullptr);
    std::fflush(stderr);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace
#endif

int main(int argc, char **argv) {
#ifdef _WIN32
    // A crashing test must fail the run, not wait for a click on an error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(FailOnCrash);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
