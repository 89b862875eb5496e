// The piece values dialog, typed into and clicked as a user does: what showing loads, the range
// check with its exact error text and the focus given back, the value written by "确定" in
// sixteenths, and "缺省 " followed by "忽略" writing nothing.
#include "ui/dialogs/piecevaluedlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <iterator>

#include "dialogs/dialog_support.h"
#include "engine/evaluation.h"
#include "records/settings.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/dialogs/valuerows.h"

namespace xq {
namespace {

using testing::ErrorRecorder;
using testing::Settle;
using testing::ShowActive;
using testing::TypeInto;

class PieceValueDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }

    QLineEdit* Edit(const char* kind) { return dialog.findChild<QLineEdit*>(QString("E") + kind); }
    QScrollBar* Bar(const char* kind) { return dialog.findChild<QScrollBar*>(QString("S") + kind); }
    QPushButton* Button(const char* name) { return dialog.findChild<QPushButton*>(name); }
    std::vector<QString> Edits() {
        std::vector<QString> texts;
        for (const char* kind : kKinds)
            texts.push_back(Edit(kind)->text());
        return texts;
    }
    std::vector<int> Bars() {
        std::vector<int> positions;
        for (const char* kind : kKinds)
            positions.push_back(Bar(kind)->value());
        return positions;
    }

    static constexpr const char* kKinds[] = {"assist", "bishop", "knight",
                                             "rook",   "gunner", "pawn"};
    TPieceValueDlg dialog;
};

TEST_F(PieceValueDlgTest, ShowsTheEngineValuesInSixteenthsTopToBottom) {
    pieceValue[Knight] = 1040;  // 65 sixteenths
    ASSERT_TRUE(ShowActive(dialog));
    EXPECT_EQ(Edits(), (std::vector<QString>{"32", "32", "65", "144", "69", "16"}));
    EXPECT_EQ(Bars(), (std::vector<int>{32, 32, 65, 144, 69, 16}));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("棋子值对话"));
}

TEST_F(PieceValueDlgTest, OutOfRangeRookIsReportedKeepsTheDialogAndTheTable) {
    ErrorRecorder errors;
    ASSERT_TRUE(ShowActive(dialog));
    TypeInto(Edit("rook"), "300");
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    Settle();

    EXPECT_EQ(errors.texts, std::vector<std::string>{"请输入一个介于0-255之间的有效数."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Edit("rook"));
    EXPECT_EQ(Bar("rook")->value(), 144);
    EXPECT_TRUE(
        std::equal(std::begin(pieceValue), std::end(pieceValue), std::begin(kDefaultPieceValue)));
}

TEST_F(PieceValueDlgTest, LeavingAnInvalidEditReportsOnceAndReturnsTheFocus) {
    ErrorRecorder errors;
    ASSERT_TRUE(ShowActive(dialog));
    for (const QString& text : {QString("-1"), QString("1x"), QString("")}) {
        errors.texts.clear();
        TypeInto(Edit("knight"), text);
        QTest::keyClick(Edit("knight"), Qt::Key_Tab);
        Settle();
        EXPECT_EQ(errors.texts.size(), 1u) << text.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), Edit("knight")) << text.toStdString();
        EXPECT_EQ(Bar("knight")->value(), 64);
    }
}

TEST_F(PieceValueDlgTest, TwelveForThePawnTabbedOutThenOkGives192) {
    ErrorRecorder errors;
    ASSERT_TRUE(ShowActive(dialog));
    TypeInto(Edit("pawn"), "12");
    QTest::keyClick(Edit("pawn"), Qt::Key_Tab);
    Settle();
    EXPECT_EQ(Bar("pawn")->value(), 12);

    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    EXPECT_TRUE(errors.texts.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(pieceValue[Pawn], 192);
    EXPECT_EQ(pieceValue[Rook], 2304);
    EXPECT_EQ(pieceValue[King], kDefaultPieceValue[King]);
}

TEST_F(PieceValueDlgTest, TypedValuesAreTakenByOkWithoutLeavingTheEdit) {
    ASSERT_TRUE(ShowActive(dialog));
    TypeInto(Edit("gunner"), "007");
    QTest::keyClick(Edit("gunner"), Qt::Key_Tab);
    Settle();
    EXPECT_EQ(Edit("gunner")->text(), "7");  // rewritten in plain decimal form
    TypeInto(Edit("assist"), "0");
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(pieceValue[Gunner], 7 * 16);
    EXPECT_EQ(pieceValue[Assist], 0);
}

TEST_F(PieceValueDlgTest, ScrollBarsRewriteTheirEdits) {
    ErrorRecorder errors;  // a refusal of the top value is noted, not left waiting in its dialog
    ASSERT_TRUE(ShowActive(dialog));
    Bar("bishop")->setValue(255);
    EXPECT_EQ(Edit("bishop")->text(), "255");
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(pieceValue[Bishop], 255 * 16);
    EXPECT_TRUE(errors.texts.empty());
}

TEST_F(PieceValueDlgTest, DefaultThenCancelLeavesTheTableAndTheNextShowReloads) {
    pieceValue[Rook] = 100 * 16;
    pieceValue[Pawn] = 0;
    ASSERT_TRUE(ShowActive(dialog));
    QTest::mouseClick(Button("Default"), Qt::LeftButton);
    EXPECT_EQ(Edits(), (std::vector<QString>{"32", "32", "64", "144", "69", "16"}));
    EXPECT_EQ(Bars(), (std::vector<int>{32, 32, 64, 144, 69, 16}));
    EXPECT_TRUE(dialog.isVisible());

    QTest::mouseClick(Button("CancelBtn"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(pieceValue[Rook], 1600);
    EXPECT_EQ(pieceValue[Pawn], 0);

    ASSERT_TRUE(ShowActive(dialog));
    EXPECT_EQ(Edit("rook")->text(), "100");
    EXPECT_EQ(Edit("pawn")->text(), "0");
}

// With the real error dialog: it shows the text, waits for its "OK", and the focus is back on
// the edit afterwards, once.
TEST_F(PieceValueDlgTest, TheErrorDialogShowsTheTextAndTheFocusComesBack) {
    ASSERT_TRUE(ShowActive(dialog));
    TypeInto(Edit("rook"), "300");
    std::vector<QString> shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* error = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget());
        if (error == nullptr) return;
        shown.push_back(error->Message()->text());
        QTest::mouseClick(error->OkButton(), Qt::LeftButton);
    });
    answer.start(10);
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    QTest::qWait(50);
    answer.stop();

    EXPECT_EQ(shown, std::vector<QString>{QString::fromUtf8(kByteRangeErrorText)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Edit("rook"));
    EXPECT_EQ(pieceValue[Rook], 2304);
}

}  // namespace
}  // namespace xq
