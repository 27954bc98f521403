#pragma once
// Writes the packed skin container that the skinning library reads
// (skin/manager/vlSkinConvertor.h): the signature, the entry count, then per
// entry the name, the unpacked size and the member as one zlib stream. Packed
// skin files (".gmz") and the Data of stored skins hold the same bytes.
#include <string>
#include <vector>

#include "SkinImage.h"

namespace skintools {

struct PackedMember {
    std::string Name;  // "Options.dat" for the options text, else a picture file name
    Bytes Data;
};

// Deterministic: the members in the order given, each compressed at the
// highest level, so the same members give the same bytes. A member without
// a name or larger than the reader takes raises ImageError.
Bytes PackSkin(const std::vector<PackedMember> &Members);

} // namespace skintools
