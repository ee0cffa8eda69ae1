#!/usr/bin/env bash
# Start-up time (until the window is mapped) and peak resident memory of
# kov-display beside a bare Qt window from the same toolchain, on a private
# Xorg dummy server, as medians over several alternating runs and as ratios.
#
# usage: bench/startup-qt.sh [BUILD_DIR] [RUNS]   (default build/linux, 10)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
runs=${2:-10}

if [[ ${KOV_ON_DUMMY_SERVER:-} != 1 ]]; then
  cmake --build "$build" --target kov-display kov-display-watcher bare_qt_window startup_probe >/dev/null
  # A desktop session always has a session bus. Without one, the first
  # caption's accessibility event makes Qt wait while libdbus looks for
  # dbus-launch, a cost no user pays and a bare window without text never sees.
  KOV_ON_DUMMY_SERVER=1 exec tests/xorg/with-xorg-dummy dbus-run-session -- "$0" "$build" "$runs"
fi
unset QT_QPA_PLATFORM

work=$(mktemp -d "${TMPDIR:-/tmp}/kov-startup.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The program runs from a folder of its own, with no settings file and with
# its watcher, and takes its instance lock in a runtime folder of its own.
mkdir -m 700 "$work/run" "$work/program"
cp "$build/app/qt/kov-display" "$build/app/qt/kov-display-watcher" "$work/program/"
export XDG_RUNTIME_DIR="$work/run"
probe="$build/bench/startup_probe"

# One unmeasured start of each warms the file cache; then they alternate.
"$probe" "$work/program/kov-display" >/dev/null
"$probe" "$build/bench/bare_qt_window" >/dev/null
for ((i = 0; i < runs; i++)); do
  "$probe" "$work/program/kov-display" >>"$work/program.txt"
  "$probe" "$build/bench/bare_qt_window" >>"$work/bare.txt"
done

median() {
  sed -n "s/.*$2=\([0-9.]*\).*/\1/p" "$work/$1.txt" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

program_ms=$(median program mapped_ms)
bare_ms=$(median bare mapped_ms)
program_kb=$(median program maxrss_kb)
bare_kb=$(median bare maxrss_kb)
# Other work on the machine slows both programs, not always alike: the load
# average tells how far to trust the ratio.
load=$(cut -d' ' -f1-3 /proc/loadavg)
awk -v pm="$program_ms" -v bm="$bare_ms" -v pk="$program_kb" -v bk="$bare_kb" -v n="$runs" -v load="$load" 'BEGIN {
  printf "medians of %d runs on Xorg dummy, load average %s\n", n, load
  printf "%-22s %12s %14s\n", "", "mapped (ms)", "peak RSS (KiB)"
  printf "%-22s %12.1f %14d\n", "kov-display", pm, pk
  printf "%-22s %12.1f %14d\n", "bare Qt window", bm, bk
  printf "%-22s %12.2f %14.2f\n", "ratio", pm / bm, pk / bk
}'
