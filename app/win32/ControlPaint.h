#pragma once

#include <windows.h>

#include <map>

#include "Controls.h"
#include "Win32Handles.h"

// The colours the controls are drawn in. A system colour is looked up each
// time, so a change of the desktop's colours shows at the next redraw; the
// brushes of plain colours are made once and kept.
class ControlPaint {
public:
    static COLORREF ScreenColour(Colour colour);
    HBRUSH BrushFor(Colour colour);

    // The answer to WM_CTLCOLORSTATIC: text and background in the dc, and
    // the brush that fills the rest.
    LRESULT ColourStatic(HDC dc, Colour back, Colour fore);

private:
    std::map<Colour, UniqueBrush> brushes_;
};
