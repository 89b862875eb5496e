// The end-of-game, error and about dialogs: captions, texts and where they sit, what the
// end-of-game buttons post to the main window, and the about box staying modeless.
#include "ui/dialogs/messagedialogs.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include "dialogs/dialog_support.h"
#include "engine/flow.h"
#include "platform/messages.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "support/display_recorder.h"
#include "ui/dialogs/aboutdlg.h"
#include "ui/dialogs/dialoglinks.h"

namespace xq {
namespace {

// The messages waiting for the main window, oldest first; the queue is emptied.
std::vector<MessageKind> TakeMainWindowMessages() {
    std::vector<MessageKind> kinds;
    Message message;
    while (PeekMessage(&message, kMainWindow, true))
        kinds.push_back(message.kind);
    return kinds;
}

TEST(EndOfGameDlg, ShowsEveryResultAboveTheQuestionOnThePanel) {
    for (std::string_view result :
         {kMateText, kStalemateText, kSixtyMovesText, kRedResignsText, kBlackResignsText}) {
        const QString text = QString::fromUtf8(result.data(), result.size());
        TEndChessGameDlg dialog(text);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("中国象棋"));
        EXPECT_EQ(dialog.size(), QSize(292, 183));
        EXPECT_EQ(dialog.Message()->text(), text);
        EXPECT_EQ(dialog.PlayAgain()->text(), QString::fromUtf8("还玩吗？"));
        const QRect panel = dialog.Panel()->contentsRect();
        EXPECT_TRUE(panel.contains(dialog.Message()->geometry())) << result;
        EXPECT_TRUE(panel.contains(dialog.PlayAgain()->geometry())) << result;
        EXPECT_LT(dialog.Message()->geometry().bottom(), dialog.PlayAgain()->geometry().top());
        EXPECT_EQ(dialog.Message()->x(), dialog.PlayAgain()->x());
        EXPECT_EQ(dialog.YesButton()->geometry(), QRect(60, 140, 75, 25));
        EXPECT_EQ(dialog.NoButton()->geometry(), QRect(170, 140, 75, 25));
    }
}

TEST(EndOfGameDlg, YesClearsTheEndAndAsksForANewGameNoAsksToExit) {
    ClearMessages();
    gameOver = 1;
    {
        TEndChessGameDlg dialog(QString::fromUtf8("红方认输"));
        dialog.show();
        QTest::mouseClick(dialog.YesButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(TakeMainWindowMessages(), std::vector<MessageKind>{MessageKind::NewGameRequest});

    gameOver = 1;
    {
        TEndChessGameDlg dialog(QString::fromUtf8("将死！"));
        dialog.show();
        QTest::mouseClick(dialog.NoButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(TakeMainWindowMessages(), std::vector<MessageKind>{MessageKind::ExitRequest});

    {
        TEndChessGameDlg dialog(QString::fromUtf8("将死！"));
        dialog.show();
        dialog.close();  // the close box
    }
    EXPECT_TRUE(TakeMainWindowMessages().empty());
    gameOver = 0;
}

TEST(ChessErrorDlg, EachErrorWaitsForItsOk) {
    std::vector<QString> shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* error = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget());
        if (error == nullptr) return;
        EXPECT_EQ(error->windowTitle(), QString::fromUtf8("中国象棋错误"));
        EXPECT_EQ(error->Message()->geometry(), error->Panel()->contentsRect());
        EXPECT_EQ(error->OkButton()->geometry(), QRect(111, 140, 75, 25));
        shown.push_back(error->Message()->text());
        QTest::mouseClick(error->OkButton(), Qt::LeftButton);
    });
    answer.start(5);
    ShowErrorDialog("时间不正确。请重输。");
    EXPECT_EQ(shown.size(), 1u);
    ShowErrorDialog("数据不正确。请重输。");
    answer.stop();
    EXPECT_EQ(shown, (std::vector<QString>{QString::fromUtf8("时间不正确。请重输。"),
                                           QString::fromUtf8("数据不正确。请重输。")}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// An error text longer than the panel holds (a path, a move text) is shown whole: the dialog
// grows around it, its caption, panel, line and button keeping their order and look. A text
// that fits keeps the dialog's own size.
TEST(ChessErrorDlg, ALongTextGrowsTheDialogAndIsShownWhole) {
    const QString path = "/home/player/" + QString("games-of-the-winter-tournament/").repeated(6) +
                         QString::fromUtf8("第七轮对局.chs");
    const struct Row {
        const char* name;
        QString text;
        bool grows;
    } rows[] = {
        {"a short text", QString::fromUtf8("时间不正确。请重输。"), false},
        {"a path", QString::fromUtf8("无法打开文件 ") + path + QString::fromUtf8("。"), true},
        {"a move text",
         QString::fromUtf8("第 12 步的走法 \"") + QString("h2e2h9g7").repeated(12) +
             QString::fromUtf8("\" 不正确。"),
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TChessErrorDlg dialog(row.text);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("中国象棋错误"));
        const QLabel* message = dialog.Message();
        const QFontMetrics metrics(message->font());
        const QStringList lines = message->text().split('\n');
        QString shown = message->text();
        EXPECT_EQ(shown.remove('\n').remove(' '), QString(row.text).remove(' ')) << "nothing lost";
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), message->width()) << line.toStdString();
        EXPECT_LE(lines.size() * metrics.lineSpacing(), message->height());
        EXPECT_EQ(message->mapTo(&dialog, QPoint(0, 0)), dialog.Panel()->pos() + QPoint(1, 1));
        EXPECT_TRUE(dialog.rect().contains(dialog.Panel()->geometry()));
        const QRect ok = dialog.OkButton()->geometry();
        EXPECT_EQ(ok.size(), QSize(75, 25));
        EXPECT_GT(ok.top(), dialog.Panel()->geometry().bottom() + 20);
        EXPECT_TRUE(dialog.rect().contains(ok));
        EXPECT_LE(std::abs(2 * ok.center().x() - dialog.width()), 4) << "centred";
        if (row.grows) {
            EXPECT_GT(dialog.width() * dialog.height(), 292 * 183);
        } else {
            EXPECT_EQ(dialog.size(), QSize(292, 183));
            EXPECT_EQ(ok, QRect(111, 140, 75, 25));
        }
    }
}

// What the dialogs do with an invalid entry until the main window installs its own reporter: a
// beep only when sound is on, then the error dialog.
TEST(ChessErrorDlg, TheDefaultReporterBeepsOnlyWithSoundOn) {
    testing::DisplayRecorder display;
    std::vector<int> beepsWhenShown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* error = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget());
        if (error == nullptr) return;
        beepsWhenShown.push_back(display.Count("Beep"));
        QTest::mouseClick(error->OkButton(), Qt::LeftButton);
    });
    answer.start(5);
    const uint8_t sound = soundOn;
    soundOn = 0;
    ReportDialogError("时间不正确。请重输。");
    soundOn = 1;
    ReportDialogError("时间不正确。请重输。");
    soundOn = sound;
    EXPECT_EQ(beepsWhenShown, (std::vector<int>{0, 1}));
}

TEST(AboutDlg, ShowsTheProductAndItsContactsWithoutBlocking) {
    TAboutDlg about;
    about.ShowModeless();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("关于澜川中国象棋"));
    EXPECT_EQ(about.findChild<QLabel*>("ProductName")->text(), QString::fromUtf8("澜川中国象棋"));
    for (const char* line : {"Author", "HomePage", "EMail", "Messaging"})
        EXPECT_FALSE(about.findChild<QLabel*>(line)->text().isEmpty()) << line;
#ifdef XQ_HAVE_ARTWORK
    EXPECT_FALSE(about.findChild<QLabel*>("RedKing")->pixmap().isNull());
    EXPECT_FALSE(about.findChild<QLabel*>("BlackKing")->pixmap().isNull());
#endif
    QTest::mouseClick(about.findChild<QPushButton*>("OKBut"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    about.ShowModeless();  // shown again on the next "关于"
    EXPECT_TRUE(about.isVisible());
}

}  // namespace
}  // namespace xq
