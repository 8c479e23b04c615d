#!/usr/bin/env bash
# Builds everything twice (warnings as errors; then ASan + UBSan with clang, with the fuzzers)
# and runs every test in both builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/ensure-packages.sh" play tests

echo "== Checking formatting"
cd "$root"
find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 \
    | xargs -0 clang-format --dry-run --Werror

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1
failed=0
# Runs the tests of build folder $1 and keeps ctest's report in $1/ctest.log. A test that drives
# a real display server (label "display") gets a second run when the first fails, as such a
# server can start slowly on a loaded machine; every other test runs once.
run_tests() {
    ctest --test-dir "$1" -j "$jobs" -LE display 2>&1 | tee "$1/ctest.log" || failed=1
    ctest --test-dir "$1" -L display --repeat until-pass:2 2>&1 | tee -a "$1/ctest.log" || failed=1
}
# The tests of build folder $1 that failed once and then passed: "name ... ***Failed" and later
# "name ... Passed" in its report.
second_runs() {
    awk '/Test +#[0-9]+: / { name = $0; sub(/^.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
             if (/\*\*\*|Not Run/) failed[name] = 1; else if (/ Passed /) passed[name] = 1 }
         END { for (n in failed) if (n in passed) print n }' "$1/ctest.log" | sort | tr '\n' ' '
}

echo "== Release build (GCC, warnings as errors)"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVEL_WARNINGS_AS_ERRORS=ON -DBUILD_TESTING=ON -DQUORVEL_BENCHMARK=ON >/dev/null
cmake --build "$root/build/release" -j "$jobs"
run_tests "$root/build/release"

echo "== Sanitizer build (clang, AddressSanitizer + UndefinedBehaviorSanitizer, fuzzers)"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUORVEL_WARNINGS_AS_ERRORS=ON -DQUORVEL_SANITIZE=ON >/dev/null
cmake --build "$root/build/sanitize" -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
run_tests "$root/build/sanitize"

echo "== Summary"
for build in release sanitize; do
    flaky=$(second_runs "$root/build/$build")
    echo "$build build: ${flaky:+passed only on a second run: }${flaky:-no test needed a second run}"
done
# One line for the whole run: every test of both builds, counted once each.
awk '/tests passed, [0-9]+ tests? failed out of/ { f += $4; t += $NF } END { printf "Tests: %d passed, %d failed\n", t - f, f }' \
    "$root/build/release/ctest.log" "$root/build/sanitize/ctest.log"
exit "$failed"
