#!/bin/bash
# Prints through a real print queue: starts a private cupsd that listens only
# on a Unix socket of its own, adds a cups-pdf queue as its default printer,
# runs the real labelmaker on a virtual X screen against it (CUPS_SERVER),
# chooses File, Print Current Page with the keyboard (alt+f, p, Return) and
# checks the PDF that cups-pdf writes: one page, and the labels' ink where the
# PDF writer of labelmaker-cli puts it, the first label at its place on the
# sheet. A copy is kept as BUILD_DIR/smoke-cups-print.pdf. Then the queue
# is calibrated with labelmaker-cli calibrate and the page printed again: its
# ink must lie where labelmaker-cli pdf --calibration puts it, since the
# window applies the queue's calibration to every print on it.
#
# cups-pdf writes into the Out folder of /etc/cups/cups-pdf.conf (Debian:
# ~/PDF of the user who prints); the test removes the file it made there.
# Usage: cups_print.sh BUILD_DIR. Exit 77 (skipped) when a tool is missing,
# when not run as root (cups-pdf's backend runs only as root) or when cupsd
# cannot start.
set -u
. "$(dirname "$0")/lib/common.sh"
lm_setup "${1:-}" cupsd lpadmin lpstat cupsreject xvfb-run openbox xprop xdotool pdfinfo pdftoppm convert
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -e "$backend" ] && [ -f "$ppd" ] || lm_skip "cups-pdf (printer-driver-cups-pdf) is not installed"
[ "$(id -u)" = 0 ] || lm_skip "cups-pdf's backend runs only as root"
[ -x "$build/bin/labelmaker-cli" ] || { echo "FAIL: $build/bin/labelmaker-cli is missing"; exit 1; }

