// The information panel, the clock display and the move list on the real window (offscreen): the
// fields' texts after a new game, a move and a search, the clock text as it ticks, and the move
// list read back from the game record after moves, a take-back and a replay.
#include "ui/forms/infoform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QScrollBar>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/flow.h"
#include "engine/master/engine.h"
#include "engine/movevalues.h"
#include "engine/pump.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/display.h"
#include "platform/encoding.h"
#include "platform/messages.h"
#include "platform/timeofday.h"
#include "records/exchange.h"
#include "records/gamefile.h"
#include "records/gamelog.h"
#include "records/notation.h"
#include "records/settings.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/makemove.h"
#include "support/fake_time.h"
#include "support/position_fixture.h"
#include "support/window_fixture.h"
#include "ui/boardrenderer.h"
#include "ui/clockdisplay.h"
#include "ui/coursegraph.h"
#include "ui/dialogs/aboutdlg.h"
#include "ui/forms/mainform.h"
#include "ui/language.h"
#include "ui/menus.h"
#include "ui/mouseentry.h"
#include "ui/movelist.h"
#include "ui/qteventsource.h"
#include "ui/review.h"

// Field texts print readably when a check fails.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace xq {
namespace {

using Rows = std::vector<MoveListRow>;

}  // namespace

// Rows print as the list shows them when a check fails.
void PrintTo(const MoveListRow& row, std::ostream* out) {
    *out << row.number << ". " << row.red << " " << row.black;
}

namespace {

// Plays the user's move given in ICCS coordinates (h2e2) as a click on the board would.
bool Enter(std::string_view iccs) {
    Square from = 0;
    Square to = 0;
    return ParseIccs(iccs, &from, &to) && HandleBoardMove(from, to);
}

// Lets Qt's event loop run for a moment (the move list reads the record from there).
void Settle() {
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
}

class InfoFormTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WindowTest::SetUp());
        form.show();
        // The engine searches two plies for every move, without the library.
        UseOpeningLibrary({});
        levelKind = kLevelFixedDepth;
        maxDepth = 2;
        NewGameCommand();
    }
    QString Field(const char* name) const { return form.InfoForm()->FieldText(name); }
    // The panel's move line of `side` as the move list holds the game: the side's last move in
    // the list with its row's number, after the side's used time; the field's own text while the
    // side has not moved.
    QString ListsLine(Side side) const {
        const Rows& rows = form.MoveList()->Rows();
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            const std::string& move = side == Red ? row->red : row->black;
            if (row->number == 0 || move.empty()) continue;
            const double used = sideClock[side].elapsed;
            const int minutes = static_cast<int>(used / 60);
            return QCoreApplication::translate("TInfoForm", side == Red ? "红方:" : "黑方:") +
                   QString::asprintf("%02d:%04.1f %03d. ", minutes, used - minutes * 60.0,
                                     row->number) +
                   QString::fromStdString(move);
        }
        return QCoreApplication::translate("TInfoForm", side == Red ? "红方：" : "黑方：");
    }
    void ExpectLinesFollowTheList(const char* when) {
        SCOPED_TRACE(when);
        Settle();
        EXPECT_EQ(Field("RedInfo"), ListsLine(Red));
        EXPECT_EQ(Field("BlackInfo"), ListsLine(Black));
    }

    static void Tick() {
        Message message;
        message.kind = MessageKind::Timer;
        message.command = kClockTimer;
        PostMessage(message);
        DispatchPendingMessages();
    }

    testing::FakeTime fakeTime;  // the clocks stand still unless a test moves them
    TMainForm form;
};

TEST_F(InfoFormTest, FieldsSitWhereTheFormPutsThem) {
    // Rows: field, its rectangle in the panel (Color1 in Panel1), its silver background.
    const struct {
        const char* field;
        QRect rect;
        bool silver;
    } rows[] = {
        {"Color1", {26, 40, 223, 20}, false},     {"Label1", {24, 240, 177, 20}, false},
        {"Timer", {66, 64, 223, 20}, false},      {"RedInfo", {66, 120, 223, 20}, false},
        {"BlackInfo", {66, 144, 223, 20}, false}, {"Level2", {66, 168, 223, 20}, false},
        {"Value", {66, 192, 223, 20}, false},     {"Nodes", {66, 216, 223, 20}, false},
        {"Seconds", {66, 240, 223, 20}, false},   {"Depth", {66, 264, 223, 20}, false},
        {"BestPath", {66, 312, 223, 65}, true},   {"Message", {66, 384, 223, 20}, true},
        {"Panel1", {40, 48, 273, 609}, false},
    };
    for (const auto& row : rows) {
        const QWidget* field = form.InfoForm()->findChild<QWidget*>(row.field);
        ASSERT_NE(field, nullptr) << row.field;
        EXPECT_EQ(field->geometry(), row.rect) << row.field;
        EXPECT_EQ(field->palette().color(QPalette::Window) == QColor(192, 192, 192), row.silver)
            << row.field;
        if (const auto* label = qobject_cast<const QLabel*>(field)) {
            EXPECT_EQ(label->font().pixelSize(), 16) << row.field;
            // Two CJK characters fit the field's height without being cut.
            EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height() + 2)
                << row.field;
        }
    }
    // The turn's field, inside Panel1, lines up with the clock's and the fields below it.
    const auto inForm = [&](const char* name) {
        const QWidget* field = form.InfoForm()->findChild<QWidget*>(name);
        return QRect(field->mapTo(form.InfoForm(), QPoint(0, 0)), field->size());
    };
    for (const char* name : {"Color1", "RedInfo", "Message"}) {
        EXPECT_EQ(inForm(name).left(), inForm("Timer").left()) << name;
        EXPECT_EQ(inForm(name).right(), inForm("Timer").right()) << name;
    }
    // The panel is drawn like the main window: the grooved frame round the right half.
    EXPECT_EQ(form.InfoForm()->grab().toImage().pixel(0, 300), qRgb(255, 255, 255));
    // The move list fills the room below the board, clear of the file labels.
    const QRect list = form.MoveList()->geometry();
    EXPECT_EQ(list.left(), 20);
    EXPECT_EQ(list.width(), 327);
    EXPECT_EQ(list.top() + list.height(), 448 + 200);
    EXPECT_GE(list.top(), 448);
    EXPECT_GT(list.top(), 2 * form.Renderer().LabelHeight() + 405) << "the labels stay whole";
}

