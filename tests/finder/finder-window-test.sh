#!/usr/bin/env bash
# Strumvane Chord Finder as a user meets it, on its own X server with the built-in synthesiser
# writing its sound into WAV files: types "Am7" and compares the first box with the tool's
# render of the same voicing; holds Space on it and finds its notes in the sound; adds three
# chords to the sheet; clicks x-3-2-0-1-0 in the editor and reads "C" first; chooses the
# ukulele and sees four strings; saves the sheet as a PDF and reads its text; starts again and
# finds the same choices.
# Usage: finder-window-test.sh STRUMVANE-FINDER STRUMVANE-CHARTS CHORD-WAVE-PROBE
# Exit codes: 0 passed, 1 failed, 77 skipped (no X server tools or no SoundFont).
set -uo pipefail

program=${1:?usage: $0 STRUMVANE-FINDER STRUMVANE-CHARTS CHORD-WAVE-PROBE}
tool=${2:?usage: $0 STRUMVANE-FINDER STRUMVANE-CHARTS CHORD-WAVE-PROBE}
wave_probe=${3:?usage: $0 STRUMVANE-FINDER STRUMVANE-CHARTS CHORD-WAVE-PROBE}
box_probe="$(dirname "$0")/chord-box-probe.py"
for needed in Xvfb xdotool import convert python3 pdftotext; do
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

# The grid of boxes lies left of the details, under the filters; the editor left of the readings.
grid_area="15 140 680 690"
editor_area="15 100 640 660"

window=""
run=0
# Starts the program with its sound going to run-N.wav and waits for its window (no box may come
# before it, nor with it).
start_program() {
    run=$((run + 1))
    export STRUMVANE_AUDIO_FILE="$work/run-$run.wav"
    "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    window=""
    for _ in $(seq 300); do
        kill -0 "$program_pid" 2>/dev/null || die "the program ended during start-up"
        window=$(xdotool search --onlyvisible --name '^Strumvane Chord Finder$' 2>/dev/null | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || die "the window did not appear"
    sleep 1 # the first paint
    [ "$(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l)" -le 2 ] ||
        fail "more than the window is up at start"
    xdotool windowfocus --sync "$window" || die "could not give the window the focus"
}

# Closes the window as a window manager does and waits for a clean end.
close_program() {
    close_like_a_window_manager "$window" || die "could not ask the window to close"
    for _ in $(seq 200); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && die "the program did not end within 20 s of the close"
    wait "$program_pid"
    local status=$?
    program_pid=""
    [ "$status" -eq 0 ] || die "the program ended with status $status"
}

screenshot() {
    timeout 10 import -window root "$work/$1.png" || die "screenshot $1 failed"
}

keys() { # key...
    xdotool key --delay 60 "$@"
    sleep 0.4
}

# Types a chord into the chord field (Alt+C), the completion's list closed again.
chord() { # name
    keys alt+c ctrl+a BackSpace
    xdotool type --delay 80 "$1"
    keys Escape
}

setting() { # key, as QSettings writes it in the [Finder] group
    awk -F= -v key="$1" '/^\[/ {group = $0} group == "[Finder]" && $1 == key {
        sub(/^[^=]*=/, ""); print}' "$ini" 2>/dev/null
}

