#!/usr/bin/env bash
# The program on Wayland, its window on X. Under with-xorg-dummy, against
# gamma-compositor: a step gives each output the table built on the identity
# at its own size, an output added later follows, and close and SIGKILL both
# leave no control held. With "notice", under weston with XWayland and under
# headless sway: the notice shows once, then the window, which keeps presets.
#
# usage: e2e-wayland.sh KOV_DISPLAY X11_PROBE GAMMA_COMPOSITOR [notice]
source "$(dirname "$0")/e2e-lib.sh"
source "$(dirname "$0")/../wayland/headless-desktops.sh"
trap 'stop_desktop; cleanup' EXIT

log="$work/compositor.log"
# Waits up to 5 s for the compositor to have printed $1 lines starting with $2.
logged() { timeout 5 bash -c "until [[ \$(grep -c '^$2' '$log') == $1 ]]; do sleep 0.1; done"; }

close_program() {
  "$probe" close "$main_window"
  wait_for_exit "$program_pid"
  [[ $exit_status == 0 ]] && pass "$1: closing ends the program" || fail "$1: closing: $exit_status"
}

success_path() {
  "$3" kov-gamma WL-A 256 WL-B 1024 WL-C 0 +WL-D 512 >"$log" 2>&1 &
  started_pids+=("$!")
  export WAYLAND_DISPLAY=kov-gamma compositor_log=$log
  logged 1 ready || { fail "the compositor starts"; return; }
  printf 'WL-A 256\nWL-B 1024\n' >"$work/wayland.ramp"
  start_program || { fail "the window appears"; return; }
  logged 2 'control WL-[AB]' && logged 1 'failed WL-C' &&
    pass "a control per output, WL-C refused" || fail "controls: $(grep -v gamma "$log")"
  click_twips "$red_x" "$slider_down_y"
  listing=wayland.ramp check_ramp "a red step, each output at its size" -2 0 0
  kill -USR1 "${started_pids[0]}"
  echo "WL-D 512" >>"$work/wayland.ramp"
  tenths=10 listing=wayland.ramp check_ramp "an added output gets the offsets" -2 0 0
  close_program wayland
  logged 3 destroyed && pass "close leaves no control live" || fail "close: $(grep -v gamma "$log")"

  start_program || { fail "the window appears again"; return; }
  click_twips "$blue_x" "$slider_up_y"
  kill -KILL "$program_pid"
  wait_for_exit "$program_pid"
  logged 6 control && logged 6 destroyed && pass "after SIGKILL no control is live" ||
    fail "SIGKILL: $(grep -v gamma "$log")"

  start_program || { fail "the window appears a third time"; return; }
  kill -KILL "${started_pids[0]}"
  click_twips "$green_x" "$slider_down_y"
  close_program "the compositor gone"
}

# Starts the program on the desktop running: the notice, then the window.
notice_then_window() {
  local desktop=$1 notice
  "$program" &
  program_pid=$!
  started_pids+=("$program_pid")
  notice=$(timeout 20 xdotool search --sync --onlyvisible --pid "$program_pid" | head -n 1)
  [[ -n $notice && $(xdotool getwindowname "$notice") == KOV调节显示器 ]] &&
    pass "$desktop: the notice" || fail "$desktop: no notice"
  # Closed by its close box: the desktop's keyboard focus may not reach it.
  "$probe" close "$notice"
  main_window=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$program_pid" \
    --name 'V1\.02')
  [[ -n $main_window && $(xdotool search --onlyvisible --pid "$program_pid" | wc -l) == 1 ]] &&
    pass "$desktop: then the window alone" || fail "$desktop: windows '$main_window'"
}

# XWayland 22 on headless weston aborts on a pointer motion from XTEST, so
# there the presets are tried by the start-up preset, which XWAYLAND0's
# table shows; under sway a preset is saved through the panel.
notices() {
  start_weston_xwayland || { fail "weston starts"; return; }
  "$probe" outputs | grep '^XWAYLAND' >"$work/captured.ramp"
  printf 'AUTOLOAD=2\r\nRGB2=-4,0,0\r\n' >"$settings"
  notice_then_window weston
  check_ramp "weston: the start-up preset is read" -4 0 0
  close_program weston
  stop_desktop
  rm "$settings"
  start_sway_headless || { fail "sway starts"; return; }
  notice_then_window sway
  click_twips "$red_x" "$slider_down_y" 2
  click_twips "$buttons_x" "$save_button_y"
  click_twips "$slot_x" "$(slot_y 2)"
  grep -q 'RGB2=-4,0,0' "$settings" && pass "sway: a preset is saved" || fail "sway: no preset saved"
  close_program sway
}

if [[ ${4:-} == notice ]]; then notices; else success_path "$@"; fi
finish
