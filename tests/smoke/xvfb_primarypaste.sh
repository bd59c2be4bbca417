#!/bin/bash
# The primary selection, as every X program shares it: a word double-clicked
# in one label of the real labelmaker on a virtual X screen is pasted with
# the middle button into another label, where the pointer is; File, Save
# Label File then writes it. Screenshots go into the build folder
# (smoke-paste-*.png).
# Usage: xvfb_primarypaste.sh BUILD_DIR; exit 77 (skipped) when a tool is missing.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool import
export LM_SHOTS=$build/smoke-paste
rm -f "$LM_SHOTS"-*.png

lm_settings 1 1 920 640  # sp1, Interactive printing
printf 'QA76~~B3~~' >"$QORTEX_DIR/\$\$label.dat"
printf 'QA76~~B3QA76~~' >"$work/expected.dat"

session() {
    start_program "^Kelvarine Label Maker - "
    focus "$window"
    # The first two labels of the first row, found from the window's middle
    # where the page stands centred: at 96 dpi sp1's eight columns are 1386
    # twips (92.4 pixels) apart, the row of their first lines about 190
    # pixels below the window's top.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    page_left=$((X + WIDTH / 2 - 408))
    row=$((Y + 190))
    xdotool mousemove $((page_left + 62)) "$row" click --repeat 2 --delay 80 1
    shot selected
    # Right of "B3" on the second label's first line: the end of that line.
    xdotool mousemove $((page_left + 62 + 92 + 40)) "$row" click 2
    shot pasted
    menu f s s s Return
    expect_title "$(title_of 1 " ")"
    kill "$pid"
    wait "$pid" 2>/dev/null
    exit 0
}
lm_xvfb session || exit 1
cmp "$work/expected.dat" "$QORTEX_DIR/\$\$label.dat" || {
    echo "FAIL: the label file holds $(od -c "$QORTEX_DIR/\$\$label.dat" | head -3)"
    exit 1
}
echo "screenshots: $LM_SHOTS-*.png"
