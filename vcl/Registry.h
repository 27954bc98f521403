#pragma once
// Reading the registry: TRegistry opens one key at a time under a root key
// (the current user's by default) and reads its values; TRegIniFile reads
// a key like an ini file, sections being sub-keys. Names and values are
// UTF-8; the wide calls do the work. Windows only.
#include <windows.h>

#include <string>

#include "System.h"

namespace vcl {

// Owns one opened registry key (never a predefined root such as HKEY_CURRENT_USER).
class TRegKey {
public:
    TRegKey() = default;
    explicit TRegKey(HKEY Key) : FKey(Key) {}
    TRegKey(TRegKey &&other) noexcept : FKey(other.Release()) {}
    TRegKey &operator=(TRegKey &&other) noexcept;
    TRegKey(const TRegKey &) = delete;
    TRegKey &operator=(const TRegKey &) = delete;
    ~TRegKey() { Reset(); }

    HKEY Get() const { return FKey; }
    explicit operator bool() const { return FKey != nullptr; }
    void Reset(HKEY Key = nullptr);
    HKEY Release();

private:
    HKEY FKey = nullptr;
};

class TRegistry : public TObject {
    VCL_CLASS(TRegistry, TObject)
public:
    // Access is what OpenKey asks for; OpenKeyReadOnly asks for reading only.
    explicit TRegistry(REGSAM Access = KEY_ALL_ACCESS);

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);  // closes the current key
    HKEY CurrentKey() const { return FCurrentKey.Get(); }
    const std::string &CurrentPath() const { return FCurrentPath; }

    // Key is relative to the current key when one is open and Key does not
    // start with '\', else to the root key. Answers whether the key is open.
    bool OpenKey(const std::string &Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string &Key);
    void CloseKey();
    bool KeyExists(const std::string &Key) const;
    bool ValueExists(const std::string &Name) const;

    // A string value (REG_SZ or REG_EXPAND_SZ, not expanded); "" when the
    // value or the open key is missing. Raises ERegistryException for a
    // value of another type.
    std::string ReadString(const std::string &Name) const;
    // A REG_DWORD value. Raises ERegistryException naming the value when
    // it is missing, when no key is open, or when it is not an integer.
    int ReadInteger(const std::string &Name) const;

protected:
    // The key to resolve Key against, and the path without a leading '\'.
    HKEY BaseFor(const std::string &Key, std::string &Path) const;

private:
    bool Open(const std::string &Key, REGSAM Access, bool CanCreate);

    HKEY FRootKey = HKEY_CURRENT_USER;  // predefined: not owned
    TRegKey FCurrentKey;
    std::string FCurrentPath;
    REGSAM FAccess;
};

// Reads a key of the current user's registry as an ini file: a section is a
// sub-key of it, an ident a value of that sub-key. The key is opened for
// reading and not created when it is missing (reads then give defaults).
class TRegIniFile : public TRegistry {
    VCL_CLASS(TRegIniFile, TRegistry)
public:
    explicit TRegIniFile(const std::string &FileName);

    const std::string &FileName() const { return FFileName; }
    using TRegistry::ReadInteger;
    using TRegistry::ReadString;
    // Value Ident of sub-key Section (of the key itself when Section is
    // empty); Default when either is missing or the value is not a string.
    std::string ReadString(const std::string &Section, const std::string &Ident, const std::string &Default) const;
    // A REG_DWORD value, or a string holding a decimal number; else Default.
    int ReadInteger(const std::string &Section, const std::string &Ident, int Default) const;

private:
    std::string FFileName;
};

} // namespace vcl
