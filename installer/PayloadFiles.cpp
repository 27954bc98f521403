#include "installer/PayloadFiles.h"

#include "Unit1.h" // generated from the payload folder at build time

namespace installer {

namespace {

using namespace Unit1;

// File 3 is collected in file 2's buffer. A product whose eetzuvo.exe outgrew
// eet_z.exe would write past that buffer: refuse to build it instead.
static_assert(max_eetzuvo_exe <= max_eet_z_exe, "eetzuvo.exe no longer fits into the buffer of eet_z.exe");

// The work buffers of N + 1 bytes, element i at index i - 1 as in the
// module. Zero-filled at run time: they take no room in the program file.
std::uint8_t var_zuvoeet_dll_dll[max_zuvoeet_dll_dll + 1];
std::uint8_t var_eet_z_exe[max_eet_z_exe + 1];
std::uint8_t var_merkzuvo_exe[max_merkzuvo_exe + 1];
std::uint8_t var_max_prirucka[max_prirucka + 1];
std::uint8_t var_max_PdfQuill[max_PdfQuill + 1];
std::uint8_t var_max_PdfQuillCharting[max_PdfQuillCharting + 1];
std::uint8_t var_max_pdfconv[max_pdfconv + 1];
std::uint8_t var_max_ticket[max_ticket + 1];

PayloadFile Entry(std::size_t index, std::int64_t size, const char *elements, std::uint8_t *buffer) {
    const PayloadFileInfo &info = PayloadFileInfos()[index];
    return {info.InstalledName, size, elements, buffer, info.StepKind, info.CreateFailedMessage};
}

} // namespace

const std::array<PayloadFile, PayloadFileCount> &PayloadFiles() {
    static const std::array<PayloadFile, PayloadFileCount> files = {
        Entry(0, max_zuvoeet_dll_dll, zuvoeet_dll_dll, var_zuvoeet_dll_dll),
        Entry(1, max_eet_z_exe, eet_z_exe, var_eet_z_exe),
        Entry(2, max_eetzuvo_exe, eetzuvo_exe, var_eet_z_exe),
        Entry(3, max_merkzuvo_exe, merkzuvo_exe, var_merkzuvo_exe),
        Entry(4, max_Licence_MERKZUVO_pdf, Licence_MERKZUVO_pdf, nullptr),
        Entry(5, max_p01000003_p12, p01000003_p12, nullptr),
        Entry(6, max_prirucka, prirucka, var_max_prirucka),
        Entry(7, max_PdfQuill, PdfQuill, var_max_PdfQuill),
        Entry(8, max_PdfQuillCharting, PdfQuillCharting, var_max_PdfQuillCharting),
        Entry(9, max_pdfconv, pdfconv, var_max_pdfconv),
        Entry(10, max_ticket, ticket, var_max_ticket),
    };
    return files;
}

} // namespace installer
