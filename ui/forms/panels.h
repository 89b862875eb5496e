// The information panel on the right half of the main window: side to move, clocks, last moves,
// level and the engine's figures. A borderless child of the main window; its fields come with the
// panel itself, this is the frame the main window places and raises.
#pragma once

#include <QFrame>

namespace xq {

class TInfoForm : public QFrame {
  public:
    explicit TInfoForm(QWidget* parent);
};

}  // namespace xq
