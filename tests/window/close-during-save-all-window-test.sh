#!/usr/bin/env bash
# The real program on its own X server, asked to close while "Save All Charts As Image Files "
# runs: by the window manager's close and by SIGTERM while an error box is up, by SIGINT while
# a box is up, and by SIGTERM between boxes. Each close must end the program promptly with the
# status a Linux user expects, with no box left, the user's chord and Pitch back in the
# settings and no temporary file in the folder.
# Usage: close-during-save-all-window-test.sh PATH-TO-STRUMVANE PATH-TO-STRUMVANE-CHARTS
# Exit codes: 0 passed, 1 failed, 77 skipped (no X server tools on this machine).
set -uo pipefail

program=${1:?usage: $0 STRUMVANE STRUMVANE-CHARTS}
tool=${2:?usage: $0 STRUMVANE STRUMVANE-CHARTS}
for needed in Xvfb xdotool import python3; do
    command -v "$needed" >/dev/null || { echo "SKIP: $needed is not installed"; exit 77; }
done

# The clean-up kills a program still running at the end outright.
program_stop_signal=KILL
# shellcheck source=../support/window-session.sh
. "$(dirname "$0")/../support/window-session.sh"
start_xvfb
fresh_user Desktop
# No MIDI box at start-up: the built-in synthesiser plays into a file.
export STRUMVANE_MIDI_PORT=builtin STRUMVANE_AUDIO_DRIVER=file
export STRUMVANE_AUDIO_FILE="$work/sound.wav"

setting() { # key
    awk -F= -v key="$1" '$1 == key {sub(/^[^=]*=/, ""); print}' "$ini" 2>/dev/null
}

# Folders in the way of both charts of catalogue line 0 at every Pitch, so that the run's first
# 24 files fail and their error boxes come up, one after another.
block_first_line() { # folder
    local pitch name notes stem
    for pitch in $(seq 0 11); do
        name=$("$tool" show 1 "$pitch" | awk -F': ' '/^Chord Name/ {print $2}')
        notes=$("$tool" show 1 "$pitch" | awk -F': ' '/^Chord Spelling/ {print $2}')
        stem=$(printf '%s %s' "$name" "$notes" | tr '/+\\' '___')
        mkdir -p "$1/$stem 1.jpg" "$1/$stem 2.jpg"
    done
}

visible_boxes() {
    xdotool search --onlyvisible --name '^Application Error$' 2>/dev/null
}

# Starts the program on line 3 at Pitch 5, saving JPEG files into $out, and waits for the main
# window (696 x 736). SIGINT is left at its default: a script's background job would ignore it.
start_program() {
    rm -f "$ini"
    printf '[Strumvane]\nChords=3\nPitch=5\nFolder=%s/\n' "$out" >"$ini"
    env --default-signal=INT "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    window=""
    for _ in $(seq 150); do
        kill -0 "$program_pid" 2>/dev/null || die "the program ended during start-up"
        for candidate in $(xdotool search --onlyvisible --name '^Strumvane$' 2>/dev/null); do
            [ "$(xdotool getwindowgeometry "$candidate" 2>/dev/null |
                awk '/Geometry/ {print $2}')" = "696x736" ] && window=$candidate
        done
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || die "the main window did not appear"
    sleep 1 # let the first paint finish
}

# Case: how the close is asked for, whether a box is up then, and the exit status expected.
# Signals end the program by the same signal once all is written (128 + its number).
cases=(
    "window-close box 0"
    "TERM box 143"
    "INT box 130"
    "TERM running 143"
)
for case in "${cases[@]}"; do
    read -r how when expected <<<"$case"
    echo "--- $how while $when"
    out="$work/out-$how-$when"
    mkdir -p "$out"
    [ "$when" = box ] && block_first_line "$out"
    start_program
    # "Save All Charts As Image Files " (PushButton4) lies at 168,598 and is 520 x 27 pixels.
    xdotool mousemove --window "$window" 428 611 click 1
    if [ "$when" = box ]; then
        for _ in $(seq 150); do
            [ -n "$(visible_boxes)" ] && break
            sleep 0.1
        done
        [ -n "$(visible_boxes)" ] || { fail "$how: no error box came up"; continue; }
        sleep 0.5
        screenshot="$work/box-$how.png"
        timeout 10 import -window root "$screenshot" || fail "$how: no screenshot"
        [ -n "${STRUMVANE_KEEP_SCREENSHOTS:-}" ] &&
            mkdir -p "$STRUMVANE_KEEP_SCREENSHOTS" && cp "$screenshot" "$STRUMVANE_KEEP_SCREENSHOTS/"
    else
        # Some lines written, the run still going.
        for _ in $(seq 150); do
            [ "$(find "$out" -name '*.jpg' | wc -l)" -ge 48 ] && break
            sleep 0.1
        done
    fi
    if [ "$how" = window-close ]; then
        close_like_a_window_manager "$window" || fail "$how: could not ask the window to close"
    else
        kill -"$how" "$program_pid"
    fi
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        fail "$how while $when: the program did not end within 10 s ($(visible_boxes | wc -l) box(es) up)"
        kill -KILL "$program_pid"
    fi
    wait "$program_pid"
    status=$?
    program_pid=""
    [ "$status" -eq "$expected" ] || fail "$how while $when: exit status $status, want $expected"
    [ "$(setting Chords)" = 3 ] || fail "$how while $when: Chords is '$(setting Chords)', want 3"
    [ "$(setting Pitch)" = 5 ] || fail "$how while $when: Pitch is '$(setting Pitch)', want 5"
    stray=$(find "$out" -name '.strumvane-*' | wc -l)
    [ "$stray" -eq 0 ] || fail "$how while $when: $stray temporary file(s) left in the folder"
    written=$(find "$out" -type f -name '*.jpg' | wc -l)
    [ "$written" -lt 14664 ] || fail "$how while $when: the run did not stop ($written files)"
    echo "ended with status $status after $written file(s)"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed; program output:" >&2
    cat "$work/program.log" >&2
    exit 1
fi
echo "close during save-all window test passed"