// The longest texts a game writes stay inside their fields with the CJK font.
TEST_F(InfoFormTest, LongestTextsFitTheirFields) {
    MoveRecord line[kLineLength];
    std::fill(std::begin(line), std::end(line), NullMove);
    for (int k = 0; k < 9; ++k)
        line[k] = MoveRecord{MakeSquare(3, 8), MakeSquare(9, 8), 0, Rook, 0};
    ShowMoveLine(Red, PanelMoveLine(299, line[0], Red, 5999.9));
    ShowMoveLine(Black, PanelMoveLine(299, line[0], Black, 5999.9));
    ShowPanelValue("Depth", RootMoveText(45, line[0], Black));
    ShowPanelValue("Nodes", NodeCountText(999999999));
    ShowPanelValue("Seconds", NodeRateText(999999999, 1.0));
    ShowPanelValue("Value", ScoreText(-32000));
    ShowPanelValue("Timer", ClockText(5999 * 60 + 59, true));
    ShowSearchLine(line, 0, Red);
    ShowMessage(ForcedMateText(kMateScoreBase - 256 * 44));
    for (const char* name : {"RedInfo", "BlackInfo", "Depth", "Nodes", "Seconds", "Value", "Timer",
                             "BestPath", "Message", "Color1", "Level2"}) {
        const auto* field = form.InfoForm()->findChild<QLabel*>(name);
        ASSERT_NE(field, nullptr) << name;
        const QRect room = field->contentsRect().adjusted(field->indent(), 0, 0, 0);
        const QRect needed = field->fontMetrics().boundingRect(
            room, Qt::AlignLeft | Qt::AlignTop | (field->wordWrap() ? Qt::TextWordWrap : 0),
            field->text());
        EXPECT_LE(needed.width(), room.width()) << name << " " << field->text().toStdString();
        EXPECT_LE(needed.height(), room.height() + 2) << name;
    }
}

// A hint's line of seven moves is longer than the message field: the field breaks it between
// moves, never inside one, growing downwards no further than the room below it; a text too long
// even for that ends with "…" after a whole move and leaves it all in the tooltip. A short
// message gives the field its one line back.
TEST_F(InfoFormTest, TheMessageFieldShowsAHintLineInWholeMoves) {
    const auto* field = form.InfoForm()->findChild<QLabel*>("Message");
    ASSERT_NE(field, nullptr);
    const QRect oneLine = field->geometry();
    const QStringList moves = QString::fromUtf8(
                                  "炮二平五 马８进７ 马二进三 车９平８ 车一平二 马２进３ 兵七进一 "
                                  "卒７进１ 车二进六 炮８平９ 车二平三 炮９退１ 马八进七 士４进５")
                                  .split(' ');
    for (int count : {7, 14}) {
        SCOPED_TRACE(std::to_string(count) + " moves");
        QString line;
        for (int k = 0; k < count; ++k)
            line += moves[k] + "  ";
        ShowMessage(line.toStdString());
        EXPECT_EQ(form.InfoForm()->FieldText("Message"), line);
        const QRect room = field->contentsRect().adjusted(field->indent(), 0, 0, 0);
        const QStringList shown = field->text().split('\n');
        EXPECT_GT(shown.size(), 1);
        EXPECT_LE(shown.size() * field->fontMetrics().lineSpacing(), room.height() + 2);
        QStringList shownMoves;
        for (const QString& text : shown) {
            EXPECT_LE(field->fontMetrics().horizontalAdvance(text), room.width())
                << text.toStdString();
            shownMoves += text.split(' ', Qt::SkipEmptyParts);
        }
        const bool cut = shownMoves.back().endsWith(QString::fromUtf8("…"));
        if (cut) shownMoves.back().chop(1);
        if (shownMoves.back().isEmpty()) shownMoves.removeLast();
        EXPECT_EQ(shownMoves, moves.mid(0, shownMoves.size())) << "whole moves in their order";
        EXPECT_EQ(shownMoves.size() < count, cut);
        EXPECT_EQ(field->toolTip(), cut ? line : QString());
        EXPECT_EQ(field->x(), oneLine.x());
        EXPECT_EQ(field->y(), oneLine.y());
        EXPECT_EQ(field->width(), oneLine.width());
        EXPECT_LE(field->geometry().bottom(), 448) << "clear of the room below";
    }
    EXPECT_TRUE(field->toolTip().size() > 0) << "fourteen moves do not fit";
    ShowMessage(kImpossibleMoveText);
    EXPECT_EQ(field->geometry(), oneLine);
    EXPECT_EQ(field->text().toStdString(), kImpossibleMoveText);
    EXPECT_EQ(field->toolTip(), QString());
}

