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
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/program" "$work/home" "$work/config" "$work/data" "$work/runtime" "$shots"
chmod 700 "$work/runtime"
cp "$app" "$work/program/pagewright"
cp "$(dirname "$app")/translate.dat" "$work/program/"
cp -r "$src/resources/samples" "$work/samples"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0 GTK_MODULES=
# The whole run is bounded: a window that never appears fails the test instead of hanging it.
timeout 240 xvfb-run -a -s "-screen 0 1280x800x24" \
  dbus-run-session -- /usr/bin/python3 "$src/tests/desktop/window.py" \
  "$work/program/pagewright" "$(dirname "$app")/pagewright-cli" "$work/samples" "$XDG_DATA_HOME/Pagewright" "$shots"
