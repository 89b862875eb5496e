#include "ui/gamefiledialogs.h"

#include <QFileDialog>

#include "records/menucommands.h"
#include "ui/forms/mainform.h"

namespace xq {

namespace {

std::string Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string ChooseGameToRestore() {
    QFileDialog dialog(mainForm);
    dialog.setObjectName("OpenDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromUtf8("Chess  File(*.chs)"));
    return Run(dialog);
}

std::string ChooseGameToSave() {
    QFileDialog dialog(mainForm);
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8("Chess File(*.chs)"));
    dialog.setDefaultSuffix(QStringLiteral("chs"));
    if (!savedGameName.empty()) dialog.selectFile(QString::fromStdString(savedGameName));
    return Run(dialog);
}

}  // namespace xq
