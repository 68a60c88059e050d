#!/usr/bin/env bash
# Starts the window program under a virtual X server and a private D-Bus session with
# accessibility on, and drives it through AT-SPI as a user would (window.py).
#   run.sh PAGEWRIGHT SOURCE_DIR SCREENSHOT_DIR
# pagewright-cli, beside PAGEWRIGHT, reads back what the window saved.
# Everything the program writes (options, recovery copy, options.dat) goes to a temporary
# folder; the program runs from a copy beside its translations there.
set -euo pipefail
app=$1
src=$2
shots=$3
work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/program" "$work/home" "$work/config" "$work/data" "$work/runtime" "$shots"
chmod 700 "$work/runtime"
cp "$app" "$work/program/pagewright"
cp "$(dirname "$app")/translate.dat" "$work/program/"
cp -r "$src/resources/samples" "$work/samples"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0 GTK_MODULES=
# A virtual X server on a display of its own choosing: it writes the display number once it
# accepts connections, so the program never starts before the server is there, and two
# runs at once never pick the same display.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb gave no display within 30 s" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$work/display")

# The whole run is bounded: a window that never appears fails the test instead of hanging it.
timeout 240 dbus-run-session -- /usr/bin/python3 "$src/tests/desktop/window.py" \
  "$work/program/pagewright" "$(dirname "$app")/pagewright-cli" "$work/samples" "$XDG_DATA_HOME/Pagewright" "$shots"
