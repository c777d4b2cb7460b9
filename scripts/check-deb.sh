#!/usr/bin/env bash
# Checks a built gravik2 .deb the way a user's machine would meet it: lintian
# finds no error or warning; installed with dpkg into an empty root, the game
# runs from "/" on its installed data and draws a real picture; purged, it
# leaves nothing behind.
# Usage: scripts/check-deb.sh [package.deb]   (default: the newest in build-deb/)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deb="${1:-$(ls -t "$here"/build-deb/gravik2_*.deb 2>/dev/null | head -n 1)}"
[ -f "$deb" ] || { echo "no package; build one with scripts/package.sh"; exit 1; }
root="$(mktemp -d)"
home="$(mktemp -d)"
trap 'rm -rf "$root" "$home"' EXIT
export GRAVIK_HOME="$home"

echo "-- lintian $(basename "$deb")"
report="$(lintian --info --pedantic --display-info "$deb" 2>&1)" || true
[ -z "$report" ] || echo "$report"
if grep -qE '^[EW]: ' <<<"$report"; then echo "lintian reports errors or warnings"; exit 1; fi

version="$(dpkg-deb -f "$deb" Version)"
# An empty root with a dpkg database of its own.
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
dpkgr=(dpkg --root="$root" --log=/dev/null --force-depends --force-not-root)
tree() { (cd "$root" && find . -path ./var/lib/dpkg -prune -o -print | sort); }
before="$(tree)"

echo "-- install into $root"
# (The libraries it depends on are the host's; the empty root lacks them.)
"${dpkgr[@]}" --install "$deb" >"$home/dpkg.log" 2>&1 || { cat "$home/dpkg.log"; exit 1; }
games="$root/usr/games"
[ -x "$games/gravik" ] && [ -x "$games/gravik-scenario" ] || { echo "programs missing from /usr/games"; exit 1; }
[ "$(cd / && "$games/gravik" --version)" = "Gravik 2 for Linux $version" ] ||
  { echo "the installed game does not say version $version"; exit 1; }

# The installed game, started from "/", finds its data in /usr/share/gravik2
# of the root it was unpacked into, and draws the title screen.
shot="$home/installed.png"
(cd / && "$games/gravik" --headless --frames 300 --screenshot "$shot")
# A real picture: a PNG whose pixels decode (every filter type undone) to a
# 640 x 480 image of many colours, not a blank or a stub.
perl -MCompress::Zlib -e '
  open(my $f, "<:raw", $ARGV[0]) or die "cannot open $ARGV[0]\n";
  local $/; my $png = <$f>;
  substr($png, 0, 8) eq "\x89PNG\r\n\x1a\n" or die "not a PNG\n";
  my ($pos, $w, $h, $depth, $type, $idat) = (8, 0, 0, 0, 0, "");
  while ($pos + 8 <= length $png) {
    my ($len, $name) = unpack("N a4", substr($png, $pos, 8));
    my $data = substr($png, $pos + 8, $len);
    ($w, $h, $depth, $type) = unpack("N N C C", $data) if $name eq "IHDR";
    $idat .= $data if $name eq "IDAT";
    $pos += 12 + $len;
  }
  my %channels = (0 => 1, 2 => 3, 4 => 2, 6 => 4);
  ($depth == 8 && $channels{$type}) or die "unexpected PNG format (depth $depth, type $type)\n";
  my $bpp = $channels{$type};
  my $raw = uncompress($idat) // die "the pixel data does not inflate\n";
  my $stride = $w * $bpp;
  length($raw) == $h * ($stride + 1) or die "pixel data of the wrong size for ${w}x${h}\n";
  my (@prev, %colours) = ((0) x $stride);
  for my $y (0 .. $h - 1) {
    my $filter = ord substr($raw, $y * ($stride + 1), 1);
    my @cur = unpack("C*", substr($raw, $y * ($stride + 1) + 1, $stride));
    for my $i (0 .. $stride - 1) {
      my $a = $i >= $bpp ? $cur[$i - $bpp] : 0;
      my ($b, $c) = ($prev[$i], $i >= $bpp ? $prev[$i - $bpp] : 0);
      my $p = $a + $b - $c;
      my ($pa, $pb, $pc) = (abs($p - $a), abs($p - $b), abs($p - $c));
      my $pred = $filter == 0 ? 0 : $filter == 1 ? $a : $filter == 2 ? $b
        : $filter == 3 ? int(($a + $b) / 2)
        : $filter == 4 ? ($pa <= $pb && $pa <= $pc ? $a : $pb <= $pc ? $b : $c)
        : die "bad filter $filter on row $y\n";
      $cur[$i] = ($cur[$i] + $pred) & 255;
    }
    for (my $i = 0; $i < $stride; $i += $bpp) { $colours{join ",", @cur[$i .. $i + $bpp - 1]} = 1; }
    @prev = @cur;
  }
  my $n = keys %colours;
  ($w == 640 && $h == 480) or die "the picture is ${w}x${h}, not 640x480\n";
  $n >= 16 or die "the picture has only $n colours\n";
  print "screenshot: ${w}x${h}, $n colours\n";
' "$shot"
# ... and it was the installed data it found: without it the same run fails.
mv "$root/usr/share/gravik2" "$root/usr/share/gravik2.away"
if (cd / && "$games/gravik" --headless --frames 30 --screenshot "$home/none.png") >/dev/null 2>&1; then
  echo "the installed game ran without its installed data"; exit 1
fi
mv "$root/usr/share/gravik2.away" "$root/usr/share/gravik2"
# The installed scenario tool compiles the installed example with the installed catalogue.
(cd / && "$games/gravik-scenario" check "$root/usr/share/gravik2/example.txt" >/dev/null)

echo "-- purge"
"${dpkgr[@]}" --purge gravik2 >"$home/dpkg.log" 2>&1 || { cat "$home/dpkg.log"; exit 1; }
after="$(tree)"
if [ "$before" != "$after" ]; then
  echo "purging left files behind:"
  diff <(echo "$before") <(echo "$after") || true
  exit 1
fi
if ls "$root"/var/lib/dpkg/info/gravik2.* >/dev/null 2>&1; then
  echo "purging left the package's dpkg records behind"; exit 1
fi
echo "package check passed: $(basename "$deb")"
