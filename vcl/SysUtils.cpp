#include "SysUtils.h"

#include <algorithm>
#include <limits>

namespace vcl {

namespace {

char FoldUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char FoldLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads an integer of `bits` width (32 or 64). Decimal text must fit the
// signed range; hexadecimal text may use every bit of the width.
bool ParseInteger(std::string_view text, int bits, std::int64_t &value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i < text.size() && text[i] == '$') {
        ++i;
        if (i == text.size()) return false;
        const int maxDigits = bits / 4;
        std::uint64_t v = 0;
        int digits = 0;
        for (; i < text.size(); ++i) {
            const int h = HexValue(text[i]);
            if (h < 0) return false;
            if (v == 0 && h == 0) continue;  // leading zeros do not count against the width
            if (++digits > maxDigits) return false;
            v = v << 4 | static_cast<unsigned>(h);
        }
        if (negative) v = ~v + 1;
        value = bits == 32 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(v)) : static_cast<std::int64_t>(v);
        return true;
    }
    if (i == text.size()) return false;
    // Accumulate as a negative number so that the most negative value fits.
    const std::int64_t limit = bits == 32 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int64_t>::min();
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        const int d = c - '0';
        if (v < (limit + d) / 10) return false;
        v = v * 10 - d;
    }
    if (!negative) {
        if (v == limit) return false;
        v = -v;
    }
    value = v;
    return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

std::size_t LastDelimiter(std::string_view fileName) {
    for (std::size_t i = fileName.size(); i > 0; --i)
        if (IsPathDelimiter(fileName[i - 1]) || fileName[i - 1] == ':') return i - 1;
    return std::string_view::npos;
}

// Position of the extension's dot, or npos when the name part has none.
std::size_t ExtensionDot(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t delim = LastDelimiter(fileName);
    if (dot == std::string_view::npos || (delim != std::string_view::npos && dot < delim)) return std::string_view::npos;
    return dot;
}

} // namespace

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string HexDigits(std::uint64_t value, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.push_back(hex[value & 15]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < digits) out.append(static_cast<std::size_t>(digits) - out.size(), '0');
    std::reverse(out.begin(), out.end());
    return out;
}

bool TryStrToInt(std::string_view text, std::int32_t &value) {
    std::int64_t v;
    if (!ParseInteger(text, 32, v)) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t StrToInt(std::string_view text) {
    std::int32_t v;
    if (!TryStrToInt(text, v)) RaiseNotInteger(text);
    return v;
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue) {
    std::int32_t v;
    return TryStrToInt(text, v) ? v : defaultValue;
}

bool TryStrToInt64(std::string_view text, std::int64_t &value) { return ParseInteger(text, 64, value); }

std::int64_t StrToInt64(std::string_view text) {
    std::int64_t v;
    if (!TryStrToInt64(text, v)) RaiseNotInteger(text);
    return v;
}

std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue) {
    std::int64_t v;
    return TryStrToInt64(text, v) ? v : defaultValue;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char &c : out) c = FoldUpper(c);
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char &c : out) c = FoldLower(c);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(FoldUpper(a[i]));
        const auto cb = static_cast<unsigned char>(FoldUpper(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int CompareStr(std::string_view a, std::string_view b) {
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::string TrimLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text) {
    std::size_t n = text.size();
    while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= ' ') --n;
    return std::string(text.substr(0, n));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

std::string ExtractFilePath(std::string_view fileName) {
    const std::size_t d = LastDelimiter(fileName);
    return d == std::string_view::npos ? std::string() : std::string(fileName.substr(0, d + 1));
}

std::string ExtractFileName(std::string_view fileName) {
    const std::size_t d = LastDelimiter(fileName);
    return std::string(d == std::string_view::npos ? fileName : fileName.substr(d + 1));
}

std::string ExtractFileExt(std::string_view fileName) {
    const std::size_t dot = ExtensionDot(fileName);
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
    const std::size_t dot = ExtensionDot(fileName);
    std::string out(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
    out += extension;
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string out(path);
    if (out.empty() || !IsPathDelimiter(out.back())) out.push_back(PathDelim);
    return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    std::string out(path);
    if (!out.empty() && IsPathDelimiter(out.back())) out.pop_back();
    return out;
}

void ChDir(const std::string &directory) {
    if (!SetCurrentDir(directory)) {
        const int code = GetLastOSError();
        throw EInOutError("Cannot change the current folder to \"" + directory + "\": " + SysErrorMessage(code), code);
    }
}

} // namespace vcl
