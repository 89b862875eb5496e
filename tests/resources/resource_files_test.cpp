// The committed artwork: every file the window loads exists, has the size the board's blits assume,
// and each piece bitmap agrees with its mask, so that drawing a piece with the mask ANDed and the
// bitmap XORed shows the piece and leaves the board around it untouched.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "records/notation.h"
#include "tools/artgen/piece_characters.h"

namespace {

const std::string kResources = XQ_RESOURCE_DIR;
const char* const kKinds[] = {"king", "rook", "gunner", "knight", "assist", "bishop", "pawn"};
constexpr int kPieceWidth = 31;
constexpr int kPieceHeight = 35;

// The artwork at each scale: the window's size, and twice and three times it for screens of a
// higher density.
const struct {
    int scale;
    const char* folder;
} kScales[] = {{1, "pieces/"}, {2, "pieces/2x/"}, {3, "pieces/3x/"}};

// Every set of piece bitmaps at each scale, with the folder of the masks it is cut out by: the
// program's own, and the Traditional Chinese set, which shares the masks.
const struct {
    int scale;
    const char* folder;
    const char* maskFolder;
} kPieceSets[] = {{1, "pieces/", "pieces/"},
                  {2, "pieces/2x/", "pieces/2x/"},
                  {3, "pieces/3x/", "pieces/3x/"},
                  {1, "pieces/zh_TW/", "pieces/"},
                  {2, "pieces/zh_TW/2x/", "pieces/2x/"},
                  {3, "pieces/zh_TW/3x/", "pieces/3x/"}};

struct Rgb {
    uint8_t r, g, b;
    bool IsBlack() const { return r == 0 && g == 0 && b == 0; }
    bool IsWhite() const { return r == 255 && g == 255 && b == 255; }
};

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    Rgb At(int x, int y) const { return pixels[y * width + x]; }
};

uint32_t ReadLe(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[at + i];
    return value;
}

// Reads an uncompressed 24-bit BMP; fails the test (and returns an empty bitmap) for anything else.
Bitmap ReadBmp24(const std::string& relativePath) {
    std::ifstream file(kResources + "/" + relativePath, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    Bitmap bmp;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        ADD_FAILURE() << relativePath << ": missing or not a BMP file";
        return bmp;
    }
    const uint32_t dataOffset = ReadLe(bytes, 10, 4);
    const int width = static_cast<int32_t>(ReadLe(bytes, 18, 4));
    const int height = static_cast<int32_t>(ReadLe(bytes, 22, 4));
    const int rowBytes = (width * 3 + 3) & ~3;
    if (ReadLe(bytes, 28, 2) != 24 || ReadLe(bytes, 30, 4) != 0 || width <= 0 || height <= 0 ||
        bytes.size() < dataOffset + static_cast<size_t>(rowBytes) * height) {
        ADD_FAILURE() << relativePath << ": not an uncompressed bottom-up 24-bit BMP";
        return bmp;
    }
    bmp.width = width;
    bmp.height = height;
    for (int y = 0; y < height; ++y) {
        const size_t row = dataOffset + static_cast<size_t>(rowBytes) * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const size_t at = row + 3 * x;
            bmp.pixels.push_back({bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    }
    return bmp;
}

// Red ink: clearly more red than green or blue.
bool IsRedInk(Rgb p) {
    return p.r > 120 && p.r > p.g + 90 && p.r > p.b + 90;
}

int CountRedInk(const Bitmap& bmp) {
    int count = 0;
    for (Rgb p : bmp.pixels)
        count += IsRedInk(p);
    return count;
}

TEST(ResourceFiles, EachPieceBitmapAgreesWithItsKindsMask) {
    for (const auto& [scale, folder, maskFolder] : kPieceSets) {
        const int width = kPieceWidth * scale;
        const int height = kPieceHeight * scale;
        for (const char* kind : kKinds) {
            SCOPED_TRACE(std::string(folder) + kind);
            const Bitmap mask = ReadBmp24(std::string(maskFolder) + "mask_" + kind + ".bmp");
            // Some masks are drawn 32 pixels wide; only the left 31 columns are used.
            ASSERT_TRUE(mask.width == width || mask.width == width + 1);
            ASSERT_EQ(mask.height, height);
            for (const char* side : {"r", "b"}) {
                SCOPED_TRACE(side);
                const Bitmap piece = ReadBmp24(std::string(folder) + side + kind + ".bmp");
                ASSERT_EQ(piece.width, width);
                ASSERT_EQ(piece.height, height);
                int inside = 0;
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        const Rgb m = mask.At(x, y);
                        ASSERT_TRUE(m.IsBlack() || m.IsWhite()) << "mask grey at " << x << "," << y;
                        ASSERT_EQ(m.IsBlack(), !piece.At(x, y).IsBlack())
                            << "bitmap and mask disagree at " << x << "," << y;
                        inside += m.IsBlack();
                    }
                }
                // A round piece covers most of its box and leaves its corners to the board.
                EXPECT_GT(inside, width * height * 2 / 3);
                for (int x : {0, width - 1}) {
                    for (int y : {0, height - 1})
                        EXPECT_TRUE(mask.At(x, y).IsWhite());
                }
            }
        }
    }
}

