#include "installer/PayloadStore.h"

#include "vcl/SysUtils.h"

#include <string>

namespace installer {

const std::array<PayloadFileInfo, PayloadFileCount> &PayloadFileInfos() {
    using enum TStepKind;
    static const std::array<PayloadFileInfo, PayloadFileCount> files = {{
        {"zuvoeet_dll.dll", "zuvoeet_dll_dll", "zuvoeet_dll.dll", ByteSteps, "Nelze vytvořit zuvoeet_dll.dll !"},
        {"eet_z.exe", "eet_z_exe", "eet_z.exe", TenByteSteps, "Nelze vytvořit eet_z.exe !"},
        {"eetzuvo.exe", "eetzuvo_exe", "eetzuvo.exe", TenByteSteps, "Nelze vytvořit eetzuvo.exe !"},
        {"merkzuvo.exe", "merkzuvo_exe", "merkzuvo.exe", TenByteSteps, "Nelze vytvořit merkzuvo.exe !"},
        {"Licence_MERKZUVO.pdf", "Licence_MERKZUVO_pdf", "Licence MERKANO ZUVO.pdf", ByteSteps,
         "Nelze vytvořit Licence_MERKZUVO.pdf !"},
        {"fiscal_test_cert.p12", "p01000003_p12", "fiscal_test_cert.p12", ByteSteps,
         "Nelze vytvořit fiscal_test_cert.p12 !"},
        {"Uživatelská příručka Merkano zuvo1-1.pdf", "prirucka", "Uživatelská příručka Merkano zuvo1-1.pdf",
         TenByteSteps, "Nelze vytvořit Merkano zuvo1-1.pdf !"},
        {"PdfQuill.dll", "PdfQuill", "PdfQuill.dll", TenByteSteps, "Nelze vytvořit PdfQuill.dll !"},
        {"PdfQuill.Charting.dll", "PdfQuillCharting", "PdfQuill.Charting.dll", TenByteSteps,
         "Nelze vytvořit PdfQuill.Charting.dll !"},
        {"pdfconv.exe", "pdfconv", "pdfconv.exe", TenByteSteps, "Nelze vytvořit pdfconv.exe !"},
        {"ticket.jpg", "ticket", "ticket.jpg", TenByteSteps, "Nelze vytvořit ticket.jpg !"},
    }};
    return files;
}

std::uint8_t detail::ElementToByteByStrToInt(std::string_view element) {
    std::string text = "$";
    text += element;
    return static_cast<std::uint8_t>(vcl::StrToInt(text) & 0xFF);
}

} // namespace installer
