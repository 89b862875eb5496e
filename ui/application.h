// The program's application object: Qt's application with what the game adds around every event
// it delivers. An exception that escapes an event handler is shown in the error dialog and the
// program then closes as "退出" does, with its settings written, instead of ending abruptly.
#pragma once

#include <QApplication>
#include <QString>

namespace xq {

class XiangqiApplication : public QApplication {
  public:
    XiangqiApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void ShowEscapedException(const QString& what);
    bool showingException_ = false;
    bool closeRequested_ = false;  // by an escaped exception
};

// The application's names and its icon (the installed icon theme's, else the built-in one), and
// the language chess.ini names, else the desktop's (ui/language.h). No display name: the toolkit
// would append it to every caption, and the dialogs' captions are exactly theirs.
void SetUpApplication();

// The command line, `lanchuan-xiangqi [FILE]` (the launcher's %f), after Qt has taken its own
// options: the file to open, made absolute so that "保存" still finds it, or an empty text when
// none is given. --help and --version print their text and end the program, as does an unknown
// option (with its error); of several files only the first is opened.
QString FileFromCommandLine(const QStringList& arguments);

// Closes the program as "退出" does, for a request from outside the menus (a signal, the end of
// the desktop session, an escaped exception): open modal dialogs are cancelled, then the exit
// request is posted to the main window, which the message pump honours also while the engine
// thinks. Without a main window the application quits.
void RequestClose();

}  // namespace xq
