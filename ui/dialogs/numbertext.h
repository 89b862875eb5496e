// How the dialogs read the numbers typed into their edit boxes. Locale-independent: a decimal
// point is always '.', whatever the user's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace xq {

// A whole decimal number: optional blanks, an optional sign, one or more digits, optional
// blanks, and nothing else ("007" is 7). Nothing when the text is anything else or does not fit
// in 64 bits.
std::optional<int64_t> ParseWholeNumber(std::string_view text);

// The longest leading decimal real of `text` after leading blanks (sign, digits, point,
// exponent); 0 when the text does not start with a number. A number beyond the range of a double
// (too large or too small) reads as infinity, so a caller that needs a finite value must say so.
double ParseLeadingReal(std::string_view text);

}  // namespace xq
