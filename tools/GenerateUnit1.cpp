// Writes Unit1.h from a folder holding the product's eleven files, with the
// same generator routine that the installer's hidden button runs.
//
//   zuvo_generate_unit1 <payload folder> <output Unit1.h>
//
// The generator's table names the files as they lie in the developer's source
// folder, where the licence is "Licence MERKANO ZUVO.pdf"; a payload folder
// holds them under their installed names (like the install folder), so the
// driver takes the table and puts the installed names in, keeping the
// identifiers and buffers.
#include "installer/PayloadGenerator.h"
#include "installer/PayloadStore.h"

#include <cstdio>
#include <exception>
#include <iostream>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::cerr << "usage: zuvo_generate_unit1 <payload folder> <output Unit1.h>\n";
        return 2;
    }
    std::vector<installer::TGeneratorSource> sources = installer::GeneratorSources();
    for (std::size_t i = 0; i < sources.size(); ++i)
        sources[i].SourceName = installer::PayloadFileInfos()[i].InstalledName;
    try {
        installer::GeneratePayloadModule(argv[1], sources, argv[2]);
    } catch (const std::exception &error) {
        // A half-written module must not pass for a finished one in the next build.
        std::remove(argv[2]);
        std::cerr << "zuvo_generate_unit1: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
