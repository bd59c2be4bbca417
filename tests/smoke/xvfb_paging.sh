#!/bin/bash
# Pages through a three-page sl4 working file in the real labelmaker on a
# virtual X screen: NP and PP buttons, the Page menu, the refusals at both
# ends, the zoom menu at 30%, 50% and 200%, and File, Exit. The window title
# is checked after every move and the file must be left as it was;
# screenshots go into the build folder (smoke-paging-*.png).
# Usage: xvfb_paging.sh BUILD_DIR; exit 77 (skipped) when a tool is missing.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool import
export LM_SHOTS=$build/smoke-paging
rm -f "$LM_SHOTS"-*.png

lm_settings 3 1 827 710  # sl4, Interactive printing
# 25 label sets: two full pages of ten and a third page of five.
for k in $(seq 1 25); do
    printf 'QA76\r\n.%d\r\nK%02d~~Book %d\r\nvol. %d~~Copy %d~~' "$k" "$k" "$k" "$k" "$k"
done >"$QORTEX_DIR/\$\$label.dat"
cp "$QORTEX_DIR/\$\$label.dat" "$work/original.dat"

session() {
    # The NP and PP buttons stand against the right edge of the window,
    # 30 by 20 pixels at 96 dpi, just below the menu bar.
    button() {
        eval "$(xdotool getwindowgeometry --shell "$window")"
        local x=$((WIDTH - 22))
        [ "$1" = PP ] && x=$((WIDTH - 52))
        xdotool mousemove --window "$window" "$x" 31 click 1
    }
    start_program "^Kelvarine Label Maker - "
    expect_title "$(title_of 1 " ")"
    shot page1
    button NP; expect_title "$(title_of 2 "  ")"
    menu p n;  expect_title "$(title_of 3 "  ")"
    shot page3
    button NP; answer "unused labels on the last page" Return
    expect_title "$(title_of 3 "  ")"
    button PP; expect_title "$(title_of 2 "  ")"
    menu p p;  expect_title "$(title_of 1 "  ")"
    menu p p;  answer "no previous page" Return
    expect_title "$(title_of 1 "  ")"
    menu p n;  expect_title "$(title_of 2 "  ")"
    menu v z 3; shot zoom30
    menu v z 5; shot zoom50
    menu v z 2; shot zoom200
    button PP; expect_title "$(title_of 1 "  ")"
    shot zoom200-page1
    exit_by_menu  # an unchanged page and no counter file: ends at once
}
lm_xvfb session || exit 1
cmp -s "$work/original.dat" "$QORTEX_DIR/\$\$label.dat" || { echo "FAIL: the working file changed"; exit 1; }
for name in page1 page3 zoom30 zoom50 zoom200 zoom200-page1; do
    [ -s "$LM_SHOTS-$name.png" ] || { echo "FAIL: no screenshot $name"; exit 1; }
done
echo "screenshots: $LM_SHOTS-*.png"
