#pragma once

class QWidget;
enum class AccessibleRole;

// What assistive technology (AT-SPI on Linux) is told of the window's
// widgets, by the plan's roles: the window is a frame named by its caption;
// a label that reports clicks is a button with a press action; a slider's
// value is its offset, -100 to 100, rising as the thumb does, and setting it
// moves the slider as a keyboard step would; a widget of no exposed role is
// left out of its window's children.
void InstallAccessibility();

// Gives widget the role its plan entry names (see AccessibleRole).
void SetAccessibleRole(QWidget& widget, AccessibleRole role);
