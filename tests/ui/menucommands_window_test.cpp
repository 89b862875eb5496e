// The menu commands in the window on Qt's offscreen platform: the items' check marks, greying and
// captions as the commands leave them, the board redrawn when reversed, the file dialogs answered
// as a user answers them, and a whole game from "新建" to the end-of-game dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "records/gamefile.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/movegen.h"
#include "rules/record.h"
#include "support/window_fixture.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"

namespace xq {
namespace {

// Answers every modal window that comes up while it lives, once: a file dialog through
// `fileAnswer`, the check box with OK, the end-of-game dialog with "Yes" after noting its result.
// A window still open two seconds after its answer is a failure, and is closed.
class ModalAnswerer {
  public:
    ModalAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start();
    }

    std::function<void(QFileDialog*)> fileAnswer;
    std::string endOfGameText;
    int checkBoxes = 0;

  private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal == answered_) {
            if (++waits_ < 200) return;
            ADD_FAILURE() << "the answer left " << modal->objectName().toStdString() << " open";
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            return;
        }
        answered_ = modal;
        waits_ = 0;
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            if (fileAnswer) fileAnswer(files);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++checkBoxes;
            box->accept();
        } else if (auto* end = dynamic_cast<TEndChessGameDlg*>(modal)) {
            endOfGameText = end->Message()->text().toStdString();
            end->YesButton()->click();
        }
    }

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
        form->Menus().Item("Sound")->setChecked(false);
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
    RunMenuCommand(kCommandNewGame);
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

    twoPlayerMode = 0;
    RunMenuCommand(kCommandNewGame);
    UserMove("b2e2");
    answerer.fileAnswer = [&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "OpenDialog1");
        filters = dialog->nameFilters();
        testing::ChooseInFileDialog(dialog, QString::fromStdString(file.string()));
    };
    RunMenuCommand(kCommandRestore);
    // The open filter's two blanks are given; Qt's dialog shows every filter simplified.
    EXPECT_EQ(filters, QStringList{QString("Chess  File(*.chs)").simplified()});
    EXPECT_EQ(WriteFen(), fen);
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
    ModalAnswerer answerer;
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
    DispatchPendingMessages();  // the dialog's "Yes"
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(gameOver, 0);
    EXPECT_FALSE(Item("UndoMove")->isEnabled());
}

}  // namespace
}  // namespace xq
