#include "ui/analysismode.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "engine/editor.h"
#include "engine/enginechoice.h"
#include "engine/masterthink.h"
#include "engine/movevalues.h"
#include "engine/pump.h"
#include "engine/think.h"
#include "platform/display.h"
#include "records/menucommands.h"
#include "records/notation.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "ui/forms/infoform.h"

namespace xq {

namespace {

// Often enough that a move shows its new lines at once, rarely enough to cost nothing.
constexpr int kFollowMilliseconds = 100;
constexpr size_t kHashMegabytes = 32;
// The moves of a line kept; the panel shows as many as fit.
constexpr size_t kLineMoves = 8;
// The panel's fields that the analysis writes besides its lines.
constexpr const char* kAnalysisFields[] = {"Value", "Depth", "Nodes", "Seconds"};
constexpr char kOnMessage[] = QT_TRANSLATE_NOOP("AnalysisMode", "分析模式：双方的棋都由你走");

QString OnMessage() {
    return QCoreApplication::translate("AnalysisMode", kOnMessage);
}

// The added engine's runs are told apart from the 大师 engine's by their top bit.
constexpr uint64_t kExternalRun = uint64_t{1} << 63;

// The added engine chosen as the game's engine, which analyses in its place.
std::optional<host::EngineSetup> ChosenAddedEngine() {
    if (engineKind != EngineKind::Added) return std::nullopt;
    const int index = AddedEngineIndex(addedEngineName);
    if (index < 0) return std::nullopt;
    return addedEngines[static_cast<size_t>(index)];
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

bool SameMoves(std::span<const MoveRecord> a, std::span<const MoveRecord> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameMove);
}

QLabel* BestPathField(TInfoForm& panel) {
    return panel.findChild<QLabel*>(QStringLiteral("BestPath"));
}

}  // namespace

QString AnalysisValueText(int32_t redValue) {
    if (IsMateValue(redValue)) {
        const int plies = master::kMate - std::abs(redValue);
        const int moves = (plies + 1) / 2;  // the mating side's moves
        const char* pattern = redValue > 0 ? QT_TRANSLATE_NOOP("AnalysisMode", "红%1步杀")
                                           : QT_TRANSLATE_NOOP("AnalysisMode", "黑%1步杀");
        return QCoreApplication::translate("AnalysisMode", pattern).arg(moves);
    }
    return QString::asprintf("%+.2f", redValue / 100.0);
}

QString AnalysisLineText(const QString& value, const std::vector<MoveRecord>& moves, Side mover,
                         const QFontMetrics& metrics, int width) {
    QString text = value;
    for (size_t k = 0; k < moves.size(); ++k) {
        const QString next =
            text + u' ' + QString::fromStdString(ShownMove(moves[k], mover)).trimmed();
        if (k > 0 && metrics.horizontalAdvance(next) > width) break;
        text = next;
        mover = Opponent(mover);
    }
    return text;
}

AnalysisMode::AnalysisMode(TInfoForm& panel, QObject* parent)
    : QObject(parent),
      panel_(panel),
      live_(
          [this](uint64_t run, const master::SearchReport& report) { emit Reported(run, report); },
          kAnalysisLines, kHashMegabytes) {
    qRegisterMetaType<master::SearchReport>();
    connect(this, &AnalysisMode::Reported, this, &AnalysisMode::Receive, Qt::QueuedConnection);
    connect(this, &AnalysisMode::EngineFailed, this, &AnalysisMode::ReceiveFailure,
            Qt::QueuedConnection);
    follow_.setInterval(kFollowMilliseconds);
    connect(&follow_, &QTimer::timeout, this, &AnalysisMode::Follow);
}

// The mode belongs to the window: a window made afterwards starts with it off.
AnalysisMode::~AnalysisMode() {
    live_.Stop();
    external_.reset();
    analysisMode = 0;
}

void AnalysisMode::Toggle() {
    analysisMode = analysisMode ? 0 : 1;
    CheckMenuItem("AnalysisMode", On());
    ShowTakeBackAndReplay();  // by ply while the user moves for both sides
    if (On()) {
        // The user moves for the side to move, whichever it is.
        SidesFromThePosition();
        ShowMessage(OnMessage().toStdString());
        follow_.start();
        Follow();
        return;
    }
    // Off, nothing of the analysis stays on the panel, and no added engine runs.
    follow_.stop();
    Rest();
    external_.reset();
    panel_.ClearBestPath();
    for (const char* field : kAnalysisFields)
        panel_.ClearValue(field);
    if (panel_.FieldText("Message") == OnMessage()) ShowMessage("");
}

// The timer's step: rest while the game's engine searches (its line is on the board then, and
// the CPU is its own), start afresh when the board shows another position, and put the lines
// back when a reset of the panel has wiped them.
void AnalysisMode::Follow() {
    if (!On()) return;
    if (GameEngineBusy()) {
        Rest();
        return;
    }
    if (!analysed_ || BoardChanged() || EngineChanged()) {
        Restart();
        return;
    }
    if (!lines_.empty() && panel_.FieldText("BestPath") != shownText_) ShowLines();
}

bool AnalysisMode::GameEngineBusy() const {
    return computerThinking || thinking || inPumpDispatch || editMode || demoMode;
}

bool AnalysisMode::BoardChanged() const {
    const Position& shown = analysed_->position;
    if (shown.sideToMove != sideToMove) return true;
    if (std::memcmp(shown.board, board, sizeof board) != 0) return true;
    return !SameMoves(analysed_->history, GameHistory());
}

// Whether another engine is to analyse than the one that does.
bool AnalysisMode::EngineChanged() const {
    const std::optional<host::EngineSetup> chosen = ChosenAddedEngine();
    if (!chosen || !external_) return chosen.has_value() != (external_ != nullptr);
    return chosen->name != external_->Setup().name;
}

QString AnalysisMode::EngineName() const {
    return external_ ? QString::fromStdString(external_->Setup().name) : QString();
}

void AnalysisMode::Restart() {
    analysed_ = Analysed{gamePosition, GameHistory()};
    lines_.clear();
    shownText_.clear();
    panel_.ClearBestPath();
    ShowArrows();
    // 1. The engine: an added one keeps its process from one position to the next.
    if (EngineChanged()) {
        live_.Stop();
        external_.reset();
        if (const std::optional<host::EngineSetup> chosen = ChosenAddedEngine()) {
            external_ = std::make_unique<ExternalAnalysis>(
                *chosen, kAnalysisLines,
                [this](uint64_t run, const master::SearchReport& report) {
                    emit Reported(run | kExternalRun, report);
                },
                [this](uint64_t run, const std::string& failure) {
                    emit EngineFailed(run | kExternalRun, QString::fromStdString(failure));
                });
        }
    }
    // 2. A position without a legal move (mate, stalemate) ends its search at once, without
    // lines.
    shownRun_ = external_ ? external_->Start(analysed_->position, analysed_->history) | kExternalRun
                          : live_.Start(analysed_->position, analysed_->history);
}

// The mode ends as its menu item ends it, then the message line says why.
void AnalysisMode::ReceiveFailure(quint64 run, const QString& failure) {
    if (!On() || (run & kExternalRun) == 0 || !external_) return;
    Toggle();
    external_.reset();
    ShowWarning(
        QCoreApplication::translate("AnalysisMode", "分析已停止：%1").arg(failure).toStdString());
}

void AnalysisMode::Rest() {
    live_.Stop();
    if (external_) external_->Stop();
    analysed_.reset();
    shownRun_ = 0;
    lines_.clear();
    shownText_.clear();
    ShowArrows();
}

void AnalysisMode::Receive(quint64 run, const master::SearchReport& report) {
    if (run != shownRun_ || !analysed_ || report.multiPV < 1 || report.multiPV > kAnalysisLines)
        return;
    const Position& root = analysed_->position;
    AnalysisLine line;
    line.depth = report.depth;
    line.redValue = root.sideToMove == Red ? report.score : -report.score;
    // Each move with the piece it moves: the notation needs it.
    Position position = root;
    line.moves = LegalStart(position, report.pv, kLineMoves);
    if (line.moves.empty()) return;
    const auto index = static_cast<size_t>(report.multiPV - 1);
    if (lines_.size() <= index) lines_.resize(index + 1);
    lines_[index] = std::move(line);
    if (index == 0) {
        panel_.ShowSideValue(Red, Utf8(AnalysisValueText(lines_[0].redValue)));
        panel_.ShowValue("Depth", std::to_string(report.depth));
        panel_.ShowValue("Nodes", std::to_string(report.nodes));
        if (report.seconds > 0)
            panel_.ShowValue(
                "Seconds",
                Utf8(QString::number(static_cast<double>(report.nodes) / report.seconds, 'f', 1)));
    }
    ShowLines();
}

// One line a row in the best-line field, as many moves as fit beside the value.
void AnalysisMode::ShowLines() {
    const QLabel* field = BestPathField(panel_);
    if (field == nullptr) return;
    const QFontMetrics metrics(field->font());
    const int width = field->contentsRect().width() - 2 * field->indent();
    QStringList rows;
    for (const AnalysisLine& line : lines_) {
        if (line.moves.empty()) continue;
        rows << AnalysisLineText(AnalysisValueText(line.redValue), line.moves,
                                 analysed_->position.sideToMove, metrics, width);
    }
    panel_.ShowValue("BestPath", Utf8(rows.join(u'\n')));
    shownText_ = panel_.FieldText("BestPath");
    ShowArrows();
}

void AnalysisMode::ShowArrows() {
    if (!showArrows) return;
    std::vector<BoardArrow> arrows;
    for (const AnalysisLine& line : lines_)
        if (!line.moves.empty()) arrows.push_back({line.moves[0].from, line.moves[0].to});
    showArrows(std::move(arrows));
}

}  // namespace xq
