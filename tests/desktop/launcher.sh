#!/usr/bin/env bash
# The game without a usable display. With none at all, the launcher shows it on a private display
# behind a VNC server on 127.0.0.1 alone, and stops both with the game. With a DISPLAY where no
# X server answers, both the launcher and the program say so and exit cleanly. No other user of
# the machine gets onto the private display, and neither its cookie nor the VNC password shows
# in any process's command line or environment.
# Usage: launcher.sh LAUNCH_SCRIPT PROGRAM
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
launch=$(realpath "$1")
program=$(realpath "$2")
work=$(mktemp -d)
# Another user's own files, where that user can reach them.
elsewhere=$(mktemp -d)
chown nobody:nogroup "$elsewhere"
launcher=
poller=
cleanup() {
    [[ -n "$launcher" ]] && kill "$launcher" 2>/dev/null || true
    [[ -n "$poller" ]] && kill "$poller" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work" "$elsewhere"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -f "$work/out" ]] && sed "s/^/launcher: /" "$work/out" >&2
    exit 1
}
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# A display number that no server uses.
dead=90
while [[ -e /tmp/.X11-unix/X$dead || -e /tmp/.X$dead-lock ]]; do dead=$((dead + 1)); done

# The program names both displays it was given, the X one and the Wayland one, and says nothing
# but that (not Qt's lines, nor the Wayland library's), whatever the language and window system.
printf '%s\n' "Кворвел не может открыть окно: дисплей не отвечает (DISPLAY=:$dead, WAYLAND_DISPLAY=wayland-$dead)." \
    "Проверьте, что сеанс рабочего стола запущен, или запустите игру из него." >"$work/said"
for setting in LC_ALL=C.UTF-8 "LC_ALL=C LANGUAGE=ru QT_QPA_PLATFORM=xcb" "-u XDG_RUNTIME_DIR QT_QPA_PLATFORM=wayland"; do
    status=0
    env $setting DISPLAY=:$dead WAYLAND_DISPLAY=wayland-$dead "$program" >"$work/out" 2>&1 || status=$?
    [[ $status -eq 1 ]] || fail "the program exited with $status on a dead display ($setting), expected 1"
    cmp -s "$work/out" "$work/said" \
        || fail "on a dead display ($setting) the program did not say only, in Russian, that it does not answer"
done
# What Qt writes while a display that answers opens is only held back, and then written out.
timeout 5 env QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.plugin.debug=true' "$program" \
    >"$work/out" 2>&1 || true
grep -q '^qt.qpa.plugin: Successfully loaded Qt platform plugin "offscreen"' "$work/out" \
    || fail "what Qt wrote as the display opened was not written out"
# Under a file-size limit the message cannot be written to a file, but the program still exits
# with 1 instead of being killed by the limit's signal (128 + SIGXFSZ: 153).
status=0
(ulimit -f 0 && DISPLAY=:$dead exec "$program" 2>"$work/out") || status=$?
[[ $status -eq 1 ]] || fail "the program exited with $status under a file-size limit, expected 1"
status=0
DISPLAY=:$dead "$launch" "$program" >"$work/out" 2>&1 || status=$?
[[ $status -eq 1 ]] || fail "the launcher exited with $status on a dead display, expected 1"
grep -q "DISPLAY is set to ':$dead', but no X server answers there" "$work/out" \
    || fail "the launcher did not name the dead display"
grep -qxF "virtual display instead:  env -u DISPLAY $launch $program" "$work/out" \
    || fail "the launcher's advice is not the whole command"

