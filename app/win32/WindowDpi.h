#pragma once

#include <windows.h>

#include "Layout.h"
#include "Win32Handles.h"

// The window's sizes and fonts at the DPI of the monitor it is on.

// The window's style: a fixed single-line border with a title bar, close
// and minimise boxes; WS_EX_CONTROLPARENT lets the dialog manager look into
// the frames for keyboard navigation.
inline constexpr DWORD kMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;

UINT DpiOf(HWND window);

// The outer size of a window whose client area is the layout's at dpi.
SIZE WindowSizeAt(UINT dpi);

// Corrects the window's size by the frame the system actually drew, so the
// client area is exactly the layout's whatever the title bar's height.
void FitClientArea(HWND window, UINT dpi);

// The primary monitor's work area.
RECT PrimaryWorkArea();

// The caption fonts at one DPI: the plain one and the underlined one.
struct CaptionFonts {
    explicit CaptionFonts(UINT dpi);
    HFONT For(const ControlLayout& row) const;

    UniqueFont plain;
    UniqueFont underlined;
};
