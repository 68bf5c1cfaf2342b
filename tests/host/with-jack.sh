#!/bin/sh
# Runs a command against a dummy JACK server of its own (no audio hardware needed), under a
# server name no other program uses, and stops the server afterwards.
# Usage: with-jack.sh COMMAND [ARGUMENT...]
set -u

JACK_DEFAULT_SERVER="vardeko-test-$$"
export JACK_DEFAULT_SERVER
# JACK keeps its sockets and shared memory names under a folder that must be writable.
JACK_NO_AUDIO_RESERVATION=1
export JACK_NO_AUDIO_RESERVATION

jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"${TMPDIR:-/tmp}/$JACK_DEFAULT_SERVER.log" 2>&1 &
server=$!

if ! jack_wait -w -t 10 >/dev/null 2>&1; then
    echo "FAIL the dummy JACK server did not start:"
    cat "${TMPDIR:-/tmp}/$JACK_DEFAULT_SERVER.log"
    kill "$server" 2>/dev/null
    exit 1
fi

"$@"
status=$?

kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -f "${TMPDIR:-/tmp}/$JACK_DEFAULT_SERVER.log"
exit $status
