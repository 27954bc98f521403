// Writes the sample product: the eleven files that the installer embeds when
// no real product folder is given, with exactly the names and sizes that the
// installer's file table expects. Runs on the build machine.
//
//   zuvo_make_sample_product <output folder> <name>=<stand-in>...
//
// Every program file (.exe, .dll) must be given as name=path of a stand-in
// built from payload/; it is copied and padded to its size (Windows ignores
// bytes after the last section of an image). The documents are made here: the
// PDFs and the JPEG are valid files whose padding sits inside the format (an
// unreferenced stream object, comment segments), and the certificate file is
// an opaque DER structure. All padding comes from a generator seeded by the
// file name, so two builds write the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "JpegEncode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Kind { Program, Pdf, Certificate, Jpeg };

struct SampleFile {
    const char *Name;
    std::size_t Size;
    Kind Content;
    const char *Title; // first line of a document's page
};

// The installed names, sizes and order of the product's files.
const SampleFile kSampleFiles[] = {
    {"zuvoeet_dll.dll", 32208, Kind::Program, nullptr},
    {"eet_z.exe", 725440, Kind::Program, nullptr},
    {"eetzuvo.exe", 33224, Kind::Program, nullptr},
    {"merkzuvo.exe", 2583496, Kind::Program, nullptr},
    {"Licence_MERKZUVO.pdf", 46052, Kind::Pdf, "Licence MERKANO ZUVO"},
    {"fiscal_test_cert.p12", 4015, Kind::Certificate, nullptr},
    {"Uživatelská příručka Merkano zuvo1-1.pdf", 899632, Kind::Pdf, "MERKANO ZUVO 1-1 user manual"},
    {"PdfQuill.dll", 586184, Kind::Program, nullptr},
    {"PdfQuill.Charting.dll", 98776, Kind::Program, nullptr},
    {"pdfconv.exe", 37312, Kind::Program, nullptr},
    {"ticket.jpg", 92788, Kind::Jpeg, nullptr},
};

// xorshift32 seeded with the FNV-1a hash of the file name: the same name
// always gives the same filler.
class Filler {
public:
    explicit Filler(const std::string &seedText) {
        std::uint32_t hash = 2166136261u;
        for (unsigned char c : seedText)
            hash = (hash ^ c) * 16777619u;
        FState = hash ? hash : 1;
    }
    std::uint8_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 17;
        FState ^= FState << 5;
        return static_cast<std::uint8_t>(FState >> 24);
    }
    void Append(Bytes &to, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            to.push_back(Next());
    }

private:
    std::uint32_t FState;
};

void Append(Bytes &to, const std::string &text) { to.insert(to.end(), text.begin(), text.end()); }

Bytes ReadFile(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes PaddedProgram(const SampleFile &file, const std::filesystem::path &standIn) {
    Bytes bytes = ReadFile(standIn);
    if (bytes.size() > file.Size)
        throw std::runtime_error(standIn.string() + " has " + std::to_string(bytes.size()) +
                                 " bytes, more than the " + std::to_string(file.Size) + " of " + file.Name);
    Filler(file.Name).Append(bytes, file.Size - bytes.size());
    return bytes;
}

// A one-page PDF with an unreferenced filler stream of fillerLength bytes;
// spaces adds blanks to the header comment for the last few bytes of size.
Bytes BuildPdf(const SampleFile &file, std::size_t fillerLength, std::size_t spaces) {
    const std::string text = std::string("BT /F1 24 Tf 72 760 Td (") + file.Title +
                             ") Tj /F1 12 Tf 0 -36 Td (Sample document of the MERKANO ZUVO setup.) Tj ET";
    Bytes pdf;
    std::vector<std::size_t> offsets;
    Append(pdf, "%PDF-1.4\n%\xE2\xE3\xCF\xD3" + std::string(spaces, ' ') + "\n");
    auto object = [&](const std::string &body) {
        offsets.push_back(pdf.size());
        Append(pdf, std::to_string(offsets.size()) + " 0 obj\n" + body);
    };
    object("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 4 0 R >> >> "
           "/Contents 5 0 R >>\nendobj\n");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>\nendobj\n");
    object("<< /Length " + std::to_string(text.size()) + " >>\nstream\n" + text + "\nendstream\nendobj\n");
    object("<< /Length " + std::to_string(fillerLength) + " >>\nstream\n");
    Filler(file.Name).Append(pdf, fillerLength);
    Append(pdf, "\nendstream\nendobj\n");

    const std::size_t xref = pdf.size();
    Append(pdf, "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n");
    for (std::size_t offset : offsets) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        Append(pdf, entry);
    }
    Append(pdf, "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
                    std::to_string(xref) + "\n%%EOF\n");
    return pdf;
}

