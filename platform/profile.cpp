#include "platform/profile.h"

#include <fstream>
#include <optional>
#include <vector>

#include "platform/safefile.h"

namespace xq {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";
// Editors on other systems begin a UTF-8 file with it; it is no part of the first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// The file's lines, each with its own line break (the last one may have none), without the
// byte order mark that `marked` tells about.
std::vector<std::string> ReadLines(const std::filesystem::path& file, bool* readable,
                                   bool* marked = nullptr) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    *readable = static_cast<bool>(in);
    if (!in) return lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!in.eof()) line += '\n';
        lines.push_back(std::move(line));
    }
    *readable = !in.bad();
    const bool mark = !lines.empty() && lines.front().starts_with(kByteOrderMark);
    if (mark) lines.front().erase(0, kByteOrderMark.size());
    if (mark && lines.front().empty()) lines.erase(lines.begin());
    if (marked != nullptr) *marked = mark;
    return lines;
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    line = Trim(line);
    return !line.empty() && line.front() == ';';
}

// The key of a "key=value" line, or nothing for any other line.
std::optional<std::string_view> KeyName(std::string_view line) {
    if (IsComment(line)) return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, equals));
}

// Where a section's lines are: its header line and the line after its last line.
struct SectionSpan {
    size_t header;
    size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines,
                                       std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (!name || !SameName(*name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end]))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<std::string>& lines, SectionSpan span,
                              std::string_view key) {
    for (size_t i = span.header + 1; i < span.end; ++i) {
        const auto name = KeyName(lines[i]);
        if (name && SameName(*name, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> FindValue(std::string_view section, std::string_view key,
                                     const std::filesystem::path& file) {
    bool readable = false;
    const std::vector<std::string> lines = ReadLines(file, &readable);
    const auto span = FindSection(lines, section);
    if (!span) return std::nullopt;
    const auto at = FindKey(lines, *span, key);
    if (!at) return std::nullopt;
    const std::string_view line = lines[*at];
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultText, size_t maxLength,
                              const std::filesystem::path& file) {
    std::string text = FindValue(section, key, file).value_or(std::string(defaultText));
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}

int32_t ReadProfileInt(std::string_view section, std::string_view key, int32_t defaultValue,
                       const std::filesystem::path& file) {
    const std::optional<std::string> text = FindValue(section, key, file);
    if (!text || text->empty()) return defaultValue;
    std::string_view rest = Trim(*text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    uint32_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::filesystem::path& file) {
    if (file.empty()) return false;
    bool readable = false;
    bool marked = false;
    std::vector<std::string> lines = ReadLines(file, &readable, &marked);
    if (!readable && std::filesystem::exists(file)) return false;
    // New lines take the file's own line breaks.
    // An unfinished last line that ends in '\r' only lacks its '\n'; completed before the first
    // line is looked at, it is judged now as at the next write, which then changes nothing.
    if (!lines.empty() && lines.back().ends_with('\r')) lines.back() += '\n';
    std::string lineBreak = "\n";
    if (!lines.empty() && lines.front().ends_with("\r\n")) lineBreak = "\r\n";
    if (!lines.empty() && !lines.back().ends_with('\n')) lines.back() += lineBreak;

    const std::string entry = std::string(key) + "=" + std::string(value) + lineBreak;
    if (const auto span = FindSection(lines, section)) {
        if (const auto at = FindKey(lines, *span, key)) {
            const std::string_view old = lines[*at];
            lines[*at] = std::string(Trim(old.substr(0, old.find('=')))) + "=" +
                         std::string(value) + lineBreak;
        } else {
            // After the section's last line that is not blank.
            size_t after = span->end;
            while (after > span->header + 1 && Trim(lines[after - 1]).empty())
                --after;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), entry);
        }
    } else {
        lines.push_back("[" + std::string(section) + "]" + lineBreak);
        lines.push_back(entry);
    }

    std::string content(marked ? kByteOrderMark : std::string_view());
    for (const std::string& line : lines)
        content += line;
    return ReplaceFileContent(file, content) == FileWrite::Written;
}

}  // namespace xq
