#include "ResourceStream.h"

#include <windows.h>

#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TResourceStream)

namespace {

HRSRC FindNamed(const std::string &name, const wchar_t *type, void *instance) {
    const std::wstring wide = Utf8ToWide(name);
    return FindResourceW(static_cast<HMODULE>(instance), wide.c_str(), type ? type : MAKEINTRESOURCEW(10));
}

} // namespace

TResourceStream::TResourceStream(const std::string &ResName, const wchar_t *ResType, void *Instance) {
    HRSRC info = FindNamed(ResName, ResType, Instance);
    HGLOBAL loaded = info ? LoadResource(static_cast<HMODULE>(Instance), info) : nullptr;
    const void *data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw EResNotFound("Resource " + ResName + " not found");
    // The bytes are read-only; Write refuses, so the non-const pointer is never written through.
    SetPointer(static_cast<std::uint8_t *>(const_cast<void *>(data)), SizeofResource(static_cast<HMODULE>(Instance), info));
}

bool TResourceStream::Exists(const std::string &ResName, const wchar_t *ResType, void *Instance) {
    return FindNamed(ResName, ResType, Instance) != nullptr;
}

std::size_t TResourceStream::Write(const void *, std::size_t) {
    throw EStreamError("Cannot write to a resource stream");
}

} // namespace vcl
