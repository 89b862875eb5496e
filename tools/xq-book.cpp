// The opening-book compiler.
//
//   xq-book compile LINES.txt OUT.lib   compiles ICCS opening lines into the library file
//   xq-book list FILE.lib               prints every line of a library file, one per text line
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/bookbuilder.h"

namespace {

using namespace xq;

int Usage() {
    std::fprintf(stderr,
                 "usage: xq-book compile LINES.txt OUT.lib\n"
                 "       xq-book list FILE.lib\n");
    return 2;
}

bool ReadWholeFile(const char* path, std::string* contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    *contents = text.str();
    return true;
}

int Compile(const char* source, const char* target) {
    std::string text;
    if (!ReadWholeFile(source, &text)) {
        std::fprintf(stderr, "xq-book: cannot read %s\n", source);
        return 1;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!BuildOpeningLibrary(text, &bytes, &error)) {
        std::fprintf(stderr, "xq-book: %s: %s\n", source, error.c_str());
        return 1;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "xq-book: cannot write %s\n", target);
        return 1;
    }
    std::printf("%s: %zu bytes\n", target, bytes.size());
    return 0;
}

int List(const char* path) {
    std::string contents;
    if (!ReadWholeFile(path, &contents)) {
        std::fprintf(stderr, "xq-book: cannot read %s\n", path);
        return 1;
    }
    const std::vector<uint8_t> bytes(contents.begin(), contents.end());
    std::vector<std::string> lines;
    std::string error;
    if (!ListOpeningLibraryLines(bytes, &lines, &error)) {
        std::fprintf(stderr, "xq-book: %s: %s\n", path, error.c_str());
        return 1;
    }
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "compile") return Compile(argv[2], argv[3]);
    if (args.size() == 2 && args[0] == "list") return List(argv[2]);
    return Usage();
}
