// Text encoding. Every text inside the program is UTF-8; the game log is written in GBK, and
// column widths there count GBK bytes, so texts are converted before they are measured.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xq {

// Converts `text` between two encodings known to glibc's iconv. A character the target lacks, or
// malformed input, becomes '?' and the rest of the text is still converted. Nothing (nullopt)
// when iconv cannot convert between the two: a caller must not take the text as converted.
std::optional<std::string> ConvertEncoding(const char* to, const char* from, std::string_view text);
// UTF-8 to GBK, and GBK to UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// `text` in `from` as UTF-8, only when every byte of it is valid there: nothing (nullopt) at the
// first malformed or unknown sequence, so that a caller can try another encoding.
std::optional<std::string> DecodeStrictly(const char* from, std::string_view text);

}  // namespace xq
