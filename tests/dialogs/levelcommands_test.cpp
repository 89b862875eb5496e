// The level commands that ask for a number: what OK does with the typed text (the level, its
// value, both sides' used time, the depth limit, the check mark, the panel) and what a wrong
// entry reports; then each command once through its dialog as a user answers it.
#include "ui/dialogs/levelcommands.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "dialogs/dialog_support.h"
#include "engine/think.h"
#include "records/settings.h"
#include "rules/clock.h"
#include "rules/record.h"
#include "support/display_recorder.h"
#include "ui/dialogs/levelinputdlgs.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::ErrorRecorder;

class LevelCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Reset();
        plyCount = 0;
        ResetClocks();
    }
    void TearDown() override {
        plyCount = 0;
        ResetClocks();
    }

    // Level, time, depth and both clocks, to show that a refused entry changed nothing.
    std::tuple<int, double, int, double, double> State() {
        return {levelKind, levelTime, maxDepth, sideClock[Red].elapsed, sideClock[Black].elapsed};
    }

    // The level items left with a check mark by the calls recorded.
    std::vector<std::string> CheckedItems() const {
        std::map<std::string, int> marks;
        for (const auto& call : display.Named("CheckMenuItem"))
            marks[call.text] = call.value;
        std::vector<std::string> checked;
        for (const auto& [item, mark] : marks)
            if (mark == 1) checked.push_back(item);
        return checked;
    }

    DisplayRecorder display;
    ErrorRecorder errors;
};

TEST_F(LevelCommandsTest, SecondsPerMoveSetsTheLevelAndBothSidesUsedTime) {
    plyCount = 10;
    maxDepth = 12;
    AcceptSecondsPerMove("2.5");
    EXPECT_TRUE(errors.texts.empty());
    EXPECT_EQ(levelKind, kLevelPerMove);
    EXPECT_EQ(levelTime, 2.5);
    EXPECT_EQ(sideClock[Red].elapsed, 12.5);
    EXPECT_EQ(sideClock[Black].elapsed, 12.5);
    EXPECT_EQ(maxDepth, 45);
    EXPECT_EQ(CheckedItems(), std::vector<std::string>{"MoveTime"});
    EXPECT_EQ(display.Count("ShowLevel"), 1);
    EXPECT_TRUE(LevelText().ends_with("秒/移动")) << LevelText();
}

TEST_F(LevelCommandsTest, TheLeadingNumberOfTheTextCounts) {
    AcceptMinutesPerGame("  1.5e1 minutes");
    EXPECT_EQ(levelKind, kLevelPerGame);
    EXPECT_EQ(levelTime, 15.0);
    EXPECT_TRUE(LevelText().ends_with("分钟/局")) << LevelText();
}

TEST_F(LevelCommandsTest, TheSameLevelAgainChangesTheValueAndKeepsTheCheckMark) {
    levelKind = kLevelPerGame;
    AcceptMinutesPerGame("30");
    EXPECT_EQ(levelTime, 30.0);
    EXPECT_EQ(CheckedItems(), std::vector<std::string>{"TotalTime"});
    levelKind = kLevelFixedDepth;
    AcceptPlies("8");
    EXPECT_EQ(maxDepth, 8);
    EXPECT_EQ(CheckedItems(), std::vector<std::string>{"Ply1"});
}

TEST_F(LevelCommandsTest, ATimeThatIsNotAFiniteNumberAboveZeroIsRefused) {
    plyCount = 10;
    const auto before = State();
    for (const char* text : {"0", "", "abc", "-3", "0.0", ".e5", "inf", "nan", "1e999"}) {
        errors.texts.clear();
        AcceptSecondsPerMove(text);
        AcceptMinutesPerGame(text);
        EXPECT_EQ(errors.texts,
                  (std::vector<std::string>{"时间不正确。请重输。", "时间不正确。请重输。"}))
            << text;
        EXPECT_EQ(State(), before) << text;
    }
    EXPECT_TRUE(CheckedItems().empty());
    EXPECT_EQ(display.Count("ShowLevel"), 0);
}

