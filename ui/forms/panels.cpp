#include "ui/forms/panels.h"

namespace xq {

namespace {

// A plain child window without a caption, in the window's face colour.
void SetUpPanel(QFrame* panel, const char* name) {
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
}

}  // namespace

TEditForm::TEditForm(QWidget* parent) : QFrame(parent) {
    SetUpPanel(this, "TEditForm");
}

}  // namespace xq
