#!/usr/bin/env bash
# Runs the real quorvel binary in a private X server with a window manager, drives it with
# xdotool and reads the screen back. Usage: realwindow.sh path/to/quorvel [openbox|kwin|icewm]
# (under kwin and icewm only the dialogs and message boxes are checked, in fresh starts)
manager=${2:-openbox}
source "$(dirname "$0")/start.sh"
fail_details() { [[ -f "$work/quorvel.log" ]] && sed "s/^/quorvel: /" "$work/quorvel.log" >&2; }

start_virtual_display "$work"
# Openbox as installed puts a new window in the middle of an empty screen by itself. Told to put
# it at the top left, as several other window managers do, it leaves the centring to the game.
sed 's|<center>yes</center>|<center>no</center>|' /etc/xdg/openbox/rc.xml >"$work/openbox.xml"
grep -q '<center>no</center>' "$work/openbox.xml" || fail "openbox's placement could not be changed"
start_window_manager "$work" "$manager" "$work/openbox.xml"

# The first visible window that matches, waited for up to $1 seconds. xdotool fails with
# BadWindow when a window (the last game's, say) is destroyed while it looks through the tree:
# that is looked past.
find_window() {
    local until=$((SECONDS + $1)) found
    shift
    while ((SECONDS < until)); do
        found=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1 || true)
        [[ -z "$found" ]] || { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}

# Starts the game, the command in $2..., and waits for its main window; $1 ends the failure's
# words, saying which start it was.
start_game() {
    local which=$1
    shift
    "$@" >"$work/quorvel.log" 2>&1 &
    game=$!
    window=$(find_window 20 --name '^Кворвел$') || fail "the main window did not appear$which"
}

# Ends the running game and waits until its window is gone, so that the next search meets the
# next game's. Windows still on their way out can trip xdotool all the same (see find_window).
stop_game() {
    kill "$game"
    wait "$game" 2>/dev/null || true
    game=
    for _ in $(seq 50); do
        [[ -n "$(xdotool search --onlyvisible --name '^Кворвел$' 2>/dev/null || true)" ]] || break
        sleep 0.1
    done
}

# The window's own content, for the checks of screen.sh.
shoot() { import -window "$window" "$work/shot.png"; }

# The window with its frame stands in the middle of the 1024 x 768 screen: off by no more than the
# half pixel of an odd remainder, less than any side of the frame the window manager reports.
expect_centred() {
    local info x y w h left right top bottom
    info=$(xwininfo -id "$1")
    x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
    w=$(awk '/Width:/ { print $2 }' <<<"$info")
    h=$(awk '/Height:/ { print $2 }' <<<"$info")
    read -r left right top bottom <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')"
    [[ -n "$bottom" ]] || fail "$2: the window manager told no frame"
    local across=$((2 * (x - left) + w + left + right - 1024))
    local down=$((2 * (y - top) + h + top + bottom - 768))
    ((across >= -1 && across <= 1 && down >= -1 && down <= 1)) \
        || fail "$2 is not centred: frame at $((x - left)),$((y - top)), $((w + left + right))x$((h + top + bottom))"
}
# How many colours the widest row of the title bar's left end holds, where a window manager
# draws the window's icon: 1 where it draws none. The frame's side, when wider than 4 pixels
# (IceWM's), is left out.
icon_corner_colours() {
    local info x y left top
    info=$(xwininfo -id "$1")
    x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
    read -r left _ top _ <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')"
    import -window root -crop "$((top + 8))x$((top - 8))+$((x - left + (left > 4 ? left : 4)))+$((y - top + 4))" \
        +repage "$work/corner.png"
    convert "$work/corner.png" -depth 8 txt:- | awk -F'[,:() ]+' '
        NR > 1 && !seen[$2, $3 " " $4 " " $5]++ { n[$2]++ }
        END { for (y in n) if (n[y] > most) most = n[y]; print most }'
}
# A dialog or message box belongs to the main window: transient for it, of dialog type, off the
# task bar, with neither minimise nor maximise in its hints and no icon. A window manager that
# minimises it all the same must give it back once the main window is activated.
expect_dialog_kind() {
    local props functions decorations
    props=$(xprop -id "$1")
    [[ $(awk '/^WM_TRANSIENT_FOR/ { print $NF }' <<<"$props") == "$(printf '0x%x' "$window")" ]] \
        || fail "$2 is not transient for the main window"
    grep -q '^_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG' <<<"$props" \
        || fail "$2 is not of dialog type"
    grep -q '^_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" \
        || fail "$2 has a task-bar entry"
    read -r _ functions decorations _ <<<"$(grep '^_MOTIF_WM_HINTS' <<<"$props" | sed 's/.*= //; s/,/ /g')"
    (( (functions & 0x19) == 0 && (decorations & 0x61) == 0 )) \
        || fail "$2 asks for minimise or maximise: functions $functions, decorations $decorations"
    [[ $(icon_corner_colours "$1") == 1 ]] || fail "$2 shows an icon in its title bar"
    xdotool windowminimize "$1"
    sleep 0.3
    xdotool windowactivate "$window" 2>/dev/null || true
    for _ in $(seq 30); do
        # A pause a player's hand makes anyway: under openbox, when a key closes the dialog
        # within half a second of its restore, a press in the next tenth of a second lands
        # while openbox is still moving the focus about, and is lost.
        [[ $(xprop -id "$1" WM_STATE) == *Normal* ]] && { sleep 0.5; return 0; }
        sleep 0.1
    done
    fail "$2 stayed minimised when the main window was activated"
}