// Drawn at its own resolution, a larger piece's edge is finer than the window-size piece's edge
// enlarged: its mask has rows that do not repeat in pairs (or threes) and edges off the blocks.
TEST(ResourceFiles, LargerArtworkIsDrawnAtItsResolutionNotEnlarged) {
    for (const auto& [scale, folder] : kScales) {
        if (scale == 1) continue;
        for (const char* kind : kKinds) {
            SCOPED_TRACE(std::string(folder) + kind);
            const Bitmap mask = ReadBmp24(std::string(folder) + "mask_" + kind + ".bmp");
            int offBlock = 0;  // edge pixels whose block of the scale is not all one colour
            for (int y = 0; y + scale <= mask.height; y += scale) {
                for (int x = 0; x + scale <= kPieceWidth * scale; x += scale) {
                    bool mixed = false;
                    for (int dy = 0; dy < scale; ++dy)
                        for (int dx = 0; dx < scale; ++dx)
                            mixed |= mask.At(x + dx, y + dy).IsBlack() != mask.At(x, y).IsBlack();
                    offBlock += mixed;
                }
            }
            EXPECT_GT(offBlock, 10);
        }
    }
}

TEST(ResourceFiles, RedPiecesCarryRedInkAndBlackPiecesNone) {
    for (const auto& [scale, folder, maskFolder] : kPieceSets) {
        for (const char* kind : kKinds) {
            SCOPED_TRACE(std::string(folder) + kind);
            EXPECT_GT(CountRedInk(ReadBmp24(std::string(folder) + "r" + kind + ".bmp")),
                      40 * scale * scale);
            EXPECT_EQ(CountRedInk(ReadBmp24(std::string(folder) + "b" + kind + ".bmp")), 0);
        }
    }
}

TEST(ResourceFiles, BackgroundPatternIsEightByEight) {
    const Bitmap pattern = ReadBmp24("bmp/BKBrush.bmp");
    EXPECT_EQ(pattern.width, 8);
    EXPECT_EQ(pattern.height, 8);
}

TEST(ResourceFiles, ResourceListNamesEveryFileUnderItsOwnPath) {
    std::ifstream file(kResources + "/resources.qrc");
    std::stringstream qrc;
    qrc << file.rdbuf();
    std::vector<std::string> paths = {"bmp/BKBrush.bmp"};
    for (const auto& [scale, folder, maskFolder] : kPieceSets) {
        for (const char* kind : kKinds) {
            for (const char* prefix : {"r", "b"})
                paths.push_back(folder + std::string(prefix) + kind + ".bmp");
            paths.push_back(maskFolder + std::string("mask_") + kind + ".bmp");
        }
    }
    EXPECT_NE(qrc.str().find("<qresource prefix=\"/\">"), std::string::npos);
    for (const std::string& path : paths) {
        const std::string entry = "<file alias=\"" + path + "\">" + path + "</file>";
        EXPECT_NE(qrc.str().find(entry), std::string::npos) << "resources.qrc lacks " << path;
        EXPECT_TRUE(std::ifstream(kResources + "/" + path).good()) << path << " is missing";
    }
}

// A Traditional Chinese player reads the pieces in the characters of the move list: each piece of
// the Traditional Chinese set carries the first character of its moves in traditional style.
TEST(ResourceFiles, TraditionalPiecesCarryTheCharactersOfTheTraditionalMoveList) {
    using namespace xq;
    const std::string folder = std::string("pieces/") + kTraditionalFolder + "/";
    for (PieceKind kind = King; kind <= Pawn; ++kind) {
        const PieceKindArt& art = kTraditionalPieceKinds[kind - 1];
        EXPECT_EQ(std::string(art.fileName), kKinds[kind - 1]);
        for (Side side : {Red, Black}) {
            const MoveRecord move{MakeSquare(4, 4), MakeSquare(5, 4), 0, kind, 0};
            const std::string listed =
                StyledMoveText(FormatMove(move, side), side, MoveStyle::Traditional).substr(0, 3);
            EXPECT_EQ(side == Red ? art.redCharacter : art.blackCharacter, listed)
                << art.fileName << (side == Red ? " Red" : " Black");
            EXPECT_TRUE(std::ifstream(kResources + "/" + folder + (side == Red ? "r" : "b") +
                                      art.fileName + ".bmp")
                            .good());
        }
    }
}

}  // namespace
