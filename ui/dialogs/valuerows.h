// An edit box and a scroll bar of 0..255 that show one number, as the piece values and the colour
// dialogs have them: typed values are checked when the edit is left or the dialog is confirmed,
// and an invalid one is reported and gets the focus back.
#pragma once

#include <QtGlobal>

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QLineEdit;
class QScrollBar;

namespace xq {

inline constexpr char kByteRangeErrorText[] =
    QT_TRANSLATE_NOOP("ValueRows", "请输入一个介于0-255之间的有效数.");

struct ByteRow {
    QLineEdit* edit;
    QScrollBar* bar;
};

// The edit's text as a whole number in 0..255, or nothing.
std::optional<int> ReadByte(const QLineEdit& edit);

// Checks one row against its working value: an invalid text is reported with
// kByteRangeErrorText, the edit gets the focus back and false is returned; a valid number that
// differs from `working` becomes the working value and moves the bar (whose change handler then
// rewrites the edit in plain decimal form, so "007" becomes "7").
bool CheckByteRow(const ByteRow& row, int& working);

// Runs `left` whenever the user has moved the focus out of one of the watched edits (a click, Tab,
// Shift+Tab, a shortcut). It runs from the event loop once the focus has settled, never inside
// the focus change itself, so it may show a modal dialog and move the focus back. Focus lost to
// another window (the error dialog) or moved by the program (back to an invalid edit) does not
// count: one invalid entry gives one report.
class EditLeaveWatcher : public QObject {
  public:
    EditLeaveWatcher(const std::vector<QLineEdit*>& edits, std::function<void()> left,
                     QObject* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> left_;
};

}  // namespace xq
