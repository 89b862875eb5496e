#include "ui/pieceimages.h"

namespace xq {

namespace {

const char* const kKindNames[8] = {"",       "king",   "rook",   "gunner",
                                   "knight", "assist", "bishop", "pawn"};

// The folder of the artwork at `scale`.
QString Folder(int scale) {
    return scale == 1 ? QStringLiteral("pieces/") : QStringLiteral("pieces/%1x/").arg(scale);
}

}  // namespace

QString PieceFileName(PieceKind kind, Side side, int scale) {
    return Folder(scale) +
           QStringLiteral("%1%2.bmp").arg(side == Red ? "r" : "b", kKindNames[kind]);
}

QString MaskFileName(PieceKind kind, int scale) {
    return Folder(scale) + QStringLiteral("mask_%1.bmp").arg(kKindNames[kind]);
}

bool PieceImages::Load(const QString& root, QString* missing, int scale) {
    bool complete = true;
    const auto load = [&](QImage* image, const QString& name) {
        if (image->load(root + name)) {
            image->setDevicePixelRatio(scale);
            return;
        }
        if (complete && missing != nullptr) *missing = name;
        complete = false;
    };
    for (PieceKind kind = King; kind <= Pawn; ++kind) {
        load(&piece[kind][Red], PieceFileName(kind, Red, scale));
        load(&piece[kind][Black], PieceFileName(kind, Black, scale));
        load(&mask[kind], MaskFileName(kind, scale));
    }
    return complete;
}

}  // namespace xq
