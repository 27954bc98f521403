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

// One stored file, in install order. SourceName is the file's name in the
// generator's source folder, which differs from the installed name for the
// licence.
struct PayloadFileInfo {
    std::string_view InstalledName;
    std::string_view Identifier;
    std::string_view SourceName;
    TStepKind StepKind;
    std::string_view CreateFailedMessage;
};

inline constexpr std::size_t PayloadFileCount = 11;

// The eleven files in install order, which is also the order of the
// declarations in Unit1 and the order in which the generator writes them.
const std::array<PayloadFileInfo, PayloadFileCount> &PayloadFileInfos();

// The sentinel that closes every stored file's element array.
inline constexpr std::string_view PayloadSentinel = "==";

namespace detail {

// The value of each character that is a hexadecimal digit; NotADigit for
// every other, a bit that no digit pair reaches.
inline constexpr std::uint16_t NotADigit = 0x100;
inline constexpr std::array<std::uint16_t, 256> HexDigitValues = [] {
    std::array<std::uint16_t, 256> values{};
    for (auto &v : values) v = NotADigit;
    for (int c = 0; c < 10; ++c) values['0' + c] = static_cast<std::uint16_t>(c);
    for (int c = 0; c < 6; ++c) {
        values['A' + c] = static_cast<std::uint16_t>(10 + c);
        values['a' + c] = static_cast<std::uint16_t>(10 + c);
    }
    return values;
}();

// StrToInt's reading of "$" + element, for whatever is not two digits.
std::uint8_t ElementToByteByStrToInt(std::string_view element);

} // namespace detail

// One stored element ("4D") to its byte: "$" + element read by StrToInt, low
// eight bits. Anything that is not a hexadecimal number raises EConvertError.
// Inline: the install converts millions of elements, and two digits, all the
// generator writes, are two lookups.
inline std::uint8_t HexPairToByte(std::string_view element) {
    if (element.size() == 2) {
        const unsigned value = detail::HexDigitValues[static_cast<unsigned char>(element[0])] << 4 |
                               detail::HexDigitValues[static_cast<unsigned char>(element[1])];
        if (value < detail::NotADigit) return static_cast<std::uint8_t>(value);
    }
    return detail::ElementToByteByStrToInt(element);
}

} // namespace installer
