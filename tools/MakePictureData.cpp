// Wraps a graphic file into the picture block of a form description: one
// byte with the length of the graphic's class name, the name, then the file
// as it is. The installer's form description refers to the block as a
// resource.
//
//   zuvo_make_picture_data <graphic class> <graphic file> <output>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::cerr << "usage: zuvo_make_picture_data <graphic class> <graphic file> <output>\n";
        return 2;
    }
    const std::string className = argv[1];
    if (className.empty() || className.size() > 255) {
        std::cerr << "zuvo_make_picture_data: a class name has 1 to 255 characters\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::cerr << "zuvo_make_picture_data: cannot read " << argv[2] << "\n";
        return 1;
    }
    const std::vector<char> graphic((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(className.size()));
    out.write(className.data(), static_cast<std::streamsize>(className.size()));
    out.write(graphic.data(), static_cast<std::streamsize>(graphic.size()));
    out.close();
    if (!out) {
        std::remove(argv[3]);
        std::cerr << "zuvo_make_picture_data: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
