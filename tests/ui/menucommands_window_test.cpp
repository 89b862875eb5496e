// The menu commands in the window on Qt's offscreen platform: the items' check marks, greying and
// captions as the commands leave them, the board redrawn when reversed, the file dialogs answered
// as a user answers them, a whole game from "新建" to the end-of-game dialog, and "分析模式".
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "records/exchange.h"
#include "records/gamefile.h"
#include "records/menucommands.h"
#include "records/notation.h"
#include "records/settings.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"
#include "support/window_fixture.h"
#include "ui/analysismode.h"
#include "ui/boardarrows.h"
#include "ui/canvaswidget.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"
#include "ui/movelist.h"
#include "ui/savequestion.h"

namespace xq {
namespace {

// Answers every modal window that comes up while it lives, once: a file dialog through
// `fileAnswer`, the check box with OK, the question whether to save the game with "不保存", the
// end-of-game dialog with "Yes" (or, with
// `closeEndOfGame`, by closing it without an answer) after noting its result and what the window
// shows behind it. A window still open two seconds after its answer is a failure, and is closed.
class ModalAnswerer {
  public:
    explicit ModalAnswerer(const TMainForm* form = nullptr) : form_(form) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }

    std::function<void(QFileDialog*)> fileAnswer;
    bool closeEndOfGame = false;
    std::string endOfGameText;
    std::string messageBehind;            // the panel's message line behind the dialog
    std::vector<MoveListRow> rowsBehind;  // the move list behind the dialog
    int checkBoxes = 0;
    int saveQuestions = 0;  // "棋局已改变，保存吗？", answered "不保存"

  private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal == answered_) {
            if (++waits_ < 200) return;
            ADD_FAILURE() << "the answer left " << modal->objectName().toStdString() << " open";
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        auto* end = dynamic_cast<TEndChessGameDlg*>(modal);
        // The window behind it is looked at once the dialog has been up for a moment.
        if (end != nullptr && !endOfGameUp_) {
            endOfGameUp_ = true;
            return;
        }
        answered_ = modal;
        waits_ = 0;
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            if (fileAnswer) fileAnswer(files);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box->objectName() != QLatin1String(kSaveQuestionName)) {
                ++checkBoxes;
                box->accept();
                return;
            }
            ++saveQuestions;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QString::fromUtf8("不保存")) button->click();
        } else if (end != nullptr) {
            endOfGameUp_ = false;
            endOfGameText = end->Message()->text().toStdString();
            if (form_ != nullptr) {
                messageBehind = form_->InfoForm()->FieldText("Message").toStdString();
                rowsBehind = form_->MoveList()->Rows();
            }
            if (closeEndOfGame) {
                end->reject();
            } else {
                end->YesButton()->click();
            }
        }
    }

    const TMainForm* form_;
    bool endOfGameUp_ = false;
    QTimer timer_;
    QPointer<QWidget> answered_;
    int waits_ = 0;
};

class MenuCommandsWindowTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WindowTest::SetUp());
        form = std::make_unique<TMainForm>();
        form->show();
        // The engine searches every move, one ply deep, and does not beep.
        UseOpeningLibrary({});
        ChooseDepthLevel(1);
        soundOn = 0;
        form->Menus().SetChecked("Sound", false);
        RunMenuCommand(kCommandNewGame);
    }
    void TearDown() override {
        form.reset();
        WindowTest::TearDown();
    }

    QAction* Item(const char* name) const { return form->Menus().Item(name); }
    // The level items that carry a check mark.
    std::vector<std::string> CheckedLevels() const {
        std::vector<std::string> checked;
        for (std::string_view name : kLevelItemNames)
            if (Item(std::string(name).c_str())->isChecked()) checked.emplace_back(name);
        return checked;
    }
    static void UserMove(std::string_view iccs) {
        Square from = 0;
        Square to = 0;
        ASSERT_TRUE(ParseIccs(iccs, &from, &to));
        ASSERT_TRUE(HandleBoardMove(from, to)) << iccs;
    }

    std::unique_ptr<TMainForm> form;
};

