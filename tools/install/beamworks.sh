#!/bin/sh
# Starts the installed game from any folder: the game and its content live in ../lib/beamworks
# beside this launcher, and the game finds them from its own location.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/beamworks/beamworks" "$@"
