// The weight table as the source file engine/master/weights.h, one commented block per term.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/master/evaluation.h"

namespace xq::tune {

// The whole header; `provenance` (one line) says how the weights were obtained.
std::string FormatWeightsFile(std::span<const master::TermWeight> weights,
                              std::string_view provenance);

// Reads the table back from such a header: every {mg, eg} pair after the table's opening line.
// False (and a reason) when the text does not hold exactly kTermCount pairs.
bool ParseWeightsFile(std::string_view text, std::vector<master::TermWeight>* weights,
                      std::string* error);

}  // namespace xq::tune
