#include "records/gamefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "platform/check.h"
#include "platform/display.h"
#include "platform/safefile.h"
#include "records/settings.h"
#include "rules/clock.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/positionkeeper.h"
#include "rules/record.h"
#include "rules/setupcheck.h"

namespace xq {

// The file holds the bytes as they lie in memory.
static_assert(std::endian::native == std::endian::little);
static_assert(std::numeric_limits<double>::is_iec559);

namespace {

constexpr int32_t kHighestPieceValue = 255 * 16;  // what the piece values dialog can set
constexpr int32_t kPieceValueStep = 16;
constexpr int kMostPiecesPerSide = 16;
// Beyond any real game; keeps the clock and move-number arithmetic far from overflow.
constexpr int32_t kMostPlies = 1000000;
constexpr double kMostSeconds = 1e9;

bool IsFlag(uint8_t value) {
    return value <= 1;
}

bool IsSeconds(double value) {
    return std::isfinite(value) && value >= 0 && value <= kMostSeconds;
}

bool HeaderIsSound(const GameFileHeader& h) {
    if (h.sideToMove > Black || h.otherSide != Opponent(h.sideToMove) || h.clockSide > Black)
        return false;
    if (!IsFlag(h.boardReversed) || !IsFlag(h.twoPlayerMode) || !IsFlag(h.demoMode) ||
        !IsFlag(h.noTimeLimit))
        return false;
    if (!IsLevel(h.levelKind) || !IsDepthLimit(h.maxDepth) || !IsLevelTime(h.levelTime))
        return false;
    if (h.plyCount < 0 || h.plyCount > kMostPlies) return false;
    if (!IsSeconds(h.searchSeconds) || !IsSeconds(h.blackSeconds) || !IsSeconds(h.redSeconds))
        return false;
    if (h.pieceValue[Empty] != 0 || h.pieceValue[King] != kDefaultPieceValue[King]) return false;
    for (PieceKind kind = Rook; kind <= Pawn; ++kind) {
        const int32_t value = h.pieceValue[kind];
        if (value < 0 || value > kHighestPieceValue || value % kPieceValueStep != 0) return false;
    }
    return true;
}

// Pieces only on the 90 points, each of a real kind and side; at most 16 a side, one King each.
bool CellsAreSound(const Board& cells) {
    int pieces[2] = {0, 0};
    int kings[2] = {0, 0};
    for (Square s = 0; s < kBoardCells; ++s) {
        const BoardCell& cell = cells[s];
        if (cell.kind == Empty) continue;
        if (!IsBoardPoint(s) || cell.kind > Pawn || cell.side > Black) return false;
        ++pieces[cell.side];
        if (cell.kind == King) ++kings[cell.side];
    }
    for (int side = Red; side <= Black; ++side)
        if (pieces[side] > kMostPiecesPerSide || kings[side] != 1) return false;
    return true;
}

// Puts the cells on the board with their sides to move. False, with everything put back as it
// was, when the position editor would refuse the position (too many pieces of a kind, a piece
// where it may not stand, the side to move able to take the other King): a game file holds only
// what the editor allows, and no game leads from there to anything else.
bool TryPosition(const Board& cells, const GameFileHeader& h) {
    // The whole position comes back, its key included, which BuildPieceLists has recomputed.
    PositionKeeper keeper;
    std::memcpy(board, cells, sizeof board);
    sideToMove = h.sideToMove;
    otherSide = h.otherSide;
    BuildPieceLists();
    if (!SetUpCountError().empty() || !SetUpPlacementError().empty()) return false;
    XQ_ASSERT(PositionIsConsistent());
    keeper.KeepNewPosition();
    return true;
}

void TakeSettings(const GameFileHeader& h) {
    boardReversed = h.boardReversed;
    twoPlayerMode = h.twoPlayerMode;
    demoMode = h.demoMode;
    noTimeLimit = h.noTimeLimit;
    levelKind = h.levelKind;
    levelTime = h.levelTime;
    maxDepth = h.maxDepth;
    plyCount = h.plyCount;
    searchClock.elapsed = h.searchSeconds;
    sideClock[Black].elapsed = h.blackSeconds;
    sideClock[Red].elapsed = h.redSeconds;
    std::memcpy(pieceValue, h.pieceValue, sizeof pieceValue);
}

std::string GameFileBytes() {
    GameFileHeader h{};
    h.sideToMove = sideToMove;
    h.otherSide = otherSide;
    h.clockSide = clockSide;
    h.boardReversed = boardReversed;
    h.twoPlayerMode = twoPlayerMode;
    h.demoMode = demoMode;
    h.noTimeLimit = noTimeLimit;
    h.levelKind = levelKind;
    h.levelTime = levelTime;
    h.maxDepth = maxDepth;
    h.plyCount = plyCount;
    h.searchSeconds = searchClock.elapsed;
    h.blackSeconds = sideClock[Black].elapsed;
    h.redSeconds = sideClock[Red].elapsed;
    std::memcpy(h.pieceValue, pieceValue, sizeof h.pieceValue);
    std::string bytes(kGameFileSize, '\0');
    std::memcpy(bytes.data(), &h, sizeof h);
    std::memcpy(bytes.data() + kGameFileBoardOffset, board, sizeof board);
    return bytes;
}

// Reads a regular file, and of a longer one one byte more than a game file holds, which tells it
// from a game file. Opening without waiting keeps a named pipe from hanging us. False when the
// file is missing or is not a readable regular file.
bool ReadGameFileBytes(const std::filesystem::path& file, std::string* bytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    bool readable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    bytes->assign(kGameFileSize + 1, '\0');
    size_t done = 0;
    while (readable && done < bytes->size()) {
        const ssize_t got = ::read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            readable = got == 0;
            break;
        }
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    bytes->resize(done);
    return readable;
}

}  // namespace

bool SaveGameFile(const std::filesystem::path& file) {
    const FileWrite result = ReplaceFileContent(file, GameFileBytes());
    if (result == FileWrite::NotCreated)
        MessageBox(FormatText(kCannotWritePattern, {file.string()}), Tr(kBoxCaption),
                   BoxIcon::Error);
    return result == FileWrite::Written;
}

std::string_view LoadGameBytes(std::string_view bytes) {
    // 1. Check everything before anything changes.
    if (bytes.size() != kGameFileSize) return kGameNotLoadedText;
    GameFileHeader h;
    Board cells;
    std::memcpy(&h, bytes.data(), sizeof h);
    std::memcpy(cells, bytes.data() + kGameFileBoardOffset, sizeof cells);
    if (!HeaderIsSound(h) || !CellsAreSound(cells) || !TryPosition(cells, h))
        return kGameNotLoadedText;
    // 2. The stored settings, clocks and piece values.
    TakeSettings(h);
    // 3. The board display, then the panel's level.
    ClearShownBoard();
    SyncShownBoard();
    RedrawAll();
    ShowLevel();
    // 4. A game that starts at this position, on the clock side it was saved with.
    ResetAfterSetUp();
    clockSide = h.clockSide;
    lastPlayerMove = NullMove;
    gameOver = 0;
    gameResultText.clear();
    return {};
}

std::string_view LoadGameFile(const std::filesystem::path& file) {
    std::string bytes;
    if (!ReadGameFileBytes(file, &bytes)) return kFileNotFoundText;
    return LoadGameBytes(bytes);
}

bool HasGameFileSignature(std::string_view bytes) {
    if (bytes.size() != kGameFileSize) return false;
    GameFileHeader h;
    std::memcpy(&h, bytes.data(), sizeof h);
    return h.sideToMove <= Black && h.otherSide == Opponent(h.sideToMove) &&
           h.pieceValue[Empty] == 0 && h.pieceValue[King] == kDefaultPieceValue[King];
}

bool IsGameFile(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == kGameFileExtension) return true;
    std::string bytes;
    return ReadGameFileBytes(file, &bytes) && HasGameFileSignature(bytes);
}

std::string_view SaveGame(std::string_view fileName) {
    if (fileName.empty()) return {};
    return SaveGameFile(std::filesystem::path(fileName)) ? std::string_view() : kSaveFailedText;
}

std::string_view RestoreGame(std::string_view fileName) {
    if (fileName.empty()) return kGameNotLoadedText;
    const std::string_view error = LoadGameFile(std::filesystem::path(fileName));
    if (!error.empty()) return error;
    SidesFromThePosition();
    return {};
}

}  // namespace xq
