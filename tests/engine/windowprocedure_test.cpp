// The main window's procedure on the core side: the private messages and the commands it runs
// itself, the handlers a window registers for the rest, and a message pending for another window
// left alone by the search's pump.
#include "engine/windowprocedure.h"

#include <gtest/gtest.h>

#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/pump.h"
#include "engine_fixture.h"
#include "platform/messages.h"
#include "rules/fen.h"
#include "support/display_recorder.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::EngineTest;

int exitsRun = 0;
int clicksSeen = 0;
std::string errorShown;

class WindowProcedureTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        exitsRun = 0;
        clicksSeen = 0;
        errorShown.clear();
        ClearMessages();
        ClearWindowHandlers();
        SetWindowProcedure(kMainWindow, MainWindowProcedure);
    }
    void TearDown() override {
        ClearWindowHandlers();
        SetWindowProcedure(kMainWindow, nullptr);
        ClearMessages();
        EngineTest::TearDown();
    }

    static Message Make(MessageKind kind, int32_t command = 0) {
        Message message;
        message.kind = kind;
        message.command = command;
        return message;
    }
};

TEST_F(WindowProcedureTest, PrivateMessagesRunTheNewAndExitCommands) {
    DisplayRecorder display;
    SetCommandHandler(kCommandExit, [] { ++exitsRun; });
    testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/4K4 b");
    userSide = Red;
    gameUnnamed = 0;

    SendMessage(Make(MessageKind::NewGameRequest));
    EXPECT_EQ(display.Count("RedrawAll"), 1);
    EXPECT_EQ(display.Count("StopClockDisplay"), 1);
    EXPECT_EQ(gameUnnamed, 1);
    EXPECT_EQ(board[4].kind, King) << "the opening array is back";
    EXPECT_EQ(board[0].kind, Rook);
    EXPECT_EQ(userSide, sideToMove);
    EXPECT_EQ(computerSide, otherSide);

    SendMessage(Make(MessageKind::ExitRequest));
    SendMessage(Make(MessageKind::Command, kCommandExit));
    EXPECT_EQ(exitsRun, 2);
    // "停止" and commands without a handler do nothing here.
    SendMessage(Make(MessageKind::Command, kCommandStop));
    SendMessage(Make(MessageKind::Command, kCommandAbout));
    EXPECT_EQ(exitsRun, 2);
}

TEST_F(WindowProcedureTest, ReportErrorBeepsWhenSoundIsOnAndWaitsForTheDialog) {
    DisplayRecorder display;
    SetMessageHandler(MessageKind::ShowError, [](const Message&) { errorShown = errorText; });
    for (uint8_t sound : {0, 1}) {
        display.Clear();
        errorShown.clear();
        soundOn = sound;
        ReportError("请重输");
        EXPECT_EQ(errorShown, "请重输") << "shown before ReportError returned";
        EXPECT_EQ(display.Count("Beep"), sound);
    }
    soundOn = 1;
}

TEST_F(WindowProcedureTest, PumpLeavesAnotherWindowsMessageAndTakesTheMainWindows) {
    SetMessageHandler(MessageKind::LeftButtonDown, [](const Message&) { ++clicksSeen; });
    timedThinking = 1;
    Message other = Make(MessageKind::Timer, 1);
    other.target = 2;
    PostMessage(other);
    for (uint32_t i = 0; i < 3 * kPumpCallsPerTimeCheck; ++i)
        PumpMessages();
    EXPECT_EQ(queuedMessageCount, 1) << "the dialog's message waits for the dialog";
    PostMessage(Make(MessageKind::LeftButtonDown));
    PumpMessages();
    EXPECT_EQ(clicksSeen, 1);
    EXPECT_EQ(queuedMessageCount, 1);
    timedThinking = 0;
}

}  // namespace
}  // namespace xq
