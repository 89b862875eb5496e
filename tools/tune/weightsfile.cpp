#include "tools/tune/weightsfile.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace xq::tune {
namespace {

using namespace master;

struct Block {
    int first;
    int size;
    int perLine;
    const char* title;
};

constexpr const char* kSquares = " squares: ranks from its own side, files a..e (f..i mirrored)";

// Every term in table order; the static_assert below keeps the blocks in step with the enum.
constexpr Block kBlocks[] = {
    {kMaterial, 8, 8, "Material: none, King, Rook, Gunner, Knight, Assist, Bishop, Pawn"},
    {kPieceSquare + 0 * kRowSquares, kRowSquares, 5, "King"},
    {kPieceSquare + 1 * kRowSquares, kRowSquares, 5, "Rook"},
    {kPieceSquare + 2 * kRowSquares, kRowSquares, 5, "Gunner"},
    {kPieceSquare + 3 * kRowSquares, kRowSquares, 5, "Knight"},
    {kPieceSquare + 4 * kRowSquares, kRowSquares, 5, "Assist"},
    {kPieceSquare + 5 * kRowSquares, kRowSquares, 5, "Bishop"},
    {kPieceSquare + 6 * kRowSquares, kRowSquares, 5, "Pawn"},
    {kRookMobility, 18, 6, "Rook mobility 0..17"},
    {kGunnerMobility, 18, 6, "Gunner mobility 0..17"},
    {kKnightMobility, 9, 9, "Knight mobility 0..8"},
    {kKnightBlockedLeg, 1, 1, "Knight blocked leg"},
    {kRookOpenFile, 1, 1, "Rook on an open file"},
    {kRookHalfOpenFile, 1, 1, "Rook on a half-open file"},
    {kRookFacesPalace, 1, 1, "Rook facing the palace"},
    {kGunnerFacesKing, 1, 1, "Gunner facing the King"},
    {kOpenPalaceFileVsRook, 1, 1, "Open palace file, per enemy Rook"},
    {kAssistShortVsRook, 1, 1, "Missing Assist, per enemy Rook"},
    {kAssistShortVsKnight, 1, 1, "Missing Assist, per enemy Knight"},
    {kBishopShortVsGunner, 1, 1, "Missing Bishop, per enemy Gunner"},
    {kKingZoneAttackers, 8, 8, "Attackers near the palace 0..7"},
    {kConnectedPawns, 1, 1, "Connected crossed Pawns"},
    {kTempo, 1, 1, "Tempo"},
};

constexpr bool BlocksCoverTheTable() {
    int next = 0;
    for (const Block& b : kBlocks) {
        if (b.first != next) return false;
        next += b.size;
    }
    return next == kTermCount;
}
static_assert(BlocksCoverTheTable(), "a term is missing from the weights file's blocks");

}  // namespace

std::string FormatWeightsFile(std::span<const TermWeight> weights, std::string_view provenance) {
    std::string out =
        "// Weights of the 大师 evaluation: one {middle game, endgame} pair per term of\n"
        "// engine/master/evaluation.h, in hundredths of a Pawn. Written by xq-tune; do not edit "
        "by "
        "hand.\n// ";
    out += provenance;
    out +=
        "\n#pragma once\n\n#include \"engine/master/evaluation.h\"\n\nnamespace xq::master {\n\n"
        "// clang-format off\ninline constexpr TermWeight kWeights[kTermCount] = {\n";
    for (const Block& b : kBlocks) {
        out += "    // ";
        out += b.title;
        if (b.first >= kPieceSquare && b.first < kRookMobility) out += kSquares;
        out += "\n";
        for (int line = 0; line < b.size; line += b.perLine) {
            out += "   ";
            for (int i = line; i < line + b.perLine && i < b.size; ++i) {
                const TermWeight& w = weights[b.first + i];
                out += " {" + std::to_string(w.mg) + ", " + std::to_string(w.eg) + "},";
            }
            out += "\n";
        }
    }
    out += "};\n// clang-format on\n\n}  // namespace xq::master\n";
    return out;
}

bool ParseWeightsFile(std::string_view text, std::vector<TermWeight>* weights, std::string* error) {
    const size_t table = text.find("kWeights[kTermCount] = {");
    if (table == std::string_view::npos) {
        *error = "no weight table";
        return false;
    }
    weights->clear();
    const std::string body(
        text.substr(table + std::string_view("kWeights[kTermCount] = {").size()));
    const char* p = body.c_str();
    while (true) {
        const char* open = std::strchr(p, '{');
        const char* close = std::strstr(p, "};");
        if (!open || (close && close < open)) break;
        int mg = 0;
        int eg = 0;
        if (std::sscanf(open, "{%d, %d}", &mg, &eg) != 2) {
            *error = "a weight that is not a pair of numbers";
            return false;
        }
        weights->push_back({static_cast<int16_t>(mg), static_cast<int16_t>(eg)});
        p = open + 1;
    }
    if (weights->size() != size_t(kTermCount)) {
        *error =
            std::to_string(weights->size()) + " weights instead of " + std::to_string(kTermCount);
        return false;
    }
    return true;
}

}  // namespace xq::tune
