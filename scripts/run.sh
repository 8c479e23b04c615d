#!/usr/bin/env bash
# Builds the game and starts it on the user's display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/ensure-packages.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/release" --target quorvel
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Quorvel is a desktop game and needs a graphical display, but none is set." >&2
    echo "Run this command from a desktop session (X11 or Wayland), or set DISPLAY." >&2
    exit 1
fi
exec "$root/build/release/quorvel"
