#include "engine/pump.h"

#include "engine/commands.h"
#include "engine/movevalues.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/timecontrol.h"
#include "platform/check.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/timeofday.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq {

uint8_t userMovePending = 0;
uint8_t inPumpDispatch = 0;
uint8_t hinting = 0;
bool pumpDisabled = false;

namespace {

uint32_t callsUntilTimeCheck = kPumpCallsPerTimeCheck;
uint32_t lastNativePull = 0;
int16_t unwoundTop = 0;  // recordTop when UnwindSearchLine took the line off

// The toolkit's events reach the queue only through the native pull; the tick count is read on
// every kPumpCallsPerTimeCheck-th call only, so an idle pump stays a counter and a load.
void PullNativeEventsWhenDue() {
    const uint32_t now = TickCount();
    if (now - lastNativePull < kNativePullMilliseconds) return;
    lastNativePull = now;
    PullNativeEvents();
}

// On its own move the engine only listens for "停止"; the think menu offers nothing else.
void ActWhileTimed(const Message& message) {
    switch (message.kind) {
        case MessageKind::SetCursor:
            DispatchMessage(message);
            break;
        case MessageKind::Command:
            if (message.command == kCommandStop) {
                stopSearch = 1;
                demoMode = 0;
            }
            break;
        default:
            DispatchMessage(message);
            break;
    }
}

// A click while pondering: the window judges it on the real position; a completed move is only
// recorded (thinking is set) and sets userMovePending.
void HandOverClick(const Message& message) {
    UnwindSearchLine();
    inPumpDispatch = 1;
    userMovePending = 0;
    DispatchMessage(message);
    inPumpDispatch = 0;
    if (pondering && !twoPlayerMode && userMovePending) {
        if (SameMove(enteredMove, GameRecord[recordTop + 1])) {
            // The predicted reply: the running search becomes the engine's timed search.
            stopSearch = 0;
            userMovePending = 0;
            ForgetMoveValuesFrom(plyCount + 1);
            CommitEnteredMove();
            ComputeTimeLimit();
            ShowSearchLine(bestLine, searchScore, sideToMove);
            SetMenu(MenuKind::Think);
            SetCursor(Cursor::Busy);
        } else {
            stopSearch = 1;
        }
    }
    RedoSearchLine();
}

void ActWhilePondering(const Message& message) {
    switch (message.kind) {
        case MessageKind::LeftButtonDown:
            HandOverClick(message);
            break;
        case MessageKind::Command:
            // The command runs once the search has unwound.
            stopSearch = 1;
            PostMessage(message);
            break;
        default:
            DispatchMessage(message);
            break;
    }
}

void TakeOneMessage() {
    if (hinting) return;
    Message message;
    if (!PeekMessage(&message, kMainWindow, true)) return;
    if (timedThinking) {
        ActWhileTimed(message);
    } else {
        ActWhilePondering(message);
    }
}

}  // namespace

void PumpMessages() {
    if (pumpDisabled) return;
    if (--callsUntilTimeCheck == 0) {
        callsUntilTimeCheck = kPumpCallsPerTimeCheck;
        PullNativeEventsWhenDue();
    }
    if (!MessagesPendingFor(kMainWindow)) return;
    TakeOneMessage();
}

void PumpMessagesFromPoll() {
    if (pumpDisabled) return;
    PullNativeEventsWhenDue();
    if (!MessagesPendingFor(kMainWindow)) return;
    TakeOneMessage();
}

void UnwindSearchLine() {
    unwoundTop = recordTop;
    while (recordTop > 0) {
        --recordTop;
        SwapSides();
        MakeMove(GameRecord[recordTop], true);
    }
    --recordTop;
    if (pondering) TakeBackMove(GameRecord[recordTop]);
    XQ_ASSERT(recordTop == (pondering ? -2 : -1));
}

void RedoSearchLine() {
    if (pondering) PlayMove(GameRecord[recordTop + 1]);
    ++recordTop;
    while (recordTop < unwoundTop) {
        MakeMove(GameRecord[recordTop], false);
        SwapSides();
        ++recordTop;
    }
}

}  // namespace xq
