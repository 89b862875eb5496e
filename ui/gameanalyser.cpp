#include "ui/gameanalyser.h"

#include <QEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "engine/movevalues.h"
#include "platform/display.h"
#include "platform/threadpriority.h"
#include "records/pgn.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/makemove.h"
#include "rules/record.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"
#include "ui/movelist.h"

namespace xq {

namespace {

QPointer<GameAnalyser> current;

QString ProgressText(int done, int total) {
    return GameAnalyser::tr("正在分析棋局：第 %1 / %2 步").arg(done).arg(total);
}

// Run by the core whenever a game begins or a position is set up in its place.
void StopWhenTheGameGoes() {
    if (current && current->Running()) current->GameGone();
}

// The core keeps its hooks for the whole run: they are added once.
void WatchForAnotherGame() {
    [[maybe_unused]] static const bool added = [] {
        AddNewGameHook(StopWhenTheGameGoes);
        AddSetUpHook(StopWhenTheGameGoes);
        return true;
    }();
}

}  // namespace

QPoint ProgressPlace(const QSize& frame, const QRect& window, const QRect& panel,
                     const QRect& available) {
    // 1. Beside the window, level with its top.
    const int top = std::clamp(window.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - frame.height()));
    if (window.right() + frame.width() <= available.right()) return {window.right() + 1, top};
    if (window.left() - frame.width() >= available.left())
        return {window.left() - frame.width(), top};
    // 2. Over the panel's bottom, centred on it, or from its left edge when wider.
    const int x = panel.left() + std::max(0, (panel.width() - frame.width()) / 2);
    return {x, panel.bottom() + 1 - frame.height()};
}

GameAnalyser* GameAnalyser::Start(QWidget* window, double secondsPerMove, std::string* error,
                                  std::optional<host::EngineSetup> engine) {
    PgnGame game = CurrentGameAsPgn();
    if (game.moves.empty()) {
        *error = tr("棋局还没有着法，无从分析").toStdString();
        return nullptr;
    }
    Position start{};
    if (!ReadFen(start, game.startFen.empty() ? kStartFen : game.startFen, error)) return nullptr;
    delete current.data();
    WatchForAnotherGame();
    const auto firstPly = static_cast<int32_t>(plyCount - static_cast<int>(game.moves.size()));
    current = new GameAnalyser(window, start, std::move(game.moves), firstPly, secondsPerMove,
                               std::move(engine));
    return current;
}

GameAnalyser* GameAnalyser::Current() {
    return current;
}

GameAnalyser::GameAnalyser(QWidget* window, const Position& start, std::vector<MoveRecord> moves,
                           int32_t firstPly, double secondsPerMove,
                           std::optional<host::EngineSetup> engine)
    : QObject(window), analysis_(start, moves), moves_(std::move(moves)), firstPly_(firstPly) {
    analysis_.SetSecondsPerMove(secondsPerMove);
    if (engine) analysis_.UseEngine(std::move(*engine));
    progress_ = new QProgressDialog(window);
    progress_->setObjectName(QStringLiteral("AnalysisProgress"));
    progress_->setRange(0, PlyCount());
    Retranslate();
    // The dialog is told of a change of language; its texts are this object's.
    progress_->installEventFilter(this);
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->setValue(0);
    connect(progress_, &QProgressDialog::canceled, this, &GameAnalyser::Stop);
    progress_->show();
    PlaceProgress(window);
    // The results come back as calls queued on this object, run by the window's event loop (or
    // by the pump while the game's engine searches): the thread never touches the game.
    worker_ = std::thread([this] {
        LowerThisThreadsPriority();
        const bool complete = analysis_.Run([this](const PlyAnalysis& ply) {
            QMetaObject::invokeMethod(
                this, [this, ply] { Take(ply); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, complete] { Finish(complete); }, Qt::QueuedConnection);
    });
}

// Clicks on the board must reach the board while the analysis runs.
void GameAnalyser::PlaceProgress(QWidget* window) {
    const auto* form = dynamic_cast<TMainForm*>(window);
    if (form == nullptr || form->InfoForm() == nullptr) return;
    const QWidget* panel = form->InfoForm();
    const QRect panelOnScreen(panel->mapToGlobal(QPoint(0, 0)), panel->size());
    const QScreen* screen = window->screen();
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : window->frameGeometry();
    progress_->move(ProgressPlace(progress_->frameGeometry().size(), window->frameGeometry(),
                                  panelOnScreen, available));
}

GameAnalyser::~GameAnalyser() {
    analysis_.Stop();
    if (worker_.joinable()) worker_.join();
    delete progress_.data();
}

void GameAnalyser::Stop() {
    analysis_.Stop();
    if (progress_) progress_->setLabelText(tr("正在停止分析……"));
}

void GameAnalyser::GameGone() {
    gameGone_ = true;
    Stop();
}

bool GameAnalyser::eventFilter(QObject* watched, QEvent* event) {
    // The type first: while the dialog is being destroyed, its events are no longer a dialog's.
    if (event->type() == QEvent::LanguageChange && watched == progress_) Retranslate();
    return QObject::eventFilter(watched, event);
}

// The progress dialog's texts in the language installed now.
void GameAnalyser::Retranslate() {
    if (!progress_) return;
    progress_->setWindowTitle(tr("分析棋局"));
    progress_->setCancelButtonText(tr("停止"));
    progress_->setLabelText(analysis_.Stopped() ? tr("正在停止分析……")
                                                : ProgressText(done_, PlyCount()));
}

// Whether the game still has `move` as its ply `plyIndex`: a move taken back or another game
// since the analysis began leaves the entry alone.
bool GameAnalyser::GameStillHolds(int32_t plyIndex, const MoveRecord& move) const {
    const GameMoves game = CurrentGameMoves();
    const int32_t at = plyIndex - game.firstPly - 1;
    return at >= 0 && at < static_cast<int32_t>(game.plies.size()) &&
           SameMove(game.plies[static_cast<size_t>(at)].move, move);
}

void GameAnalyser::Take(const PlyAnalysis& ply) {
    done_ = ply.ply;
    const int32_t plyIndex = firstPly_ + ply.ply;
    if (!gameGone_ && GameStillHolds(plyIndex, ply.played)) {
        MoveValueAt(plyIndex) = ply.value;
        if (mainForm != nullptr) mainForm->MoveList()->ScheduleRefresh();
        MoveValuesChanged();  // the course graph
    }
    if (progress_ && !analysis_.Stopped()) {
        progress_->setValue(done_);
        progress_->setLabelText(ProgressText(done_, PlyCount()));
    }
}

void GameAnalyser::Finish(bool complete) {
    running_ = false;
    if (worker_.joinable()) worker_.join();
    if (progress_) progress_->hide();
    // An analysis that completed as its game went is not that of the game shown.
    const bool analysed = complete && !gameGone_;
    // An engine that failed ended it: why, in words.
    if (!complete && !analysis_.Failure().empty()) {
        CurrentDisplay().ShowWarning(tr("棋局分析已停止：%1")
                                         .arg(QString::fromStdString(analysis_.Failure()))
                                         .toStdString());
        return;
    }
    CurrentDisplay().ShowMessage(
        (analysed ? tr("棋局分析完成") : tr("棋局分析已停止")).toStdString());
}

}  // namespace xq
