# Sourced by the real-window tests: an X server and a fresh user of their own.
# Expects $work (a temporary folder), xvfb_pid (killed by the caller's clean-up) and die().

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