# Every command line and environment of every process, read over and over while the launcher
# starts, runs and stops; once it has ended, the password and the cookie are looked for in them.
# A short-lived program (a helper given the password) lives a few milliseconds: the poller reads
# the young processes at every round and runs ahead of others, which catches most of them.
nice -n -10 /usr/bin/python3 - "$work/stop" "$work/secrets" >"$work/polled" <<'POLLER' &
import os, sys, time
stop, secrets = sys.argv[1:]
seen, born, rounds, last = set(), {}, 0, 0.0
while not os.path.exists(stop):
    # Every process ten times a second; those less than a second old at every round.
    now = time.monotonic()
    everyone = now - last > 0.1
    last = now if everyone else last
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if now - born.setdefault(pid, now) > 1 and not everyone:
            continue
        for part in ("cmdline", "environ"):
            try:
                with open(f"/proc/{pid}/{part}", "rb") as f:
                    seen.add(f.read())
            except OSError:
                pass
    rounds += 1
    if rounds == 1:
        open(stop + ".ready", "w").close()
with open(secrets, "rb") as f:
    found = [s for s in f.read().split() if any(s in text for text in seen)]
print(f"{rounds} rounds over /proc/*/cmdline and /proc/*/environ, {len(seen)} different texts, "
      f"{len(found)} holding the password or the cookie")
sys.exit(1 if found else 0)
POLLER
poller=$!
for _ in $(seq 100); do [[ -e "$work/stop.ready" ]] && break; sleep 0.1; done

# No display: the launcher prints where to connect. Its scratch folder lies in ours, where the
# test finds the display's cookie.
mkdir -m 700 "$work/tmp"
env -u DISPLAY -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" "$launch" "$program" >"$work/out" 2>&1 &
launcher=$!
for _ in $(seq 600); do grep -q '^  Password:' "$work/out" && break; sleep 0.1; done
grep -q '^  Password:' "$work/out" || fail "the launcher printed no connection details"
port=$(sed -n 's/.*listens on 127\.0\.0\.1:\([0-9]*\) only.*/\1/p' "$work/out")
display=$(sed -n 's/.*private virtual display (\(:[0-9]*\)).*/\1/p' "$work/out")
[[ -n "$port" && -n "$display" ]] || fail "no port or display in the launcher's message"

# The VNC server listens on 127.0.0.1 and nowhere else, and speaks RFB.
hexport=$(printf '%04X' "$port")
listening=$(awk -v p="$hexport" '$4 == "0A" && $2 ~ ":" p "$" { print $2 }' /proc/net/tcp /proc/net/tcp6)
[[ "$listening" == "0100007F:$hexport" ]] || fail "port $port is listened on at: $listening"
exec 5<>"/dev/tcp/127.0.0.1/$port"
read -r -t 5 banner <&5 || true
[[ "$banner" == "RFB 003.008" ]] || fail "the VNC server greeted with '$banner'"
# Other users of this machine reach 127.0.0.1 too: the server must ask for the password (VNC
# authentication, type 2) and never offer to let a viewer in without one (type 1).
printf 'RFB 003.008\n' >&5
types=$(timeout 5 dd bs=64 count=1 status=none <&5 | od -An -tu1 | xargs) || true
exec 5>&-
[[ "$types" == "1 2" ]] || fail "the VNC server offered the security types (count first): '$types'"

# The display admits the holder of its cookie alone. Another user is turned away, without a
# cookie and with one of its own, and cannot read the launcher's.
export XAUTHORITY
XAUTHORITY=$(echo "$work"/tmp/*/xauthority)
[[ -s "$XAUTHORITY" ]] || fail "the launcher made no cookie for its display"
xauth -f "$XAUTHORITY" nlist | awk '{ print $NF }' | sort -u >"$work/secrets"
sed -n 's/^  Password: *//p' "$work/out" >>"$work/secrets"
[[ $(wc -w <"$work/secrets") -eq 2 ]] || fail "no cookie in $XAUTHORITY, or no password printed"
DISPLAY=$display xdpyinfo >/dev/null || fail "the cookie's holder cannot use the display $display"
other() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups env -u XAUTHORITY HOME="$elsewhere" "$@"
}
other cat "$XAUTHORITY" >/dev/null 2>&1 && fail "another user can read the display's cookie"
other xdpyinfo -display "$display" >"$work/other" 2>&1 \
    && fail "another user without a cookie got onto the display $display"
