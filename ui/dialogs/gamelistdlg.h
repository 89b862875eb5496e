// "导入棋谱" for a file of many games: the games in a table (number, Event, Red, Black, result and
// full moves, or why a game cannot be taken) to choose one from. Shown modally by the import
// command when a file holds more than one game; "OK" or a double click takes the chosen row. The
// dialog only chooses: the command imports the game (and reports a refusal) afterwards.
#pragma once

#include <QDialog>
#include <cstddef>
#include <memory>
#include <vector>

#include "records/pgn.h"

class QTableWidget;

namespace Ui {
class TGameListDlg;
}

namespace xq {

class TGameListDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TGameListDlg(const std::vector<PgnEntry>& games, QWidget* parent = nullptr);
    ~TGameListDlg() override;

    // The number (from 1) of the game chosen; 0 when no row is.
    size_t Chosen() const;
    QTableWidget* Table() const;

  private:
    void Fill(const std::vector<PgnEntry>& games);

    std::unique_ptr<Ui::TGameListDlg> ui_;
};

}  // namespace xq
