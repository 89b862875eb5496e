// The program's application object: Qt's application with what the game adds around every event
// it delivers. An exception that escapes an event handler is shown in the error dialog and the
// program then closes as "退出" does, with its settings written, instead of ending abruptly.
#pragma once

#include <QApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>

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
// Qt's own texts in the user's language. No display name: the toolkit would append it to every
// caption, and the dialogs' captions are exactly theirs.
void SetUpApplication();

// Installs Qt's own translations (the file dialogs' and message boxes' texts) for `locale`'s
// language, or Simplified Chinese when Qt has none for it, the language of the program's own
// texts. Returns the translator installed (the application owns it), or nullptr when neither is
// installed; the texts then stay English.
QTranslator* LoadQtTranslations(const QLocale& locale);

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