mcookie | sed "s/^/add $display . /" \
    | other xauth -q -f "$elsewhere/xauthority" source - 2>/dev/null
[[ -s "$elsewhere/xauthority" ]] || fail "another user's cookie could not be made"
other env XAUTHORITY="$elsewhere/xauthority" xdpyinfo -display "$display" >>"$work/other" 2>&1 \
    && fail "another user with a cookie of its own got onto the display $display"
[[ $(grep -c "unable to open display \"$display\"" "$work/other") -eq 2 ]] \
    || fail "another user's xdpyinfo did not fail to connect: $(cat "$work/other")"

# The game's window is on that display; closing it ends the launcher, the display and the server.
window=$(DISPLAY=$display timeout 20 xdotool search --sync --onlyvisible --name '^Кворвел$' | head -n1) \
    || fail "the game's window did not appear on $display"
# A window only just mapped may not have the focus yet, so the close key is pressed until it works.
for _ in $(seq 20); do
    DISPLAY=$display xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null || true
    for _ in $(seq 10); do kill -0 "$launcher" 2>/dev/null && sleep 0.1; done
    kill -0 "$launcher" 2>/dev/null || break
done
kill -0 "$launcher" 2>/dev/null && fail "the launcher still runs after the game was closed"
status=0
wait "$launcher" || status=$?
launcher=
[[ $status -eq 0 ]] || fail "the launcher exited with $status after the game ended"
[[ -e "/tmp/.X11-unix/X${display#:}" ]] && fail "the virtual display $display still runs"
[[ -n $(awk -v p="$hexport" '$4 == "0A" && $2 ~ ":" p "$"' /proc/net/tcp) ]] \
    && fail "the VNC server still listens on port $port"
touch "$work/stop"
wait "$poller" || fail "a process showed a secret: $(cat "$work/polled")"
poller=
cat "$work/polled"
# Killed outright, the launcher takes what it started with it (the display, openbox, x11vnc and,
# last, the game): seconds later none of them runs and nothing listens on its port; the next
# start of the same user removes the folder it left.
env -u DISPLAY -u XDG_RUNTIME_DIR TMPDIR="$work/tmp" "$launch" "$program" >"$work/out" 2>&1 &
launcher=$!
for _ in $(seq 300); do pgrep -P "$launcher" -x quorvel >/dev/null && break; sleep 0.1; done
started=$(pgrep -P "$launcher" | xargs)
[[ $(wc -w <<<"$started") -eq 4 ]] || fail "the launcher runs $started, not four programs"
port=$(sed -n 's/.*listens on 127\.0\.0\.1:\([0-9]*\) only.*/\1/p' "$work/out")
display=$(sed -n 's/.*private virtual display (\(:[0-9]*\)).*/\1/p' "$work/out")
[[ -n "$port" && -n "$display" ]] || fail "no port or display in the launcher's message"
kill -KILL "$launcher"
wait "$launcher" 2>/dev/null || true
launcher=
# An ended process may stay a zombie where nothing reaps it.
running() { [[ -e /proc/$1 && $(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) != Z* ]]; }
for _ in $(seq 50); do
    left=
    for pid in $started; do running "$pid" && left+=" $(cat "/proc/$pid/comm")"; done
    [[ -z "$left" ]] && break
    sleep 0.1
done
[[ -z "$left" ]] || fail "after kill -9 of the launcher these still run:$left"
hexport=$(printf '%04X' "$port")
[[ -n $(awk -v p="$hexport" '$4 == "0A" && $2 ~ ":" p "$"' /proc/net/tcp) ]] \
    && fail "after kill -9 of the launcher something still listens on port $port"
[[ -e "/tmp/.X11-unix/X${display#:}" ]] && fail "after kill -9 the display $display still runs"
DISPLAY=:$dead TMPDIR="$work/tmp" "$launch" "$program" >/dev/null 2>&1 || true
[[ -z $(ls -A "$work/tmp") ]] || fail "the next start left the killed start's folder"
echo "launcher checks passed"
