#include "ui/dialogs/aboutdlg.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "ui_aboutdlg.h"

namespace xq {
namespace {

// The artwork's scale for a screen of `ratio` device pixels per window pixel: the next whole
// number, up to the largest set the program carries (pieces/2x, pieces/3x).
int ArtworkScale(qreal ratio) {
    constexpr int kLargestArtworkScale = 3;
    return std::clamp(static_cast<int>(std::ceil(ratio - 0.01)), 1, kLargestArtworkScale);
}

// A King from the program's artwork at the screen's resolution, cut out along its mask so that
// the panel shows around it. Empty when the artwork is not compiled into the program.
QPixmap KingPicture(const char* piece, qreal ratio) {
    const int scale = ArtworkScale(ratio);
    const QString folder =
        scale == 1 ? QStringLiteral(":/pieces/") : QStringLiteral(":/pieces/%1x/").arg(scale);
    QImage image(folder + piece + ".bmp");
    const QImage mask(folder + "mask_king.bmp");
    if (image.isNull() || mask.size() != image.size()) return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(mask.pixel(x, y)) > 127) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    QPixmap picture = QPixmap::fromImage(image);
    picture.setDevicePixelRatio(scale);
    return picture;
}

}  // namespace

TAboutDlg::TAboutDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TAboutDlg>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setModal(false);
    productNamePoints_ = ui_->ProductName->font().pointSize();
    FitProductName();
    ShowKings();
    connect(ui_->OKBut, &QPushButton::clicked, this, &QDialog::close);
}

TAboutDlg::~TAboutDlg() = default;

// Created once and kept: a change of language reaches it while it is hidden.
void TAboutDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::LanguageChange) return;
    ui_->retranslateUi(this);
    FitProductName();
}

// The program's name between the two Kings in the form's font, or smaller where a translation
// of it would not fit there.
void TAboutDlg::FitProductName() {
    QLabel* name = ui_->ProductName;
    QFont font = name->font();
    font.setPointSize(productNamePoints_);
    const int room = name->contentsRect().width();
    while (font.pointSize() > 6 && QFontMetrics(font).horizontalAdvance(name->text()) > room)
        font.setPointSize(font.pointSize() - 1);
    name->setFont(font);
}

// The Kings at the resolution of the screen the box is on.
void TAboutDlg::ShowKings() {
    ui_->RedKing->setPixmap(KingPicture("rking", devicePixelRatioF()));
    ui_->BlackKing->setPixmap(KingPicture("bking", devicePixelRatioF()));
}

void TAboutDlg::ShowModeless() {
    ShowKings();
    show();
    raise();
    activateWindow();
}

}  // namespace xq
