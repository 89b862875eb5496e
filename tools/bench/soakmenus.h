// The soak's stand-in for the main window's menu bar: the Display the soak installs keeps, for
// every item named by its component name, whether it is greyed, checked and what it is called,
// exactly as the core's menu calls leave it, and refreshes "悔棋" and "重下" from the game after
// every redraw and menu swap as the window does. The soak chooses only items a user could click.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/display.h"

namespace xq::bench {

class SoakMenus : public Display {
  public:
    // The menus as the window shows them when it starts.
    void Reset();

    // The normal bar is shown, and both the item and its top-level menu are enabled.
    bool Offers(std::string_view menu, std::string_view item) const;
    bool Enabled(std::string_view item) const;
    bool Checked(std::string_view item) const;
    std::string Caption(std::string_view item) const;
    MenuKind Bar() const { return bar_; }
    long Boxes() const { return boxes_; }

    void RedrawChangedSquares() override { RefreshEditItems(); }
    void RedrawAll() override { RefreshEditItems(); }
    void SetMenu(MenuKind menu) override;
    void EnableMenuItem(std::string_view item, bool enabled) override;
    void CheckMenuItem(std::string_view item, bool checked) override;
    void SetMenuItemCaption(std::string_view item, std::string_view caption) override;
    void MessageBox(std::string_view, std::string_view, BoxIcon) override { ++boxes_; }

  private:
    void RefreshEditItems();

    std::map<std::string, bool, std::less<>> enabled_;
    std::map<std::string, bool, std::less<>> checked_;
    std::map<std::string, std::string, std::less<>> captions_;
    MenuKind bar_ = MenuKind::Normal;
    long boxes_ = 0;
};

}  // namespace xq::bench
