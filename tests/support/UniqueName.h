#pragma once
// A name that no other test process picks at the same time, for scratch
// folders and registry keys. The process id keeps parallel runs apart:
// random_device gives the same sequence in every process on some platforms.
#include <atomic>
#include <random>
#include <string>

#ifdef _WIN32
#include <process.h>
#define ZUVO_TEST_PID _getpid()
#else
#include <unistd.h>
#define ZUVO_TEST_PID getpid()
#endif

namespace zuvotest {

inline std::string UniqueName(const std::string &prefix) {
    static std::atomic<unsigned> counter{0};
    return prefix + std::to_string(ZUVO_TEST_PID) + "-" + std::to_string(++counter) + "-" +
           std::to_string(std::random_device{}());
}

} // namespace zuvotest
