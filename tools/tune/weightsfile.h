// The weight table as the source file engine/master/weights.h, one commented block per term.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/master/evaluation.h"

namespace xq::tune {

// The whole header; `provenance` (one line) says how the weights were obtained.
std::string FormatWeightsFile(std::span<const master::TermWeight> weights,
                              std::string_view provenance);

}  // namespace xq::tune
