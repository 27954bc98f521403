// Form descriptions stored in the program's resources.
#include "FormReader.h"
#include "ResourceStream.h"

namespace vcl {

std::unique_ptr<TStream> ProgramResource(const std::string &Name) { return std::make_unique<TResourceStream>(Name); }

bool ReadComponentRes(TComponent &Root) {
    if (!TResourceStream::Exists(Root.ClassName())) return false;
    TResourceStream res(Root.ClassName());
    std::string_view text(reinterpret_cast<const char *>(res.Memory()), static_cast<std::size_t>(res.Size()));
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte order mark
    ReadComponentText(Root, text, ProgramResource, Root.ClassName());
    return true;
}

} // namespace vcl
