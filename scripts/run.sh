#!/usr/bin/env bash
# Builds the game and starts it on the user's display, or on a private one shown through VNC
# when there is none.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/ensure-packages.sh" play
# Playing needs neither the tests nor the benchmarks (nor what they build with); test.sh turns
# them on again in the same build folder.
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DQUORVEL_BENCHMARK=OFF >/dev/null
# The game, and all that the install step takes (see the README).
cmake --build "$root/build/release" --target quorvel quorvel_installable
exec "$root/scripts/lib/launch.sh" "$root/build/release/ui/quorvel"
