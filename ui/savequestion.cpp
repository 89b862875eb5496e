#include "ui/savequestion.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/forms/mainform.h"

namespace xq {

SaveAnswer AskToSaveChanges() {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8("中国象棋"),
                    QString::fromUtf8("棋局已改变，保存吗？"), QMessageBox::NoButton, mainForm);
    box.setObjectName(kSaveQuestionName);
    QPushButton* save = box.addButton(QString::fromUtf8("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QString::fromUtf8("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QString::fromUtf8("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    if (box.clickedButton() == discard) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

}  // namespace xq
