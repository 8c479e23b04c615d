#!/usr/bin/env bash
# Runs the real quorvel binary in a private X server with a window manager, drives it with
# xdotool and reads the screen back. Usage: realwindow.sh path/to/quorvel
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
program=$(realpath "$1")
source "$(dirname "$0")/../../scripts/lib/virtual-display.sh"
work=$(mktemp -d)
game=
trap end_virtual_session EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -f "$work/shot.png" ]] && cp "$work/shot.png" /tmp/quorvel-realwindow-failure.png
    [[ -f "$work/quorvel.log" ]] && sed "s/^/quorvel: /" "$work/quorvel.log" >&2
    exit 1
}

start_virtual_display "$work"
start_window_manager "$work"

cd "$work"
"$program" >"$work/quorvel.log" 2>&1 &
game=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Кворвел$' | head -n1) \
    || fail "the main window did not appear"
sleep 0.5

# Pixel colour of the window's own content at (x, y), as "r,g,b".
shoot() { import -window "$window" "$work/shot.png"; }
pixel() {
    convert "$work/shot.png" -format '%[fx:int(255*p{'"$1,$2"'}.r)],%[fx:int(255*p{'"$1,$2"'}.g)],%[fx:int(255*p{'"$1,$2"'}.b)]' info:
}
expect_pixel() {
    local got
    got=$(pixel "$1" "$2")
    [[ "$got" == "$3" ]] || fail "$4: pixel ($1,$2) is $got, expected $3"
}

# The window title, exactly.
title=$(xprop -id "$window" WM_NAME _NET_WM_NAME)
grep -q '"Кворвел"' <<<"$title" || fail "title is $title"

# Centred on the 1024 x 768 screen, give or take the frame.
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 490 ]] || fail "window width $WIDTH"
(( X + WIDTH / 2 > 497 && X + WIDTH / 2 < 527 )) || fail "window not centred across: x $X"
(( Y + HEIGHT / 2 > 364 && Y + HEIGHT / 2 < 404 )) || fail "window not centred down: y $Y"

# Find where the board's client area starts: the first gray row below the toolbar strip.
shoot
top=-1
for y in $(seq 0 80); do
    if [[ $(pixel 3 "$y") == "128,128,128" ]]; then top=$((y - 29)); break; fi
done
(( top >= 0 )) || fail "no board background found"
echo "client area starts $top pixels below the window's top"

# Cell (4,2) shows a peg (amber); cell (4,4) the empty hole (silver).
expect_pixel $((62 * 4 - 30 + 1)) $((top + 62 * 4 + 30)) "192,192,192" "empty hole"
peg_x=$((62 * 4 - 30 + 30)); peg_y=$((top + 62 * 2 + 30))
before=$(pixel "$peg_x" "$peg_y")

# Clicking the peg selects it: its cell turns green.
xdotool mousemove --window "$window" "$peg_x" "$peg_y" click 1
sleep 0.5
shoot
IFS=, read -r r g b <<<"$(pixel "$peg_x" "$peg_y")"
(( g > r && g > b )) || fail "selected peg is not green: $r,$g,$b (was $before)"

# The Latin cross button deals its layout: (4,2) holds a peg, (4,6) is an empty hole.
xdotool mousemove --window "$window" $((113 + 11)) $((top + 12)) click 1
sleep 0.5
shoot
expect_pixel $((62 * 4 - 30 + 1)) $((top + 62 * 6 + 30)) "192,192,192" "Latin cross hole (4,6)"
IFS=, read -r r g b <<<"$(pixel "$peg_x" "$peg_y")"
(( r > g && g > b )) || fail "Latin cross peg (4,2) is not amber: $r,$g,$b"
IFS=, read -r r g b <<<"$(pixel $((62 * 3 - 30 + 30)) $((top + 62 * 1 + 30)))"
[[ "$r,$g,$b" == "192,192,192" ]] || fail "Latin cross (3,1) is not an empty hole: $r,$g,$b"

# How many pixels of colour r,g,b lie in the region WxH+X+Y of the last screenshot.
count_colour() {
    convert "$work/shot.png" -crop "$1" +repage -format %c histogram:info: \
        | awk -v c="($2)" '{ gsub(/ /, ""); if (index($0, c)) { split($0, n, ":"); s += n[1] } } END { print s + 0 }'
}

# Waits for the dialog captioned $1, checks its client size $2, and takes its picture.
open_dialog() {
    dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1) \
        || fail "dialog '$1' did not open"
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    [[ "${WIDTH}x$HEIGHT" == "$2" ]] || fail "dialog '$1' is ${WIDTH}x$HEIGHT, expected $2"
    import -window "$dialog" "$work/shot.png"
}

# Closes the dialog with key $2 and waits until the window captioned $1 is gone.
close_dialog() {
    xdotool key "$2"
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0; sleep 0.1; done
    fail "$2 did not close '$1'"
}

# Home opens the dedication dialog: red title, the stretched picture in its frame.
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key Home
open_dialog 'Подарочная версия!!!' 487x445
(( $(count_colour 441x49+24+24 255,0,0) > 300 )) || fail "the dedication's title is not red"
(( $(convert "$work/shot.png" -crop 257x329+32+88 +repage -format %k info:) > 1000 )) \
    || fail "the dedication's picture is missing"
close_dialog 'Подарочная версия!!!' Return

# The rules button opens the rules: red welcome, navy text; Space presses OK.
xdotool mousemove --window "$window" $((289 + 11)) $((top + 12)) click 1
open_dialog 'Правила игры и легенда' 536x348
(( $(count_colour 497x33+16+24 255,0,0) > 300 )) || fail "the welcome line is not red"
(( $(count_colour 497x81+16+56 0,0,128) > 1000 )) || fail "the legend is not navy"
close_dialog 'Правила игры и легенда' space

# The About button opens About, with the stretched emblem on its silver ground.
xdotool mousemove --window "$window" $((312 + 11)) $((top + 12)) click 1
open_dialog 'О программе' 298x213
(( $(count_colour 89x89+16+16 0,0,0) > 300 )) || fail "the emblem is missing"
(( $(count_colour 160x22+112+24 255,0,0) > 100 )) || fail "the product name is not red"
close_dialog 'О программе' Escape

# Save through the real dialog by typing a name: the file holds the Latin cross, 200 bytes.
xdotool mousemove --window "$window" $((76 + 11)) $((top + 12)) click 1
# The dialog is built on first use, which takes a while in a sanitizer build: wait for a
# second visible window.
dialog=
for _ in $(seq 200); do
    dialog=$(xdotool search --onlyvisible --name '.' 2>/dev/null | grep -v -x "$window" | tail -n1 || true)
    [[ -n "$dialog" ]] && break
    sleep 0.1
done
[[ -n "$dialog" ]] || fail "the save dialog did not open"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/typed"
xdotool key Return
for _ in $(seq 50); do [[ -f "$work/typed.sav" ]] && break; sleep 0.1; done
[[ -f "$work/typed.sav" ]] || fail "no file was saved"
[[ $(stat -c %s "$work/typed.sav") -eq 200 ]] || fail "the saved file is not 200 bytes"
record0=$(od -An -t d4 -N4 "$work/typed.sav" | tr -d ' ')
column4=$(od -An -t d4 -j $((4 * 22)) -N28 "$work/typed.sav" | xargs)
[[ "$record0" == 1 ]] || fail "saved kind is $record0, expected 1 (Latin cross)"
[[ "$column4" == "0 1 1 1 1 0 0" ]] || fail "saved column 4 is '$column4'"

echo "real window checks passed"
