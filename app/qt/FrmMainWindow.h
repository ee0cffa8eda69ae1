#pragma once

#include <QWidget>
#include <span>
#include <vector>

#include "WindowPlan.h"

// The Qt rendering of the window: one widget per plan entry, placed at dpi
// dots per inch. The widgets forward the user's clicks and committed slider
// moves to the model, and the model's Redraw hooks bring them up to date.
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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* CreateWidget(const PlannedControl& entry, QWidget* container);
    QWidget* CreateLabel(const ControlLayout& row, Label& label, QWidget* container);
    QWidget* CreateScrollBar(ScrollBar& model, QWidget* container);
    QWidget* CreatePushButton(const ControlLayout& row, PushButton& button, QWidget* container);
    void ApplyStackingOrder(std::span<const PlannedControl> plan);
    void ApplyTabOrder(std::span<const PlannedControl> plan);

    std::vector<Control*> controls_;  // one per plan entry
    std::vector<QWidget*> widgets_;
};

// The logical dots per inch of the primary screen, the unit in which the
// layout's twips become widget pixels.
int PrimaryScreenLogicalDpi();
