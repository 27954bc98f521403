#pragma once
// TResourceStream: reads a resource of the running module (RT_RCDATA by
// default) by name, without copying it. Windows only.
#include <string>

#include "Streams.h"

namespace vcl {

class TResourceStream : public TCustomMemoryStream {
    VCL_CLASS(TResourceStream, TCustomMemoryStream)
public:
    // Raises EResNotFound naming the resource when the module has none of
    // that name and type. Instance null means the program's own module.
    explicit TResourceStream(const std::string &ResName, const wchar_t *ResType = nullptr, void *Instance = nullptr);
    // True when the module holds the resource, so callers can test first.
    static bool Exists(const std::string &ResName, const wchar_t *ResType = nullptr, void *Instance = nullptr);

    // Raises: a resource is read-only. (Loaded resources stay mapped while
    // the module is loaded, so the stream has nothing to release.)
    std::size_t Write(const void *Buffer, std::size_t Count) override;
};

} // namespace vcl
