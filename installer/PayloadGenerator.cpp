#include "installer/PayloadGenerator.h"

#include "installer/PayloadStore.h"
#include "vcl/System.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

#ifdef _WIN32
#include "vcl/WideText.h"
#endif

namespace installer {

namespace {

// Interim file access until the class library's file stream is in place.
class TFile {
public:
    TFile(const std::string &path, const char *mode) : FPath(path) {
#ifdef _WIN32
        FFile = _wfopen(vcl::Utf8ToWide(path).c_str(), vcl::Utf8ToWide(mode).c_str());
#else
        FFile = std::fopen(path.c_str(), mode);
#endif
        if (!FFile)
            Fail("Cannot open file");
    }
    ~TFile() { std::fclose(FFile); }
    TFile(const TFile &) = delete;
    TFile &operator=(const TFile &) = delete;

    std::int64_t Size() {
        std::fseek(FFile, 0, SEEK_END);
        const long size = std::ftell(FFile);
        std::fseek(FFile, 0, SEEK_SET);
        return size;
    }
    void ReadBuffer(void *to, std::int64_t count) {
        if (std::fread(to, 1, static_cast<std::size_t>(count), FFile) != static_cast<std::size_t>(count))
            Fail("Read error");
    }
    void WriteBuffer(const void *from, std::int64_t count) {
        if (std::fwrite(from, 1, static_cast<std::size_t>(count), FFile) != static_cast<std::size_t>(count))
            Fail("Write error");
    }

private:
    [[noreturn]] void Fail(const char *what) { throw vcl::EInOutError(std::string(what) + " \"" + FPath + "\"", errno); }
    std::string FPath;
    std::FILE *FFile;
};

std::string TwoHexDigits(std::uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 15]};
}

// The module is read by compilers on every platform; CR LF is its fixed form.
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::size_t kElementsPerLine = 20;

void AppendLine(std::string &text, std::string_view line) {
    text += line;
    text += kLineBreak;
}

std::string SourcePath(const std::string &folder, const std::string &name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

// The whole file at once, so that the size constant and the number of
// elements written always agree, even if the file changes meanwhile.
std::vector<std::uint8_t> ReadSource(const std::string &path) {
    TFile file(path, "rb");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    if (!bytes.empty())
        file.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

// The declarations of one stored file: size constant, work buffer, and the
// element array with its sentinel, twenty elements to a line.
std::string StoredFileText(const TGeneratorSource &source, const std::vector<std::uint8_t> &bytes) {
    const std::string size = std::to_string(bytes.size());
    const std::string sizePlusOne = std::to_string(bytes.size() + 1);
    std::string text;
    text.reserve(bytes.size() * 5 + bytes.size() / kElementsPerLine * kLineBreak.size() + 256);
    AppendLine(text, " ");
    AppendLine(text, "   inline constexpr std::int64_t max_" + source.Identifier + " = " + size + ";");
    AppendLine(text, "inline std::uint8_t " + source.BufferName + "[" + sizePlusOne + "];");
    AppendLine(text, "inline constexpr char " + source.Identifier + "[" + sizePlusOne + "][3] = {");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += '"';
        text += TwoHexDigits(bytes[i]);
        text += "\",";
        if ((i + 1) % kElementsPerLine == 0)
            text += kLineBreak;
    }
    text += '"';
    text += PayloadSentinel;
    text += "\"};";
    text += kLineBreak;
    return text;
}

void Write(TFile &stream, const std::string &text) {
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

} // namespace

std::vector<TGeneratorSource> GeneratorSources() {
    std::vector<TGeneratorSource> sources;
    for (const PayloadFileInfo &file : PayloadFileInfos())
        sources.push_back({std::string(file.SourceName), std::string(file.Identifier), std::string(file.BufferName)});
    return sources;
}

void GeneratePayloadModule(const std::string &sourceFolder, std::span<const TGeneratorSource> sources,
                           const std::string &outputPath, const TFileGeneratedEvent &onFileGenerated) {
    TFile output(outputPath, "wb");
    std::string head;
    AppendLine(head, "#pragma once");
    AppendLine(head, "#include <cstdint>");
    AppendLine(head, "namespace Unit1 {");
    Write(output, head);
    for (const TGeneratorSource &source : sources) {
        const std::vector<std::uint8_t> bytes = ReadSource(SourcePath(sourceFolder, source.SourceName));
        Write(output, StoredFileText(source, bytes));
        if (onFileGenerated)
            onFileGenerated(static_cast<std::int64_t>(bytes.size()));
    }
    std::string tail;
    AppendLine(tail, " ");
    AppendLine(tail, "}");
    Write(output, tail);
}

} // namespace installer
