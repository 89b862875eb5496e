#include "ui/forms/infoform.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "ui/boardgeometry.h"
#include "ui/boardrenderer.h"
#include "ui/canvaswidget.h"
#include "ui/clockdisplay.h"
#include "ui/coursegraph.h"
#include "ui/systemfont.h"
#include "ui_infoform.h"

namespace xq {

namespace {

// What a field shows before the value written into it. The reset texts are the form's own; note
// that "时间:" and "红方：" are loaded, "时间：" and "红方:" written.
struct FieldLabel {
    std::string_view field;
    const char* prefix;
};
constexpr FieldLabel kFieldLabels[] = {
    {"Timer", QT_TRANSLATE_NOOP("TInfoForm", "时间：")},
    {"Level2", QT_TRANSLATE_NOOP("TInfoForm", "级别：")},
    {"Value", QT_TRANSLATE_NOOP("TInfoForm", "值：")},
    {"Nodes", QT_TRANSLATE_NOOP("TInfoForm", "节点：")},
    {"Seconds", QT_TRANSLATE_NOOP("TInfoForm", "步/秒：")},
    {"Depth", QT_TRANSLATE_NOOP("TInfoForm", "深度：")},
    {"BestPath", ""},
    {"Message", ""},
};

QString Translated(const char* source) {
    return *source == '\0' ? QString() : QCoreApplication::translate("TInfoForm", source);
}

// The value field's label when the side whose view it shows is known.
constexpr const char* kSideValueLabels[2] = {QT_TRANSLATE_NOOP("TInfoForm", "值（红方）："),
                                             QT_TRANSLATE_NOOP("TInfoForm", "值（黑方）：")};

constexpr QRgb kSilver = qRgb(192, 192, 192);
// The course graph under the message field's room, as wide as the fields, down to the panel's
// frame.
constexpr int kGraphTop = kPanelMessageBottom + 8;
constexpr int kGraphBottom = 640;
constexpr char kEllipsis[] = "…";

// `text` in lines of at most `width` pixels, broken only at blanks; a word wider than a line on
// its own (a sentence without blanks) is broken between its characters.
QStringList LinesAtBlanks(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& candidate) {
        return metrics.horizontalAdvance(candidate) <= width;
    };
    for (qsizetype at = 0; at < text.size();) {
        // The next word and the blanks after it.
        qsizetype end = at;
        while (end < text.size() && text[end] != u' ')
            ++end;
        const QString word = text.mid(at, end - at);
        while (end < text.size() && text[end] == u' ')
            ++end;
        const QString blanks = text.mid(at + word.size(), end - at - word.size());
        at = end;
        if (fits(line + word)) {
            line += word + blanks;
            continue;
        }
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
        line.clear();
        for (QChar character : word) {
            if (!line.isEmpty() && !fits(line + character)) {
                lines << line;
                line.clear();
            }
            line += character;
        }
        line += blanks;
    }
    if (!line.trimmed().isEmpty() || lines.isEmpty()) lines << line.trimmed();
    return lines;
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Paint(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

TInfoForm::TInfoForm(QWidget* parent)
    : QFrame(parent), ui_(std::make_unique<Ui::TInfoForm>()), background_(1, 1) {
    ui_->setupUi(this);
    graph_ = new CourseGraph(this);
    graph_->setGeometry(ui_->Message->x(), kGraphTop, ui_->Message->width(),
                        kGraphBottom - kGraphTop);
    setFrameShape(QFrame::NoFrame);
    const QFont font = PanelFont();
    const QColor face = palette().color(QPalette::Window);
    Paint(ui_->Panel1, face);
    for (QLabel* label : findChildren<QLabel*>()) {
        label->setFont(font);
        label->setIndent(2);
        // What the form loaded is the field's reset text.
        label->setProperty("resetText", label->text());
        if (label != ui_->Label1) Paint(label, face);
    }
    Paint(ui_->BestPath, QColor(kSilver));
    Paint(ui_->Message, QColor(kSilver));
    messageHeight_ = ui_->Message->height();
    SetBackground(gdi::Brush::Solid(kLightGrey));
}

TInfoForm::~TInfoForm() = default;

void TInfoForm::SetBackground(const gdi::Brush& pattern) {
    // The frame goes round the main window's right half, taken when the panel is painted.
    const QWidget* window = parentWidget();
    const int width = window != nullptr ? window->width() / 2 : this->width();
    const int height = window != nullptr ? window->height() : this->height();
    background_ = gdi::Canvas(std::max(1, this->width()), std::max(1, this->height()),
                              CanvasScale(devicePixelRatioF()));
    background_.FillRect({0, 0, this->width(), this->height()}, pattern);
    DrawFrame3D(background_, {0, 0, width, height}, false);
    update();
}

void TInfoForm::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintCanvas(painter, background_, event->region(), devicePixelRatioF());
}

QLabel* TInfoForm::Field(std::string_view field) const {
    return findChild<QLabel*>(Utf8(field), Qt::FindChildrenRecursively);
}

QString TInfoForm::FieldText(const char* field) const {
    if (std::string_view(field) == "Message") return message_;
    const QLabel* label = Field(field);
    return label != nullptr ? label->text() : QString();
}

void TInfoForm::ResetPanel() {
    for (QLabel* label : findChildren<QLabel*>())
        label->setText(label->property("resetText").toString());
    message_ = ui_->Message->text();
    shownTurn_.reset();
    moveLines_.clear();
    values_.clear();
    valueSide_.reset();
    LayOutMessage();
}

void TInfoForm::ShowTurn(Side side) {
    shownTurn_ = side;
    ui_->Color1->setText(side == Red ? QCoreApplication::translate("TInfoForm", "轮流：红方")
                                     : QCoreApplication::translate("TInfoForm", "轮流：黑方"));
}

void TInfoForm::ShowMoveLine(Side side, std::string_view text) {
    moveLines_[side] = std::string(text);
    QLabel* field = side == Red ? ui_->RedInfo : ui_->BlackInfo;
    if (text.empty()) {
        field->setText(field->property("resetText").toString());
        return;
    }
    field->setText((side == Red ? QCoreApplication::translate("TInfoForm", "红方:")
                                : QCoreApplication::translate("TInfoForm", "黑方:")) +
                   Utf8(text));
}

void TInfoForm::ShowValue(std::string_view field, std::string_view text) {
    for (const FieldLabel& label : kFieldLabels) {
        if (label.field != field) continue;
        values_[std::string(field)] = std::string(text);
        const bool sided = field == "Value" && valueSide_;
        Field(field)->setText(Translated(sided ? kSideValueLabels[*valueSide_] : label.prefix) +
                              Utf8(text));
        return;
    }
}

void TInfoForm::ShowSideValue(Side side, std::string_view text) {
    valueSide_ = side;
    ShowValue("Value", text);
}

void TInfoForm::ClearValue(std::string_view field) {
    QLabel* label = Field(field);
    if (label == nullptr) return;
    values_.erase(std::string(field));
    if (field == "Value") valueSide_.reset();
    label->setText(label->property("resetText").toString());
}

void TInfoForm::ClearBestPath() {
    values_.erase("BestPath");
    ui_->BestPath->clear();
}

void TInfoForm::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) Retranslate();
}