TEST_F(InfoFormTest, PanelTextsAfterANewGameAMoveAndASearch) {
    // A new game: the reset texts, the turn, the level, and a clock without time.
    const QStringList reset = {
        "轮流：红方", "时间：", "红方：", "黑方：", "级别：回合深度 = 2", "值：", "节点：",
        "步/秒：",    "深度：", "",       ""};
    const char* names[] = {"Color1", "Timer",   "RedInfo", "BlackInfo", "Level2", "Value",
                           "Nodes",  "Seconds", "Depth",   "BestPath",  "Message"};
    ShowPanelValue("Timer", "");  // the new-game command writes the clock's label alone
    for (size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(Field(names[i]), reset[static_cast<qsizetype>(i)]) << names[i];
    ResetPanel();
    EXPECT_EQ(Field("Timer"), QString::fromUtf8("时间:")) << "the loaded text has the narrow colon";
    EXPECT_EQ(Field("RedInfo"), QString::fromUtf8("红方："));

    // The user's move and the engine's two-ply answer; the lines are read with the move list.
    ASSERT_TRUE(Enter("h2e2"));
    Settle();
    const MoveRecord reply = GameRecord[recordTop];
    EXPECT_EQ(Field("RedInfo").toStdString(), "红方:00:00.0 001. 炮二平五");
    EXPECT_EQ(Field("BlackInfo").toStdString(), "黑方:00:00.0 001. " + FormatMove(reply, Black));
    EXPECT_EQ(Field("Color1"), QString::fromUtf8("轮流：红方"));
    EXPECT_EQ(Field("BestPath").toStdString().substr(0, FormatMove(reply, Black).size()),
              FormatMove(reply, Black))
        << "the best line begins with the move played";
    EXPECT_EQ(Field("Value").toStdString(), "值（黑方）：" + ScoreText(predictedScore))
        << "the engine's value, from its own side's view";
    EXPECT_TRUE(Field("Depth").startsWith(QString::fromUtf8("深度：2 ")))
        << Field("Depth").toStdString();
    EXPECT_TRUE(Field("Nodes").startsWith(QString::fromUtf8("节点：")));
    EXPECT_GT(Field("Nodes").mid(3).trimmed().toInt(), 0) << "the search's node count";

    // Undo takes the line away; a warning shows in the message line.
    TakeBackFullMove();
    EXPECT_EQ(Field("BestPath"), "");
    EXPECT_FALSE(ValidateEnteredMove(0, 1));
    EXPECT_EQ(Field("Message").toStdString(), kImpossibleMoveText);
}

TEST_F(InfoFormTest, WithTheBestLineOffASearchLeavesLineAndValueAlone) {
    bestPathShown = 0;
    ASSERT_TRUE(Enter("h2e2"));
    EXPECT_EQ(Field("BestPath"), "");
    EXPECT_EQ(Field("Value"), QString::fromUtf8("值："));
    EXPECT_TRUE(Field("Depth").startsWith(QString::fromUtf8("深度：2 "))) << "the rest is written";
    // Switched on, a line of nine moves shows its first seven.
    bestPathShown = 1;
    MoveRecord line[kLineLength];
    std::fill(std::begin(line), std::end(line), NullMove);
    for (int k = 0; k < 9; ++k)
        line[k] = MoveRecord{16, 0, 0, Rook, 0};
    ShowSearchLine(line, 512, Red);
    EXPECT_EQ(Field("BestPath").split(' ', Qt::SkipEmptyParts).size(), 7);
    EXPECT_EQ(Field("Value"), QString::fromUtf8("值（红方）：   2.00"));
}

// The value field names the side from whose view its figure is: the side whose move the search
// chose (the engine's own in a game, the user's in a hint), in the panel's language, until a new
// game takes the figure away.
TEST_F(InfoFormTest, TheValueFieldNamesTheSideOfItsView) {
    MoveRecord line[kLineLength];
    std::fill(std::begin(line), std::end(line), NullMove);
    line[0] = MoveRecord{MakeSquare(0, 0), MakeSquare(1, 0), 0, Rook, 0};
    ShowSearchLine(line, -256, Black);
    EXPECT_EQ(Field("Value"), QString::fromUtf8("值（黑方）：  -1.00"));
    ShowSearchLine(line, 256, Red);
    EXPECT_EQ(Field("Value"), QString::fromUtf8("值（红方）：   1.00"));
    {
        testing::InLanguage english(Language::English);
        EXPECT_EQ(Field("Value"),
                  QCoreApplication::translate("TInfoForm", "值（红方）：") + "   1.00");
        EXPECT_FALSE(Field("Value").contains(QString::fromUtf8("值")));
    }
    ResetPanel();
    EXPECT_EQ(Field("Value"), QString::fromUtf8("值："));
}

TEST(ClockTextTest, MinutesAndSecondsWithABlinkingColon) {
    // Rows: used seconds, colon shown, text.
    const struct {
        int32_t seconds;
        bool colon;
        const char* text;
    } rows[] = {{0, true, "00:00"},     {75, true, "01:15"},      {76, false, "01 16"},
                {599, true, "09:59"},   {6000, true, "100:00"},   {6000, false, "100 00"},
                {6059, true, "100:59"}, {359999, true, "5999:59"}};
    for (const auto& row : rows)
        EXPECT_EQ(ClockText(row.seconds, row.colon), row.text) << row.seconds;

    // The time since the last reading counts, across midnight as the clock's lap does.
    Stopwatch watch{};
    watch.hour = 23;
    watch.minute = 59;
    watch.second = 30;
    watch.elapsed = 45.7;
    EXPECT_EQ(ShownClockSeconds(watch, {0, 0, 30, 0}), 45 + 60);
    EXPECT_EQ(ShownClockSeconds(watch, {23, 59, 30, 900}), 45);

    // The longest time a game file holds shows whole; a clock beyond what it can count shows its
    // limit, never a negative time.
    watch.elapsed = 1e9;
    EXPECT_EQ(ShownClockSeconds(watch, {23, 59, 30, 0}), 1000000000);
    EXPECT_EQ(ClockText(1000000000, true), "16666666:40");
    watch.elapsed = 3e9;
    EXPECT_EQ(ShownClockSeconds(watch, {23, 59, 30, 0}), kLongestShownSeconds);
    EXPECT_EQ(ClockText(kLongestShownSeconds, true), "35791394:07");
    watch.elapsed = -1;
    EXPECT_EQ(ShownClockSeconds(watch, {23, 59, 30, 0}), 0);
}

TEST_F(InfoFormTest, ClockTicksShowTheRunningSideWithABlinkingColon) {
    fakeTime.Set(10, 0, 0);
    StartClock(Red);
    sideClock[Red].elapsed = 74;
    fakeTime.Advance(1);
    Tick();
    EXPECT_EQ(Field("Timer"), QString::fromUtf8("时间：01:15"));
    fakeTime.Advance(1);
    Tick();
    EXPECT_EQ(Field("Timer"), QString::fromUtf8("时间：01 16"));
    // After Red's move Black's clock shows: it has used 100 minutes.
    StopClock();
    sideClock[Black].elapsed = 6000;
    StartClock(Black);
    Tick();
    EXPECT_EQ(Field("Timer"), QString::fromUtf8("时间：100:00"));
    StopClock();
    fakeTime.Advance(5);
    Tick();  // queued before the clock stopped
    EXPECT_EQ(Field("Timer"), QString::fromUtf8("时间：100:00"));
}

// What the list shows in the middle of the engine's searches: it is read again whenever the pump
// lets the window run, with the search's line on the game's board, and after every iteration.
struct SearchSight {
    bool pondering;
    Rows rows;
};
std::vector<SearchSight> searchSights;
MoveListView* sampledList = nullptr;

void ReadTheList() {
    if (thinking == 0 || sampledList == nullptr) return;
    sampledList->Refresh();
    searchSights.push_back({pondering != 0, sampledList->Rows()});
}

void PullEventsAndReadTheList() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ReadTheList();
    // Every read of the fake tick count moves it on a millisecond: the pump lets the window run
    // again at its next look at the clock, kPumpCallsPerTimeCheck searched moves later.
    for (uint32_t ms = 0; ms < kNativePullMilliseconds; ++ms)
        TickCount();
}

// The rows of the game without its last `dropped` plies, read after the searches have ended.
Rows RowsWithout(size_t dropped) {
    GameMoves game = CurrentGameMoves();
    game.plies.resize(game.plies.size() - std::min(dropped, game.plies.size()));
    return MoveListRows(game);
}

// Plays the user's move and checks what the list showed while the engine searched its answer
// (the user's move last) and thought on the user's time (its answer last, the reply it expects
// not there): the texts of the game's own board, whatever the search's line did to the pieces.
void CheckTheListWhileTheEngineAnswers(MoveListView* list, std::string_view iccs) {
    searchSights.clear();
    sampledList = list;
    SetNativeEventPull(PullEventsAndReadTheList);
    iterationHook = ReadTheList;
    const bool entered = Enter(iccs);
    iterationHook = nullptr;
    AttachQtEventSource();
    sampledList = nullptr;
    ASSERT_TRUE(entered) << iccs;
    const Rows answering = RowsWithout(1);
    const Rows pondered = RowsWithout(0);
    int answeringSights = 0;
    int ponderedSights = 0;
    for (const SearchSight& sight : searchSights) {
        ++(sight.pondering ? ponderedSights : answeringSights);
        EXPECT_EQ(sight.rows, sight.pondering ? pondered : answering) << iccs;
    }
    EXPECT_GT(answeringSights, 0) << iccs;
    EXPECT_GT(ponderedSights, 0) << iccs;
}

