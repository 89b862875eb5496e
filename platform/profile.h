// INI profile files with the classic private-profile semantics: one key is read or written at a
// time; section and key names match without regard to case; writing a key rewrites only that
// key's line (or adds the key, its section and the file as needed) and leaves every other
// section, key, comment and line exactly as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace xq {

// The text of `key` in `section`: blanks around it removed, and a pair of double quotes around
// the whole text as well; at most `maxLength` bytes. `defaultText` when the file, the section or
// the key is missing.
std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultText, size_t maxLength,
                              const std::filesystem::path& file);

// The value of `key` in `section` read as a decimal integer: leading blanks, an optional sign,
// then as many digits as follow (none reads as 0), wrapping around like 32-bit arithmetic.
// `defaultValue` when the file, the section or the key is missing, or the value is empty.
int32_t ReadProfileInt(std::string_view section, std::string_view key, int32_t defaultValue,
                       const std::filesystem::path& file);

// Sets `key` in `section` to `value`, creating the file, the section and the key as needed. The
// new file replaces the old one in a single rename, so a failed write leaves the old file whole.
// Returns false when the file could not be read or written.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::filesystem::path& file);

}  // namespace xq
