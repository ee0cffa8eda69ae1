# Shared steps of the Qt end-to-end tests; sourced by e2e-*.sh, which run
# on a private Xorg dummy server (tests/xorg/with-xorg-dummy).
#
# The program runs from a fresh folder of its own, so no real settings file
# is touched, with its own runtime folder for the instance lock, and away
# from any Wayland compositor the caller runs in, whose gamma it would set.

set -euo pipefail
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

program_source=$1
probe=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/kov-e2e.XXXXXX")
mkdir -m 700 "$work/run" "$work/program"
cp "$program_source" "$(dirname "$program_source")/kov-display-watcher" "$work/program/"
program="$work/program/kov-display"
settings="$work/program/KOV调节设置.ini"
export XDG_RUNTIME_DIR="$work/run"

started_pids=()
cleanup() {
  kill -KILL "${started_pids[@]}" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
finish() {
  ((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }
  echo "all checks passed"
}

main_title='KOV调节显示器  V1.02   作者:Tavrin '

# A distinctive starting ramp on each output, so that "put back" cannot pass
# by accident: each channel curved differently, and each output differently.
# captured.ramp lists what every output then shows.
set_starting_ramp() {
  local k=0 name rest
  while read -r name rest; do
    xrandr --output "$name" --gamma "0.$((8 - k)):1.$((1 + k)):1.$((3 + k))"
    k=$((k + 1))
  done < <("$probe" outputs | grep -v '^vidmode ')
  "$probe" outputs | grep -v '^vidmode ' >"$work/captured.ramp"
}

# Every output of the listing (default captured.ramp) holds the table built
# from its captured one for offsets R G B; 0 0 0 give the captured table.
# With $compositor_log set, what an output holds is the last table that
# gamma-compositor printed for it, not the X server's.
ramp_is() {
  [[ -z ${compositor_log:-} ]] || awk '$1 == "gamma" { t[$2] = substr($0, 7) }
    END { for (n in t) print t[n] }' "$compositor_log" >"$work/shown.ramp"
  "$probe" expect "$1" "$2" "$3" "$work/${listing:-captured.ramp}" ${compositor_log:+"$work/shown.ramp"}
}

# Waits up to 5 s (or $tenths tenths of a second) for every output to hold
# the ramp for offsets R G B; the program sets it asynchronously to our
# reading.
check_ramp() {
  local what=$1
  shift
  for ((tries = 1; tries < ${tenths:-50}; tries++)); do
    ramp_is "$@" 2>/dev/null && { pass "$what"; return 0; }
    sleep 0.1
  done
  # Once more with the differences shown.
  ramp_is "$@" && pass "$what" || fail "$what"
}

# Starts the program with arguments $@; sets program_pid and main_window.
start_program() {
  "$program" "$@" &
  program_pid=$!
  started_pids+=("$program_pid")
  main_window=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$program_pid" --name 'V1\.02' | head -n 1)
  [[ -n $main_window ]]
}

# Waits up to 10 s for process $1, started by this shell, to end; sets
# exit_status to its exit status, or to "timeout".
wait_for_exit() {
  exit_status=timeout
  for ((tries = 0; tries < 100; tries++)); do
    kill -0 "$1" 2>/dev/null || { exit_status=0; wait "$1" || exit_status=$?; return 0; }
    sleep 0.1
  done
}

# A click at client coordinates given in twips, as the layout table gives
# them (15 twips to the pixel at 96 DPI).
click_twips() {
  local x=$(($1 / 15)) y=$(($2 / 15)) count=${3:-1}
  xdotool mousemove --window "$main_window" "$x" "$y" click --repeat "$count" --delay 60 1
  sleep 0.2
}

# Places of the controls the tests click, from the layout table: Frame1 at
# (120, 480) holds the sliders, whose arrows are clicked 75 twips (5 px)
# inside their ends; Frame2 at (5520, 1440) holds the slot labels.
slider_x() { echo $((120 + $1 + 187)); }
slider_up_y=$((480 + 720 + 75))
slider_down_y=$((480 + 720 + 2415 - 75))
all_x=$(slider_x 600)
red_x=$(slider_x 2160)
green_x=$(slider_x 3120)
blue_x=$(slider_x 4080)
reset_x=$((120 + 1200 + 307))
reset_y=$((480 + 360 + 127))
buttons_x=$((5520 + 667))
save_button_y=$((600 + 180))
read_button_y=$((960 + 200))
slot_x=$((5520 + 240 + 427))
slot_y() { echo $((1440 + 480 + 360 * ($1 - 1) + 187)); }
