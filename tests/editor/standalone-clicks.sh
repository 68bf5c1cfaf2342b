#!/usr/bin/env bash
# The Standalone app's real window, clicked through the X server. Run inside a private X server
# (xvfb-run). Usage: standalone-clicks.sh APP SCREENSHOT_FOLDER
#
# Opens the app with a home folder of its own, finds the pedal in its window, clicks the foot
# switch, the MODERN caption of the selector and the A/B switch, and checks on screenshots that
# each click changed what it should: the foot switch's light, the lit dot of the selector, the
# A/B switch and the copy button's direction; then opens and closes the about screen and the
# FILE menu.
set -euo pipefail

app=$1
shots=$2
scale=1
mkdir -p "$shots"

home=$(mktemp -d)
trap 'kill "$pid" 2> /dev/null || true; rm -rf "$home"' EXIT

HOME="$home" "$app" > "$home/app.log" 2>&1 &
pid=$!

source "$(dirname "$0")/../support/window-clicks.sh"

# The app's window; the pedal fills it below the title bar (and any notice bar) with an equal
# border on the left, right and bottom.
window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^Vardeko QX2710$' 2> /dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAILED  the app's window did not open"; cat "$home/app.log"; exit 1; }
# Under load the window may be mapped before it has its final size and place: wait until two
# readings a moment apart agree and the pedal fits.
last=""
for _ in $(seq 50); do
    sleep 0.3
    geometry=$(xdotool getwindowgeometry --shell "$window" 2> /dev/null || true)
    eval "$geometry"
    if [ -n "$geometry" ] && [ "$geometry" = "$last" ] && [ "${WIDTH:-0}" -ge 325 ] && [ "${HEIGHT:-0}" -ge 500 ] \
        && [ "${X:--1}" -ge 0 ] && [ "${Y:--1}" -ge 0 ]; then
        break
    fi
    last=$geometry
done
sleep 0.5
border=$(( (WIDTH - 325) / 2 ))
x=$(( X + border ))
y=$(( Y + HEIGHT - 500 - border ))

# The colour of a point of the pedal on a screenshot, as "R G B" (0..255).
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | awk 'NR == 2 { gsub(/[()]/, "", $2); split($2, c, ","); print int(c[1]), int(c[2]), int(c[3]) }'
}

is_lit_red() {
    read -r r g b <<< "$(pixel "$1" "$2" "$3")"
    # A lit lamp is bright red to pink at its centre; an unlit one dark red.
    [ "$r" -gt 200 ] && [ $((r - b)) -gt 80 ]
}

# Whether two screenshots differ in a region of the pedal (x y w h).
region_differs() {
    local diff
    convert "$1" -crop "$5x$6+$3+$4" +repage "$home/a.png"
    convert "$2" -crop "$5x$6+$3+$4" +repage "$home/b.png"
    diff=$(compare -metric AE -fuzz 5% "$home/a.png" "$home/b.png" null: 2>&1 || true)
    [ "${diff%% *}" -gt 20 ]
}

check() {
    if eval "$1"; then
        echo "ok      $2"
    else
        echo "FAILED  $2"
        failures=$((failures + 1))
    fi
}

failures=0
screenshot "$shots/standalone-1-opened.png"
before="$shots/standalone-1-opened.png"

check "[ \"\$(identify -format '%wx%h' \"$before\")\" = 325x500 ]" "the pedal is 325 x 500"
check "is_lit_red \"$before\" 267 414" "the effect starts switched on (light lit)"
check "is_lit_red \"$before\" 67 330" "the selector starts at BLUES"

click 267 461
sleep 0.3
screenshot "$shots/standalone-2-switched-off.png"
check "! is_lit_red \"$shots/standalone-2-switched-off.png\" 267 414" "the foot switch turned the light off"

click 140 345
sleep 0.3
screenshot "$shots/standalone-3-modern.png"
check "is_lit_red \"$shots/standalone-3-modern.png\" 108 357 && ! is_lit_red \"$shots/standalone-3-modern.png\" 67 330" "a click on MODERN moved the selector there"

click 123 46
sleep 0.3
screenshot "$shots/standalone-4-channel-b.png"
check "region_differs \"$shots/standalone-3-modern.png\" \"$shots/standalone-4-channel-b.png\" 92 35 62 23" "the A/B switch moved to B"
check "region_differs \"$shots/standalone-3-modern.png\" \"$shots/standalone-4-channel-b.png\" 163 30 75 25" "the copy button now copies B into A"

# Channel B holds the defaults: the effect is on and the selector at BLUES again.
check "is_lit_red \"$shots/standalone-4-channel-b.png\" 267 414 && is_lit_red \"$shots/standalone-4-channel-b.png\" 67 330" "channel B brought its own settings"

# The logo opens the about screen; a click on it closes it again.
click 60 450
screenshot "$shots/standalone-5-about.png"
check "region_differs \"$shots/standalone-4-channel-b.png\" \"$shots/standalone-5-about.png\" 0 300 325 100" "the logo opened the about screen"
click 160 300
screenshot "$shots/standalone-6-about-closed.png"
check "! region_differs \"$shots/standalone-4-channel-b.png\" \"$shots/standalone-6-about-closed.png\" 0 60 325 440" "a click closed the about screen"

# FILE opens its menu over the pedal (kept as a picture); Escape closes it.
click 35 16
sleep 0.5
screenshot "$shots/standalone-7-file-menu.png"
check "region_differs \"$shots/standalone-6-about-closed.png\" \"$shots/standalone-7-file-menu.png\" 6 29 150 80" "FILE opened its menu"
xdotool key Escape
sleep 0.3

# The keyboard. A click on the bare pedal gives the window the focus (and no control); Shift+Tab
# goes round to the foot switch, whose ring shows; Down and Up switch the effect off and on;
# Shift+Tab again to the selector, where End picks PRO. A click takes the ring away.
screenshot "$shots/standalone-8-before-keys.png"
click 160 150
xdotool key shift+Tab
sleep 0.3
screenshot "$shots/standalone-9-focus-on-foot-switch.png"
check "region_differs \"$shots/standalone-8-before-keys.png\" \"$shots/standalone-9-focus-on-foot-switch.png\" 230 425 74 74" "Shift+Tab showed the ring around the foot switch"
check "is_lit_red \"$shots/standalone-9-focus-on-foot-switch.png\" 267 414" "the effect is still on"
xdotool key Down
sleep 0.3
screenshot "$shots/standalone-10-keyed-off.png"
check "! is_lit_red \"$shots/standalone-10-keyed-off.png\" 267 414" "Down switched the effect off"
xdotool key Up
sleep 0.3
screenshot "$shots/standalone-11-keyed-on.png"
check "is_lit_red \"$shots/standalone-11-keyed-on.png\" 267 414" "Up switched it on again"
xdotool key shift+Tab End
sleep 0.3
screenshot "$shots/standalone-12-keyed-pro.png"
check "is_lit_red \"$shots/standalone-12-keyed-pro.png\" 112 374 && ! is_lit_red \"$shots/standalone-12-keyed-pro.png\" 67 330" "Shift+Tab and End moved the selector to PRO"
click 160 150
screenshot "$shots/standalone-13-clicked.png"
check "! region_differs \"$shots/standalone-8-before-keys.png\" \"$shots/standalone-13-clicked.png\" 222 400 90 99" "a click took the ring away"

if [ $failures -gt 0 ]; then
    echo "$failures checks failed; screenshots in $shots"
    exit 1
fi
echo "ok      every click reached its control (screenshots in $shots)"
