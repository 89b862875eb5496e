// "引擎管理...": the options form built from the options an engine declares (one row per option
// with the editor its type calls for, bounded and filled as declared or as chosen before, the
// values that differ from the defaults handed back, a button option's press reported), and the
// dialog's add, rename, remove and trial run against the host tests' fake engine.
#include "ui/dialogs/enginemanagerdlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/host_support.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "ui/dialogs/engineoptionsform.h"

namespace xq {
namespace {

using Type = host::EngineOption::Type;

host::EngineOption Option(const char* name, Type type, const char* value, int64_t min = 0,
                          int64_t max = 0, std::vector<std::string> choices = {}) {
    host::EngineOption option;
    option.name = name;
    option.type = type;
    option.defaultValue = value;
    option.min = min;
    option.max = max;
    option.choices = std::move(choices);
    return option;
}

// What an editor shows, as text: "check:true", "spin:16 [1..1024]", "combo:Normal of 3",
// "line:text", "file:path +browse", "button:Clear Hash".
std::string Shown(QWidget* editor) {
    if (auto* box = qobject_cast<QCheckBox*>(editor))
        return std::string("check:") + (box->isChecked() ? "true" : "false");
    if (auto* box = qobject_cast<QSpinBox*>(editor))
        return "spin:" + std::to_string(box->value()) + " [" + std::to_string(box->minimum()) +
               ".." + std::to_string(box->maximum()) + "]";
    if (auto* box = qobject_cast<QComboBox*>(editor))
        return "combo:" + box->currentText().toStdString() + " of " + std::to_string(box->count());
    if (auto* button = qobject_cast<QPushButton*>(editor))
        return "button:" + button->text().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) return "line:" + edit->text().toStdString();
    auto* path = editor->findChild<QLineEdit*>(QStringLiteral("path"));
    auto* browse = editor->findChild<QToolButton*>(QStringLiteral("browse"));
    if (path != nullptr && browse != nullptr)
        return "file:" + path->text().toStdString() + " +browse";
    return "?";
}

const std::vector<host::EngineOption> kOptions = {
    Option("Ponder", Type::Check, "false"),
    Option("Hash", Type::Spin, "16", 1, 1024),
    Option("Skill Level", Type::Spin, "20", -20, 20),
    // Bounds beyond what a spin box holds are cut to it.
    Option("Nodes", Type::Spin, "0", 0, int64_t{1} << 40),
    Option("Style", Type::Combo, "Normal", 0, 0, {"Solid", "Normal", "Risky"}),
    Option("Book", Type::String, "book.bin"),
    Option("EvalFile", Type::File, "nn.bin"),
    Option("Clear Hash", Type::Button, ""),
    Option("UCI_Variant", Type::Combo, "chess", 0, 0, {"chess", "xiangqi"}),
};

TEST(EngineOptionsFormTest, EachDeclaredOptionGetsTheEditorOfItsType) {
    const struct {
        const char* name;
        const char* byDefault;
        const char* chosen;  // the value chosen before, or null
        const char* shown;
    } rows[] = {
        {"Ponder", "check:false", "true", "check:true"},
        {"Hash", "spin:16 [1..1024]", "256", "spin:256 [1..1024]"},
        {"Skill Level", "spin:20 [-20..20]", "-5", "spin:-5 [-20..20]"},
        {"Nodes", "spin:0 [0..2147483647]", nullptr, "spin:0 [0..2147483647]"},
        {"Style", "combo:Normal of 3", "Risky", "combo:Risky of 3"},
        {"Book", "line:book.bin", "", "line:"},
        {"EvalFile", "file:nn.bin +browse", "/opt/nn-2.bin", "file:/opt/nn-2.bin +browse"},
        {"Clear Hash", "button:Clear Hash", nullptr, "button:Clear Hash"},
    };
    EngineOptionsForm form;
    form.Build(kOptions, {});
    OptionValues chosen;
    for (const auto& row : rows) {
        QWidget* editor = form.Editor(row.name);
        ASSERT_NE(editor, nullptr) << row.name;
        EXPECT_EQ(Shown(editor), row.byDefault) << row.name;
        EXPECT_EQ(editor->objectName().toStdString(), std::string("option.") + row.name);
        if (row.chosen != nullptr) chosen.emplace_back(row.name, row.chosen);
    }
    // The program sets the variant itself.
    EXPECT_EQ(form.Editor("UCI_Variant"), nullptr);
    EXPECT_TRUE(form.Values().empty());

    form.Build(kOptions, chosen);
    for (const auto& row : rows)
        EXPECT_EQ(Shown(form.Editor(row.name)), row.shown) << row.name << ", chosen before";
    EXPECT_EQ(form.Values(), chosen);
}

TEST(EngineOptionsFormTest, OnlyValuesThatDifferFromTheDefaultsAreHandedBack) {
    EngineOptionsForm form;
    form.Build(kOptions, {{"Hash", "64"}, {"Unknown", "1"}});
    EXPECT_EQ(form.Values(), (OptionValues{{"Hash", "64"}}));

    qobject_cast<QSpinBox*>(form.Editor("Hash"))->setValue(16);
    qobject_cast<QCheckBox*>(form.Editor("Ponder"))->setChecked(true);
    qobject_cast<QComboBox*>(form.Editor("Style"))->setCurrentIndex(0);
    form.Editor("EvalFile")->findChild<QLineEdit*>(QStringLiteral("path"))->setText("x.nnue");
    qobject_cast<QLineEdit*>(form.Editor("Book"))->setText("book.bin");
    EXPECT_EQ(form.Values(),
              (OptionValues{{"Ponder", "true"}, {"Style", "Solid"}, {"EvalFile", "x.nnue"}}));

    // A second build replaces the rows: nothing of the first is left.
    form.Build({Option("Threads", Type::Spin, "1", 1, 8)}, {});
    EXPECT_EQ(form.Editor("Hash"), nullptr);
    EXPECT_EQ(form.findChildren<QSpinBox*>().size(), 1);
}

TEST(EngineOptionsFormTest, PressingAButtonOptionReportsItsName) {
    EngineOptionsForm form;
    form.Build(kOptions, {});
    QSignalSpy pressed(&form, &EngineOptionsForm::ButtonPressed);
    qobject_cast<QPushButton*>(form.Editor("Clear Hash"))->click();
    ASSERT_EQ(pressed.size(), 1);
    EXPECT_EQ(pressed.at(0).at(0).toString(), QStringLiteral("Clear Hash"));
    // A button has no value to keep.
    EXPECT_TRUE(form.Values().empty());
}

class EngineManagerDlgTest : public ::testing::Test {
  protected:
    QString Shown(const char* name) { return dialog.findChild<QLabel*>(name)->text(); }
    QStringList Listed() {
        QStringList names;
        auto* list = dialog.findChild<QListWidget*>("Engines");
        for (int row = 0; row < list->count(); ++row)
            names.append(list->item(row)->text());
        return names;
    }
    static host::ProcessCommand Fake(std::initializer_list<std::string> flags) {
        std::string words = "uci";
        for (const std::string& flag : flags)
            words += " " + flag;
        return testing::FakeSetup(words).command;
    }