TEST_F(InfoFormTest, MoveListShowsTheGamesNotationWhileTheEngineSearches) {
    // Pawns doubled on two files name each other (前七进一) and go on being taken; every move
    // the search tries for a Pawn or a Rook moves a piece beside the ones the game's moves name.
    testing::SetUpFen("r1bakab1r/9/9/p1p1p1p1p/2P3P2/2P1P1P2/9/9/9/R3K3R w");
    plyCount = 0;
    for (const char* iccs : {"c5c6", "g6g5", "g4g5", "a9a7", "c6c7", "a7c7"}) {
        const MoveRecord move = testing::Generated(iccs);
        ASSERT_TRUE(ValidateEnteredMove(move.from, move.to)) << iccs;
    }
    maxDepth = 4;
    ASSERT_NO_FATAL_FAILURE(CheckTheListWhileTheEngineAnswers(form.MoveList(), "c4c5"));
    // The game's own notation, the engine's answer left out.
    EXPECT_EQ(RowsWithout(1), (Rows{{1, "前七进一", "卒７进１"},
                                    {2, "兵三进一", "车１进２"},
                                    {3, "前兵进一", "车１平３"},
                                    {4, "兵七进一", ""}}));
}

TEST_F(InfoFormTest, MoveListFollowsMovesTakeBacksAndReplays) {
    ASSERT_NO_FATAL_FAILURE(CheckTheListWhileTheEngineAnswers(form.MoveList(), "h2e2"));
    const std::string reply1 = FormatMove(GameRecord[recordTop], Black);
    ASSERT_TRUE(Enter("h0g2"));
    // Read from the record, which knows the board: after a first reply such as 炮８平２ the
    // second may move the rear of two Cannons on a file.
    const std::string reply2 = MoveListRows(CurrentGameMoves()).at(1).black;
    ASSERT_FALSE(reply2.empty());
    Settle();
    const Rows played = {{1, "炮二平五", reply1}, {2, "马二进三", reply2}};
    EXPECT_EQ(form.MoveList()->Rows(), played);
    EXPECT_EQ(form.MoveList()->rowCount(), 2);
    EXPECT_EQ(form.MoveList()->item(1, 0)->text(), QString::fromUtf8("马二进三"));
    EXPECT_EQ(form.MoveList()->verticalHeaderItem(1)->text(), "2.");

    TakeBackFullMove();
    Settle();
    EXPECT_EQ(form.MoveList()->Rows(), Rows{played[0]});
    ReplayFullMove();
    Settle();
    EXPECT_EQ(form.MoveList()->Rows(), played);

    // The position editor hides the game while it is open.
    editMode = 1;
    RedrawAll();
    Settle();
    EXPECT_EQ(form.MoveList()->rowCount(), 0);
    editMode = 0;
    RedrawAll();
    Settle();
    EXPECT_EQ(form.MoveList()->Rows(), played);

    // A restored game empties the list; its moves go on from the restored move number.
    const std::filesystem::path file = home.filePath("game.chs").toStdString();
    ASSERT_TRUE(SaveGameFile(file));
    ASSERT_TRUE(LoadGameFile(file).empty());
    Settle();
    EXPECT_TRUE(form.MoveList()->Rows().empty());
    ASSERT_TRUE(Enter("b0c2"));
    Settle();
    ASSERT_EQ(form.MoveList()->Rows().size(), 1u);
    EXPECT_EQ(form.MoveList()->Rows()[0].number, 3);
    EXPECT_EQ(form.MoveList()->Rows()[0].red, "马八进七");

    // So does a new game.
    NewGameCommand();
    Settle();
    EXPECT_TRUE(form.MoveList()->Rows().empty());
    EXPECT_EQ(form.MoveList()->rowCount(), 0);
}

// The panel's lines of each side's last move are the game's as the move list reads it, whatever
// changed it: moves, "悔棋" and "重下" against the engine and, one ply at a time, between two
// players at the board. Each line's time is its side's used time.
TEST_F(InfoFormTest, TheMoveLinesFollowTheGameThroughTakeBacksAndReplays) {
    ASSERT_TRUE(Enter("h2e2"));
    fakeTime.Advance(5);  // Red thinks over its second move
    ASSERT_TRUE(Enter("h0g2"));
    ExpectLinesFollowTheList("two full moves");
    EXPECT_TRUE(Field("RedInfo").endsWith(QString::fromUtf8("00:05.0 002. 马二进三")));
    RunMenuCommand(kCommandTakeBack);
    ExpectLinesFollowTheList("悔棋");
    EXPECT_TRUE(Field("RedInfo").endsWith(QString::fromUtf8("001. 炮二平五")));
    RunMenuCommand(kCommandReplay);
    ExpectLinesFollowTheList("重下");
    RunMenuCommand(kCommandTakeBack);
    RunMenuCommand(kCommandTakeBack);
    ExpectLinesFollowTheList("back at the start");
    EXPECT_EQ(Field("RedInfo"), QString::fromUtf8("红方："));

    RunMenuCommand(kCommandTwoPlayer);
    for (const char* move : {"h2e2", "h7e7", "h0g2"}) {
        ASSERT_TRUE(Enter(move));
        fakeTime.Advance(3);
    }
    ExpectLinesFollowTheList("two players, three plies");
    for (int plies = 2; plies >= 0; --plies) {
        RunMenuCommand(kCommandTakeBack);
        ASSERT_EQ(plyCount, plies);
        ExpectLinesFollowTheList("two players, 悔棋");
    }
    RunMenuCommand(kCommandReplay);
    ExpectLinesFollowTheList("two players, 重下");
    RunMenuCommand(kCommandTwoPlayer);
}

