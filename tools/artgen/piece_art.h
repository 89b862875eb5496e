// The piece artwork: round wooden pieces seen slightly from above, each carrying its character,
// and the masks that cut them out of the board. A bitmap is pure black outside the piece and never
// pure black inside it; its mask is black exactly where the piece is and white elsewhere, so that
// the board can draw a piece with the mask ANDed and the bitmap XORed (or NOT-ORed) on top.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <array>

#include "piece_characters.h"

constexpr int kPieceWidth = 31;
constexpr int kPieceHeight = 35;
constexpr int kPatternSize = 8;

enum class PieceSide { Red, Black };

// The font of the characters, at the size the pieces need.
QFont CharacterFont(const QString& family);

// The largest scale the artwork is drawn at for screens of a higher density.
constexpr int kLargestScale = 3;

// Draws one piece bitmap of kPieceWidth x kPieceHeight pixels, each `scale` x `scale` device
// pixels: the same drawing at the device's resolution, not the small one enlarged.
QImage DrawPieceBitmap(const PieceKindArt& kind, PieceSide side, const QFont& font, int scale = 1);

// The mask shared by every piece, at `scale`; each kind gets a copy so that an artist may redraw
// one kind.
QImage DrawPieceMask(int scale = 1);

// The board's 8 x 8 background pattern: light grey with a white dot on every second pixel of every
// second row.
QImage DrawBackgroundPattern();

// The program's icon, `size` pixels square: the Red King's piece on a transparent ground.
QImage DrawIcon(int size, const QFont& font);
