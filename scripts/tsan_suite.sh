#!/usr/bin/env bash
# Builds the tsan preset (build-tsan/, kept between runs: GCC with ThreadSanitizer, only the test
# programs whose sound runs on a thread of its own: the mixer, the MIDI sequencer, streaming and SDL's
# audio callback) and runs their tests, each one repeated, stopping a test at its first failure. The
# last line is "tsan: N passed, N failed"; the exit status is 1 when anything fails or does not build.
#
# Environment: TSAN_REPEAT (runs of each test, default 5), TSAN_JOBS (build and test jobs, default
# the processor count).
set -uo pipefail
EL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$EL_ROOT"

REPEAT=${TSAN_REPEAT:-5}
JOBS=${TSAN_JOBS:-$(nproc)}

work=$(mktemp -d "${TMPDIR:-/tmp}/el_tsan.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The ThreadSanitizer runtime comes with GCC (libtsan2); say so when it cannot link.
printf 'int main() { return 0; }\n' >"$work/probe.cpp"
if ! g++ -fsanitize=thread "$work/probe.cpp" -o "$work/probe" 2>"$work/probe.log"; then
  cat "$work/probe.log" >&2
  echo "tsan: g++ cannot link with -fsanitize=thread (install libtsan2, which g++ normally brings)" >&2
  echo "tsan: 0 passed, 1 failed"
  exit 1
fi
# ThreadSanitizer needs its own view of the address space: where the kernel spreads mappings over
# more bits than it expects it cannot start, so the tests run with address randomisation off.
norandom=()
if setarch "$(uname -m)" -R true 2>/dev/null; then norandom=(setarch "$(uname -m)" -R); fi

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if ! cmake --preset tsan "${launcher[@]}" >"$work/configure.log" 2>&1; then
  tail -n 30 "$work/configure.log"
  echo "tsan: 0 passed, 1 failed (the tsan preset does not configure)"
  exit 1
fi
if ! cmake --build --preset tsan -- -j"$JOBS" >"$work/build.log" 2>&1; then
  grep -m 10 -E "error|undefined reference" "$work/build.log"
  echo "tsan: 0 passed, 1 failed (the tsan test programs do not build)"
  exit 1
fi

log=build-tsan/tsan_suite.log
"${norandom[@]}" ctest --preset tsan -j"$JOBS" --repeat until-fail:"$REPEAT" >"$log" 2>&1
status=$?
summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)
total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
failedCount=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")
if [ -z "$summary" ] || [ "$total" = 0 ]; then
  tail -n 30 "$log"
  echo "tsan: 0 passed, 1 failed (no tests ran)"
  exit 1
fi
grep -E '\*\*\*Failed|\(Failed\)|\(Timeout\)|\(Subprocess aborted\)' "$log" | sed 's/^/  /'
grep -m 3 -A 12 'WARNING: ThreadSanitizer' "$log"
echo "each test run up to $REPEAT times; log $log"
echo "tsan: $((total - failedCount)) passed, $failedCount failed"
[ "$status" -eq 0 ] && [ "$failedCount" -eq 0 ]
