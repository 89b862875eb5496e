#include "platform/messages.h"

#include <utility>

namespace xq {

int32_t queuedMessageCount = 0;
int32_t queuedMessagesFor[kMaxWindowId + 1] = {};

namespace {

// A ring of fixed capacity: posting during a search must not allocate.
Message ring[kMessageQueueCapacity];
int head = 0;  // slot of the oldest message

WindowProcedure procedures[kMaxWindowId + 1];
NativeEventPull nativePull = nullptr;
MessageWakeHook wakeHook = nullptr;

Message& At(int n) {
    return ring[(head + n) % kMessageQueueCapacity];
}

// Removes the n-th queued message, keeping the order of the others.
void RemoveAt(int n) {
    --queuedMessagesFor[At(n).target];
    for (int i = n; i > 0; --i)
        At(i) = At(i - 1);
    head = (head + 1) % kMessageQueueCapacity;
    --queuedMessageCount;
}

}  // namespace

void SetWindowProcedure(WindowId target, WindowProcedure procedure) {
    if (target < 1 || target > kMaxWindowId) return;
    procedures[target] = std::move(procedure);
}

bool PostMessage(const Message& message) {
    if (queuedMessageCount == kMessageQueueCapacity) return false;
    // Messages for no window would never be taken; they are refused like a full queue's.
    if (message.target < 1 || message.target > kMaxWindowId) return false;
    At(queuedMessageCount) = message;
    ++queuedMessageCount;
    ++queuedMessagesFor[message.target];
    if (wakeHook != nullptr) wakeHook();
    return true;
}

int64_t SendMessage(const Message& message) {
    if (message.target < 1 || message.target > kMaxWindowId) return 0;
    // A copy: the procedure may replace itself while it runs.
    WindowProcedure procedure = procedures[message.target];
    return procedure ? procedure(message) : 0;
}

bool PeekMessage(Message* out, WindowId filter, bool remove) {
    for (int n = 0; n < queuedMessageCount; ++n) {
        if (filter != kAnyWindow && At(n).target != filter) continue;
        *out = At(n);
        if (remove) RemoveAt(n);
        return true;
    }
    return false;
}

int64_t DispatchMessage(const Message& message) {
    return SendMessage(message);
}

int DispatchPendingMessages() {
    const int due = queuedMessageCount;
    int dispatched = 0;
    Message message;
    // A procedure may itself peek (a nested pump) and take some of the due messages.
    while (dispatched < due && PeekMessage(&message, kAnyWindow, true)) {
        DispatchMessage(message);
        ++dispatched;
    }
    return dispatched;
}

void ClearMessages() {
    head = 0;
    queuedMessageCount = 0;
    for (int32_t& count : queuedMessagesFor)
        count = 0;
}

void SetNativeEventPull(NativeEventPull pull) {
    nativePull = pull;
}

void SetMessageWakeHook(MessageWakeHook wake) {
    wakeHook = wake;
}

void PullNativeEvents() {
    if (nativePull != nullptr) nativePull();
}

}  // namespace xq
