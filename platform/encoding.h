// Text encoding. Every text inside the program is UTF-8; the game log is written in GBK, and
// column widths there count GBK bytes, so texts are converted before they are measured.
#pragma once

#include <string>
#include <string_view>

namespace xq {

// Converts UTF-8 to GBK (glibc iconv). A character GBK lacks, or malformed input, becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);
// Converts GBK to UTF-8. A malformed byte becomes '?'.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace xq
