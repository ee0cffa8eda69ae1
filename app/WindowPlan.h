#pragma once

#include <cstdint>
#include <vector>

#include "Controls.h"
#include "Layout.h"

// What assistive technology is told a control is. A label that reports
// clicks is a button with a press action; the hidden button whose click is
// the apply step is not shown to it at all. A slider's value is the offset
// it stands for (SliderOffset), which rises as the thumb does.
enum class AccessibleRole { NotExposed, Grouping, Text, Button, Slider };

// What a front end builds, decided here once for every toolkit: each
// control with its row, the frame that holds it, its place in its
// container's stacking order and its place in the keyboard's focus cycle,
// and what assistive technology is told of it.
struct PlannedControl {
    const ControlLayout* row;
    Control* control;
    int container;   // the plan index of the frame that holds it; -1 for the client area
    int stackPlace;  // 0 is the top of its container: drawn above, and gets the clicks
    int focusPlace;  // place in the focus cycle, 0 focused first; -1 when it never takes focus
    AccessibleRole role;
};

// One entry per row of FrmMainLayout(), in its order: every frame comes
// before the controls it holds.
std::vector<PlannedControl> PlanWindow(FrmMain& form);

// The four system colours the window names, by their system index.
enum class SystemColour : std::uint8_t {
    WindowBackground = 5,
    WindowText = 8,
    ButtonFace = 15,
    ButtonText = 18,
};

// How a colour is painted: a system colour, looked up whenever the control
// is drawn, or a plain colour.
struct ColourRole {
    bool system;
    std::uint8_t systemIndex;  // for a system colour
    std::uint8_t red;          // for a plain colour
    std::uint8_t green;
    std::uint8_t blue;
};

ColourRole RoleOf(Colour colour);