// A game longer than the list: its rows show whole, the top one too, and End brings the last
// move back into view, after a look at the first move and after the list was scrolled by hand.
TEST_F(InfoFormTest, TheMoveListShowsWholeRowsAndEndScrollsBackToTheLastMove) {
    ASSERT_EQ(ImportGameText("1. a3a4 i6i5 2. i3i4 a6a5 3. c3c4 g6g5 4. g3g4 c6c5 "
                             "5. b0c2 b9c7 6. h0g2 h9g7 7. a0a1 a9a8 8. i0i1 i9i8 "
                             "9. c0e2 c9e7 10. a1d1 a8d8 11. i1f1 i8f8 12. b2b1 b7b8 "
                             "13. h2h1 h7h8 14. d0e1 d9e8 15. e3e4 e6e5 16. d1d2 d8d7 "
                             "17. f1f2 f8f7 18. d2d3 d7d6 19. f2f3 f7f6 20. b1b0 b8b9 *\n"),
              "");
    Settle();
    MoveListView* list = form.MoveList();
    ASSERT_EQ(list->rowCount(), 20);
    const auto rowShown = [&](int row) {
        const int top = list->rowViewportPosition(row);
        return top >= 0 && top + list->rowHeight(row) <= list->viewport()->height();
    };
    const auto topRowWhole = [&] { return list->rowViewportPosition(list->rowAt(0)) == 0; };
    const auto end = [&] {
        QTest::keyClick(list, Qt::Key_End);
        DispatchPendingMessages();
    };
    ASSERT_FALSE(rowShown(0)) << "the game must be longer than the list";
    EXPECT_TRUE(rowShown(19));
    EXPECT_TRUE(topRowWhole());

    // 1. A look at the first move, then End.
    PostReview(1);
    DispatchPendingMessages();
    ASSERT_EQ(list->ShownPly(), 1);
    EXPECT_TRUE(rowShown(0));
    end();
    EXPECT_EQ(list->ShownPly(), -1);
    EXPECT_TRUE(rowShown(19));
    EXPECT_TRUE(topRowWhole());

    // 2. Scrolled to the top by hand, then End.
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->minimum());
    ASSERT_FALSE(rowShown(19));
    end();
    EXPECT_TRUE(rowShown(19));
    EXPECT_TRUE(topRowWhole());
}

// The list's truth is the record, read also in the middle of a search and from set-up games.
TEST(MoveListRowsTest, ReadFromTheRecordInEveryState) {
    using testing::Generated;
    // A game that Black began: Red's first cell is empty.
    testing::SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1");
    plyCount = 0;
    ASSERT_TRUE(ValidateEnteredMove(151, 118));  // 马８进７
    ASSERT_TRUE(ValidateEnteredMove(7, 38));     // 马二进三
    EXPECT_EQ(MoveListRows(CurrentGameMoves()), (Rows{{1, "", "马８进７"}, {2, "马二进三", ""}}));

    // While the engine thinks on the user's time, the reply it expects (slot -1) is no move of
    // the game; its search stands some plies above its root.
    ASSERT_TRUE(ValidateEnteredMove(102, 86));  // 卒７进１
    RebaseRecord();
    GameRecord[0] = Generated("b2e2");
    ASSERT_NE(GameRecord[0].piece, Empty);
    PlayMove(GameRecord[0]);
    SlideRecord();
    searchRoot = gamePosition;  // where the search begins
    thinking = 1;
    pondering = 1;
    recordTop = 3;
    SwapSides();  // three plies deep
    const Rows beforeReply = {{1, "", "马８进７"}, {2, "马二进三", "卒７进１"}};
    EXPECT_EQ(MoveListRows(CurrentGameMoves()), beforeReply);
    EXPECT_TRUE(RecordInTransit());
    // The user played it: now it is the game's.
    pondering = 0;
    EXPECT_EQ(MoveListRows(CurrentGameMoves()).back(), (MoveListRow{3, "炮八平五", ""}));
    SwapSides();
    recordTop = -1;
    thinking = 0;
    EXPECT_FALSE(RecordInTransit());

    // A record that has dropped its oldest plies (its bottom slot is then empty) numbers what it
    // kept from the ply count.
    NewGame();
    for (int slot = kRecordBottom + 1; slot <= -1; ++slot)
        GameRecord[slot] = MoveRecord{16, 0, 0, Rook, 0};
    plyCount = 300;  // 45 plies dropped; Black moved last, so Black made ply 45
    sideToMove = Red;
    const GameMoves kept = CurrentGameMoves();
    EXPECT_EQ(kept.firstPly, 45);
    EXPECT_TRUE(kept.dropped);
    ASSERT_EQ(kept.plies.size(), 255u);
    EXPECT_EQ(kept.plies.front().mover, Black);
    const Rows rows = MoveListRows(kept);
    ASSERT_EQ(rows.size(), 128u);
    EXPECT_EQ(rows.front(), (MoveListRow{23, "", FormatMove(kept.plies[0].move, Black)}));
    EXPECT_EQ(rows.back().number, 150);
    EXPECT_FALSE(rows.back().black.empty());
    NewGame();
}

