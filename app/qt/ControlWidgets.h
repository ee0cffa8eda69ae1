#pragma once

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <string_view>

#include "Controls.h"
#include "WindowPlan.h"

// The widgets that draw the model's labels and frames, and the colour rules
// they share.

// A model colour as a Qt colour. Plain colours are 0x00BBGGRR; the four
// system colours the window uses are looked up in palette: window
// background -> Base, window text -> Text, 3-D face -> Button, button text ->
// ButtonText. Any other system colour falls back to Window.
QColor ResolveColour(Colour colour, const QPalette& palette);

QString ToQString(std::wstring_view text);

// The program's icon, the picture of its window.
QIcon ProgramIcon();

// A label: an opaque rectangle in its background colour, an optional
// one-pixel border inside it, and one line of text starting at the top
// edge. Colours are resolved each time it is drawn, so system colours
// follow the palette. A press and release of the left button inside it is
// a click.
class ControlLabel : public QLabel {
    Q_OBJECT
public:
    ControlLabel(Qt::Alignment horizontalAlignment, bool border, QWidget* parent);

    void SetColours(Colour backColor, Colour foreColor);
    Colour BackColor() const { return backColor_; }
    Colour ForeColor() const { return foreColor_; }

public slots:
    // Reports a click, as a press and release inside it do.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A double-click is the first click and nothing more, as on Windows.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Qt::Alignment horizontalAlignment_;
    bool border_;
    Colour backColor_ = kButtonFace;
    Colour foreColor_ = kButtonText;
    bool pressed_ = false;
};

// A vertical scroll bar that a user moves only as a Windows scroll bar
// allows: its arrows, its track and its thumb with the left button, and
// the keyboard (Up and Left step up, Down and Right step down, Page Up and
// Page Down, Home and End; only Left and Right differ from Qt's own). The
// wheel, the middle button and the right button (Qt's own context menu) do
// nothing to it. While it has the focus, a dotted rectangle marks its
// thumb, as Windows marks a focused scroll bar; Qt's styles draw no focus
// on a scroll bar.
class ControlScrollBar : public QScrollBar {
    Q_OBJECT
public:
    ControlScrollBar(const ScrollBar& model, QWidget* parent);

    // The model the bar shows.
    const ScrollBar& Model() const { return model_; }

signals:
    // A drag of the thumb is over; its release has been reported.
    void dragEnded();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const ScrollBar& model_;
};

// A push button that Enter clicks as well as Space, as in a Windows dialog.
class ControlButton : public QPushButton {
    Q_OBJECT
public:
    ControlButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A frame: a group box, captioned or plain, filled with its background
// colour; its caption in its text colour. Its children are
// placed from its outer top-left corner.
class ControlFrame : public QGroupBox {
    Q_OBJECT
public:
    ControlFrame(const QString& caption, Colour backColor, Colour foreColor, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kCaptionIndent = 8;
    Colour backColor_;
    Colour foreColor_;
};
