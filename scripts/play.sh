#!/usr/bin/env bash
# Sets everything up and starts the game. Extra arguments go to the game.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" "$here/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running headless for 300 frames and saving a screenshot."
  exec "$here/build/gravik" --headless --frames 300 --screenshot "$here/build/screenshot.png" "$@"
fi
exec "$here/build/gravik" "$@"
