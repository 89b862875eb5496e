#include "ui/extracommands.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProgressDialog>
#include <string>

#include "engine/commands.h"
#include "engine/windowprocedure.h"
#include "records/exchange.h"
#include "records/menucommands.h"
#include "ui/dialogs/analysegamedlg.h"
#include "ui/dialogs/gamelistdlg.h"
#include "ui/forms/mainform.h"
#include "ui/gameanalyser.h"
#include "ui/gamefiledialogs.h"

namespace xq {

namespace {

std::filesystem::path LocalPath(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

QString Translated(const char* source) {
    return QCoreApplication::translate("ExtraCommands", source);
}

void Report(const std::string& failure) {
    if (!failure.empty()) ReportError(failure);
}

void CopyPositionClick() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(PositionAsFen()));
}

void PastePositionClick() {
    Report(PastePosition(QGuiApplication::clipboard()->text().toStdString()));
}

void ExportGameClick() {
    QFileDialog dialog(mainForm, QCoreApplication::translate("ExtraCommands", "导出棋谱"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({Translated(kIccsFilter), Translated(kChineseFilter)});
    dialog.setDefaultSuffix(QStringLiteral("pgn"));
    const QString file = RunFileDialog(dialog);
    if (file.isEmpty()) return;
    const PgnNotation notation = dialog.selectedNameFilter() == Translated(kChineseFilter)
                                     ? PgnNotation::Chinese
                                     : PgnNotation::Iccs;
    Report(ExportGame(LocalPath(file), notation));
}

void ImportGameClick() {
    if (!KeepChangesFirst()) return;
    QFileDialog dialog(mainForm, QCoreApplication::translate("ExtraCommands", "导入棋谱"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {Translated(kImportFilter), QCoreApplication::translate("ExtraCommands", "所有文件 (*)")});
    const QString file = RunFileDialog(dialog);
    if (file.isEmpty()) return;
    // A file of many games shows them to choose one; a refusal changes nothing.
    std::string bytes;
    std::string error;
    std::vector<PgnEntry> games;
    if (!ReadGameText(LocalPath(file), &bytes, &error) || !ReadPgnGames(bytes, &games, &error)) {
        return Report(error);
    }
    size_t number = 1;
    if (games.size() > 1) {
        TGameListDlg list(games, mainForm);
        if (list.exec() != QDialog::Accepted || list.Chosen() == 0) return;
        number = list.Chosen();
    }
    Report(ImportGameText(bytes, number));
}

// One analysis at a time: while one runs, the item shows its progress dialog again.
void AnalyseGameClick() {
    if (GameAnalyser* running = GameAnalyser::Current(); running && running->Running()) {
        running->Progress()->show();
        running->Progress()->raise();
        return;
    }
    TAnalyseGameDlg dialog(mainForm);
    if (dialog.exec() != QDialog::Accepted) return;
    std::string error;
    if (GameAnalyser::Start(mainForm, dialog.SecondsPerMove(), &error) == nullptr) Report(error);
}

void MarkLastMoveClick() {
    if (mainForm == nullptr) return;
    LastMoveMark& mark = mainForm->Renderer().lastMoveMark;
    mark.SetEnabled(!mark.Enabled(), mainForm->Renderer());
    mainForm->Menus().SetChecked(QStringLiteral("MarkLastMove"), mark.Enabled());
}

}  // namespace

void RegisterExtraCommands() {
    SetCommandHandler(kCommandCopyPosition, CopyPositionClick);
    SetCommandHandler(kCommandPastePosition, PastePositionClick);
    SetCommandHandler(kCommandExportGame, ExportGameClick);
    SetCommandHandler(kCommandImportGame, ImportGameClick);
    SetCommandHandler(kCommandMarkLastMove, MarkLastMoveClick);
    SetCommandHandler(kCommandAnalyseGame, AnalyseGameClick);
}

}  // namespace xq
