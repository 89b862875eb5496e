#include "engine/movevalues.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "engine/master/engine.h"
#include "engine/search.h"

namespace xq {

std::vector<MoveValue> moveValues;

namespace {

constexpr int32_t kClassicPawn = 256;
// Classic scores beyond this are mates (the 大师 adapter keeps its other scores below it).
constexpr int32_t kClassicMateBound = kMateScore - kMatePly * (kMaxPly + 1) - 1;

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
    int32_t value = 0;
    if (std::abs(classicScore) > kClassicMateBound) {
        const int32_t plies = (kMateScore - std::abs(classicScore)) / kMatePly;
        value = classicScore > 0 ? master::kMate - plies : -(master::kMate - plies);
    } else {
        value =
            std::clamp(classicScore * 100 / kClassicPawn, -master::kMateBound, master::kMateBound);
    }
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
