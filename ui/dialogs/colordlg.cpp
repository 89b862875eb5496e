#include "ui/dialogs/colordlg.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>

#include "ui_colordlg.h"

namespace xq {

TColorDlg::TColorDlg(ColourLinks links, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TColorDlg>()), links_(std::move(links)) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    rows_ = {ByteRow{ui_->EditRed, ui_->ScrollBar_Red},
             ByteRow{ui_->EditGreen, ui_->ScrollBar_Green},
             ByteRow{ui_->EditBlue, ui_->ScrollBar_Blue}};

    QPalette black = ui_->ColorSelection->palette();
    black.setColor(QPalette::Window, Qt::black);
    ui_->ColorSelection->setPalette(black);

    std::vector<QLineEdit*> edits;
    for (const ByteRow& row : rows_) {
        edits.push_back(row.edit);
        connect(row.bar, &QScrollBar::valueChanged, this, &TColorDlg::ScrollBarChange);
    }
    new EditLeaveWatcher(
        edits, [this] { EditExit(); }, this);
    connect(ui_->OKBtn, &QPushButton::clicked, this, &TColorDlg::OKClick);
    connect(ui_->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] {
        if (links_.closed) links_.closed();
    });
}

TColorDlg::~TColorDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden.
void TColorDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) ui_->retranslateUi(this);
}

QColor TColorDlg::PreviewColour() const {
    return ui_->ColorSelection->palette().color(QPalette::Window);
}

void TColorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) ColorDlgShow();
}

void TColorDlg::ColorDlgShow() {
    const PackedColour stored = links_.read();
    working_ = {stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF};
    for (size_t row = 0; row < rows_.size(); ++row) {
        rows_[row].bar->setValue(working_[row]);
        rows_[row].edit->setText(QString::number(working_[row]));
    }
    // A bar already at its value sends no change, so the preview is set here as well.
    SetPreviewFromScrollBars();
}

void TColorDlg::ScrollBarChange() {
    for (const ByteRow& row : rows_)
        row.edit->setText(QString::number(row.bar->value()));
    SetPreviewFromScrollBars();
}

void TColorDlg::SetPreviewFromScrollBars() {
    QPalette preview = ui_->ColorSelection->palette();
    preview.setColor(QPalette::Window,
                     QColor(ui_->ScrollBar_Red->value(), ui_->ScrollBar_Green->value(),
                            ui_->ScrollBar_Blue->value()));
    ui_->ColorSelection->setPalette(preview);
}

bool TColorDlg::CheckEdits() {
    for (size_t row = 0; row < rows_.size(); ++row) {
        const bool valid = CheckByteRow(rows_[row], working_[row]);
        SetPreviewFromScrollBars();
        if (!valid) return false;
    }
    return true;
}

void TColorDlg::EditExit() {
    if (!isVisible() || !CheckEdits()) return;
    for (const ByteRow& row : rows_)
        row.bar->setValue(*ReadByte(*row.edit));
}

void TColorDlg::OKClick() {
    if (!CheckEdits()) return;
    links_.store(PackColour(working_[0], working_[1], working_[2]));
    accept();
}

}  // namespace xq
