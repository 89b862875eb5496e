#include "ui/dialogs/matchdlg.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMetaObject>
#include <QTableWidgetItem>
#include <cmath>
#include <utility>

#include "engine/book.h"
#include "engine/booklines.h"
#include "host/openings.h"
#include "ui/dialogs/miniboard.h"
#include "ui_matchdlg.h"

namespace xq {

namespace {

enum OpeningSource { kLibraryOpenings, kStartPosition, kOpeningFile };
enum ScoreColumn { kEngineColumn, kWinsColumn, kDrawsColumn, kLossesColumn, kPointsColumn };

std::string LocalPath(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The points of a score: a win 1, a draw one half.
QString Points(int wins, int draws) {
    return QString::number(wins + draws / 2.0, 'f', draws % 2 ? 1 : 0);
}

}  // namespace

TMatchDlg::TMatchDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TMatchDlg>()) {
    ui_->setupUi(this);
    choices_ = EngineChoices(false);
    FillEngineBox(ui_->Engine1, choices_);
    FillEngineBox(ui_->Engine2, choices_);
    // Unless the user says otherwise, the game's engine against the other of ours.
    if (choices_.size() > 1)
        ui_->Engine2->setCurrentIndex(ui_->Engine1->currentIndex() == 0 ? 1 : 0);
    ui_->Score->setColumnCount(5);
    ui_->Score->setRowCount(2);
    ui_->Score->setHorizontalHeaderLabels({tr("引擎"), tr("胜"), tr("和"), tr("负"), tr("得分")});
    // Two rows, whole, without scroll bars: the engine's name takes what the numbers leave.
    ui_->Score->verticalHeader()->hide();
    ui_->Score->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui_->Score->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView* header = ui_->Score->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kEngineColumn, QHeaderView::Stretch);
    ui_->Score->setFixedHeight(header->sizeHint().height() +
                               2 * ui_->Score->verticalHeader()->defaultSectionSize() +
                               2 * ui_->Score->frameWidth());
    ui_->Board->SetFen(
        QStringLiteral("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR"));
    connect(ui_->StartButton, &QPushButton::clicked, this, [this] { StartMatch(); });
    connect(ui_->StopButton, &QPushButton::clicked, this, &TMatchDlg::StopMatch);
    connect(ui_->CloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(ui_->BrowseOpenings, &QPushButton::clicked, this, &TMatchDlg::ChooseOpeningFile);
    connect(ui_->BrowsePgn, &QPushButton::clicked, this, &TMatchDlg::ChoosePgnFile);
    connect(ui_->Openings, &QComboBox::currentIndexChanged, this, [this](int source) {
        ui_->OpeningFile->setEnabled(source == kOpeningFile && !running_);
        ui_->BrowseOpenings->setEnabled(source == kOpeningFile && !running_);
    });
    ui_->OpeningFile->setEnabled(false);
    ui_->BrowseOpenings->setEnabled(false);
    // The runner's reports, as calls queued on this dialog: dropped if it has gone.
    events_.gameStarted = [this](int game, const std::string& red, const std::string& black,
                                 const host::Opening&) {
        QMetaObject::invokeMethod(
            this, [this, game, r = Text(red), b = Text(black)] { GameStarted(game, r, b); },
            Qt::QueuedConnection);
    };
    events_.movePlayed = [this](int game, const std::string&, const std::string& fen) {
        QMetaObject::invokeMethod(
            this, [this, game, f = Text(fen)] { MovePlayed(game, f); }, Qt::QueuedConnection);
    };
    events_.gameEnded = [this](const host::GameRecordOut& game, const host::MatchScore& score) {
        QMetaObject::invokeMethod(
            this, [this, game, score] { GameEnded(game, score); }, Qt::QueuedConnection);
    };
    ShowRunning();
    ShowScore();
}

TMatchDlg::~TMatchDlg() {
    stop_ = true;
    Join();
}

MiniBoard* TMatchDlg::Board() const {
    return ui_->Board;
}

// 1. The engines, 2. the games and the time, 3. the openings, 4. the PGN file.
bool TMatchDlg::Settings(host::MatchSettings* settings, QString* error) const {
    host::MatchSettings match;
    const QComboBox* boxes[2] = {ui_->Engine1, ui_->Engine2};
    for (int side = 0; side < 2; ++side) {
        const int index = boxes[side]->currentIndex();
        if (index < 0 || static_cast<size_t>(index) >= choices_.size() ||
            !choices_[static_cast<size_t>(index)].setup) {
            *error = tr("请选择两个引擎");
            return false;
        }
        match.engines[side] = *choices_[static_cast<size_t>(index)].setup;
    }
    // An engine against itself: the games and the table tell the two apart.
    if (match.engines[1].name == match.engines[0].name) match.engines[1].name += " (2)";

    match.games = ui_->Games->value();
    if (ui_->PerGame->isChecked()) {
        match.timeControl.base = std::llround(ui_->Minutes->value() * 60000);
        match.timeControl.increment = std::llround(ui_->Increment->value() * 1000);
    } else if (ui_->ByDepth->isChecked()) {
        match.timeControl.depth = ui_->Depth->value();
    } else {
        match.timeControl.moveTime = std::llround(ui_->Seconds->value() * 1000);
    }

    std::string reason;
    switch (ui_->Openings->currentIndex()) {
        case kLibraryOpenings:
            for (std::vector<std::string>& line :
                 OpeningLibraryLines(openingLibrary, kLibraryOpeningPlies))
                match.openings.push_back({std::string(), std::move(line)});
            if (match.openings.empty()) {
                *error = tr("开局库里没有开局");
                return false;
            }
            break;
        case kOpeningFile: {
            const QString file = ui_->OpeningFile->text();
            const host::OpeningFormat format =
                QFileInfo(file).suffix().compare(QStringLiteral("pgn"), Qt::CaseInsensitive) == 0
                    ? host::OpeningFormat::Pgn
                    : host::OpeningFormat::Epd;
            if (file.isEmpty() ||
                !host::ReadOpenings(LocalPath(file), format, -1, &match.openings, &reason) ||
                !host::CheckOpenings(match.openings, &reason)) {
                *error = file.isEmpty() ? tr("请选择开局文件") : Text(reason);
                return false;
            }
            break;
        }
        default:
            break;
    }
    // Each opening from both sides, the colours changing from game to game.
    match.repeat = !match.openings.empty();
    match.pgnPath = LocalPath(ui_->PgnFile->text());
    *settings = std::move(match);
    return true;
}

bool TMatchDlg::StartMatch(QString* error) {
    if (running_) return false;
    QString reason;
    if (!Settings(&settings_, &reason)) {
        ui_->LastResult->setText(reason);
        if (error != nullptr) *error = reason;
        return false;
    }
    Join();
    stop_ = false;
    running_ = true;
    shownGame_ = 0;
    gamesEnded_ = 0;
    score_ = {};
    names_[0] = Text(settings_.engines[0].name);
    names_[1] = Text(settings_.engines[1].name);
    ui_->LastResult->clear();
    ui_->GameLine->clear();
    ShowRunning();
    ShowScore();
    runner_ = std::thread([this] {
        host::MatchScore score;
        std::string failure;
        const bool ok = host::RunMatch(settings_, events_, stop_, &score, &failure);
        QMetaObject::invokeMethod(
            this, [this, ok, f = Text(failure)] { MatchEnded(ok, f); }, Qt::QueuedConnection);
    });
    return true;
}

void TMatchDlg::StopMatch() {
    if (!running_) return;
    stop_ = true;
    ui_->StopButton->setEnabled(false);
    ui_->LastResult->setText(tr("正在停止比赛……"));
}

void TMatchDlg::Join() {
    if (runner_.joinable()) runner_.join();
}

// The form rests while a match runs.
void TMatchDlg::ShowRunning() {
    for (QWidget* field : std::initializer_list<QWidget*>{
             ui_->Engine1, ui_->Engine2, ui_->Games, ui_->PerMove, ui_->Seconds, ui_->PerGame,
             ui_->Minutes, ui_->Increment, ui_->ByDepth, ui_->Depth, ui_->Openings, ui_->PgnFile,
             ui_->BrowsePgn, ui_->StartButton})
        field->setEnabled(!running_);
    const bool file = ui_->Openings->currentIndex() == kOpeningFile && !running_;
    ui_->OpeningFile->setEnabled(file);
    ui_->BrowseOpenings->setEnabled(file);
    ui_->StopButton->setEnabled(running_);
}

// One row an engine, the first engine's score and its mirror; the Elo difference from the first
// engine's view with its 95% interval.
void TMatchDlg::ShowScore() {
    const int wins[2] = {score_.wins, score_.losses};
    for (int row = 0; row < 2; ++row) {
        const QString values[5] = {names_[row].isEmpty()
                                       ? (row == 0 ? ui_->Engine1 : ui_->Engine2)->currentText()
                                       : names_[row],
                                   QString::number(wins[row]), QString::number(score_.draws),
                                   QString::number(wins[1 - row]), Points(wins[row], score_.draws)};
        for (int column = 0; column < 5; ++column)
            ui_->Score->setItem(row, column, new QTableWidgetItem(values[column]));
    }
    if (score_.Games() == 0) {
        ui_->Elo->setText(tr("Elo 差：—"));
        return;
    }
    const host::EloEstimate elo = host::EstimateElo(score_);
    ui_->Elo->setText(
        std::isfinite(elo.difference) && std::isfinite(elo.interval)
            ? tr("Elo 差：%1 ± %2（%3 局）")
                  .arg(QString::asprintf("%+.1f", elo.difference))
                  .arg(elo.interval, 0, 'f', 1)
                  .arg(score_.Games())
            : tr("Elo 差：%1（%2 局）")
                  .arg(elo.difference > 0 ? QStringLiteral("+∞") : QStringLiteral("-∞"))
                  .arg(score_.Games()));
}

void TMatchDlg::GameStarted(int game, const QString& red, const QString& black) {
    shownGame_ = game;
    ui_->GameLine->setText(tr("第 %1 局：红方 %2，黑方 %3").arg(game).arg(red, black));
}

void TMatchDlg::MovePlayed(int game, const QString& fen) {
    if (game == shownGame_) ui_->Board->SetFen(fen);
}

void TMatchDlg::GameEnded(const host::GameRecordOut& game, const host::MatchScore& score) {
    if (game.end == host::GameEnd::Stopped) return;
    ++gamesEnded_;
    score_ = score;
    ShowScore();
    ui_->LastResult->setText(
        tr("第 %1 局 %2：%3").arg(game.number).arg(Text(game.result), Text(game.reason)));
}

void TMatchDlg::MatchEnded(bool ok, const QString& error) {
    Join();
    running_ = false;
    ShowRunning();
    ui_->LastResult->setText(!ok ? error : stop_ ? tr("比赛已停止") : tr("比赛结束"));
    emit Finished(ok ? QString() : error);
}

void TMatchDlg::ChooseOpeningFile() {
    const QString file = QFileDialog::getOpenFileName(
        this, tr("开局文件"), ui_->OpeningFile->text(),
        tr("开局 (*.pgn *.epd *.fen *.txt)") + QStringLiteral(";;") + tr("所有文件 (*)"));
    if (!file.isEmpty()) ui_->OpeningFile->setText(file);
}

void TMatchDlg::ChoosePgnFile() {
    const QString file = QFileDialog::getSaveFileName(this, tr("棋谱写入"), ui_->PgnFile->text(),
                                                      tr("PGN 棋谱 (*.pgn)"));
    if (!file.isEmpty()) ui_->PgnFile->setText(file);
}

// Closing stops the match first; the engines end with it.
void TMatchDlg::closeEvent(QCloseEvent* event) {
    stop_ = true;
    Join();
    running_ = false;
    ShowRunning();
    QDialog::closeEvent(event);
}

void TMatchDlg::reject() {
    stop_ = true;
    Join();
    running_ = false;
    ShowRunning();
    QDialog::reject();
}

}  // namespace xq