    TEngineManagerDlg dialog;
};

TEST_F(EngineManagerDlgTest, AnAddedEngineIsListedWithWhoItIsAndItsOptions) {
    dialog.SetEngines({});
    QString error;
    ASSERT_TRUE(dialog.AddEngine(Fake({}), &error)) << error.toStdString();
    ASSERT_TRUE(dialog.AddEngine(Fake({}), &error)) << error.toStdString();
    // Named by the engine, a second of the same name numbered.
    ASSERT_EQ(Listed().size(), 2);
    EXPECT_EQ(Listed()[1], Listed()[0] + " (2)");
    EXPECT_EQ(dialog.CurrentRow(), 1);
    EXPECT_TRUE(Shown("Identity").contains("uci")) << Shown("Identity").toStdString();
    // The fake engine's options, in its order.
    auto* hash = qobject_cast<QSpinBox*>(dialog.OptionsForm()->Editor("Hash"));
    ASSERT_NE(hash, nullptr);
    EXPECT_EQ(hash->maximum(), 1024);
    EXPECT_NE(qobject_cast<QComboBox*>(dialog.OptionsForm()->Editor("Play Style")), nullptr);
    EXPECT_NE(qobject_cast<QPushButton*>(dialog.OptionsForm()->Editor("Clear Hash")), nullptr);
    hash->setValue(128);

    const std::vector<host::EngineSetup>& engines = dialog.Engines();
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_EQ(engines[1].protocol, host::Protocol::Uci);
    EXPECT_EQ(engines[1].options, (OptionValues{{"Hash", "128"}}));
    EXPECT_TRUE(engines[0].options.empty());
}

TEST_F(EngineManagerDlgTest, AnEngineThatFailsToStartIsRefusedWithTheReason) {
    dialog.SetEngines({});
    const struct {
        const char* name;
        host::ProcessCommand command;
    } rows[] = {
        {"no such program", {"/nonexistent/engine", {}, ""}},
        {"exits at once", Fake({"exit-at-start"})},
        {"no Xiangqi", Fake({"no-xiangqi"})},
    };
    for (const auto& row : rows) {
        QString error;
        EXPECT_FALSE(dialog.AddEngine(row.command, &error)) << row.name;
        EXPECT_TRUE(error.startsWith("无法添加引擎：")) << row.name;
        EXPECT_GT(error.size(), QString("无法添加引擎：").size()) << row.name;
    }
    EXPECT_TRUE(Listed().isEmpty());
}

TEST_F(EngineManagerDlgTest, RenameRemoveAndTrial) {
    host::EngineSetup one = testing::FakeSetup("uci");
    one.name = "One";
    host::EngineSetup two = testing::FakeSetup("uci illegal");
    two.name = "Two";
    dialog.SetEngines({one, two});
    QString error;
    EXPECT_FALSE(dialog.RenameEngine(0, "Two", &error));
    EXPECT_FALSE(dialog.RenameEngine(0, "  ", &error));
    EXPECT_EQ(Listed(), (QStringList{"One", "Two"}));
    ASSERT_TRUE(dialog.RenameEngine(0, " Uno ", &error));
    EXPECT_EQ(Listed(), (QStringList{"Uno", "Two"}));
    EXPECT_EQ(dialog.NameNow("One"), "Uno");

    // The trial plays a legal move from the opening array and reports it.
    const EngineTrial good = dialog.TryEngineAt(0);
    EXPECT_TRUE(good.error.empty()) << good.error;
    Position start{};
    ASSERT_TRUE(ReadFen(start, kStartFen, nullptr));
    Square from = 0;
    Square to = 0;
    ASSERT_TRUE(ParseIccs(good.move, &from, &to)) << good.move;
    EXPECT_NE(FindLegalMove(start, from, to).piece, Empty) << good.move;
    EXPECT_TRUE(Shown("TrialResult").contains(QString::fromStdString(good.move)));
    // Tried, its options are known.
    EXPECT_NE(dialog.OptionsForm()->Editor("Hash"), nullptr);

    const EngineTrial bad = dialog.TryEngineAt(1);
    EXPECT_TRUE(bad.move.empty());
    EXPECT_NE(bad.error.find("Two"), std::string::npos) << bad.error;

    dialog.RemoveEngine(0);
    EXPECT_EQ(Listed(), (QStringList{"Two"}));
    EXPECT_EQ(dialog.NameNow("One"), "");
    EXPECT_EQ(dialog.Engines().size(), 1u);
}

}  // namespace
}  // namespace xq
