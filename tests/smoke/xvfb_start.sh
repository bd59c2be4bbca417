#!/bin/bash
# Starts the real labelmaker on a virtual X screen with a fresh working
# folder, waits for its main window, saves a screenshot in the build folder
# (smoke-xvfb-start.png) and ends the program.
# Usage: xvfb_start.sh BUILD_DIR. Exit 77 (skipped) without xvfb-run, xdotool
# or ImageMagick's import.
set -u
build=${1:?usage: xvfb_start.sh BUILD_DIR}
program=$build/bin/labelmaker
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "FAIL: $program is missing"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QORTEX_DIR=$work/qortex LM_PROGRAM=$program LM_SHOT=$build/smoke-xvfb-start.png
rm -f "$LM_SHOT"

xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
    # A window manager, where one is installed, lets the window open maximized.
    command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & sleep 1; }
    "$LM_PROGRAM" >"$QORTEX_DIR.log" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 150); do
        window=$(xdotool search --name "^Kelvarine Label Maker( - .*)?$" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if [ -z "$window" ]; then
        echo "FAIL: no window titled Kelvarine Label Maker"
        cat "$QORTEX_DIR.log"
        kill "$pid" 2>/dev/null
        exit 1
    fi
    sleep 1  # let it paint
    import -window root "$LM_SHOT"
    kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended by itself"; exit 1; }
    kill -TERM "$pid"
    for _ in $(seq 1 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -KILL "$pid" 2>/dev/null
    exit 0
'
status=$?
[ "$status" -eq 0 ] || exit "$status"
[ -s "$LM_SHOT" ] || { echo "FAIL: no screenshot"; exit 1; }
[ -f "$QORTEX_DIR/\$\$\$set.val" ] || { echo "FAIL: no settings file was created"; exit 1; }
echo "screenshot: $LM_SHOT"
