#!/usr/bin/env bash
# Builds the Debian package gravik2_<version>_<arch>.deb with dpkg-buildpackage
# (debhelper, debian/) from a fresh copy of the sources, so nothing of an
# earlier build gets in. The version is project() in CMakeLists.txt;
# debian/changelog's newest entry must carry the same one.
# Usage: scripts/package.sh [output-dir]   (default: build-deb/)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$here/build-deb}" && cd "${1:-$here/build-deb}" && pwd)"

version="$(sed -n 's/^project(gravik2 VERSION \([^ )]*\).*/\1/p' "$here/CMakeLists.txt")"
[ -n "$version" ] || { echo "no version in project() of CMakeLists.txt"; exit 1; }
changelog_version="$(dpkg-parsechangelog -l "$here/debian/changelog" -S Version)"
if [ "$changelog_version" != "$version" ]; then
  echo "debian/changelog's newest entry is $changelog_version but project() in CMakeLists.txt"
  echo "says $version; they must be the same (dch -v $version adds an entry)"
  exit 1
fi
arch="$(dpkg-architecture -qDEB_HOST_ARCH)"
deb="$out/gravik2_${version}_${arch}.deb"

# A fresh copy of the sources: the files git tracks or would track, or, outside
# a git checkout, everything but build folders.
src="$out/src/gravik2-$version"
rm -rf "$out/src" "$deb"
mkdir -p "$src"
if git -C "$here" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$here" && git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf - 2>/dev/null) | tar -xf - -C "$src"
else
  (cd "$here" && tar --exclude='./build*' --exclude=./.git -cf - .) | tar -xf - -C "$src"
fi

# ccache, when present, keeps its usual cache (debhelper points HOME elsewhere).
if command -v ccache >/dev/null && [ -z "${CCACHE_DIR:-}" ]; then
  CCACHE_DIR="$(ccache -k cache_dir)"
  export CCACHE_DIR
fi
jobs="$(nproc 2>/dev/null || echo 2)"
start=$SECONDS
(cd "$src" && dpkg-buildpackage -b -us -uc -j"$jobs" >"$out/build.log" 2>&1) || {
  tail -n 40 "$out/build.log"
  echo "dpkg-buildpackage failed; the whole log is $out/build.log"
  exit 1
}
mv "$out/src/$(basename "$deb")" "$deb"
echo "built $deb in $((SECONDS - start)) s"
