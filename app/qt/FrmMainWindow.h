#pragma once

#include <QWidget>
#include <vector>

#include "FrmMain.h"
#include "Layout.h"

class ControlLabel;
class QScrollBar;

// The Qt rendering of FrmMain: one widget per row of the layout table,
// placed at dpi dots per inch. The widgets forward the user's clicks and
// committed slider moves to the model, and the model's Redraw hooks bring
// the widgets up to date. Closing the window unloads the form exactly once.
class FrmMainWindow : public QWidget {
    Q_OBJECT
public:
    FrmMainWindow(FrmMain& form, int dpi);
    FrmMainWindow(const FrmMainWindow&) = delete;
    FrmMainWindow& operator=(const FrmMainWindow&) = delete;
    ~FrmMainWindow() override;

    // Runs the form's load. False when the program must end without showing
    // the window; the form has then already been unloaded.
    bool Load();

    // Moves the window so that it is centred on the primary screen's
    // available area.
    void CentreOnPrimaryScreen();

    // The widget that renders a row of FrmMainLayout(); std::out_of_range
    // for a row from anywhere else.
    QWidget& WidgetAt(const ControlLayout& row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Binding {
        const ControlLayout* row;
        Control* control;
        QWidget* widget;
    };

    QWidget* CreateWidget(const ControlLayout& row, Control& control, QWidget* container);
    QWidget* CreateLabel(const ControlLayout& row, Label& label, QWidget* container);
    QWidget* CreateScrollBar(ScrollBar& model, QWidget* container);
    QWidget* CreatePushButton(const ControlLayout& row, PushButton& button, QWidget* container);
    QWidget* Container(const ControlLayout& row);
    void ApplyStackingOrder();
    void ApplyTabOrder();
    void Unload();

    FrmMain& form_;
    std::vector<Binding> bindings_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

// The logical dots per inch of the primary screen, the unit in which the
// layout's twips become widget pixels.
int PrimaryScreenLogicalDpi();
