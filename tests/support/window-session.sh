# Sourced by the real-window tests: a temporary folder $work, removed at exit with the X server
# and the program still running ($xvfb_pid, $program_pid; the program gets
# $program_stop_signal, TERM unless the test set it), fail() to count a failure in $failures,
# die() to end at once showing $work/program.log, and an X server and a fresh user of their own.

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
program_stop_signal=${program_stop_signal:-TERM}
cleanup() {
    [ -n "$program_pid" ] && kill -"$program_stop_signal" "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "FAIL: $*" >&2
    if [ -s "$work/program.log" ]; then
        echo "--- what the program printed:" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}

# Starts Xvfb on a display it picks itself and exports DISPLAY. -noreset keeps the server
# from restarting (and refusing connections for a moment) when the first program closes.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x800x24 -nolisten tcp -noreset 3>"$work/display" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || die "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
}

# A fresh user in $work whose desktop folder is $HOME/$1; sets ini to its settings file.
fresh_user() {
    export HOME="$work/home"
    export XDG_CONFIG_HOME="$work/config"
    export XDG_RUNTIME_DIR="$work/runtime"
    export QT_QPA_PLATFORM=xcb
    unset SESSION_MANAGER
    mkdir -p "$HOME/$1" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    ini="$XDG_CONFIG_HOME/Quillmoor.ini"
}

# Asks window $1 to close as a window manager does, with a WM_DELETE_WINDOW message (there is
# no window manager on the X server of the tests).
close_like_a_window_manager() { # window
    python3 - "$1" <<'PYTHON'
import ctypes, sys
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(Event)]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit(1)
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x11.XFlush(display)
x11.XCloseDisplay(display)
PYTHON
}
