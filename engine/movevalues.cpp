#include "engine/movevalues.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "engine/master/engine.h"
#include "engine/masterthink.h"

namespace xq {

std::vector<MoveValue> moveValues;

namespace {

MoveValuesListener listener = nullptr;

}  // namespace

MoveValue& MoveValueAt(int ply) {
    const auto index = static_cast<size_t>(ply < 0 ? 0 : ply);
    if (moveValues.size() <= index) moveValues.resize(index + 1);
    return moveValues[index];
}

void ForgetMoveValuesFrom(int ply) {
    const auto index = static_cast<size_t>(ply < 1 ? 1 : ply);
    if (moveValues.size() <= index) return;
    moveValues.resize(index);
    MoveValuesChanged();
}

void ForgetAllMoveValues() {
    ForgetMoveValuesFrom(1);
}

int32_t RedValueOf(int32_t classicScore, Side mover) {
    const int32_t value = MasterScore(classicScore);
    return mover == Red ? value : -value;
}

int32_t OnePlyNearer(int32_t redValue) {
    if (!IsMateValue(redValue)) return redValue;
    return redValue > 0 ? std::min(redValue + 1, master::kMate)
                        : std::max(redValue - 1, -master::kMate);
}

bool IsMateValue(int32_t redValue) {
    return std::abs(redValue) > master::kMateBound;
}

void SetMoveValuesListener(MoveValuesListener newListener) {
    listener = newListener;
}

void MoveValuesChanged() {
    if (listener != nullptr) listener();
}

}  // namespace xq
