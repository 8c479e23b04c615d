#!/usr/bin/env bash
# A failed or killed save loses nothing, on every route a save can take: each system call that
# writes the file fails in turn (strace's fault injection), and saves are killed at random
# moments. After each, the file holds its old bytes or a whole new game, its other names agree,
# and the folder holds nothing it did not hold before. Usage: savefaults.sh path/to/save_probe
set -euo pipefail
probe=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# The probe runs as another user, who may not enter the folder it was built in (a clone in
# root's home): it runs from a copy here.
cp "$probe" "$work/save_probe"
probe=$work/save_probe
# Leak checking stops the program with ptrace, which strace holds already; the sanitizers' own
# writes fail too under injection, and their reports need no symbols.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:symbolize=0"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The games the probe saves: layout 0 and 1 in turn, over an old game of layout 4.
for kind in 0 1 4; do "$probe" "$work/ref$kind" "$kind"; done

# route: who saves, the folder's owner and mode, the file's owner and mode, a second name, user
# attributes (name=value), whether a save puts a new file in the old one's place or writes over
# it (or the text it is refused with), and whether the old file is longer than a game.
routes=(
    "renamed:root:root:755:root:644:::new file"
    "a file with user attributes, one empty:root:root:755:root:644::user.colour=blue user.mark=:new file"
    "new file:root:root:755:::::new file"
    "second name:root:root:755:root:640:copy.sav::in place"
    "folder the player may not write:nobody:root:755:root:666:::in place"
    "another user's file in a sticky folder:nobody:root:1777:root:666:::in place"
    "another user's file in the player's folder:nobody:nobody:755:root:666:::in place"
    "a file the player may write but not read:nobody:root:755:root:622:::in place"
    "the player's own file that they may write but not read:nobody:nobody:755:nobody:200:::new file"
    "a longer file:root:root:755:root:644:::new file:longer"
    "a longer file with a second name:root:root:755:root:644:copy.sav::File access denied:longer"
)
# Each system call that a save makes, and the errors it is made to fail with. EOPNOTSUPP on
# opening takes the way of file systems without nameless files.
faults=(openat:EIO openat:EOPNOTSUPP write:ENOSPC pwrite64:ENOSPC fdatasync:EIO fsync:EIO
    ftruncate:EIO fchmod:EIO linkat:EIO renameat:EIO flistxattr:EIO fgetxattr:EIO fsetxattr:EIO)

if [[ $(id -u) -ne 0 ]] || ! id nobody >/dev/null 2>&1; then
    echo "SKIP: saving as another user needs root and the user 'nobody'"
    routes=("${routes[@]:0:4}")
fi

# Lays the route's folder out afresh.
set_up() {
    local folderOwner=$1 folderMode=$2 fileOwner=$3 fileMode=$4 second=$5 attribute=$6
    rm -rf "$work/games"
    mkdir "$work/games"
    cp "$work/ref4" "$work/old"
    [[ -z "$longer" ]] || head -c 100 "$work/ref1" >>"$work/old"
    if [[ -n "$fileOwner" ]]; then
        cp "$work/old" "$work/games/Game0.sav"
        chown "$fileOwner:" "$work/games/Game0.sav"
        chmod "$fileMode" "$work/games/Game0.sav"
        [[ -z "$second" ]] || ln "$work/games/Game0.sav" "$work/games/$second"
        for pair in $attribute; do
            setfattr -n "${pair%%=*}" -v "${pair#*=}" "$work/games/Game0.sav"
        done
    fi
    chown "$folderOwner" "$work/games"
    chmod "$folderMode" "$work/games"
    before=$(ls -A "$work/games" | grep -vx Game0.sav || true)
    look=$(carried "$work/games/Game0.sav")
}

# What a file carries besides its bytes: owner, group, permissions, links, user attributes.
carried() {
    [[ -e "$1" ]] || return 0
    stat -c '%u %g %a %h' "$1"
    getfattr -d "$1" 2>/dev/null | grep -v '^#' || true
}

# $1: what happened; $2: the probe's exit status; $3: whether a leftover name may remain
# until the next save (only a kill between naming the new file and renaming it leaves one).
check() {
    local what=$1 status=$2 leftovers=$3 target=$work/games/Game0.sav
    local now
    now=$(ls -A "$work/games" | grep -vx Game0.sav || true)
    [[ "$leftovers" == no ]] || now=$(grep -v '^\.quorvel-.*\.tmp$' <<<"$now" || true)
    [[ "$now" == "$before" ]] || fail "$what: the folder holds $(echo $now), not $(echo $before)"
    if [[ ! -e "$target" ]]; then
        [[ -z "$look" && "$status" -ne 0 ]] || fail "$what: the file is missing"
        return
    fi
    if [[ "$status" -eq 0 ]]; then
        cmp -s "$target" "$work/ref0" || fail "$what: reported saved, but the file is not the game"
    elif ! cmp -s "$target" "$work/old" && ! cmp -s "$target" "$work/ref0" \
        && ! cmp -s "$target" "$work/ref1"; then
        fail "$what: the file holds neither the old game nor a new one"
    fi
    for other in $before; do
        cmp -s "$target" "$work/games/$other" \
            || fail "$what: $other does not agree with Game0.sav"
    done
    [[ -z "$look" || "$(carried "$target")" == "$look" ]] \
        || fail "$what: owner, group, permissions, links or attributes changed"
}

