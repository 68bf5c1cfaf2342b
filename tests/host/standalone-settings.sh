#!/bin/sh
# The Standalone app with a hostile settings file: it must start, open its window, keep running,
# say that it did not use the file (or the value) and keep a refused file aside. Each fixture in
# a fresh HOME, under a memory limit, inside one private X server (xvfb-run).
# Usage: standalone-settings.sh APP WORKFOLDER FIXTURE...
app="$1"
work="$2"
shift 2
failures=0

for fixture in "$@"; do
    name=$(basename "$fixture" .settings)
    home="$work/$name"
    rm -rf "$home"
    mkdir -p "$home/.config"
    settings="$home/.config/Vardeko QX2710.settings"
    cp "$fixture" "$settings"

    # 1 GB of address space is plenty for the app and stops a file that would eat the machine.
    (ulimit -v 1500000; HOME="$home" exec "$app") > "$home/app.log" 2>&1 &
    pid=$!
    started=no

    for _ in $(seq 1 40); do
        sleep 0.25
        kill -0 "$pid" 2>/dev/null || break
        if xdotool search --pid "$pid" --onlyvisible --name "Vardeko QX2710" > /dev/null 2>&1; then
            started=yes
            break
        fi
    done

    sleep 1

    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        echo "FAIL $name: the app ended (status $?)"
        failures=$((failures + 1))
        continue
    fi

    kill "$pid"
    wait "$pid" 2>/dev/null

    if [ "$started" != yes ]; then
        echo "FAIL $name: no window within 10 s"
        failures=$((failures + 1))
    elif ! grep -q "settings file" "$home/app.log"; then
        echo "FAIL $name: the app did not say that it left its settings file (or a value) out"
        failures=$((failures + 1))
    elif grep -q "^<!DOCTYPE\|<?x?>" "$settings" 2>/dev/null; then
        echo "FAIL $name: the refused file is still the settings file"
        failures=$((failures + 1))
    else
        echo "PASS $name: $(grep "settings file" "$home/app.log" | head -n 1)"
    fi
done

[ $failures -eq 0 ]
