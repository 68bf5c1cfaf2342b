#!/usr/bin/env bash
# The README's picture of the window (docs/editor.png) must show the window as the build draws
# it now. When the window changes on purpose, redraw it:
#   cmake --build build --target VardekoEditorPicture
#   check-editor-picture.sh COMMITTED.png RENDERED.png
set -euo pipefail

committed=$1
rendered=$2

[ -f "$rendered" ] || { echo "FAIL: $rendered was not drawn" >&2; exit 1; }
[ -f "$committed" ] || { echo "FAIL: $committed is missing; run: cmake --build build --target VardekoEditorPicture" >&2; exit 1; }

size_committed=$(identify -format '%wx%h' "$committed")
size_rendered=$(identify -format '%wx%h' "$rendered")
if [ "$size_committed" != "$size_rendered" ]; then
    echo "FAIL: $committed is $size_committed, the window draws $size_rendered; run: cmake --build build --target VardekoEditorPicture" >&2
    exit 1
fi

# Pixels that differ by more than a rounding step; a changed control or caption moves hundreds.
differing=$(compare -metric AE -fuzz 3% "$committed" "$rendered" null: 2>&1 || true)
differing=${differing%% *}
if [ "${differing%.*}" -gt 200 ]; then
    echo "FAIL: $differing pixels of $committed differ from the window as drawn now; run: cmake --build build --target VardekoEditorPicture" >&2
    exit 1
fi
echo "editor picture current ($differing pixels differ)"