TEST_F(MenuCommandsWindowTest, TakeBackAndReplayAreGreyedExactlyWhenNothingIsLeft) {
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
    EXPECT_FALSE(Item("RedoUndo")->isEnabled());
    UserMove("h2e2");
    EXPECT_TRUE(Item("UndoMove")->isEnabled());
    EXPECT_FALSE(Item("RedoUndo")->isEnabled());
    RunMenuCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 0);
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
    EXPECT_TRUE(Item("RedoUndo")->isEnabled());
    RunMenuCommand(kCommandReplay);
    EXPECT_EQ(plyCount, 2);
    EXPECT_TRUE(Item("UndoMove")->isEnabled());
    EXPECT_FALSE(Item("RedoUndo")->isEnabled());
    RunMenuCommand(kCommandTakeBack);
    ModalAnswerer answerer;
    RunMenuCommand(kCommandNewGame);
    EXPECT_EQ(answerer.saveQuestions, 1) << "moves played and taken back";
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
    EXPECT_FALSE(Item("RedoUndo")->isEnabled());
    EXPECT_EQ(form->InfoForm()->FieldText("Timer"), QString::fromUtf8("时间："));
}

// Rows: the command, then the one level item checked afterwards.
TEST_F(MenuCommandsWindowTest, OneLevelItemIsCheckedWhateverIsChosen) {
    EXPECT_EQ(CheckedLevels(), std::vector<std::string>{"Ply1"});
    const std::pair<int32_t, const char*> rows[] = {
        {kCommandLevelEasy, "Easy"},         {kCommandLevelEasy, "Easy"},
        {kCommandLevelMatching, "Matching"}, {kCommandLevelUnlimited, "Infinite"},
        {kCommandLevelEasy, "Easy"},
    };
    for (const auto& [command, item] : rows) {
        RunMenuCommand(command);
        EXPECT_EQ(CheckedLevels(), std::vector<std::string>{item}) << command;
    }
    EXPECT_TRUE(ChooseTimeLevel(kLevelPerGame, 30));
    EXPECT_EQ(CheckedLevels(), std::vector<std::string>{"TotalTime"});
}

TEST_F(MenuCommandsWindowTest, TwoPlayerGreysTheLevelMenuAndTwiceRestoresIt) {
    RunMenuCommand(kCommandLevelMatching);
    RunMenuCommand(kCommandTwoPlayer);
    EXPECT_EQ(Item("TwoPlayer")->text(), QString::fromUtf8("单独对弈"));
    EXPECT_FALSE(Item("Level1")->isEnabled());
    EXPECT_EQ(levelKind, kLevelPerMove);
    RunMenuCommand(kCommandTwoPlayer);
    EXPECT_EQ(Item("TwoPlayer")->text(), QString::fromUtf8("两人对弈"));
    EXPECT_TRUE(Item("Level1")->isEnabled());
    EXPECT_EQ(levelKind, kLevelMatching);
    EXPECT_EQ(CheckedLevels(), std::vector<std::string>{"Matching"});
}

TEST_F(MenuCommandsWindowTest, SoundBestPathAndReverseShowTheirState) {
    RunMenuCommand(kCommandSound);
    EXPECT_TRUE(Item("Sound")->isChecked());
    UserMove("h2e2");  // the engine's search fills the best line
    ASSERT_FALSE(form->InfoForm()->FieldText("BestPath").isEmpty());
    RunMenuCommand(kCommandBestPath);
    EXPECT_FALSE(Item("BestPath")->isChecked());
    EXPECT_EQ(bestPathShown, 0);
    EXPECT_TRUE(form->InfoForm()->FieldText("BestPath").isEmpty());
    RunMenuCommand(kCommandBestPath);
    EXPECT_TRUE(Item("BestPath")->isChecked());

    // The Red King's point at the bottom shows Black's King once the board is reversed.
    const QImage before = form->Canvas().Image().copy();
    RunMenuCommand(kCommandReverseBoard);
    EXPECT_EQ(boardReversed, 1);
    EXPECT_FALSE(Item("Reverse")->isChecked());
    EXPECT_NE(form->Canvas().Image(), before);
    RunMenuCommand(kCommandReverseBoard);
    EXPECT_EQ(form->Canvas().Image(), before);
}

