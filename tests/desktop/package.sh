#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian and a player's machine would see it: Debian's
# own checks, every file in its place and no other, the dependencies, a valid desktop entry and
# AppStream file, crisp icons, the same bytes when built again, and the packaged program showing
# its window under Xvfb. Usage: package.sh BUILD_FOLDER GAME_PROGRAM SOLVER_PROGRAM
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
build=$(realpath "$1")
programs=("$2" "$3")
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/../.." && pwd)
source "$tree/scripts/lib/virtual-display.sh"
work=$(mktemp -d)
game=
trap end_virtual_session EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
id=io.github.quorvel.Quorvel

# Usage: make_package OUTPUT_FOLDER; prints the path of the .deb.
make_package() {
    cpack --config "$build/CPackConfig.cmake" -B "$1" >"$1.log" 2>&1 \
        || { cat "$1.log" >&2; fail "cpack could not build the package"; }
    [[ -f "$1/quorvel_3.0_amd64.deb" ]] || fail "no quorvel_3.0_amd64.deb was made"
    echo "$1/quorvel_3.0_amd64.deb"
}
deb=$(make_package "$work/out")

# Debian's package checker: no error, no warning, and no informational note but those overridden
# with a reason in packaging/quorvel.lintian-overrides.
if ! lintian_report=$(lintian --display-info --fail-on error,warning,info --tag-display-limit 0 \
    "$deb" 2>&1); then
    echo "$lintian_report" >&2
    fail "lintian rejects the package"
fi

dpkg-deb -x "$deb" "$work/root"
root=$work/root
expected="usr/games/quorvel
usr/games/quorvel-solve
usr/share/applications/$id.desktop
usr/share/doc/quorvel/changelog.gz
usr/share/doc/quorvel/copyright
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/lintian/overrides/quorvel
usr/share/man/man6/quorvel-solve.6.gz
usr/share/man/man6/quorvel.6.gz
usr/share/metainfo/$id.metainfo.xml"
listed=$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[[ "$listed" == "$expected" ]] || fail "the package's files differ: $(diff <(echo "$expected") <(echo "$listed"))"
for program in quorvel quorvel-solve; do
    [[ -x "$root/usr/games/$program" ]] || fail "/usr/games/$program is not executable"
    if [[ $(readelf -d "$root/usr/games/$program") =~ R(UN)?PATH ]]; then
        fail "/usr/games/$program keeps a library search path"
    fi
done
# The programs, debug information included, name neither the checkout nor the build folder (also
# as a path inside the checkout, such as build/release), so a build elsewhere is the same.
build_paths=(-e "$tree" -e "$build")
inside=${build#"$tree"/}
if [[ "$inside" != "$build" && "$inside" == */* ]]; then build_paths+=(-e "$inside"); fi
for program in "${programs[@]}"; do
    if grep -qaF "${build_paths[@]}" "$program"; then fail "$program holds a build path"; fi
done
[[ $(gzip -dc "$root/usr/share/doc/quorvel/changelog.gz" | sed -n 1p) \
    == "quorvel ($(dpkg-deb -f "$deb" Version)) "* ]] || fail "the changelog's latest entry is not for this version"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo \
    fonts-liberation2 qt6-translations-l10n; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

desktop=$root/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry invalid"
# Pedantic hints and informational notes are shown but pass; a warning fails.
appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$id.metainfo.xml" \
    >"$work/appstream.log" || { cat "$work/appstream.log" >&2; fail "AppStream file invalid"; }
# The menu starts the game by name, and Debian puts /usr/games on every user's PATH.
[[ $(grep '^Exec=' "$desktop") == "Exec=quorvel" ]] || fail "Exec is not quorvel"

# Each larger icon is the 32 x 32 one with every pixel made a square block, nothing smoothed.
small=$root/usr/share/icons/hicolor/32x32/apps/$id.png
for size in 64 128 256; do
    convert "$small" -filter point -resize "${size}x$size" "$work/expected.png"
    compare -metric AE "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" \
        "$work/expected.png" null: 2>/dev/null || fail "the ${size}x$size icon is not a crisp enlargement"
done

# Built again, the package is the same bytes, every file dated at the last commit.
sleep 1
again=$(make_package "$work/again")
cmp "$deb" "$again" || fail "a second build of the package differs"
commit_time=${SOURCE_DATE_EPOCH:-$(git -C "$tree" log -1 --format=%ct)}
dates=$(find "$root" -mindepth 1 -exec stat -c %Y {} + | sort -u)
[[ "$dates" == "$commit_time" ]] || fail "files are dated $dates, not at the last commit ($commit_time)"

# The packaged program starts and shows its board.
start_virtual_display "$work"
start_window_manager "$work"
"$root/usr/games/quorvel" >"$work/quorvel.log" 2>&1 &
game=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Кворвел$' | head -n1) \
    || { cat "$work/quorvel.log" >&2; fail "the packaged program showed no window"; }
[[ $(xprop -id "$window" WM_CLASS) == *'"Quorvel"' ]] || fail "WM_CLASS does not match StartupWMClass"
sleep 0.3
import -window "$window" "$work/shot.png"
# The bottom-left corner of the client area is board background.
height=$(identify -format '%h' "$work/shot.png")
colour=$(convert "$work/shot.png" -format "%[fx:int(255*p{2,$((height - 3))}.r)],%[fx:int(255*p{2,$((height - 3))}.g)],%[fx:int(255*p{2,$((height - 3))}.b)]" info:)
[[ "$colour" == "128,128,128" ]] || fail "the packaged program's board background is $colour"
echo "package checks passed"
