// The main window's three menu bars: the normal bar, the position editor's bar and the one item
// "停止" shown while the engine thinks on its own move. One QMenuBar shows the top-level items
// of whichever bar is current. Choosing an item posts its command to the main window's queue;
// check marks and greyed items show the game's state and are set by the commands, never by the
// click itself.
#pragma once

#include <QAction>
#include <QList>
#include <QMenuBar>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/enginechoice.h"
#include "ui/language.h"

namespace xq {

enum class MenuBarKind { Normal, Edit, Think };

// The property of an item that holds the command it posts (an int; none on submenus and the
// language items, which post nothing).
inline constexpr char kCommandProperty[] = "command";

class MainMenus {
  public:
    // Builds every item as a child of `owner`; shows the normal bar on `bar`. `putBackLiftedPiece`
    // runs as the user chooses an item, before its command is posted, unless the item leaves a
    // lifted piece alone.
    MainMenus(QMenuBar* bar, QObject* owner, std::function<void()> putBackLiftedPiece);

    // The item named by its component name ("NewChessGame1", "Stop", ...); nullptr if none.
    QAction* Item(const QString& name) const;
    // The top-level items of a bar, in order.
    const QList<QAction*>& TopLevel(MenuBarKind kind) const {
        return topLevel_[static_cast<int>(kind)];
    }
    MenuBarKind Current() const { return current_; }
    void Show(MenuBarKind kind);

    // The check mark the game gives an item; a click alone never changes it.
    void SetChecked(const QString& name, bool checked);
    // The check mark of the level item of `levelKind` (any value outside 0..6 means "容易").
    void CheckLevelItem(uint8_t levelKind);
    QAction* LevelItem(uint8_t levelKind) const;
    // The check mark on the item of the game's engine (engineKind, and addedEngineName for an
    // added one), off the others.
    void CheckEngineItem();
    // The added engines' items in the engine menu, one per name in the order given (at most
    // kMaxAddedEngineItems), in place of those it had; checked as CheckEngineItem does.
    void SetAddedEngines(const std::vector<std::string>& names);

    // What choosing a language item in "显示" > "语言" does (the window's switch).
    void SetLanguageChooser(std::function<void(Language)> choose) {
        chooseLanguage_ = std::move(choose);
    }
    // Every caption in the language now installed, the language's item checked. A caption the
    // game has changed since (SetMenuItemCaption) is the caller's to give again.
    void Retranslate();
    void CheckLanguageItem(Language language);

  private:
    // An item whose caption is translated in `context`; the menus' own context when null.
    QAction* AddItem(QMenu* menu, const char* name, const char* caption, int32_t command,
                     const char* context = nullptr);
    QMenu* AddMenu(QList<QAction*>* bar, const char* name, const char* caption);
    QMenu* AddSubmenu(QMenu* parent, const char* name, const char* caption);
    void AddLanguageItems(QMenu* menu);
    static QString Caption(const QAction* item);
    void AddSeparator(QMenu* menu, const char* name);
    void MakeOneChoice(std::initializer_list<std::string_view> names);
    void PutBackCheckMarks(QAction* clicked);

    QMenuBar* bar_;
    QObject* owner_;
    std::function<void()> putBackLiftedPiece_;
    std::function<void(Language)> chooseLanguage_;
    MenuBarKind current_ = MenuBarKind::Normal;
    QList<QAction*> topLevel_[3];
    std::map<QString, QAction*> items_;
    std::map<QAction*, bool> gameChecks_;  // what SetChecked last gave each item
    QMenu* engineMenu_ = nullptr;          // "选项" > "引擎"
    std::vector<QAction*> addedEngineItems_;
};

}  // namespace xq
