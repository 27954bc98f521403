#pragma once
// The payload generator: reads the product's files from a folder and writes
// the C++ module Unit1.h that declares each file's size constant and element
// array, which the next build of the installer compiles in (the work buffers
// are the installer's own, PayloadFiles.cpp).
// Portable: the build runs it over the payload folder, the hidden generator
// button over C:\merkzuvo\.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace installer {

// One file to store: its name in the source folder and the identifier of its
// declarations.
struct TGeneratorSource {
    std::string SourceName;
    std::string Identifier;
};

// Told the size of each file once it is written to the module.
using TFileGeneratedEvent = std::function<void(std::int64_t size)>;

// The eleven files under their names in the product's source folder, in
// install order.
std::vector<TGeneratorSource> GeneratorSources();

// Writes the module for sources, read from sourceFolder (with or without a
// trailing separator), to outputPath, which is created anew. A source that
// cannot be read and a failed write raise the class library's stream or I/O
// exception; what was written up to the failing file stays, and every file
// opened here is closed again.
void GeneratePayloadModule(const std::string &sourceFolder, std::span<const TGeneratorSource> sources,
                           const std::string &outputPath, const TFileGeneratedEvent &onFileGenerated = {});

} // namespace installer
