#!/bin/bash
# An operator's whole session in the real labelmaker on a virtual X screen,
# through the menus and their access keys (the mouse only picks a label):
# a fresh working folder set up for slb with Batch printing, File, Import
# Cat&ME of a six-title export, Edit, Multiple Copies with Vol. 1-3 x Copy 1,2
# on the second title, Page, Next and Previous, File, Save Label File As into
# a new file, and File, Print All with no printer installed, which prints into
# labels.pdf in the working folder. Then the saved file must hold exactly the
# expected bytes and the PDF two pages, the first with Vol.3 on it.
# Screenshots go into the build folder (e2e-*.png).
# Usage: e2e_operator.sh BUILD_DIR. Exit 77 (skipped) without xvfb-run,
# openbox, xdotool, ImageMagick's import, pdfinfo or pdftotext.
set -u
build=${1:?usage: e2e_operator.sh BUILD_DIR}
program=$build/bin/labelmaker
for tool in xvfb-run openbox xdotool import pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "FAIL: $program is missing"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QORTEX_DIR=$work/qortex LM_PROGRAM=$program LM_SHOTS=$build/e2e
export LM_EXPORT=$work/export/catme\ slb.txt LM_SAVED=$work/saved/series.dat
# No print queue: the program finds no printer and prints into a PDF file.
export CUPS_SERVER=/nonexistent/socket
mkdir -p "$QORTEX_DIR" "$work/export" "$work/saved"
rm -f "$LM_SHOTS"-*.png

# slb (label type 5), Batch printing (so no working file is loaded at the
# start and the imported labels are the only ones), its default margins.
printf '"Times New Roman",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"Times New Roman",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,5,2,890,690,35,30\r\n' \
    >"$QORTEX_DIR/\$\$\$set.val"

# The export: per title 9 lines of call number (columns 1-8) beside author,
# title and barcode (from column 11), then 3 lines the import skips.
titles=(
    "QA76.73|.C153|K47|1988|Kernighan, Brian W.|The C programming language|31234000111111"
    "QA76.73|.C153|S77|2013|Stroustrup, Bjarne.|The C++ programming language|31234000567890"
    "PS3545|.E6|D4|1946|Welty, Eudora,|Delta wedding|31234000111222"
    "PR6039|.O32|H6|1937|Tolkien, J. R. R.|The hobbit|31234000333444"
    "QH366|.D3|1859|c.2|Darwin, Charles,|On the origin of species|31234000555666"
    "PQ6329|.A1|1998|v.1|Cervantes Saavedra,|Don Quijote de la Mancha|31234000777888"
)
for entry in "${titles[@]}"; do
    IFS='|' read -r c1 c2 c3 c4 author title barcode <<<"$entry"
    printf '%-10s%s\n' "$c1" "$author" "$c2" "$title" "$c3" "" "$c4" "" "" "" "" "" "" "" "" "" "" "$barcode"
    printf '\n\n\n'
done >"$LM_EXPORT"

# What the import makes of one title: its spine text and its pocket text.
spine_of() { IFS='|' read -r c1 c2 c3 c4 _ <<<"${titles[$1]}"; printf '%s\r\n' "$c1" "$c2" "$c3" "$c4"; }
pocket_of() { IFS='|' read -r _ _ _ _ author title barcode <<<"${titles[$1]}"; printf '%s\r\n' "$author" "$title" "$barcode"; }
# Expected: the second title replaced by its six numbered copies. A spine
# gets the numbers as two new lines; a pocket gets them at the end of its
# first line.
{
    spine=$(spine_of 0; echo x); printf '%s~~' "${spine%x}"
    pocket=$(pocket_of 0; echo x); printf '%s~~' "${pocket%x}"
    IFS='|' read -r _ _ _ _ author _ <<<"${titles[1]}"
    spine=$(spine_of 1; echo x); spine=${spine%x}
    pocket=$(pocket_of 1; echo x); pocket=${pocket%x}
    for v in 1 2 3; do for c in 1 2; do
        printf '%sVol.%d\r\nCopy %d~~' "$spine" "$v" "$c"
        printf '%s Vol.%d Copy %d%s~~' "$author" "$v" "$c" "${pocket#"$author"}"
    done; done
    for k in 2 3 4 5; do
        spine=$(spine_of "$k"; echo x); printf '%s~~' "${spine%x}"
        pocket=$(pocket_of "$k"; echo x); printf '%s~~' "${pocket%x}"
    done
} >"$work/expected.dat"

