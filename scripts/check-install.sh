#!/usr/bin/env bash
# Installs a configured, built tree into a staging folder (DESTDIR) and checks
# the result the way a packager would: the file list, the desktop and AppStream
# files, the man pages, and the installed game started from "/" finding its data.
# Usage: scripts/check-install.sh [build-dir]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"
stage="$(mktemp -d)"
home="$(mktemp -d)"
trap 'rm -rf "$stage" "$home"' EXIT
export GRAVIK_HOME="$home"

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
echo "installed:"
(cd "$stage" && find . -type f | sort | sed 's/^\.//; s/^/  /')

id="org.example.vantorix.Gravik2"
expected=(bin/gravik bin/gravik-scenario
  share/gravik2/zqresource.dat share/gravik2/zqaudio.dat share/gravik2/blocks.txt share/gravik2/example.txt
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  share/man/man6/gravik.6 share/man/man1/gravik-scenario.1)
for n in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${n}x${n}/apps/$id.png"); done
for f in "${expected[@]}"; do
  [ -s "$root/$f" ] || { echo "missing or empty: $root/$f"; exit 1; }
done
[ -x "$root/bin/gravik" ] && [ -x "$root/bin/gravik-scenario" ] || { echo "programs not executable"; exit 1; }
# Each icon is a PNG of its folder's size (width and height from the IHDR chunk).
for n in 16 32 48 64 128 256; do
  f="$root/share/icons/hicolor/${n}x${n}/apps/$id.png"
  size="$(od -An -tu1 -j16 -N8 "$f" | awk '{print $3*256+$4 "x" $7*256+$8}')"
  [ "$(head -c 8 "$f" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] || { echo "not a PNG: $f"; exit 1; }
  [ "$size" = "${n}x${n}" ] || { echo "$f is $size, not ${n}x${n}"; exit 1; }
done

desktop-file-validate "$root/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml"
for page in "$root/share/man/man6/gravik.6" "$root/share/man/man1/gravik-scenario.1"; do
  warnings="$(groff -man -ww -z -Tutf8 "$page" 2>&1)"
  [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done

# The installed game, started from "/", finds its data beside its program.
shot="$home/installed.png"
(cd / && "$root/bin/gravik" --headless --frames 300 --screenshot "$shot")
[ -s "$shot" ] || { echo "the installed game wrote no screenshot"; exit 1; }
[ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] || { echo "screenshot is not a PNG"; exit 1; }
# ... and it was the installed data it found: without it the same run fails.
mv "$root/share/gravik2" "$root/share/gravik2.away"
if (cd / && "$root/bin/gravik" --headless --frames 30 --screenshot "$home/none.png") >/dev/null 2>&1; then
  echo "the installed game ran without its installed data"; exit 1
fi
mv "$root/share/gravik2.away" "$root/share/gravik2"

# The installed scenario tool reads the installed block catalogue.
(cd / && "$root/bin/gravik-scenario" check "$here/assets/scenario/gravik2.txt" >/dev/null)
# ... and installs the installed example into the player's Scenarios folder.
(cd / && "$root/bin/gravik-scenario" install-example >/dev/null)
[ -s "$home/Documents/Vantorix/Gravik 2/Linux Edition/Scenarios/example.zq" ] || { echo "install-example wrote no example.zq"; exit 1; }
usage="$(cd / && "$root/bin/gravik-scenario" 2>&1 || true)"
case "$usage" in
  *"$root/bin/../share/gravik2/blocks.txt"*) ;;
  *) echo "gravik-scenario does not default to the installed catalogue:"; echo "$usage"; exit 1 ;;
esac
echo "install check passed"
