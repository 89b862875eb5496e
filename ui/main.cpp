// The program's entry: the application, the main window, and Qt's event loop until the window
// has closed.
#include "ui/application.h"
#include "ui/forms/mainform.h"
#include "ui/stoprequests.h"

int main(int argc, char* argv[]) {
    xq::XiangqiApplication application(argc, argv);
    xq::SetUpApplication();
    xq::StopRequests stopRequests;
    xq::TMainForm window;
    window.show();
    return QApplication::exec();
}
