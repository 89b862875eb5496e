#include "ui/dialogs/gamelistdlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "ui_gamelistdlg.h"

namespace xq {
namespace {

// The moves column counts full moves, as the game's move numbers do.
enum Column { kNumberColumn, kEventColumn, kRedColumn, kBlackColumn, kResultColumn, kMovesColumn };

QTableWidgetItem* Cell(const std::string& text) {
    return new QTableWidgetItem(QString::fromStdString(text));
}

}  // namespace

TGameListDlg::TGameListDlg(const std::vector<PgnEntry>& games, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TGameListDlg>()) {
    ui_->setupUi(this);
    ui_->CountLabel->setText(tr("文件中有 %1 局棋谱，请选择一局：").arg(games.size()));
    Fill(games);
    QPushButton* ok = ui_->Buttons->button(QDialogButtonBox::Ok);
    connect(ui_->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui_->GameTable, &QTableWidget::itemSelectionChanged, this,
            [this, ok] { ok->setEnabled(Chosen() != 0); });
    connect(ui_->GameTable, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    ui_->GameTable->selectRow(0);
}

TGameListDlg::~TGameListDlg() = default;

size_t TGameListDlg::Chosen() const {
    const QList<QTableWidgetItem*> selected = ui_->GameTable->selectedItems();
    return selected.isEmpty() ? 0 : static_cast<size_t>(selected.first()->row()) + 1;
}

QTableWidget* TGameListDlg::Table() const {
    return ui_->GameTable;
}

// One row a game; a game the reader refuses says so in the result column, with the reason as
// the row's tool tip, and can still be chosen to see that reason in full.
void TGameListDlg::Fill(const std::vector<PgnEntry>& games) {
    QTableWidget* table = ui_->GameTable;
    table->setRowCount(static_cast<int>(games.size()));
    for (size_t i = 0; i < games.size(); ++i) {
        const PgnGame& game = games[i].game;
        const bool refused = !games[i].error.empty();
        const int row = static_cast<int>(i);
        table->setItem(row, kNumberColumn, Cell(std::to_string(i + 1)));
        table->setItem(row, kEventColumn, Cell(game.Tag("Event")));
        table->setItem(row, kRedColumn, Cell(game.Tag("Red")));
        table->setItem(row, kBlackColumn, Cell(game.Tag("Black")));
        table->setItem(row, kResultColumn,
                       refused ? new QTableWidgetItem(tr("不能导入")) : Cell(game.result));
        table->setItem(row, kMovesColumn, Cell(refused ? "" : std::to_string(game.FullMoves())));
        if (refused) {
            for (int column = kNumberColumn; column <= kMovesColumn; ++column)
                table->item(row, column)->setToolTip(QString::fromStdString(games[i].error));
        }
    }
    table->resizeColumnsToContents();
}

}  // namespace xq
