#include "ui/dialogs/piecevaluedlg.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <algorithm>

#include "engine/evaluation.h"
#include "ui_piecevaluedlg.h"

namespace xq {

TPieceValueDlg::TPieceValueDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TPieceValueDlg>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    rows_ = {ByteRow{ui_->Eassist, ui_->Sassist}, ByteRow{ui_->Ebishop, ui_->Sbishop},
             ByteRow{ui_->Eknight, ui_->Sknight}, ByteRow{ui_->Erook, ui_->Srook},
             ByteRow{ui_->Egunner, ui_->Sgunner}, ByteRow{ui_->Epawn, ui_->Spawn}};
    names_ = {ui_->Lassist, ui_->Lbishop, ui_->Lknight, ui_->Lrook, ui_->Lgunner, ui_->Lpawn};
    nameWidth_ = ui_->Lassist->width();
    nameGap_ = ui_->Sassist->x() - ui_->Lassist->geometry().right() - 1;
    FitRowNames();

    std::vector<QLineEdit*> edits;
    for (size_t row = 0; row < rows_.size(); ++row) {
        edits.push_back(rows_[row].edit);
        connect(rows_[row].bar, &QScrollBar::valueChanged, this,
                [this, row](int position) { ScrollBar_Change(row, position); });
    }
    new EditLeaveWatcher(
        edits, [this] { EditExit(); }, this);
    connect(ui_->OKBtn, &QPushButton::clicked, this, &TPieceValueDlg::OKBtnClick);
    connect(ui_->Default, &QPushButton::clicked, this, &TPieceValueDlg::CmDefault);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TPieceValueDlg::~TPieceValueDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden.
void TPieceValueDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::LanguageChange) return;
    ui_->retranslateUi(this);
    FitRowNames();
}

// A Chinese name is one character, an English one a word: the column takes the widest, never
// less than the form's.
void TPieceValueDlg::FitRowNames() {
    int width = nameWidth_;
    for (const QLabel* name : names_)
        width = std::max(width, name->fontMetrics().horizontalAdvance(name->text()));
    for (size_t row = 0; row < names_.size(); ++row) {
        QLabel* name = names_[row];
        name->resize(width, name->height());
        QScrollBar* bar = rows_[row].bar;
        const int right = bar->geometry().right();  // the bars keep their right edge
        const int left = name->geometry().right() + 1 + nameGap_;
        bar->setGeometry(left, bar->y(), right - left + 1, bar->height());
    }
}

void TPieceValueDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPieceValueDlg::FormShow() {
    for (size_t row = 0; row < rows_.size(); ++row) {
        // A value from a game file may lie outside what the scroll bar can show.
        working_[row] = std::clamp(pieceValue[kRowKinds[row]] / kScale, 0, 255);
        rows_[row].bar->setValue(working_[row]);
        rows_[row].edit->setText(QString::number(working_[row]));
    }
}

void TPieceValueDlg::ScrollBar_Change(size_t row, int position) {
    working_[row] = position;
    rows_[row].edit->setText(QString::number(position));
}

bool TPieceValueDlg::CheckEdits() {
    for (size_t row = 0; row < rows_.size(); ++row)
        if (!CheckByteRow(rows_[row], working_[row])) return false;
    return true;
}

void TPieceValueDlg::EditExit() {
    if (!isVisible() || !CheckEdits()) return;
    for (const ByteRow& row : rows_)
        row.bar->setValue(*ReadByte(*row.edit));
}

void TPieceValueDlg::OKBtnClick() {
    if (!CheckEdits()) return;
    for (size_t row = 0; row < rows_.size(); ++row)
        pieceValue[kRowKinds[row]] = working_[row] * kScale;
    accept();
}

void TPieceValueDlg::CmDefault() {
    working_ = kDefaultValues;
    for (size_t row = 0; row < rows_.size(); ++row)
        rows_[row].edit->setText(QString::number(working_[row]));
    for (size_t row = 0; row < rows_.size(); ++row)
        rows_[row].bar->setValue(working_[row]);
}

}  // namespace xq
