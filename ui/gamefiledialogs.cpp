#include "ui/gamefiledialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include "records/menucommands.h"
#include "records/settings.h"
#include "ui/forms/mainform.h"

namespace xq {

namespace {

QString sessionFolder;  // chosen in this run; chess.ini may fail to keep it

std::string Run(QFileDialog& dialog, const QString& proposed = {}) {
    return RunFileDialog(dialog, proposed).toStdString();
}

}  // namespace

QString LastFileFolder() {
    if (!sessionFolder.isEmpty()) return sessionFolder;
    return QString::fromStdString(ReadLastFolderSetting(SettingsFile()));
}

QString RunFileDialog(QFileDialog& dialog, const QString& proposed) {
    // 1. Open where the last file was chosen; a proposed file with its own folder opens there.
    const QString folder = LastFileFolder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
    // 2. Ask.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    // 3. Remember the chosen file's folder.
    const QString chosen = dialog.selectedFiles().first();
    sessionFolder = QFileInfo(chosen).absolutePath();
    if (const auto settings = SettingsFile(); !settings.empty())
        WriteLastFolderSetting(settings, sessionFolder.toStdString());
    return chosen;
}

void ForgetFileFolder() {
    sessionFolder.clear();
}

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
    return Run(dialog, QString::fromStdString(savedGameName));
}

}  // namespace xq
