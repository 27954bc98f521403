#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

// Wine's debugger takes an unhandled exception and ends the program with
// exit code 0, so a crash would pass for a clean run: the program ends
// itself first, with a code that fails it.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS *Exception) {
    std::fprintf(stderr, "\nUnhandled exception 0x%08lX at %p: the test program ends.\n",
                 static_cast<unsigned long>(Exception->ExceptionRecord->ExceptionCode),
                 Exception->ExceptionRecord->ExceptionAddress);
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
    SetUnhandledExceptionFilter(EndOnCrash);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
