#!/usr/bin/env bash
# The pedal's controls in a real window, clicked through the X server. Run inside a private X
# server (xvfb-run). Usage: artwork-clicks.sh ARTSHEET SCALE SCREENSHOT
#
# Clicks a selector caption, drags the selector's knob, presses the foot switch, the A/B switch
# and the copy button, and ends the program with FILE; then checks what the controls reported.
set -euo pipefail

program=$1
scale=$2
screenshot=$3

mkdir -p "$(dirname "$screenshot")"
log=$(mktemp)
trap 'rm -f "$log"; kill "$pid" 2> /dev/null || true' EXIT

"$program" window "$scale" > "$log" &
pid=$!

source "$(dirname "$0")/../support/window-clicks.sh"
wait_for_window

click 140 345 && expect "overdriveType 0.75" "a click on the MODERN caption"
click 267 461 && expect "onBypass 0" "a click on the foot switch"
click 123 46 && expect "ab 1" "a click on the A/B switch"
click 200 42 && expect "copy 0" "a click on the copy button"

# Drag the selector's knob (centre 68, 374) up by 70 layout pixels: from MODERN to the end.
xdotool mousemove $(at 68 374) mousedown 1
sleep 0.1
xdotool mousemove $(at 68 340)
sleep 0.1
xdotool mousemove $(at 68 304) mouseup 1
expect "overdriveType 1" "a drag of the selector's knob"

screenshot "$screenshot"

click 35 16 && expect "file" "a click on FILE"
wait "$pid"

# Nothing else: no second report of a change, no change the clicks should not have made.
if [ "$(grep -vc '^window ' "$log")" -ne 6 ]; then
    echo "FAILED  the controls reported more than the six changes:"
    grep -v '^window ' "$log"
    exit 1
fi

echo "ok      every click reached its control (screenshot: $screenshot)"
