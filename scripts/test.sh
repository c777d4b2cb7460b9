#!/usr/bin/env bash
# Sets everything up and runs every test: the module layers, the suite, an
# install into a staging folder, the Debian package (built, checked by lintian,
# installed, run, purged), the web page in a headless browser, the suite again
# under AddressSanitizer + UndefinedBehaviorSanitizer, and each fuzzer for a
# short while from its seeds. Every build here treats compiler warnings as
# errors (g++ for the suite and the sanitizer build, clang for the fuzzers).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc 2>/dev/null || echo 2)"
fuzz_seconds="${GRAVIK_FUZZ_SECONDS:-30}"
export GRAVIK_HOME="$(mktemp -d)"
trap 'rm -rf "$GRAVIK_HOME"' EXIT

echo "== module layers"
"$here/scripts/check-layers.sh"

echo "== build and test"
"$here/scripts/setup.sh" "$here/build" -DGRAVIK_WERROR=ON
ctest --test-dir "$here/build" -j "$jobs" --output-on-failure --timeout 300

echo "== install into a staging folder and run the installed game"
"$here/scripts/check-install.sh" "$here/build"

echo "== Debian package: build, lintian, install into an empty root, run, purge"
"$here/scripts/package.sh" "$here/build-deb"
"$here/scripts/check-deb.sh" "$here/build-deb/gravik2_$(dpkg-parsechangelog -l "$here/debian/changelog" -S Version)_$(dpkg-architecture -qDEB_HOST_ARCH).deb"

echo "== the web page, built with Emscripten and played in headless Chromium"
"$here/scripts/web.sh" --test

echo "== build and test with AddressSanitizer + UndefinedBehaviorSanitizer"
"$here/scripts/setup.sh" "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DGRAVIK_SANITIZE=ON \
  -DGRAVIK_BENCH=OFF -DGRAVIK_SDL=OFF -DGRAVIK_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$here/build-asan" -j "$jobs" --output-on-failure --timeout 600

echo "== fuzzers (${fuzz_seconds} s each)"
CC=clang CXX=clang++ "$here/scripts/setup.sh" "$here/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGRAVIK_FUZZ=ON -DGRAVIK_TESTS=OFF -DGRAVIK_BENCH=OFF -DGRAVIK_SDL=OFF -DGRAVIK_WERROR=ON
# Seeds: files taken from the data files the first build made (too large to
# keep in the repository), plus the small ones under fuzz/seeds/<target>/.
seeds="$(mktemp -d)"
trap 'rm -rf "$GRAVIK_HOME" "$seeds"' EXIT
"$here/build/mkres" fuzzseeds "$seeds" "$here/build"
shopt -s nullglob
for f in "$here"/build-fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name="$(basename "$f")"
  target="${name#fuzz_}"
  corpus="$(mktemp -d)"
  dirs=("$corpus")
  for d in "$seeds/$target" "$here/fuzz/seeds/$target"; do
    [ -d "$d" ] && dirs+=("$d")
  done
  echo "-- $name ($((${#dirs[@]} - 1)) seed folder(s))"
  log="$corpus.log"
  if ! "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=1 "${dirs[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    exit 1
  fi
  # The final "#N DONE cov: ..." line: the edges reached and the corpus kept.
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || echo "(no final stats line)"
  rm -rf "$corpus" "$log"
done
echo "All tests passed."
