#!/usr/bin/env bash
# Sets everything up and runs every test: the suite, the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, and each fuzzer for a short while.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"
fuzz_seconds="${GRAVIK_FUZZ_SECONDS:-30}"
export GRAVIK_HOME="$(mktemp -d)"
trap 'rm -rf "$GRAVIK_HOME"' EXIT

echo "== build and test"
"$here/scripts/setup.sh" "$here/build"
ctest --test-dir "$here/build" -j "$jobs" --output-on-failure --timeout 300

echo "== install into a staging folder and run the installed game"
"$here/scripts/check-install.sh" "$here/build"

echo "== build and test with AddressSanitizer + UndefinedBehaviorSanitizer"
"$here/scripts/setup.sh" "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DGRAVIK_SANITIZE=ON \
  -DGRAVIK_BENCH=OFF -DGRAVIK_SDL=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$here/build-asan" -j "$jobs" --output-on-failure --timeout 600

echo "== fuzzers (${fuzz_seconds} s each)"
CC=clang CXX=clang++ "$here/scripts/setup.sh" "$here/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGRAVIK_FUZZ=ON -DGRAVIK_TESTS=OFF -DGRAVIK_BENCH=OFF -DGRAVIK_SDL=OFF
shopt -s nullglob
for f in "$here"/build-fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  corpus="$(mktemp -d)"
  echo "-- $(basename "$f")"
  "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
  rm -rf "$corpus"
done
echo "All tests passed."
