#!/usr/bin/env bash
# The command line and the global keys of the real program on a real X
# server: a start on a slot, requests handed to the running program, wrong
# arguments, and HOTKEY keys pressed while another window has the focus.
#
# usage: e2e-cli.sh KOV_DISPLAY X11_PROBE   (under with-xorg-dummy)
source "$(dirname "$0")/e2e-lib.sh"

printf 'AUTOLOAD=0\r\nRGB3=20,-4,0\r\nHOTKEY3=Ctrl+Alt+3\r\nHOTKEY0=ctrl+alt+0\r\n' >"$settings"
set_starting_ramp
windows() { xdotool search --all --onlyvisible --name 'V1\.02' | wc -l; }

start_program --preset 3 || { fail "the window appears with --preset 3"; finish; }
check_ramp "--preset 3 with none running starts on slot 3" 20 -4 0

hand_over() {
  status=0
  timeout 20 "$program" "$@" 2>"$work/stderr" || status=$?
}
hand_over --reset
[[ $status == 0 && ! -s $work/stderr ]] && pass "--reset ends with status 0 and says nothing" ||
  fail "--reset ended with $status: $(cat "$work/stderr")"
check_ramp "--reset resets the running program" 0 0 0
hand_over --preset 3
[[ $status == 0 ]] && pass "--preset 3 ends with status 0" || fail "--preset 3 ended with $status"
check_ramp "--preset 3 reads slot 3 in the running program" 20 -4 0
[[ $(windows) == 1 ]] && pass "no new window" || fail "$(windows) windows"

for arguments in "--preset 9" "--preset x" "--preset" "--bogus"; do
  # shellcheck disable=SC2086  # split into words on purpose
  hand_over $arguments
  [[ $status == 2 ]] && grep -q -- '--preset N' "$work/stderr" && pass "'$arguments': status 2 and the forms" ||
    fail "'$arguments' ended with $status: $(cat "$work/stderr")"
done
ramp_is 20 -4 0 && kill -0 "$program_pid" && pass "the running program is untouched" ||
  fail "wrong arguments changed the running program"

# Another window takes the focus; xdotool presses the keys through XTEST,
# as a keyboard would.
xlogo &
started_pids+=($!)
other=$(timeout 20 xdotool search --sync --onlyvisible --name xlogo | head -n 1)
timeout 10 xdotool windowfocus --sync "$other"
xdotool key ctrl+alt+0
check_ramp "HOTKEY0 resets while another window has the focus" 0 0 0
xdotool key Num_Lock ctrl+alt+3 Num_Lock
check_ramp "HOTKEY3 reads slot 3 while another window has the focus, Num Lock on" 20 -4 0
[[ $(xdotool getwindowfocus) == "$other" ]] && pass "the focus stayed on the other window" ||
  fail "the focus moved"

# A second program, on a lock of its own, finds the keys taken and says so once each.
mkdir -m 700 "$work/run2"
XDG_RUNTIME_DIR=$work/run2 "$program" 2>"$work/second" &
started_pids+=($!)
second=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$!" --name 'V1\.02' | head -n 1)
"$probe" close "$second"
wait_for_exit "${started_pids[-1]}"
[[ $(grep -c 'is held by another program' "$work/second") == 2 ]] &&
  pass "keys held by another program are skipped and said once" || fail "said: $(cat "$work/second")"

"$probe" close "$main_window"
wait_for_exit "$program_pid"
[[ $exit_status == 0 ]] && pass "closing ends the program" || fail "closing ended with '$exit_status'"
finish