Bytes MakePdf(const SampleFile &file) {
    const std::size_t empty = BuildPdf(file, 0, 0).size();
    if (empty + 16 > file.Size)
        throw std::runtime_error(std::string("no room for the PDF ") + file.Name);
    // The filler's length and the xref offset change the width of two numbers,
    // so settle the last bytes with blanks and step back if they overshoot.
    for (std::size_t filler = file.Size - empty - 8;; --filler) {
        const std::size_t size = BuildPdf(file, filler, 0).size();
        if (size > file.Size)
            continue;
        Bytes pdf = BuildPdf(file, filler, file.Size - size);
        if (pdf.size() == file.Size)
            return pdf;
    }
}

void AppendDerHeader(Bytes &to, std::uint8_t tag, std::size_t length) {
    to.push_back(tag);
    if (length < 0x80) {
        to.push_back(static_cast<std::uint8_t>(length));
    } else {
        to.push_back(0x82);
        to.push_back(static_cast<std::uint8_t>(length >> 8));
        to.push_back(static_cast<std::uint8_t>(length));
    }
}

// SEQUENCE { INTEGER 3, OCTET STRING <opaque> }: the outline of a key
// container, with nothing inside that anyone could use.
Bytes MakeCertificate(const SampleFile &file) {
    const std::size_t content = file.Size - 4; // outer header: 30 82 hh ll
    const std::size_t opaque = content - 3 - 4; // INTEGER 02 01 03, OCTET STRING header 04 82 hh ll
    Bytes der;
    AppendDerHeader(der, 0x30, content);
    der.insert(der.end(), {0x02, 0x01, 0x03});
    AppendDerHeader(der, 0x04, opaque);
    Filler(file.Name).Append(der, opaque);
    return der;
}

// A ticket-like picture: a light paper gradient, a dark header band and a bar
// code. Comment segments of the given sizes follow the JFIF header.
Bytes CompressTicket(const std::vector<std::size_t> &comments, const std::string &seed) {
    const int width = 480, height = 320;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            int shade = 250 - (x + y) / 40;
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(shade);
            if (y < 64) {
                p[0] = 30;
                p[1] = 90;
                p[2] = static_cast<std::uint8_t>(160 + y);
            } else if (y > 220 && y < 290 && x > 60 && x < 420 && ((x * 7) / 5 + x / 3) % 4 < 2) {
                p[0] = p[1] = p[2] = 20;
            }
        }
    }

    Filler filler(seed);
    std::vector<Bytes> texts(comments.size());
    for (std::size_t i = 0; i < comments.size(); ++i) filler.Append(texts[i], comments[i]);
    return tools::EncodeJpeg(rgb, width, height, 90, texts);
}

Bytes MakeJpeg(const SampleFile &file) {
    const std::size_t plain = CompressTicket({}, file.Name).size();
    const std::size_t kMaxComment = 65533, kSegmentHeader = 4;
    if (plain + kSegmentHeader > file.Size)
        throw std::runtime_error("the ticket picture is larger than ticket.jpg may be");
    // Spread the room evenly over as few comment segments as can hold it.
    const std::size_t room = file.Size - plain;
    const std::size_t segments = (room + kMaxComment + kSegmentHeader - 1) / (kMaxComment + kSegmentHeader);
    std::vector<std::size_t> comments;
    for (std::size_t i = 0; i < segments; ++i)
        comments.push_back(room / segments + (i < room % segments ? 1 : 0) - kSegmentHeader);
    Bytes jpeg = CompressTicket(comments, file.Name);
    if (jpeg.size() != file.Size)
        throw std::runtime_error("ticket.jpg came out with " + std::to_string(jpeg.size()) + " bytes");
    return jpeg;
}

void WriteFile(const std::filesystem::path &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::cerr << "usage: zuvo_make_sample_product <output folder> <name>=<stand-in>...\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = std::filesystem::u8path(argv[1]);
        std::map<std::string, std::filesystem::path> standIns;
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            const auto equals = arg.find('=');
            if (equals == std::string::npos)
                throw std::runtime_error("expected <name>=<stand-in>, got " + arg);
            standIns[arg.substr(0, equals)] = std::filesystem::u8path(arg.substr(equals + 1));
        }
        std::filesystem::create_directories(folder);
        for (const SampleFile &file : kSampleFiles) {
            Bytes bytes;
            switch (file.Content) {
            case Kind::Program: {
                const auto standIn = standIns.find(file.Name);
                if (standIn == standIns.end())
                    throw std::runtime_error(std::string("no stand-in given for ") + file.Name);
                bytes = PaddedProgram(file, standIn->second);
                break;
            }
            case Kind::Pdf: bytes = MakePdf(file); break;
            case Kind::Certificate: bytes = MakeCertificate(file); break;
            case Kind::Jpeg: bytes = MakeJpeg(file); break;
            }
            WriteFile(folder / std::filesystem::u8path(file.Name), bytes);
        }
    } catch (const std::exception &error) {
        std::cerr << "zuvo_make_sample_product: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