# The caption as it stands in the title bar of window $1: which columns of the run around the bar's
# middle hold pixels that differ from the background of their row, as a string of 0 and 1.
title_ink() {
    local info x y w left right top
    info=$(xwininfo -id "$1")
    x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
    w=$(awk '/Width:/ { print $2 }' <<<"$info")
    read -r left right top _ <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')"
    import -window root -crop "$((w + left + right))x$((top - 4))+$((x - left))+$((y - top + 2))" \
        +repage "$work/title.png"
    local ink
    ink=$(ink_columns "$work/title.png")
    # The run nearest the middle is the caption.
    ink_runs "$ink" | awk -v ink="$ink" '{
        middle = ($1 + $2) / 2 - length(ink) / 2; if (middle < 0) middle = -middle
        if (NR == 1 || middle < nearest) { nearest = middle; found = substr(ink, $1 + 1, $2 - $1 + 1) }
    } END { print found }'
}

# The whole caption $2 of box $1 stands in its title bar, column for column as the window manager
# draws it, also active, in the wide title bar of a window of its own. (A caption cut in its
# middle, "Infor… tion", can stand as wide as the whole.) The box is closed with Return first:
# KWin would mark a second window of the same caption " <2>".
expect_whole_caption_then_close() {
    local boxed full wide
    boxed=$(title_ink "$1")
    xdotool key Return
    gone "$2"
    xmessage -title "$2" -geometry 600x80 "wide" &
    wide=$(find_window 10 --class Xmessage) \
        || fail "no window to draw the caption '$2' in"
    sleep 0.5
    full=$(title_ink "$wide")
    xdotool windowkill "$wide"
    sleep 0.3
    echo "caption '$2': ${#boxed} columns in its box's title bar, ${#full} in a wide one"
    # The same letters, each run of ink as wide within a column: KWin may draw the caption half
    # a pixel further left or right in one bar than in the other.
    local runs_boxed runs_full
    runs_boxed=$(tr -s 0 ' ' <<<"$boxed" | xargs -n1 | awk '{ print length }' | xargs)
    runs_full=$(tr -s 0 ' ' <<<"$full" | xargs -n1 | awk '{ print length }' | xargs)
    [[ ${#full} -gt 20 ]] && awk -v a="$runs_boxed" -v b="$runs_full" 'BEGIN {
        n = split(a, x, " "); if (n != split(b, y, " ")) exit 1
        for (i = 1; i <= n; i++) if (x[i] - y[i] > 1 || y[i] - x[i] > 1) exit 1
    }' || fail "the caption '$2' is cut: $boxed against $full"
}

# Waits for the dialog captioned $1, checks its client size $2, and takes its picture.
open_dialog() {
    dialog=$(find_window 10 --name "^$1\$") \
        || fail "dialog '$1' did not open"
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    [[ "${WIDTH}x$HEIGHT" == "$2" ]] || fail "dialog '$1' is ${WIDTH}x$HEIGHT, expected $2"
    import -window "$dialog" "$work/shot.png"
    expect_centred "$dialog" "dialog '$1'"
    expect_dialog_kind "$dialog" "dialog '$1'"
}

# Closes the dialog with key $2 and waits until the window captioned $1 is gone.
close_dialog() {
    xdotool key "$2"
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0; sleep 0.1; done
    fail "$2 did not close '$1'"
}

# Any second window of the game that is visible beside the main window.
other_window() {
    local found=
    for _ in $(seq 200); do
        # The game's own: IceWM names the parts of its frames.
        found=$(xdotool search --onlyvisible --class '^Quorvel$' 2>/dev/null | grep -v -x "$window" | tail -n1 || true)
        [[ -n "$found" ]] && break
        sleep 0.1
    done
    [[ -n "$found" ]] || fail "$1 did not open"
    echo "$found"
}
gone() {
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0; sleep 0.1; done
    fail "'$1' did not close"
}

# In the open dialog: types the name of a file that does not exist; the error box must stand
# centred, be a dialog of the main window and show its whole caption, and is then closed.
open_missing_file() {
    xdotool key ctrl+a
    xdotool type --delay 20 "$work/none"
    xdotool key Return
    box=$(find_window 10 --name '^Quorvel$') \
        || fail "no error box for a file that does not exist"
    sleep 0.5
    expect_centred "$box" "the error box"
    expect_dialog_kind "$box" "the error box"
    expect_whole_caption_then_close "$box" Quorvel
}

# Where the board's client area starts: the first gray row below the toolbar strip.
find_client_top() {
    shoot
    top=-1
    for y in $(seq 0 80); do
        if [[ $(pixel 3 "$y") == "128,128,128" ]]; then top=$((y - 29)); break; fi
    done
    ((top >= 0)) || fail "no board background found"
    echo "client area starts $top pixels below the window's top"
}

# Under KWin a dialog's placement came and went from one start to the next: in several fresh
# starts, the rules dialog and the first message box stand centred, belong to the main window,
# and the box shows its whole caption. IceWM drew a dialog's clear icon as a black square: once.
if [[ $manager != openbox ]]; then
    cd "$work"
    runs=3
    [[ $manager == kwin ]] || runs=1
    for run in $(seq "$runs"); do
        echo "fresh start $run under $manager"
        start_game "" "$program"
        sleep 0.5
        expect_centred "$window" "the main window"
        find_client_top
        xdotool mousemove --window "$window" $((289 + 11)) $((top + 12)) click 1
        open_dialog 'Правила игры и легенда' 536x348
        close_dialog 'Правила игры и легенда' space
        if ((run == 1)); then
            xdotool mousemove --window "$window" $((312 + 11)) $((top + 12)) click 1
            open_dialog 'О программе' 298x213
            close_dialog 'О программе' alt+F4
        fi
        xdotool mousemove --window "$window" $((53 + 11)) $((top + 12)) click 1
        dialog=$(other_window "the open dialog")
        sleep 0.5
        expect_centred "$dialog" "the open dialog"
        open_missing_file
        xdotool mousemove --window "$window" $((7 + 11)) $((top + 12)) click 1
        for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
        kill -0 "$game" 2>/dev/null && fail "the game still runs after Exit"
        game=
    done
    echo "real window checks under $manager passed"
    exit 0
fi

# The game on a dark desktop theme, GTK's and KDE's colour scheme, with Qt's own options on its
# command line: it must look as designed all the same.
printf 'QWidget { background-color: red; }\n' >"$work/red.qss"
mkdir -p "$work/kde"
printf '[Colors:%s]\nBackgroundNormal=20,20,20\nForegroundNormal=230,230,230\n' \
    Window Button View Selection Tooltip >"$work/kde/kdeglobals"
cd "$work"
start_game "" env QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark XDG_CURRENT_DESKTOP=KDE \
    KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 XDG_CONFIG_HOME="$work/kde" \
    "$program" -reverse -stylesheet "$work/red.qss"
sleep 0.5

# The window title, exactly.
title=$(xprop -id "$window" WM_NAME _NET_WM_NAME)
grep -q '"Кворвел"' <<<"$title" || fail "title is $title"
# The task bar names the game by its application title.
[[ $(xprop -id "$window" WM_ICON_NAME _NET_WM_ICON_NAME | grep -c '= "Quorvel"$') -eq 2 ]] \
    || fail "the task-bar name is $(xprop -id "$window" WM_ICON_NAME _NET_WM_ICON_NAME)"

eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 490 ]] || fail "window width $WIDTH"
expect_centred "$window" "the main window"

