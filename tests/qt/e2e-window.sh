#!/usr/bin/env bash
# The real program on a real X server: window title and size, sliders to
# screen ramp, the ramp put back on close and on stop signals, and the
# second start refused with its notice.
#
# usage: e2e-window.sh KOV_DISPLAY X11_PROBE   (run under with-xorg-dummy)
source "$(dirname "$0")/e2e-lib.sh"

set_starting_ramp

start_program || { fail "the window appears"; finish; }
title=$(xdotool getwindowname "$main_window")
[[ $title == "$main_title" ]] && pass "window title" || fail "window title is '$title'"
eval "$(xdotool getwindowgeometry --shell "$main_window")"
[[ $WIDTH == 473 && $HEIGHT == 303 ]] && pass "client size 473x303" ||
  fail "client size is ${WIDTH}x${HEIGHT}"
check_ramp "starting leaves the ramp alone" 0 0 0

click_twips "$red_x" "$slider_down_y"
check_ramp "red lower arrow applies (-2, 0, 0)" -2 0 0

click_twips "$all_x" "$slider_down_y" 2
check_ramp "all-channels slider moves all three to (-4, -4, -4)" -4 -4 -4

# A second start: the notice, no window of its own, the ramp left alone;
# it ends after OK, or on a stop signal while the notice shows.
for answer in OK TERM; do
  "$program" &
  second_pid=$!
  started_pids+=("$second_pid")
  notice=$(timeout 20 xdotool search --sync --onlyvisible --pid "$second_pid" | head -n 1)
  if [[ -z $notice ]]; then
    fail "the second start shows a notice"
    continue
  fi
  notice_title=$(xdotool getwindowname "$notice")
  [[ $notice_title == "KOV调节显示器" ]] && pass "notice title" ||
    fail "notice title is '$notice_title'"
  [[ -z $(xdotool search --all --onlyvisible --pid "$second_pid" --name 'V1\.02') ]] &&
    pass "the second start shows no main window" || fail "the second start shows its window"
  check_ramp "the second start leaves the ramp alone" -4 -4 -4
  if [[ $answer == OK ]]; then
    xdotool windowfocus --sync "$notice" key Return
  else
    kill -TERM "$second_pid"
  fi
  wait_for_exit "$second_pid"
  [[ $exit_status == 0 ]] && pass "the second start ends after $answer" ||
    fail "the second start ended after $answer with '$exit_status'"
done
check_ramp "the ramp is untouched after the refused start" -4 -4 -4
[[ ! -e $settings ]] && pass "no settings file written" || fail "a settings file appeared"

"$probe" close "$main_window"
wait_for_exit "$program_pid"
[[ $exit_status == 0 ]] && pass "closing ends the program" ||
  fail "closing ended with '$exit_status'"
check_ramp "closing puts the captured ramp back" 0 0 0

for signal in TERM INT HUP; do
  start_program || { fail "the window appears again"; continue; }
  click_twips "$blue_x" "$slider_up_y" 3
  check_ramp "blue upper arrow x3 applies (0, 0, 6)" 0 0 6
  kill "-$signal" "$program_pid"
  wait_for_exit "$program_pid"
  [[ $exit_status == 0 ]] && pass "SIG$signal ends the program normally" ||
    fail "SIG$signal ended it with '$exit_status'"
  check_ramp "SIG$signal puts the captured ramp back" 0 0 0
done

finish
