// The main window's procedure on the core side. Every message of the main window is dispatched
// here by kind and, for menu commands, by command id. What needs no toolkit runs here (the new
// game, the position editor's commands, the private messages, the slow housekeeping timer), so
// tests and the headless tools drive the same code as the window; the window registers a handler
// for each thing that needs it (clicks and pointer moves, the clock's tick, the error dialog,
// closing, the dialogs' commands).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/messages.h"

namespace xq {

// The game has no file name yet; "保存" then asks for one. Set by a new game.
extern uint8_t gameUnnamed;

// The timers of the main window, as the command field of their Timer messages.
inline constexpr int32_t kClockTimer = 1;         // one second: the panel's clock
inline constexpr int32_t kHousekeepingTimer = 2;  // fifteen seconds
inline constexpr int kHousekeepingMilliseconds = 15000;

using CommandHandler = void (*)();
using MessageHandler = void (*)(const Message& message);

// The window's handler of a menu command, or of a message kind (nullptr removes it). A command or
// kind without a handler is ignored.
void SetCommandHandler(int32_t command, CommandHandler handler);
void SetMessageHandler(MessageKind kind, MessageHandler handler);
void ClearWindowHandlers();

// Runs the menu command `command` as if its item had been chosen. "新建" without a handler of its
// own (the menus' asks first whether to save the game) is NewGameCommand.
void RunCommand(int32_t command);

// The procedure of kMainWindow. Returns 0 (no message of the main window has a result). The
// end-of-game dialog's requests ask nothing more: NewGameRequest starts a new game at once, and
// ExitRequest goes to the window's handler of that kind (a close without a question), or, without
// one, runs "退出".
int64_t MainWindowProcedure(const Message& message);

// The error dialog's text, and the call that shows it: a beep when sound is on, then ShowError is
// sent to the main window, whose handler shows the modal error dialog; returns once it is closed.
extern std::string errorText;
void ReportError(std::string_view text);

// "新建": the clock stopped and its line emptied, nothing to take back or replay, a new game drawn
// afresh, the user playing the side to move.
void NewGameCommand();

// Every fifteen seconds: return unused memory to the system and, on every third tick counting
// from the first, seed the random generator afresh.
void HousekeepingTick();

}  // namespace xq
