#include "ui/forms/panels.h"

namespace xq {

namespace {

// Both panels are plain child windows without a caption, in the window's face colour.
void SetUpPanel(QFrame* panel, const char* name) {
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
}

}  // namespace

TInfoForm::TInfoForm(QWidget* parent) : QFrame(parent) {
    SetUpPanel(this, "TInfoForm");
}

}  // namespace xq
