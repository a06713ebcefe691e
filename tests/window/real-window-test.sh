#!/usr/bin/env bash
# Runs the real program as a user would, on its own X server: answers the start-up message,
# clicks a Pitch button and a chord-list line, takes screenshots, restarts the program and
# checks that the window comes back with the same chord and Pitch.
# Usage: real-window-test.sh PATH-TO-STRUMVANE
# Exit codes: 0 passed, 1 failed, 77 skipped (no X server tools on this machine).
set -uo pipefail

program=${1:?usage: $0 PATH-TO-STRUMVANE}
for tool in Xvfb xdotool import convert compare; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# shellcheck source=../support/window-session.sh
. "$(dirname "$0")/../support/window-session.sh"
start_xvfb

# A fresh user: settings and desktop folder in the temporary folder.
fresh_user Schreibtisch
echo 'XDG_DESKTOP_DIR="$HOME/Schreibtisch"' >"$XDG_CONFIG_HOME/user-dirs.dirs"

window=""
window_x=0
window_y=0

# Starts the program and waits for its main window (696 x 736), answering any message box
# shown before it (on a machine without MIDI output: "The MIDI stream is unavailable...").
start_program() {
    "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    window=""
    local boxes=0
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || die "the program ended during start-up"
        for candidate in $(xdotool search --onlyvisible --name '^Strumvane$' 2>/dev/null); do
            local geometry
            geometry=$(xdotool getwindowgeometry "$candidate" 2>/dev/null)
            if [ "$(awk '/Geometry/ {print $2}' <<<"$geometry")" = "696x736" ]; then
                window=$candidate
                window_x=$(awk '/Position/ {split($2, p, ","); print p[1]}' <<<"$geometry")
                window_y=$(awk '/Position/ {split($2, p, ","); print p[2]}' <<<"$geometry")
            else
                xdotool windowfocus --sync "$candidate" key Return 2>/dev/null && boxes=$((boxes + 1))
            fi
        done
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || die "the main window did not appear"
    echo "window $window at $window_x,$window_y after $boxes message box(es)"
    sleep 1 # let the first paint finish
}

stop_program() {
    # Nothing is saved at exit, so ending the process loses nothing.
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=""
}

screenshot() {
    timeout 10 import -window root "$work/$1.png" || die "screenshot $1 failed"
}

# Writes the inner area of chart 1 or 2 (516 x 117 pixels) of a screenshot to a file.
# Picture1 lies at 168,198 and Picture2 at 168,326 in the window, inside a 2-pixel border.
chart_crop() { # shot chart out
    local top=$((200 + ($2 - 1) * 128))
    convert "$work/$1.png" -crop "516x117+$((window_x + 170))+$((window_y + top))" +repage \
        "$work/$3.png"
}

# Grey levels (0 black .. 255 white) of a row of pixels of a chart crop.
grey_row() { # crop x y width
    convert "$work/$1.png" -crop "${4}x1+$2+$3" +repage -colorspace gray -depth 8 txt:- |
        awk -F'[()]' 'NR > 1 {split($2, v, ","); printf "%d ", v[1]}'
}

differing_pixels() { # a b
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | awk '{print int($1)}'
}

setting() { # key
    awk -F= -v key="$1" '$1 == key {sub(/^[^=]*=/, ""); print}' "$ini" 2>/dev/null
}

# Waits up to 15 s (a loaded machine is slow) until the stored value of a key passes a test.
wait_for_setting() { # key test-on-$value
    local value
    for _ in $(seq 150); do
        value=$(setting "$1")
        eval "$2" && return 0
        sleep 0.1
    done
    fail "$1 never passed: $2 (last '$value')"
}

