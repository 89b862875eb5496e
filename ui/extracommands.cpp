#include "ui/extracommands.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QProgressDialog>
#include <string>

#include "engine/commands.h"
#include "engine/windowprocedure.h"
#include "records/exchange.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "ui/boardarrows.h"
#include "ui/dialogs/analysegamedlg.h"
#include "ui/dialogs/gamelistdlg.h"
#include "ui/dialogs/matchdlg.h"
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

// A position that is taken drops the game, so a changed game asks first, as "新建" does; a
// refused one changes nothing and asks nothing.
void PastePositionClick() {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (std::string refusal = PastedPositionRefusal(text); !refusal.empty()) return Report(refusal);
    if (KeepChangesFirst()) Report(PastePosition(text));
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

// The list of a file of many games, for "导入棋谱..." and for a file handed to the program.
size_t ChooseGameFromList(const std::vector<PgnEntry>& games) {
    TGameListDlg list(games, mainForm);
    return list.exec() == QDialog::Accepted ? list.Chosen() : 0;
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
    const size_t number = games.size() > 1 ? ChooseGameFromList(games) : 1;
    if (number != 0) Report(ImportGameText(bytes, number));
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
    if (GameAnalyser::Start(mainForm, dialog.SecondsPerMove(), &error, dialog.ChosenEngine()) ==
        nullptr)
        Report(error);
}

void MarkLastMoveClick() {
    if (mainForm == nullptr) return;
    LastMoveMark& mark = mainForm->Renderer().lastMoveMark;
    mark.SetEnabled(!mark.Enabled(), mainForm->Renderer());
    mainForm->Menus().SetChecked(QStringLiteral("MarkLastMove"), mark.Enabled());
}

// One match dialog at a time, beside the window: the game goes on while the engines play.
void EngineMatchClick() {
    static QPointer<TMatchDlg> dialog;
    if (!dialog) {
        dialog = new TMatchDlg(mainForm);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

// Hidden arrows are kept: switched on again, the board shows the lines of the moment.
void AnalysisArrowsClick() {
    if (mainForm == nullptr) return;
    BoardArrows& arrows = mainForm->Arrows();
    arrows.SetEnabled(!arrows.Enabled());
    mainForm->Menus().SetChecked(QStringLiteral("AnalysisArrows"), arrows.Enabled());
    WriteArrowsSetting(SettingsFile(), arrows.Enabled());
}

}  // namespace

void RegisterExtraCommands() {
    SetCommandHandler(kCommandCopyPosition, CopyPositionClick);
    SetCommandHandler(kCommandPastePosition, PastePositionClick);
    SetCommandHandler(kCommandExportGame, ExportGameClick);
    SetCommandHandler(kCommandImportGame, ImportGameClick);
    SetCommandHandler(kCommandMarkLastMove, MarkLastMoveClick);
    SetCommandHandler(kCommandAnalyseGame, AnalyseGameClick);
    SetCommandHandler(kCommandAnalysisArrows, AnalysisArrowsClick);
    SetCommandHandler(kCommandEngineMatch, EngineMatchClick);
    chooseGameFromList = ChooseGameFromList;
}

}  // namespace xq
