#include "ControlPaint.h"

#include "WindowPlan.h"

COLORREF ControlPaint::ScreenColour(Colour colour) {
    const ColourRole role = RoleOf(colour);
    return role.system ? GetSysColor(role.systemIndex) : RGB(role.red, role.green, role.blue);
}

HBRUSH ControlPaint::BrushFor(Colour colour) {
    const ColourRole role = RoleOf(colour);
    if (role.system) {
        return GetSysColorBrush(role.systemIndex);
    }
    auto [entry, inserted] = brushes_.try_emplace(colour);
    if (inserted) {
        entry->second.Reset(CreateSolidBrush(ScreenColour(colour)));
    }
    return entry->second.Get();
}

LRESULT ControlPaint::ColourStatic(HDC dc, Colour back, Colour fore) {
    SetTextColor(dc, ScreenColour(fore));
    SetBkColor(dc, ScreenColour(back));
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(BrushFor(back));
}