find_client_top

# The dark theme and the style sheet change nothing: the menu bar and the toolbar strip keep the
# light button face, and -reverse leaves the menu titles on the left.
expect_pixel 300 $((top / 2)) "239,239,239" "menu bar face"
expect_pixel 400 $((top + 14)) "239,239,239" "toolbar face"
(( $(count_colour 100x$((top - 4))+0+2 0,0,0) > 20 )) || fail "the menu titles are not on the left"

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
expect_pixel 4 4 "239,239,239" "rules dialog face"
close_dialog 'Правила игры и легенда' space

# The About button opens About, with the stretched emblem on its silver ground.
xdotool mousemove --window "$window" $((312 + 11)) $((top + 12)) click 1
open_dialog 'О программе' 298x213
(( $(count_colour 89x89+16+16 0,0,0) > 300 )) || fail "the emblem is missing"
(( $(count_colour 160x22+112+24 255,0,0) > 100 )) || fail "the product name is not red"
# Escape is no way out of the information dialogs; the frame's close box is.
xdotool key Escape
sleep 0.3
xdotool search --onlyvisible --name '^О программе$' >/dev/null || fail "Escape closed the About dialog"
close_dialog 'О программе' alt+F4

# The open dialog, centred from its first opening, cancelled; then a name that does not exist:
# the error box, centred.
xdotool mousemove --window "$window" $((53 + 11)) $((top + 12)) click 1
dialog=$(other_window "the open dialog")
sleep 0.5
expect_centred "$dialog" "the open dialog"
expect_dialog_kind "$dialog" "the open dialog"
xdotool key Escape
sleep 0.5
xdotool mousemove --window "$window" $((53 + 11)) $((top + 12)) click 1
other_window "the open dialog" >/dev/null
sleep 0.5
open_missing_file

