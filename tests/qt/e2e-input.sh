#!/usr/bin/env bash
# Input on the real window, taken as a Windows window takes it: the wheel and
# the middle and right buttons move no slider; Left steps a slider up and
# Right down; Enter and Space click the focused button; a press on a slot
# that slides off before the release saves nothing.
#
# usage: e2e-input.sh KOV_DISPLAY X11_PROBE   (run under with-xorg-dummy)
source "$(dirname "$0")/e2e-lib.sh"

set_starting_ramp
start_program || { fail "the window appears"; finish; }

# Over the red track, far below the thumb: wheel both ways, middle click,
# and a right click answered with Return (a context menu's first entry).
xdotool mousemove --window "$main_window" $((red_x / 15)) $(((480 + 720 + 2000) / 15))
for button in 4 5 2 3; do
  xdotool click "$button"
  sleep 0.3
  xdotool key Return
done
check_ramp "wheel, middle and right buttons move no slider" 0 0 0

click_twips "$red_x" "$slider_up_y"
xdotool key Left
check_ramp "Left steps the focused slider up" 4 0 0
xdotool key Right Right
check_ramp "Right steps it down" 0 0 0

# From the red slider, Tab reaches green, blue, then the save button.
xdotool key Tab Tab Tab Return
click_twips "$slot_x" "$(slot_y 3)"
xdotool key space
click_twips "$slot_x" "$(slot_y 4)"
xdotool key space
xdotool mousemove --window "$main_window" $((slot_x / 15)) $(($(slot_y 5) / 15)) mousedown 1
xdotool mousemove --window "$main_window" 5 5 mouseup 1
sleep 0.5
saved=$(tr -d '\r' <"$settings" 2>/dev/null | grep '^RGB' | tr '\n' ' ')
[[ $saved == "RGB3=0,0,0 RGB4=0,0,0 " ]] && pass "Enter and Space open the panel; a slid-off press saves nothing" ||
  fail "the saved slots are '$saved'"

finish
