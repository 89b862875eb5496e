#include "ui/dialogs/levelinputdlgs.h"

#include <QEvent>
#include <QPushButton>
#include <QStyle>

#include "ui_inputminpergamedlg.h"
#include "ui_inputplydlg.h"
#include "ui_inputsecpermovedlg.h"

namespace xq {
namespace {

// What the three dialogs share: a fixed window with only the close box, the answer buttons (with
// the style's OK and Cancel glyphs where the layout asks for them).
void SetUpLevelDialog(QDialog* dialog, QPushButton* ok, QPushButton* cancel, bool glyphs) {
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(dialog->size());
    if (glyphs) {
        ok->setIcon(dialog->style()->standardIcon(QStyle::SP_DialogOkButton));
        cancel->setIcon(dialog->style()->standardIcon(QStyle::SP_DialogCancelButton));
    }
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

}  // namespace

TInputSecPerMoveDlg::TInputSecPerMoveDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TInputSecPerMoveDlg>()) {
    ui_->setupUi(this);
    SetUpLevelDialog(this, ui_->BitBtn1, ui_->BitBtn2, true);
}
TInputSecPerMoveDlg::~TInputSecPerMoveDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden.
void TInputSecPerMoveDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) ui_->retranslateUi(this);
}

QLineEdit* TInputSecPerMoveDlg::Edit1() const {
    return ui_->Edit1;
}

TInputMinPerGameDlg::TInputMinPerGameDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TInputMinPerGameDlg>()) {
    ui_->setupUi(this);
    SetUpLevelDialog(this, ui_->OKBtn, ui_->CancelBtn, false);
}
TInputMinPerGameDlg::~TInputMinPerGameDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden.
void TInputMinPerGameDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) ui_->retranslateUi(this);
}

QLineEdit* TInputMinPerGameDlg::Edit1() const {
    return ui_->Edit1;
}

TInputPlyDlg::TInputPlyDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TInputPlyDlg>()) {
    ui_->setupUi(this);
    SetUpLevelDialog(this, ui_->BitBtn1, ui_->BitBtn2, true);
}
TInputPlyDlg::~TInputPlyDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden.
void TInputPlyDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) ui_->retranslateUi(this);
}

QLineEdit* TInputPlyDlg::Edit1() const {
    return ui_->Edit1;
}

}  // namespace xq
