#!/bin/sh
# The plug-in in Ardour, headless: a session with the circuit automated at a known time is
# exported offline twice (the exports must be identical, and the change heard within 60 ms of
# that time, judged against an export without the automation); the session is then reloaded
# and the values Ardour shows for the plug-in must be those it was saved with.
#
# Usage: ardour-sessions.sh LV2|VST3 BUNDLE WORK_FOLDER [LV2 URI]
# Needs ardour7-lua and ardour7-export (Debian: ardour) and /usr/bin/python3 with numpy and
# soundfile. Prints PASS/FAIL lines; exits non-zero on any failure.
set -u

format="$1"
bundle="$2"
work="$3"
uri="${4:-}"
here="$(cd "$(dirname "$0")" && pwd)"

rm -rf "$work"
mkdir -p "$work/home"
export HOME="$work/home"
failures=0

# The sine that feeds the plug-in, as a script of Ardour's own.
mkdir -p "$HOME/.config/ardour7/scripts"
cp "$here/ardour/test-sine.lua" "$HOME/.config/ardour7/scripts/"

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# Ardour finds an LV2 on LV2_PATH; a VST3 only once its scanner has indexed the bundle.
if [ "$format" = LV2 ]; then
    export LV2_PATH="$(dirname "$bundle")"
    VARDEKO_PLUGIN_ID="$uri"
else
    mkdir -p "$HOME/.vst3"
    ln -s "$bundle" "$HOME/.vst3/"
    LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst3-scanner -q -f "$HOME/.vst3/$(basename "$bundle")" \
        || fail "Ardour's VST3 scanner could not index the bundle"
    VARDEKO_PLUGIN_ID="Vardeko QX2710"
fi

export VARDEKO_PLUGIN_TYPE="$format" VARDEKO_PLUGIN_ID
export VARDEKO_SWITCH_SAMPLE=96000 VARDEKO_END_SAMPLE=192000 # 2 s and 4 s at 48 kHz

# One Ardour run, bounded. Ardour's exporter now and then hangs or aborts inside its own
# export graph cleanup (ExportGraphBuilder::reset, whatever the plug-in): such a run is tried
# again, at most twice, and said so; any other failure counts.
ardour() {
    for attempt in 1 2 3; do
        timeout 45 "$@" >"$work/ardour.log" 2>&1
        status=$?

        case $status in
            0) return 0 ;;
            124 | 134) echo "NOTE Ardour $( [ $status = 124 ] && echo hung || echo aborted ) (attempt $attempt): $*" ;;
            *) break ;;
        esac
    done

    cat "$work/ardour.log"
    echo "Ardour exited with status $status: $*"
    return 1
}

for session in automated plain; do
    export VARDEKO_SESSION_DIR="$work/$session" VARDEKO_SESSION_NAME="$session"
    export VARDEKO_AUTOMATE=$([ $session = automated ] && echo 1 || echo 0)

    if ! ardour ardour7-lua "$here/ardour/create-session.lua"; then
        fail "$format session \"$session\" created"
        continue
    fi

    # The range added by the script becomes the session range, which the export renders.
    sed -i 's/name="range1"\(.*\)flags="IsRangeMarker"/name="session"\1flags="IsSessionRange"/' "$work/$session/$session.ardour"
done

for take in automated-1 automated-2 plain-1; do
    session="${take%-*}"
    ardour ardour7-export -b float -o "$work/$take.wav" "$work/$session" "$session" || fail "$format export $take"
done

echo "$format:"
/usr/bin/python3 "$here/ardour/compare-exports.py" "$work/automated-1.wav" "$work/automated-2.wav" "$work/plain-1.wav" "$VARDEKO_SWITCH_SAMPLE" \
    || failures=$((failures + 1))

# The reloaded session: every value as it was saved (the circuit at its automated start).
export VARDEKO_SESSION_DIR="$work/automated" VARDEKO_SESSION_NAME=automated

if ardour ardour7-lua "$here/ardour/print-values.lua"; then
    expected="VALUE 0 1.00000|VALUE 1 0.70000|VALUE 2 0.00000|VALUE 3 0.50000|VALUE 4 0.30000|VALUE 5 0.40000|VALUE 6 1.00000|VALUE 7 0.66667"
    got="$(grep '^VALUE' "$work/ardour.log" | tr '\n' '|' | sed 's/|$//')"

    if [ "$got" = "$expected" ]; then
        echo "PASS the reloaded session shows the plug-in's values"
    else
        fail "the reloaded session shows the plug-in's values: expected $expected got $got"
    fi
else
    fail "$format session reloaded"
fi

[ $failures -eq 0 ] && echo "PASS Ardour ($format)" || echo "FAIL Ardour ($format): $failures failed"
exit $((failures > 0))