# Save through the real dialog by typing a name: the file holds the Latin cross, 200 bytes. The
# dialog is built on first use, which takes a while in a sanitizer build.
xdotool mousemove --window "$window" $((76 + 11)) $((top + 12)) click 1
dialog=$(other_window "the save dialog")
sleep 0.5
expect_centred "$dialog" "the save dialog"
xdotool key ctrl+a
xdotool type --delay 20 "$work/typed"
xdotool key Return
saved=$work/typed.sav
for _ in $(seq 50); do [[ -f "$saved" ]] && break; sleep 0.1; done
[[ -f "$saved" ]] || fail "no file was saved"
[[ $(stat -c %s "$saved") -eq 200 ]] || fail "the saved file is not 200 bytes"
record0=$(od -An -t d4 -N4 "$saved" | tr -d ' ')
column4=$(od -An -t d4 -j $((4 * 22)) -N28 "$saved" | xargs)
[[ "$record0" == 1 ]] || fail "saved kind is $record0, expected 1 (Latin cross)"
[[ "$column4" == "0 1 1 1 1 0 0" ]] || fail "saved column 4 is '$column4'"

# A double click on a peg selects it and puts it down again.
xdotool mousemove --window "$window" "$peg_x" "$peg_y" click --repeat 2 --delay 80 1
sleep 0.5
shoot
IFS=, read -r r g b <<<"$(pixel "$peg_x" "$peg_y")"
(( r > g && g > b )) || fail "after a double click the peg is not amber: $r,$g,$b"

