#!/usr/bin/env bash
# The game in a Wayland session, on the test's own Xvfb: weston (X11 back end) and GNOME's mutter
# (nested) with XWayland, where the game goes through X11, and both without, where it runs on
# Wayland. The game gets a session's variables only. Usage: wayland.sh path/to/quorvel
source "$(dirname "$0")/start.sh"
fail_details() { tail -n 5 "$work/session.log" "$work/quorvel.log" >&2 2>/dev/null; }
start_virtual_display "$work"
screen=$DISPLAY
mkdir -m 700 "$work/runtime" "$work/home"
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
# A desktop session's bus, which mutter needs and the game's accessibility looks for.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
virtual_display_pids+=("$(cat "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

# Starts compositor $1 (weston, mutter, or either -alone, without XWayland) as the screen; sets
# session (its X display and X authority, if any) for the game.
start_session() {
    rm -f "$work/session.log" # weston adds to it
    case $1 in
        weston*) printf '[shell]\nanimation=none\nstartup-animation=none\n' >"$work/weston.ini"
            weston --backend=x11-backend.so --width=1024 --height=768 --socket=wayland-q \
                --config="$work/weston.ini" $([[ $1 == weston ]] && echo --xwayland) \
                --log="$work/session.log" >/dev/null 2>&1 & ;;
        mutter*) MUTTER_DEBUG_DUMMY_MODE_SPECS=1024x768 mutter --nested --wayland \
            $([[ $1 == mutter-alone ]] && echo --no-x11) --wayland-display=wayland-q \
            >"$work/session.log" 2>&1 & ;;
    esac
    compositor=$!
    # Ended with the session, also when a check fails first.
    virtual_display_pids+=("$compositor")
    for _ in $(seq 300); do [[ -S $XDG_RUNTIME_DIR/wayland-q ]] && break; sleep 0.1; done
    sleep 1
    session=(WAYLAND_DISPLAY=wayland-q XDG_SESSION_TYPE=wayland)
    local x11
    x11=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p; s/.*public X11 display \(:[0-9]*\).*/\1/p' "$work/session.log")
    [[ -z "$x11" ]] || session+=(DISPLAY="$x11" XAUTHORITY="$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null || echo /dev/null)")
}
stop_session() { kill "$compositor"; wait "$compositor" 2>/dev/null || true; rm -f "$XDG_RUNTIME_DIR"/wayland-q*; }
# Runs a command on the session's X display.
on_x11() { env -u DISPLAY "${session[@]}" "$@"; }

# The screen, with the pointer (which the compositor draws into it) out of the way.
shoot() {
    DISPLAY=$screen xdotool mousemove 1023 767 sleep 0.5
    DISPLAY=$screen import -window root "$work/shot.png"
}
# Where the board's client area stands on the screen (left, top): the toolbar strip above the
# gray that fills the rest of it, 490 x 509 pixels, text and lines aside.
board_box() {
    shoot
    box=$(convert "$work/shot.png" -fill black +opaque 'rgb(128,128,128)' -fill white -opaque \
        'rgb(128,128,128)' -morphology Erode Square:1 -format %@ info: 2>/dev/null)
    [[ $box == 488x507+* ]]
}
find_board() {
    local box
    for _ in $(seq 60); do board_box && break; sleep 0.5; done
    [[ $box == 488x507+* ]] || fail "$1: no board of 490 x 538 on the screen ($box)"
    IFS=+ read -r _ left top <<<"$box"
    left=$((left - 1)) top=$((top - 1 - 29))
    sleep 1
}
# A press at ($1, $2) of the board's client area. Through X11 the press goes in at XWayland, as
# the compositor hands it on: weston sometimes keeps a window's first presses for itself.
# Otherwise it goes in at the screen, where weston's X11 back end moves its pointer by the
# differences between motions and can start off by some amount; a stroke into two opposite
# corners, where its pointer stops at the edge, brings it back onto the real one.
click() {
    local at=(xdotool mousemove $((left + $1)) $((top + $2)) sleep 0.2 click 1 sleep 0.5)
    if [[ $which == *"through X11"* ]]; then
        on_x11 "${at[@]}"
    else
        DISPLAY=$screen xdotool mousemove 0 0 sleep 0.1 mousemove 1023 767 sleep 0.1 "${at[@]:1}"
    fi
}
# Whether cell (4,$2) shows picture $1 within a few seconds.
shows_soon() {
    for _ in $(seq 10); do
        shoot
        shows "$work/shot.png" "$1" $((left + 62 * 4 - 30)) $((top + 62 * $2)) && return 0
        sleep 0.5
    done
    return 1
}

# The About or rules dialog, opened by toolbar button $1 and captioned $2, opens in front of the
# main window, through X11, and its title bar holds the caption, the close box, and nothing else
# but what the compositor draws on every window (weston: its window menu's glyph): no icon, no
# minimise or maximise.
expect_dialog() {
    local dialog info x y w runs
    click $(($1 + 11)) 12
    for _ in $(seq 50); do
        dialog=$(on_x11 xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | head -n1) && break
        sleep 0.2
    done
    [[ -n $dialog ]] || fail "$which: '$2' did not open through X11"
    sleep 1
    info=$(on_x11 xwininfo -id "$dialog")
    x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
    w=$(awk '/Width:/ { print $2 }' <<<"$info")
    shoot
    expect_pixel $((x + 4)) $((y + 4)) 239,239,239 "$which: '$2' in front of the main window"
    convert "$work/shot.png" -crop "${w}x20+$x+$((y - 24))" +repage "$work/title.png"
    runs=$(ink_runs "$(ink_columns "$work/title.png")" | wc -l)
    ((runs == title_runs)) || fail "$which: '$2' has $runs things in its title bar, not $title_runs"
    DISPLAY=$screen xdotool key Return
    sleep 1
}

