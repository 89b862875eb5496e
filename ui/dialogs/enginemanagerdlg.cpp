#include "ui/dialogs/enginemanagerdlg.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "host/enginelist.h"
#include "ui/dialogs/engineoptionsform.h"
#include "ui_enginemanagerdlg.h"

namespace xq {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString IdentityText(const host::EngineIdentity& identity) {
    return TEngineManagerDlg::tr("名称：%1\n作者：%2\n协议：%3")
        .arg(Text(identity.name), Text(identity.author),
             Text(std::string(host::ProtocolName(identity.protocol))));
}

}  // namespace

TEngineManagerDlg::TEngineManagerDlg(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TEngineManagerDlg>()),
      options_(new EngineOptionsForm) {
    ui_->setupUi(this);
    NameButtons();
    ui_->OptionsArea->setWidget(options_);
    connect(ui_->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui_->Add, &QPushButton::clicked, this, &TEngineManagerDlg::AddClicked);
    connect(ui_->Remove, &QPushButton::clicked, this, [this] { RemoveEngine(CurrentRow()); });
    connect(ui_->Rename, &QPushButton::clicked, this, &TEngineManagerDlg::RenameClicked);
    connect(ui_->Try, &QPushButton::clicked, this, &TEngineManagerDlg::TryClicked);
    connect(ui_->Engines, &QListWidget::currentRowChanged, this, &TEngineManagerDlg::ShowRow);
    connect(options_, &EngineOptionsForm::ButtonPressed, this, [this](const QString& option) {
        if (pressButton && shownRow_ >= 0)
            pressButton(engines_[static_cast<size_t>(shownRow_)].name, option.toStdString());
    });
    FillList();
}

TEngineManagerDlg::~TEngineManagerDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden. The shown engine's
// texts are written again in the new language; the trial's line stays as it was said.
void TEngineManagerDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::LanguageChange) return;
    ui_->retranslateUi(this);
    NameButtons();
    const QString trial = ui_->TrialResult->text();
    const int row = shownRow_;
    ShowRow(row);
    ui_->TrialResult->setText(trial);
}

void TEngineManagerDlg::SetEngines(std::vector<host::EngineSetup> engines) {
    engines_ = std::move(engines);
    originalNames_.clear();
    for (const host::EngineSetup& engine : engines_)
        originalNames_.push_back(engine.name);
    shownRow_ = -1;
    FillList();
}

const std::vector<host::EngineSetup>& TEngineManagerDlg::Engines() {
    KeepShownRow();
    return engines_;
}

std::string TEngineManagerDlg::NameNow(const std::string& original) const {
    for (size_t row = 0; row < originalNames_.size(); ++row)
        if (originalNames_[row] == original && !original.empty()) return engines_[row].name;
    return {};
}

// The program's own words on the two buttons, in every language alike.
void TEngineManagerDlg::NameButtons() {
    ui_->Buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    ui_->Buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
}

int TEngineManagerDlg::CurrentRow() const {
    return ui_->Engines->currentRow();
}

// The list widget afresh from engines_, the shown row kept where there still is one.
void TEngineManagerDlg::FillList() {
    const int row = std::min(shownRow_ < 0 ? 0 : shownRow_, static_cast<int>(engines_.size()) - 1);
    shownRow_ = -1;
    const QSignalBlocker quiet(ui_->Engines);
    ui_->Engines->clear();
    for (const host::EngineSetup& engine : engines_)
        ui_->Engines->addItem(Text(engine.name));
    ui_->Engines->setCurrentRow(row);
    ShowRow(row);
}

// The fields of the shown engine back into its setup, before another is shown or the list is
// handed back.
void TEngineManagerDlg::KeepShownRow() {
    if (shownRow_ < 0 || shownRow_ >= static_cast<int>(engines_.size())) return;
    host::EngineSetup& engine = engines_[static_cast<size_t>(shownRow_)];
    engine.command.arguments = host::SplitArguments(ui_->Arguments->text().toStdString());
    engine.command.folder = ui_->Folder->text().toStdString();
    if (identities_.count(engine.name) != 0) engine.options = options_->Values();
}

void TEngineManagerDlg::ShowRow(int row) {
    KeepShownRow();
    shownRow_ = row;
    const bool any = row >= 0 && row < static_cast<int>(engines_.size());
    for (QWidget* needsOne :
         {static_cast<QWidget*>(ui_->Remove), static_cast<QWidget*>(ui_->Rename),
          static_cast<QWidget*>(ui_->Try), static_cast<QWidget*>(ui_->Arguments),
          static_cast<QWidget*>(ui_->Folder)})
        needsOne->setEnabled(any);
    ui_->TrialResult->clear();
    if (!any) {
        ui_->Identity->clear();
        ui_->Program->clear();
        ui_->Arguments->clear();
        ui_->Folder->clear();
        options_->Build({}, {});
        return;
    }
    const host::EngineSetup& engine = engines_[static_cast<size_t>(row)];
    ui_->Program->setText(Text(engine.command.program));
    ui_->Arguments->setText(Text(host::JoinArguments(engine.command.arguments)));
    ui_->Folder->setText(Text(engine.command.folder));
    const auto known = identities_.find(engine.name);
    if (known == identities_.end()) {
        // The options are known once the engine has run in this dialog.
        ui_->Identity->setText(tr("协议：%1\n测试引擎以显示其选项。")
                                   .arg(Text(std::string(host::ProtocolName(engine.protocol)))));
        options_->Build({}, {});
        return;
    }
    ui_->Identity->setText(IdentityText(known->second));
    options_->Build(known->second.options, engine.options);
}