# A typed name that the folder's names start like, and one Return: the game loads it, and the
# dialog goes away whole, so the next press on a peg selects it.
xdotool mousemove --window "$window" $((53 + 11)) $((top + 12)) click 1
other_window "the open dialog" >/dev/null
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/typed.sav"
sleep 0.3
xdotool key Return
sleep 0.5
xdotool mousemove --window "$window" "$peg_x" "$peg_y" click 1
sleep 0.5
shoot
IFS=, read -r r g b <<<"$(pixel "$peg_x" "$peg_y")"
(( g > r && g > b )) || fail "the press after loading a typed name did not select the peg: $r,$g,$b"

# A finished game loaded (one peg, on (4,4)): a press on the board shows the game-over box, whose
# caption is wider than its text.
printf '%b' "$(printf '\\x%02x\\x00\\x00\\x00' 0 $(for i in $(seq 49); do echo $((i == 25)); done))" \
    >"$work/finished.sav"
xdotool mousemove --window "$window" $((53 + 11)) $((top + 12)) click 1
other_window "the open dialog" >/dev/null
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/finished.sav"
xdotool key Return
sleep 0.5
xdotool mousemove --window "$window" "$peg_x" "$peg_y" click 1
box=$(find_window 10 --name '^Information$') \
    || fail "no game-over box on a finished board"
sleep 0.5
expect_centred "$box" "the game-over box"
expect_dialog_kind "$box" "the game-over box"
expect_whole_caption_then_close "$box" Information

# Exit ends the game.
xdotool mousemove --window "$window" $((7 + 11)) $((top + 12)) click 1
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "the game still runs after Exit"
game=

# Once more in an empty home, also with the GTK platform theme asked for: both file dialogs
# cancelled, a game saved, Exit. The game keeps no settings and loads no desktop theme, so
# nothing but the saved game is left in the home or the runtime folder, and strace sees it
# create no file or folder anywhere else. (Leak checking needs the ptrace that strace holds.)
for theme in "" gtk3; do
home=$work/home$theme
mkdir -m 700 "$home" "$home-runtime"
start_game " in an empty home" strace -ff -qq -y -s 4096 -o "$home-calls" \
    -e trace=creat,open,openat,mkdir,mkdirat,rename,renameat,renameat2,link,linkat,symlink,symlinkat \
    env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
    XDG_STATE_HOME="$home/.local/state" XDG_RUNTIME_DIR="$home-runtime" \
    QT_QPA_PLATFORMTHEME="$theme" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$program"
traced=$(xdotool getwindowpid "$window")
sleep 0.5
for x in 53 76; do
    xdotool mousemove --window "$window" $((x + 11)) $((top + 12)) click 1
    other_window "a file dialog" >/dev/null
    sleep 0.5
    xdotool key Escape
    sleep 0.3
