#include "engine/movevalues.h"

#include <cstddef>

namespace xq {

std::vector<MoveValue> moveValues;

MoveValue& MoveValueAt(int ply) {
    const auto index = static_cast<size_t>(ply < 0 ? 0 : ply);
    if (moveValues.size() <= index) moveValues.resize(index + 1);
    return moveValues[index];
}

void ForgetMoveValuesFrom(int ply) {
    const auto index = static_cast<size_t>(ply < 1 ? 1 : ply);
    if (moveValues.size() > index) moveValues.resize(index);
}

}  // namespace xq
