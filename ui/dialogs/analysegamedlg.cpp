#include "ui/dialogs/analysegamedlg.h"

#include <QPushButton>

#include "ui_analysegamedlg.h"

namespace xq {

TAnalyseGameDlg::TAnalyseGameDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TAnalyseGameDlg>()) {
    ui_->setupUi(this);
    choices_ = EngineChoices(true);
    FillEngineBox(ui_->Engine, choices_);
    ui_->Buttons->button(QDialogButtonBox::Ok)->setText(tr("开始"));
    connect(ui_->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TAnalyseGameDlg::~TAnalyseGameDlg() = default;

double TAnalyseGameDlg::SecondsPerMove() const {
    return ui_->Seconds->value();
}

QDoubleSpinBox* TAnalyseGameDlg::Seconds() const {
    return ui_->Seconds;
}

QComboBox* TAnalyseGameDlg::Engine() const {
    return ui_->Engine;
}

std::optional<host::EngineSetup> TAnalyseGameDlg::ChosenEngine() const {
    const int index = ui_->Engine->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= choices_.size()) return std::nullopt;
    return choices_[static_cast<size_t>(index)].setup;
}

}  // namespace xq
