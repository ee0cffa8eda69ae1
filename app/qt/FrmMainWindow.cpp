#include "FrmMainWindow.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <ranges>
#include <utility>

#include "Accessibility.h"
#include "ControlWidgets.h"

namespace {

// The caption font: the layout's face, else the usual SimSun names, else a
// CJK face that Linux systems commonly have, so the Chinese captions show.
QFont CaptionFont() {
    QFont font;
    font.setFamilies({ToQString(kFontFace), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(kFontPoints);
    font.setWeight(QFont::Normal);
    return font;
}

Qt::Alignment HorizontalAlignment(TextAlign align) {
    return align == TextAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
}

QRect ToQRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

// Shows the model's position without reporting it back as user input.
void ShowPosition(const ScrollBar& model, QScrollBar& bar) {
    const QSignalBlocker blocker(bar);
    bar.setValue(model.Value());
}

}  // namespace

int PrimaryScreenLogicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 96 : static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
}

FrmMainWindow::FrmMainWindow(std::span<const PlannedControl> plan, int dpi) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(kFrmMainCaption));
    setWindowIcon(ProgramIcon());
    const PixelRect client = ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, dpi);
    setFixedSize(client.width, client.height);
    setFont(CaptionFont());

    InstallAccessibility();
    for (const PlannedControl& entry : plan) {
        QWidget* container = entry.container < 0 ? this : widgets_[entry.container];
        QWidget* widget = CreateWidget(entry, container);
        SetAccessibleRole(*widget, entry.role);
        if (!entry.row->accessibleName.empty()) {
            widget->setAccessibleName(ToQString(entry.row->accessibleName));
        }
        // Placed before its first redraw shows it: a widget shown unplaced
        // is first sized to fit its text, which costs a text layout for nothing.
        widget->setGeometry(ToQRect(ToPixels(entry.row->rect, dpi)));
        entry.control->Redraw();
        controls_.push_back(entry.control);
        widgets_.push_back(widget);
    }
    ApplyStackingOrder(plan);
    ApplyTabOrder(plan);
    dragTimer_.setSingleShot(true);
    dragTimer_.setInterval(0);
    connect(&dragTimer_, &QTimer::timeout, this, &FrmMainWindow::ShowDrag);
}

FrmMainWindow::~FrmMainWindow() {
    for (Control* control : controls_) {
        control->Redraw = nullptr;
    }
}

void FrmMainWindow::CentreOnPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    move(available.left() + (available.width() - width()) / 2,
         available.top() + (available.height() - height()) / 2);
}

QWidget* FrmMainWindow::WidgetOf(const Control& control) const {
    const auto found = std::ranges::find(controls_, &control);
    return found == controls_.end() ? nullptr : widgets_[found - controls_.begin()];
}

void FrmMainWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), ResolveColour(kButtonFace, palette()));
}

void FrmMainWindow::keyPressEvent(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int key = event->key();
    wchar_t typed = 0;
    if (key == Qt::Key_Escape) {
        typed = L'\x1B';
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        typed = static_cast<wchar_t>(L'0' + (key - Qt::Key_0));
    }
    if (typed != 0 && modifiers == Qt::NoModifier && OnKeyPress && OnKeyPress(typed)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

QWidget* FrmMainWindow::CreateWidget(const PlannedControl& entry, QWidget* container) {
    const ControlLayout& row = *entry.row;
    Control& control = *entry.control;
    switch (row.control.kind) {
        case ControlKind::Label:
            return CreateLabel(row, static_cast<Label&>(control), container);
        case ControlKind::Frame: {
            auto* frame =
                new ControlFrame(ToQString(row.caption), row.backColor, row.foreColor, container);
            control.Redraw = [&control, frame] { frame->setVisible(control.Visible()); };
            return frame;
        }
        case ControlKind::PushButton:
            return CreatePushButton(row, static_cast<PushButton&>(control), container);
        case ControlKind::VScrollBar:
            return CreateScrollBar(static_cast<ScrollBar&>(control), container);
    }
    return nullptr;
}

QWidget* FrmMainWindow::CreateLabel(const ControlLayout& row, Label& label, QWidget* container) {
    auto* widget = new ControlLabel(HorizontalAlignment(row.align), row.border, container);
    if (row.underline) {
        QFont underlined = font();
        underlined.setUnderline(true);
        widget->setFont(underlined);
    }
    label.Redraw = [&label, widget] {
        widget->setText(ToQString(label.Caption()));
        widget->SetColours(label.BackColor(), label.ForeColor());
        widget->setToolTip(ToQString(label.ToolTip()));
        widget->setVisible(label.Visible());
    };
    connect(widget, &ControlLabel::clicked, this, [&label] { label.Click(); });
    return widget;
}

QWidget* FrmMainWindow::CreateScrollBar(ScrollBar& model, QWidget* container) {
    auto* bar = new ControlScrollBar(model, container);
    bar->setRange(model.Min(), model.Max());
    bar->setSingleStep(model.SmallChange());
    bar->setPageStep(model.LargeChange());
    // Without tracking, valueChanged reports committed positions only: each
    // arrow, track or key step at once, a thumb drag once when released.
    bar->setTracking(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    model.Redraw = [&model, bar] {
        ShowPosition(model, *bar);
        bar->setVisible(model.Visible());
    };
    connect(bar, &QScrollBar::valueChanged, this, [this, &model, bar](int position) {
        dragged_ = nullptr;
        model.SetValue(static_cast<std::int16_t>(position));
        ShowPosition(model, *bar);
    });
    connect(bar, &QScrollBar::sliderMoved, this,
            [this, &model](int position) { ShowDragLater(model, position); });
    connect(bar, &ControlScrollBar::dragEnded, this, [this, &model] {
        dragged_ = nullptr;
        model.EndScroll();
    });
    return bar;
}

void FrmMainWindow::ShowDragLater(const ScrollBar& model, int position) {
    dragged_ = &model;
    dragPosition_ = static_cast<std::int16_t>(position);
    if (!dragTimer_.isActive()) {
        dragTimer_.start();
    }
}

void FrmMainWindow::ShowDrag() {
    if (const ScrollBar* model = std::exchange(dragged_, nullptr)) {
        model->Scroll(dragPosition_);
    }
}

QWidget* FrmMainWindow::CreatePushButton(const ControlLayout& row, PushButton& button,
                                         QWidget* container) {
    auto* widget = new ControlButton(ToQString(row.caption), container);
    button.Redraw = [&button, widget] { widget->setVisible(button.Visible()); };
    connect(widget, &QPushButton::clicked, this, [&button] { button.Click(); });
    return widget;
}

// Raised from the bottom of each container's order up, so the top comes last.
void FrmMainWindow::ApplyStackingOrder(std::span<const PlannedControl> plan) {
    std::vector<std::size_t> order(plan.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::sort(order, std::greater<>(), [&](std::size_t i) { return plan[i].stackPlace; });
    for (const std::size_t i : order) {
        widgets_[i]->raise();
    }
}

void FrmMainWindow::ApplyTabOrder(std::span<const PlannedControl> plan) {
    std::vector<QWidget*> chain;
    for (const PlannedControl& entry : plan) {
        if (entry.focusPlace >= 0) {
            chain.resize(std::max(chain.size(), static_cast<std::size_t>(entry.focusPlace) + 1));
            chain[entry.focusPlace] = widgets_[&entry - plan.data()];
        }
    }
    for (std::size_t i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
    if (!chain.empty()) {
        chain.front()->setFocus();
    }
}
