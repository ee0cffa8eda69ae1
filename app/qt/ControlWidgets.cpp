#include "ControlWidgets.h"

#include <QFontMetrics>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>

QColor ResolveColour(Colour colour, const QPalette& palette) {
    const ColourRole role = RoleOf(colour);
    if (!role.system) {
        return {role.red, role.green, role.blue};
    }
    switch (static_cast<SystemColour>(role.systemIndex)) {
        case SystemColour::WindowBackground:
            return palette.color(QPalette::Base);
        case SystemColour::WindowText:
            return palette.color(QPalette::Text);
        case SystemColour::ButtonFace:
            return palette.color(QPalette::Button);
        case SystemColour::ButtonText:
            return palette.color(QPalette::ButtonText);
    }
    return palette.color(QPalette::Window);
}

// Read as the PNG it is: Qt would otherwise load every image format plugin
// to ask which of them reads the file.
QIcon ProgramIcon() {
    QImageReader reader(QStringLiteral(":/kov-display.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QString ToQString(std::wstring_view text) {
    return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

ControlLabel::ControlLabel(Qt::Alignment horizontalAlignment, bool border, QWidget* parent)
    : QLabel(parent), horizontalAlignment_(horizontalAlignment), border_(border) {
    setFocusPolicy(Qt::NoFocus);
}

void ControlLabel::SetColours(Colour backColor, Colour foreColor) {
    if (backColor == backColor_ && foreColor == foreColor_) {
        return;
    }
    backColor_ = backColor;
    foreColor_ = foreColor;
    update();
}

void ControlLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), ResolveColour(backColor_, colours));
    QRect textArea = rect();
    if (border_) {
        painter.setPen(colours.color(QPalette::WindowText));
        painter.drawRect(textArea.adjusted(0, 0, -1, -1));
        textArea.adjust(1, 1, -1, -1);
    }
    painter.setPen(ResolveColour(foreColor_, colours));
    painter.setFont(font());
    painter.drawText(textArea,
                     static_cast<int>(Qt::AlignTop | horizontalAlignment_) | Qt::TextSingleLine,
                     text());
}

void ControlLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ControlLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

void ControlLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_ = false;
    event->accept();
}

ControlScrollBar::ControlScrollBar(const ScrollBar& model, QWidget* parent)
    : QScrollBar(Qt::Vertical, parent), model_(model) {
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void ControlScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QScrollBar::mousePressEvent(event);
    } else {
        event->accept();
    }
}

void ControlScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    const bool dragging = isSliderDown();
    QScrollBar::mouseReleaseEvent(event);
    if (dragging && !isSliderDown()) {
        emit dragEnded();
    }
}

void ControlScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    // Inside the thumb by an eighth of its width, at least 2 pixels, so the
    // mark keeps its place at every scale.
    const int inset = std::max(2, thumb.width() / 8);
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(thumb.adjusted(inset, inset, -inset - 1, -inset - 1));
}

void ControlScrollBar::wheelEvent(QWheelEvent* event) {
    event->accept();
}

// Qt steps a vertical bar down on Left and up on Right (towards its end and
// its start, as on a horizontal one); Windows takes Left as Up and Right as
// Down. Every other key is Qt's, which matches Windows.
void ControlScrollBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        triggerAction(event->key() == Qt::Key_Left ? SliderSingleStepSub : SliderSingleStepAdd);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

ControlButton::ControlButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setAutoDefault(false);
}

void ControlButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

ControlFrame::ControlFrame(const QString& caption, Colour backColor, Colour foreColor,
                           QWidget* parent)
    : QGroupBox(caption, parent), backColor_(backColor), foreColor_(foreColor) {
    setFocusPolicy(Qt::NoFocus);
}

// Drawn here rather than by the style, whose group boxes tint their inside:
// the frame's own colour fills it all, an etched line runs round it, and a
// caption interrupts the top line near the left.
void ControlFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), ResolveColour(backColor_, colours));

    const QFontMetrics metrics(font());
    const int lineTop = title().isEmpty() ? 0 : metrics.height() / 2;
    const QRect line(0, lineTop, width() - 1, height() - lineTop - 1);
    painter.setPen(colours.color(QPalette::Dark));
    painter.drawRect(line.adjusted(0, 0, -1, -1));
    painter.setPen(colours.color(QPalette::Light));
    painter.drawRect(line.adjusted(1, 1, 0, 0));

    if (!title().isEmpty()) {
        const QRect caption(kCaptionIndent, 0, metrics.horizontalAdvance(title()),
                            metrics.height());
        painter.fillRect(caption, ResolveColour(backColor_, colours));
        painter.setPen(ResolveColour(foreColor_, colours));
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
    }
}
