// The position editor's piece palette, in the same place as the information panel
// (ui/forms/infoform.h) and in front of it while the editor is open.
#pragma once

#include <QFrame>

namespace xq {

class TEditForm : public QFrame {
  public:
    explicit TEditForm(QWidget* parent);
};

}  // namespace xq
