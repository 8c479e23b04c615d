# The opening every real-window test shares. Sourced, not run, by a script that was given the
# game's path as its first argument: sets program, here, work (a private scratch folder) and
# game (the game's pid, once started), ends all of it at exit, and defines fail. A script may
# define fail_details to add what it knows (logs, speech) to a failure's report.
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
program=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../scripts/lib/virtual-display.sh"
source "$here/screen.sh"
work=$(mktemp -d)
game=
trap end_virtual_session EXIT

# The last screenshot is kept beside the build of the game under test (build/.../failures),
# never under a fixed name in a folder that other users can write to.
fail() {
    echo "FAIL: $*" >&2
    if [[ -f "$work/shot.png" ]]; then
        local kept
        kept=$(dirname "$program")/../failures
        mkdir -p "$kept"
        kept=$(cd "$kept" && pwd)/$(basename "$0" .sh)${manager:+-$manager}.png
        cp --remove-destination "$work/shot.png" "$kept" && echo "screenshot: $kept" >&2
    fi
    declare -F fail_details >/dev/null && fail_details
    exit 1
}
