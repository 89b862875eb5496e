// The program's entry: the application, the main window, the file the command line names (opened
// once the event loop runs, so that its errors show over the window), and Qt's event loop until
// the window has closed.
#include <QFile>
#include <QTimer>

#include "records/menucommands.h"
#include "ui/application.h"
#include "ui/forms/mainform.h"
#include "ui/stoprequests.h"

int main(int argc, char* argv[]) {
    xq::XiangqiApplication application(argc, argv);
    xq::SetUpApplication();
    const QString file = xq::FileFromCommandLine(QApplication::arguments());
    xq::StopRequests stopRequests;
    xq::TMainForm window;
    window.show();
    if (!file.isEmpty())
        QTimer::singleShot(0, &window,
                           [file] { xq::OpenGivenFile(QFile::encodeName(file).toStdString()); });
    return QApplication::exec();
}
