# shellcheck shell=bash disable=SC2034,SC2154  # the driver's variables
# The Qt program on Wayland, its window on X; scenarios of tests/e2e/driver.
#
# wayland, under with-xorg-dummy, against gamma-compositor (tests/tools): a
# step gives each output the table built on the identity at its own size (2
# to 65536 levels; one of 1 or 65537 is let go at once), an output added later
# follows, and close and SIGKILL leave no control held.
# desktops, run as root without with-xorg-dummy: under weston with XWayland
# and under headless sway, the notice shows once, then the window, which
# keeps presets.
#
# weston 10 offers no gamma control protocol; its XWayland output XWAYLAND0
# takes every table written, which changes nothing shown. sway 1.7 refuses
# root, so it runs as nobody; it answers every gamma control on a headless
# output with failed, and its XWayland admits root at the start.

log=$work/compositor.log
# Waits up to 5 s for the compositor to have printed $1 lines starting with $2.
logged() { within 50 eval "[[ \$(grep -c '^$2' '$log') == $1 ]]" || { grep -v '^gamma' "$log" >&2 && false; }; }

scenario_wayland() {
  "$tools/gamma-compositor" kov-gamma WL-A 2 WL-B 65536 WL-C 0 WL-E 1 WL-F 65537 +WL-D 1024 >"$log" 2>&1 &
  local compositor=$!; pids+=("$compositor")
  export WAYLAND_DISPLAY=kov-gamma compositor_log=$log
  logged 1 ready || { fail "the compositor starts"; return; }
  printf 'WL-A 2\nWL-B 65536\n' >"$work/wayland.ramp"
  start_program
  check "a control per output, WL-C refused, WL-E and WL-F let go" \
    "logged 4 'control WL-[ABEF]' && logged 1 'failed WL-C' && logged 2 'destroyed WL-[EF]'"
  click "$red" down
  listing=wayland.ramp ramp -2 0 0 "a red step, each output at its size"
  kill -USR1 "$compositor"
  echo "WL-D 1024" >>"$work/wayland.ramp"
  tenths=10 listing=wayland.ramp ramp -2 0 0 "an added output gets the offsets"
  close_program
  check "close leaves no control live" "logged 5 destroyed"
  start_program; click "$blue" up; killed
  check "after SIGKILL no control is live" "logged 10 control && logged 10 destroyed"
  start_program; kill -KILL "$compositor"; click "$green" down
  close_program
}

# Waits up to 20 s for the desktop to pass the test "$@".
wait_for_desktop() {
  within 200 "$@" || { echo "the desktop did not start:" && tail -n 20 "$desktop_dir/log" && false; } >&2
}

# Each start exports WAYLAND_DISPLAY (the socket's absolute path, so the
# program keeps its own runtime folder) and DISPLAY (the desktop's XWayland).
# setsid keeps Ctrl-C at a terminal from ending the desktop before the
# program has closed; it execs in place, so $! is the desktop.
start_weston() {
  XDG_RUNTIME_DIR=$desktop_dir setsid weston --backend=headless-backend.so --xwayland \
    --no-config --idle-time=0 --socket=weston --log="$desktop_dir/log" </dev/null >/dev/null 2>&1 &
  desktop_pid=$!
  wait_for_desktop grep -qs 'xserver listening on display' "$desktop_dir/log" || return 1
  export WAYLAND_DISPLAY="$desktop_dir/weston"
  DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$desktop_dir/log")
}

# sway runs its configuration's exec line once it listens: it admits root to
# XWayland (started by that first X client) and says where both are.
start_sway() {
  chown nobody:nogroup "$desktop_dir"
  # shellcheck disable=SC2016  # expanded by sway's shell, not this one
  echo 'exec xhost +si:localuser:root && echo "$WAYLAND_DISPLAY $DISPLAY" >"$XDG_RUNTIME_DIR/ready"' \
    >"$desktop_dir/config"
  env -i PATH="$PATH" HOME="$desktop_dir" XDG_RUNTIME_DIR="$desktop_dir" \
    WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    setsid setpriv --reuid=nobody --regid=nogroup --clear-groups \
    sway --config "$desktop_dir/config" </dev/null >"$desktop_dir/log" 2>&1 &
  desktop_pid=$!
  wait_for_desktop test -s "$desktop_dir/ready" || return 1
  local socket
  read -r socket DISPLAY <"$desktop_dir/ready"
  export WAYLAND_DISPLAY="$desktop_dir/$socket"
}

desktop_pid=""
stop_desktop() {
  [[ -n $desktop_pid ]] || return 0
  { kill -TERM "$desktop_pid" && { timeout 5 tail --pid="$desktop_pid" -f /dev/null ||
    kill -KILL "$desktop_pid"; } && wait "$desktop_pid"; } 2>/dev/null || true
  rm -rf "$desktop_dir"
  desktop_pid=""
}

# Starts the program on desktop $1 and closes the notice by its close box
# (the desktop's keyboard focus may not reach it); then the window shows.
notice_then_window() {
  desktop_dir=$(mktemp -d "${TMPDIR:-/tmp}/kov-desktop.XXXXXX")
  "$1" || { fail "$1"; return 1; }
  export DISPLAY
  "$probe" outputs | grep '^XWAYLAND' >"$work/captured.ramp"
  launch; program_pid=$!
  notice=$(find_window "$title")
  check "$1: the notice" '[[ -n $notice ]]'
  "$probe" close "$notice"
  window=$(find_window "$caption")
  check "$1: then the window alone" '[[ -n $window && $(xdotool search --onlyvisible --pid $program_pid | wc -l) == 1 ]]'
}

# XWayland 22 on headless weston aborts on a pointer motion from XTEST, so
# there the presets are tried by the start-up preset, which XWAYLAND0's
# table shows; under sway a preset is saved through the panel.
scenario_desktops() {
  printf 'AUTOLOAD=2\r\nRGB2=-4,0,0\r\n' >"$settings"
  notice_then_window start_weston || return 0
  ramp -4 0 0 "weston: the start-up preset is read"
  close_program; stop_desktop; rm "$settings"
  notice_then_window start_sway || return 0
  click "$red" down 2
  save_in 2
  same "sway: a preset is saved" "$(settings_slots)" "RGB2=-4,0,0 "
  close_program
}
