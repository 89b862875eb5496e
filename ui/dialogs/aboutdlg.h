// "关于澜川中国象棋": the product's name between the two Kings and the project's contact lines.
// Created once at start-up and shown without blocking by "关于"; "OK" closes it.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutDlg;
}

namespace xq {

class TAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutDlg(QWidget* parent = nullptr);
    ~TAboutDlg() override;

    // Shows the box (again) in front, without blocking.
    void ShowModeless();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void FitProductName();
    void ShowKings();
    std::unique_ptr<Ui::TAboutDlg> ui_;
    int productNamePoints_ = 0;  // the name's size as the form gives it
};

}  // namespace xq
