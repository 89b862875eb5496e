#include "ui/stoprequests.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <cerrno>
#include <csignal>

#include "records/settings.h"
#include "ui/application.h"
#include "ui/forms/mainform.h"

namespace xq {

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGHUP, SIGINT};

int signalPipe = -1;  // the writing end, for the handler

// Only async-signal-safe work: one byte into the pipe, errno left as it was.
extern "C" void WriteStopByte(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe, &byte, 1);
    errno = saved;
}

void SetHandler(int signal, void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

// A quit that bypassed the window's close (the session manager's) still keeps the settings.
void WriteSettingsOfAnOpenWindow() {
    if (mainForm != nullptr && mainForm->isVisible()) WriteSettings(SettingsFile());
}

}  // namespace

StopRequests::StopRequests() {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) == 0) {
        signalPipe = pipe_[1];
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { SignalArrived(); });
        for (int signal : kStopSignals)
            SetHandler(signal, WriteStopByte);
    }
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::commitDataRequest, this,
                [](QSessionManager&) { RequestClose(); });
        connect(application, &QCoreApplication::aboutToQuit, this, WriteSettingsOfAnOpenWindow);
    }
}

StopRequests::~StopRequests() {
    if (pipe_[0] < 0) return;
    for (int signal : kStopSignals)
        SetHandler(signal, SIG_DFL);
    signalPipe = -1;
    notifier_.reset();
    close(pipe_[0]);
    close(pipe_[1]);
}

// Several signals in a row make one close.
void StopRequests::SignalArrived() {
    char bytes[16];
    while (read(pipe_[0], bytes, sizeof bytes) > 0) {
    }
    RequestClose();
}

}  // namespace xq
