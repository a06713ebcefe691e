#!/usr/bin/env bash
# The real program on its own X server with the built-in synthesiser writing its sound into a
# WAV file (STRUMVANE_MIDI_PORT=builtin STRUMVANE_AUDIO_DRIVER=file): picks Pitch "E", holds
# "Play Chord Sound" down with the mouse, lets go, closes the window as a window manager would,
# and checks that the program ended cleanly and the file holds the chord on screen.
# Usage: builtin-synth-window-test.sh PATH-TO-STRUMVANE PATH-TO-STRUMVANE-CHARTS PATH-TO-PROBE
# Exit codes: 0 passed, 1 failed, 77 skipped (no X server tools or no SoundFont).
set -uo pipefail

program=${1:?usage: $0 STRUMVANE STRUMVANE-CHARTS CHORD-WAVE-PROBE}
tool=${2:?usage: $0 STRUMVANE STRUMVANE-CHARTS CHORD-WAVE-PROBE}
probe=${3:?usage: $0 STRUMVANE STRUMVANE-CHARTS CHORD-WAVE-PROBE}
for needed in Xvfb xdotool python3; do
    command -v "$needed" >/dev/null || { echo "SKIP: $needed is not installed"; exit 77; }
done
[ -e /usr/share/sounds/sf2/default-GM.sf2 ] || {
    echo "SKIP: no General MIDI SoundFont (Debian package timgm6mb-soundfont)"
    exit 77
}

# shellcheck source=../support/window-session.sh
. "$(dirname "$0")/../support/window-session.sh"
start_xvfb

fresh_user Desktop

export STRUMVANE_MIDI_PORT=builtin
export STRUMVANE_AUDIO_DRIVER=file
export STRUMVANE_AUDIO_FILE="$work/window.wav"

setting() { # key
    awk -F= -v key="$1" '$1 == key {sub(/^[^=]*=/, ""); print}' "$ini" 2>/dev/null
}

# The main window (696 x 736). Any other window before it is a message box: with the built-in
# synthesiser opening, there must be none ("The MIDI stream is unavailable..." would be one).
"$program" >"$work/program.log" 2>&1 &
program_pid=$!
window=""
for _ in $(seq 300); do
    kill -0 "$program_pid" 2>/dev/null || die "the program ended during start-up"
    for candidate in $(xdotool search --onlyvisible --name '^Strumvane$' 2>/dev/null); do
        geometry=$(xdotool getwindowgeometry "$candidate" 2>/dev/null | awk '/Geometry/ {print $2}')
        if [ "$geometry" = "696x736" ]; then
            window=$candidate
        else
            die "a message box appeared at start-up"
        fi
    done
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || die "the main window did not appear"
sleep 1 # let the first paint finish

# Pitch "E": Option1(4), in its frame at 168,6, the button at 176,20 inside it.
xdotool mousemove --window "$window" 352 34 click 1
for _ in $(seq 150); do
    [ "$(setting Pitch)" = 4 ] && break
    sleep 0.1
done
[ "$(setting Pitch)" = 4 ] || die "the Pitch button was not taken (Pitch '$(setting Pitch)')"
chords=$(setting Chords)
[ -n "$chords" ] || die "no chord chosen"
# The chord on screen is list line "Chords" (entry Chords + 1) at the chosen Pitch.
notes=$("$tool" show $((chords + 1)) E | awk -F': ' '/^MIDI Notes/ {print $2}')
name=$("$tool" show $((chords + 1)) E | awk -F': ' '/^Chord Name/ {print $2}')
[ -n "$notes" ] || die "strumvane-charts could not show entry $((chords + 1))"
echo "on screen: $name, MIDI notes $notes"

# "Play Chord Sound" (PushButton3) lies at 168,632 and is 520 x 27 pixels: held for 1.5 s.
xdotool mousemove --window "$window" 428 645 mousedown 1
sleep 1.5
xdotool mouseup 1
sleep 1.5

close_like_a_window_manager "$window" || die "could not ask the window to close"

# Closing ends the program: no hang, and a clean exit (sanitizer findings make it non-zero).
for _ in $(seq 200); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && die "the program did not end within 20 s of the close"
wait "$program_pid"
status=$?
program_pid=""
[ "$status" -eq 0 ] || die "the program ended with status $status"

[ -s "$STRUMVANE_AUDIO_FILE" ] || die "no sound file written"
# shellcheck disable=SC2086 # the notes are separate arguments
"$probe" "$STRUMVANE_AUDIO_FILE" $notes || die "the sound file does not hold $name ($notes)"
echo "builtin synthesiser window test passed"