bool TEngineManagerDlg::AddEngine(const host::ProcessCommand& command, QString* error) {
    host::EngineSetup setup;
    setup.command = command;
    host::EngineIdentity identity;
    std::string reason;
    if (!ProbeEngine(&setup, &identity, &reason)) {
        *error = tr("无法添加引擎：%1").arg(Text(reason));
        return false;
    }
    KeepShownRow();
    setup.name = UniqueEngineName(engines_, setup.name);
    identities_[setup.name] = identity;
    engines_.push_back(setup);
    originalNames_.emplace_back();
    shownRow_ = static_cast<int>(engines_.size()) - 1;
    FillList();
    return true;
}

void TEngineManagerDlg::RemoveEngine(int row) {
    if (row < 0 || row >= static_cast<int>(engines_.size())) return;
    engines_.erase(engines_.begin() + row);
    originalNames_.erase(originalNames_.begin() + row);
    shownRow_ = -1;
    const QSignalBlocker quiet(ui_->Engines);
    delete ui_->Engines->takeItem(row);
    const int next = std::min(row, static_cast<int>(engines_.size()) - 1);
    ui_->Engines->setCurrentRow(next);
    ShowRow(next);
}

bool TEngineManagerDlg::RenameEngine(int row, const QString& name, QString* error) {
    if (row < 0 || row >= static_cast<int>(engines_.size())) return false;
    const std::string wanted = name.trimmed().toStdString();
    if (wanted.empty()) {
        *error = tr("引擎的名称不能为空。");
        return false;
    }
    for (size_t other = 0; other < engines_.size(); ++other) {
        if (static_cast<int>(other) != row && engines_[other].name == wanted) {
            *error = tr("已有名为 %1 的引擎。").arg(Text(wanted));
            return false;
        }
    }
    host::EngineSetup& engine = engines_[static_cast<size_t>(row)];
    const auto known = identities_.find(engine.name);
    if (known != identities_.end()) {
        host::EngineIdentity identity = known->second;
        identities_.erase(known);
        identities_[wanted] = identity;
    }
    engine.name = wanted;
    ui_->Engines->item(row)->setText(Text(wanted));
    return true;
}

EngineTrial TEngineManagerDlg::TryEngineAt(int row) {
    if (row < 0 || row >= static_cast<int>(engines_.size())) return {};
    KeepShownRow();
    const host::EngineSetup engine = engines_[static_cast<size_t>(row)];
    // The dialog waits for the engine, but its window is still drawn meanwhile.
    setEnabled(false);
    const EngineTrial trial =
        TryEngine(engine, [] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    setEnabled(true);
    if (!trial.error.empty()) {
        ui_->TrialResult->setText(Text(trial.error));
        return trial;
    }
    identities_[engine.name] = trial.identity;
    shownRow_ = -1;  // the fields were kept above; the form is built afresh with the options
    {
        const QSignalBlocker quiet(ui_->Engines);
        ui_->Engines->setCurrentRow(row);
    }
    ShowRow(row);
    const double seconds = static_cast<double>(trial.took.count()) / 1000;
    ui_->TrialResult->setText(tr("%1 走了 %2，用时 %3 秒。")
                                  .arg(Text(engine.name), Text(trial.move))
                                  .arg(seconds, 0, 'f', 2));
    return trial;
}

void TEngineManagerDlg::AddClicked() {
    const QString program = QFileDialog::getOpenFileName(this, tr("选择引擎程序"));
    if (program.isEmpty()) return;
    bool ok = false;
    const QString arguments = QInputDialog::getText(this, tr("添加引擎"), tr("命令行参数："),
                                                    QLineEdit::Normal, QString(), &ok);
    if (!ok) return;
    // Cancelled, the engine runs in its program's folder.
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("选择工作目录（取消：程序所在目录）"), QFileInfo(program).absolutePath());
    host::ProcessCommand command;
    command.program = program.toStdString();
    command.arguments = host::SplitArguments(arguments.toStdString());
    command.folder = folder.toStdString();
    QString error;
    if (!AddEngine(command, &error)) QMessageBox::warning(this, tr("添加引擎"), error);
}

void TEngineManagerDlg::RenameClicked() {
    const int row = CurrentRow();
    if (row < 0) return;
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, tr("重命名"), tr("引擎的名称："), QLineEdit::Normal,
                              Text(engines_[static_cast<size_t>(row)].name), &ok);
    if (!ok) return;
    QString error;
    if (!RenameEngine(row, name, &error)) QMessageBox::warning(this, tr("重命名"), error);
}

void TEngineManagerDlg::TryClicked() {
    const EngineTrial trial = TryEngineAt(CurrentRow());
    if (!trial.error.empty()) QMessageBox::warning(this, tr("测试"), Text(trial.error));
}

}  // namespace xq