// Where two like pieces share a file the list names their place, as the notation requires,
// on the board each move was played on.
TEST(MoveListRowsTest, NamesTheFrontAndRearPiece) {
    testing::SetUpFen("4k4/9/9/9/9/R8/9/R8/9/3K5 w");
    plyCount = 0;
    for (const char* iccs : {"a4a5", "e9f9", "a2a3", "f9e9", "a3b3"}) {
        const MoveRecord move = testing::Generated(iccs);
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
    EXPECT_EQ(
        MoveListRows(CurrentGameMoves()),
        (Rows{{1, "前车进一", "将５平６"}, {2, "后车进一", "将６平５"}, {3, "后车平八", ""}}));
    // In WXF the sign stands in the file's place, after the piece, as the WXF writes it.
    shownMoveStyle = MoveStyle::Wxf;
    EXPECT_EQ(MoveListRows(CurrentGameMoves()),
              (Rows{{1, "R++1", "K5.6"}, {2, "R-+1", "K6.5"}, {3, "R-.8", ""}}));
    shownMoveStyle = MoveStyle::Simplified;
    NewGame();
}

// The list keeps the plies that a full record has dropped, as long as what it showed agrees with
// what the record still holds.
TEST(MoveListRowsTest, KeepsWhatAFullRecordHasDropped) {
    auto plies = [](int32_t first, int32_t count, int32_t changed = -1) {
        std::vector<GamePly> played;
        for (int32_t k = first; k < first + count; ++k)
            played.push_back(
                {MoveRecord{k == changed ? 99 : k, k + 1, 0, Rook, 0}, static_cast<Side>(k % 2)});
        return played;
    };
    const GameMoves shown{0, false, plies(0, 10)};
    const GameMoves merged = KeepDroppedPlies(shown, GameMoves{4, true, plies(4, 8)});
    EXPECT_EQ(merged.firstPly, 0);
    ASSERT_EQ(merged.plies.size(), 12u);
    for (int32_t k = 0; k < 12; ++k)
        EXPECT_EQ(merged.plies[static_cast<size_t>(k)].move.to, k);
    // A record that disagrees, a game that was only loaded, and an empty record keep their own.
    EXPECT_EQ(KeepDroppedPlies(shown, GameMoves{4, true, plies(4, 8, 6)}).firstPly, 4);
    EXPECT_EQ(KeepDroppedPlies(shown, GameMoves{4, false, plies(4, 8)}).firstPly, 4);
    EXPECT_EQ(KeepDroppedPlies(shown, GameMoves{4, true, {}}).firstPly, 4);
}

// Looking back over the game: the list, its keys, the course graph and "从此处继续".
class ReviewTest : public InfoFormTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(InfoFormTest::SetUp());
        for (const char* move : {"h2e2", "h0g2", "i0h0"})
            ASSERT_TRUE(Enter(move));
        Settle();
        ASSERT_EQ(plyCount, 6);
    }

    // Everything of the game a look back must leave as it is.
    struct Game {
        testing::PositionSnapshot position;
        std::vector<MoveRecord> record;
        Stopwatch clocks[2];
        uint8_t clockRuns;

        static Game Take() {
            Game game{testing::PositionSnapshot::Take(),
                      // The game's slots, those to replay included, all stand below slot 0;
                      // from 0 up the engine's searches leave their working lines, as deep as
                      // the time on the user's clock let them go.
                      {GameRecord + kRecordBottom, GameRecord},
                      {sideClock[Red], sideClock[Black]},
                      clockRunning};
            return game;
        }
        bool operator==(const Game& other) const {
            return position == other.position && record.size() == other.record.size() &&
                   std::equal(record.begin(), record.end(), other.record.begin(), SameMove) &&
                   clocks[Red].elapsed == other.clocks[Red].elapsed &&
                   clocks[Black].elapsed == other.clocks[Black].elapsed &&
                   clockRuns == other.clockRuns;
        }
    };

    // What the board shows, square by square.
    std::vector<std::pair<int, int>> Shown() {
        std::vector<std::pair<int, int>> cells;
        for (Square square : kSpiralOrder)
            cells.emplace_back(form.Renderer().shownBoard[square].kind,
                               form.Renderer().shownBoard[square].kind == Empty
                                   ? 0
                                   : form.Renderer().shownBoard[square].side);
        return cells;
    }
    // The board of the game after its first `plies` plies, as the board would show it.
    std::vector<std::pair<int, int>> BoardAfter(int plies) const {
        const testing::PositionSnapshot now = testing::PositionSnapshot::Take();
        const std::vector<MoveRecord> moves = GameMovesPlayed();
        for (int k = plyCount; k > plies; --k)
            TakeBackMove(GameRecord[recordTop]);
        std::vector<std::pair<int, int>> cells;
        for (Square square : kSpiralOrder)
            cells.emplace_back(board[square].kind,
                               board[square].kind == Empty ? 0 : board[square].side);
        for (int k = plies; k < static_cast<int>(moves.size()); ++k)
            PlayMove(moves[static_cast<size_t>(k)]);
        EXPECT_TRUE(testing::PositionSnapshot::Take() == now);
        return cells;
    }

    // The game's moves in the record, the first first.
    static std::vector<MoveRecord> GameMovesPlayed() {
        return {GameRecord + recordTop - plyCount + 1, GameRecord + recordTop + 1};
    }

    void ClickCell(int row, int column) {
        MoveListView* list = form.MoveList();
        const QRect cell = list->visualItemRect(list->item(row, column));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        DispatchPendingMessages();
    }
    void Key(Qt::Key key) {
        QTest::keyClick(form.MoveList(), key);
        DispatchPendingMessages();
    }
    GameReview& Review() { return form.Review(); }
    // Plays the first of a few opening moves that the engine's answers have left legal.
    static bool EnterAnyMove() {
        for (const char* move : {"b0c2", "g3g4", "c3c4", "i3i4", "a3a4"})
            if (Enter(move)) return true;
        return false;
    }
};

