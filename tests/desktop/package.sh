#!/usr/bin/env bash
# Builds the Debian package and checks it as a player's machine would see it: every file in its
# place, the dependencies, a valid desktop entry and AppStream file, crisp icons, and the packaged
# program showing its window under Xvfb. Usage: package.sh BUILD_FOLDER
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/virtual-display.sh"
work=$(mktemp -d)
game=
trap end_virtual_session EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
id=io.github.quorvel.Quorvel

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb=$(echo "$work"/out/quorvel_*.deb)
[[ -f "$deb" ]] || fail "no .deb was made"
dpkg-deb -x "$deb" "$work/root"
root=$work/root

files=(usr/bin/quorvel usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml)
for size in 32 64 128 256; do files+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png"); done
for file in "${files[@]}"; do [[ -f "$root/$file" ]] || fail "the package lacks /$file"; done
[[ -x "$root/usr/bin/quorvel" ]] || fail "/usr/bin/quorvel is not executable"
[[ $(readelf -d "$root/usr/bin/quorvel") == *RUNPATH* || $(readelf -d "$root/usr/bin/quorvel") == *RPATH* ]] \
    && fail "the installed program keeps a library search path"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo \
    fonts-liberation2 qt6-translations-l10n; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" \
    || { cat "$work/appstream.log" >&2; fail "AppStream file invalid"; }
grep -qx 'Exec=quorvel' "$root/usr/share/applications/$id.desktop" || fail "Exec is not quorvel"

# Each larger icon is the 32 x 32 one with every pixel made a square block, nothing smoothed.
small=$root/usr/share/icons/hicolor/32x32/apps/$id.png
for size in 64 128 256; do
    convert "$small" -filter point -resize "${size}x$size" "$work/expected.png"
    compare -metric AE "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" \
        "$work/expected.png" null: 2>/dev/null || fail "the ${size}x$size icon is not a crisp enlargement"
done

# The packaged program starts and shows its board.
start_virtual_display "$work"
start_window_manager "$work"
"$root/usr/bin/quorvel" >"$work/quorvel.log" 2>&1 &
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
