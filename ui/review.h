// Looking back over the game. The board shows a copy of a past position (the position after a
// chosen move, with that move marked), the panel its turn, move lines and "查看：第12回合 红方";
// the game itself (position, record, counters) is not touched, and its clocks stand still
// meanwhile. The move list and the course graph choose the move through a review command in the
// main window's queue, so the engine's pump applies its rules: on its own move the engine drops
// the command (no review while it thinks for its move), on the user's time it stops thinking
// first; returning to the game lets it think on the user's time again. A command that changes
// the game or the board (ReviewEffectOf in engine/commands.h), or a click on the board, returns to
// the game first; the click does nothing more.
#pragma once

#include <cstdint>
#include <string>

#include "platform/messages.h"
#include "rules/board.h"
#include "ui/forms/infoform.h"

namespace xq {

class BoardArrows;
class BoardRenderer;
class MouseEntry;
class MoveListView;
class CourseGraph;
class MainMenus;
struct GameMoves;

// The message "查看：第12回合 红方" for the move of `mover` in full move `number`; the position
// before the game's first move listed when `number` is 0.
std::string ReviewMessage(int32_t number, Side mover);

class GameReview {
  public:
    GameReview(BoardRenderer& renderer, TInfoForm& panel, MoveListView& list, MouseEntry& mouse,
               MainMenus& menus, BoardArrows& arrows);

    bool Active() const { return shownPly_ >= 0; }
    // The game's ply count after the move shown; -1 while the board shows the game.
    int32_t ShownPly() const { return shownPly_; }
    // The position shown while Active.
    const Position& Shown() const { return shown_; }

    // Shows the position after the game's ply `ply` (not before the list's first move); the game's
    // last ply, or any later, returns to the game. Nothing while the engine thinks or the editor
    // is open.
    void Show(int32_t ply);
    // Back to the game as it is: its board, panel and clocks; nothing when not Active.
    void Leave();
    // Leave, then the engine thinks on the user's time again where it did before the review.
    void ReturnToGame();
    // "从此处继续": the game taken back to the position shown, as "悔棋" takes back. When the
    // user is left with the other side than before, the message line says so.
    void ContinueHere();
    // The panel's lines of each side's last move in the game as the list has read it, after the
    // side's used time; nothing while a past position is shown (its own lines are).
    void ShowGameMoveLines();

  private:
    void Enter();
    void ShowPanel(const GameMoves& game, int32_t ply);
    void ShowState();
    void ShowBestMove(int32_t ply, int32_t last);

    BoardRenderer& renderer_;
    TInfoForm& panel_;
    MoveListView& list_;
    MouseEntry& mouse_;
    MainMenus& menus_;
    BoardArrows& arrows_;
    Position shown_{};
    int32_t shownPly_ = -1;
    TInfoForm::PanelLines gameLines_;  // the panel's lines of the game, given back on leaving
    bool clockWasRunning_ = false;
    Side clockSide_ = Red;
};

// Whether a message leaves a review as it is: pointer moves, cursor and timer messages, and the
// commands whose ReviewEffectOf (engine/commands.h) keeps it.
bool KeepsReview(const Message& message);

// The main window's procedure: the review commands, a board click that returns to the game, and
// every other message after leaving a review that it ends, for MainWindowProcedure.
int64_t ReviewingWindowProcedure(const Message& message);

}  // namespace xq
