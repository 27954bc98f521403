// Form descriptions are read or refused with EParserError; a description
// that reads writes back as text that reads into the same text again.
#include "vcl/FormReader.h"
#include "vcl/FormWriter.h"

#include "../vcl/TestForm.h"

namespace {

using vcl::test::TTestForm;

std::unique_ptr<vcl::TStream> Resources(const std::string &name) {
    if (name != "R") return nullptr;
    auto s = std::make_unique<vcl::TMemoryStream>();
    s->WriteBuffer("data", 4);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vcl::test::Log.clear();
    std::string written;
    try {
        TTestForm form(nullptr);
        vcl::ReadComponentText(form, {reinterpret_cast<const char *>(data), size}, Resources);
        written = vcl::WriteComponentText(form);
    } catch (const vcl::EParserError &) {
        return 0;
    }
    TTestForm again(nullptr);
    vcl::ReadComponentText(again, written);
    if (vcl::WriteComponentText(again) != written) __builtin_trap();
    return 0;
}
