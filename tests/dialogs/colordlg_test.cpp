// The colour dialog: what showing loads, the preview as it is drawn, the range check with its
// error and focus, and what reaches the stored colour and the window after each way of closing.
#include "ui/dialogs/colordlg.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "dialogs/dialog_support.h"

namespace xq {
namespace {

using testing::ErrorRecorder;
using testing::Settle;
using testing::ShowActive;
using testing::TypeInto;

class ColorDlgTest : public ::testing::Test {
  protected:
    QLineEdit* Edit(const char* name) {
        return dialog.findChild<QLineEdit*>(QString("Edit") + name);
    }
    QScrollBar* Bar(const char* name) {
        return dialog.findChild<QScrollBar*>(QString("ScrollBar_") + name);
    }
    QPushButton* Button(const char* name) { return dialog.findChild<QPushButton*>(name); }
    // The colour in the middle of the preview patch as it is drawn.
    QColor Preview() {
        auto* patch = dialog.findChild<QFrame*>("ColorSelection");
        const QImage image = patch->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }

    PackedColour stored = PackColour(0, 128, 0);
    std::vector<PackedColour> stores;
    int closes = 0;
    TColorDlg dialog{ColourLinks{[this] { return stored; },
                                 [this](PackedColour colour) { stores.push_back(colour); },
                                 [this] { ++closes; }}};
};

TEST_F(ColorDlgTest, ShowsTheStoredColourWithAGreenPreview) {
    ASSERT_TRUE(ShowActive(dialog));
    EXPECT_EQ(Edit("Red")->text(), "0");
    EXPECT_EQ(Edit("Green")->text(), "128");
    EXPECT_EQ(Edit("Blue")->text(), "0");
    EXPECT_EQ(Bar("Green")->value(), 128);
    EXPECT_EQ(Preview(), QColor(0, 128, 0));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("设置颜色"));
}

TEST_F(ColorDlgTest, MovingBlueUpdatesEditAndPreviewAndCancelStoresNothing) {
    ASSERT_TRUE(ShowActive(dialog));
    Bar("Blue")->setFocus();
    QTest::keyClick(Bar("Blue"), Qt::Key_End);
    EXPECT_EQ(Bar("Blue")->value(), 255);
    EXPECT_EQ(Edit("Blue")->text(), "255");
    EXPECT_EQ(Preview(), QColor(0, 128, 255));

    QTest::mouseClick(Button("CancelBtn"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(stores.empty());
    EXPECT_EQ(closes, 1);

    // Shown again, it starts from the stored colour.
    ASSERT_TRUE(ShowActive(dialog));
    EXPECT_EQ(Edit("Blue")->text(), "0");
    EXPECT_EQ(Preview(), QColor(0, 128, 0));
}

TEST_F(ColorDlgTest, RedOf256IsReportedAndKeepsTheDialogOpen) {
    ErrorRecorder errors;
    ASSERT_TRUE(ShowActive(dialog));
    TypeInto(Edit("Red"), "256");
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(errors.texts, std::vector<std::string>{"请输入一个介于0-255之间的有效数."});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Edit("Red"));
    EXPECT_TRUE(stores.empty());
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(Preview(), QColor(0, 128, 0));

    // Leaving the edit reports it again; a valid value then goes through.
    QTest::keyClick(Edit("Red"), Qt::Key_Tab);
    Settle();
    EXPECT_EQ(errors.texts.size(), 2u);
    TypeInto(Edit("Red"), "200");
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(stores, std::vector<PackedColour>{PackColour(200, 128, 0)});
    EXPECT_EQ(closes, 1);
}

TEST_F(ColorDlgTest, LeavingAValidEditMovesItsBarAndThePreview) {
    ASSERT_TRUE(ShowActive(dialog));
    TypeInto(Edit("Green"), "64");
    QTest::keyClick(Edit("Green"), Qt::Key_Tab);
    Settle();
    EXPECT_EQ(Bar("Green")->value(), 64);
    EXPECT_EQ(Preview(), QColor(0, 64, 0));
    // A valid value typed without leaving the edit is stored by OK.
    TypeInto(Edit("Blue"), "17");
    QTest::mouseClick(Button("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(stores, std::vector<PackedColour>{PackColour(0, 64, 17)});
    EXPECT_EQ(stores[0], 0 + 256 * 64 + 65536 * 17);
}

}  // namespace
}  // namespace xq
