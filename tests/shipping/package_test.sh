#!/usr/bin/env bash
# Builds the Debian package as the README says (cpack -G DEB), checks its name, layout and
# computed dependencies, runs lintian and appstreamcli on it and takes the screenshots its
# metadata shows, unpacks it into a clean folder, starts the unpacked game there with no
# display or sound device, and removes it again.
#
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
work=$build/package_test
rm -rf "$work"
mkdir -p "$work"
fail() { echo "package test: FAILED: $*"; exit 1; }

(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb=$build/package/beamworks_${version}_${arch}.deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb") (log: $work/cpack.log)"

dpkg-deb --field "$deb" Depends >"$work/depends"
for library in libsdl2 libpng16 libvorbisfile libjpeg62-turbo libc6; do
  grep -q "$library" "$work/depends" || fail "the dependencies lack $library: $(cat "$work/depends")"
done

# lintian: no errors (its warnings and notes are printed for the reader).
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
if grep -q '^E:' "$work/lintian.txt"; then fail "lintian found errors"; fi

scratch=$(mktemp -d /tmp/beamworks_package_test.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$deb" "$root"
for f in usr/games/beamworks usr/share/applications/beamworks.desktop \
         usr/share/icons/hicolor/128x128/apps/beamworks.png usr/share/man/man6/beamworks.6.gz \
         usr/share/doc/beamworks/copyright usr/share/doc/beamworks/changelog.gz \
         usr/share/games/beamworks/Levels/level_info.all; do
  [ -f "$root/$f" ] || fail "the package has no /$f"
done
grep -q '^Exec=/usr/games/beamworks$' "$root/usr/share/applications/beamworks.desktop" ||
  fail "the desktop entry does not start /usr/games/beamworks"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli does not accept $metainfo"
# The pictures the metadata shows, taken by the replay tool.
cmake --build "$build" --target screenshots >"$work/screenshots.log" 2>&1 ||
  fail "the screenshots could not be taken (log: $work/screenshots.log)"
for shot in $(grep -o '[a-z_]*\.png</image>' "$metainfo" | sed 's|</image>||'); do
  python3 - "$build/screenshots/$shot" <<'PY' || fail "the screenshot $shot is not an 800x600 PNG"
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", data[16:24]) == (800, 600)
PY
done

# The unpacked game, started from / as a player: it finds its content from its own place and
# makes the players' folder in the user's data folder.
home=$scratch/home
mkdir -p "$home"
[ "$("$root/usr/games/beamworks" --version)" = "Beamworks $version" ] ||
  fail "the packaged game does not tell its version"
env -C / -u XDG_DATA_HOME SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy HOME="$home" \
  "$root/usr/games/beamworks" >"$work/game.log" 2>&1 &
game=$!
sleep 4
kill -TERM "$game" 2>/dev/null || true
status=0
wait "$game" || status=$?
[ "$status" = 0 ] || fail "the packaged game exited with status $status (log: $work/game.log)"
[ -d "$home/.local/share/beamworks/users" ] || fail "the packaged game made no players' folder"

rm -rf "$root"
[ ! -e "$root" ] || fail "the unpacked game could not be removed"
echo "package test: $(basename "$deb") ($(stat -c %s "$deb") bytes, installed size" \
     "$(dpkg-deb --field "$deb" Installed-Size) KiB) unpacked, started, quit and removed"
