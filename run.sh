#!/usr/bin/env bash
# Builds everything and starts the game on the default stage.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
cd "$EL_ROOT/build/bin"
exec ./milkanet "$@"
