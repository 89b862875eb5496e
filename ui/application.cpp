#include "ui/application.h"

#include <QCommandLineParser>
#include <QDialog>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/messages.h"
#include "records/settings.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/mainform.h"
#include "ui/language.h"
#include "ui/qteventsource.h"

namespace xq {

namespace {

constexpr char kIconName[] = "lanchuan-xiangqi";

// The copy of the icon compiled into the program, in a small and a large size.
QIcon BuiltInIcon() {
    QIcon icon;
    for (const char* size : {"64x64", "256x256"})
        icon.addFile(QStringLiteral(":/icons/%1/lanchuan-xiangqi.png").arg(QLatin1String(size)));
    return icon;
}

}  // namespace

XiangqiApplication::XiangqiApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool XiangqiApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowEscapedException(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowEscapedException(QString());
    }
    return false;
}

// While the dialog is up the program goes on delivering events; a second exception then only
// joins the close already on its way. One after the close was asked for may come from the close
// steps themselves: the event loop then ends at once, rather than show dialog after dialog.
void XiangqiApplication::ShowEscapedException(const QString& what) {
    if (closeRequested_ && !showingException_) {
        QCoreApplication::exit(EXIT_FAILURE);
        return;
    }
    if (!showingException_) {
        showingException_ = true;
        QString text = QCoreApplication::translate("XiangqiApplication", "程序出错，将关闭。");
        if (!what.isEmpty()) text += QLatin1Char('\n') + what;
        ShowErrorDialog(text.toStdString());
        showingException_ = false;
    }
    closeRequested_ = true;
    RequestClose();
}

void SetUpApplication() {
    QApplication::setApplicationName(QStringLiteral("lanchuan-xiangqi"));
    QApplication::setApplicationVersion(QStringLiteral(XQ_VERSION));
    // The launcher entry and the icon theme's icon, as installed; run from the build tree the
    // built-in copy stands in.
    QApplication::setDesktopFileName(QStringLiteral("io.github.lanchuan_xiangqi.LanchuanXiangqi"));
    QApplication::setWindowIcon(QIcon::fromTheme(QLatin1String(kIconName), BuiltInIcon()));
    SetLanguage(LanguageForSetting(ReadLanguageSetting(SettingsFile()), QLocale::system()));
}

QString FileFromCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate("TMainForm", "澜川中国象棋"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QCoreApplication::translate("XiangqiApplication",
                                    "要恢复的棋局 (*.chs)，或要导入的棋谱 (PGN)"),
        QStringLiteral("[FILE]"));
    parser.process(arguments);
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) return {};
    if (files.size() > 1)
        std::fprintf(stderr, "lanchuan-xiangqi: only the first file is opened: %s\n",
                     qPrintable(files.first()));
    return QFileInfo(files.first()).absoluteFilePath();
}

void RequestClose() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog != nullptr && dialog->isVisible() && dialog->isModal()) dialog->reject();
    }
    if (mainForm == nullptr) {
        QCoreApplication::quit();
        return;
    }
    PostToMainWindow(MessageKind::ExitRequest);
}

}  // namespace xq
