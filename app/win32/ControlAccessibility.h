#pragma once

#include "NativeControls.h"

// What Microsoft Active Accessibility reads of the window's controls where
// the system's own answer falls short: a label that reports clicks is a
// push button whose default action clicks it, named by the plan (关闭 for
// ╳); a slider is named by the plan (全部, 红, 绿, 蓝) and its value is its
// offset, -100 to 100, which an assistive technology may set. Everything
// else is the system's answer. Names of buttons and labels come from their
// window texts, the window's from its caption.
//
// Answers WM_GETOBJECT for control's client area from then on; control
// must outlive its window.
void ExposeToAssistiveTechnology(const NativeControl& control);
