// "引擎管理...": the list of the engines the user added, edited as a copy that "确定" hands back
// (the window saves it to engines.ini and rebuilds the engine menu). 添加 starts the program chosen
// and finds its protocol before it is listed; 测试 runs one short search; each engine's options
// are a form built from what the engine declared when it was last added or tried.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/enginetrial.h"
#include "host/engineclient.h"

namespace Ui {
class TEngineManagerDlg;
}

namespace xq {

class EngineOptionsForm;

class TEngineManagerDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TEngineManagerDlg(QWidget* parent = nullptr);
    ~TEngineManagerDlg() override;

    // The list to edit, the first engine selected.
    void SetEngines(std::vector<host::EngineSetup> engines);
    // The list as edited, the shown engine's fields and options included.
    const std::vector<host::EngineSetup>& Engines();
    // The name an engine listed as `original` when the dialog was opened has now ("" when it was
    // removed).
    std::string NameNow(const std::string& original) const;

    // The buttons' work, after their questions. AddEngine starts the program and lists it when it
    // answers as an engine (false with the reason otherwise); RenameEngine refuses an empty name or
    // one another engine has.
    bool AddEngine(const host::ProcessCommand& command, QString* error);
    void RemoveEngine(int row);
    bool RenameEngine(int row, const QString& name, QString* error);
    EngineTrial TryEngineAt(int row);

    int CurrentRow() const;
    EngineOptionsForm* OptionsForm() const { return options_; }

    // What a pressed button option does (the window sends it to the game's engine when that one
    // runs); unset, the press is skipped.
    std::function<void(const std::string& engine, const std::string& option)> pressButton;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void AddClicked();
    void RenameClicked();
    void TryClicked();
    void NameButtons();
    void ShowRow(int row);
    void KeepShownRow();
    void FillList();

    std::unique_ptr<Ui::TEngineManagerDlg> ui_;
    EngineOptionsForm* options_;
    std::vector<host::EngineSetup> engines_;
    std::vector<std::string> originalNames_;  // by row: the name when the dialog was opened
    std::map<std::string, host::EngineIdentity> identities_;  // what each engine declared
    int shownRow_ = -1;
};

}  // namespace xq
