#!/bin/bash
# Starts the real labelmaker on a virtual X screen with a fresh working
# folder, waits for its main window, saves a screenshot in the build folder
# (smoke-xvfb-start.png) and ends the program; start-up must have written the
# settings file. Usage: xvfb_start.sh BUILD_DIR; exit 77 (skipped) when a
# tool is missing.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool import
rmdir "$QORTEX_DIR"  # start-up makes the working folder
export LM_SHOTS=$build/smoke-xvfb-start
rm -f "$LM_SHOTS".png

session() {
    start_program "^Kelvarine Label Maker( - .*)?$"
    # Once it has the focus it has painted: the screenshot shows it whole.
    focus "$window"
    import -window root "$LM_SHOTS.png"
    kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
    exit_by_menu
}
lm_xvfb session || exit 1
[ -s "$LM_SHOTS.png" ] || { echo "FAIL: no screenshot"; exit 1; }
[ -f "$QORTEX_DIR/\$\$\$set.val" ] || { echo "FAIL: no settings file was created"; exit 1; }
echo "screenshot: $LM_SHOTS.png"