# Reads the X clipboard (the program answers while its event loop runs).
clipboard() {
    python3 - <<'PYTHON'
import ctypes, sys, time
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XCreateSimpleWindow.restype = ctypes.c_ulong
x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 4 + \
    [ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XConvertSelection.argtypes = [ctypes.c_void_p] + [ctypes.c_ulong] * 5
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
    ctypes.c_long, ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit(1)
window = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
atom = lambda name: x11.XInternAtom(display, name, 0)
target = atom(b"STRUMVANE_CLIPBOARD")
x11.XConvertSelection(display, atom(b"CLIPBOARD"), atom(b"UTF8_STRING"), target, window, 0)
event = (ctypes.c_long * 24)()
selection_notify = 31
deadline = time.time() + 5
while time.time() < deadline:
    if x11.XPending(display) == 0:
        time.sleep(0.02)
        continue
    x11.XNextEvent(display, event)
    if event[0] & 0xffffffff != selection_notify:
        continue
    kind, size, items, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
    data = ctypes.c_void_p()
    x11.XGetWindowProperty(display, window, target, 0, 1024, 0, 0, ctypes.byref(kind),
                           ctypes.byref(size), ctypes.byref(items), ctypes.byref(after),
                           ctypes.byref(data))
    if data.value:
        print(ctypes.string_at(data.value, items.value).decode())
    break
PYTHON
}

# --- First run: an empty store ----------------------------------------------------------------
start_program
screenshot empty

# "Am7" in the chord field, which has the focus: the first box is the tool's first voicing.
xdotool type --delay 80 "Am7"
keys Escape
screenshot am7
first=$("$tool" find Am7 | head -n1 | cut -f3)
[ "$first" = "x-0-2-0-1-0" ] || fail "the tool's first Am7 is '$first'"
# The grid draws strings 20 pixels apart, and a box from the nut is 7.6 x 9.45 spacings.
"$tool" render "$first" "$work/render-am7.png" --style box --size 152x189 ||
    die "the tool could not render $first"
# shellcheck disable=SC2086 # the area is four arguments
python3 "$box_probe" compare "$work/am7.png" "$work/render-am7.png" 6 $grid_area ||
    fail "the first Am7 box differs from the tool's render of $first"

# Holding Space on the first box sounds it: a click on its nut chooses it and focuses the grid.
# shellcheck disable=SC2086
read -r nut_x nut_y _ _ <<<"$(python3 "$box_probe" nut "$work/am7.png" $grid_area)"
[ -n "${nut_x:-}" ] || die "no box in the grid"
xdotool mousemove --window "$window" "$((nut_x + 30))" "$((nut_y + 60))" click 1
sleep 0.5
xdotool keydown space
sleep 1.5
xdotool keyup space
sleep 1.5

# Three chords on the sheet: the Am7 chosen (Enter), then G and Dm (Add to Sheet, Alt+A).
keys Return
chord G
keys alt+a
chord Dm
keys alt+a
[ "$(grep -o '|guitar|' <<<"$(setting Sheet)" | wc -l)" -eq 3 ] ||
    fail "the sheet kept: '$(setting Sheet)'"

# The editor (Name, Alt+N): x-3-2-0-1-0 clicked, the readings (Alt+D) copied (Ctrl+C).
keys alt+n
screenshot editor-empty
# shellcheck disable=SC2086
read -r left top width bottom <<<"$(python3 "$box_probe" nut "$work/editor-empty.png" $editor_area)"
[ -n "${bottom:-}" ] || die "no box in the editor"
spot() { # string fret: the pixel to click, as the chord box lays them out
    python3 - "$left" "$width" "$bottom" "$1" "$2" <<'PYTHON'
import sys
left, width, bottom, string, fret = map(float, sys.argv[1:])
spacing = width / (5 + 0.065)
x = left + 0.065 * spacing / 2 + string * spacing
wire0 = bottom + 1 - 0.065 * spacing / 2
y = wire0 - 0.85 * spacing if fret == 0 else wire0 + (fret - 0.5) * 1.3 * spacing
print(round(x), round(y))
PYTHON
}
for click in "1 3" "2 2" "3 0" "4 1" "5 0"; do
    # shellcheck disable=SC2046,SC2086 # two numbers
    xdotool mousemove --window "$window" $(spot $click) click 1
    sleep 0.3
done
screenshot editor-c
keys alt+d ctrl+c
reading=$(clipboard)
[ "$reading" = "C" ] || fail "the editor's first reading of x-3-2-0-1-0 is '$reading'"

# The ukulele (Alt+I, then U): four strings in the first box of the chord in the field.
keys alt+f alt+i u
sleep 0.5
screenshot ukulele
[ "$(setting Instrument)" = "ukulele" ] || fail "Instrument after choosing: '$(setting Instrument)'"
# shellcheck disable=SC2086
strings=$(python3 "$box_probe" strings "$work/ukulele.png" $grid_area)
[ "$strings" = "4" ] || fail "the ukulele's first box has '$strings' strings"

# The sheet (Alt+H) with a title (Alt+E), saved as a PDF (Alt+D) through the file dialog.
keys alt+h alt+e
xdotool type --delay 60 "Lesson 1"
keys alt+d
sleep 1
keys ctrl+a
xdotool type --delay 30 "$work/lesson.pdf"
keys Return
sleep 1
[ -s "$work/lesson.pdf" ] || fail "no PDF written"
sheet_text=$(pdftotext "$work/lesson.pdf" - 2>/dev/null | tr '\n' ' ')
for word in "Lesson 1" Am7 G Dm x-0-2-0-1-0; do
    grep -qw -- "$word" <<<"$sheet_text" || fail "the PDF has no '$word': $sheet_text"
done

close_program
# The sound of the held box: A2 E3 G3 C4 E4.
"$wave_probe" "$work/run-1.wav" 45 52 55 60 64 || fail "the sound file does not hold Am7"

# --- A second start finds the same choices ----------------------------------------------------
cp "$ini" "$work/before-restart.ini"
start_program
screenshot restart
xdotool type --delay 80 "C"
keys Escape
screenshot restart-c
# shellcheck disable=SC2086
strings=$(python3 "$box_probe" strings "$work/restart-c.png" $grid_area)
[ "$strings" = "4" ] || fail "after the restart the first box has '$strings' strings"
# The sheet, saved again, holds the same chords and title.
keys alt+h alt+d
sleep 1
keys ctrl+a
xdotool type --delay 30 "$work/again.pdf"
keys Return
sleep 1
[ "$(pdftotext "$work/again.pdf" - 2>/dev/null)" = "$(pdftotext "$work/lesson.pdf" - 2>/dev/null)" ] ||
    fail "the sheet saved after the restart differs"
close_program
# Nothing changed the choices: the file is as it was.
cmp -s "$ini" "$work/before-restart.ini" || fail "the settings changed over the restart"

if [ -n "${STRUMVANE_KEEP_SCREENSHOTS:-}" ]; then
    mkdir -p "$STRUMVANE_KEEP_SCREENSHOTS"
    cp "$work"/*.png "$STRUMVANE_KEEP_SCREENSHOTS/"
fi
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed; program output:" >&2
    cat "$work/program.log" >&2
    exit 1
fi
echo "finder window test passed"
