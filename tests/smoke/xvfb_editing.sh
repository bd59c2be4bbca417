#!/bin/bash
# Edits an sl4 working file with the mouse and keyboard in the real
# labelmaker on a virtual X screen: Delete, Insert Blank Label (a refused
# count first) and a Vol. 1-3 x Copy 1,2 series through the ML button and the
# Multiple Label Production Setup dialog; then compares the file's bytes.
# Screenshots go into the build folder (smoke-editing-*.png).
# Usage: xvfb_editing.sh BUILD_DIR. Exit 77 (skipped) without xvfb-run,
# openbox, xdotool or ImageMagick's import.
set -u
build=${1:?usage: xvfb_editing.sh BUILD_DIR}
program=$build/bin/labelmaker
for tool in xvfb-run openbox xdotool import; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "FAIL: $program is missing"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QORTEX_DIR=$work/qortex LM_PROGRAM=$program LM_SHOTS=$build/smoke-editing
mkdir -p "$QORTEX_DIR"
rm -f "$LM_SHOTS"-*.png

# sl4 (label type 3), Interactive printing, 25 label sets.
printf '"Times New Roman",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"Times New Roman",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,3,1,827,710,35,30\r\n' \
    >"$QORTEX_DIR/\$\$\$set.val"
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

xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
    set -u
    openbox >/dev/null 2>&1 &
    sleep 1
    fail() { echo "FAIL: $*"; import -window root "$LM_SHOTS-failure.png"; kill "$pid"; exit 1; }
    shot() { sleep 0.7; import -window root "$LM_SHOTS-$1.png"; }
    # A dialog titled $1 must come up; $2.. are the keys that answer it.
    answer() {
        local box=""
        for _ in $(seq 1 50); do
            box=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
            [ -n "$box" ] && break
            sleep 0.1
        done
        [ -n "$box" ] || fail "no window \"$1\""
        xdotool windowactivate --sync "$box" 2>/dev/null
        shift
        for k in "$@"; do xdotool key --delay 50 "$k"; done
        sleep 0.5
    }
    # Labels of the maximized window at 96 dpi: a spine label of row 2, left
    # and right column, and of row 3, right column.
    click() { xdotool windowactivate --sync "$window" 2>/dev/null; xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
    edit() { xdotool key alt+e; sleep 0.3; xdotool key "$1"; }

    "$LM_PROGRAM" >"$QORTEX_DIR.log" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 150); do
        window=$(xdotool search --name "^Kelvarine Label Maker - " 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || fail "no main window"
    sleep 1
    shot start

    click 474 441; edit d; shot delete-question
    answer "Kelvarine Label Maker" Return
    click 842 441; edit b
    answer "Kelvarine Label Maker" 1 a Return
    answer "Kelvarine Label Maker" Return        # You entered illegal numbers!
    answer "Kelvarine Label Maker" BackSpace BackSpace 2 Return
    shot blanks
    click 842 643; xdotool mousemove 1517 49 click 1
    answer "Multiple Label Production Setup" V o l period Tab 1 minus 3 Tab C o p y space Tab 1 comma 2
    shot series-dialog
    xdotool key Return
    sleep 1.5
    xdotool search --onlyvisible --name "^Multiple Label Production Setup\$" >/dev/null && fail "the dialog stayed open"
    shot series

    kill "$pid"
    wait "$pid" 2>/dev/null
    exit 0
'
status=$?
[ "$status" -eq 0 ] || exit "$status"
cmp "$work/expected.dat" "$QORTEX_DIR/\$\$label.dat" || { echo "FAIL: the label file is not as expected"; exit 1; }
echo "screenshots: $LM_SHOTS-*.png"
