// Writes an image as an uncompressed 24-bit Windows bitmap (BITMAPINFOHEADER, bottom-up rows).
// Written by hand rather than through QImage::save so that every byte of the file is fixed here,
// whichever Qt version runs the generator.
#pragma once

#include <QImage>
#include <QString>

// Saves `image` to `path`; returns false, with a message in `error`, when the file cannot be
// written.
bool WriteBmp24(const QImage& image, const QString& path, QString& error);
