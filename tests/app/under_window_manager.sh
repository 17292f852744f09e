#!/usr/bin/env bash
# Runs a window test on a virtual X screen of SIZE (WIDTHxHEIGHT) with a real
# window manager that draws a frame and a title bar, at the scale factor
# SCALE: under xcb, as a user's desktop shows the window.
#   under_window_manager.sh SIZE SCALE TEST [ARGS...]
set -euo pipefail
size=$1 scale=$2
shift 2
# The X server picks a free display and writes its number to the pipe.
coproc XVFB { Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp 2>/dev/null; }
read -r display <&"${XVFB[0]}"
export DISPLAY=":$display"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
cleanup() { kill "$wm" "$XVFB_PID" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT
# The window manager owns the screen once it has set its own hints.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.05
done
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$@"
