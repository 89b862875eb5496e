#include "ui/movelist.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

#include "engine/analysis.h"
#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/movevalues.h"
#include "engine/think.h"
#include "platform/texts.h"
#include "records/movetext.h"
#include "records/notation.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/makemove.h"
#include "rules/record.h"
#include "ui/qteventsource.h"
#include "ui/systemfont.h"

namespace xq {

namespace {

// While the record is in transit the list looks again this often.
constexpr int kRecheckMilliseconds = 100;
// The number of the row that holds the result of a game that is over.
constexpr int32_t kResultRow = 0;

// The rows of the game's moves, and the ply count after each cell's move.
void LayOutRows(const GameMoves& game, std::vector<MoveListRow>* rows,
                std::vector<std::array<int32_t, 2>>* plies) {
    for (size_t index = 0; index < game.plies.size(); ++index) {
        const GamePly& played = game.plies[index];
        const int32_t number = FullMoveNumber(game, index);
        if (rows->empty() || rows->back().number != number) {
            rows->push_back({number, "", ""});
            plies->push_back({0, 0});
        }
        (played.mover == Red ? rows->back().red : rows->back().black) =
            ShownPlyText(played) + played.mark;
        (played.mover == Red ? rows->back().redTip : rows->back().blackTip) = played.tip;
        plies->back()[played.mover == Red ? 0 : 1] =
            game.firstPly + static_cast<int32_t>(index) + 1;
    }
}

std::vector<MoveListRow> MoveRows(const GameMoves& game) {
    std::vector<MoveListRow> rows;
    std::vector<std::array<int32_t, 2>> plies;
    LayOutRows(game, &rows, &plies);
    return rows;
}

// `cells` with `move` taken back: the mover's piece home again, a captured piece back in its place.
void TakeBackOn(Board& cells, const MoveRecord& move) {
    const BoardCell moved = cells[move.to];
    cells[move.from] = moved;
    cells[move.to] = BoardCell{};
    if (move.captured != Empty) {
        cells[move.to].kind = move.captured;
        cells[move.to].side = static_cast<uint8_t>(Opponent(static_cast<Side>(moved.side)));
    }
}

void PlayOn(Board& cells, const MoveRecord& move) {
    cells[move.to] = cells[move.from];
    cells[move.from] = BoardCell{};
}

// The analysis's mark and better move for the ply that made plyCount `ply`, played by `mover` on
// `cells`. An entry whose better move does not start from a piece of the mover was left by another
// game and is not shown.
void NoteAnalysis(GamePly* ply, int32_t plyIndex, const Board& cells) {
    if (plyIndex < 1 || static_cast<size_t>(plyIndex) >= moveValues.size()) return;
    const MoveValue& value = moveValues[static_cast<size_t>(plyIndex)];
    const MoveRecord& best = value.best;
    if (!value.analysed || value.mark == MoveMark::None || !IsBoardPoint(best.from) ||
        !IsBoardPoint(best.to) || cells[best.from].kind == Empty ||
        cells[best.from].side != ply->mover || SameMove(best, ply->move))
        return;
    ply->mark = MarkText(value.mark);
    const std::string better = ShownMoveText(best, ply->mover, cells);
    ply->tip = QCoreApplication::translate("MoveListView", "较好的着法：%1\n分析评分（红方）：%2")
                   .arg(QString::fromStdString(better),
                        QString::fromStdString(FormatPawns(value.redValue)))
                   .toStdString();
}

// The Chinese text of each ply, with the place among like pieces on a file (前车, 中兵) that the
// board before it calls for. `cells` stand after slot `top` of the record; a copy is taken back to
// before `first` and played forward.
void NameThePlies(GameMoves* game, const Board& cells, int first, int top) {
    Board before;
    std::copy(std::begin(cells), std::end(cells), std::begin(before));
    for (int slot = top; slot >= first; --slot)
        TakeBackOn(before, GameRecord[slot]);
    for (size_t i = 0; i < game->plies.size(); ++i) {
        GamePly& ply = game->plies[i];
        ply.text = ChineseMoveText(ply.move, ply.mover, before);
        ply.wxf = WxfMoveText(ply.move, ply.mover, before);
        NoteAnalysis(&ply, game->firstPly + static_cast<int32_t>(i) + 1, before);
        PlayOn(before, ply.move);
    }
}

}  // namespace

GameMoves CurrentGameMoves() {
    // 1. The game's position and the last slot of the game, which it stands after. While the
    // engine searches, the game ends at slot -1 and the slots from 0 up are its working moves;
    // the game's board then carries the search's line, so the copy kept where the search began
    // stands in for it.
    const bool searching = thinking != 0;
    const Position& position = searching ? searchRoot : gamePosition;
    const int anchor = searching ? -1 : recordTop;
    // 2. While the engine thinks on the user's time, slot -1 holds the reply it expects, which
    // nobody has played.
    const int top = searching && pondering ? -2 : anchor;
    const Side next = top < anchor ? Opponent(position.sideToMove) : position.sideToMove;
    // 3. Down from the top to the entry below the game's first move, or to the record's bottom
    // when the record has dropped its oldest plies.
    int first = top + 1;
    while (first - 1 >= kRecordBottom && GameRecord[first - 1].piece != Empty)
        --first;
    GameMoves game;
    game.firstPly = std::max(0, plyCount - (anchor - first + 1));
    // A record that has dropped plies is full: the entry below its oldest ply is its bottom slot.
    game.dropped = first <= kRecordBottom + 1 && game.firstPly > 0;
    Side mover = (top - first) % 2 == 0 ? Opponent(next) : next;
    for (int slot = first; slot <= top; ++slot) {
        game.plies.push_back({GameRecord[slot], mover});
        mover = Opponent(mover);
    }
    NameThePlies(&game, position.board, first, anchor);
    return game;
}

GameMoves KeepDroppedPlies(const GameMoves& earlier, GameMoves current) {
    const int32_t dropped = current.firstPly - earlier.firstPly;
    const auto shownBefore = static_cast<size_t>(std::max(0, dropped));
    if (!current.dropped || current.plies.empty() || dropped <= 0 ||
        shownBefore >= earlier.plies.size())
        return current;
    const size_t overlap = std::min(earlier.plies.size() - shownBefore, current.plies.size());
    for (size_t k = 0; k < overlap; ++k) {
        const GamePly& before = earlier.plies[shownBefore + k];
        if (before.mover != current.plies[k].mover || !SameMove(before.move, current.plies[k].move))
            return current;
    }
    current.plies.insert(current.plies.begin(), earlier.plies.begin(),
                         earlier.plies.begin() + static_cast<std::ptrdiff_t>(shownBefore));
    current.firstPly = earlier.firstPly;
    return current;
}

bool RecordInTransit() {
    return thinking != 0 || recordTop >= 0;
}

int32_t FullMoveNumber(const GameMoves& game, size_t index) {
    // Full moves begin with Red's: a game that Black began counts as if Red had passed first.
    const Side firstMover =
        game.firstPly % 2 == 0 ? game.plies[0].mover : Opponent(game.plies[0].mover);
    const int32_t ply = game.firstPly + (firstMover == Black ? 1 : 0) + static_cast<int32_t>(index);
    return ply / 2 + 1;
}

std::string ShownPlyText(const GamePly& ply) {
    if (shownMoveStyle == MoveStyle::Wxf && !ply.wxf.empty()) return ply.wxf;
    const std::string text = ply.text.empty() ? FormatMove(ply.move, ply.mover) : ply.text;
    return StyledMoveText(text, ply.mover, shownMoveStyle);
}

std::vector<std::array<int32_t, 2>> MoveListCellPlies(const GameMoves& game) {
    std::vector<MoveListRow> rows;
    std::vector<std::array<int32_t, 2>> plies;
    LayOutRows(game, &rows, &plies);
    return plies;
}

std::vector<MoveListRow> MoveListRows(const GameMoves& game, std::string_view result) {
    std::vector<MoveListRow> rows = MoveRows(game);
    if (!result.empty()) rows.push_back({kResultRow, std::string(result), ""});
    return rows;
}

MoveListView::MoveListView(QWidget* parent) : QTableWidget(0, 2, parent) {
    setObjectName(QStringLiteral("MoveList"));
    setFont(PanelFont());
    RetranslateHeader();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);  // FitWholeRows' least
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    verticalHeader()->setSectionsClickable(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    // A click gives it the focus, for the keys that walk through the game.
    setFocusPolicy(Qt::ClickFocus);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    refresh_.setSingleShot(true);
    connect(&refresh_, &QTimer::timeout, this, &MoveListView::Refresh);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (const int32_t ply = PlyAt(row, column); ply > 0) PostReview(ply);
    });
}

