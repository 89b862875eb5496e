// The 14 piece bitmaps (31 x 35, the round piece on pure black) and the 7 masks (black where the
// piece is, white elsewhere) from the program's resources, indexed by kind and side, at the scale
// of the canvas they are drawn on: a larger scale has its own artwork, drawn at that resolution.
#pragma once

#include <QImage>
#include <QString>

#include "rules/types.h"

namespace xq {

// The characters the pieces carry: the program's own, or the traditional ones that the move list
// writes in Traditional Chinese (俥傌帥 / 車馬砲將). Both sets share the masks.
enum class PieceSet { Simplified, Traditional };

struct PieceImages {
    QImage piece[8][2];  // [kind][side]; kind 0 stays null
    QImage mask[8];      // [kind], shared by both sides

    // Loads every image of `set` at `scale` from the resource folder `root` (":/" in the
    // program), each image's device pixel ratio the scale. Returns false and names the first
    // missing file in *missing when one cannot be read; the others still load.
    bool Load(const QString& root, QString* missing, int scale = 1,
              PieceSet set = PieceSet::Simplified);
};

// The resource path of a piece's bitmap and of a kind's mask at `scale`, relative to the resource
// root.
QString PieceFileName(PieceKind kind, Side side, int scale = 1,
                      PieceSet set = PieceSet::Simplified);
QString MaskFileName(PieceKind kind, int scale = 1);

}  // namespace xq
