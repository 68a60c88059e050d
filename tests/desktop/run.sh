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
# A virtual X server on a display of our own. Each try takes a display number at random from
# a wide range, so two runs at once rarely meet; -displayfd says when the server accepts
# connections, and xdisplay.py then checks that a client reaches this server and not another
# one with the same number (see there). The server never resets (a reset after the check's
# connection closes would drop it for a moment) and takes any local client: it is our own.
start_xvfb() {
  local display=$1
  : >"$work/display"
  Xvfb ":$display" -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset -ac 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 300); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { xvfb=; return 1; }
    sleep 0.1
  done
  if [ -s "$work/display" ] && python3 "$src/tests/desktop/xdisplay.py" "$display"; then
    return 0
  fi
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  xvfb=
  return 1
}
display=
for _ in 1 2 3 4 5 6 7 8; do
  candidate=$((200 + RANDOM % 30000))
  [ -e "/tmp/.X$candidate-lock" ] && continue
  if start_xvfb "$candidate"; then
    display=$candidate
    break
  fi
  echo "no usable X server on display :$candidate, trying another" >&2
  cat "$work/xvfb.log" >&2 || true
done
[ -n "$display" ] || { echo "Xvfb: no usable display after 8 tries" >&2; exit 1; }
export DISPLAY=:$display PW_XVFB_LOG=$work/xvfb.log

# The whole run is bounded: a window that never appears fails the test instead of hanging it.
timeout 240 dbus-run-session -- /usr/bin/python3 "$src/tests/desktop/window.py" \
  "$work/program/pagewright" "$(dirname "$app")/pagewright-cli" "$work/samples" "$XDG_DATA_HOME/Pagewright" "$shots"
