#!/usr/bin/env bash
# Builds the game as a web page into build-web/site/ (index.html, gravik.js,
# gravik.wasm and gravik.data with the data files).
# Usage: scripts/web.sh [--serve [PORT]] [--test]
#   --serve  serves the page on http://127.0.0.1:PORT/ (default 8642) until Ctrl+C
#   --test   runs the page in headless Chromium (tests/web/browser_test.py)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
serve="" port=8642 test=""
while (($#)); do
  case "$1" in
    --serve) serve=1; if [[ "${2:-}" =~ ^[0-9]+$ ]]; then port="$2"; shift; fi ;;
    --test) test=1 ;;
    *) echo "usage: scripts/web.sh [--serve [PORT]] [--test]" >&2; exit 2 ;;
  esac
  shift
done

packages=(emscripten python3)
[ -n "$test" ] && packages+=(chromium)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages; install them with: sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

# The data files come from the native build's resource builder.
native="$here/build"
if [ ! -f "$native/build.ninja" ]; then
  "$here/scripts/setup.sh" "$native"
else
  cmake --build "$native" --target data_files >/dev/null
fi

# Debian's emcc finds its JavaScript tools through NODE_PATH.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
out="$here/build-web"
emcmake cmake -S "$here/src/platform/web" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DGRAVIK_DATA_DIR="$native" >/dev/null
cmake --build "$out" -j "$(nproc 2>/dev/null || echo 2)"

site="$out/site"
mkdir -p "$site"
cp "$here/web/index.html" "$out/gravik.js" "$out/gravik.wasm" "$out/gravik.data" "$site/"
echo "The page: $site ($(du -sh "$site" | cut -f1))"

if [ -n "$test" ]; then
  python3 "$here/tests/web/browser_test.py" "$site"
fi
if [ -n "$serve" ]; then
  echo "Open http://127.0.0.1:$port/ (Ctrl+C stops the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi
