// The information panel on the right half of the main window: whose turn it is, the running
// clock, each side's last move, the level, the engine's value, node count, speed, depth and best
// line, and a message line. A borderless child of the main window; its fields are laid out in
// infoform.ui. The core writes them through the window's Display (windowdisplay.h); the clock
// field is written on every tick of the main window's one-second timer.
#pragma once

#include <QFrame>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "rules/types.h"
#include "ui/gdi/canvas.h"

class QLabel;

namespace Ui {
class TInfoForm;
}

namespace xq {

class CourseGraph;

class TInfoForm : public QFrame {
  public:
    explicit TInfoForm(QWidget* parent);
    ~TInfoForm() override;

    // Every field back to the text it was loaded with.
    void ResetPanel();
    void ShowTurn(Side side);
    // The side's move line after its label; without a text, the field as the form loads it.
    void ShowMoveLine(Side side, std::string_view text);
    // A field named as the engine names it ("Depth", "BestPath", "Value", "Seconds", "Nodes",
    // "Timer") gets its label followed by `text`. Other names are ignored.
    void ShowValue(std::string_view field, std::string_view text);
    // The value field's figure from `side`'s view: the label names the side ("值（红方）："), for
    // the game's engine values its own side and the analysis Red.
    void ShowSideValue(Side side, std::string_view text);
    // A field of ShowValue back to its label alone.
    void ClearValue(std::string_view field);
    void ClearBestPath();
    // The message field shows the whole text: broken into lines at its blanks (a hint's moves
    // stay whole), the field growing downwards into the free room below it; a text that still
    // does not fit ends with "…" after its last whole word, and the field's tooltip holds it all.
    void ShowMessage(std::string_view text);
    void ShowLevel(std::string_view text);
    // The clock text of the side whose clock runs; the colon blinks from one call to the next.
    // Nothing while no clock runs.
    void ShowClock();

    // The fields that showing a past position of the game changes, kept to be given back.
    struct PanelLines {
        QString turn;
        QString red;
        QString black;
        QString message;
    };
    PanelLines Lines() const;
    void ShowLines(const PanelLines& lines);
    // The course of the game, in the panel's lower part.
    CourseGraph* Graph() const { return graph_; }

    // The text a field shows now (tests and tools read the panel with it); for the message
    // field, the whole message however it is broken into lines.
    QString FieldText(const char* field) const;
    // Paints the background anew with `pattern`, framed like the main window.
    void SetBackground(const gdi::Brush& pattern);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QLabel* Field(std::string_view field) const;
    void LayOutMessage();
    void Retranslate();

    std::unique_ptr<Ui::TInfoForm> ui_;
    gdi::Canvas background_;
    bool blink_ = true;
    QString message_;        // the message field's whole text
    int messageHeight_ = 0;  // the field's height for one line, as the form lays it out
    CourseGraph* graph_;
    // What the core has shown since the panel was reset, for a change of language.
    std::optional<Side> shownTurn_;
    std::map<Side, std::string> moveLines_;
    std::map<std::string, std::string> values_;
    std::optional<Side> valueSide_;  // whose view the value field shows
};

}  // namespace xq
