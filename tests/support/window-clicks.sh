# What the window tests share (sourced by tests/*/...-clicks.sh). They run a program that prints
# "window X Y" once its window is on the screen, then a line for each change a click made.
# Expects $log (the program's output) and $scale; sets $x and $y.

# Waits up to ten seconds for the window and reads its place.
wait_for_window() {
    for _ in $(seq 100); do
        grep -q '^window ' "$log" 2> /dev/null && break
        sleep 0.1
    done

    read -r _ x y < <(grep '^window ' "$log") || { echo "FAILED  the window did not open"; exit 1; }
}

# A point of the pedal's layout (325 x 500) on the screen.
at() {
    awk -v x="$x" -v y="$y" -v s="$scale" -v px="$1" -v py="$2" 'BEGIN { printf "%d %d", x + px * s, y + py * s }'
}

# The pointer rests on the spot first, as a hand's would, so the window knows what it is over.
click() {
    xdotool mousemove $(at "$1" "$2")
    sleep 0.2
    xdotool click 1
    sleep 0.3
}

# Waits up to ten seconds for the program to report a line.
expect() {
    for _ in $(seq 100); do
        grep -qxF "$1" "$log" && return 0
        sleep 0.1
    done
    echo "FAILED  no \"$1\" after $2; the program reported:"
    grep -v '^window ' "$log" || true
    exit 1
}

# The pedal's area of the screen as a PNG file, without the screen offset that a crop keeps.
screenshot() {
    import -window root -crop "$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 325 * s, 500 * s }')+$x+$y" +repage "$1"
}