// "另存为..." and "恢复" through their dialogs as a user answers them: the filters, the added
// extension, and a restore that leaves the menus as they were.
TEST_F(MenuCommandsWindowTest, SaveAsAndRestoreThroughTheFileDialogs) {
    UserMove("h2e2");
    twoPlayerMode = 1;
    levelKind = kLevelFixedDepth;
    const std::string fen = WriteFen();
    ModalAnswerer answerer;
    QStringList filters;
    QString suffix;
    answerer.fileAnswer = [&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "SaveDialog1");
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        testing::ChooseInFileDialog(dialog, home.filePath("mygame"));
    };
    RunMenuCommand(kCommandSaveAs);
    EXPECT_EQ(filters, QStringList{"Chess File(*.chs)"});
    EXPECT_EQ(suffix, "chs");
    const std::filesystem::path file = home.filePath("mygame.chs").toStdString();
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), kGameFileSize);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("mygame.chs — 澜川中国象棋"));

    twoPlayerMode = 0;
    RunMenuCommand(kCommandNewGame);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("澜川中国象棋"));
    UserMove("b2e2");
    answerer.fileAnswer = [&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "OpenDialog1");
        filters = dialog->nameFilters();
        testing::ChooseInFileDialog(dialog, QString::fromStdString(file.string()));
    };
    RunMenuCommand(kCommandRestore);
    EXPECT_EQ(answerer.saveQuestions, 1) << "after b2e2, not after the saved game";
    // The open filter's two blanks are given; Qt's dialog shows every filter simplified.
    EXPECT_EQ(filters, QStringList{QString("Chess  File(*.chs)").simplified()});
    EXPECT_EQ(WriteFen(), fen);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("mygame.chs — 澜川中国象棋"));
    EXPECT_EQ(twoPlayerMode, 1);
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
    EXPECT_FALSE(Item("RedoUndo")->isEnabled());
    EXPECT_EQ(CheckedLevels(), std::vector<std::string>{"Ply1"});
    EXPECT_EQ(Item("TwoPlayer")->text(), QString::fromUtf8("两人对弈"));
    EXPECT_TRUE(Item("Level1")->isEnabled());

    // Cancel changes nothing.
    answerer.fileAnswer = [](QFileDialog* dialog) { dialog->reject(); };
    RunMenuCommand(kCommandRestore);
    EXPECT_EQ(WriteFen(), fen);
}

// The engine plays both sides through "对弈", one ply deep, until the game ends; the end-of-game
// dialog names the result and its "Yes" starts a new game.
TEST_F(MenuCommandsWindowTest, AWholeGameFromNewGameToTheEndOfGameDialog) {
    // Every engine move is flashed at a pace a person can follow; a whole game need not wait.
    CanvasWidget::SetFrameClock({[] { return int64_t{0}; }, [](int64_t) {}});
    struct SteadyClockBack {
        ~SteadyClockBack() { CanvasWidget::SetFrameClock({}); }
    } steadyClockBack;
    ModalAnswerer answerer(form.get());
    int passes = 0;
    while (answerer.endOfGameText.empty() && passes < 2000) {
        ++passes;
        RunMenuCommand(kCommandPass);
        ASSERT_TRUE(PositionIsConsistent());
    }
    ASSERT_FALSE(answerer.endOfGameText.empty()) << passes << " passes without an end";
    EXPECT_GT(passes, 4);
    const std::string result = answerer.endOfGameText;
    EXPECT_TRUE(result == kMateText || result == kStalemateText || result == kSixtyMovesText ||
                result == kRedResignsText || result == kBlackResignsText)
        << result;
    // Behind the dialog the panel and the move list say how the game ended.
    EXPECT_EQ(answerer.messageBehind, result);
    ASSERT_FALSE(answerer.rowsBehind.empty());
    EXPECT_EQ(answerer.rowsBehind.back(), (MoveListRow{0, result, ""}));
    DispatchPendingMessages();  // the dialog's "Yes"
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(gameOver, 0);
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
}

