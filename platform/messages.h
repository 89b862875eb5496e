// The program's message queue. The window converts what the user does (clicks, pointer moves,
// menu commands, timer ticks, closing) into messages and posts them here; they are dispatched to
// one window procedure per target, either from the toolkit's event loop or, while the engine
// searches, one at a time by the search's own pump. The queue knows nothing of any toolkit.
#pragma once

#include <cstdint>
#include <functional>

namespace xq {

using WindowId = int32_t;
inline constexpr WindowId kAnyWindow = 0;  // as a peek filter: messages for every target
inline constexpr WindowId kMainWindow = 1;
inline constexpr WindowId kMaxWindowId = 15;

enum class MessageKind : uint32_t {
    LeftButtonDown = 1,  // x, y: client coordinates of the press
    PointerMove = 2,     // x, y: client coordinates of the pointer
    Command = 3,         // command: the menu item's command id
    SetCursor = 4,
    Timer = 5,  // command: the timer's id
    Close = 6,
    // The program's private messages.
    ShowError = 10010,  // show the error dialog with the shared error text
    NewGameRequest = 10020,
    ExitRequest = 10041,
};

struct Message {
    WindowId target = kMainWindow;
    MessageKind kind = MessageKind::Command;
    int32_t command = 0;  // menu command id or timer id
    int32_t x = 0;
    int32_t y = 0;
    int64_t param = 0;  // free for private messages
};

// A window procedure returns the message's result (0 when it has none).
using WindowProcedure = std::function<int64_t(const Message&)>;

// Installs the procedure of `target` (1..kMaxWindowId); an empty procedure removes it. Messages
// for a target without a procedure are dropped by dispatch with result 0.
void SetWindowProcedure(WindowId target, WindowProcedure procedure);

// Messages waiting in the queue. Read by MessagesPending on every searched move, so it is one
// plain integer and the empty test is one load.
extern int32_t queuedMessageCount;
inline bool MessagesPending() {
    return queuedMessageCount != 0;
}
// The same count per target: the search's pump asks only about the main window, so a message
// waiting for another window (a modeless dialog) costs it nothing either.
extern int32_t queuedMessagesFor[kMaxWindowId + 1];
inline bool MessagesPendingFor(WindowId target) {
    return queuedMessagesFor[target] != 0;
}

inline constexpr int kMessageQueueCapacity = 256;

// Appends `message` to the queue without running anything. False (message dropped) when the
// queue already holds kMessageQueueCapacity messages. Never allocates.
bool PostMessage(const Message& message);
// Runs the target's procedure now, before anything already queued, and returns its result.
int64_t SendMessage(const Message& message);
// The oldest queued message for `filter` (kAnyWindow: any target) into *out; with `remove` it
// leaves the queue. False when there is none; other targets' messages keep their order.
bool PeekMessage(Message* out, WindowId filter, bool remove);
// Hands a peeked message to its target's procedure; the same as SendMessage.
int64_t DispatchMessage(const Message& message);
// Dispatches, oldest first, at most as many messages as are queued when it is called: messages
// posted by their procedures wait for the next call, so a procedure that re-posts cannot loop
// forever. Returns how many were dispatched.
int DispatchPendingMessages();
// Empties the queue without dispatching (tests, and shutting down).
void ClearMessages();

// The toolkit's side of the queue, installed by the window at start-up:
// - the native pull moves the toolkit's pending input events into this queue. It is called by
//   PullNativeEvents, which the search's pump calls no more often than its own cheap time check
//   allows;
// - the wake hook runs after every successful post, so a toolkit can schedule a drain of the
//   queue from its event loop. A drain scheduled that way must wait while the engine's search is
//   taking messages itself; the queue cannot tell, its owner can.
// Either may be nullptr (the default): nothing happens.
using NativeEventPull = void (*)();
using MessageWakeHook = void (*)();
void SetNativeEventPull(NativeEventPull pull);
void SetMessageWakeHook(MessageWakeHook wake);
void PullNativeEvents();

}  // namespace xq
