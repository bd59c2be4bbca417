#!/bin/bash
# A logout ends the real labelmaker with SIGTERM while page 2 holds typed,
# unsaved labels: the texts must be kept in the working folder, and the next
# start must offer them; Restore shows page 2 with them, still to be saved,
# and leaving the page saves them into the label file.
# Usage: xvfb_logout.sh BUILD_DIR; exit 77 (skipped) when a tool is missing.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool
lm_settings 1 1 920 640  # sp1, Interactive printing
for i in $(seq 1 41); do printf 'L%d~~' "$i"; done >"$QORTEX_DIR/\$\$label.dat"
export KEPT=$QORTEX_DIR/.labelmaker-unsaved-page

session() {
    start_program "^Kelvarine Label Maker - "
    expect_title "$(title_of 1 ' ')"
    menu p n
    expect_title "$(title_of 2 '  ')"
    focus "$window"
    xdotool type --delay 100 TYPED
    # A question the program shows only once it has read every key before it.
    menu f p
    answer "print the page: No" Escape
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    [ "$status" = 143 ] || fail "SIGTERM ended the program with status $status, not by the signal"
    [ -f "$KEPT" ] || fail "no file keeps the typed labels"
    grep -aq "TYPED" "$KEPT" || fail "the kept file lacks the typed text"
    grep -aq "^page 2$" "$KEPT" || fail "the kept file does not name page 2"

    "$LM_PROGRAM" >>"$QORTEX_DIR.log" 2>&1 &
    pid=$!
    answer "restore the typed labels" Return
    search_window "^Kelvarine Label Maker - " 30
    window=$found
    expect_title "$(title_of 2 '  ')"
    [ -f "$KEPT" ] && fail "the kept file is still there after Restore"
    # Leaving the page saves what Restore showed.
    menu p p
    expect_title "$(title_of 1 '  ')"
    grep -aq "TYPED" "$QORTEX_DIR/\$\$label.dat" || fail "the restored labels were not saved"
    exit_by_menu
}
lm_xvfb session || exit 1
echo "kept, offered, restored and saved"