// The user mates: the clocks stop, and the result stays in the message line and as the move
// list's last row, behind the end-of-game dialog and after it has been closed without an answer.
TEST_F(MenuCommandsWindowTest, TheResultStaysOnThePanelAndInTheMoveList) {
    ASSERT_EQ(PastePosition("3k5/R8/1R7/9/9/9/9/9/9/4K4 w"), "");
    ModalAnswerer answerer(form.get());
    answerer.closeEndOfGame = true;
    UserMove("b7b9");
    ASSERT_EQ(answerer.endOfGameText, kMateText);
    const std::string mate(kMateText);
    const std::vector<MoveListRow> finished = {{1, FormatMove(GameRecord[-1], Red), ""},
                                               {0, mate, ""}};
    EXPECT_EQ(answerer.messageBehind, mate);
    EXPECT_EQ(answerer.rowsBehind, finished);
    DispatchPendingMessages();
    QEventLoop settle;
    QTimer::singleShot(30, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(form->InfoForm()->FieldText("Message").toStdString(), mate);
    EXPECT_EQ(form->MoveList()->Rows(), finished);
    EXPECT_EQ(form->MoveList()->verticalHeaderItem(1)->text(), "");
    EXPECT_EQ(form->MoveList()->columnSpan(1, 0), 2);
    EXPECT_EQ(form->InfoForm()->FieldText("Color1"), QString::fromUtf8("轮流：黑方"));
    EXPECT_EQ(clockRunning, 0) << "the mated side's clock does not run";
    EXPECT_EQ(gameOver, 1);
}

// The analysis has shown its three lines for the position on the board, `side` to move.
bool ShowsLinesFor(const AnalysisMode& analysis, Side side) {
    const Position* analysed = analysis.AnalysedPosition();
    if (analysed == nullptr || sideToMove != side || analysed->sideToMove != side) return false;
    if (std::memcmp(analysed->board, board, sizeof board) != 0) return false;
    if (analysis.Lines().size() != kAnalysisLines) return false;
    const std::vector<MoveRecord> legal = LegalMoves();
    for (const AnalysisLine& line : analysis.Lines()) {
        if (line.moves.empty()) return false;
        const auto first = std::find_if(legal.begin(), legal.end(), [&](const MoveRecord& move) {
            return SameMove(move, line.moves.front());
        });
        if (first == legal.end()) return false;
    }
    return true;
}

// The lines come within seconds of switching on, one a row of the best-line field and each whole
// in it; every change of the board starts them afresh for the side to move, and the game's engine
// never replies to the user's moves; switching off stops the thread.
TEST_F(MenuCommandsWindowTest, AnalysisModeFollowsTheBoardAndTheComputerNeverReplies) {
    AnalysisMode& analysis = form->Analysis();
    RunMenuCommand(kCommandAnalysisMode);
    EXPECT_TRUE(Item("AnalysisMode")->isChecked());
    EXPECT_EQ(analysisMode, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Red); }, 20000));
    EXPECT_TRUE(analysis.Searching());
    const QStringList rows = form->InfoForm()->FieldText("BestPath").split(u'\n');
    ASSERT_EQ(rows.size(), kAnalysisLines);
    const auto* field = form->InfoForm()->findChild<QLabel*>("BestPath");
    const QFontMetrics metrics(field->font());
    EXPECT_LE(kAnalysisLines * metrics.lineSpacing(), field->contentsRect().height());
    // Its value, Red's view, says so.
    EXPECT_TRUE(form->InfoForm()->FieldText("Value").startsWith(QString::fromUtf8("值（红方）：")))
        << form->InfoForm()->FieldText("Value").toStdString();
    for (int row = 0; row < kAnalysisLines; ++row) {
        EXPECT_LE(metrics.horizontalAdvance(rows[row]), field->contentsRect().width()) << row;
        EXPECT_TRUE(rows[row].startsWith(AnalysisValueText(analysis.Lines()[row].redValue)));
        EXPECT_TRUE(rows[row].contains(
            QString::fromStdString(FormatMove(analysis.Lines()[row].moves.front(), Red))
                .trimmed()));
    }
    // The board's arrows are the lines' first moves, best first.
    std::vector<BoardArrow> firstMoves;
    for (const AnalysisLine& line : analysis.Lines())
        firstMoves.push_back({line.moves.front().from, line.moves.front().to});
    EXPECT_EQ(form->Arrows().Shown(), firstMoves);

    // The user's move, and no reply: the analysis is Black's now.
    UserMove("h2e2");
    EXPECT_EQ(plyCount, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Black); }, 20000));
    UserMove("h9g7");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Red); }, 20000));
    EXPECT_EQ(plyCount, 2) << "the computer never replies";
    // "悔棋" takes back one ply, as each player at the board moves one: Black's move, then Red's,
    // each position analysed afresh; "重下" plays them again one at a time.
    RunMenuCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Black); }, 20000));
    RunMenuCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 0);
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Red); }, 20000));
    RunMenuCommand(kCommandReplay);
    EXPECT_EQ(plyCount, 1);
    EXPECT_TRUE(Item("UndoMove")->isEnabled()) << "a first ply alone";
    EXPECT_TRUE(Item("RedoUndo")->isEnabled());
    RunMenuCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 0);

    RunMenuCommand(kCommandAnalysisMode);
    EXPECT_FALSE(analysis.Searching());
    EXPECT_FALSE(Item("AnalysisMode")->isChecked());
    EXPECT_TRUE(form->Arrows().Shown().empty());
    // Off, none of its figures stays: each field shows its label alone.
    EXPECT_TRUE(form->InfoForm()->FieldText("BestPath").isEmpty());
    for (const auto& [name, label] :
         {std::pair{"Value", "值："}, std::pair{"Depth", "深度："}, std::pair{"Nodes", "节点："},
          std::pair{"Seconds", "步/秒："}})
        EXPECT_EQ(form->InfoForm()->FieldText(name), QString::fromUtf8(label)) << name;
    UserMove("h2e2");
    EXPECT_EQ(plyCount, 2) << "off, the engine answers again";
}

