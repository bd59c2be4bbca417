#!/bin/bash
# Pages through a three-page sl4 working file in the real labelmaker on a
# virtual X screen: NP and PP buttons, the Page menu, the refusals at both
# ends, the zoom menu at 30%, 50% and 200%, and File, Exit. The window title
# is checked after every move; screenshots go into the build folder
# (smoke-paging-*.png).
# Usage: xvfb_paging.sh BUILD_DIR. Exit 77 (skipped) without xvfb-run,
# xdotool or ImageMagick's import.
set -u
build=${1:?usage: xvfb_paging.sh BUILD_DIR}
program=$build/bin/labelmaker
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "FAIL: $program is missing"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QORTEX_DIR=$work/qortex LM_PROGRAM=$program LM_SHOTS=$build/smoke-paging
mkdir -p "$QORTEX_DIR"
rm -f "$LM_SHOTS"-*.png

# sl4 (label type 3) with Interactive printing and its default margins.
printf '"Times New Roman",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"Times New Roman",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,3,1,827,710,35,30\r\n' \
    >"$QORTEX_DIR/\$\$\$set.val"
# 25 label sets: two full pages of ten and a third page of five.
for k in $(seq 1 25); do
    printf 'QA76\r\n.%d\r\nK%02d~~Book %d\r\nvol. %d~~Copy %d~~' "$k" "$k" "$k" "$k" "$k"
done >"$QORTEX_DIR/\$\$label.dat"
cp "$QORTEX_DIR/\$\$label.dat" "$work/original.dat"

xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
    set -u
    command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & sleep 1; }
    file=$QORTEX_DIR/\$\$label.dat
    title_of() {  # page, separator
        echo "Kelvarine Label Maker - ${file^^}$2(Page  $1)"
    }
    fail() {
        echo "FAIL: $*"
        import -window root "$LM_SHOTS-failure.png"
        cat "$QORTEX_DIR.log"
        kill "$pid" 2>/dev/null
        exit 1
    }
    # Waits until the main window has the title given.
    expect_title() {
        local name=""
        for _ in $(seq 1 50); do
            name=$(xdotool getwindowname "$window" 2>/dev/null)
            [ "$name" = "$1" ] && { echo "title: $name"; return 0; }
            sleep 0.1
        done
        fail "title \"$name\", expected \"$1\""
    }
    # Answers the information box that a refused move shows, with OK.
    expect_message_box() {
        local box=""
        for _ in $(seq 1 50); do
            box=$(xdotool search --onlyvisible --name "^Kelvarine Label Maker\$" 2>/dev/null | head -n 1)
            [ -n "$box" ] && break
            sleep 0.1
        done
        [ -n "$box" ] || fail "no message box for $1"
        echo "message box: $1"
        xdotool windowactivate --sync "$box" 2>/dev/null
        xdotool key Return
        for _ in $(seq 1 50); do
            xdotool search --onlyvisible --name "^Kelvarine Label Maker\$" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
        fail "the message box for $1 did not close"
    }
    # The NP and PP buttons stand against the right edge of the window,
    # 30 by 20 pixels at 96 dpi, just below the menu bar.
    click_button() {
        eval "$(xdotool getwindowgeometry --shell "$window")"
        local x=$((WIDTH - 22))
        [ "$1" = PP ] && x=$((WIDTH - 52))
        xdotool mousemove --window "$window" "$x" 31 click 1
    }
    menu() {  # menu key, then item keys
        xdotool windowactivate --sync "$window" 2>/dev/null
        xdotool key "alt+$1"
        shift
        for k in "$@"; do sleep 0.3; xdotool key "$k"; done
    }
    shot() { sleep 0.7; import -window root "$LM_SHOTS-$1.png"; }

    "$LM_PROGRAM" >"$QORTEX_DIR.log" 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 150); do
        window=$(xdotool search --name "^Kelvarine Label Maker - " 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    [ -n "$window" ] || fail "no main window"
    expect_title "$(title_of 1 " ")"
    shot page1

    click_button NP;  expect_title "$(title_of 2 "  ")"
    menu p n;         expect_title "$(title_of 3 "  ")"
    shot page3
    click_button NP;  expect_message_box "unused labels on the last page"
    expect_title "$(title_of 3 "  ")"
    click_button PP;  expect_title "$(title_of 2 "  ")"
    menu p p;         expect_title "$(title_of 1 "  ")"
    menu p p;         expect_message_box "no previous page"
    expect_title "$(title_of 1 "  ")"
    menu p n;         expect_title "$(title_of 2 "  ")"

    menu v z 3; shot zoom30
    menu v z 5; shot zoom50
    menu v z 2; shot zoom200
    click_button PP;  expect_title "$(title_of 1 "  ")"
    shot zoom200-page1

    # File, Exit with an unchanged page and no counter file ends at once.
    menu f e
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "File, Exit did not end the program"
    wait "$pid" || fail "the program ended with status $?"
    exit 0
'
status=$?
[ "$status" -eq 0 ] || exit "$status"
cmp -s "$work/original.dat" "$QORTEX_DIR/\$\$label.dat" || { echo "FAIL: the working file changed"; exit 1; }
for name in page1 page3 zoom30 zoom50 zoom200 zoom200-page1; do
    [ -s "$LM_SHOTS-$name.png" ] || { echo "FAIL: no screenshot $name"; exit 1; }
done
echo "screenshots: $LM_SHOTS-*.png"
