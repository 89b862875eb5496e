// A picture of the artwork as the game shows it: the opening position on a green board over the
// background pattern, each piece cut in with its mask (AND) and drawn with XOR, one piece in the
// selected look (NOT-OR), scaled up so that single pixels can be judged.
#pragma once

#include <QFont>
#include <QImage>

QImage DrawPreview(const QFont& font, int scale);
