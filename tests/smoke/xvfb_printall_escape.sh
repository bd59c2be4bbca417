#!/bin/bash
# Print All over a long label file into the labels.pdf of a machine without
# printers, stopped with Escape on its progress dialog by a real key press:
# the run must stop, show page 1 again, and leave the earlier labels.pdf as
# it was, byte for byte.
# Usage: xvfb_printall_escape.sh BUILD_DIR; exit 77 (skipped) when a tool is
# missing.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool
export CUPS_SERVER=/nonexistent/labelmaker-smoke-cups.sock
lm_settings 1 1 920 640  # sp1, Interactive printing
seq 1 120000 | awk '{ printf "L%d~~", $1 }' >"$QORTEX_DIR/\$\$label.dat"  # 3,000 pages
printf '%%PDF-1.4 the sheets of an earlier run\n%%%%EOF\n' >"$QORTEX_DIR/labels.pdf"
cp "$QORTEX_DIR/labels.pdf" "$work/earlier.pdf"

session() {
    start_program "^Kelvarine Label Maker - "
    menu f a a Return  # File, Print All: the second item on A
    answer "print all" Return
    # Under way: the title counts the sheets. The check before printing has
    # a progress of its own, closed by then, so the one found next is
    # printing's.
    local name=""
    for _ in $(seq 1 300); do
        name=$(xdotool getwindowname "$window" 2>/dev/null)
        [[ $name =~ \(Page\ +([0-9]+)\)$ ]] && [ "${BASH_REMATCH[1]}" -ge 3 ] && break
        sleep 0.1
    done
    echo "at: $name"
    search_window "^Kelvarine Label Maker\$" 30
    local progress=$found
    focus "$progress" && keys Escape
    wait_closed "$progress"
    expect_title "$(title_of 1 '  ')"
    exit_by_menu
}
lm_xvfb session || exit 1
cmp "$QORTEX_DIR/labels.pdf" "$work/earlier.pdf" || { echo "FAIL: the earlier labels.pdf was replaced"; exit 1; }
echo "stopped by Escape; labels.pdf as it was"
