#!/usr/bin/env bash
# The preset panel of the real program on a real X server: save a preset
# through the panel and check the settings file's bytes, start with it as
# the start-up preset, read it back through the panel, and put the captured
# ramp back on close. Keeps a picture of the window with the panel open.
#
# usage: e2e-presets.sh KOV_DISPLAY X11_PROBE SCREENSHOT   (under with-xorg-dummy)
source "$(dirname "$0")/e2e-lib.sh"
screenshot=$3

set_starting_ramp

start_program || { fail "the window appears"; finish; }
# Offsets (20, -4, 0): red 10 steps up to 40, green 2 steps down to 52.
click_twips "$red_x" "$slider_up_y" 10
click_twips "$green_x" "$slider_down_y" 2
check_ramp "the sliders apply (20, -4, 0)" 20 -4 0

# Where slot 2 lies while the panel is hidden, a click saves nothing.
click_twips "$slot_x" "$(slot_y 2)"
click_twips "$buttons_x" "$save_button_y"
click_twips "$slot_x" "$(slot_y 3)"
# A new file: the default comment line, AUTOLOAD=0, then the saved slot; GBK
# text, CR LF after every line.
printf ';KOV调节显示器设置   作者：Tavrin   Email:tavrin@example.com\r\nAUTOLOAD=0\r\nRGB3=20,-4,0\r\n' |
  iconv -f UTF-8 -t GBK >"$work/expected.ini"
cmp -s "$settings" "$work/expected.ini" && pass "the new file holds the default comment, AUTOLOAD=0 and RGB3" ||
  fail "the file's bytes are: $(od -An -c "$settings" 2>&1 | tr -s ' \n' ' ')"
check_ramp "saving leaves the ramp as it was" 20 -4 0

# Opened again, the panel shows slot 3 filled; that is the picture kept.
click_twips "$buttons_x" "$save_button_y"
import -window "$main_window" "$screenshot" && pass "screenshot saved as $screenshot" ||
  fail "no screenshot"
click_twips "$buttons_x" "$save_button_y"

"$probe" close "$main_window"
wait_for_exit "$program_pid"
check_ramp "closing puts the captured ramp back" 0 0 0

# The start-up preset is applied before the window first shows.
sed -i $'s/^AUTOLOAD=0\r$/AUTOLOAD=3\r/' "$settings"
start_program || { fail "the window appears with AUTOLOAD=3"; finish; }
ramp_is 20 -4 0 && pass "AUTOLOAD=3 applies slot 3 before the window shows" ||
  fail "AUTOLOAD=3 did not apply slot 3 by the time the window showed"

click_twips "$reset_x" "$reset_y"
check_ramp "reset applies (0, 0, 0)" 0 0 0
click_twips "$buttons_x" "$read_button_y"
click_twips "$slot_x" "$(slot_y 3)"
check_ramp "reading slot 3 applies (20, -4, 0)" 20 -4 0

"$probe" close "$main_window"
wait_for_exit "$program_pid"
[[ $exit_status == 0 ]] && pass "closing ends the program" || fail "closing ended with '$exit_status'"
check_ramp "closing puts the captured ramp back" 0 0 0

finish
