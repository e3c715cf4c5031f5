#!/usr/bin/env bash
# Builds everything and runs every test headless; ends with "N passed, N failed".
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
cd "$EL_ROOT/build"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY
status=0
ctest --output-on-failure -j"$(nproc)" --output-junit "$EL_ROOT/build/ctest-results.xml" >ctest.log 2>&1 || status=$?
tail -n 40 ctest.log
passed=$(grep -o 'tests passed, [0-9]* tests failed out of [0-9]*' ctest.log | tail -1 || true)
total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' ctest.log | tail -1)
failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' ctest.log | tail -1)
total=${total:-0}; failed=${failed:-0}
if [ "$total" -eq 0 ]; then
  echo "no tests ran"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "$((total - failed)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$status" -eq 0 ]
