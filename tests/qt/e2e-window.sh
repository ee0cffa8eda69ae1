#!/usr/bin/env bash
# The real program on a real X server: window title and size, sliders to
# screen ramp, the ramp put back on close, on stop signals and after a kill,
# and the second start refused with its notice.
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

# Killed, the program leaves the restore to its watcher, a windowless child
# holding no lock or other file; killed with its watcher, to the next start.
for killed in program both; do
  start_program || fail "the window appears before the kill"
  click_twips "$red_x" "$slider_down_y" 2
  check_ramp "red two steps down before the kill" -4 0 0
  [[ $killed == program ]] || kill -KILL "$(pgrep -P "$program_pid")"
  kill -KILL "$program_pid"
  wait_for_exit "$program_pid"
  [[ $killed == both ]] || tenths=10 check_ramp "the watcher puts the ramp back within a second" 0 0 0
done
start_program || fail "the window appears after the kills"
watcher=$(pgrep -P "$program_pid" || true)
[[ -n $watcher && -z $(xdotool search --all --pid "$watcher") ]] &&
  [[ $(ls "/proc/$watcher/fd" | tr '\n' ' ') == "0 1 2 " ]] && pass "a watcher with no window or file" ||
  fail "the watcher is missing, has a window or holds files beyond its standard three"
click_twips "$reset_x" "$reset_y"
check_ramp "after both were killed, the next start and 复位 give the captured ramp" 0 0 0
"$probe" close "$main_window"
wait_for_exit "$program_pid"
sleep 0.5
[[ $(ps -o stat= -p "$watcher") != [^Z]* ]] && pass "after a close the watcher ends" ||
  fail "the watcher lives on after a close"

finish
