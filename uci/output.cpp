#include "uci/output.h"

#include <cstdio>

namespace xq::uci {

void SendLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Printable(std::string_view text, size_t limit) {
    std::string shown;
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        shown += ch >= 0x20 && ch < 0x7F ? static_cast<char>(ch) : '?';
    }
    if (text.size() > limit) shown += "...";
    return shown;
}

}  // namespace xq::uci
