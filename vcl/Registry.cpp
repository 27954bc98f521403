#include "Registry.h"

#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TRegistry)
VCL_CLASS_INFO(TRegIniFile)

namespace {

struct TValue {
    DWORD Type = REG_NONE;
    std::wstring Text;  // REG_SZ, REG_EXPAND_SZ
    DWORD Number = 0;   // REG_DWORD
};

// Reads value Name of Key; false when the key or the value is missing.
bool QueryValue(HKEY Key, const std::string &Name, TValue &Value) {
    if (!Key) return false;
    const std::wstring name = Utf8ToWide(Name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(Key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    Value.Type = type;
    if (type == REG_DWORD) {
        size = sizeof Value.Number;
        return RegQueryValueExW(Key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&Value.Number), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return true;
    // The value may change between the two calls: retry while it grows.
    for (;;) {
        std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG r = RegQueryValueExW(Key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer.data()), &bytes);
        if (r == ERROR_MORE_DATA) {
            size = bytes;
            continue;
        }
        if (r != ERROR_SUCCESS) return false;
        // Stored strings need not end with a zero; cut at the first one.
        buffer.resize(bytes / sizeof(wchar_t));
        const std::size_t zero = buffer.find(L'\0');
        if (zero != std::wstring::npos) buffer.resize(zero);
        Value.Text = std::move(buffer);
        Value.Type = type;
        return true;
    }
}

// Reads value Ident of sub-key Section of Key (of Key itself when Section is empty).
bool QuerySectionValue(HKEY Key, const std::string &Section, const std::string &Ident, TValue &Value) {
    if (!Key) return false;
    if (Section.empty()) return QueryValue(Key, Ident, Value);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(Key, Utf8ToWide(Section).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    const TRegKey section(opened);
    return QueryValue(section.Get(), Ident, Value);
}

} // namespace

// TRegKey

TRegKey &TRegKey::operator=(TRegKey &&other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
}

void TRegKey::Reset(HKEY Key) {
    if (FKey) RegCloseKey(FKey);
    FKey = Key;
}

HKEY TRegKey::Release() {
    HKEY key = FKey;
    FKey = nullptr;
    return key;
}

// TRegistry

TRegistry::TRegistry(REGSAM Access) : FAccess(Access) {}

void TRegistry::SetRootKey(HKEY Value) {
    CloseKey();
    FRootKey = Value;
}

HKEY TRegistry::BaseFor(const std::string &Key, std::string &Path) const {
    const bool absolute = !Key.empty() && Key[0] == '\\';
    Path = absolute ? Key.substr(1) : Key;
    return absolute || !FCurrentKey ? FRootKey : FCurrentKey.Get();
}

bool TRegistry::Open(const std::string &Key, REGSAM Access, bool CanCreate) {
    std::string path;
    HKEY base = BaseFor(Key, path);
    const bool relative = base != FRootKey;
    const std::wstring wide = Utf8ToWide(path);
    HKEY opened = nullptr;
    const LONG r = CanCreate ? RegCreateKeyExW(base, wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access, nullptr, &opened, nullptr)
                             : RegOpenKeyExW(base, wide.c_str(), 0, Access, &opened);
    if (r != ERROR_SUCCESS) return false;
    FCurrentPath = relative && !FCurrentPath.empty() ? FCurrentPath + "\\" + path : path;
    FCurrentKey.Reset(opened);
    return true;
}

bool TRegistry::OpenKey(const std::string &Key, bool CanCreate) { return Open(Key, FAccess, CanCreate); }

bool TRegistry::OpenKeyReadOnly(const std::string &Key) { return Open(Key, KEY_READ, false); }

void TRegistry::CloseKey() {
    FCurrentKey.Reset();
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string &Key) const {
    std::string path;
    HKEY base = BaseFor(Key, path);
    HKEY opened = nullptr;
    const bool exists = RegOpenKeyExW(base, Utf8ToWide(path).c_str(), 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS;
    const TRegKey probe(opened);
    return exists;
}

bool TRegistry::ValueExists(const std::string &Name) const {
    TValue value;
    return QueryValue(FCurrentKey.Get(), Name, value);
}

std::string TRegistry::ReadString(const std::string &Name) const {
    TValue value;
    if (!QueryValue(FCurrentKey.Get(), Name, value)) return {};
    if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ)
        throw ERegistryException("Invalid data type for '" + Name + "': not a string");
    return WideToUtf8(value.Text);
}

int TRegistry::ReadInteger(const std::string &Name) const {
    TValue value;
    if (!QueryValue(FCurrentKey.Get(), Name, value))
        throw ERegistryException("Cannot read the registry value '" + Name + "'" +
                                 (FCurrentKey ? " of " + FCurrentPath : std::string(": no key is open")));
    if (value.Type != REG_DWORD) throw ERegistryException("Invalid data type for '" + Name + "': not an integer");
    return static_cast<int>(value.Number);
}

// TRegIniFile

TRegIniFile::TRegIniFile(const std::string &FileName) : TRegistry(KEY_READ), FFileName(FileName) {
    OpenKeyReadOnly(FileName);
}

std::string TRegIniFile::ReadString(const std::string &Section, const std::string &Ident, const std::string &Default) const {
    TValue value;
    if (!QuerySectionValue(CurrentKey(), Section, Ident, value) || (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ))
        return Default;
    return WideToUtf8(value.Text);
}

int TRegIniFile::ReadInteger(const std::string &Section, const std::string &Ident, int Default) const {
    TValue value;
    if (!QuerySectionValue(CurrentKey(), Section, Ident, value)) return Default;
    if (value.Type == REG_DWORD) return static_cast<int>(value.Number);
    if (value.Type == REG_SZ) return StrToIntDef(WideToUtf8(value.Text), Default);
    return Default;
}

} // namespace vcl
