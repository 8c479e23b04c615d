#!/usr/bin/env bash
# Starts the game on the user's display; with no display at all, on a private virtual display
# shown through a VNC server that only this machine can reach. Usage: launch.sh PROGRAM
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

# A start killed outright (kill -9) takes its servers with it but cannot remove its private
# folder: the next start of the same user does, once no process of that start holds its lock.
for folder in "${TMPDIR:-/tmp}"/quorvel-display.*; do
    [[ -d "$folder" && ! -L "$folder" && -O "$folder" ]] || continue
    flock -n "$folder" true 2>/dev/null && rm -rf "$folder"
done

if [[ -n "${WAYLAND_DISPLAY:-}" ]]; then
    socket=$WAYLAND_DISPLAY
    [[ "$socket" == /* ]] || socket="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/$socket"
    # The game itself chooses XWayland where the session offers it, and Wayland otherwise.
    if [[ -n "${DISPLAY:-}" || -S "$socket" ]]; then
        exec "$program"
    fi
    echo "WAYLAND_DISPLAY is set to '$WAYLAND_DISPLAY', but there is no Wayland display at $socket." >&2
    echo "Start the game from the running desktop session, or unset WAYLAND_DISPLAY to play on a" >&2
    echo "private virtual display instead." >&2
    exit 1
fi
if [[ -n "${DISPLAY:-}" ]]; then
    if xdpyinfo >/dev/null 2>&1; then
        exec "$program"
    fi
    # The advice is a whole command, quoted, that runs as printed from any folder.
    printf -v again '%q %q' "$here/$(basename "$0")" "$(realpath "$program")"
    echo "DISPLAY is set to '$DISPLAY', but no X server answers there." >&2
    echo "Start the game from the running desktop session, or unset DISPLAY to play on a private" >&2
    echo "virtual display instead:  env -u DISPLAY $again" >&2
    exit 1
fi

# No display at all: a private X server, a window manager and a VNC server on 127.0.0.1 only.
source "$here/virtual-display.sh"
work=$(mktemp -d -t quorvel-display.XXXXXXXXXX)
# Every process started from here holds the lock until it ends.
exec {lock}<"$work"
flock -n "$lock"
shell=$BASHPID
game=
cleanup() {
    trap - INT TERM HUP
    end_virtual_session
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

start_virtual_display "$work" 1024x768x24
start_window_manager "$work"
# Qt wants a private runtime folder; a session without a desktop often has none.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    mkdir -m 700 "$work/runtime"
    export XDG_RUNTIME_DIR="$work/runtime"
fi

# A one-time password keeps out other users of this machine, who can reach 127.0.0.1 too.
# It goes to x11vnc in a file of this script's own (printf is built into the shell), never as
# an argument, which any user can read in the process list.
password=$(tr -dc 'a-zA-Z0-9' </dev/urandom | head -c 8 || true)
(umask 077 && printf '%s\n' "$password" >"$work/passwd")
"${with_this_shell[@]}" "$shell" x11vnc -display "$DISPLAY" -passwdfile "$work/passwd" \
    -listen 127.0.0.1 -noipv6 -rfbportv6 -1 -autoport 5900 -forever -shared -nocursorshape -quiet \
    >"$work/x11vnc.log" 2>&1 &
virtual_display_pids+=($!)
port=
for _ in $(seq 400); do
    port=$(sed -n 's/^PORT=\([0-9]*\)$/\1/p' "$work/x11vnc.log" 2>/dev/null)
    [[ -n "$port" ]] && break
    sleep 0.05
done
if [[ -z "$port" ]]; then
    echo "The VNC server (x11vnc) did not start:" >&2
    cat "$work/x11vnc.log" >&2
    exit 1
fi

cat <<MESSAGE
No graphical display was found, so Quorvel runs on a private virtual display ($DISPLAY),
shown by a VNC server that listens on 127.0.0.1:$port only.

  On this machine:   connect a VNC viewer to 127.0.0.1::$port, e.g.  vncviewer 127.0.0.1::$port
  From elsewhere:    open an SSH tunnel first,
                       ssh -N -L $port:127.0.0.1:$port $(id -un)@$(hostname)
                     then connect a VNC viewer on your computer to 127.0.0.1::$port
  Password:          $password

The virtual display and the VNC server stop when the game ends (close its window, or press
Ctrl+C here).
MESSAGE

"${with_this_shell[@]}" "$shell" "$program" &
game=$!
status=0
wait "$game" || status=$?
game=
exit "$status"
