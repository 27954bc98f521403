#include "installer/PayloadStore.h"

#include "vcl/SysUtils.h"

#include <string>

namespace installer {

const std::array<PayloadFileInfo, PayloadFileCount> &PayloadFileInfos() {
    using enum TStepKind;
    static const std::array<PayloadFileInfo, PayloadFileCount> files = {{
        {"zuvoeet_dll.dll", "zuvoeet_dll_dll", "zuvoeet_dll.dll", "var_zuvoeet_dll_dll", ByteSteps,
         "Nelze vytvořit zuvoeet_dll.dll !"},
        {"eet_z.exe", "eet_z_exe", "eet_z.exe", "var_eet_z_exe", TenByteSteps, "Nelze vytvořit eet_z.exe !"},
        {"eetzuvo.exe", "eetzuvo_exe", "eetzuvo.exe", "var_eetzuvo_exe", TenByteSteps,
         "Nelze vytvořit eetzuvo.exe !"},
        {"merkzuvo.exe", "merkzuvo_exe", "merkzuvo.exe", "var_merkzuvo_exe", TenByteSteps,
         "Nelze vytvořit merkzuvo.exe !"},
        {"Licence_MERKZUVO.pdf", "Licence_MERKZUVO_pdf", "Licence MERKANO ZUVO.pdf", "var_max_Licence_MERKZUVO_pdf",
         ByteSteps, "Nelze vytvořit Licence_MERKZUVO.pdf !"},
        {"fiscal_test_cert.p12", "p01000003_p12", "fiscal_test_cert.p12", "var_max_p01000003_p12", ByteSteps,
         "Nelze vytvořit fiscal_test_cert.p12 !"},
        {"Uživatelská příručka Merkano zuvo1-1.pdf", "prirucka", "Uživatelská příručka Merkano zuvo1-1.pdf",
         "var_max_prirucka", TenByteSteps, "Nelze vytvořit Merkano zuvo1-1.pdf !"},
        {"PdfQuill.dll", "PdfQuill", "PdfQuill.dll", "var_max_PdfQuill", TenByteSteps,
         "Nelze vytvořit PdfQuill.dll !"},
        {"PdfQuill.Charting.dll", "PdfQuillCharting", "PdfQuill.Charting.dll", "var_max_PdfQuillCharting",
         TenByteSteps, "Nelze vytvořit PdfQuill.Charting.dll !"},
        {"pdfconv.exe", "pdfconv", "pdfconv.exe", "var_max_pdfconv", TenByteSteps, "Nelze vytvořit pdfconv.exe !"},
        {"ticket.jpg", "ticket", "ticket.jpg", "var_max_ticket", TenByteSteps, "Nelze vytvořit ticket.jpg !"},
    }};
    return files;
}

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::uint8_t HexPairToByte(std::string_view element) {
    // Every element the generator writes is two hexadecimal digits, for which
    // StrToInt's reading of "$" + element is plainly digit * 16 + digit; the
    // install converts millions of them. Anything else takes StrToInt's way,
    // with its error.
    if (element.size() == 2) {
        const int high = HexDigitValue(element[0]), low = HexDigitValue(element[1]);
        if (high >= 0 && low >= 0) return static_cast<std::uint8_t>(high * 16 + low);
    }
    std::string text = "$";
    text += element;
    return static_cast<std::uint8_t>(vcl::StrToInt(text) & 0xFF);
}

} // namespace installer
