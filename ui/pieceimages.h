// The 14 piece bitmaps (31 x 35, the round piece on pure black) and the 7 masks (black where the
// piece is, white elsewhere) from the program's resources, indexed by kind and side, at the scale
// of the canvas they are drawn on: a larger scale has its own artwork, drawn at that resolution.
#pragma once

#include <QImage>
#include <QString>

#include "rules/types.h"

namespace xq {

struct PieceImages {
    QImage piece[8][2];  // [kind][side]; kind 0 stays null
    QImage mask[8];      // [kind], shared by both sides

    // Loads every image at `scale` from the resource folder `root` (":/" in the program), each
    // image's device pixel ratio the scale. Returns false and names the first missing file in
    // *missing when one cannot be read; the others still load.
    bool Load(const QString& root, QString* missing, int scale = 1);
};

// The resource path of a piece's bitmap and of a kind's mask at `scale`, relative to the resource
// root.
QString PieceFileName(PieceKind kind, Side side, int scale = 1);
QString MaskFileName(PieceKind kind, int scale = 1);

}  // namespace xq
