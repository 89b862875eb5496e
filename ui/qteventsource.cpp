#include "ui/qteventsource.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/messages.h"
#include "rules/game.h"

namespace xq {

namespace {

bool drainScheduled = false;
AfterDrainHook afterDrain = nullptr;

void ScheduleDrain() {
    if (drainScheduled || QCoreApplication::instance() == nullptr) return;
    drainScheduled = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &DrainQueue, Qt::QueuedConnection);
}

void PullQtEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace

void PostToMainWindow(MessageKind kind, int32_t command, int32_t x, int32_t y) {
    Message message;
    message.target = kMainWindow;
    message.kind = kind;
    message.command = command;
    message.x = x;
    message.y = y;
    PostMessage(message);
}

void AttachQtEventSource() {
    SetNativeEventPull(PullQtEvents);
    SetMessageWakeHook(ScheduleDrain);
}

void DetachQtEventSource() {
    SetNativeEventPull(nullptr);
    SetMessageWakeHook(nullptr);
}

void SetAfterDrainHook(AfterDrainHook hook) {
    afterDrain = hook;
}

void DrainQueue() {
    drainScheduled = false;
    // Inside a search the pump takes the messages; the drain whose handler started the search
    // looks again once it has unwound.
    if (thinking) return;
    DispatchPendingMessages();
    if (afterDrain != nullptr) afterDrain();
    if (MessagesPending() && !thinking) ScheduleDrain();
}

}  // namespace xq