done
if grep -q platformthemes "/proc/$traced/maps"; then fail "a desktop theme plugin was loaded"; fi
xdotool mousemove --window "$window" $((76 + 11)) $((top + 12)) click 1
other_window "the save dialog" >/dev/null
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$home/typed"
xdotool key Return
for _ in $(seq 50); do [[ -f "$home/typed.sav" ]] && break; sleep 0.1; done
xdotool mousemove --window "$window" $((7 + 11)) $((top + 12)) click 1
for _ in $(seq 50); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "the game still runs after Exit"
game=
left=$(cd "$home" && find . "../${home##*/}-runtime" -mindepth 1 | sort | xargs)
[[ "$left" == "./typed.sav" ]] || fail "the game left in its home or runtime folder: '$left'"
# Each successful call's last name is the one it made: the file, the folder, the link's new name,
# in the folder whose descriptor comes before it (which -y shows as 3</the/folder>), if any.
made=$(awk -v home="$home/" '/ = [0-9]+(<.*>)?$/ && (/^open(at)?\(.*O_CREAT/ \
    || /^(creat|mkdir|mkdirat|rename|renameat|renameat2|link|linkat|symlink|symlinkat)\(/) {
        n = split($0, part, "\""); name = part[n - 1]
        if (name !~ /^\// && match(part[n - 2], /<[^>]*>, $/))
            name = substr(part[n - 2], RSTART + 1, RLENGTH - 4) "/" name
        if (index(name, home) != 1) print name }' \
    "$home-calls".* | sort -u | xargs)
[[ -z "$made" ]] || fail "the game made files or folders outside its saved games: '$made'"
done

# At 125 % a cell's edge falls between device pixels. A press on the device pixel row that shows
# the top frame line of cell (3,3) selects (3,3), not the cell above it.
cd "$work"
start_game " at 125 %" env QT_SCALE_FACTOR=1.25 "$program"
sleep 0.5
shoot
for y in $(seq 0 120); do [[ $(pixel 3 "$y") == "128,128,128" ]] && break; done
# The toolbar strip is 29 pixels high; the client area starts that far above the gray.
client4=$((4 * y - 145)) # the client area's top, in quarters of a device pixel
x=$((62 * 3 * 5 / 4))
frame= gap=
for d in $(seq $(((client4 + 5 * 182) / 4)) $(((client4 + 5 * 188) / 4))); do
    case $(pixel "$x" "$d") in
        128,128,128) gap=$d ;;
        255,255,255) [[ -n "$gap" ]] && { frame=$d; break; } ;;
    esac
done
[[ -n "$frame" ]] || fail "no frame line above cell (3,3) at 125 %"
xdotool mousemove --window "$window" "$x" "$frame" click 1
sleep 0.5
shoot
IFS=, read -r r g b <<<"$(pixel "$x" $(((client4 + 5 * 216) / 4)))"
(( g > r && g > b )) || fail "a press on the frame line of (3,3) at 125 % did not select it: $r,$g,$b"
stop_game

# A screen reader's view, through the accessibility bus (AT-SPI) of a session bus of the test's
# own: the board's 33 holes, each standing exactly on its cell's picture on the screen and named
# for what the picture shows; then a jump played by the holes' actions alone, which the screen
# shows and the holes announce.
atspi() { /usr/bin/python3 "$here/atspi.py" "$@"; }
mkdir -m 700 "$work/a11y"
XDG_RUNTIME_DIR=$work/a11y dbus-daemon --session --fork --nopidfile --print-address=3 \
    --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
virtual_display_pids+=("$(cat "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
atspi enable
start_game " for the screen reader" "$program"
sleep 1
atspi holes >"$work/holes" || fail "the board's holes could not be read through AT-SPI"
[[ $(wc -l <"$work/holes") -eq 33 ]] || fail "AT-SPI shows $(wc -l <"$work/holes") holes, not 33"
import -window root "$work/root.png"
while IFS='|' read -r name x y w h; do
    case ${name#*: } in
        фишка) picture=peg ;;
        "пустая лунка") picture=empty ;;
        *) fail "hole '$name' does not say what it holds" ;;
    esac
    [[ "$w $h" == "60 60" ]] && shows "$work/root.png" "$picture" "$x" "$y" \
        || fail "hole '$name' at $x,$y ${w}x$h on the screen is not its cell's picture"
done <"$work/holes"

atspi listen >"$work/announced" &
virtual_display_pids+=($!)
for _ in $(seq 50); do [[ -s "$work/announced" ]] && break; sleep 0.1; done
sleep 0.5
[[ $(atspi press "4, 2: фишка") == "Нажать|Нажать" ]] || fail "the hole's action is not 'Нажать'"
sleep 0.5
atspi press "4, 4: пустая лунка" >/dev/null
sleep 0.5
shoot
for cell in "2 empty" "3 empty" "4 peg"; do
    read -r row picture <<<"$cell"
    shows "$work/shot.png" "$picture" $((62 * 4 - 30)) $((top + 62 * row)) \
        || fail "after the jump played through AT-SPI, (4,$row) does not show the $picture picture"
