# Sourced by the smoke tests, never run as a test of its own: the set-up of a
# working folder and the helpers that drive the real program under Xvfb.

lm_skip() { echo "skipped: $*"; exit 77; }

# lm_setup BUILD_DIR TOOL...: skips (77) when a tool is missing; makes a fresh
# working folder $QORTEX_DIR inside $work, removed at the end.
lm_setup() {
    build=${1:?usage: $(basename "$0") BUILD_DIR}
    shift
    program=$build/bin/labelmaker
    for tool in "$@"; do command -v "$tool" >/dev/null || lm_skip "$tool is not installed"; done
    [ -x "$program" ] || { echo "FAIL: $program is missing"; exit 1; }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export QORTEX_DIR=$work/qortex LM_PROGRAM=$program LM_LIB=${BASH_SOURCE[0]}
    mkdir -p "$QORTEX_DIR"
}

# lm_settings TYPE PRINTING TOP LEFT: the default fonts and label margins.
lm_settings() {
    printf '"Times New Roman",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"Times New Roman",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,%d,%d,%d,%d,35,30\r\n' \
        "$@" >"$QORTEX_DIR/\$\$\$set.val"
}

# lm_xvfb FUNCTION: runs the shell function on a virtual X screen, with a
# window manager and the helpers below; its exit status is the session's.
lm_xvfb() {
    xvfb-run -a -s "-screen 0 1600x1200x24" bash -c "set -u; . \"\$LM_LIB\"; $(declare -f "$1"); start_wm; $1"
}

# Inside the X session. Keys go to the window that has the focus, so the
# window manager must be up before the program maps its window.
# On a loaded machine openbox can take seconds to come up; a program started
# before it has windows no one activates, so the session waits for it.
start_wm() {
    openbox >/dev/null 2>&1 &
    local deadline=$((SECONDS + 30))
    while [ "$SECONDS" -lt "$deadline" ]; do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.1
    done
    echo "FAIL: the window manager did not start within 30 s"
    exit 1
}

fail() {
    echo "FAIL: $*"
    [ -n "${LM_SHOTS:-}" ] && import -window root "$LM_SHOTS-failure.png"
    echo "--- program output:" && cat "$QORTEX_DIR.log"
    kill "${pid:-}" 2>/dev/null
    exit 1
}

shot() { sleep 0.7; import -window root "$LM_SHOTS-$1.png"; }

# Waits up to $2 seconds (10 by default) for a visible window whose name
# matches the pattern $1; its id goes into $found. A search can fail on a
# window that closes while it looks, so it is repeated, not synced.
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

# Starts the program; its main window, titled like $1, goes into $window.
start_program() {
    "$LM_PROGRAM" >"$QORTEX_DIR.log" 2>&1 &
    pid=$!
    search_window "$1" 30
    window=$found
}

# Waits until the window with the id $1 is no longer visible.
wait_closed() {
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "." 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "window $1 did not close"
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

# The title of page $1 of the working label file, $2 the space before "(Page".
title_of() {
    local file=$QORTEX_DIR/\$\$label.dat
    echo "Kelvarine Label Maker - ${file^^}$2(Page  $1)"
}

# Activates window $1 and waits up to 30 s until it has the focus. A window
# that has only just mapped may not be managed yet, and the window manager
# then drops the request: it is asked again every second, not once.
focus() {
    local deadline=$((SECONDS + 30)) asked=-1
    while [ "$SECONDS" -lt "$deadline" ]; do
        if [ "$asked" != "$SECONDS" ]; then
            asked=$SECONDS
            xdotool windowactivate "$1" 2>/dev/null
        fi
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    fail "window $1 did not get the focus; active: $(xdotool getactivewindow 2>&1), window manager: $(xprop -root _NET_SUPPORTING_WM_CHECK 2>&1), visible: $(xdotool search --onlyvisible --name . 2>/dev/null | tr '\n' ' ')"
}

keys() { xdotool key --delay 150 "$@"; }

# Answers the next box titled "Kelvarine Label Maker" (about $1) with the
# keys $2..., and waits until it has closed.
answer() {
    search_window "^Kelvarine Label Maker\$"
    local box=$found
    echo "answer: $1"
    shift
    focus "$box" && keys "$@"
    wait_closed "$box"
}

# The program's visible windows, its menus' popups among them.
program_windows() { xdotool search --onlyvisible --classname labelmaker 2>/dev/null | sort; }

# Chooses from the menu bar: the menu's access key, then, once its popup
# shows, the items' keys. The popup takes the keys in the order they come, a
# submenu opened by one of them included.
menu() {
    focus "$window"
    local before
    before=$(program_windows)
    keys "alt+$1"
    shift
    local deadline=$((SECONDS + 10))
    while [ -z "$(comm -13 <(echo "$before") <(program_windows))" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the menu of alt+$1 did not open"
        sleep 0.05
    done
    [ $# -gt 0 ] && keys "$@"
    return 0
}

# File, Exit must end the program, and with status 0.
exit_by_menu() {
    menu f e
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "File, Exit did not end the program"
    wait "$pid" || fail "the program ended with status $?"
}
