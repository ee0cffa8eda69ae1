#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "FrmMain.h"
#include "Layout.h"
#include "Win32Handles.h"

// FrmMain on the Windows desktop: a native top-level window whose controls
// are built from the layout table. It draws what the control model holds,
// redraws a control whenever the model reports a change, and hands the
// user's committed input (clicks, scroll bar steps) to the model. It never
// decides anything itself.
//
// The layout is computed at the DPI of the monitor the window is on, and
// again when the window moves to a monitor of another DPI.
class MainWindow {
public:
    // Creates the window hidden, with its controls showing the model's
    // current state.
    MainWindow(FrmMain& form, HINSTANCE instance);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    // Destroys the window if it still exists, which unloads the form.
    ~MainWindow();

    // Shows the window and gives the all-channels slider the focus.
    void Show(int showCommand);

    // Keyboard navigation for one message taken from the queue: Tab and
    // Shift+Tab in the layout table's tab order, the rest through the
    // dialog manager. True when the message has been handled.
    bool TranslateDialogMessage(MSG& message);

    HWND Handle() const { return window_; }
    // The native control drawing a model control; for a frame, the window
    // that holds its controls. Null if there is none.
    HWND HandleOf(const Control& control) const;
    // The DPI the window is laid out for.
    UINT Dpi() const { return dpi_; }

private:
    struct Widget {
        const ControlLayout* row;
        Control* control;
        HWND window;    // the control; for a frame, its container
        HWND groupBox;  // a frame's border and caption; null for other controls
    };

    static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnMainMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnFrameMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnChildNotification(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls(HINSTANCE instance);
    Widget CreateWidget(const ControlLayout& row, int id, HINSTANCE instance);
    void ApplyStackingOrder();
    void LayOut();
    void PlaceCentred();
    void FitClientArea();
    void BindModel();
    void Refresh(const Widget& widget);

    void OnScroll(const Widget& widget, int request, int thumbPosition);
    LRESULT OnControlColour(const Widget& widget, HDC dc);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void MoveFocus(int step);
    void RestoreFocus();
    void Unload();

    const Widget* Find(HWND window) const;
    HWND ContainerHandle(std::string_view frameName) const;
    HBRUSH BrushFor(Colour colour);
    SIZE WindowSizeAt(UINT dpi) const;

    FrmMain& form_;
    HWND window_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::vector<Widget> widgets_;
    UniqueFont font_;
    UniqueFont underlinedFont_;
    std::map<Colour, UniqueBrush> brushes_;
    HWND lastFocus_ = nullptr;
    bool unloaded_ = false;
};

// Runs the message loop until the window has gone; returns the exit code.
int RunMessageLoop(MainWindow& window);
