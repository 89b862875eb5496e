// The search's message pump. The search runs on the window's thread and calls PumpMessages after
// every move it takes back; the pump hands the window at most one message of the main window,
// with the rules of the engine's two ways of thinking:
// - on its own move (timedThinking): "停止" stops the search and ends a demonstration, other
//   menu commands are dropped, everything else is dispatched;
// - for a hint (a short search outside the engine's turn, at most about a second): nothing is
//   taken, so a click or a command waits in the queue and runs as usual once the hint is shown;
// - on the user's time (pondering): a click is judged on the real position (the search line and
//   the predicted reply are taken off the board around it); the predicted reply turns the search
//   into the engine's timed search, any other move stops it; a menu command stops the search and
//   is posted again to run after it.
#pragma once

#include <cstdint>

namespace xq {

extern uint8_t userMovePending;  // the mouse entry accepted a user move the flow has not answered
extern uint8_t inPumpDispatch;   // the pump is handing a click to the window from inside a search
extern uint8_t hinting;          // the search runs for a hint, outside the engine's turn

// While set, PumpMessages returns at once (benchmarks compare the search's speed without it).
extern bool pumpDisabled;

// How many pump calls pass between two readings of the tick count, and the milliseconds between
// two pulls of the toolkit's native events.
inline constexpr uint32_t kPumpCallsPerTimeCheck = 256;
inline constexpr uint32_t kNativePullMilliseconds = 10;

// Takes at most one pending message of the main window and acts on it. Costs one counter step
// and one load of the main window's pending count when nothing is pending for it.
void PumpMessages();
// The same for a search that calls it only every few thousand nodes (the 大师 engine's poll): the
// toolkit's events are pulled whenever kNativePullMilliseconds have passed, without the call count.
void PumpMessagesFromPoll();

// Used by the pump around a click while pondering. UnwindSearchLine takes back the search's moves
// above recordTop 0 and, while pondering, the predicted reply (recordTop ends at -2, or -1 when
// not pondering); RedoSearchLine plays the predicted reply again if still pondering and puts the
// search's moves back up to the recordTop UnwindSearchLine found.
void UnwindSearchLine();
void RedoSearchLine();

}  // namespace xq
