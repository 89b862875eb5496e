#include "ui/pieceimages.h"

namespace xq {

namespace {

const char* const kKindNames[8] = {"",       "king",   "rook",   "gunner",
                                   "knight", "assist", "bishop", "pawn"};

}  // namespace

QString PieceFileName(PieceKind kind, Side side) {
    return QStringLiteral("pieces/%1%2.bmp").arg(side == Red ? "r" : "b", kKindNames[kind]);
}

QString MaskFileName(PieceKind kind) {
    return QStringLiteral("pieces/mask_%1.bmp").arg(kKindNames[kind]);
}

bool PieceImages::Load(const QString& root, QString* missing) {
    bool complete = true;
    const auto load = [&](QImage* image, const QString& name) {
        if (image->load(root + name)) return;
        if (complete && missing != nullptr) *missing = name;
        complete = false;
    };
    for (PieceKind kind = King; kind <= Pawn; ++kind) {
        load(&piece[kind][Red], PieceFileName(kind, Red));
        load(&piece[kind][Black], PieceFileName(kind, Black));
        load(&mask[kind], MaskFileName(kind));
    }
    return complete;
}

}  // namespace xq
