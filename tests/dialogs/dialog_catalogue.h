// Every dialog of the game, made as it first appears to the user (the end-of-game and error
// dialogs with typical texts), for the layout test and the screenshots.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

namespace xq::testing {

struct CataloguedDialog {
    QString name;  // also the screenshot's file name
    std::unique_ptr<QDialog> dialog;
};

// The dialogs, shown (not modal) and laid out.
std::vector<CataloguedDialog> AllDialogs();

}  // namespace xq::testing
