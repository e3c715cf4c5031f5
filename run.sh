#!/usr/bin/env bash
# Builds the game, its content and the demo (not the tests or benchmarks) and starts the game on the
# default stage.
set -euo pipefail
EL_BUILD_TARGETS=el_player
source "$(dirname "$0")/scripts/setup.sh"
cd "$EL_ROOT/build/bin"
exec ./milkanet "$@"
