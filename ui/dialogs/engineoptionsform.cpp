#include "ui/dialogs/engineoptionsform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <string_view>

namespace xq {

namespace {

using Type = host::EngineOption::Type;

// The program chooses the variant itself; the user cannot make it play anything but Xiangqi.
constexpr std::string_view kVariantOption = "UCI_Variant";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

bool IsTrue(const std::string& value) {
    return value == "true" || value == "1";
}

// A spin box holds an int: the engine's bounds are cut to what it can show.
int ToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

// A line edit with a button that picks a file into it.
QWidget* FileEditor(const QString& value, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* edit = new QLineEdit(value, box);
    edit->setObjectName(QStringLiteral("path"));
    auto* browse = new QToolButton(box);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setText(QStringLiteral("..."));
    row->addWidget(edit);
    row->addWidget(browse);
    QObject::connect(browse, &QToolButton::clicked, edit, [edit] {
        const QString chosen = QFileDialog::getOpenFileName(edit, QString(), edit->text());
        if (!chosen.isEmpty()) edit->setText(chosen);
    });
    return box;
}

}  // namespace

EngineOptionsForm::EngineOptionsForm(QWidget* parent)
    : QWidget(parent), layout_(new QFormLayout(this)) {}

void EngineOptionsForm::Build(const std::vector<host::EngineOption>& options,
                              const OptionValues& values) {
    while (layout_->rowCount() > 0)
        layout_->removeRow(0);
    rows_.clear();
    for (const host::EngineOption& option : options) {
        if (option.name == kVariantOption) continue;
        std::string value = option.defaultValue;
        for (const auto& [name, chosen] : values)
            if (name == option.name) value = chosen;
        QWidget* editor = MakeEditor(option, value);
        editor->setObjectName(Text("option." + option.name));
        if (option.type == Type::Button) {
            layout_->addRow(editor);
        } else {
            layout_->addRow(Text(option.name), editor);
        }
        rows_.emplace_back(option, editor);
    }
}

QWidget* EngineOptionsForm::MakeEditor(const host::EngineOption& option, const std::string& value) {
    switch (option.type) {
        case Type::Check: {
            auto* box = new QCheckBox(this);
            box->setChecked(IsTrue(value));
            return box;
        }
        case Type::Spin: {
            auto* box = new QSpinBox(this);
            box->setRange(ToInt(option.min), ToInt(std::max(option.min, option.max)));
            box->setValue(ToInt(std::atoll(value.c_str())));
            return box;
        }
        case Type::Combo: {
            auto* box = new QComboBox(this);
            for (const std::string& choice : option.choices)
                box->addItem(Text(choice));
            const int index = box->findText(Text(value));
            if (index >= 0) box->setCurrentIndex(index);
            return box;
        }
        case Type::Button: {
            auto* button = new QPushButton(Text(option.name), this);
            const QString name = Text(option.name);
            connect(button, &QPushButton::clicked, this,
                    [this, name] { emit ButtonPressed(name); });
            return button;
        }
        case Type::File:
            return FileEditor(Text(value), this);
        case Type::String:
            break;
    }
    return new QLineEdit(Text(value), this);
}

std::string EngineOptionsForm::ValueOf(const host::EngineOption& option, const QWidget* editor) {
    switch (option.type) {
        case Type::Check:
            return static_cast<const QCheckBox*>(editor)->isChecked() ? "true" : "false";
        case Type::Spin:
            return std::to_string(static_cast<const QSpinBox*>(editor)->value());
        case Type::Combo:
            return static_cast<const QComboBox*>(editor)->currentText().toStdString();
        case Type::File:
            return editor->findChild<QLineEdit*>(QStringLiteral("path"))->text().toStdString();
        case Type::String:
            return static_cast<const QLineEdit*>(editor)->text().toStdString();
        case Type::Button:
            break;
    }
    return {};
}

OptionValues EngineOptionsForm::Values() const {
    OptionValues values;
    for (const auto& [option, editor] : rows_) {
        if (option.type == Type::Button) continue;
        const std::string value = ValueOf(option, editor);
        const bool isDefault = option.type == Type::Check
                                   ? IsTrue(value) == IsTrue(option.defaultValue)
                                   : value == option.defaultValue;
        if (!isDefault) values.emplace_back(option.name, value);
    }
    return values;
}

QWidget* EngineOptionsForm::Editor(const std::string& name) const {
    for (const auto& [option, editor] : rows_)
        if (option.name == name) return editor;
    return nullptr;
}

}  // namespace xq
