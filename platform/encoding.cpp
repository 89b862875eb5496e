#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace xq {

// Runs one whole conversion; an unconvertible or malformed sequence is replaced by '?' and the
// input is resumed after the offending character, so a bad byte never loses the rest of the text.
std::optional<std::string> ConvertEncoding(const char* to, const char* from,
                                           std::string_view text) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    const bool fromUtf8 = std::strcmp(from, "UTF-8") == 0;
    std::string out;
    out.resize(text.size() * 2 + 8);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    size_t done = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + done;
        size_t outLeft = out.size() - done;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        done = out.size() - outLeft;
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {  // EILSEQ or EINVAL: skip one character
            if (done == out.size()) out.resize(out.size() * 2);
            out[done++] = '?';
            do {
                ++in;
                --inLeft;
            } while (fromUtf8 && inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
        }
    }
    iconv_close(cd);
    out.resize(done);
    return out;
}

std::optional<std::string> DecodeStrictly(const char* from, std::string_view text) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(text.size() * 4 + 8, '\0');  // a byte becomes at most four of UTF-8
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    return ConvertEncoding("GBK", "UTF-8", utf8);
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    return ConvertEncoding("UTF-8", "GBK", gbk);
}

}  // namespace xq
