#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "WindowDpi.h"
#include "WindowPlan.h"

// The native Windows controls that draw the window's controls, made from
// the plan, and what ties each to its model.

inline constexpr wchar_t kFrameClassName[] = L"KovDisplayFrame";

struct NativeControl {
    PlannedControl plan;
    HWND window;    // the control; for a frame, the container that holds its controls
    HWND groupBox;  // a frame's border and caption; null for other controls
};

// Creates the native control for one plan entry inside parent, shown or
// hidden as its model is. frameOwner is handed to a frame's container.
NativeControl CreateNativeControl(const PlannedControl& entry, HWND parent, int id,
                                  HINSTANCE instance, void* frameOwner);

// Puts each container's controls in the plan's stacking order; a frame's
// group box lies beneath everything in its frame.
void ApplyStackingOrder(std::span<const NativeControl> controls);

// Places every control at dpi and gives it its caption font.
void PlaceControls(std::span<const NativeControl> controls, UINT dpi, const CaptionFonts& fonts);

// A tooltip control for the controls of owner: hidden until the pointer
// rests on a control with a tip, and never active.
HWND CreateToolTips(HWND owner, HINSTANCE instance);

// Brings a control on screen in line with its model, a label's tip in
// toolTips included. Nothing here sends input back: SetScrollPos and
// SetWindowTextW report no change to anyone.
void Refresh(const NativeControl& control, HWND toolTips);

// The position a scroll bar request commits to, or none for a request that
// commits nothing: while the thumb is dragged (SB_THUMBTRACK) the control
// moves only its thumb on screen, and SB_ENDSCROLL just ends a gesture.
std::optional<int> CommittedPosition(const ScrollBar& bar, int request, int thumbPosition);