// "对弈" and the editor while analysing: the analysis rests while the game's engine moves or the
// editor is open, then takes up the position. Closing the window while it analyses joins the
// thread.
TEST_F(MenuCommandsWindowTest, AnalysisModeRestsForTheEngineAndEndsWithTheWindow) {
    AnalysisMode& analysis = form->Analysis();
    RunMenuCommand(kCommandAnalysisMode);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Red); }, 20000));
    RunMenuCommand(kCommandPass);
    EXPECT_EQ(plyCount, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Black); }, 20000));
    EXPECT_EQ(pondering, 0);
    UserMove("h9g7");
    EXPECT_EQ(plyCount, 2) << "after 对弈 the user still moves for both sides";
    // The editor's board may hold no position to search: the analysis waits for it to close.
    RunMenuCommand(kCommandEdit);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !analysis.Searching(); }, 20000));
    RunMenuCommand(kCommandEditCancel);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsLinesFor(analysis, Red); }, 20000));
    ASSERT_TRUE(analysis.Searching());
    form.reset();
    EXPECT_EQ(analysisMode, 0);
}

// Rows: a value from Red's view and its text.
TEST(AnalysisValueText, PawnsOrTheMatingSideAndItsMoves) {
    const std::pair<int32_t, const char*> rows[] = {
        {125, "+1.25"},
        {-40, "-0.40"},
        {0, "+0.00"},
        {master::kMate - 1, "红1步杀"},
        {master::kMate - 3, "红2步杀"},
        {-(master::kMate - 2), "黑1步杀"},
        {-(master::kMate - 4), "黑2步杀"},
    };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(AnalysisValueText(value), QString::fromUtf8(text)) << value;
}

}  // namespace
}  // namespace xq
