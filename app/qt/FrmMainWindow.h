#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "WindowPlan.h"

// The Qt rendering of the window: one widget per plan entry, placed at dpi
// dots per inch. The widgets forward the user's clicks, committed slider
// moves and thumb drags to the model, and the model's Redraw hooks bring
// them up to date. A drag's positions reach the model once the event loop
// has taken the input waiting, so a newer position replaces one not yet
// shown rather than queueing behind it.
class FrmMainWindow : public QWidget {
    Q_OBJECT
public:
    FrmMainWindow(std::span<const PlannedControl> plan, int dpi);
    FrmMainWindow(const FrmMainWindow&) = delete;
    FrmMainWindow& operator=(const FrmMainWindow&) = delete;
    ~FrmMainWindow() override;

    // Moves the window so that it is centred on the primary screen's
    // available area.
    void CentreOnPrimaryScreen();

    // The widget that draws control; null for a control of no plan entry.
    QWidget* WidgetOf(const Control& control) const;

    // Offered the keys that no widget used (see ProgramEvents::KeyPressed).
    std::function<bool(wchar_t)> OnKeyPress;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* CreateWidget(const PlannedControl& entry, QWidget* container);
    QWidget* CreateLabel(const ControlLayout& row, Label& label, QWidget* container);
    QWidget* CreateScrollBar(ScrollBar& model, QWidget* container);
    QWidget* CreatePushButton(const ControlLayout& row, PushButton& button, QWidget* container);
    void ApplyStackingOrder(std::span<const PlannedControl> plan);
    void ApplyTabOrder(std::span<const PlannedControl> plan);
    void ShowDragLater(const ScrollBar& model, int position);
    void ShowDrag();

    std::vector<Control*> controls_;  // one per plan entry
    std::vector<QWidget*> widgets_;
    // The drag position not yet shown, and the zero timer that shows it.
    const ScrollBar* dragged_ = nullptr;
    std::int16_t dragPosition_ = 0;
    QTimer dragTimer_;
};

// The logical dots per inch of the primary screen, the unit in which the
// layout's twips become widget pixels.
int PrimaryScreenLogicalDpi();
