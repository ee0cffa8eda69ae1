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

click_twips "$buttons_x" "$save_button_y"
click_twips "$slot_x" "$(slot_y 3)"
# A new file: its comment line, AUTOLOAD=0, then the saved slot; GBK text,
# CR LF after every line.
if [[ -f $settings ]]; then
  bytes=$(od -An -c "$settings" | tr -s ' \n' ' ')
  [[ $(head -c 1 "$settings") == ";" && $(head -n 1 "$settings") == *$'\r' ]] &&
    pass "the file starts with a comment line" || fail "no comment line first: $bytes"
  tail -n +2 "$settings" >"$work/after-comment"
  printf 'AUTOLOAD=0\r\nRGB3=20,-4,0\r\n' >"$work/expected-after-comment"
  cmp -s "$work/after-comment" "$work/expected-after-comment" &&
    pass "the file's bytes after the comment are AUTOLOAD=0, RGB3=20,-4,0 with CR LF" ||
    fail "the file's bytes are: $bytes"
  iconv -f GBK -t UTF-8 "$settings" >/dev/null && pass "the file is GBK text" || fail "not GBK: $bytes"
else
  fail "saving created no settings file"
fi
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
