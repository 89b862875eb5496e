#include "ui/menus.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <algorithm>
#include <utility>

#include "engine/commands.h"
#include "platform/texts.h"
#include "records/menucommands.h"
#include "ui/qteventsource.h"

namespace xq {

namespace {

// The items that may be chosen while a piece is lifted for a move and leave it lifted: the two
// move-entry modes, which carry the piece over into their own look, and those that neither
// touch the board nor open a window. Every other item changes the game or redraws the board (or
// opens a dialog, which a dragged piece's captured mouse would block), so the piece goes back
// to its square first and the next click starts a new move.
bool KeepsLiftedPiece(int32_t command) {
    if (IsAddedEngineCommand(command)) return true;
    switch (command) {
        case kCommandDrag:
        case kCommandSelect:
        case kCommandSound:
        case kCommandBestPath:
        case kCommandEngineClassic:
        case kCommandEngineMaster:
        case kCommandAnalysisMode:
        case kCommandCopyPosition:
        case kCommandAnalysisArrows:
            return true;
        default:
            return false;
    }
}

// Where an item keeps its caption's source text and the context it is translated in.
constexpr char kSourceProperty[] = "sourceText";
constexpr char kContextProperty[] = "textContext";
constexpr char kMenuContext[] = "MainMenus";
// Each language item's language, as an int of Language.
constexpr char kLanguageProperty[] = "language";

QString ItemName(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

MainMenus::MainMenus(QMenuBar* bar, QObject* owner, std::function<void()> putBackLiftedPiece)
    : bar_(bar), owner_(owner), putBackLiftedPiece_(std::move(putBackLiftedPiece)) {
    QList<QAction*>& normal = topLevel_[static_cast<int>(MenuBarKind::Normal)];

    QMenu* game = AddMenu(&normal, "Game", QT_TRANSLATE_NOOP("MainMenus", "游戏"));
    AddItem(game, "NewChessGame1", QT_TRANSLATE_NOOP("MainMenus", "新建"), kCommandNewGame);
    AddItem(game, "RestoreGame1", QT_TRANSLATE_NOOP("MainMenus", "恢复"), kCommandRestore);
    AddItem(game, "SaveGame1", QT_TRANSLATE_NOOP("MainMenus", "保存"), kCommandSave);
    AddItem(game, "SaveGameAs1", QT_TRANSLATE_NOOP("MainMenus", "另存为..."), kCommandSaveAs);
    AddSeparator(game, "N1");
    AddItem(game, "Exit1", QT_TRANSLATE_NOOP("MainMenus", "退出"), kCommandExit);
    AddSeparator(game, "N2");
    AddItem(game, "Pass", QT_TRANSLATE_NOOP("MainMenus", "对弈"), kCommandPass);
    AddItem(game, "Hint1", QT_TRANSLATE_NOOP("MainMenus", "提示"), kCommandHint);
    AddItem(game, "EngineMatch", QT_TRANSLATE_NOOP("MainMenus", "引擎比赛..."),
            kCommandEngineMatch);
    AddItem(game, "About", QT_TRANSLATE_NOOP("MainMenus", "关于"), kCommandAbout);

    QMenu* edit = AddMenu(&normal, "Edit", QT_TRANSLATE_NOOP("MainMenus", "编辑"));
    AddItem(edit, "UndoMove", QT_TRANSLATE_NOOP("MainMenus", "悔棋"), kCommandTakeBack)
        ->setEnabled(false);
    AddItem(edit, "RedoUndo", QT_TRANSLATE_NOOP("MainMenus", "重下"), kCommandReplay)
        ->setEnabled(false);
    // Offered while a past move of the game is shown.
    AddItem(edit, "ContinueHere", QT_TRANSLATE_NOOP("MainMenus", "从此处继续"),
            kCommandContinueHere)
        ->setEnabled(false);
    AddSeparator(edit, "N3");
    AddItem(edit, "MovePiece", QT_TRANSLATE_NOOP("MainMenus", "摆子"), kCommandEdit);

    QMenu* level = AddMenu(&normal, "Level1", QT_TRANSLATE_NOOP("MainMenus", "级别"));
    AddItem(level, "Easy", QT_TRANSLATE_NOOP("MainMenus", "容易"), kCommandLevelEasy);
    AddItem(level, "MoveTime", QT_TRANSLATE_NOOP("MainMenus", "每次移动时间..."),
            kCommandLevelPerMove);
    AddItem(level, "TotalTime", QT_TRANSLATE_NOOP("MainMenus", "总时间"), kCommandLevelPerGame);
    AddItem(level, "Matching", QT_TRANSLATE_NOOP("MainMenus", "匹配"), kCommandLevelMatching);
    AddItem(level, "Infinite", QT_TRANSLATE_NOOP("MainMenus", "无限制"), kCommandLevelUnlimited);
    AddItem(level, "Ply1", QT_TRANSLATE_NOOP("MainMenus", "回合搜索"), kCommandLevelFixedDepth);
    AddItem(level, "Mate", QT_TRANSLATE_NOOP("MainMenus", "将死搜索"), kCommandLevelMateSearch);

    QMenu* options = AddMenu(&normal, "Options", QT_TRANSLATE_NOOP("MainMenus", "选项"));
    AddItem(options, "TwoPlayer", QT_TRANSLATE_NOOP("MainMenus", "两人对弈"), kCommandTwoPlayer);
    AddItem(options, "Demo", QT_TRANSLATE_NOOP("MainMenus", "演示模式"), kCommandDemo);
    AddItem(options, "AnalysisMode", QT_TRANSLATE_NOOP("MainMenus", "分析模式"),
            kCommandAnalysisMode);
    AddItem(options, "PieceValues", QT_TRANSLATE_NOOP("MainMenus", "棋子值..."),
            kCommandPieceValues);
    AddSeparator(options, "N30");
    QMenu* mouse = AddSubmenu(options, "MouseMove", QT_TRANSLATE_NOOP("MainMenus", "移动"));
    AddItem(mouse, "MouseDrag", QT_TRANSLATE_NOOP("MainMenus", "拖动"), kCommandDrag)
        ->setChecked(true);
    AddItem(mouse, "MouseSelect", QT_TRANSLATE_NOOP("MainMenus", "选择"), kCommandSelect);
    AddItem(options, "Sound", QT_TRANSLATE_NOOP("MainMenus", "声音"), kCommandSound);
    QMenu* engine = AddSubmenu(options, "Engine", QT_TRANSLATE_NOOP("MainMenus", "引擎"));
    // The engines' names are the core's (platform/texts.h).
    AddItem(engine, kEngineItemNames[0].data(), kClassicEngineName.data(), kCommandEngineClassic,
            kTextContext);
    AddItem(engine, kEngineItemNames[1].data(), kMasterEngineName.data(), kCommandEngineMaster,
            kTextContext);
    // The added engines go between here and the separator (SetAddedEngines).
    engineMenu_ = engine;
    AddSeparator(engine, "N31");
    AddItem(engine, "ManageEngines", QT_TRANSLATE_NOOP("MainMenus", "引擎管理..."),
            kCommandManageEngines);

    QMenu* display = AddMenu(&normal, "Display", QT_TRANSLATE_NOOP("MainMenus", "显示"));
    AddItem(display, "Colors", QT_TRANSLATE_NOOP("MainMenus", "颜色..."), kCommandColour);
    AddItem(display, "Reverse", QT_TRANSLATE_NOOP("MainMenus", "反转棋盘"), kCommandReverseBoard);
    AddItem(display, "BestPath", QT_TRANSLATE_NOOP("MainMenus", "最好路线"), kCommandBestPath)
        ->setChecked(true);
    AddItem(display, "MarkLastMove", QT_TRANSLATE_NOOP("MainMenus", "标记最后一步"),
            kCommandMarkLastMove);
    AddItem(display, "AnalysisArrows", QT_TRANSLATE_NOOP("MainMenus", "分析箭头"),
            kCommandAnalysisArrows);
    AddLanguageItems(AddSubmenu(display, "Language", QT_TRANSLATE_NOOP("MainMenus", "语言")));

    // Where the classic bar had the web panel's item: positions and games as players share them.
    QMenu* records = AddMenu(&normal, "Records", QT_TRANSLATE_NOOP("MainMenus", "棋谱"));
    AddItem(records, "CopyPosition", QT_TRANSLATE_NOOP("MainMenus", "复制局面"),
            kCommandCopyPosition);
    AddItem(records, "PastePosition", QT_TRANSLATE_NOOP("MainMenus", "粘贴局面"),
            kCommandPastePosition);
    AddSeparator(records, "N40");
    AddItem(records, "ExportGame", QT_TRANSLATE_NOOP("MainMenus", "导出棋谱..."),
            kCommandExportGame);
    AddItem(records, "ImportGame", QT_TRANSLATE_NOOP("MainMenus", "导入棋谱..."),
            kCommandImportGame);
    AddItem(records, "AnalyseGame", QT_TRANSLATE_NOOP("MainMenus", "分析棋局..."),
            kCommandAnalyseGame);

    QList<QAction*>& editor = topLevel_[static_cast<int>(MenuBarKind::Edit)];
    editor.append(
        AddItem(nullptr, "Done", QT_TRANSLATE_NOOP("MainMenus", "完成"), kCommandEditDone));
    editor.append(
        AddItem(nullptr, "Clear", QT_TRANSLATE_NOOP("MainMenus", "清除"), kCommandEditClear));
    QMenu* turn = AddMenu(&editor, "Turn", QT_TRANSLATE_NOOP("MainMenus", "轮流"));
    AddItem(turn, "RedTurn", QT_TRANSLATE_NOOP("MainMenus", "红方"), kCommandEditRedTurn);
    AddItem(turn, "BlackTurn", QT_TRANSLATE_NOOP("MainMenus", "黑方"), kCommandEditBlackTurn);
    editor.append(
        AddItem(nullptr, "Cancel", QT_TRANSLATE_NOOP("MainMenus", "忽略"), kCommandEditCancel));

    topLevel_[static_cast<int>(MenuBarKind::Think)].append(
        AddItem(nullptr, "Stop", QT_TRANSLATE_NOOP("MainMenus", "停止"), kCommandStop));

    // Items whose check mark shows a state; the rest never show one ("两人对弈" shows its state in
    // its caption, "演示模式" runs behind the think menu, "反转棋盘" shows it on the board). The
    // level, the move entry's mode and the side to move are each one choice among several.
    MakeOneChoice({kLevelItemNames[0], kLevelItemNames[1], kLevelItemNames[2], kLevelItemNames[3],
                   kLevelItemNames[4], kLevelItemNames[5], kLevelItemNames[6]});
    MakeOneChoice({"MouseDrag", "MouseSelect"});
    MakeOneChoice({kEngineItemNames[0], kEngineItemNames[1]});
    MakeOneChoice({"RedTurn", "BlackTurn"});
    for (const char* name : {"Sound", "BestPath", "MarkLastMove", "AnalysisArrows", "AnalysisMode"})
        items_[name]->setCheckable(true);
    SetChecked("MouseDrag", true);
    SetChecked("BestPath", true);
    SetChecked("AnalysisArrows", true);
    SetChecked(ItemName(kEngineItemNames[0]), true);

    // The usual keys, shown beside their items. They act only while their item is on the bar
    // shown, so the normal bar's keys rest while the engine thinks or the editor is open.
    const std::pair<const char*, QKeySequence> keys[] = {
        {"NewChessGame1", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"RestoreGame1", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"SaveGame1", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"UndoMove", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"RedoUndo", QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {"CopyPosition", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"PastePosition", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"Hint1", QKeySequence(Qt::Key_F2)},
        {"Stop", QKeySequence(Qt::Key_Escape)},
    };
    for (const auto& [name, key] : keys)
        items_[name]->setShortcut(key);

    bar_->addActions(normal);
}

QAction* MainMenus::AddItem(QMenu* menu, const char* name, const char* caption, int32_t command,
                            const char* context) {
    auto* action = new QAction(menu ? static_cast<QObject*>(menu) : owner_);
    action->setObjectName(name);
    action->setProperty(kSourceProperty, QString::fromUtf8(caption));
    action->setProperty(kCommandProperty, command);
    // Set before the first caption: a window made in English starts with English items.
    if (context != nullptr) action->setProperty(kContextProperty, QString::fromLatin1(context));
    action->setText(Caption(action));
    // A click posts the command; the check mark waits for the command's handler to set it.
    QObject::connect(action, &QAction::triggered, action, [this, action, command](bool) {
        if (action->isCheckable()) PutBackCheckMarks(action);
        if (!KeepsLiftedPiece(command)) putBackLiftedPiece_();
        PostToMainWindow(MessageKind::Command, command);
    });
    if (menu != nullptr) menu->addAction(action);
    items_[name] = action;
    return action;
}

QMenu* MainMenus::AddMenu(QList<QAction*>* bar, const char* name, const char* caption) {
    auto* menu = new QMenu(bar_);
    menu->menuAction()->setObjectName(name);
    menu->menuAction()->setProperty(kSourceProperty, QString::fromUtf8(caption));
    menu->setTitle(Caption(menu->menuAction()));
    items_[name] = menu->menuAction();
    bar->append(menu->menuAction());
    return menu;
}

QMenu* MainMenus::AddSubmenu(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent->addMenu(QString());
    menu->menuAction()->setObjectName(name);
    menu->menuAction()->setProperty(kSourceProperty, QString::fromUtf8(caption));
    menu->setTitle(Caption(menu->menuAction()));
    items_[name] = menu->menuAction();
    return menu;
}

// One item a language, named in that language and so never translated. Choosing one runs the
// window's language switch at once: it neither touches the game nor waits for the engine (whose
// think menu hides this one).
void MainMenus::AddLanguageItems(QMenu* menu) {
    auto* group = new QActionGroup(owner_);
    for (Language language : kLanguages) {
        auto* action = new QAction(LanguageName(language), menu);
        const QString name =
            QStringLiteral("Language_") + QString::fromLatin1(LanguageCode(language).data());
        action->setObjectName(name);
        action->setCheckable(true);
        action->setProperty(kLanguageProperty, static_cast<int>(language));
        group->addAction(action);
        menu->addAction(action);
        items_[name] = action;
        QObject::connect(action, &QAction::triggered, action, [this, language](bool) {
            putBackLiftedPiece_();
            if (chooseLanguage_) chooseLanguage_(language);
        });
    }
    CheckLanguageItem(CurrentLanguage());
}

void MainMenus::CheckLanguageItem(Language language) {
    for (const auto& [name, item] : items_) {
        const QVariant shown = item->property(kLanguageProperty);
        if (shown.isValid()) item->setChecked(shown.toInt() == static_cast<int>(language));
    }
}

QString MainMenus::Caption(const QAction* item) {
    const QByteArray source = item->property(kSourceProperty).toString().toUtf8();
    const QVariant context = item->property(kContextProperty);
    const QByteArray contextName = context.isValid() ? context.toString().toLatin1() : kMenuContext;
    return QCoreApplication::translate(contextName.constData(), source.constData());
}

void MainMenus::Retranslate() {
    for (const auto& [name, item] : items_) {
        if (!item->property(kSourceProperty).isValid()) continue;
        if (QMenu* menu = item->menu()) {
            menu->setTitle(Caption(item));
        } else {
            item->setText(Caption(item));
        }
    }
    CheckLanguageItem(CurrentLanguage());
}

void MainMenus::AddSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(name);
    items_[name] = separator;
}

// The items of `names` as one exclusive group, shown as such.
void MainMenus::MakeOneChoice(std::initializer_list<std::string_view> names) {
    auto* group = new QActionGroup(owner_);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (std::string_view name : names) {
        QAction* item = items_.at(ItemName(name));
        item->setCheckable(true);
        group->addAction(item);
    }
}

// The toolkit has toggled the clicked item, and in a group moved the check mark to it, before its
// command runs: the marks go back to what the game gave them, and the command sets them.
void MainMenus::PutBackCheckMarks(QAction* clicked) {
    const QList<QAction*> items =
        clicked->actionGroup() ? clicked->actionGroup()->actions() : QList<QAction*>{clicked};
    const auto given = [this](QAction* item) {
        const auto found = gameChecks_.find(item);
        return found != gameChecks_.end() && found->second;
    };
    for (QAction* item : items)
        if (given(item)) item->setChecked(true);
    for (QAction* item : items)
        if (!given(item)) item->setChecked(false);
}

void MainMenus::SetChecked(const QString& name, bool checked) {
    QAction* item = Item(name);
    if (item == nullptr) return;
    gameChecks_[item] = checked;
    item->setChecked(checked);
}

QAction* MainMenus::Item(const QString& name) const {
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void MainMenus::Show(MenuBarKind kind) {
    if (kind == current_) return;
    current_ = kind;
    bar_->clear();
    bar_->addActions(TopLevel(kind));
}

QAction* MainMenus::LevelItem(uint8_t levelKind) const {
    return items_.at(ItemName(LevelItemName(levelKind)));
}

void MainMenus::CheckLevelItem(uint8_t levelKind) {
    SetChecked(ItemName(LevelItemName(levelKind)), true);
}

void MainMenus::CheckEngineItem() {
    for (size_t item = 0; item < std::size(kEngineItemNames); ++item)
        SetChecked(ItemName(kEngineItemNames[item]), engineKind == static_cast<EngineKind>(item));
    const int chosen = engineKind == EngineKind::Added ? AddedEngineIndex(addedEngineName) : -1;
    for (size_t item = 0; item < addedEngineItems_.size(); ++item)
        SetChecked(addedEngineItems_[item]->objectName(), static_cast<int>(item) == chosen);
}

// The items are named by place, since the engines' own names may be any text; their captions are
// those names, never translated.
void MainMenus::SetAddedEngines(const std::vector<std::string>& names) {
    for (QAction* item : addedEngineItems_) {
        items_.erase(item->objectName());
        gameChecks_.erase(item);
        delete item;
    }
    addedEngineItems_.clear();
    QActionGroup* group = items_.at(ItemName(kEngineItemNames[0]))->actionGroup();
    QAction* before = items_.at(QStringLiteral("N31"));
    const size_t shown = std::min(names.size(), static_cast<size_t>(kMaxAddedEngineItems));
    for (size_t index = 0; index < shown; ++index) {
        const std::string name = AddedEngineItemName(index);
        auto* item = new QAction(QString::fromStdString(names[index]), engineMenu_);
        item->setObjectName(QString::fromStdString(name));
        const auto command = static_cast<int32_t>(kCommandAddedEngine + index);
        item->setProperty(kCommandProperty, command);
        item->setCheckable(true);
        group->addAction(item);
        engineMenu_->insertAction(before, item);
        QObject::connect(item, &QAction::triggered, item, [this, item, command](bool) {
            PutBackCheckMarks(item);
            PostToMainWindow(MessageKind::Command, command);
        });
        items_[item->objectName()] = item;
        addedEngineItems_.push_back(item);
    }
    CheckEngineItem();
}

}  // namespace xq
