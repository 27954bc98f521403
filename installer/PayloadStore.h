#pragma once
// The payload store: what is fixed about the product's eleven stored files
// before any payload exists (names, identifiers, how the install writes them),
// and the conversion of one stored element back into its byte. Portable.
//
// The stored data itself is the generated module Unit1 (see PayloadFiles.h);
// PayloadGenerator.h writes it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace installer {

// How the install advances the per-file progress bar: after every byte, or
// after every tenth byte with the bar's maximum at N div 10.
enum class TStepKind { ByteSteps, TenByteSteps };

// One stored file, in install order. BufferName is the work buffer the
// generated module declares for it (var_<id> or var_max_<id>); SourceName is
// the file's name in the generator's source folder, which differs from the
// installed name for the licence.
struct PayloadFileInfo {
    std::string_view InstalledName;
    std::string_view Identifier;
    std::string_view SourceName;
    std::string_view BufferName;
    TStepKind StepKind;
    std::string_view CreateFailedMessage;
};

inline constexpr std::size_t PayloadFileCount = 11;

// The eleven files in install order, which is also the order of the
// declarations in Unit1 and the order in which the generator writes them.
const std::array<PayloadFileInfo, PayloadFileCount> &PayloadFileInfos();

// The sentinel that closes every stored file's element array.
inline constexpr std::string_view PayloadSentinel = "==";

// One stored element ("4D") to its byte: "$" + element read by StrToInt, low
// eight bits. Anything that is not a hexadecimal number raises EConvertError.
std::uint8_t HexPairToByte(std::string_view element);

} // namespace installer
