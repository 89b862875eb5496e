#include "platform/display.h"

namespace xq {

namespace {
Display silentDisplay;
Display* installed = &silentDisplay;
}  // namespace

void SetDisplay(Display* display) {
    installed = display ? display : &silentDisplay;
}

Display& CurrentDisplay() {
    return *installed;
}

}  // namespace xq
