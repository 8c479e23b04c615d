# Private X servers for the scripts that run the game without the user's display. Sourced, not
# run: start_virtual_display, start_window_manager, stop_virtual_display, and
# end_virtual_session, an exit trap that also ends the game ($game) and removes $work.

virtual_display_pids=()

# Put before a command started in the background, followed by the pid of the shell that starts
# it ($BASHPID, taken before the '&', which expands it in the child), it ends that command with
# the shell, however the shell ends (kill -9 included): the system sends it SIGTERM when its
# parent dies. Should the shell die before that is set up, the command never starts.
with_this_shell=(setpriv --pdeathsig TERM -- sh -c '[ "$PPID" = "$0" ] && exec "$@"')

# Starts Xvfb on a free display number and points DISPLAY at it. The display admits only those
# who hold its cookie, kept in WORK_FOLDER (which must be private) and named by XAUTHORITY.
# Usage: start_virtual_display WORK_FOLDER [SCREEN, e.g. 1024x768x24]
start_virtual_display() {
    local work=$1 screen=${2:-1024x768x24} fd shell=$BASHPID
    # Without a cookie any user of this machine could watch and drive the display. The entry,
    # in xauth's hex form (family ffff and no display number: any display, as the number comes
    # only once the server runs; 4d49...31 is "MIT-MAGIC-COOKIE-1"), goes to xauth on standard
    # input, so that the cookie stands in no command line.
    export XAUTHORITY=$work/xauthority
    (umask 077 && : >"$XAUTHORITY")
    printf 'ffff 0000  0000  0012 4d49542d4d414749432d434f4f4b49452d31 0010 %s\n' "$(mcookie)" \
        | xauth -q -f "$XAUTHORITY" nmerge -
    # -displayfd picks a free number and writes it once the server accepts connections; with
    # -noreset the server keeps running between one client and the next.
    exec {fd}>"$work/display"
    "${with_this_shell[@]}" "$shell" Xvfb -displayfd "$fd" -auth "$XAUTHORITY" -screen 0 "$screen" \
        -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    virtual_display_pids+=($!)
    exec {fd}>&-
    for _ in $(seq 200); do
        [[ -s "$work/display" ]] && break
        sleep 0.05
    done
    if [[ ! -s "$work/display" ]]; then
        echo "The virtual display (Xvfb) did not start:" >&2
        cat "$work/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$work/display")"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
}

# Starts a window manager on DISPLAY, openbox unless told another, and waits until it manages
# windows. Usage: start_window_manager WORK_FOLDER [openbox|kwin|icewm] [OPENBOX_CONFIG_FILE]
start_window_manager() {
    local work=$1 manager=${2:-openbox} config=${3:-} shell=$BASHPID
    if [[ $manager == kwin ]]; then
        # KDE's window manager with its Breeze frames, on a session bus of its own that ends
        # with the session (dbus-run-session would leave its bus behind when killed); it keeps
        # its settings and caches in the scratch folder, not in the user's home.
        "${with_this_shell[@]}" "$shell" dbus-daemon --session --nofork --print-address=3 \
            3>"$work/bus" >/dev/null 2>&1 &
        virtual_display_pids+=($!)
        for _ in $(seq 100); do [[ -s "$work/bus" ]] && break; sleep 0.05; done
        mkdir -p "$work/kwin-home"
        DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus") HOME=$work/kwin-home \
            XDG_CONFIG_HOME=$work/kwin-home/.config XDG_CACHE_HOME=$work/kwin-home/.cache \
            XDG_DATA_HOME=$work/kwin-home/.local/share KWIN_COMPOSE=N \
            "${with_this_shell[@]}" "$shell" kwin_x11 --replace >"$work/kwin.log" 2>&1 &
        virtual_display_pids+=($!)
    elif [[ $manager == icewm ]]; then
        # IceWM with its own theme, but with no task bar (the tests measure a window's centring
        # on the whole screen) and, on the left of a title bar, only the window menu's button,
        # where IceWM shows the window's icon.
        mkdir -p "$work/icewm"
        printf 'ShowTaskBar=0\nTitleButtonsLeft="s"\n' >"$work/icewm/prefoverride"
        ICEWM_PRIVCFG=$work/icewm "${with_this_shell[@]}" "$shell" icewm >"$work/icewm.log" 2>&1 &
        virtual_display_pids+=($!)
    else
        "${with_this_shell[@]}" "$shell" openbox --sm-disable ${config:+--config-file "$config"} \
            >"$work/openbox.log" 2>&1 &
        virtual_display_pids+=($!)
    fi
    for _ in $(seq 200); do
        # No pipe into grep -q: under pipefail, xprop's broken pipe would count as a failure.
        [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]] && return 0
        sleep 0.05
    done
    echo "The window manager ($manager) did not start." >&2
    return 1
}

# Ends whatever start_virtual_display and start_window_manager started, newest first.
stop_virtual_display() {
    local i pid
    for ((i = ${#virtual_display_pids[@]} - 1; i >= 0; i--)); do
        kill "${virtual_display_pids[i]}" 2>/dev/null || true
    done
    for pid in "${virtual_display_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    virtual_display_pids=()
}

# An exit trap for the usual run: ends the game whose pid is in $game (if any), the private
# display and its window manager, and removes the scratch folder $work.
end_virtual_session() {
    [[ -n "${game:-}" ]] && kill "$game" 2>/dev/null || true
    stop_virtual_display
    rm -rf "${work:?}"
}
