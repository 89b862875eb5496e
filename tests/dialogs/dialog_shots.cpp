// dialog-shots FOLDER: renders every dialog of the game into FOLDER/dialog-NAME.png, on whatever
// platform Qt is given (offscreen by default).
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "dialogs/dialog_catalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog-shots FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const auto& entry : xq::testing::AllDialogs()) {
        const QString file = folder.filePath("dialog-" + entry.name + ".png");
        if (!entry.dialog->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
