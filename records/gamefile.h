// Game files (*.chs): a snapshot of the position and of the game's settings, not a list of moves.
// Exactly 998 bytes: an 80-byte header, then the 153 board cells as the board holds them, 6 bytes
// each. Integers are little-endian, reals IEEE-754 binary64 little-endian; the bytes are written
// and read raw, so the layout below is pinned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/texts.h"  // the texts the window reports
#include "rules/board.h"

namespace xq {

struct GameFileHeader {
    uint8_t sideToMove;
    uint8_t otherSide;
    uint8_t clockSide;
    uint8_t boardReversed;
    uint8_t twoPlayerMode;
    uint8_t demoMode;
    uint8_t noTimeLimit;
    uint8_t levelKind;
    double levelTime;
    uint8_t maxDepth;
    uint8_t padding[3];  // written as 0, never read
    int32_t plyCount;
    double searchSeconds;  // the engine's last search
    double blackSeconds;   // Black's used time comes before Red's
    double redSeconds;
    int32_t pieceValue[8];  // indexed by kind
};
static_assert(sizeof(GameFileHeader) == 80);
static_assert(offsetof(GameFileHeader, levelKind) == 7);
static_assert(offsetof(GameFileHeader, levelTime) == 8);
static_assert(offsetof(GameFileHeader, maxDepth) == 16);
static_assert(offsetof(GameFileHeader, plyCount) == 20);
static_assert(offsetof(GameFileHeader, searchSeconds) == 24);
static_assert(offsetof(GameFileHeader, blackSeconds) == 32);
static_assert(offsetof(GameFileHeader, redSeconds) == 40);
static_assert(offsetof(GameFileHeader, pieceValue) == 48);

inline constexpr size_t kGameFileBoardOffset = sizeof(GameFileHeader);
inline constexpr size_t kGameFileSize = sizeof(GameFileHeader) + sizeof(Board);
static_assert(kGameFileSize == 998);

inline constexpr char kGameFileExtension[] = ".chs";

// Writes the game to `file`; the game does not change. The old content of the file stays whole
// until the new one is complete. False when the file could not be written, after the box
// "不能打开 <file> 用于写" when it could not even be created.
bool SaveGameFile(const std::filesystem::path& file);

// Reads `file` and, when every value in it is sound, makes it the game: the position, the level,
// the mode and view flags, the clocks and the piece values, with an empty record, no user move
// behind it, the game not over and the stored clock side. Returns the text to report when it does
// not: kFileNotFoundText for a file that is missing or is not a readable regular file,
// kGameNotLoadedText for one that fails a check. A refused file changes nothing.
std::string_view LoadGameFile(const std::filesystem::path& file);
// The same for the file's bytes.
std::string_view LoadGameBytes(std::string_view bytes);

// Whether `bytes` look like a game file before it is read as one: exactly kGameFileSize bytes, a
// side and its opponent in the first two, and at offset 48 the values of no piece (0) and of the
// King (4096), which no game file can change. The desktop's file type for game files (the MIME
// entry in data/) recognises them by the same bytes.
bool HasGameFileSignature(std::string_view bytes);
// Whether a file handed to the program is to be restored as a game file rather than imported as
// a game record: its name ends in ".chs" (in any case), or its bytes have the signature above.
bool IsGameFile(const std::filesystem::path& file);

// The save command: nothing at all for an empty name; otherwise SaveGameFile. Returns the text
// to report (kSaveFailedText), empty when there is none.
std::string_view SaveGame(std::string_view fileName);
// The restore command: kGameNotLoadedText for an empty name; otherwise LoadGameFile, after which
// the user plays the side to move. Returns the text to report, empty on success.
std::string_view RestoreGame(std::string_view fileName);

}  // namespace xq
