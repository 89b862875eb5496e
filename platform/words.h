// The words of a line as the engine protocols separate them, for both sides of a protocol: the
// engine reading its controller and the host reading an engine.
#pragma once

#include <string_view>
#include <vector>

namespace xq {

// The words of `line`, split at blanks and tabs.
std::vector<std::string_view> SplitWords(std::string_view line);

}  // namespace xq