void PostReview(int32_t ply) {
    PostToMainWindow(MessageKind::Command, kCommandReview, ply);
}

int32_t MoveListView::LastPly() const {
    return game_.firstPly + static_cast<int32_t>(game_.plies.size());
}

int32_t MoveListView::PlyAt(int row, int column) const {
    if (row < 0 || column < 0 || column > 1 || static_cast<size_t>(row) >= cellPlies_.size())
        return 0;
    return cellPlies_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void MoveListView::MarkShownPly(int32_t ply) {
    HighlightShownPly(false);
    shownPly_ = ply;
    if (ply <= 0) setCurrentItem(nullptr);
    // Back at the game, the list shows its latest moves again.
    if (ply < 0) scrollToBottom();
    HighlightShownPly(true);
}

void MoveListView::HighlightShownPly(bool on) {
    for (int row = 0; row < static_cast<int>(cellPlies_.size()); ++row) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* cell = item(row, column);
            if (cell == nullptr || PlyAt(row, column) != shownPly_ || shownPly_ <= 0) continue;
            cell->setBackground(on ? palette().brush(QPalette::Highlight) : QBrush());
            cell->setForeground(on ? palette().brush(QPalette::HighlightedText) : QBrush());
            if (!on) continue;
            // The keys' focus frame goes with the move shown.
            setCurrentItem(cell);
            scrollToItem(cell);
        }
    }
}

