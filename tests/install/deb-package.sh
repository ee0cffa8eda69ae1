#!/usr/bin/env bash
# deb-package.sh CPACK_CONFIG VERSION, run on an X server (with-xorg-dummy):
# makes the Debian package of this build tree, has lintian check it (no error,
# no warning), unpacks it into a throwaway root, and checks its name, its
# Depends, its files, and that the installed program shows its window with
# nothing pointing it at the build's libraries.
set -euo pipefail
unset LD_LIBRARY_PATH QT_QPA_PLATFORM
cpack_config=$1 version=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/kov-deb.XXXXXX")
program_pid=""
trap '[[ -z $program_pid ]] || kill -KILL "$program_pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$cpack_config" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
deb="$work/out/kov-display_${version}_$(dpkg --print-architecture).deb"
[[ -f $deb ]] || { ls "$work/out" >&2; fail "no $(basename "$deb")"; exit 1; }
lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings in the package"
dpkg -x "$deb" "$work/root"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
  [[ " $depends," == *" $library"[\ ,]* ]] || fail "Depends does not name $library: $depends"
done
[[ $depends == *"fonts-wqy-zenhei"* ]] || fail "Depends names no Chinese font: $depends"

id=com.example.KovDisplay
for file in bin/kov-display bin/kov-display-watcher share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/man/man1/kov-display{,-watcher}.1.gz share/doc/kov-display/{copyright,changelog.Debian.gz} share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
  [[ -f $work/root/usr/$file ]] || fail "the package lacks /usr/$file"
done

mkdir -m 700 "$work/run"
XDG_RUNTIME_DIR="$work/run" "$work/root/usr/bin/kov-display" &
program_pid=$!
timeout 20 xdotool search --sync --all --onlyvisible --pid "$program_pid" --name 'V1\.02' >/dev/null ||
  fail "the installed program showed no window"
kill -TERM "$program_pid"
wait "$program_pid" || fail "the installed program ended with status $?"
program_pid=""

((failures == 0)) || exit 1
echo "the package installs a program that starts"
