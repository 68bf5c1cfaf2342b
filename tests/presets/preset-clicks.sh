#!/usr/bin/env bash
# The preset bar, the FILE menu and the save browser of the plug-in's window, used through the X
# server with the mouse and the keyboard. Run inside a private X server (xvfb-run).
# Usage: preset-clicks.sh PRESETPANELS SCALE SCREENSHOT-FOLDER
#
# Picks a factory preset from the bar's menu with the keyboard, steps on with the arrows, saves
# a new preset through FILE > Save Preset As..., saves it again (the overwrite question: CANCEL, then OK), creates
# a folder "a/b" (made "ab"), and checks what the program reported and what is on disk.
set -euo pipefail

program=$1
scale=$2
shots=$3

mkdir -p "$shots"
work=$(mktemp -d)
# The window's documents folder is below its own HOME.
folder="$work/Documents/Molvek/Presets/VardekoQX2710"
log="$work/log"
exec 3> >(HOME="$work" "$program" "$scale" > "$log")
trap 'exec 3>&-; sleep 0.5; rm -rf "$work"' EXIT

source "$(dirname "$0")/../support/window-clicks.sh"
wait_for_window

keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.15
    done
}

# FILE, then its second entry, "Save Preset As...", with the keyboard.
save_as() {
    click 35 16
    sleep 0.4
    keys Down Down Return
}

shot() {
    screenshot "$shots/$1@${scale}x.png"
}

expect_count() {
    [ "$(grep -cxF "$1" "$log")" -eq "$2" ] || { echo "FAILED  \"$1\" reported $(grep -cxF "$1" "$log") times, not $2, after $3"; cat "$log"; exit 1; }
}

for _ in $(seq 50); do
    [ -f "$folder/Factory/Blues Overdrive/Blues Blend.mvkp" ] && break
    sleep 0.1
done
[ -f "$folder/Factory/Blues Overdrive/Blues Blend.mvkp" ] || { echo "FAILED  the factory presets were not written"; exit 1; }
shot bar

# The menu opens on the factory presets under their circuits' headings: Blues Blend (sorted
# first) is its first entry, so the second key press picks it.
click 163 16
sleep 0.4
keys Down
sleep 0.3
shot menu
keys Return
expect 'preset Factory\Blues Overdrive\Blues Blend.mvkp' "choosing Blues Blend in the menu"

click 306 16 && expect 'preset Factory\Blues Overdrive\Blues Clean Boost.mvkp' "the next arrow"
click 277 16 && sleep 0.3 && expect_count 'preset Factory\Blues Overdrive\Blues Blend.mvkp' 2 "the previous arrow"

# Save as "My Tone" in the preset folder.
name_box() {
    for _ in $(seq 50); do
        [ "$(grep -c '^namebox ' "$log")" -ge "$1" ] && break
        sleep 0.1
    done
    grep '^namebox ' "$log" | sed -n "${1}p" | { read -r _ bx by; echo "$bx $by"; }
}

save_as
read -r bx by < <(name_box 1)
xdotool mousemove "$bx" "$by" click 1
sleep 0.2
xdotool type --delay 60 "My Tone"
sleep 0.5
shot browser
click 245 382
expect "host My Tone.mvkp" "SAVE in the browser"
[ -f "$folder/My Tone.mvkp" ] || { echo "FAILED  My Tone.mvkp was not written"; exit 1; }

# Again: the overwrite question; CANCEL returns to the browser, OK overwrites and closes both.
save_as
read -r bx by < <(name_box 2)
xdotool mousemove "$bx" "$by" click 1
sleep 0.2
xdotool type --delay 60 "My Tone"
sleep 0.5
click 245 382
sleep 0.3
shot overwrite
click 245 353
click 245 382
click 82 353
expect_count "host My Tone.mvkp" 2 "OK on the overwrite question"

# A new folder "a/b" from the browser: the slash is removed.
save_as
sleep 0.3
click 82 382
sleep 0.3
xdotool type --delay 60 "a/b"
sleep 0.4
shot newfolder
keys Return
sleep 0.5
[ -d "$folder/ab" ] || { echo "FAILED  the folder ab was not created"; exit 1; }

# The same name again: the alert; OK, then Escape closes the prompt, CANCEL the browser.
click 82 382
sleep 0.3
xdotool type --delay 60 "ab"
keys Return
sleep 0.5
shot alert
click 163 353
keys Escape
click 245 432
sleep 0.3
shot closed

echo "ok      the preset bar and the save browser answered every click (screenshots: $shots)"
