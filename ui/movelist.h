// The move list below the board: the game's moves in Chinese notation, one numbered row per full
// move, Red's and Black's in two columns, scrolled to the latest. It tracks no events: its truth
// is the game record, read again after every change of the board, so moves played, retracted,
// taken back or replayed and new, restored or set-up games all show without a call of their own.
#pragma once

#include <QTableWidget>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "rules/types.h"

namespace xq {

// One ply of the game with the side that played it.
struct GamePly {
    MoveRecord move;
    Side mover;
    std::string text = {};  // as the notation writes it on its board; empty: from the move alone
    std::string wxf = {};   // as WXF writes it on that board; empty: from the move alone
    std::string mark = {};  // "?!", "?" or "??" when an analysis found the move wanting
    std::string tip = {};   // the analysis's better move and value, for a marked move
};

// The game's plies as the record holds them. `firstPly` counts the plies played before plies[0]
// (not 0 when the game began from a loaded position or the record has dropped its oldest plies);
// `dropped` is set when the record is full and the game longer, so it may have dropped some.
struct GameMoves {
    int32_t firstPly = 0;
    bool dropped = false;
    std::vector<GamePly> plies;
};

// Reads the record at any moment, also while the engine searches: its working slots, and the
// reply it plays unseen while it thinks on the user's time, are not moves of the game.
GameMoves CurrentGameMoves();
// `current` with the plies that its record has dropped taken from `earlier`, what the list showed
// before, when the two agree wherever both hold a ply.
GameMoves KeepDroppedPlies(const GameMoves& earlier, GameMoves current);
// Whether the record is in the middle of a move or a search, so it must be read again later.
bool RecordInTransit();

// One row of the list: the full-move number and the two move texts (empty when that side has
// not moved in this full move, as Red before a game that Black began), an analysed move's mark
// after its text and its better move in the tip. The last row of a game
// that is over has the number 0 and the result in `red`; it is shown across both columns.
struct MoveListRow {
    int32_t number;
    std::string red;
    std::string black;
    std::string redTip = {};  // what the analysis says of a marked move
    std::string blackTip = {};

    bool operator==(const MoveListRow&) const = default;
};

// The rows of `game`, then the row of `result` when it is not empty (the game is over).
std::vector<MoveListRow> MoveListRows(const GameMoves& game, std::string_view result = {});
// The full-move number of the row that holds game.plies[index].
int32_t FullMoveNumber(const GameMoves& game, size_t index);
// The ply's move as the list writes it (the panel's review lines too): its text, or the move's
// own when it has none, in the shown style.
std::string ShownPlyText(const GamePly& ply);
// For each row of MoveListRows(game) the game's ply count after the move of each of its two
// cells (0 for an empty cell).
std::vector<std::array<int32_t, 2>> MoveListCellPlies(const GameMoves& game);

// A click on a move, and Left, Right, Home and End while the list has the focus, ask to see a
// move of the game (a review command for the main window's queue); its context menu offers to go
// on from a move. The move shown is highlighted.
class MoveListView : public QTableWidget {
  public:
    explicit MoveListView(QWidget* parent);

    // The board has changed: the list is read again from the record once the change is done.
    void ScheduleRefresh();
    // Reads the record now and shows it; reads it again shortly while it is in transit. Empty
    // while the position editor is open.
    void Refresh();

    const std::vector<MoveListRow>& Rows() const { return rows_; }
    // The game as the list read it last, and the ply count after its last move.
    const GameMoves& Game() const { return game_; }
    int32_t LastPly() const;
    // Highlights the cell of the move after which the game's ply count is `ply` (none for -1 or
    // a ply without a cell).
    void MarkShownPly(int32_t ply);
    int32_t ShownPly() const { return shownPly_; }
    // The cell's ply count after its move; 0 for none.
    int32_t PlyAt(int row, int column) const;
    // Runs after every read of the record (the course graph follows the game's length with it).
    std::function<void()> afterRefresh;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Show(const std::vector<MoveListRow>& rows);
    void HighlightShownPly(bool on);
    void RetranslateHeader();
    void FitWholeRows();

    QTimer refresh_;
    GameMoves game_;
    std::vector<MoveListRow> rows_;
    std::vector<std::array<int32_t, 2>> cellPlies_;
    int32_t shownPly_ = -1;
};

// Asks the main window to show the position after the game's ply `ply` (the last ply: the game).
void PostReview(int32_t ply);

}  // namespace xq