// The keys step from the move shown, or from the game's last move while none is.
void MoveListView::keyPressEvent(QKeyEvent* event) {
    const int32_t last = LastPly();
    const int32_t from = shownPly_ >= 0 ? shownPly_ : last;
    int32_t to = from;
    switch (event->key()) {
        case Qt::Key_Left:
            to = std::max(game_.firstPly, from - 1);
            break;
        case Qt::Key_Right:
            to = std::min(last, from + 1);
            break;
        case Qt::Key_Home:
            to = game_.firstPly;
            break;
        case Qt::Key_End:
            to = last;
            scrollToBottom();  // also when the game is shown already and the list was scrolled
            break;
        default:
            QTableWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    if (to != from || shownPly_ >= 0) PostReview(to);
}

// "从此处继续" on a move: the move is shown, then the game goes on from it.
void MoveListView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex cell = indexAt(viewport()->mapFrom(this, event->pos()));
    const int32_t ply = PlyAt(cell.row(), cell.column());
    if (ply <= 0) return;
    QMenu menu(this);
    QAction* goOn = menu.addAction(QCoreApplication::translate("MainMenus", "从此处继续"));
    goOn->setObjectName(QStringLiteral("ContinueHereOnMove"));
    goOn->setEnabled(ply < LastPly());
    connect(goOn, &QAction::triggered, this, [ply] {
        PostReview(ply);
        PostToMainWindow(MessageKind::Command, kCommandContinueHere);
    });
    menu.exec(event->globalPos());
}

void MoveListView::RetranslateHeader() {
    setHorizontalHeaderLabels({QCoreApplication::translate("MoveListView", "红方"),
                               QCoreApplication::translate("MoveListView", "黑方")});
}

void MoveListView::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange) return;
    // The moves in the language's notation, the result in its words.
    RetranslateHeader();
    rows_.clear();
    Refresh();
}

void MoveListView::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    FitWholeRows();
}

// Scrolled to its end the list aligns its last row with the bottom: the rows share the room below
// the header evenly and the header takes what is left, so that the top row is whole too.
void MoveListView::FitWholeRows() {
    const int header = horizontalHeader()->sizeHint().height();
    const int room = height() - 2 * frameWidth() - header;
    const int rows = std::max(1, room / (fontMetrics().height() + 4));
    const int rowHeight = std::max(1, room / rows);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setMinimumHeight(header + std::max(0, room - rows * rowHeight));
}

void MoveListView::ScheduleRefresh() {
    // The board is redrawn in the middle of a move; the record is read once the move is done.
    refresh_.start(0);
}

void MoveListView::Refresh() {
    if (editMode) {  // the position editor hides the game while it is open
        Show({});
        return;
    }
    game_ = KeepDroppedPlies(game_, CurrentGameMoves());
    // The result of a game that is over stays as the list's last row.
    const std::string result = gameOver ? Tr(gameResultText) : std::string();
    Show(MoveListRows(game_, result));
    if (RecordInTransit()) refresh_.start(kRecheckMilliseconds);
    if (afterRefresh) afterRefresh();
}

void MoveListView::Show(const std::vector<MoveListRow>& rows) {
    if (rows == rows_) return;
    HighlightShownPly(false);
    rows_ = rows;
    cellPlies_ = MoveListCellPlies(game_);
    clearSpans();
    setRowCount(static_cast<int>(rows_.size()));
    QStringList numbers;
    for (int r = 0; r < rowCount(); ++r) {
        const MoveListRow& row = rows_[static_cast<size_t>(r)];
        const bool result = row.number == kResultRow;
        numbers << (result ? QString() : QString::number(row.number) + QLatin1Char('.'));
        if (result) setSpan(r, 0, 1, 2);
        const std::string* texts[2] = {&row.red, &row.black};
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* cell = item(r, column);
            if (cell == nullptr) {
                cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled);
                setItem(r, column, cell);
            }
            cell->setText(QString::fromStdString(*texts[column]));
            cell->setToolTip(QString::fromStdString(column == 0 ? row.redTip : row.blackTip));
            cell->setTextAlignment(result ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    setVerticalHeaderLabels(numbers);
    scrollToBottom();
    HighlightShownPly(true);
}

}  // namespace xq