TEST_F(LevelCommandsTest, ATimeAboveTheLongestIsRefusedNamingTheRange) {
    plyCount = 10;
    const auto before = State();
    AcceptSecondsPerMove("3e9");
    AcceptMinutesPerGame("999999999");
    AcceptSecondsPerMove("1000.01");
    EXPECT_EQ(errors.texts, (std::vector<std::string>{kTooManySecondsText, kTooManyMinutesText,
                                                      kTooManySecondsText}));
    EXPECT_EQ(State(), before);
    AcceptMinutesPerGame("1000");
    EXPECT_EQ(levelTime, 1000.0);
    EXPECT_EQ(sideClock[Red].elapsed, 5000.0);
    EXPECT_EQ(LevelText(), "1000.00 分钟/局");
}

TEST_F(LevelCommandsTest, PliesAreLimitedTo45AndMustBeAtLeastOne) {
    AcceptPlies("60");
    EXPECT_EQ(levelKind, kLevelFixedDepth);
    EXPECT_EQ(maxDepth, 45);
    EXPECT_EQ(CheckedItems(), std::vector<std::string>{"Ply1"});
    EXPECT_EQ(LevelText(), "回合深度 = 45");

    AcceptPlies(" 7 ");
    EXPECT_EQ(maxDepth, 7);

    const auto before = State();
    AcceptPlies("0");
    AcceptPlies("-5");
    EXPECT_EQ(errors.texts,
              (std::vector<std::string>{"数据不正确。请重输。", "数据不正确。请重输。"}));
    EXPECT_EQ(State(), before);
}

TEST_F(LevelCommandsTest, PliesThatAreNotAWholeNumberGetTheConversionMessageBox) {
    const auto before = State();
    for (const char* text : {"abc", "2.5", "", "99999999999999999999"}) {
        display.Clear();
        AcceptPlies(text);
        ASSERT_EQ(display.Count("MessageBox"), 1) << text;
        EXPECT_EQ(display.Named("MessageBox")[0].text,
                  "\"" + std::string(text) + "\" 不是有效的整数。|澜川中国象棋");
    }
    EXPECT_TRUE(errors.texts.empty());
    EXPECT_EQ(State(), before);
}

// Answers the next modal dialog: `act` gets it once it is up.
void WhenShown(std::function<void(QDialog*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start(5);
}

TEST_F(LevelCommandsTest, TheCommandsShowTheCurrentValueAndActOnlyOnOk) {
    TInputSecPerMoveDlg perMove;
    TInputMinPerGameDlg perGame;
    TInputPlyDlg plies;
    plyCount = 4;

    QString shown;
    WhenShown([&](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("Edit1");
        shown = edit->text();
        edit->selectAll();
        QTest::keyClicks(edit, "2.5");
        QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    MoveTimeCommand(perMove);
    EXPECT_EQ(shown, "5.00");
    EXPECT_EQ(levelKind, kLevelPerMove);
    EXPECT_EQ(levelTime, 2.5);
    EXPECT_EQ(sideClock[Red].elapsed, 5.0);

    WhenShown([&](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("Edit1");
        shown = edit->text();
        QTest::keyClicks(edit, "9");
        QTest::mouseClick(dialog->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    TotalTimeCommand(perGame);
    EXPECT_EQ(shown, "2.50");
    EXPECT_EQ(levelKind, kLevelPerMove);
    EXPECT_EQ(levelTime, 2.5);

    WhenShown([&](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("Edit1");
        shown = edit->text();
        edit->selectAll();
        QTest::keyClicks(edit, "6");
        QTest::keyClick(edit, Qt::Key_Return);  // the default button
    });
    PlyCommand(plies);
    EXPECT_EQ(shown, "45");
    EXPECT_EQ(levelKind, kLevelFixedDepth);
    EXPECT_EQ(maxDepth, 6);

    // A time that two decimals would change shows whole, and OK without an edit keeps it.
    AcceptSecondsPerMove("1e-7");
    WhenShown([&](QDialog* dialog) {
        shown = dialog->findChild<QLineEdit*>("Edit1")->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    });
    MoveTimeCommand(perMove);
    EXPECT_EQ(shown, "1e-07");
    EXPECT_EQ(levelTime, 1e-7);
    EXPECT_TRUE(errors.texts.empty());
}

}  // namespace
}  // namespace xq
