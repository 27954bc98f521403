#pragma once
// The stored files of the generated module Unit1, as the install procedure
// iterates them: one entry per file in install order, joining what the
// payload store fixes (PayloadStore.h) with the module's declarations and the
// install's work buffers.
//
// Only PayloadFiles.cpp includes the generated Unit1.h: its millions of
// elements are compiled once, in that one translation unit.
#include "installer/PayloadStore.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace installer {

struct PayloadFile {
    std::string_view InstalledName;
    std::int64_t Size;           // max_<id>: N
    const char *Elements;        // <id>: N elements of two characters, then the sentinel
    std::uint8_t *Buffer;        // where the install collects the bytes; nullptr: written byte by byte
    TStepKind StepKind;
    std::string_view CreateFailedMessage;

    // Element i counted from 0, as text ("4D"; "==" at index Size).
    std::string_view Element(std::int64_t i) const { return std::string_view(Elements + 2 * i, 2); }
};

// The eleven stored files in install order. File 3 (eetzuvo.exe) shares the
// larger buffer of file 2; files 5 and 6 have none.
const std::array<PayloadFile, PayloadFileCount> &PayloadFiles();

} // namespace installer
