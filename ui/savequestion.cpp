#include "ui/savequestion.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/forms/mainform.h"

namespace xq {

SaveAnswer AskToSaveChanges() {
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("SaveQuestion", "中国象棋"),
                    QCoreApplication::translate("SaveQuestion", "棋局已改变，保存吗？"),
                    QMessageBox::NoButton, mainForm);
    box.setObjectName(kSaveQuestionName);
    QPushButton* save =
        box.addButton(QCoreApplication::translate("SaveQuestion", "保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QCoreApplication::translate("SaveQuestion", "不保存"),
                                         QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box.addButton(QCoreApplication::translate("SaveQuestion", "取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    if (box.clickedButton() == discard) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

}  // namespace xq
