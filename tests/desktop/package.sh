#!/usr/bin/env bash
# Builds the Debian packages from this source tree as Debian builds them (dpkg-buildpackage, in a
# copy, so that nothing lands in the tree or beside it) and checks them as Debian and a player's
# machine would see them: lintian, the build log's hardening flags (blhc), every file in its place
# and no other, the dependencies, a valid desktop entry and AppStream file, crisp icons, the same
# bytes when built again, the packaged program showing its window under Xvfb, and the package's
# own tests (autopkgtest) run on this machine. Usage: package.sh GAME_PROGRAM SOLVER_PROGRAM
set -euo pipefail
# xdotool matches the Russian window titles only in a UTF-8 locale.
export LC_ALL=C.UTF-8
programs=("$1" "$2")
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/../.." && pwd)
source "$tree/scripts/lib/virtual-display.sh"
work=$(mktemp -d)
game=
installed=no
cleanup() {
    # autopkgtest installed the packages on this machine; they go again with the test.
    [[ $installed == no ]] || dpkg --purge quorvel quorvel-dbgsym >/dev/null 2>&1 || true
    end_virtual_session
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
id=io.github.quorvel.Quorvel
version=$(dpkg-parsechangelog -l "$tree/debian/changelog" -SVersion)
upstream=${version%-*}
jobs=parallel=$(nproc)

# Usage: copy_tree FOLDER: the tree's own files (tracked or not, but not ignored), as a clone has them.
copy_tree() {
    mkdir -p "$1"
    if git -C "$tree" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$tree" && git ls-files -z -co --exclude-standard) \
            | while IFS= read -r -d '' file; do [[ -e "$tree/$file" ]] && printf '%s\0' "$file"; done \
            | tar -C "$tree" --null -T - -cf - | tar -C "$1" -xf -
    else
        tar -C "$tree" --exclude=./build -cf - . | tar -C "$1" -xf -
    fi
}

# The source and binary packages, built once as a packager would, with the tests the build runs.
source_tree=$work/first/quorvel-$upstream
copy_tree "$source_tree"
tar -C "$work/first" --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner \
    --exclude="quorvel-$upstream/debian" -cf - "quorvel-$upstream" | xz >"$work/first/quorvel_$upstream.orig.tar.xz"
(cd "$source_tree" && DEB_BUILD_OPTIONS=$jobs dpkg-buildpackage -us -uc) >"$work/build.log" 2>&1 \
    || { tail -n 60 "$work/build.log" >&2; fail "dpkg-buildpackage could not build the packages"; }
changes=$work/first/quorvel_${version}_amd64.changes
deb=$work/first/quorvel_${version}_amd64.deb
for made in "$changes" "$deb" "$work/first/quorvel-dbgsym_${version}_amd64.deb" \
    "$work/first/quorvel_$version.dsc" "$work/first/quorvel_$version.debian.tar.xz"; do
    [[ -f "$made" ]] || fail "dpkg-buildpackage made no $(basename "$made")"
done
grep -q 'ctest .*--label-regex' "$work/build.log" && grep -q '100% tests passed' "$work/build.log" \
    || fail "the package build ran no tests"

# Debian's package checker, pedantic, on the source and binary packages: nothing but what
# debian/quorvel.lintian-overrides and debian/source/lintian-overrides override with a reason.
# Every compiler line of the build has the hardening flags (Debian's compiler makes
# position-independent programs by itself: --debian).
lintian --pedantic --display-info --fail-on error,warning,info,pedantic --tag-display-limit 0 \
    "$changes" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log" >&2; fail "lintian rejects the packages"; }
blhc --all --debian "$work/build.log" >"$work/blhc.log" 2>&1 || { cat "$work/blhc.log" >&2; fail "blhc finds flags missing"; }

dpkg-deb -x "$deb" "$work/root"
root=$work/root
expected="usr/games/quorvel
usr/games/quorvel-solve
usr/share/applications/$id.desktop
usr/share/doc/quorvel/changelog.Debian.gz
usr/share/doc/quorvel/copyright
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/lintian/overrides/quorvel
usr/share/man/man6/quorvel-solve.6.gz
usr/share/man/man6/quorvel.6.gz
usr/share/man/ru/man6/quorvel-solve.6.gz
usr/share/man/ru/man6/quorvel.6.gz
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
for program in "${programs[@]}"; do
    build=$(dirname "$(dirname "$(realpath "$program")")")
    build_paths=(-e "$tree" -e "$build")
    inside=${build#"$tree"/}
    if [[ "$inside" != "$build" && "$inside" == */* ]]; then build_paths+=(-e "$inside"); fi
    if grep -qaF "${build_paths[@]}" "$program"; then fail "$program holds a build path"; fi
done
# Each manual page in both languages, as man finds it.
for page in quorvel quorvel-solve; do
    MANPATH=$root/usr/share/man man -L ru 6 "$page" 2>/dev/null | grep -q '^ИМЯ' \
        || fail "man -L ru 6 $page shows no Russian page"
    MANPATH=$root/usr/share/man man -L en 6 "$page" 2>/dev/null | grep -q '^NAME' \
        || fail "man 6 $page shows no English page"
done

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

# Built again elsewhere, later, and without the tests, the packages are the same bytes, every
# file dated at the changelog's latest entry.
copy_tree "$work/again/quorvel-$upstream"
(cd "$work/again/quorvel-$upstream" && DEB_BUILD_OPTIONS="$jobs nocheck" dpkg-buildpackage -us -uc -b) \
    >"$work/again.log" 2>&1 || { tail -n 60 "$work/again.log" >&2; fail "the second build failed"; }
for package in quorvel quorvel-dbgsym; do
    cmp "$work/first/${package}_${version}_amd64.deb" "$work/again/${package}_${version}_amd64.deb" \
        || fail "a second build of $package differs"
done
dated=$(dpkg-parsechangelog -l "$tree/debian/changelog" -STimestamp)
dates=$(find "$root" -mindepth 1 -exec stat -c %Y {} + | sort -u)
[[ "$dates" == "$dated" ]] || fail "files are dated $dates, not at the changelog's entry ($dated)"

# The packaged program starts and shows its board, and says nothing, also where the session has
# no runtime folder.
start_virtual_display "$work"
start_window_manager "$work"
env -u XDG_RUNTIME_DIR "$root/usr/games/quorvel" >"$work/quorvel.log" 2>&1 &
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
[[ ! -s "$work/quorvel.log" ]] || { cat "$work/quorvel.log" >&2; fail "the packaged program wrote to the terminal"; }

# The package's own tests, on this machine as installed packages. They replace no quorvel that
# is installed here, and need root to install; one package test at a time.
if [[ $(id -u) -ne 0 ]]; then
    echo "SKIP: autopkgtest installs the packages, which needs root"
elif dpkg-query -W -f='${db:Status-Status}' quorvel 2>/dev/null | grep -qx installed; then
    echo "SKIP: autopkgtest would replace the quorvel package installed on this machine"
else
    exec {lock}>/run/lock/quorvel-package-test.lock
    flock "$lock"
    installed=yes
    printf 'DPkg::Lock::Timeout "600";\n' >"$work/apt.conf"
    APT_CONFIG=$work/apt.conf autopkgtest --output-dir "$work/autopkgtest" "$changes" -- null \
        >"$work/autopkgtest.log" 2>&1 || { cat "$work/autopkgtest.log" >&2; fail "autopkgtest failed"; }
    grep -E '^(window|solve) +PASS' "$work/autopkgtest.log"
fi
echo "package checks passed"