started=$(date +%s)
xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
    set -u
    # Keys go to the window that has the focus, so the window manager must
    # be up before the program maps its window.
    openbox >/dev/null 2>&1 &
    if command -v xprop >/dev/null; then
        for _ in $(seq 1 50); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
            sleep 0.1
        done
    else
        sleep 1
    fi
    fail() {
        echo "FAIL: $*"
        import -window root "$LM_SHOTS-failure.png"
        echo "--- program output:"; cat "$QORTEX_DIR.log"
        kill "$pid" 2>/dev/null
        exit 1
    }
    shot() { sleep 0.5; import -window root "$LM_SHOTS-$1.png"; }
    # Waits up to $2 seconds (10 by default) for a visible window whose name
    # matches the pattern $1; its id goes into $found. A search can fail on
    # a window that closes while it looks, so it is repeated, not synced.
    search_window() {
        local deadline=$((SECONDS + ${2:-10}))
        while [ "$SECONDS" -lt "$deadline" ]; do
            found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
            [ -n "$found" ] && return 0
            kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for \"$1\""
            sleep 0.1
        done
        fail "no window \"$1\""
    }
    wait_window() { search_window "^$1\$"; }
    # Waits until no visible window is named $1.
    wait_gone() {
        for _ in $(seq 1 100); do
            xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
        fail "the window \"$1\" did not close"
    }
    # Waits until the main window has the title $1.
    expect_title() {
        local name=""
        for _ in $(seq 1 100); do
            name=$(xdotool getwindowname "$window" 2>/dev/null)
            [ "$name" = "$1" ] && { echo "title: $name"; return 0; }
            sleep 0.1
        done
        fail "title \"$name\", expected \"$1\""
    }
    # Activates window $1 and waits until it has the focus.
    focus() {
        xdotool windowactivate --sync "$1" 2>/dev/null
        for _ in $(seq 1 50); do
            [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
            sleep 0.1
        done
        fail "window $1 did not get the focus"
    }
    keys() { xdotool key --delay 150 "$@"; }
    # Answers the message box titled "Kelvarine Label Maker" that says $1
    # (told apart from the main window by its title alone) with keys $2...
    answer() {
        wait_window "Kelvarine Label Maker"
        echo "message box: $1"
        shift
        focus "$found"; keys "$@"
        wait_gone "Kelvarine Label Maker"
    }
    # Names a file in the file dialog titled $1: the path $2, then Enter.
    file_dialog() {
        wait_window "$1"
        focus "$found"
        sleep 0.3
        keys ctrl+a
        xdotool type --delay 20 "$2"
        sleep 0.3
        keys Return
        wait_gone "$1"
    }

    "$LM_PROGRAM" >"$QORTEX_DIR.log" 2>&1 &
    pid=$!
    search_window "^Kelvarine Label Maker" 20
    window=$found
    expect_title "Kelvarine Label Maker"

    # File, Import Cat&ME.
    focus "$window"; keys alt+f m
    file_dialog "Import CatME Label File" "$LM_EXPORT"
    scratch=$QORTEX_DIR/\$\$\$aaaa.dat
    expect_title "Kelvarine Label Maker - ${scratch^^}  (Page  1)"
    shot imported

    # A click on the spine label of the second title, right of the page
    # centre in the first row; the page stands centred in the window.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    focus "$window"
    xdotool mousemove $((X + WIDTH / 2 + 48)) $((Y + 230)) click 1
    sleep 0.3

    # Edit, Multiple Copies: Vol. 1-3 x Copy 1,2, one copy of each, Apply.
    keys alt+e m
    wait_window "Multiple Label Production Setup"
    focus "$found"
    xdotool type --delay 30 "Vol."; keys Tab
    xdotool type --delay 30 "1-3"; keys Tab
    xdotool type --delay 30 "Copy "; keys Tab
    xdotool type --delay 30 "1,2"; keys Tab ctrl+a
    xdotool type --delay 30 "1"
    shot series-dialog
    keys Return
    wait_gone "Multiple Label Production Setup"

    focus "$window"
    keys alt+p n; expect_title "Kelvarine Label Maker - ${scratch^^}  (Page  2)"
    shot page2
    keys alt+p p; expect_title "Kelvarine Label Maker - ${scratch^^}  (Page  1)"

    # File, Save Label File As: "&As" is the first of two items on A.
    keys alt+f a Return
    file_dialog "Save Label File" "$LM_SAVED"
    expect_title "Kelvarine Label Maker - ${LM_SAVED^^} (Page  1)"

    # File, Print All: the second item on A.
    focus "$window"
    keys alt+f a a Return
    answer "All the labels will be printed out. Proceed?" y
    for _ in $(seq 1 100); do [ -s "$QORTEX_DIR/labels.pdf" ] && break; sleep 0.1; done
    [ -s "$QORTEX_DIR/labels.pdf" ] || fail "Print All left no $QORTEX_DIR/labels.pdf"
    # Print All shows the page it started from again.
    expect_title "Kelvarine Label Maker - ${LM_SAVED^^}  (Page  1)"
    shot printed

    # File, Exit.
    focus "$window"
    keys alt+f e
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "File, Exit did not end the program"
    wait "$pid" || fail "the program ended with status $?"
    exit 0
'
status=$?
echo "ran $(($(date +%s) - started)) s under Xvfb"
[ "$status" -eq 0 ] || exit "$status"
cmp "$work/expected.dat" "$LM_SAVED" || { echo "FAIL: the saved label file is not as expected"; exit 1; }
pages=$(pdfinfo "$QORTEX_DIR/labels.pdf" | sed -n 's/^Pages: *//p')
[ "$pages" = 2 ] || { echo "FAIL: labels.pdf has ${pages:-no} pages, expected 2"; exit 1; }
pdftotext -f 1 -l 1 "$QORTEX_DIR/labels.pdf" "$work/page1.txt"
grep -qF "Vol.3" "$work/page1.txt" || { echo "FAIL: page 1 of labels.pdf holds no Vol.3"; cat "$work/page1.txt"; exit 1; }
# The eleventh label set, the last title, is alone on the second sheet.
pdftotext -f 2 -l 2 "$QORTEX_DIR/labels.pdf" "$work/page2.txt"
grep -q "Don Quijote" "$work/page2.txt" && ! grep -q "Vol\." "$work/page2.txt" ||
    { echo "FAIL: page 2 of labels.pdf is not the last title alone"; cat "$work/page2.txt"; exit 1; }
echo "screenshots: $LM_SHOTS-*.png"