# Where cups-pdf puts its files: its Out setting, ${HOME} being the home of
# the user who prints.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
out=${out:-'${HOME}/PDF'}
out=${out//'${HOME}'/$home}
out_existed=no
[ -d "$out" ] && out_existed=yes

chmod 755 "$work"
cupsd_pid=""
before=$work/before.txt
cleanup() {
    [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
    if [ -d "$out" ]; then
        # Only the files this test made.
        comm -13 "$before" <(ls -1 "$out" | sort) | while read -r name; do rm -f "$out/$name"; done
        [ "$out_existed" = no ] && rmdir "$out" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
ls -1 "$out" 2>/dev/null | sort >"$before"

# A cupsd of our own: its own configuration, spool and state, no network.
mkdir -p "$work/etc" "$work/spool" "$work/cache" "$work/state" "$work/log" "$work/tmp"
chmod 1777 "$work/tmp"
export CUPS_SERVER=$work/cups.sock
cat >"$work/etc/cupsd.conf" <<EOF
Listen $CUPS_SERVER
Browsing No
WebInterface No
LogLevel info
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
CacheDir $work/cache
StateDir $work/state
TempDir $work/tmp
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
Printcap $work/printcap
EOF
cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
# lpstat -r exits 0 whether or not the scheduler answers: only its words
# tell. On a loaded machine cupsd can take a while to listen.
scheduler_up() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }
deadline=$((SECONDS + 30))
until scheduler_up; do
    kill -0 "$cupsd_pid" 2>/dev/null || break
    [ "$SECONDS" -lt "$deadline" ] || break
    sleep 0.2
done
scheduler_up || { cat "$work/log/cupsd.out"; tail -n 20 "$work/log/error_log" 2>/dev/null; lm_skip "cupsd could not start"; }

queue=LabelMakerTest
if ! why=$(lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>&1); then
    echo "FAIL: lpadmin could not add the cups-pdf queue: $why"
    tail -n 20 "$work/log/error_log" 2>/dev/null
    exit 1
fi
lpadmin -d "$queue" || { echo "FAIL: lpadmin could not make $queue the default"; exit 1; }
export LPDEST=$queue

# The default settings (sp1, Interactive printing) and a working label file
# of three labels that fit their labels (one that does not would be listed
# by the check before printing).
printf 'FIRST~~SECOND~~THIRD~~' >"$QORTEX_DIR/\$\$label.dat"
export LM_OUT=$out LM_BEFORE=$before LM_QUEUE=$queue LM_CLI=$build/bin/labelmaker-cli
# Crosshairs of sp1 meant at 11.289, 16.228 and 205.176, 270.228 mm measured
# here: an offset of +1.5 mm across, -0.8 mm down, a scale of 1.01.
calibrated_at=12.902,15.590,208.727,272.130
export LM_CALIBRATED_AT=$calibrated_at

# Prints once; then, with the queue refusing jobs, once more, which must end
# in a message box instead of silence.
session() {
    print_page() { menu f p; answer "Print Current Page" Return; }
    start_program "^Kelvarine Label Maker - "
    # The queue runs each job through its filters into cups-pdf.
    wait_for_pdfs() {
        for _ in $(seq 1 150); do
            [ "$(comm -13 "$LM_BEFORE" <(ls -1 "$LM_OUT" 2>/dev/null | sort) | grep -c "\.pdf$")" -ge "$1" ] &&
                ! lpstat -o "$LM_QUEUE" 2>/dev/null | grep -q . && break
            sleep 0.2
        done
    }
    print_page
    wait_for_pdfs 1
    # Each print reads the calibration file again: no restart is needed.
    "$LM_CLI" calibrate --printer "$LM_QUEUE" --unit mm --measured "$LM_CALIBRATED_AT" >/dev/null ||
        fail "labelmaker-cli calibrate refused the measurements"
    print_page
    wait_for_pdfs 2
    cupsreject "$LM_QUEUE"
    print_page
    answer "the refused print job" Return
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    kill -TERM "$pid"
    exit 0
}
lm_xvfb session || exit 1

pdfs=$(comm -13 "$before" <(ls -1 "$out" 2>/dev/null | sort) | grep '\.pdf$')
if [ "$(grep -c . <<<"$pdfs")" != 2 ]; then
    echo "FAIL: cups-pdf wrote ${pdfs:-no PDF} into $out, two PDFs expected"
    lpstat -W all -o
    tail -n 30 "$work/log/error_log"
    exit 1
fi
# In the order they were printed: the first without calibration.
pdf=$(cd "$out" && ls -1tr $pdfs | head -n 1)
calibrated_pdf=$out/$(cd "$out" && ls -1tr $pdfs | tail -n 1)
pdf=$out/$pdf
cp "$pdf" "$build/smoke-cups-print.pdf"

pages=$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')
[ "$pages" = 1 ] || { echo "FAIL: $pages pages printed, 1 expected"; exit 1; }

# Where the ink lies, at 144 dpi (2 pixels a point, 10 twips a pixel), as
# ImageMagick's trim box "WxH+X+Y". The text itself cannot be read back: on
# its way through PostScript the fonts lose the map from glyphs to letters.
ink() {
    pdftoppm -gray -r 144 -f 1 -l 1 "$1" "$work/ink" 2>/dev/null &&
        convert "$work/ink-1.pgm" -format '%@' info: 2>/dev/null
    rm -f "$work/ink-1.pgm"
}
printed=$(ink "$pdf")
[ -n "$printed" ] && [ "$printed" != 0x0+0+0 ] || { echo "FAIL: nothing is printed on the page"; exit 1; }
# The same page as labelmaker-cli pdf writes it, from the page's corner.
reference=$work/reference.pdf
"$build/bin/labelmaker-cli" pdf "$QORTEX_DIR/\$\$label.dat" "$reference" >/dev/null 2>&1 ||
    { echo "FAIL: labelmaker-cli pdf wrote no reference page"; exit 1; }
expected=$(ink "$reference")
# sp1: the first label at the page margins (left 640, top 920 twips) with its
# inner margins (35 left, 144 top): its first line's ink starts 67.5 pixels
# from the left and, below the line's top at 106.4, within the font's ascent.
# The queue's paper has no unprintable border, so both count from the corner.
awk -v printed="$printed" -v expected="$expected" 'BEGIN {
    split(printed, p, /[x+]/); split(expected, e, /[x+]/)
    off = 0
    for (i = 1; i <= 4; ++i) if (p[i] - e[i] > 2 || e[i] - p[i] > 2) off = 1
    if (p[3] < 65.5 || p[3] > 69.5 || p[4] < 106 || p[4] > 126) off = 1
    printf "ink of the printed page %s, of the PDF writer'"'"'s page %s\n", printed, expected
    if (off) { print "FAIL: the labels are not where the sheet has them"; exit 1 }
}' || exit 1

# The calibrated print against labelmaker-cli pdf with the same calibration.
printed=$(ink "$calibrated_pdf")
"$build/bin/labelmaker-cli" pdf --calibration "$queue" "$QORTEX_DIR/\$\$label.dat" "$reference" \
    >/dev/null 2>&1 || { echo "FAIL: labelmaker-cli pdf --calibration wrote no reference page"; exit 1; }
expected=$(ink "$reference")
awk -v printed="$printed" -v expected="$expected" -v plain="$(ink "$pdf")" 'BEGIN {
    split(printed, p, /[x+]/); split(expected, e, /[x+]/); split(plain, u, /[x+]/)
    off = 0
    for (i = 1; i <= 4; ++i) if (p[i] - e[i] > 2 || e[i] - p[i] > 2) off = 1
    # Drawn at (P - offset) / scale: 8.5 pixels further left, 4.5 lower.
    if (u[3] - p[3] < 6 || p[4] - u[4] < 2) off = 1
    printf "ink of the calibrated print %s, of pdf --calibration %s\n", printed, expected
    if (off) { print "FAIL: the calibrated print is not where its calibration puts it"; exit 1 }
}' || exit 1
echo "printed through cups-pdf: $build/smoke-cups-print.pdf"
