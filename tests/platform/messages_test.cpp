#include "platform/messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace xq {
namespace {

// Records what reached each window, and empties the queue and the procedures around each test.
class MessageQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearMessages();
        for (WindowId id = 1; id <= kMaxWindowId; ++id)
            SetWindowProcedure(id, nullptr);
        SetWindowProcedure(kMainWindow, [this](const Message& m) {
            mainSeen.push_back(m);
            return static_cast<int64_t>(m.command) * 2;
        });
        SetWindowProcedure(2, [this](const Message& m) {
            otherSeen.push_back(m);
            return int64_t{-1};
        });
    }
    void TearDown() override {
        ClearMessages();
        SetWindowProcedure(kMainWindow, nullptr);
        SetWindowProcedure(2, nullptr);
        SetNativeEventPull(nullptr);
        SetMessageWakeHook(nullptr);
    }

    static Message Make(WindowId target, MessageKind kind, int32_t command = 0) {
        Message m;
        m.target = target;
        m.kind = kind;
        m.command = command;
        return m;
    }

    std::vector<Message> mainSeen;
    std::vector<Message> otherSeen;
};

TEST_F(MessageQueueTest, PostOnlyQueuesAndPendingTracksTheCount) {
    EXPECT_FALSE(MessagesPending());
    ASSERT_TRUE(PostMessage(Make(kMainWindow, MessageKind::Command, 7)));
    EXPECT_TRUE(MessagesPending());
    EXPECT_TRUE(mainSeen.empty());  // nothing ran yet
    Message m;
    ASSERT_TRUE(PeekMessage(&m, kMainWindow, false));
    EXPECT_TRUE(MessagesPending());  // peek without removal leaves it queued
    ASSERT_TRUE(PeekMessage(&m, kMainWindow, true));
    EXPECT_EQ(m.command, 7);
    EXPECT_FALSE(MessagesPending());
    EXPECT_FALSE(PeekMessage(&m, kAnyWindow, true));
}

TEST_F(MessageQueueTest, PeekFiltersByTargetAndKeepsOrder) {
    // Rows: target, kind, command; posted in this order.
    const struct {
        WindowId target;
        MessageKind kind;
        int32_t command;
    } rows[] = {
        {2, MessageKind::Timer, 1},           {kMainWindow, MessageKind::LeftButtonDown, 2},
        {2, MessageKind::PointerMove, 3},     {kMainWindow, MessageKind::Command, 4},
        {kMainWindow, MessageKind::Close, 5},
    };
    for (const auto& r : rows)
        ASSERT_TRUE(PostMessage(Make(r.target, r.kind, r.command)));
    EXPECT_EQ(queuedMessagesFor[kMainWindow], 3);
    EXPECT_EQ(queuedMessagesFor[2], 2);
    // A message for no window is refused rather than left in the queue for ever.
    EXPECT_FALSE(PostMessage(Make(kMaxWindowId + 1, MessageKind::Command, 6)));
    EXPECT_FALSE(PostMessage(Make(kAnyWindow, MessageKind::Command, 6)));

    std::vector<int32_t> mainOrder;
    Message m;
    while (PeekMessage(&m, kMainWindow, true))
        mainOrder.push_back(m.command);
    EXPECT_EQ(mainOrder, (std::vector<int32_t>{2, 4, 5}));
    EXPECT_EQ(queuedMessageCount, 2);
    // Only the other window's messages wait: the main window's pending test reads false.
    EXPECT_FALSE(MessagesPendingFor(kMainWindow));
    EXPECT_TRUE(MessagesPendingFor(2));

    std::vector<int32_t> rest;
    while (PeekMessage(&m, kAnyWindow, true))
        rest.push_back(m.command);
    EXPECT_EQ(rest, (std::vector<int32_t>{1, 3}));
    EXPECT_FALSE(MessagesPendingFor(2));
}

