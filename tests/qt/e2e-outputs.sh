#!/usr/bin/env bash
# Two outputs with ramps of their own: a slider step darkens each on its own
# ramp, closing puts each back exactly, and an output switched on while the
# program runs carries the offsets on its own ramp within a second.
#
# usage: e2e-outputs.sh KOV_DISPLAY X11_PROBE   (run under with-xorg-dummy)
source "$(dirname "$0")/e2e-lib.sh"

second_on="--output DUMMY1 --mode kov800 --right-of DUMMY0"
xrandr --newmode kov800 40 800 840 968 1056 600 601 605 628 +hsync +vsync
xrandr --addmode DUMMY1 kov800
xrandr $second_on
set_starting_ramp

start_program || { fail "the window appears"; finish; }
click_twips "$red_x" "$slider_down_y"
check_ramp "a red step darkens each output on its own ramp" -2 0 0
"$probe" close "$main_window"
wait_for_exit "$program_pid"
check_ramp "closing puts each output's own ramp back" 0 0 0

# Switched off, DUMMY1 keeps its ramp; switched on later, that is its own.
xrandr --output DUMMY1 --off
start_program || { fail "the window appears with one output"; finish; }
click_twips "$all_x" "$slider_down_y"
grep '^DUMMY0 ' "$work/captured.ramp" >"$work/first.ramp"
listing=first.ramp check_ramp "a step with one output on" -2 -2 -2
xrandr $second_on
tenths=10 check_ramp "the output switched on carries the offsets within a second" -2 -2 -2
"$probe" close "$main_window"
wait_for_exit "$program_pid"
check_ramp "closing puts both ramps back" 0 0 0

finish
