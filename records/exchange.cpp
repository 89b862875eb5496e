#include "records/exchange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/flow.h"
#include "engine/movevalues.h"
#include "engine/windowprocedure.h"
#include "platform/display.h"
#include "platform/safefile.h"
#include "records/gametags.h"
#include "records/notation.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/positionkeeper.h"
#include "rules/record.h"
#include "rules/setupcheck.h"

namespace xq {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

// The first non-blank line of `text`, without blanks around it and without the "position fen "
// or "fen " that engine logs put in front of a FEN.
std::string_view FenLine(std::string_view text) {
    const size_t start = text.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) return {};
    text.remove_prefix(start);
    text = text.substr(0, text.find_first_of("\r\n"));
    for (std::string_view prefix : {"position ", "fen "}) {
        if (text.starts_with(prefix)) text.remove_prefix(prefix.size());
    }
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

// The position, the record and the panel are new: draw them, and let the user play on.
void ShowNewGame() {
    SyncShownBoard();
    RedrawAll();
    ShowLevel();
    ShowTurn(sideToMove);
    EnableMenuItem("UndoMove", CanTakeBackMenuMove());
    EnableMenuItem("RedoUndo", false);
    SidesFromThePosition();
    gameUnnamed = 1;  // "保存" asks for a game file's name
    ShowGameFile("");
    ForgetMoveValuesFrom(1);  // what the engines made of the game before is not this game's
}

// The position of `text` on the board when the editor's checks pass it (the piece counts, the
// placements, the side not to move not in check); otherwise its refusal, the board then left
// as the reading left it.
std::string ReadPastedPosition(std::string_view text) {
    const std::string_view fen = FenLine(text);
    if (fen.empty()) return Tr(kNoPositionText);
    std::string reason;
    if (ReadFen(fen, &reason)) {
        reason = SetUpCountError();
        if (reason.empty()) reason = SetUpPlacementError();
    }
    return reason.empty() ? reason : FormatText(kBadFenPattern, {reason});
}

}  // namespace

std::string PositionAsFen() {
    // The game's plies count from its start, whichever side moved first there.
    const Side firstToMove = plyCount % 2 == 0 ? sideToMove : Opponent(sideToMove);
    const int fullMove = (plyCount + (firstToMove == Black ? 1 : 0)) / 2 + 1;
    return WriteFen(CountQuietPlies(), fullMove);
}

std::string PastedPositionRefusal(std::string_view text) {
    const PositionKeeper keeper;  // the board as it was, whatever the text
    return ReadPastedPosition(text);
}

std::string PastePosition(std::string_view text) {
    // 1. The text and the editor's checks; a refusal puts the old position back.
    PositionKeeper keeper;
    const std::string reason = ReadPastedPosition(text);
    if (!reason.empty()) return reason;
    keeper.KeepNewPosition();
    // 2. A game from this position.
    StopClockDisplay();
    ClearShownBoard();
    StartFromSetUpPosition();
    ShowNewGame();
    AnnounceSetUpGame();
    return {};
}

std::string GameResultTag() {
    // Mate and stalemate both lose for the side that cannot move, whether the end was announced
    // or not (a game set up from a pasted position is not checked for it).
    if (!HasLegalMove()) return sideToMove == Red ? "0-1" : "1-0";
    if (!gameOver) return "*";
    if (gameResultText == kSixtyMovesText) return "1/2-1/2";
    if (gameResultText == kRedResignsText) return "0-1";
    if (gameResultText == kBlackResignsText) return "1-0";
    return "*";
}

std::string ExportGame(const std::filesystem::path& file, PgnNotation notation) {
    PgnGame game = CurrentGameAsPgn();
    game.result = GameResultTag();
    // A result the board does not show (a resignation, an agreed draw) stays the file's.
    if (const std::string kept = KeptResult(); game.result == "*" && !kept.empty())
        game.result = kept;
    switch (ReplaceFileContent(file, WritePgn(game, notation))) {
        case FileWrite::Written:
            MarkGameKept();  // the file holds the whole game
            return {};
        case FileWrite::NotCreated:
            return FormatText(kCannotWritePattern, {file.string()});
        case FileWrite::Failed:
            break;
    }
    return FormatText(kSaveFailedPattern, {file.string()});
}

bool ReadGameText(const std::filesystem::path& file, std::string* bytes, std::string* error) {
    // Only a regular file is read; opening without waiting keeps a named pipe from hanging us.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd >= 0) ::close(fd);
        *error = FormatText(kCannotReadPattern, {file.string()});
        return false;
    }
    if (static_cast<size_t>(status.st_size) > kLargestGameText) {
        ::close(fd);
        *error = FormatText(kTooLargePattern, {file.string()});
        return false;
    }
    std::string read(static_cast<size_t>(status.st_size), '\0');
    size_t done = 0;
    bool ok = true;
    while (ok && done < read.size()) {
        const ssize_t got = ::read(fd, read.data() + done, read.size() - done);
        if (got < 0 && errno == EINTR) continue;
        ok = got > 0;  // a file that shrinks while it is read is not read whole
        if (ok) done += static_cast<size_t>(got);
    }
    ::close(fd);
    if (!ok) {
        *error = FormatText(kCannotReadPattern, {file.string()});
        return false;
    }
    *bytes = std::move(read);
    return true;
}

std::string ImportGame(const std::filesystem::path& file, size_t number) {
    std::string bytes;
    std::string error;
    if (!ReadGameText(file, &bytes, &error)) return error;
    return ImportGameText(bytes, number);
}

std::string ImportGameText(std::string_view bytes, size_t number) {
    // 1. The whole game is read and checked before anything changes.
    PgnGame game;
    std::string error;
    if (!ReadPgn(bytes, &game, &error, number)) return error;
    // 2. Its start, as a new game or as a set-up position.
    StopClockDisplay();
    ClearShownBoard();
    NewGame();
    if (!game.startFen.empty()) {
        ReadFen(game.startFen, &error);  // the reader has set it up before
        StartFromSetUpPosition();
    }
    // 3. Every move into the record, the last of each side also on the panel.
    for (size_t ply = 0; ply < game.moves.size(); ++ply) {
        const MoveRecord& move = game.moves[ply];
        if (ply + 2 >= game.moves.size())
            FormatPanelMoveLine(plyCount, sideToMove, move, sideToMove, 0.0);
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
    MarkGameKept();  // the file holds it
    ShowNewGame();
    // 4. Its tags and its analysis stay with it: the move list, the graph and the next export
    // show them. The start set plyCount to 0, so move i made ply i + 1.
    KeepGameTags(std::move(game.tags));
    for (size_t ply = 0; ply < game.values.size(); ++ply)
        MoveValueAt(static_cast<int>(ply) + 1) = game.values[ply];
    if (!game.values.empty()) MoveValuesChanged();
    // 5. A game that ended in mate or stalemate ends here too, as it would have on the board.
    if (!game.moves.empty() && !HasLegalMove()) {
        SetGameResult(IsAttacked(otherSide, KingSquare(sideToMove)) ? kMateText : kStalemateText);
        ShowMessage(Tr(gameResultText));
        ShowEndOfGame(gameResultText);
    }
    return {};
}

}  // namespace xq
