#!/usr/bin/env bash
# A blind player wins the Latin cross with the screen reader Orca, from the keyboard alone: the
# real Orca on a session bus and accessibility bus of the test's own, its speech read from its
# debug log, the screen reader switched on and off through the desktop's setting.
# Usage: orca.sh path/to/quorvel
source "$(dirname "$0")/start.sh"
cells=$here/../../resources/cells
# Orca's utterances, one a line, without the voice it names after each.
spoken() { grep -a "SPEECH OUTPUT: '" "$work/orca.log" | sed "s/^.*SPEECH OUTPUT: '//; s/ *' *[{[].*$//"; }
fail_details() {
    [[ -f "$work/orca.log" ]] && spoken | sed "s/^/orca said: /" >&2
    [[ -f "$work/quorvel.log" ]] && sed "s/^/quorvel: /" "$work/quorvel.log" >&2
}

start_virtual_display "$work"
start_window_manager "$work"

# Orca, the accessibility bus and gsettings keep their settings in the scratch folder. The
# setting lives in a key file, which every process of the session reads and watches, as they
# share dconf on a desktop.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
    XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime GSETTINGS_BACKEND=keyfile
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$work/bus" \
    4>"$work/bus.pid"
virtual_display_pids+=("$(cat "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
atspi() { /usr/bin/python3 "$here/atspi.py" "$@"; }
screen_reader() { gsettings set org.gnome.desktop.a11y.applications screen-reader-enabled "$1"; }

cd "$work"
# Starts the game and waits for its window, which it activates.
start_game() {
    "$program" >"$work/quorvel.log" 2>&1 &
    game=$!
    window=
    for _ in $(seq 200); do
        window=$(xdotool search --onlyvisible --name '^Кворвел$' 2>/dev/null | head -n1 || true)
        [[ -n "$window" ]] && break
        sleep 0.1
    done
    [[ -n "$window" ]] || fail "the main window did not appear"
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    top=$(($(xwininfo -id "$window" | awk '/Height:/ { print $2 }') - 538))
}
# The game first: it has to hear the screen reader come while it runs.
start_game

# As the desktop starts one: the setting on, then Orca. With no speech server here, Orca still
# writes every utterance to its log.
screen_reader true
orca --debug-file "$work/orca.log" >"$work/orca.out" 2>&1 &
orca=$!
virtual_display_pids+=("$orca")
for _ in $(seq 100); do
    [[ $(atspi listeners 2>/dev/null) == *Window:Destroy* ]] && break
    sleep 0.2
done
[[ $(atspi listeners 2>/dev/null) == *Window:Destroy* ]] || fail "Orca did not start"

xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
# Orca reads the whole window first; what comes meanwhile it may pass over.
sleep 4

# Whether cell (column, row) on the last screenshot is the picture $3 and nothing else.
shoot() { import -window "$window" "$work/shot.png"; }
shows() {
    [[ $(compare -metric AE "$work/shot.png[60x60+$(($1 * 62 - 30))+$((top + $2 * 62))]" \
        "$cells/$3.png" null: 2>&1) == 0 ]]
}
keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.8
    done
}
# Presses key $1 and waits until the focused hole is named $2. One key at a time: on a busy
# machine Qt's hand-over of each key to the screen reader times out, and keys that pile up then
# can come out of order.
step() {
    [[ -z "$1" ]] || xdotool key "$1"
    for _ in $(seq 60); do
        [[ $(atspi focused 2>/dev/null) == "$2" ]] && { sleep 0.7; return 0; }
        sleep 0.25
    done
    fail "after the key $1 the focus is not on '$2' but on '$(atspi focused 2>/dev/null)'"
}

# The three information dialogs, each closed by Return: the rules (the first item of "Справка"),
# About (its second), the dedication (Home).
for open_dialog in "alt Right Right Down Return" "alt Right Right Down Down Return" Home; do
    keys $open_dialog
    sleep 1.5
    step Return "4, 4: пустая лунка"