done
atspi holes | cut -d'|' -f1 | grep -x -c -e '4, 2: пустая лунка' -e '4, 3: пустая лунка' \
    -e '4, 4: фишка' | grep -q -x 3 || fail "after the jump the holes' names are not what they hold"
announced=$(tail -n +2 "$work/announced" | paste -s -d';')
[[ "$announced" == "4, 2: выбранная фишка;4, 2: пустая лунка;4, 3: пустая лунка;4, 4: фишка" ]] \
    || fail "the holes announced '$announced'"
stop_game

# At 125 % too, each hole stands on the screen pixels of its picture, ringed by the board's gray
# and inside the window's place, so a screen reader's clicks in the middle of holes play a jump.
# The window is moved to 102,102, which a position in Qt's scaled pixels misses by one.
start_game " at 125 % for the screen reader" env QT_SCALE_FACTOR=1.25 "$program"
xdotool windowmove "$window" 102 102
sleep 1
atspi holes >"$work/holes" || fail "the board's holes could not be read through AT-SPI at 125 %"
{ IFS='|' read -r wx wy ww wh; IFS='|' read -r bx by bw bh; } < <(atspi places)
((bx >= wx && by >= wy && bx + bw <= wx + ww && by + bh <= wy + wh)) \
    || fail "the board at 125 % is at $bx,$by ${bw}x$bh, in a window at $wx,$wy ${ww}x$wh"
import -window root "$work/shot.png"
gray() { count_colour "$1" 128,128,128; }
while IFS='|' read -r name x y w h; do
    ((w == 75 && h == 75 && x >= bx && y >= by && x + w <= bx + bw && y + h <= by + bh)) \
        || fail "hole '$name' at 125 % is at $x,$y ${w}x$h, on a board at $bx,$by ${bw}x$bh"
    ring=$(($(gray "77x77+$((x - 1))+$((y - 1))") - $(gray "75x75+$x+$y")))
    edge=$(($(gray "75x75+$x+$y") - $(gray "73x73+$((x + 1))+$((y + 1))")))
    ((ring == 4 * 76 && edge == 0)) \
        || fail "hole '$name' at 125 % is not its picture: $ring gray pixels around it, $edge on its edge"
done <"$work/holes"
for hole in "4, 2: фишка" "4, 4: пустая лунка"; do
    IFS='|' read -r _ x y w h <<<"$(grep -F "$hole|" "$work/holes")"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    sleep 0.5
done
atspi holes | cut -d'|' -f1 | grep -x -c -e '4, 2: пустая лунка' -e '4, 3: пустая лунка' \
    -e '4, 4: фишка' | grep -q -x 3 || fail "clicks in the middle of holes at 125 % played no jump"
stop_game

# IceWM and Fluxbox minimise a modal dialog alone and leave its main window, blocked, on the
# screen. On a display of its own with no window manager, the test minimises the rules dialog as
# they do: the player's next press on the main window must bring it back.
start_virtual_display "$work"
start_game " without a window manager" "$program"
sleep 0.5
find_client_top
xdotool mousemove --window "$window" $((289 + 11)) $((top + 12)) click 1
dialog=$(find_window 10 --name '^Правила игры и легенда$') \
    || fail "the rules dialog did not open without a window manager"
/usr/bin/python3 "$here/iconify.py" "$dialog"
sleep 0.5
[[ $(xwininfo -id "$dialog") == *IsUnMapped* ]] || fail "the rules dialog could not be minimised"
xdotool mousemove --window "$window" "$peg_x" "$peg_y" click 1
for _ in $(seq 30); do
    [[ $(xwininfo -id "$dialog") == *IsViewable* ]] && break
    sleep 0.1
done
[[ $(xwininfo -id "$dialog") == *IsViewable* ]] \
    || fail "a press on the main window did not bring back the rules dialog minimised alone"
stop_game

echo "real window checks passed"
