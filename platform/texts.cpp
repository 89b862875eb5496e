#include "platform/texts.h"

#include "platform/display.h"

namespace xq {

std::string Tr(std::string_view source) {
    return CurrentDisplay().Translate(source);
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values) {
    const std::string translated = Tr(pattern);
    std::string text;
    text.reserve(translated.size());
    for (size_t at = 0; at < translated.size(); ++at) {
        const char next = at + 1 < translated.size() ? translated[at + 1] : '\0';
        const auto number = static_cast<size_t>(next - '0');
        // A translation that names a value the caller has not given keeps its %N as written.
        if (translated[at] == '%' && next >= '1' && next <= '9' && number <= values.size()) {
            text += values.begin()[number - 1];
            ++at;
            continue;
        }
        text += translated[at];
    }
    return text;
}

}  // namespace xq
