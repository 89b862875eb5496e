#include "tools/bench/soakmenus.h"

#include "engine/flow.h"
#include "engine/think.h"
#include "records/menucommands.h"
#include "rules/gamemoves.h"

namespace xq::bench {

void SoakMenus::Reset() {
    enabled_.clear();
    checked_.clear();
    captions_.clear();
    bar_ = MenuKind::Normal;
    enabled_["UndoMove"] = false;
    enabled_["RedoUndo"] = false;
    checked_[std::string(kLevelItemNames[levelKind])] = true;
    checked_["Sound"] = soundOn != 0;
    checked_["BestPath"] = bestPathShown != 0;
    checked_["MouseDrag"] = true;
    for (size_t kind = 0; kind < std::size(kEngineItemNames); ++kind)
        checked_[std::string(kEngineItemNames[kind])] = static_cast<size_t>(engineKind) == kind;
    captions_["TwoPlayer"] = kTwoPlayerCaption;
}

bool SoakMenus::Offers(std::string_view menu, std::string_view item) const {
    return bar_ == MenuKind::Normal && Enabled(menu) && Enabled(item);
}

bool SoakMenus::Enabled(std::string_view item) const {
    const auto found = enabled_.find(item);
    return found == enabled_.end() || found->second;
}

bool SoakMenus::Checked(std::string_view item) const {
    const auto found = checked_.find(item);
    return found != checked_.end() && found->second;
}

std::string SoakMenus::Caption(std::string_view item) const {
    const auto found = captions_.find(item);
    return found == captions_.end() ? std::string() : found->second;
}

void SoakMenus::SetMenu(MenuKind menu) {
    bar_ = menu;
    RefreshEditItems();
}

void SoakMenus::EnableMenuItem(std::string_view item, bool enabled) {
    enabled_[std::string(item)] = enabled;
}

void SoakMenus::CheckMenuItem(std::string_view item, bool checked) {
    checked_[std::string(item)] = checked;
}

void SoakMenus::SetMenuItemCaption(std::string_view item, std::string_view caption) {
    captions_[std::string(item)] = caption;
}

void SoakMenus::RefreshEditItems() {
    enabled_["UndoMove"] = CanTakeBackMenuMove();
    enabled_["RedoUndo"] = CanReplayMenuMove();
}

}  // namespace xq::bench
