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
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" xvfb-run openbox xprop xdotool import pdfinfo pdftotext
export LM_SHOTS=$build/e2e LM_EXPORT=$work/export/catme\ slb.txt LM_SAVED=$work/saved/series.dat
# No print queue: the program finds no printer and prints into a PDF file.
export CUPS_SERVER=/nonexistent/socket
mkdir -p "$work/export" "$work/saved"
rm -f "$LM_SHOTS"-*.png
# slb, Batch printing (no working file is loaded at the start, so the
# imported labels are the only ones), its default margins.
lm_settings 5 2 890 690

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
session() {
    # Names a file in the file dialog titled $1: the path $2, then Enter.
    file_dialog() {
        search_window "^$1\$"
        focus "$found"
        sleep 0.3
        keys ctrl+a
        xdotool type --delay 20 "$2"
        sleep 0.3
        keys Return
        wait_closed "$found"
    }
    start_program "^Kelvarine Label Maker( - .*)?$"
    expect_title "Kelvarine Label Maker"

    menu f m  # File, Import Cat&ME
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
    menu e m
    search_window "^Multiple Label Production Setup\$"
    focus "$found"
    xdotool type --delay 30 "Vol."; keys Tab
    xdotool type --delay 30 "1-3"; keys Tab
    xdotool type --delay 30 "Copy "; keys Tab
    xdotool type --delay 30 "1,2"; keys Tab ctrl+a
    xdotool type --delay 30 "1"
    shot series-dialog
    keys Return
    wait_closed "$found"

    menu p n; expect_title "Kelvarine Label Maker - ${scratch^^}  (Page  2)"
    shot page2
    menu p p; expect_title "Kelvarine Label Maker - ${scratch^^}  (Page  1)"

    menu f a Return  # File, Save Label File As: "&As" is the first of two on A
    file_dialog "Save Label File" "$LM_SAVED"
    expect_title "Kelvarine Label Maker - ${LM_SAVED^^} (Page  1)"

    menu f a a Return  # File, Print All: the second item on A
    answer "All the labels will be printed out. Proceed?" y
    for _ in $(seq 1 100); do [ -s "$QORTEX_DIR/labels.pdf" ] && break; sleep 0.1; done
    [ -s "$QORTEX_DIR/labels.pdf" ] || fail "Print All left no $QORTEX_DIR/labels.pdf"
    # The first print of the run into the no-printer PDF says where it is.
    answer "No printer is installed, so the labels were written to the PDF file $QORTEX_DIR/labels.pdf." Return
    # Print All shows the page it started from again.
    expect_title "Kelvarine Label Maker - ${LM_SAVED^^}  (Page  1)"
    shot printed

    exit_by_menu
}
lm_xvfb session
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
