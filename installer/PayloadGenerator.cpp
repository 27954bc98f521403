#include "installer/PayloadGenerator.h"

#include "installer/PayloadStore.h"
#include "vcl/Streams.h"
#include "vcl/SysUtils.h"

#include <string_view>

namespace installer {

namespace {

// The module is read by compilers on every platform; CR LF is its fixed form.
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::size_t kElementsPerLine = 20;

void AppendLine(std::string &text, std::string_view line) {
    text += line;
    text += kLineBreak;
}

std::string SourcePath(const std::string &folder, const std::string &name) {
    return folder.empty() ? name : vcl::IncludeTrailingPathDelimiter(folder) + name;
}

// The whole file at once, so that the size constant and the number of
// elements written always agree, even if the file changes meanwhile.
std::vector<std::uint8_t> ReadSource(const std::string &path) {
    vcl::TFileStream file(path, vcl::fmOpenRead | vcl::fmShareDenyWrite);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    if (!bytes.empty())
        file.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

// The declarations of one stored file: the size constant and the elements as
// adjacent string literals, twenty to a line, closed by the sentinel. The
// compiler joins them into one array of two characters per element.
std::string StoredFileText(const TGeneratorSource &source, const std::vector<std::uint8_t> &bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 5 + bytes.size() / kElementsPerLine * kLineBreak.size() + 256);
    AppendLine(text, " ");
    AppendLine(text, "   inline constexpr std::int64_t max_" + source.Identifier + " = " + std::to_string(bytes.size()) + ";");
    AppendLine(text, "inline constexpr char " + source.Identifier + "[] =");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char element[] = {'"', kDigits[bytes[i] >> 4], kDigits[bytes[i] & 0xF], '"', ' '};
        text.append(element, sizeof element);
        if ((i + 1) % kElementsPerLine == 0)
            text += kLineBreak;
    }
    text += '"';
    text += PayloadSentinel;
    text += "\";";
    text += kLineBreak;
    return text;
}

void Write(vcl::TFileStream &stream, const std::string &text) {
    stream.WriteBuffer(text.data(), text.size());
}

} // namespace

std::vector<TGeneratorSource> GeneratorSources() {
    std::vector<TGeneratorSource> sources;
    for (const PayloadFileInfo &file : PayloadFileInfos())
        sources.push_back({std::string(file.SourceName), std::string(file.Identifier)});
    return sources;
}

void GeneratePayloadModule(const std::string &sourceFolder, std::span<const TGeneratorSource> sources,
                           const std::string &outputPath, const TFileGeneratedEvent &onFileGenerated) {
    vcl::TFileStream output(outputPath, vcl::fmCreate);
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