TEST_F(ReviewTest, ClicksAndKeysShowPastMovesAndLeaveTheGameAsItIs) {
    const Game game = Game::Take();
    const TInfoForm::PanelLines lines = form.InfoForm()->Lines();
    const std::vector<std::pair<int, int>> gameBoard = Shown();
    ASSERT_TRUE(clockRunning);
    // Rows: how the move is chosen, the ply shown, the message, the turn shown.
    const struct {
        std::function<void()> choose;
        int32_t ply;
        const char* message;
        const char* turn;
    } rows[] = {
        {[&] { ClickCell(1, 0); }, 3, "查看：第2回合 红方", "轮流：黑方"},
        {[&] { Key(Qt::Key_Left); }, 2, "查看：第1回合 黑方", "轮流：红方"},
        {[&] { Key(Qt::Key_Home); }, 0, "查看：开局", "轮流：红方"},
        {[&] { Key(Qt::Key_Right); }, 1, "查看：第1回合 红方", "轮流：黑方"},
        {[&] { ClickCell(2, 0); }, 5, "查看：第3回合 红方", "轮流：黑方"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        row.choose();
        EXPECT_EQ(Review().ShownPly(), row.ply);
        EXPECT_EQ(Shown(), BoardAfter(row.ply));
        EXPECT_EQ(Field("Message").toStdString(), row.message);
        EXPECT_EQ(Field("Color1").toStdString(), row.turn);
        EXPECT_EQ(form.MoveList()->ShownPly(), row.ply);
        EXPECT_TRUE(form.Menus().Item("ContinueHere")->isEnabled());
        EXPECT_FALSE(clockRunning) << "the clocks stand still";
        // The move shown carries the last-move marks, whether the option is on or not.
        const auto marked = form.Renderer().lastMoveMark.Marked();
        if (row.ply > 0) {
            EXPECT_EQ(marked[0], GameMovesPlayed()[static_cast<size_t>(row.ply - 1)].from);
            EXPECT_EQ(marked[1], GameMovesPlayed()[static_cast<size_t>(row.ply - 1)].to);
        } else {
            EXPECT_EQ(marked[0], -1);
        }
        Game now = Game::Take();
        now.clockRuns = game.clockRuns;
        EXPECT_TRUE(now == game) << "the game is untouched";
    }
    EXPECT_EQ(Field("RedInfo").toStdString(), "红方:003. 车一平二");
    // End, and a click on the last move, bring the game back as it was.
    for (const auto& back : std::initializer_list<std::function<void()>>{
             [&] { Key(Qt::Key_End); }, [&] { ClickCell(2, 1); }}) {
        back();
        EXPECT_FALSE(Review().Active());
        EXPECT_EQ(Shown(), gameBoard);
        EXPECT_EQ(form.InfoForm()->Lines().message, lines.message);
        EXPECT_EQ(Field("Color1"), lines.turn);
        EXPECT_EQ(Field("RedInfo"), lines.red);
        EXPECT_EQ(form.MoveList()->ShownPly(), -1);
        EXPECT_FALSE(form.Menus().Item("ContinueHere")->isEnabled());
        EXPECT_TRUE(Game::Take() == game);
        Key(Qt::Key_Left);
        EXPECT_EQ(Review().ShownPly(), 5);
    }
    Key(Qt::Key_End);
}

// A click on the board while a past move is shown brings the game back and moves nothing.
TEST_F(ReviewTest, ABoardClickReturnsToTheGameAndDoesNotMove) {
    const Game game = Game::Take();
    ClickCell(0, 1);
    ASSERT_TRUE(Review().Active());
    // The Red Gunner on e2 and a square it could go to, clicked one after the other.
    for (const Square square : {MakeSquare(2, 4), MakeSquare(3, 4)}) {
        const QPoint at = form.Renderer().SquareOrigin(square) + QPoint(10, 10);
        PostToMainWindow(MessageKind::LeftButtonDown, 0, at.x(), at.y());
        DispatchPendingMessages();
        EXPECT_FALSE(Review().Active());
    }
    EXPECT_EQ(form.Mouse().pieceLifted, 1) << "the second click lifts, it is the first of a move";
    form.Mouse().PutBackLiftedPiece();
    // Each part on its own, so that a failure says which.
    const Game after = Game::Take();
    EXPECT_TRUE(after.position == game.position);
    EXPECT_EQ(after.clocks[Red].elapsed, game.clocks[Red].elapsed);
    EXPECT_EQ(after.clocks[Black].elapsed, game.clocks[Black].elapsed);
    EXPECT_EQ(after.clockRuns, game.clockRuns);
    EXPECT_TRUE(after == game) << "the record";
}

// "从此处继续" takes the game back to the move shown, an odd number of plies too; "重下" then plays
// every ply again up to the game as it was.
TEST_F(ReviewTest, ContinueHereThenReplayGivesBackTheGame) {
    const testing::PositionSnapshot end = testing::PositionSnapshot::Take();
    const std::vector<MoveRecord> moves = GameMovesPlayed();
    for (const int32_t ply : {3, 4}) {
        SCOPED_TRACE(ply);
        PostReview(ply);
        DispatchPendingMessages();
        ASSERT_TRUE(Review().Active());
        RunMenuCommand(kCommandContinueHere);
        EXPECT_FALSE(Review().Active());
        EXPECT_EQ(plyCount, ply);
        EXPECT_EQ(Shown(), BoardAfter(ply));
        EXPECT_EQ(userSide, sideToMove) << "the user plays on from here";
        EXPECT_TRUE(form.Menus().Item("RedoUndo")->isEnabled());
        int replays = 0;
        while (CanReplayFullMove() && replays < 10) {
            RunMenuCommand(kCommandReplay);
            ++replays;
        }
        EXPECT_EQ(replays, (6 - ply + 1) / 2);
        EXPECT_TRUE(testing::PositionSnapshot::Take() == end);
        EXPECT_TRUE(std::equal(moves.begin(), moves.end(), GameMovesPlayed().begin(), SameMove));
    }
    // The game's last move is the game itself: nothing to go on from.
    PostReview(6);
    DispatchPendingMessages();
    EXPECT_FALSE(form.Menus().Item("ContinueHere")->isEnabled());
}

// "从此处继续" at a Red move leaves Black to move, and the user plays Black from then on: the
// message line says so, as it says the user plays Red again after going on from a Black move.
// The panel's lines are those of the game at that move, each after its own side's used time.
TEST_F(ReviewTest, ContinueHereSaysWhichSideTheUserPlaysNow) {
    fakeTime.Advance(9);  // Red, to move, thinks
    const struct {
        int32_t ply;
        Side user;
        const char* message;
    } rows[] = {
        {3, Black, "轮到黑方走棋：你执黑。"},
        {2, Red, "轮到红方走棋：你执红。"},
        {0, Red, ""},  // Red still: nothing to say
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ply);
        ShowMessage("");
        PostReview(row.ply);
        DispatchPendingMessages();
        ASSERT_TRUE(Review().Active());
        RunMenuCommand(kCommandContinueHere);
        EXPECT_EQ(plyCount, row.ply);
        EXPECT_EQ(userSide, row.user);
        EXPECT_EQ(Field("Message").toStdString(), row.message);
        ExpectLinesFollowTheList("after 从此处继续");
    }
    EXPECT_EQ(sideClock[Red].elapsed, 9.0);
    EXPECT_EQ(sideClock[Black].elapsed, 0.0);
}

// The engine's value after every move: the flow writes it after each of its moves (Red's view, a
// Pawn is 100), the graph draws exactly the known values, clamped at ten Pawns, and a click on a
// point shows its move.
TEST_F(ReviewTest, TheGraphDrawsTheValuesTheEngineLeavesAndAClickShowsAMove) {
    // The values the engine's moves left: both plies of each full move, from its search.
    ASSERT_EQ(moveValues.size(), 7u);
    for (int ply = 1; ply <= 6; ++ply)
        EXPECT_TRUE(moveValues[static_cast<size_t>(ply)].known) << ply;
    EXPECT_EQ(moveValues[6].redValue, moveValues[5].redValue) << "no mate: one value a full move";
    CourseGraph* graph = form.InfoForm()->Graph();
    std::vector<CoursePoint> expected;
    for (int ply = 1; ply <= 6; ++ply)
        expected.push_back({ply, moveValues[static_cast<size_t>(ply)].redValue});
    EXPECT_EQ(graph->Points(), expected);
    // Values beyond the limit, a mate, and a ply without a value.
    MoveValueAt(2).redValue = 2500;
    MoveValueAt(3).known = false;
    MoveValueAt(4).redValue = -(master::kMate - 3);
    MoveValuesChanged();
    const std::vector<CoursePoint> points = graph->Points();
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[1], (CoursePoint{2, 1000}));
    EXPECT_EQ(points[2], (CoursePoint{4, -1000}));
    // Higher is better for Red; a click on a point shows its move.
    EXPECT_LT(graph->PlaceOf(points[1]).y(), graph->PlaceOf(points[2]).y());
    for (const CoursePoint& point : points) {
        QTest::mouseClick(graph, Qt::LeftButton, {}, graph->PlaceOf(point));
        DispatchPendingMessages();
        EXPECT_EQ(Review().ShownPly(), point.ply == 6 ? -1 : point.ply);
    }
    // A different move where the game went on forgets the values from there on; those before it
    // stay.
    MoveValueAt(9).known = true;
    TakeBackFullMove();
    ASSERT_TRUE(EnterAnyMove());
    EXPECT_EQ(moveValues.size(), 7u);
    EXPECT_TRUE(moveValues[5].known && moveValues[6].known);
    EXPECT_EQ(moveValues[4].redValue, -(master::kMate - 3));
    NewGameCommand();
    EXPECT_TRUE(graph->Points().empty());
    EXPECT_LE(moveValues.size(), 1u);
}

