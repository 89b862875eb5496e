#include "dialogs/dialog_catalogue.h"

#include <QApplication>

#include "ui/dialogs/aboutdlg.h"
#include "ui/dialogs/colordlg.h"
#include "ui/dialogs/levelinputdlgs.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/dialogs/piecevaluedlg.h"
#include "ui/dialogs/valuerows.h"

namespace xq::testing {

std::vector<CataloguedDialog> AllDialogs() {
    std::vector<CataloguedDialog> all;
    all.push_back({"piece-values", std::make_unique<TPieceValueDlg>()});
    all.push_back({"seconds-per-move", std::make_unique<TInputSecPerMoveDlg>()});
    all.push_back({"minutes-per-game", std::make_unique<TInputMinPerGameDlg>()});
    all.push_back({"plies", std::make_unique<TInputPlyDlg>()});
    all.push_back({"colour", std::make_unique<TColorDlg>(ColourLinks{
                                 [] { return PackColour(0, 128, 0); }, [](PackedColour) {}, {}})});
    all.push_back({"end-of-game", std::make_unique<TEndChessGameDlg>(QString::fromUtf8("将死！"))});
    all.push_back(
        {"error", std::make_unique<TChessErrorDlg>(QString::fromUtf8(kByteRangeErrorText))});
    all.push_back({"error-long-path", std::make_unique<TChessErrorDlg>(
                                          QString::fromUtf8("无法打开文件 ") + "/home/player/" +
                                          QString("games-of-the-tournament/").repeated(5) +
                                          QString::fromUtf8("第七轮.chs。"))});
    all.push_back({"about", std::make_unique<TAboutDlg>()});
    for (CataloguedDialog& entry : all)
        entry.dialog->show();
    QApplication::processEvents();
    return all;
}

}  // namespace xq::testing
