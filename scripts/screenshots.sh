#!/usr/bin/env bash
# Makes the README's pictures from the real program: the main window at the start of a game and
# the rules dialog, each with its window frame, on a private X display. Writes docs/screenshots/.
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/ensure-packages.sh" play tests
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/release" --target quorvel >/dev/null
source "$root/scripts/lib/virtual-display.sh"
work=$(mktemp -d)
game=
trap end_virtual_session EXIT
out=$root/docs/screenshots
mkdir -p "$out"

start_virtual_display "$work" 1024x768x24
start_window_manager "$work"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# The window manager's frame around a client window: its ancestor just below the root.
frame_of() {
    local window=$1 parent
    while parent=$(xwininfo -tree -id "$window" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p') \
        && [[ "$parent" != "$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')" ]]; do
        window=$parent
    done
    echo "$window"
}
shoot() { # window name, file
    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n1)
    # Out of the way, so that no button is shown hovered and no tooltip opens.
    xdotool mousemove 1023 767
    sleep 1
    import -window "$(frame_of "$window")" "$2"
    echo "wrote $2"
}

cd "$work"
"$root/build/release/ui/quorvel" >"$work/quorvel.log" 2>&1 &
game=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Кворвел$' | head -n1)
shoot '^Кворвел$' "$out/main-window.png"

# The rules button of the toolbar, which lies at the top of the client area below the menu bar.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((289 + 11)) $((HEIGHT - 538 + 12)) click 1
shoot '^Правила игры и легенда$' "$out/rules.png"
xdotool key Return
