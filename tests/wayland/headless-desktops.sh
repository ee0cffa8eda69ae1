# Headless Wayland desktops for the end-to-end tests; source this file, as
# root. Each start function starts one desktop in the background, waits until
# it answers, and exports WAYLAND_DISPLAY (the absolute path of its socket, so
# the caller keeps its own XDG_RUNTIME_DIR) and DISPLAY (its XWayland).
# stop_desktop ends it; call it on every way out. One desktop at a time.
#
#   start_weston_xwayland  Debian's weston 10 on its headless backend, with
#                          XWayland. weston offers no gamma control protocol.
#                          XWayland's RandR output is XWAYLAND0; it reports a
#                          256-entry gamma table (not the identity at first)
#                          and takes every write, which changes nothing shown.
#   start_sway_headless    Debian's sway 1.7 (wlroots 0.15) on its headless
#                          backend with one output, HEADLESS-1. sway refuses
#                          root, so it runs as the user nobody. It offers
#                          zwlr_gamma_control_manager_v1 and answers every
#                          get_gamma_control on a headless output with failed.
#                          Its XWayland (output XWAYLAND0 as well) would refuse
#                          root's programs; the start lets root in.

desktop_pid="" desktop_dir=""

# Waits up to 20 s for the desktop to pass the test "$@".
wait_for_desktop() {
  for _ in {1..200}; do
    "$@" && return 0
    kill -0 "$desktop_pid" 2>/dev/null || break
    sleep 0.1
  done
  { echo "the desktop did not start; the end of its log:" && tail -n 20 "$desktop_dir/log"; } >&2
  return 1
}

# setsid keeps Ctrl-C at a terminal from ending the desktop before the
# program under test has closed; it execs in place, so $! is the desktop.
start_weston_xwayland() {
  desktop_dir=$(mktemp -d "${TMPDIR:-/tmp}/kov-weston.XXXXXX")
  XDG_RUNTIME_DIR=$desktop_dir setsid weston --backend=headless-backend.so --xwayland \
    --no-config --idle-time=0 --socket=weston --log="$desktop_dir/log" \
    </dev/null >/dev/null 2>&1 &
  desktop_pid=$!
  wait_for_desktop test -S "$desktop_dir/weston" || return 1
  wait_for_desktop grep -qs 'xserver listening on display' "$desktop_dir/log" || return 1
  export WAYLAND_DISPLAY="$desktop_dir/weston"
  DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$desktop_dir/log")
  export DISPLAY
}

# sway runs its configuration's exec lines once it listens, with
# WAYLAND_DISPLAY and DISPLAY set; the one here admits root to its XWayland
# (started by that first X client) and then says where both are.
start_sway_headless() {
  desktop_dir=$(mktemp -d "${TMPDIR:-/tmp}/kov-sway.XXXXXX")
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
  local socket display
  read -r socket display <"$desktop_dir/ready"
  export WAYLAND_DISPLAY="$desktop_dir/$socket" DISPLAY="$display"
}

stop_desktop() {
  [[ -n $desktop_pid ]] || return 0
  kill -TERM "$desktop_pid" 2>/dev/null || true
  timeout 5 tail --pid="$desktop_pid" -s 0.1 -f /dev/null || kill -KILL "$desktop_pid" 2>/dev/null || true
  wait "$desktop_pid" 2>/dev/null || true
  rm -rf "$desktop_dir"
  desktop_pid="" desktop_dir=""
}
