#!/bin/bash
# Edits an sl4 working file with the mouse and keyboard in the real
# labelmaker on a virtual X screen: Delete, Insert Blank Label (a refused
# count first) and a Vol. 1-3 x Copy 1,2 series through the ML button and the
# Multiple Label Production Setup dialog; then compares the file's bytes.
# Screenshots go into the build folder (smoke-editing-*.png).
# Usage: xvfb_editing.sh BUILD_DIR; exit 77 (skipped) when a tool is missing.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool import
export LM_SHOTS=$build/smoke-editing
rm -f "$LM_SHOTS"-*.png

lm_settings 3 1 827 710  # sl4, Interactive printing
set_of() { printf 'QA76\r\n.%d\r\nK%02d%s~~Book %d%s\r\nvol. %d~~Copy %d%s~~' "$1" "$1" "$2" "$1" "$3" "$1" "$1" "$3"; }
for k in $(seq 1 25); do set_of "$k" "" ""; done >"$QORTEX_DIR/\$\$label.dat"
# Expected: set 3 deleted, two blank sets before set 5, set 5 as a series.
{
    for k in 1 2 4; do set_of "$k" "" ""; done
    printf '<Blank>~~~~~~<Blank>~~~~~~'
    for v in 1 2 3; do for c in 1 2; do
        set_of 5 "$(printf '\r\nVol.%d\r\nCopy %d' $v $c)" " Vol.$v Copy $c"
    done; done
    for k in $(seq 6 25); do set_of "$k" "" ""; done
} >"$work/expected.dat"

session() {
    # Spine labels of the maximized window at 96 dpi: row 2 left and right
    # column, row 3 right column.
    click() { focus "$window"; xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
    start_program "^Kelvarine Label Maker - "
    focus "$window"
    shot start
    click 474 441; menu e d; shot delete-question
    answer "delete the set" Return
    click 842 441; menu e b
    answer "count of blank sets" 1 a Return
    answer "illegal numbers" Return
    answer "count again" BackSpace BackSpace 2 Return
    shot blanks
    click 842 643; xdotool mousemove 1517 49 click 1
    search_window "^Multiple Label Production Setup\$"
    focus "$found"
    keys V o l period Tab 1 minus 3 Tab C o p y space Tab 1 comma 2
    shot series-dialog
    keys Return
    wait_closed "$found"
    shot series
    kill "$pid"
    wait "$pid" 2>/dev/null
    exit 0
}
lm_xvfb session || exit 1
cmp "$work/expected.dat" "$QORTEX_DIR/\$\$label.dat" || { echo "FAIL: the label file is not as expected"; exit 1; }
echo "screenshots: $LM_SHOTS-*.png"
