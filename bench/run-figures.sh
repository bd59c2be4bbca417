#!/bin/bash
# The figures labelmaker-bench cannot take from inside one process, with
# their references measured in the same run:
#   - start-up: the real labelmaker on a virtual X screen, from process start
#     to its main window being mapped, with 56 sp1/sp2-f2 labels on the first
#     page (5 runs, median);
#   - the peak resident memory of saving one page in the middle of a 64 MiB
#     and of a 1 GiB label file (labelmaker-save-memory, one process each);
#   - references: cp of a 64 MiB file, cat of a 100 MB file to /dev/null
#     (5 runs each, median).
# Usage: run-figures.sh BUILD_DIR. Scratch files go under $TMPDIR (or /tmp)
# and are removed at the end. A figure whose tools are missing is skipped.
set -u
build=${1:?usage: run-figures.sh BUILD_DIR}
runs=5
work=$(mktemp -d "${TMPDIR:-/tmp}/lm-figures-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'; }

echo "== Machine"
echo "cores: $(nproc), CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "scratch folder: $work ($(df -h "$work" | awk 'NR == 2 { print $4 " free" }'))"

status=0

# ---- references: cp and cat ----
echo "== References (median of $runs)"
yes 'QA76.73~~.C153~~S77~~2045~~' | head -c $((64 << 20)) >"$work/labels64.dat"
yes 'QA76.73   Stroustrup, Bjarne. The C++ programming language /' | head -c 100000000 >"$work/export.txt"
for _ in $(seq 1 $runs); do
    t0=$(now); cp "$work/labels64.dat" "$work/copy.dat"; t1=$(now)
    ms "$t0" "$t1"
done | median | xargs printf 'cp 64 MiB file: %s ms\n'
rm -f "$work/copy.dat"
for _ in $(seq 1 $runs); do
    t0=$(now); cat "$work/export.txt" >/dev/null; t1=$(now)
    ms "$t0" "$t1"
done | median | awk '{ printf "cat 100 MB file > /dev/null: %s ms (%.0f MB/s)\n", $1, 100000 / $1 }'
rm -f "$work/labels64.dat" "$work/export.txt"

# ---- save memory ----
echo "== Peak memory of saving one page in the middle of a label file"
saver=$build/bin/labelmaker-save-memory
if [ ! -x "$saver" ]; then
    echo "skipped: $saver is missing"
else
    free_mib=$(df -Pm "$work" | awk 'NR == 2 { print $4 }')
    for size in 64 1024; do
        # The file and the save's new copy beside it, with room to spare.
        if [ "$free_mib" -lt $((size * 2 + 512)) ]; then
            echo "${size} MiB: skipped, only $free_mib MiB free in $work"
            continue
        fi
        if line=$("$saver" "$size" "$work"); then
            echo "$line" | awk '{
                for (i = 1; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
                printf "%5d MiB file: save %.3f s, peak RSS %.1f MiB (%.1f MiB before the save; file written in %.1f s)\n",
                    f["size_mib"], f["save_s"], f["peak_kib"] / 1024, f["peak_before_save_kib"] / 1024, f["write_s"] }'
        else
            echo "${size} MiB: FAILED"
            status=1
        fi
    done
fi

# ---- start-up ----
echo "== Start-up to a shown main window, 56 sp1/sp2-f2 labels (median of $runs)"
program=$build/bin/labelmaker
missing=""
for tool in xvfb-run xdotool; do command -v "$tool" >/dev/null || missing="$missing $tool"; done
if [ -n "$missing" ]; then
    echo "skipped: not installed:$missing"
elif [ ! -x "$program" ]; then
    echo "skipped: $program is missing"
else
    export QORTEX_DIR=$work/qortex LM_PROGRAM=$program LM_RUNS=$runs
    mkdir -p "$QORTEX_DIR"
    # sp1/sp2-f2 (label type 8), Interactive printing, its default margins.
    printf '"Times New Roman",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"Times New Roman",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,8,1,690,390,35,30\r\n' \
        >"$QORTEX_DIR/\$\$\$set.val"
    # Two pages: the first holds 56 labels.
    for k in $(seq 1 112); do printf 'QA76.73\r\n.C%03d\r\nS77\r\n2045~~' "$k"; done \
        >"$QORTEX_DIR/\$\$label.dat"
    xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
        set -u
        command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & sleep 1; }
        for run in $(seq 1 "$LM_RUNS"); do
            t0=$(date +%s.%N)
            "$LM_PROGRAM" >"$QORTEX_DIR.log" 2>&1 &
            pid=$!
            shown="" cpu=""
            # The main window carries the working file in its title; the splash does not.
            for _ in $(seq 1 3000); do
                if xdotool search --onlyvisible --name "^Kelvarine Label Maker - " >/dev/null 2>&1; then
                    shown=$(date +%s.%N)
                    cpu=$(awk -v hz="$(getconf CLK_TCK)" "{ printf \"%.3f\", (\$14 + \$15) / hz }" "/proc/$pid/stat" 2>/dev/null)
                    break
                fi
                kill -0 "$pid" 2>/dev/null || break
            done
            kill -TERM "$pid" 2>/dev/null
            for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
            kill -KILL "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
            if [ -z "$shown" ]; then echo "FAILED: no main window"; cat "$QORTEX_DIR.log"; exit 1; fi
            awk -v a="$t0" -v b="$shown" "BEGIN { printf \"%.3f\n\", b - a }"
            # The CPU time (user + system) the program had used when its window
            # was found: what the load of other work does not stretch.
            [ -n "$cpu" ] && echo "cpu $cpu"
        done
        # Reference: Qt alone, connecting to the display and ending at once.
        TIMEFORMAT="version %3R %3U %3S"
        for _ in $(seq 1 "$LM_RUNS"); do
            { time "$LM_PROGRAM" --version >/dev/null 2>&1; } 2>&1
        done
        # What one poll costs: the resolution of the times above.
        t0=$(date +%s.%N)
        for _ in $(seq 1 10); do xdotool search --onlyvisible --name "^no such window$" >/dev/null 2>&1; done
        awk -v a="$t0" -v b="$(date +%s.%N)" "BEGIN { printf \"poll %.1f\n\", (b - a) * 100 }"
    ' >"$work/startup.txt"
    if [ $? -ne 0 ]; then
        cat "$work/startup.txt"
        status=1
    else
        shown=$(grep -v ' ' "$work/startup.txt")
        echo "runs (s): $(echo $shown)"
        echo "median: $(echo "$shown" | median) s (one xdotool poll: $(grep poll "$work/startup.txt" | cut -d' ' -f2) ms)"
        echo "CPU time used by then (user + system): median $(grep cpu "$work/startup.txt" | cut -d' ' -f2 | median) s"
        echo "reference, labelmaker --version on the same screen (Qt start-up alone): median $(grep version "$work/startup.txt" | cut -d' ' -f2 | median) s, CPU $(grep version "$work/startup.txt" | awk '{ print $3 + $4 }' | median) s"
    fi
fi

echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
