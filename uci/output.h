// Lines to the controlling program, each flushed at once.
#pragma once

#include <string>
#include <string_view>

namespace xq::uci {

void SendLine(std::string_view line);

// `text` as it may be echoed in a message: printable ASCII only (other bytes become '?'), cut to
// `limit` characters with "..." after it.
std::string Printable(std::string_view text, size_t limit = 60);

}  // namespace xq::uci
