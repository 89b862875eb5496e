// The program's entry: the application, the main window, and Qt's event loop until the window
// has closed.
#include <QApplication>
#include <QIcon>

#include "ui/forms/mainform.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lanchuan-xiangqi"));
    QApplication::setApplicationDisplayName(QString::fromUtf8("澜川中国象棋"));
    // The launcher entry and the icon theme's icon, as installed.
    QApplication::setDesktopFileName(QStringLiteral("io.github.lanchuan_xiangqi.LanchuanXiangqi"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("lanchuan-xiangqi")));
    xq::TMainForm window;
    window.show();
    return QApplication::exec();
}