# Sets bx, by to an active dialog's maximise button, found on the screen: Qt's own title bars on
# Wayland draw it as a black box of 11 x 9 (gray if inactive), minimise 23 pixels to its left.
# Sets bx to "main" if the main window's is the only one.
dialog_active() {
    shoot
    bx=
    read -r bx by < <(convert "$work/shot.png" -fill white +opaque black -negate -define \
        connected-components:verbose=true -connected-components 8 null: | awk -F'[ x+]+' \
        -v main="$((left + 448)) $((top - 38))" '$3 == 11 && $4 == 9 && $NF ~ /255\)/ {
            if ($5 " " $6 != main) { print $5 + 5, $6 + 4; exit } else m = 1 }
        END { if (m) print "main" }')
    [[ -n $bx && $bx != main ]]
}
main_active() { ! dialog_active && [[ $bx == main ]]; }
soon() { for _ in $(seq 20); do "$@" && return 0; sleep 0.5; done; return 1; }
# The dialog that toolbar button or key $1 opens stays in front after each press $2... on its
# title bar (maximise, minimise) or on the main window (main), and Return closes it.
title_bar() {
    if [[ $1 == Home ]]; then DISPLAY=$screen xdotool key Home; else click $(($1 + 11)) 12; fi
    for press in open "${@:2}"; do
        case $press in
            maximise) click $((bx - left)) $((by - top)) ;;
            minimise) click $((bx - 23 - left)) $((by - top)) ;;
            main) click 30 310 ;;
        esac
        soon dialog_active || fail "$which: after $press, the dialog of $1 is not in front"
    done
    DISPLAY=$screen xdotool key Return
    soon main_active || fail "$which: Return does not give the main window back"
}
start_game() {
    # Under the sanitizers, full stacks: Qt's Wayland leftovers at exit are told apart by the
    # library that made them, which the quick unwinder does not reach through Mesa.
    env -i PATH="$PATH" HOME="$HOME" LANG=C.UTF-8 XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" "${session[@]}" \
        ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0} \
        ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS} \
        "$program" >"$work/quorvel.log" 2>&1 &
    game=$!
    find_board "$which"
}
# Plays one session: the game starts with the session's variables, shows the board on X11 or not
# as $1 says, goes through checks $2..., plays a jump by clicks, and ends by Exit.
play() {
    which=$1
    start_game
    local through=no asked=no
    [[ -n $(on_x11 xdotool search --onlyvisible --name '^Кворвел$' 2>/dev/null) ]] && through=yes
    [[ $which == *"through X11"* ]] && asked=yes
    [[ $through == "$asked" ]] || fail "$which: the game's window is on X11: $through"
    for check in "${@:2}"; do $check; done
    # A compositor may take the first presses on a window only just mapped for itself: the peg
    # is pressed again until it shows as selected.
    for _ in 1 2 3 4; do
        click $((62 * 4)) $((62 * 2 + 30))
        shows_soon selected 2 && break
    done
    shows_soon selected 2 || fail "$which: a click on (4,2) does not select its peg"
    click $((62 * 4)) $((62 * 4 + 30))
    for cell in "2 empty" "3 empty" "4 peg"; do
        read -r row picture <<<"$cell"
        shows_soon "$picture" "$row" \
            || fail "$which: after a jump by clicks, (4,$row) does not show the $picture picture"
    done
    if [[ $which == *"through X11"* ]]; then
        expect_dialog 312 "О программе"
        expect_dialog 289 "Правила игры и легенда"
    fi
    exit_game
}
# Exit ends the game at once, with status 0, and its window leaves the screen.
exit_game() {
    click 18 12
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$game" 2>/dev/null && fail "$which: the game still runs after Exit"
    local status=0
    wait "$game" || status=$?
    ((status == 0)) || fail "$which: the game ended with status $status after Exit"
    game=
    # Its window is gone from the screen too, so that the next game's board is not mistaken for it.
    for _ in $(seq 20); do board_box >/dev/null || break; sleep 0.5; done
}

start_session weston
title_runs=3
play "weston, through X11"
stop_session
start_session weston-alone
play "weston without XWayland, on Wayland" "title_bar 312 maximise minimise main" \
    "title_bar 289 maximise minimise" "title_bar Home maximise minimise"
# Qt's Wayland shutdown could hang for good once the windows were gone.
for run in $(seq 20); do
    which="weston without XWayland, start $run of 20"
    start_game
    exit_game
done
stop_session
if start_session mutter-alone && [[ -S $XDG_RUNTIME_DIR/wayland-q ]]; then
    play "mutter without XWayland, on Wayland" "title_bar 312 minimise main"
    stop_session
else
    echo "mutter without XWayland does not start here: skipped"
fi
start_session mutter
title_runs=2
play "mutter, through X11"
stop_session
echo "Wayland session checks passed"
