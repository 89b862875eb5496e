// The characters the piece artwork carries, free of Qt so that the tests can hold them against the
// move notation: the program's own set, and the set drawn for Traditional Chinese, whose pieces
// carry the characters its move list writes (俥傌炮帥仕相兵 / 車馬砲將士象卒).
#pragma once

#include <array>

struct PieceKindArt {
    const char* fileName;  // "king" gives rking.bmp, bking.bmp and mask_king.bmp
    const char* redCharacter;
    const char* blackCharacter;
};

// The seven kinds in the order the game numbers them (King 1 ... Pawn 7).
inline constexpr std::array<PieceKindArt, 7> kPieceKinds = {{
    {"king", "帅", "将"},
    {"rook", "车", "车"},
    {"gunner", "炮", "炮"},
    {"knight", "马", "马"},
    {"assist", "仕", "士"},
    {"bishop", "相", "象"},
    {"pawn", "兵", "卒"},
}};

// The same kinds in traditional characters, drawn into the set's own folder (kTraditionalFolder
// under pieces/, and its 2x/ and 3x/); the masks are the common ones.
inline constexpr std::array<PieceKindArt, 7> kTraditionalPieceKinds = {{
    {"king", "帥", "將"},
    {"rook", "俥", "車"},
    {"gunner", "炮", "砲"},
    {"knight", "傌", "馬"},
    {"assist", "仕", "士"},
    {"bishop", "相", "象"},
    {"pawn", "兵", "卒"},
}};
inline constexpr char kTraditionalFolder[] = "zh_TW";
