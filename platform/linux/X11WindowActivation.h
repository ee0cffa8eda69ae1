#pragma once

#include <string_view>

// Brings to the front the top-level window of class windowClass (either
// part of WM_CLASS) named title (UTF-8) on the X server of $DISPLAY, and
// gives it the focus: through the window manager's _NET_ACTIVE_WINDOW when
// one runs (which also restores a minimised window), else by raising it and
// setting the focus on it directly. Nothing when no such window is there.
void ActivateX11Window(std::string_view windowClass, std::string_view title);