TEST_F(MessageQueueTest, SendRunsAtOnceAndDispatchReachesTheTargetProcedure) {
    PostMessage(Make(kMainWindow, MessageKind::Timer, 1));
    EXPECT_EQ(SendMessage(Make(kMainWindow, MessageKind::ShowError, 21)), 42);
    ASSERT_EQ(mainSeen.size(), 1u);  // the send overtook the queued timer
    EXPECT_EQ(mainSeen[0].kind, MessageKind::ShowError);
    EXPECT_EQ(DispatchMessage(Make(2, MessageKind::SetCursor)), -1);
    EXPECT_EQ(otherSeen.size(), 1u);
    // No procedure for the target, or a target out of range: dropped with result 0.
    EXPECT_EQ(SendMessage(Make(3, MessageKind::Command, 9)), 0);
    EXPECT_EQ(SendMessage(Make(kMaxWindowId + 1, MessageKind::Command, 9)), 0);
    EXPECT_EQ(SendMessage(Make(-4, MessageKind::Command, 9)), 0);
    // The highest window number is a window like any other.
    SetWindowProcedure(kMaxWindowId, [](const Message&) { return int64_t{7}; });
    EXPECT_EQ(SendMessage(Make(kMaxWindowId, MessageKind::Command, 9)), 7);
    SetWindowProcedure(kMaxWindowId, nullptr);
}

TEST_F(MessageQueueTest, DrainDispatchesOnlyWhatWasQueuedWhenItStarted) {
    // The main window re-posts every command it gets: a drain must still end.
    SetWindowProcedure(kMainWindow, [this](const Message& m) {
        mainSeen.push_back(m);
        PostMessage(m);
        return int64_t{0};
    });
    PostMessage(Make(kMainWindow, MessageKind::Command, 1));
    PostMessage(Make(2, MessageKind::Timer, 2));
    EXPECT_EQ(DispatchPendingMessages(), 2);
    EXPECT_EQ(mainSeen.size(), 1u);
    EXPECT_EQ(otherSeen.size(), 1u);
    EXPECT_EQ(queuedMessageCount, 1);  // the re-posted command waits for the next drain
}

TEST_F(MessageQueueTest, FullQueueRefusesAndKeepsItsContents) {
    for (int i = 0; i < kMessageQueueCapacity; ++i)
        ASSERT_TRUE(PostMessage(Make(kMainWindow, MessageKind::Command, i)));
    EXPECT_FALSE(PostMessage(Make(kMainWindow, MessageKind::Command, -1)));
    Message m;
    for (int i = 0; i < kMessageQueueCapacity; ++i) {
        ASSERT_TRUE(PeekMessage(&m, kAnyWindow, true));
        EXPECT_EQ(m.command, i);
    }
    EXPECT_FALSE(MessagesPending());
}

TEST_F(MessageQueueTest, RingWrapsAroundWithRemovalsFromTheMiddle) {
    // Many rounds of post three, take the middle one, take the rest: the ring's start moves
    // round the buffer several times.
    Message m;
    for (int round = 0; round < 3 * kMessageQueueCapacity; ++round) {
        PostMessage(Make(2, MessageKind::Timer, round));
        PostMessage(Make(kMainWindow, MessageKind::Command, round));
        PostMessage(Make(2, MessageKind::PointerMove, round));
        ASSERT_TRUE(PeekMessage(&m, kMainWindow, true));
        ASSERT_EQ(m.kind, MessageKind::Command);
        ASSERT_TRUE(PeekMessage(&m, kAnyWindow, true));
        ASSERT_EQ(m.kind, MessageKind::Timer);
        ASSERT_EQ(m.command, round);
        ASSERT_TRUE(PeekMessage(&m, kAnyWindow, true));
        ASSERT_EQ(m.kind, MessageKind::PointerMove);
    }
    EXPECT_FALSE(MessagesPending());
}

int pulls = 0;
int wakes = 0;

TEST_F(MessageQueueTest, NativePullAndWakeHooksRunOnlyWhenInstalled) {
    pulls = 0;
    wakes = 0;
    PullNativeEvents();  // nothing installed: nothing happens
    PostMessage(Make(kMainWindow, MessageKind::Timer));
    EXPECT_EQ(wakes, 0);

    // The pull plays the toolkit: it turns a native click into a queued message.
    SetNativeEventPull([] {
        ++pulls;
        Message click;
        click.kind = MessageKind::LeftButtonDown;
        click.x = 100;
        click.y = 200;
        PostMessage(click);
    });
    SetMessageWakeHook([] { ++wakes; });
    ClearMessages();
    PullNativeEvents();
    EXPECT_EQ(pulls, 1);
    EXPECT_EQ(wakes, 1);
    Message m;
    ASSERT_TRUE(PeekMessage(&m, kMainWindow, true));
    EXPECT_EQ(m.kind, MessageKind::LeftButtonDown);
    EXPECT_EQ(m.x, 100);
    EXPECT_EQ(m.y, 200);
}

}  // namespace
}  // namespace xq
