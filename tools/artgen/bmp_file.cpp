#include "bmp_file.h"

#include <QFile>
#include <cstdint>
#include <vector>

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back((v >> shift) & 0xFF);
}

}  // namespace

bool WriteBmp24(const QImage& image, const QString& path, QString& error) {
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) & ~3;  // rows are padded to whole 32-bit words
    const uint32_t pixelBytes = rowBytes * height;

    std::vector<uint8_t> bytes;
    bytes.reserve(kFileHeaderSize + kInfoHeaderSize + pixelBytes);
    PutU16(bytes, 0x4D42);  // "BM"
    PutU32(bytes, kFileHeaderSize + kInfoHeaderSize + pixelBytes);
    PutU32(bytes, 0);  // two reserved words
    PutU32(bytes, kFileHeaderSize + kInfoHeaderSize);
    PutU32(bytes, kInfoHeaderSize);
    PutU32(bytes, width);
    PutU32(bytes, height);  // positive: the last row comes first
    PutU16(bytes, 1);       // planes
    PutU16(bytes, 24);      // bits per pixel
    PutU32(bytes, 0);       // no compression
    PutU32(bytes, pixelBytes);
    PutU32(bytes, 2835);  // 72 dots per inch, both ways
    PutU32(bytes, 2835);
    PutU32(bytes, 0);  // no palette
    PutU32(bytes, 0);

    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            bytes.push_back(qBlue(pixel));
            bytes.push_back(qGreen(pixel));
            bytes.push_back(qRed(pixel));
        }
        bytes.resize(bytes.size() + rowBytes - width * 3, 0);
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size()) !=
            static_cast<qint64>(bytes.size())) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
