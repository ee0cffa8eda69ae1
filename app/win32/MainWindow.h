#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

#include "ControlPaint.h"
#include "FrontEnd.h"
#include "NativeControls.h"
#include "WindowDpi.h"

// The window on the Windows desktop: a native top-level window whose
// controls are made from the plan. It draws what the control model holds,
// redraws a control whenever the model reports a change, hands the user's
// committed input (clicks, scroll bar steps) and thumb drags to the model,
// and reports the end of the session to the program. It never decides
// anything itself.
//
// The layout is computed at the DPI of the monitor the window is on, and
// again when the window moves to a monitor of another DPI.
class MainWindow {
public:
    // Creates the window hidden, centred on the primary work area, with its
    // controls showing the model's current state.
    MainWindow(std::span<const PlannedControl> plan, HINSTANCE instance, ProgramEvents& events);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Shows the window and gives the first control of the focus cycle the focus.
    void Show(int showCommand);

    // Keyboard navigation for one message taken from the queue: Tab and
    // Shift+Tab in the plan's focus order, the rest through the dialog
    // manager. True when the message has been handled.
    bool TranslateDialogMessage(MSG& message);

    HWND Handle() const { return window_; }
    // The native control drawing a model control; for a frame, the window
    // that holds its controls. Null if there is none.
    HWND HandleOf(const Control& control) const;
    UINT Dpi() const { return dpi_; }

private:
    static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnMainMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnFrameMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnChildNotification(UINT message, WPARAM wParam, LPARAM lParam);

    void CreateControls(std::span<const PlannedControl> plan, HINSTANCE instance);
    void BindModel();
    void LayOut();
    void PlaceCentred();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void MoveFocus(int step);
    void RestoreFocus();
    const NativeControl* Find(HWND window) const;
    void OnScrollRequest(ScrollBar& bar, int request, int thumbPosition);
    void ShowDragLater(const ScrollBar& bar, int position);

    ProgramEvents& events_;
    // COM, through which assistive technology takes the controls' objects.
    bool comInitialized_;
    HWND window_ = nullptr;
    HWND toolTips_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::vector<NativeControl> controls_;
    std::optional<CaptionFonts> fonts_;
    ControlPaint paint_;
    HWND lastFocus_ = nullptr;
    // The thumb position not yet shown, and whether a message to show it
    // is on its way: a newer position replaces one not yet shown.
    const ScrollBar* dragged_ = nullptr;
    std::int16_t dragPosition_ = 0;
    bool dragShowPosted_ = false;
};