for route in "${routes[@]}"; do
    IFS=: read -r name player folderOwner folderMode fileOwner fileMode second attribute way \
        longer <<<"$route"
    save=("$probe" "$work/games/Game0.sav")
    traced=(strace -qq -o /dev/null -u "$player")
    for fault in "${faults[@]}"; do
        call=${fault%%:*}
        error=${fault#*:}
        set_up "$folderOwner" "$folderMode" "$fileOwner" "$fileMode" "$second" "$attribute"
        calls=$("${traced[@]}" -c -e trace="$call" -o "$work/count" "${save[@]}" 0 2>/dev/null \
            || true; awk -v c="$call" '$NF == c { print $4 }' "$work/count")
        for ((n = 1; n <= ${calls:-0}; n++)); do
            set_up "$folderOwner" "$folderMode" "$fileOwner" "$fileMode" "$second" "$attribute"
            status=0
            # A sanitizer build may abort when its own calls fail: the file must still be whole.
            { "${traced[@]}" -e trace="$call" -e inject="$call:error=$error:when=$n" \
                "${save[@]}" 0 || status=$?; } 2>/dev/null
            check "$name: $call call $n fails with $error" "$status" no
        done
    done

    set_up "$folderOwner" "$folderMode" "$fileOwner" "$fileMode" "$second" "$attribute"
    for ((kill = 1; kill <= 100; kill++)); do
        setpriv --reuid="$player" --regid="$(id -g "$player")" --clear-groups \
            "${save[@]}" 0 --loop 2>/dev/null &
        printf -v delay '0.%03d' $((RANDOM % 30 + 2))
        sleep "$delay"
        kill -KILL $! 2>/dev/null || [[ "$way" == "File access denied" ]] \
            || fail "$name: the saves stopped by themselves"
        { wait $! || true; } 2>/dev/null
        check "$name: killed during save $kill" 1 yes
    done
    # The next save removes what a kill left (an older version's name too) once it is a minute
    # old, but never the file of a save still in progress, which holds its lock, nor a young one,
    # nor another user's.
    # A refused save leaves the folder alone.
    planted=no
    if [[ "$folderOwner" == "$player" || "$folderMode" == 1777 ]] \
        && [[ "$way" != "File access denied" ]]; then
        planted=yes
        install -o "$player" -m "${fileMode:-644}" /dev/null "$work/games/.quorvel-4242-0.tmp"
        install -o "$player" /dev/null "$work/games/.quorvel-busy.tmp"
        exec {lock}<"$work/games/.quorvel-busy.tmp"
        flock "$lock"
        install -o "$([[ "$player" == root ]] && echo nobody || echo root)" /dev/null \
            "$work/games/.quorvel-notes.tmp"
    fi
    find "$work/games" -name '.quorvel-*.tmp' -exec touch -d '2 minutes ago' {} +
    [[ "$planted" == no ]] || install -o "$player" /dev/null "$work/games/.quorvel-young.tmp"
    old=$(stat -c %i "$work/games/Game0.sav" 2>/dev/null || true)
    status=0
    setpriv --reuid="$player" --regid="$(id -g "$player")" --clear-groups "${save[@]}" 0 \
        2>"$work/said" || status=$?
    # Only where a new file would lose what the old one carries does the save write over it.
    taken="new file"
    [[ "$(stat -c %i "$work/games/Game0.sav")" != "$old" ]] || taken="in place"
    [[ "$status" -eq 0 ]] || taken=$(<"$work/said")
    [[ "$taken" == "$way" ]] || fail "$name: saved as $taken, not as $way"
    if [[ "$planted" == yes ]]; then
        [[ ! -e "$work/games/.quorvel-4242-0.tmp" ]] || fail "$name: a leftover stays"
        [[ -e "$work/games/.quorvel-busy.tmp" ]] || fail "$name: a save in progress lost its file"
        [[ -e "$work/games/.quorvel-young.tmp" ]] || fail "$name: a young leftover is removed"
        [[ -e "$work/games/.quorvel-notes.tmp" ]] || fail "$name: another user's file is removed"
        exec {lock}<&-
        rm "$work/games/.quorvel-"{busy,young,notes}.tmp
    fi
    check "$name: saved after the kills" "$status" no
    # A new file's name reaches the disk too: the folder is flushed once the file has taken it,
    # or a power cut right after the save could bring the old name back.
    if [[ "$way" == "new file" ]]; then
        strace -qq -o "$work/calls" -e trace=linkat,renameat,fsync,unlink,unlinkat "${save[@]}" 0
        awk '/^(linkat|renameat)\(/ { named = 1 } /^fsync\(/ && named { flushed = 1 }
            END { exit !flushed }' "$work/calls" || fail "$name: the new name is not flushed"
        # The name a new file had before the rename is free afterwards, and may by then be
        # another save's: the save leaves it alone.
        awk '/^renameat\(/ { split($0, part, "\""); renamed = "\"" part[2] "\"" }
            /^unlink/ && renamed != "" && index($0, renamed) { exit 1 }' "$work/calls" \
            || fail "$name: the name the new file had before the rename is removed again"
        # Two saves at once: the new file of the one held up just before its rename is locked,
        # so the other's sweep for leftovers leaves it alone.
        strace -qq -o /dev/null -e trace=renameat -e inject=renameat:delay_enter=1000000 \
            "${save[@]}" 0 &
        for _ in $(seq 100); do
            compgen -G "$work/games/.quorvel-*.tmp" >/dev/null && break
            sleep 0.02
        done
        "${save[@]}" 1
        wait $! || fail "$name: another save at the same time removed the new file"
        check "$name: two saves at once" 0 no
        # Should every name the new file tries be taken, the save gives up and says so.
        status=0
        { timeout 10 strace -qq -o /dev/null -e trace=linkat -e inject=linkat:error=EEXIST \
            "${save[@]}" 1 || status=$?; } 2>/dev/null
        [[ "$status" -ne 124 ]] || fail "$name: with every name taken the save never ends"
        check "$name: every name taken" "$status" no
    fi
done
# The number of the save's first call to $1 whose trace holds $2.
nth_call() {
    strace -qq -o "$work/calls" -e trace="$1" "${save[@]}" 0 2>/dev/null || true
    grep -n -m1 -F "$2" "$work/calls" | cut -d: -f1 || fail "the save makes no call to $1 with $2"
}
# Starts a save traced with strace's options $@, and returns once a delay injected holds it.
held_save() {
    rm -f "$work/delayed"
    strace -qq -o "$work/delayed" "$@" "${save[@]}" 0 2>"$work/said" &
    for _ in $(seq 100); do grep -qs DELAYED "$work/delayed" && break; sleep 0.05; done
}

# Another user who owns the folder swaps something in under the name between the save's look
# at it and its opening of it: the save is refused and neither the file swapped in nor the one
# a link points at changes. While the new file is written, with the system's nameless file or
# with a named one, nobody else may read it.
if [[ $(id -u) -eq 0 ]] && id nobody >/dev/null 2>&1; then
    longer=
    for folderMode in 755 1777; do
        for put in "ln -s $work/secret" touch; do
            set_up nobody "$folderMode" root 644 "" user.note=TOPSECRET
            printf 'A secret of root' >"$work/secret"
            held_save -e trace=openat \
                -e inject=openat:delay_exit=1000000:when="$(nth_call openat '"Game0.sav"')"
            setpriv --reuid=nobody --regid=nogroup --clear-groups \
                sh -c "rm '$work/games/Game0.sav' && $put '$work/games/Game0.sav'"
            what="${put%% *} swapped in a folder of another user's ($folderMode)"
            wait $! && fail "$what: the save was not refused"
            [[ "$(<"$work/said")" == "File access denied" ]] || fail "$what: $(<"$work/said")"
            [[ "$(<"$work/secret")" == "A secret of root" && ($put != touch \
                || ! -s "$work/games/Game0.sav" && -z $(getfattr -d "$work/games/Game0.sav")) ]] \
                || fail "$what: a file the save did not look at changed"
        done
    done
    umask 000
    for nameless in yes no; do
        set_up root 755 root 644 "" ""
        inject=(-e inject=openat:error=EOPNOTSUPP:when="$(nth_call openat O_TMPFILE)")
        [[ $nameless == no ]] || inject=()
        held_save -e trace=openat,fdatasync "${inject[@]}" -e inject=fdatasync:delay_exit=1000000
        modes=$(find /proc/[0-9]*/fd -lname "$work/games/*" -exec stat -Lc %a {} + 2>/dev/null || :)
        wait $! || fail "nameless file: $nameless: the save failed"
        [[ "$modes" == 600 ]] || fail "nameless file: $nameless: made as '$modes'"
        check "nameless file: $nameless" 0 no
    done
fi
echo "savefaults: every route keeps the old game or a whole new one"
