// The toolkit's side of the message queue. Native input (clicks, pointer moves, menu choices,
// timer ticks) becomes queued messages elsewhere; this file moves them on:
// - outside a search, every post schedules a drain from Qt's event loop (the main loop or a
//   modal dialog's nested one), which dispatches what is queued;
// - inside a search the engine's pump takes the main window's messages itself and, about every
//   10 ms, asks for the native pull, which lets Qt deliver its pending events (and so post their
//   messages) without waiting.
#pragma once

#include <cstdint>

#include "platform/messages.h"

namespace xq {

// What the window's event handlers post: a message of `kind` for the main window.
void PostToMainWindow(MessageKind kind, int32_t command = 0, int32_t x = 0, int32_t y = 0);

// Installs the native pull and the wake hook on the queue; Detach removes both.
void AttachQtEventSource();
void DetachQtEventSource();

// Dispatches what is queued, unless the engine's search is taking messages itself. Called from
// Qt's event loop; messages still queued afterwards get another drain.
void DrainQueue();

// Runs after each drain from the event loop, once the dispatched handlers have returned (the
// window closes there when a close had to wait for a search to unwind).
using AfterDrainHook = void (*)();
void SetAfterDrainHook(AfterDrainHook hook);

}  // namespace xq
