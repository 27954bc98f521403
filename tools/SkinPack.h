#pragma once
// The packed skin container: the signature "GMzf", a signed 32-bit entry
// count, then per entry a signed 32-bit name length, the name, the signed
// 32-bit unpacked size and the member as one zlib stream (its packed length
// is not stored: the next entry starts where the stream ends). All integers
// little-endian. Packed skin files (".gmz") and the Data of stored skins hold
// the same bytes.
#include <string>
#include <vector>

#include "SkinImage.h"

namespace skintools {

struct PackedMember {
    std::string Name;  // "Options.dat" for the options text, else a picture file name
    Bytes Data;
};

// Deterministic: the members in the order given, each compressed at the
// highest level, so the same members give the same bytes.
Bytes PackSkin(const std::vector<PackedMember> &Members);

// Reads every member back; throws ImageError on a damaged or truncated
// container (sizes are checked against what remains, never trusted).
std::vector<PackedMember> UnpackSkin(const Bytes &Packed);

} // namespace skintools
