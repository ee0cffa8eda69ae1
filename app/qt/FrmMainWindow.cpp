#include "FrmMainWindow.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <ranges>
#include <stdexcept>
#include <string>

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

bool TakesFocus(const ControlLayout& row) {
    return row.kind == ControlKind::VScrollBar || row.kind == ControlKind::PushButton;
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

FrmMainWindow::FrmMainWindow(FrmMain& form, int dpi) : form_(form) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(kFrmMainCaption));
    setWindowIcon(QIcon(QStringLiteral(":/kov-display.ico")));
    setFixedSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi));
    setFont(CaptionFont());

    for (const ControlLayout& row : FrmMainLayout()) {
        Control& control = form_.ControlAt(row);
        QWidget* widget = CreateWidget(row, control, Container(row));
        widget->setGeometry(ToQRect(ToPixels(row.rect, dpi)));
        widget->setVisible(control.Visible());
        bindings_.push_back({&row, &control, widget});
    }
    ApplyStackingOrder();
    ApplyTabOrder();
}

FrmMainWindow::~FrmMainWindow() {
    Unload();
    for (const Binding& binding : bindings_) {
        binding.control->Redraw = nullptr;
    }
}

bool FrmMainWindow::Load() {
    loaded_ = true;
    if (!form_.Form_Load()) {
        unloaded_ = true;
        return false;
    }
    return true;
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

QWidget& FrmMainWindow::WidgetAt(const ControlLayout& row) {
    const auto found = std::ranges::find_if(
        bindings_, [&row](const Binding& binding) { return binding.row == &row; });
    if (found == bindings_.end()) {
        throw std::out_of_range("not a row of FrmMainLayout(): " + ControlName(row));
    }
    return *found->widget;
}

void FrmMainWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), ResolveColour(kButtonFace, palette()));
}

void FrmMainWindow::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void FrmMainWindow::Unload() {
    if (loaded_ && !unloaded_) {
        unloaded_ = true;
        form_.Form_Unload();
    }
}

QWidget* FrmMainWindow::CreateWidget(const ControlLayout& row, Control& control,
                                     QWidget* container) {
    switch (row.kind) {
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
        widget->setVisible(label.Visible());
    };
    label.Redraw();
    connect(widget, &ControlLabel::clicked, this, [&label] { label.Click(); });
    return widget;
}

QWidget* FrmMainWindow::CreateScrollBar(ScrollBar& model, QWidget* container) {
    auto* bar = new QScrollBar(Qt::Vertical, container);
    bar->setRange(model.Min(), model.Max());
    bar->setSingleStep(model.SmallChange());
    bar->setPageStep(model.LargeChange());
    // Without tracking, valueChanged reports committed positions only: each
    // arrow, track or key step at once, a thumb drag once when released.
    bar->setTracking(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    ShowPosition(model, *bar);
    model.Redraw = [&model, bar] {
        ShowPosition(model, *bar);
        bar->setVisible(model.Visible());
    };
    connect(bar, &QScrollBar::valueChanged, this, [&model, bar](int position) {
        model.SetValue(static_cast<std::int16_t>(position));
        ShowPosition(model, *bar);
    });
    return bar;
}

QWidget* FrmMainWindow::CreatePushButton(const ControlLayout& row, PushButton& button,
                                         QWidget* container) {
    auto* widget = new QPushButton(ToQString(row.caption), container);
    widget->setAutoDefault(false);
    button.Redraw = [&button, widget] { widget->setVisible(button.Visible()); };
    connect(widget, &QPushButton::clicked, this, [&button] { button.Click(); });
    return widget;
}

QWidget* FrmMainWindow::Container(const ControlLayout& row) {
    if (row.container.empty()) {
        return this;
    }
    const auto found = std::ranges::find_if(
        bindings_, [&row](const Binding& binding) { return binding.row->name == row.container; });
    return found == bindings_.end() ? this : found->widget;
}

// Rows run from the top of each container's stacking order downwards, so
// raising them from the last to the first leaves the first on top.
void FrmMainWindow::ApplyStackingOrder() {
    for (const Binding& binding : bindings_ | std::views::reverse) {
        binding.widget->raise();
    }
}

// Only the sliders and the buttons take focus; they follow their tab
// places, and the first of them has the focus when the window opens.
void FrmMainWindow::ApplyTabOrder() {
    std::vector<const Binding*> chain;
    for (const Binding& binding : bindings_) {
        if (TakesFocus(*binding.row)) {
            chain.push_back(&binding);
        }
    }
    std::ranges::sort(chain, {}, [](const Binding* binding) { return binding->row->tabIndex; });
    for (std::size_t i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1]->widget, chain[i]->widget);
    }
    if (!chain.empty()) {
        chain.front()->widget->setFocus();
    }
}
