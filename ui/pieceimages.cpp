#include "ui/pieceimages.h"

namespace xq {

namespace {

const char* const kKindNames[8] = {"",       "king",   "rook",   "gunner",
                                   "knight", "assist", "bishop", "pawn"};

// The folder of the artwork at `scale`; a set other than the program's own has its folder under
// it, the scales again under that (pieces/zh_TW/2x/).
QString Folder(int scale, PieceSet set = PieceSet::Simplified) {
    const QString base =
        set == PieceSet::Traditional ? QStringLiteral("pieces/zh_TW/") : QStringLiteral("pieces/");
    return scale == 1 ? base : base + QStringLiteral("%1x/").arg(scale);
}

}  // namespace

QString PieceFileName(PieceKind kind, Side side, int scale, PieceSet set) {
    return Folder(scale, set) +
           QStringLiteral("%1%2.bmp").arg(side == Red ? "r" : "b", kKindNames[kind]);
}

QString MaskFileName(PieceKind kind, int scale) {
    return Folder(scale) + QStringLiteral("mask_%1.bmp").arg(kKindNames[kind]);
}

bool PieceImages::Load(const QString& root, QString* missing, int scale, PieceSet set) {
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
        load(&piece[kind][Red], PieceFileName(kind, Red, scale, set));
        load(&piece[kind][Black], PieceFileName(kind, Black, scale, set));
        load(&mask[kind], MaskFileName(kind, scale));
    }
    return complete;
}

}  // namespace xq
