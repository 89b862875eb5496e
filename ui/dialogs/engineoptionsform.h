// The options an added engine declares, as a form the user fills in: a check box for a check, a
// spin box bounded by the engine's minimum and maximum for a spin, a combo box of its choices for
// a combo, a line edit for a string, a line edit with a browse button for a file, and a push
// button for a button (which the engine manager sends at once to a running engine). Built afresh
// from the engine's list each time, with the values the user chose before.
#pragma once

#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "host/engineclient.h"

class QFormLayout;

namespace xq {

using OptionValues = std::vector<std::pair<std::string, std::string>>;

class EngineOptionsForm : public QWidget {
    Q_OBJECT

  public:
    explicit EngineOptionsForm(QWidget* parent = nullptr);

    // One row per option of `options` (in their order), showing the value of `values` for it, or
    // its default. UCI_Variant is left out: the program sets it.
    void Build(const std::vector<host::EngineOption>& options, const OptionValues& values);
    // The value of each option that differs from its default, in the options' order; buttons have
    // none.
    OptionValues Values() const;
    // The widget that edits the option `name` (nullptr when there is none), named "option.NAME".
    QWidget* Editor(const std::string& name) const;

  signals:
    // A button option was pressed.
    void ButtonPressed(const QString& name);

  private:
    QWidget* MakeEditor(const host::EngineOption& option, const std::string& value);
    static std::string ValueOf(const host::EngineOption& option, const QWidget* editor);

    QFormLayout* layout_;
    std::vector<std::pair<host::EngineOption, QWidget*>> rows_;
};

}  // namespace xq
