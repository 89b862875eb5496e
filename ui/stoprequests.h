// The requests from outside the window to end the program: the signals SIGTERM (kill, a shutdown),
// SIGHUP (the terminal or the session has gone) and SIGINT (Ctrl+C), and the end of the desktop
// session. Each closes the program as "退出" does (RequestClose), so the settings are written and
// the log is closed. A signal handler only writes a byte into a pipe; the pipe's notifier, run by
// Qt's event loop or by the search's pull of native events, turns it into the close.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace xq {

class StopRequests : public QObject {
  public:
    // Installs the signal handlers and listens for the session's end. One at a time.
    StopRequests();
    // Puts the signals' default actions back.
    ~StopRequests() override;

  private:
    void SignalArrived();

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace xq