done

# The Latin cross from the menu: Alt to the menu bar, Right to "Игра", Down opens it on its
# first item.
latin_cross() { keys alt Right Down Return; }
latin_cross
step "" "4, 4: фишка"
# The focus starts in the middle of the board, framed: (4,4) holds a peg, the frame on it.
shoot
shows 4 4 peg && fail "no focus frame on (4,4) while the screen reader runs"
shows 4 3 peg || fail "the Latin cross was not dealt by keys"

# Five jumps, each a press on the peg and a press on the hole it jumps to.
step Up "4, 3: фишка"
step space "4, 3: выбранная фишка"
step Right "5, 3: фишка"
step Right "6, 3: пустая лунка"
step space "6, 3: фишка"
step Left "5, 3: пустая лунка"
# A press on an empty hole with no peg selected changes nothing, and says so.
keys space
step Left "4, 3: пустая лунка"
step Down "4, 4: фишка"
step Down "4, 5: фишка"
step space "4, 5: выбранная фишка"
step Up "4, 4: фишка"
step Up "4, 3: пустая лунка"
step space "4, 3: фишка"
step Left "3, 3: фишка"
step space "3, 3: выбранная фишка"
step Right "4, 3: фишка"
step Right "5, 3: пустая лунка"
step space "5, 3: фишка"
step Right "6, 3: фишка"
step space "6, 3: выбранная фишка"
step Left "5, 3: фишка"
step Left "4, 3: пустая лунка"
step space "4, 3: фишка"
# Flat review, as Orca builds it now: the line of the focused hole, (6,3) and (5,3) emptied.
keys KP_Up
step Up "4, 2: фишка"
step space "4, 2: выбранная фишка"
step Down "4, 3: фишка"
step Down "4, 4: пустая лунка"
xdotool key space
for _ in $(seq 60); do
    [[ -n $(xdotool search --onlyvisible --name '^Information$' 2>/dev/null) ]] && break
    sleep 0.25
done
box=$(xdotool search --onlyvisible --name '^Information$' 2>/dev/null | head -n1 || true)
[[ -n "$box" ]] || fail "no message box after the winning jump"
# Time for Orca to read the box, as a player listens to it.
sleep 3
# Closed, the box gives the focus back to the hole.
step Return "4, 4: фишка"
sleep 3
# At the cross's edge an arrow says so.
step Left "3, 4: пустая лунка"
step Left "2, 4: пустая лунка"
step Left "1, 4: пустая лунка"
keys Left
# Saved under a name typed into the save dialog (Alt, Down opens "Файл" on "Новая", Down to
# "Сохранить"), opened again, and then a file that is not there: its error, and nothing else.
keys alt Down Down Return
sleep 1.5
xdotool type --delay 100 blind1
keys Return
step "" "1, 4: пустая лунка"
open_file() {
    keys alt Down Down Down Return
    sleep 1.5
    xdotool type --delay 100 "$1"
    keys Return
}
open_file blind1.sav
step "" "1, 4: пустая лунка"
open_file nosuch
sleep 2
step Return "1, 4: пустая лунка"
step Right "2, 4: пустая лунка"
sleep 2

# Orca quits when the desktop switches the screen reader off; the game hears it too.
screen_reader false
for _ in $(seq 100); do kill -0 "$orca" 2>/dev/null || break; sleep 0.1; done
kill -0 "$orca" 2>/dev/null && fail "Orca did not quit"
spoken >"$work/spoken"
sed 's/^/orca said: /' "$work/spoken"

