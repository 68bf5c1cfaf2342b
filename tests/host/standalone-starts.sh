#!/bin/sh
# The Standalone app starts, opens its window and keeps running until it is stopped.
# Run inside a private X server (xvfb-run). Usage: standalone-starts.sh APP SCREENSHOT
app="$1"
shot="$2"

"$app" &
pid=$!
sleep 4

if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    echo "FAIL the Standalone app exited early with status $?"
    exit 1
fi

if command -v import >/dev/null 2>&1; then
    import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
fi

kill "$pid"
wait "$pid" 2>/dev/null
echo "PASS the Standalone app ran for 4 s"