// The form's own texts in the language now installed, then what the fields showed, under their
// new labels. The texts the core wrote keep their words until it writes them again.
void TInfoForm::Retranslate() {
    ui_->retranslateUi(this);
    for (QLabel* label : findChildren<QLabel*>())
        label->setProperty("resetText", label->text());
    if (shownTurn_) ShowTurn(*shownTurn_);
    const auto moveLines = moveLines_;
    for (const auto& [side, text] : moveLines)
        ShowMoveLine(side, text);
    const auto values = values_;
    for (const auto& [field, text] : values)
        ShowValue(field, text);
    LayOutMessage();
}

void TInfoForm::ShowMessage(std::string_view text) {
    message_ = Utf8(text);
    LayOutMessage();
}

void TInfoForm::LayOutMessage() {
    QLabel* field = ui_->Message;
    const QFontMetrics metrics(field->font());
    const int width = field->contentsRect().width() - field->indent();
    // The message field may grow down to kPanelMessageBottom: below starts the room kept for the
    // web panel.
    const int room = kPanelMessageBottom - field->y() - messageHeight_;
    const int mostLines = 1 + std::max(0, room / metrics.lineSpacing());
    QStringList lines = LinesAtBlanks(message_, metrics, width);
    const bool cut = lines.size() > mostLines;
    if (cut) {
        // The last line that fits ends after a whole word, with room for the ellipsis.
        lines = lines.mid(0, mostLines);
        QString& last = lines.back();
        while (!last.isEmpty() && metrics.horizontalAdvance(last + kEllipsis) > width) {
            const qsizetype blank = last.lastIndexOf(u' ');
            last = blank > 0 ? last.left(blank).trimmed() : last.chopped(1);
        }
        last += QString::fromUtf8(kEllipsis);
    }
    field->setText(lines.join(u'\n'));
    field->setToolTip(cut ? message_ : QString());
    const int extraLines = static_cast<int>(lines.size()) - 1;
    field->resize(field->width(), messageHeight_ + extraLines * metrics.lineSpacing());
}

TInfoForm::PanelLines TInfoForm::Lines() const {
    return {ui_->Color1->text(), ui_->RedInfo->text(), ui_->BlackInfo->text(), message_};
}

void TInfoForm::ShowLines(const PanelLines& lines) {
    ui_->Color1->setText(lines.turn);
    ui_->RedInfo->setText(lines.red);
    ui_->BlackInfo->setText(lines.black);
    message_ = lines.message;
    LayOutMessage();
}

void TInfoForm::ShowLevel(std::string_view text) {
    ShowValue("Level2", text);
}

void TInfoForm::ShowClock() {
    // A tick queued before the clock stopped has nothing to show.
    if (!clockRunning) return;
    const int32_t seconds = ShownClockSeconds(sideClock[runningClock], LocalTimeOfDay());
    ShowValue("Timer", ClockText(seconds, blink_));
    blink_ = !blink_;
}

}  // namespace xq
