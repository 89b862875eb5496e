#include "ui/review.h"

#include <QAction>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/flow.h"
#include "engine/movevalues.h"
#include "engine/windowprocedure.h"
#include "platform/display.h"
#include "records/menucommands.h"
#include "records/notation.h"
#include "rules/clock.h"
#include "rules/game.h"
#include "rules/makemove.h"
#include "ui/boardarrows.h"
#include "ui/boardrenderer.h"
#include "ui/forms/mainform.h"
#include "ui/menus.h"
#include "ui/mouseentry.h"
#include "ui/movelist.h"

namespace xq {

namespace {

// When the record no longer holds the moves back to the position shown.
constexpr char kCannotContinueText[] =
    QT_TRANSLATE_NOOP("GameReview", "棋局记录已不含这步棋，无法从此处继续。");

std::string Translated(const char* source) {
    return QCoreApplication::translate("GameReview", source).toStdString();
}

// After "从此处继续" the user plays the side to move, which may be the other one.
constexpr char kYouPlayRedText[] = QT_TRANSLATE_NOOP("GameReview", "轮到红方走棋：你执红。");
constexpr char kYouPlayBlackText[] = QT_TRANSLATE_NOOP("GameReview", "轮到黑方走棋：你执黑。");

// The panel's move line of a past move: its number and its text as the list writes it.
std::string ReviewMoveLine(const GameMoves& game, size_t index) {
    char number[16];
    std::snprintf(number, sizeof number, "%3.3d. ", FullMoveNumber(game, index));
    return number + ShownPlyText(game.plies[index]);
}

// The index of `side`'s last ply among the first `count` plies of `game`; none when it has
// not moved in them.
std::optional<size_t> LastPlyOf(const GameMoves& game, size_t count, Side side) {
    for (size_t index = std::min(count, game.plies.size()); index-- > 0;)
        if (game.plies[index].mover == side) return index;
    return std::nullopt;
}

}  // namespace

std::string ReviewMessage(int32_t number, Side mover) {
    if (number <= 0) return Translated(QT_TRANSLATE_NOOP("GameReview", "查看：开局"));
    const char* pattern = mover == Red ? QT_TRANSLATE_NOOP("GameReview", "查看：第%1回合 红方")
                                       : QT_TRANSLATE_NOOP("GameReview", "查看：第%1回合 黑方");
    return QCoreApplication::translate("GameReview", pattern).arg(number).toStdString();
}

GameReview::GameReview(BoardRenderer& renderer, TInfoForm& panel, MoveListView& list,
                       MouseEntry& mouse, MainMenus& menus, BoardArrows& arrows)
    : renderer_(renderer),
      panel_(panel),
      list_(list),
      mouse_(mouse),
      menus_(menus),
      arrows_(arrows) {}

void GameReview::Show(int32_t ply) {
    if (editMode || computerThinking || thinking) return;
    // 1. The game as the record holds it now.
    list_.Refresh();
    const GameMoves& game = list_.Game();
    const int32_t last = list_.LastPly();
    if (ply >= last) return ReturnToGame();
    ply = std::max(ply, game.firstPly);
    if (!Active()) Enter();
    // 2. The copy: the game's position with the moves after `ply` taken back.
    shownPly_ = ply;
    shown_ = gamePosition;
    for (int32_t at = last; at > ply; --at) {
        SwapSides(shown_);
        MakeMove(shown_, game.plies[static_cast<size_t>(at - game.firstPly - 1)].move, true);
    }
    // 3. The board with the move shown marked, and the panel.
    const bool afterMove = ply > game.firstPly;
    renderer_.lastMoveMark.SetReviewMove(
        true, afterMove ? game.plies[static_cast<size_t>(ply - game.firstPly - 1)].move : NullMove);
    renderer_.ShowCells(&shown_.board);
    ShowBestMove(ply, last);
    ShowPanel(game, ply);
    ShowState();
}

// The clocks stop and the panel's lines are kept for the return; a lifted piece goes back.
void GameReview::Enter() {
    mouse_.PutBackLiftedPiece();
    gameLines_ = panel_.Lines();
    clockWasRunning_ = clockRunning != 0;
    clockSide_ = runningClock;
    if (clockWasRunning_) {
        StopClock();
        StopClockDisplay();
    }
}

void GameReview::ShowPanel(const GameMoves& game, int32_t ply) {
    panel_.ShowTurn(shown_.sideToMove);
    const auto count = static_cast<size_t>(ply - game.firstPly);
    for (const Side side : {Red, Black}) {
        const std::optional<size_t> last = LastPlyOf(game, count, side);
        panel_.ShowMoveLine(side, last ? ReviewMoveLine(game, *last) : std::string());
    }
    panel_.ShowMessage(
        count == 0 ? ReviewMessage(0, Red)
                   : ReviewMessage(FullMoveNumber(game, count - 1), game.plies[count - 1].mover));
}

// The analysed game's better move in the position shown (the entry of the ply played from it),
// as an arrow; none where the game has not been analysed there.
void GameReview::ShowBestMove(int32_t ply, int32_t last) {
    std::vector<BoardArrow> arrows;
    const auto next = static_cast<size_t>(ply) + 1;
    if (ply < last && next < moveValues.size()) {
        const MoveValue& value = moveValues[next];
        if (value.analysed && value.best.piece != Empty)
            arrows.push_back({value.best.from, value.best.to});
    }
    arrows_.SetReviewArrows(std::move(arrows));
}

void GameReview::Leave() {
    if (!Active()) return;
    shownPly_ = -1;
    arrows_.SetReviewArrows(std::nullopt);
    renderer_.lastMoveMark.SetReviewMove(false, NullMove);
    renderer_.ShowCells(nullptr);
    panel_.ShowLines(gameLines_);
    if (clockWasRunning_ && !clockRunning) {
        StartClock(clockSide_);
        StartClockDisplay();
    }
    ShowState();
}

void GameReview::ReturnToGame() {
    Leave();
    PonderAgain();
}

void GameReview::ContinueHere() {
    if (!Active()) return;
    const int32_t plies = list_.LastPly() - shownPly_;
    const Side playedBefore = userSide;
    Leave();
    if (!TakeBackPliesCommand(plies)) {
        ShowWarning(Translated(kCannotContinueText));
        return;
    }
    // With two people at the board the side to move is always the user's: nothing to say.
    if (!TakesBackByPly() && userSide != playedBefore)
        ShowMessage(Translated(userSide == Red ? kYouPlayRedText : kYouPlayBlackText));
}

// The line of a side that has moved: its used time, which its clock adds to only while it
// thinks, and its last move; the field's own text otherwise.
void GameReview::ShowGameMoveLines() {
    if (Active()) return;
    const GameMoves& game = list_.Game();
    for (const Side side : {Red, Black}) {
        const std::optional<size_t> last = LastPlyOf(game, game.plies.size(), side);
        panel_.ShowMoveLine(
            side, last ? PanelLineText(FullMoveNumber(game, *last), ShownPlyText(game.plies[*last]),
                                       sideClock[side].elapsed)
                       : std::string());
    }
}

// The list's highlight, the graph's mark and the menu item follow the move shown.
void GameReview::ShowState() {
    list_.MarkShownPly(shownPly_);
    if (QAction* item = menus_.Item(QStringLiteral("ContinueHere"))) item->setEnabled(Active());
    if (list_.afterRefresh) list_.afterRefresh();
}

bool KeepsReview(const Message& message) {
    switch (message.kind) {
        case MessageKind::PointerMove:
        case MessageKind::SetCursor:
        case MessageKind::Timer:
        case MessageKind::ShowError:
            return true;
        case MessageKind::Command:
            return ReviewEffectOf(message.command) == ReviewEffect::Keeps;
        default:
            return false;
    }
}

int64_t ReviewingWindowProcedure(const Message& message) {
    if (mainForm == nullptr) return MainWindowProcedure(message);
    GameReview& review = mainForm->Review();
    if (message.kind == MessageKind::Command && message.command == kCommandReview) {
        review.Show(message.x);
        return 0;
    }
    if (message.kind == MessageKind::Command && message.command == kCommandContinueHere) {
        review.ContinueHere();
        return 0;
    }
    if (!review.Active() || KeepsReview(message)) return MainWindowProcedure(message);
    // A click on the board only brings the game back.
    if (message.kind == MessageKind::LeftButtonDown) {
        review.ReturnToGame();
        return 0;
    }
    review.Leave();
    return MainWindowProcedure(message);
}

}  // namespace xq
