// Ini text, as skins carry their options, loads in either case mode and
// every value reads; what GetStrings gives loads into the same lines again.
#include "vcl/IniFiles.h"

namespace {

void Check(const vcl::TStringList &text, bool caseSensitive) {
    vcl::TMemIniFile ini;
    ini.SetCaseSensitive(caseSensitive);
    ini.SetStrings(text);
    vcl::TStringList sections, idents, first, second;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        ini.ReadSection(sections[s], idents);
        for (int i = 0; i < idents.Count(); ++i) {
            ini.ReadInteger(sections[s], idents[i], 0);
            ini.ReadFloat(sections[s], idents[i], 0);
        }
    }
    ini.GetStrings(first);
    vcl::TMemIniFile again;
    again.SetCaseSensitive(caseSensitive);
    again.SetStrings(first);
    again.GetStrings(second);
    if (first.Text() != second.Text()) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vcl::TStringList text;
    text.SetText({reinterpret_cast<const char *>(data), size});
    Check(text, false);
    Check(text, true);
    return 0;
}