# Line $1 said, and at once line $2 after it.
expect_said() {
    awk -v a="$1" -v b="${2:-}" 'previous == a && ($0 == b || b == "") { found = 1 } { previous = $0 }
        END { exit !found }' <(cat "$work/spoken"; echo) || fail "Orca did not say '$1' then '${2:-}'"
}
# Orca, started after the game, first names the layout and the pegs on the board, then the
# focused hole; each hole is said as the focus comes to it; the layout when it is dealt; a
# selected peg; after each jump the hole it lands in and the two it leaves empty, the last before
# the win message. Each news is told once: none comes back after a dialog or a box.
[[ $(sed -n 2,4p "$work/spoken" | paste -s -d'|') \
    == "Кворвел frame.|Игровое поле: Кворвел, 32 фишки panel.|4, 4: пустая лунка push button." ]] \
    || fail "Orca's first words do not name the layout"
expect_said "4, 3: фишка push button." "space"
expect_said "Игра." "Латинский крест."
expect_said "notification." "Новая игра: Латинский крест, 6 фишек."
expect_said "notification." "4, 3: выбранная фишка."
expect_said "notification." "6, 3: фишка; 5, 3 и 4, 3: пустые лунки."
expect_said "notification." "4, 3: фишка; 4, 4 и 4, 5: пустые лунки."
expect_said "notification." "5, 3: фишка; 4, 3 и 3, 3: пустые лунки."
expect_said "notification." "4, 3: фишка; 5, 3 и 6, 3: пустые лунки."
expect_said "4, 4: фишка; 4, 3 и 4, 2: пустые лунки." "alert Information."
expect_said "Поздравляю Вы выиграли!" "OK push button."
expect_said "Игровое поле: Латинский крест, 1 фишка panel." "4, 4: фишка push button."
told_twice=$(grep -A1 -x "notification." "$work/spoken" | grep -v -x -e "notification." -e -- | sort | uniq -d)
[[ -z "$told_twice" ]] || fail "Orca told again: $told_twice"
# Flat review reads the board as it is: row 3 after four jumps.
expect_said "1, 3: пустая лунка 2, 3: пустая лунка 3, 3: пустая лунка 4, 3: фишка 5, 3: пустая лунка 6, 3: пустая лунка 7, 3: пустая лунка"

# The three dialogs read whole as they open: every line of About, the rules from their welcome
# to their end, the dedication.
expect_said "alert О программе." "Quorvel for Windows Version 3.0 Свободная программа Команда Кворвела."
expect_said "alert Подарочная версия!!!" \
    "Подарочная версия программы. Всем, кто любит головоломки. Пусть последняя фишка всегда остаётся в центре доски!"
grep -q "^Добро пожаловать в Кворвел!.*Вот в принципе и всё. Желаю удачи!$" "$work/spoken" \
    || fail "Orca did not read the rules whole"
# A refused press and the cross's edge are told; a save and a load say so; a failed open says
# its error and nothing else, not the load before it again.
expect_said "notification." "Без изменений."
expect_said "notification." "Край поля."
expect_said "notification." "Игра сохранена."
expect_said "notification." "Игра загружена, 1 фишка."
sed -n '/^File not found\.$/,$p' "$work/spoken" >"$work/after"
grep -q "загружена" "$work/after" && fail "after the failed open Orca told the load again"
grep -q -x "1, 4: пустая лунка push button." "$work/after" \
    || fail "after the failed open Orca did not say the hole as it is"
[[ -s "$work/quorvel.log" ]] && fail "the game wrote to the terminal while Orca ran: $(head -c 300 "$work/quorvel.log")"

# With the screen reader off, the same keys do nothing and no frame is drawn.
latin_cross
keys Up space Right Right space
shoot
for cell in "4 4 peg" "4 3 peg" "5 3 peg" "6 3 empty"; do
    shows $cell || fail "with the screen reader off, ($cell) is not its bare picture"
done

# A game started while the setting is on takes the keyboard at once: its focus frame shows.
kill "$game"
wait "$game" 2>/dev/null || true
screen_reader true
start_game
framed=
for _ in $(seq 20); do
    sleep 0.25
    shoot
    shows 4 3 peg && ! shows 4 4 empty && framed=yes && break
done
[[ -n "$framed" ]] || fail "a game started with the screen reader on shows no focus frame"
echo "Orca checks passed"