# The nut: a 7-pixel line at 29 pixels from the chart's left edge, from string 1 to string 6.
# Between two strings it must be dark over at least 5 neighbouring columns.
check_nut() { # crop
    local row dark
    for row in 51 80; do
        dark=$(grey_row "$1" 22 "$row" 16 | tr ' ' '\n' | awk '$1 != "" && $1 < 90' | wc -l)
        [ "$dark" -ge 5 ] || fail "$1: the nut is $dark pixels wide at row $row (want >= 5)"
    done
    # Right of the nut, between the frets, the chart is light again.
    local light
    light=$(grey_row "$1" 36 51 1)
    [ "${light% }" -gt 200 ] 2>/dev/null || fail "$1: no light gap right of the nut ($light)"
}

# --- First run: an empty store ---------------------------------------------------------------
start_program
screenshot shot1
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = "696x736" ] || fail "window size $geometry"
[ "$(setting Chords)" = "35" ] || fail "Chords after the first start: '$(setting Chords)'"
[ "$(setting Folder)" = "$HOME/Schreibtisch/" ] || fail "Folder after the first start: '$(setting Folder)'"
chart_crop shot1 1 s1c1
chart_crop shot1 2 s1c2
check_nut s1c1
check_nut s1c2

# --- The user picks Pitch "E" and a line near the top of the chord list ----------------------
# Option1(4) "E": frame at 168,6, button at 176,20 inside it.
xdotool mousemove --window "$window" 352 34 click 1
wait_for_setting Pitch '[ "$value" = 4 ]'
# ListView1: frame at 8,8, list at 16,20 inside it; about the fifth line.
xdotool mousemove --window "$window" 80 110 click 1
wait_for_setting Chords '[ -n "$value" ] && [ "$value" != 35 ]'
sleep 0.7 # the settings are written before the window repaints
screenshot shot2
chords=$(setting Chords)
[ "$(setting Pitch)" = "4" ] || fail "Pitch after the click: '$(setting Pitch)'"
[ -n "$chords" ] && [ "$chords" != "35" ] || fail "Chords after the click: '$chords'"
echo "chosen: line $chords, Pitch $(setting Pitch)"
chart_crop shot2 1 s2c1
chart_crop shot2 2 s2c2
check_nut s2c1
check_nut s2c2
# The titles at the charts' top-left corners changed with the chord.
for chart in 1 2; do
    convert "$work/s1c$chart.png" -crop 200x15+0+0 +repage "$work/t1c$chart.png"
    convert "$work/s2c$chart.png" -crop 200x15+0+0 +repage "$work/t2c$chart.png"
    changed=$(differing_pixels "t1c$chart" "t2c$chart")
    [ "${changed:-0}" -gt 20 ] || fail "chart $chart: the title did not change ($changed pixels)"
    # Each title is really drawn: dark pixels in its band.
    dark=$(convert "$work/t2c$chart.png" -colorspace gray -threshold 50% -format '%[fx:int(w*h*(1-mean))]' info:)
    [ "$dark" -gt 20 ] || fail "chart $chart: no title drawn ($dark dark pixels)"
done
stop_program

# --- A restart brings back the same chord at the same Pitch ----------------------------------
cp "$ini" "$work/before-restart.ini"
start_program
screenshot shot3
[ "$(setting Chords)" = "$chords" ] || fail "Chords after the restart: '$(setting Chords)'"
[ "$(setting Pitch)" = "4" ] || fail "Pitch after the restart: '$(setting Pitch)'"
for chart in 1 2; do
    chart_crop shot3 "$chart" "s3c$chart"
    changed=$(differing_pixels "s2c$chart" "s3c$chart")
    [ "${changed:-1}" -eq 0 ] || fail "chart $chart differs after the restart ($changed pixels)"
done
stop_program

if [ -n "${STRUMVANE_KEEP_SCREENSHOTS:-}" ]; then
    mkdir -p "$STRUMVANE_KEEP_SCREENSHOTS"
    cp "$work"/shot*.png "$STRUMVANE_KEEP_SCREENSHOTS/"
fi
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed; program output:" >&2
    cat "$work/program.log" >&2
    exit 1
fi
echo "real window test passed"
