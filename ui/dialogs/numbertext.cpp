#include "ui/dialogs/numbertext.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace xq {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// How many characters from `at` are digits.
size_t DigitRun(std::string_view text, size_t at) {
    size_t end = at;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end - at;
}

}  // namespace

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
    text = Trimmed(text);
    // from_chars takes a minus sign but no plus sign.
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const size_t signLength = !text.empty() && text.front() == '-' ? 1 : 0;
    if (DigitRun(text, signLength) != text.size() - signLength || text.size() == signLength)
        return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

double ParseLeadingReal(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

    // Step 1. The mantissa: digits, a point, digits; at least one digit in all.
    const size_t start = at;
    size_t mantissaDigits = DigitRun(text, at);
    at += mantissaDigits;
    if (at < text.size() && text[at] == '.') {
        const size_t fraction = DigitRun(text, at + 1);
        mantissaDigits += fraction;
        at += 1 + fraction;
    }
    if (mantissaDigits == 0) return 0.0;

    // Step 2. An exponent counts only when digits follow its letter and sign.
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const size_t exponentDigits = DigitRun(text, exponent);
        if (exponentDigits > 0) at = exponent + exponentDigits;
    }

    double value = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + at, value);
    if (result.ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    return negative ? -value : value;
}

}  // namespace xq
