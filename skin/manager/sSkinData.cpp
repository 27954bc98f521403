#include "sSkinData.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "vcl/SysUtils.h"

namespace skin {

VCL_CLASS_INFO(TsSkinData)

std::string ResolveSkinDirectoryOf(std::string_view S, std::string_view A) {
    std::string result;
    if (S.substr(0, 2) == "..") {
        // The program's folder without its last folder: drop the delimiter
        // that ends it, then up to the delimiter before.
        std::string up(A);
        if (!up.empty()) up.pop_back();
        while (!up.empty() && up.back() != '/' && up.back() != '\\') up.pop_back();
        result = up + std::string(S.size() > 3 ? S.substr(3) : std::string_view());
    } else if (S.substr(0, 2) == ".\\" || S.substr(0, 2) == "./") {
        result = std::string(A) + std::string(S.substr(2));
    } else if (S == ".") {
        result = std::string(A);
    } else if (S.find(':') == std::string_view::npos && S.find("\\\\") == std::string_view::npos) {
        result = std::string(A) + std::string(S);
    } else {
        result = std::string(S);
    }
    if (result.empty() || result.back() != '\\') result += '\\';
    return result;
}

std::string StripPackedExtension(std::string_view SkinName) {
    if (SkinName.size() > 4 && vcl::UpperCase(SkinName.substr(SkinName.size() - 4)) == ".GMZ")
        SkinName.remove_suffix(4);
    return std::string(SkinName);
}

int DPIClassOf(int AppliedDPI) {
    if (AppliedDPI < 120) return 0;
    return AppliedDPI < 144 ? 1 : 2;
}

namespace {

// A whole number in base-10^9 limbs, the lowest first: room for the exact
// value of any double made whole by a power of two or five (767 digits).
class TWholeNumber {
public:
    explicit TWholeNumber(std::uint64_t Value) {
        for (; Value; Value /= kLimbBase) FLimbs[FCount++] = static_cast<std::uint32_t>(Value % kLimbBase);
    }

    // Times Base to the power Count, in steps of as many factors as keep
    // a limb times the step within 64 bits.
    void MultiplyByPower(std::uint32_t Base, int Count) {
        while (Count > 0) {
            std::uint64_t step = 1;
            for (; Count > 0 && step * Base <= 0xFFFFFFFFu; --Count) step *= Base;
            std::uint64_t carry = 0;
            for (int i = 0; i < FCount; ++i) {
                const std::uint64_t v = FLimbs[i] * step + carry;
                FLimbs[i] = static_cast<std::uint32_t>(v % kLimbBase);
                carry = v / kLimbBase;
            }
            for (; carry; carry /= kLimbBase) FLimbs[FCount++] = static_cast<std::uint32_t>(carry % kLimbBase);
        }
    }

    // The decimal digits, without leading zeros.
    std::string Digits() const {
        std::string text;
        for (int i = FCount - 1; i >= 0; --i) {
            char limb[9];
            std::uint32_t v = FLimbs[i];
            for (int k = 8; k >= 0; --k, v /= 10) limb[k] = static_cast<char>('0' + v % 10);
            text.append(limb, 9);
        }
        return text.substr(std::min(text.find_first_not_of('0'), text.size()));
    }

private:
    static constexpr std::uint32_t kLimbBase = 1000000000;
    std::array<std::uint32_t, 90> FLimbs{};
    int FCount = 0;
};

// Cuts Digits (the first not 0) to Count digits, rounding to nearest with
// ties to even; a carry out of the first digit raises Exponent.
void RoundDigits(std::string &Digits, int &Exponent, std::size_t Count) {
    if (Digits.size() <= Count) return;
    const char next = Digits[Count];
    const bool beyondHalf = Digits.find_first_not_of('0', Count + 1) != std::string::npos;
    const bool up = next > '5' || (next == '5' && (beyondHalf || (Digits[Count - 1] - '0') % 2 == 1));
    Digits.resize(Count);
    if (!up) return;
    std::size_t i = Count;
    while (i > 0 && Digits[i - 1] == '9') Digits[--i] = '0';
    if (i > 0) {
        ++Digits[i - 1];
    } else {
        Digits.insert(Digits.begin(), '1');
        Digits.pop_back();
        ++Exponent;
    }
}

} // namespace

std::string VersionText(double Version) {
    // As the number was typed: 15 significant digits, trailing zeros dropped,
    // an exponent from 1e15 and below 1e-4 (C's "%.15g"), but always with
    // '.' whatever the user's locale. Written by hand: the standard library's
    // float formatting would add some 180 KB to the program.
    constexpr std::size_t kSignificant = 15;
    const auto bits = std::bit_cast<std::uint64_t>(Version);
    std::string text = bits >> 63 ? "-" : "";
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased == 0x7FF) return text + (mantissa ? "nan" : "inf");
    if (biased == 0 && mantissa == 0) return text + "0";
    if (biased != 0) mantissa |= std::uint64_t(1) << 52;
    // The value is mantissa * 2^power = whole * 10^min(power, 0).
    const int power = biased != 0 ? biased - 1075 : -1074;
    TWholeNumber whole(mantissa);
    whole.MultiplyByPower(power >= 0 ? 2 : 5, power >= 0 ? power : -power);
    std::string digits = whole.Digits();
    int exponent = static_cast<int>(digits.size()) - 1 + std::min(power, 0);
    RoundDigits(digits, exponent, kSignificant);
    digits.erase(digits.find_last_not_of('0') + 1);
    const int count = static_cast<int>(digits.size());
    if (exponent >= -4 && exponent < static_cast<int>(kSignificant)) {
        if (exponent < 0) return text + "0." + std::string(-exponent - 1, '0') + digits;
        if (count <= exponent + 1) return text + digits + std::string(exponent + 1 - count, '0');
        return text + digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    }
    text += digits[0];
    if (count > 1) text += "." + digits.substr(1);
    text += exponent < 0 ? "e-" : "e+";
    if (exponent > -10 && exponent < 10) text += '0';
    return text + std::to_string(exponent < 0 ? -exponent : exponent);
}

} // namespace skin