// What the review test's searches saw: the engine's own and its thinking on the user's time.
int ownSearchIterations = 0;
int ponderIterations = 0;

// While the engine thinks for its own move a review is not taken: it is dropped with the think
// menu's other commands. Thinking on the user's time stops for a review
// and starts again once the player has returned to the game.
TEST_F(ReviewTest, NoReviewWhileTheEngineMovesAndItsThinkingOnTheUsersTimeWaitsForOne) {
    ownSearchIterations = 0;
    ponderIterations = 0;
    iterationHook = [] {
        ++(pondering ? ponderIterations : ownSearchIterations);
        if (iterationDepth != 1) return;
        PostReview(pondering ? 2 : 1);
    };
    ASSERT_TRUE(EnterAnyMove());
    EXPECT_EQ(plyCount, 8) << "the engine has answered";
    EXPECT_GT(ownSearchIterations, 0);
    EXPECT_GT(ponderIterations, 0);
    EXPECT_FALSE(Review().Active());
    DispatchPendingMessages();
    EXPECT_EQ(Review().ShownPly(), 2) << "the review asked for on the user's time";
    EXPECT_FALSE(thinking);
    iterationHook = [] { ++(pondering ? ponderIterations : ownSearchIterations); };
    const int pondered = ponderIterations;
    Key(Qt::Key_End);
    iterationHook = nullptr;
    EXPECT_FALSE(Review().Active());
    EXPECT_GT(ponderIterations, pondered) << "thinking on the user's time again";
    EXPECT_EQ(plyCount, 8);
}

// Every item of the three menu bars posts a command whose effect on a review is set (a command
// added without one is a -Wswitch warning in ReviewEffectOf, an item posting an id of no command
// fails here). Run while a past move is shown, each that keeps the review, its dialog cancelled
// where it opens one, leaves the review, the board shown and the game as they were: "保存" writes
// the game and the past move stays on the board, as with "导出棋谱...".
TEST_F(ReviewTest, EveryMenuCommandHasItsEffectOnAReviewAndThoseThatKeepItChangeNothing) {
    // 1. Every item's command, an effect each.
    std::set<int32_t> commands;
    std::function<void(const QList<QAction*>&)> collect = [&](const QList<QAction*>& items) {
        for (QAction* item : items) {
            if (item->menu() != nullptr) collect(item->menu()->actions());
            const QVariant command = item->property(kCommandProperty);
            if (!command.isValid()) continue;
            EXPECT_TRUE(ReviewEffectOf(command.toInt()).has_value())
                << item->objectName().toStdString();
            commands.insert(command.toInt());
        }
    };
    for (MenuBarKind kind : {MenuBarKind::Normal, MenuBarKind::Edit, MenuBarKind::Think})
        collect(form.Menus().TopLevel(kind));
    ASSERT_TRUE(commands.contains(kCommandNewGame) && commands.contains(kCommandStop));
    Message unknown;
    unknown.kind = MessageKind::Command;
    unknown.command = kCommandContinueHere + 1;
    EXPECT_FALSE(KeepsReview(unknown)) << "an id of no command ends a review";

    // 2. Those that keep a review, run during one.
    savedGameName = home.filePath("kept.chs").toStdString();
    gameUnnamed = 0;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    cancel.start(10);
    PostReview(3);
    DispatchPendingMessages();
    const Game game = Game::Take();
    const std::vector<std::pair<int, int>> shown = BoardAfter(3);
    int kept = 0;
    for (int32_t command : commands) {
        if (ReviewEffectOf(command) != ReviewEffect::Keeps) continue;
        SCOPED_TRACE(command);
        ++kept;
        ASSERT_EQ(Review().ShownPly(), 3);
        RunMenuCommand(command);
        EXPECT_EQ(Review().ShownPly(), 3);
        EXPECT_TRUE(Shown() == shown);
        EXPECT_TRUE(Game::Take() == game);
    }
    EXPECT_GE(kept, 10);
    EXPECT_TRUE(std::filesystem::exists(savedGameName)) << "保存 wrote the game";
    if (form.AboutDialog() != nullptr) form.AboutDialog()->close();
}

// In English the panel's labels and the level the core formats arrive translated, the panel and
// the move list write moves in WXF, and the game log keeps its GBK Chinese.
TEST_F(InfoFormTest, InEnglishMovesAreWxfAndTheLogStaysChinese) {
    testing::InLanguage english(Language::English);
    const QString level = QCoreApplication::translate("TInfoForm", "级别：") +
                          QCoreApplication::translate("xq", "回合深度 = %1").arg(2);
    EXPECT_EQ(Field("Level2"), level);
    EXPECT_NE(level, QString::fromUtf8("级别：回合深度 = 2"));
    EXPECT_EQ(Field("Color1"), QCoreApplication::translate("TInfoForm", "轮流：红方"));

    ASSERT_TRUE(Enter("h2e2"));
    Settle();
    const MoveRecord reply = GameRecord[recordTop];
    const std::string replyText = StyledMoveText(FormatMove(reply, Black), Black, MoveStyle::Wxf);
    EXPECT_EQ(Field("RedInfo"),
              QCoreApplication::translate("TInfoForm", "红方:") + "00:00.0 001. C2.5");
    EXPECT_EQ(Field("BlackInfo").toStdString(),
              QCoreApplication::translate("TInfoForm", "黑方:").toStdString() + "00:00.0 001. " +
                  replyText);
    EXPECT_EQ(Field("BestPath").toStdString().substr(0, replyText.size()), replyText);
    ASSERT_FALSE(form.MoveList()->Rows().empty());
    EXPECT_EQ(form.MoveList()->Rows().front(), (MoveListRow{1, "C2.5", replyText}));

    CloseGameLog();  // on disk whole
    std::ifstream log(LogFile(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(log), {}};
    const std::string text = GbkToUtf8(bytes).value_or("");
    EXPECT_NE(text.find("炮二平五"), std::string::npos) << text;
    EXPECT_NE(text.find(FormatMove(reply, Black)), std::string::npos) << text;
    EXPECT_EQ(text.find("C2.5"), std::string::npos) << text;

    // Back in Simplified Chinese the panel's labels, its move lines and the list follow at once.
    SetLanguage(Language::SimplifiedChinese);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(Field("Level2"), QString::fromUtf8("级别：回合深度 = 2"));
    EXPECT_EQ(form.MoveList()->Rows().front(),
              (MoveListRow{1, "炮二平五", FormatMove(reply, Black)}));
    EXPECT_EQ(Field("RedInfo"), QString::fromUtf8("红方:00:00.0 001. 炮二平五"));
    EXPECT_EQ(Field("BlackInfo").toStdString(), "黑方:00:00.0 001. " + FormatMove(reply, Black));
}

}  // namespace
}  // namespace xq
