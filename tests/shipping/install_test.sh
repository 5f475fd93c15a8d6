#!/usr/bin/env bash
# Installs the built game under a scratch prefix and starts it as a player would: from another
# folder, by the installed executable. An installed game keeps the players' files in the user's
# data folder and writes nothing under the prefix, whether the prefix is writable (its owner)
# or read-only (a system-wide install, run by an ordinary user). The executable is installed
# stripped and tells its version.
#
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
work=$build/install_test
rm -rf "$work"
mkdir -p "$work"
# The prefix lies outside the build folder, which an ordinary user may not be able to reach
# (a clone under /root, say).
scratch=$(mktemp -d /tmp/beamworks_install_test.XXXXXX)
chmod 755 "$scratch"
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

fail() { echo "install test: FAILED: $*"; exit 1; }
for f in games/beamworks share/applications/beamworks.desktop \
         share/icons/hicolor/128x128/apps/beamworks.png share/man/man6/beamworks.6.gz \
         share/doc/beamworks/copyright share/doc/beamworks/changelog.gz; do
  [ -f "$prefix/$f" ] || fail "$f was not installed"
done
ls "$prefix"/share/metainfo/*.metainfo.xml >/dev/null 2>&1 || fail "no AppStream metainfo was installed"
for d in images Sounds font Levels; do
  if [ -d "$build/game/$d" ]; then
    [ -d "$prefix/share/games/beamworks/$d" ] || fail "the content folder $d was not installed"
  fi
done
grep -q "^Exec=$prefix/games/beamworks$" "$prefix/share/applications/beamworks.desktop" ||
  fail "the desktop entry does not start the installed game"
python3 - "$prefix/share/icons/hicolor/128x128/apps/beamworks.png" <<'PY' || fail "the icon is not a 128x128 PNG"
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", data[16:24]) == (128, 128)
PY
if readelf -S "$prefix/games/beamworks" | grep -q -e '\.debug_' -e '\.symtab'; then
  fail "the installed executable carries debug information or symbols"
fi
version=$2
[ "$("$prefix/games/beamworks" --version)" = "Beamworks $version" ] ||
  fail "beamworks --version does not say Beamworks $version"
echo "install test: installed stripped ($(stat -c %s "$prefix/games/beamworks") bytes), version $version"

# Runs the installed game from / for a few seconds with no display or sound device, then asks it
# to quit as a desktop session does at log-out (SIGTERM arrives as a quit request).
# Prints the exit status.
run_game() {
  # env and setpriv each hand over by exec, so $! ends up as the game itself.
  env -C / -u XDG_DATA_HOME SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy HOME="$home" \
    "$@" "$prefix/games/beamworks" >"$work/game.log" 2>&1 &
  local game=$!
  sleep 4
  kill -TERM "$game" 2>/dev/null || true
  local status=0
  wait "$game" || status=$?
  echo "$status"
}

# A writable install, run by its owner: the players' files still go to the data folder.
home=$scratch/home_of_owner
mkdir -p "$home"
before=$(find "$prefix" | sort | md5sum)
status=$(run_game)
[ "$status" = 0 ] || fail "the installed game exited with status $status (log: $work/game.log)"
[ -d "$home/.local/share/beamworks/users" ] && [ -d "$home/.local/share/beamworks/screens" ] ||
  fail "a writable install did not keep users and screens in ~/.local/share/beamworks"
[ "$(find "$prefix" | sort | md5sum)" = "$before" ] || fail "the game wrote under a writable prefix"
echo "install test: writable install started from / and quit with status 0; users in ~/.local/share/beamworks"

# A read-only install, run by an ordinary user.
chmod -R a-w "$prefix"
home=$scratch/home_of_player
mkdir -p "$home"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home"
  # The player must be able to reach the prefix through the build folder.
  as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
before=$(find "$prefix" | sort | md5sum)
status=$(run_game "${as_player[@]}")
chmod -R u+w "$prefix"
[ "$status" = 0 ] || fail "the read-only install exited with status $status (log: $work/game.log)"
[ -d "$home/.local/share/beamworks/users" ] && [ -d "$home/.local/share/beamworks/screens" ] ||
  fail "a read-only install did not make users and screens in ~/.local/share/beamworks"
[ "$(find "$prefix" | sort | md5sum)" = "$before" ] || fail "the game wrote under a read-only prefix"
echo "install test: read-only install run by $( [ ${#as_player[@]} -gt 0 ] && echo nobody || id -un ) quit with status 0; users and screens in ~/.local/share/beamworks"
