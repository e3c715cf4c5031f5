#!/usr/bin/env bash
# Builds every libFuzzer target of the fuzz preset (build-fuzz/, kept between runs) and runs each one
# over its seed corpus (fuzz/corpus/<target>/) and then for a short time-boxed run. One line per
# target; the last line is "fuzz: N passed, N failed"; the exit status is 1 when a target does not
# build, fails on a seed or finds anything.
#
# Environment: FUZZ_SECONDS (time-boxed run per target, default 20), FUZZ_JOBS (build jobs, default
# the processor count), FUZZ_TARGETS (a space-separated subset, default every target).
set -uo pipefail
EL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$EL_ROOT"

SECONDS_PER_TARGET=${FUZZ_SECONDS:-20}
JOBS=${FUZZ_JOBS:-$(nproc)}

# clang and its libFuzzer and sanitizer runtimes, beside the packages of scripts/setup.sh.
FUZZ_PACKAGES=(clang libclang-rt-14-dev cmake ninja-build pkg-config
               libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev libfluidsynth-dev timgm6mb-soundfont)
missing=()
for pkg in "${FUZZ_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      apt=(sudo env DEBIAN_FRONTEND=noninteractive apt-get)
    else
      echo "fuzz: missing packages; run as root: apt-get install -y ${missing[*]}" >&2
      echo "fuzz: 0 passed, 1 failed"
      exit 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  "${apt[@]}" update -qq && "${apt[@]}" install -y -qq "${missing[@]}" || {
    echo "fuzz: cannot install ${missing[*]}" >&2
    echo "fuzz: 0 passed, 1 failed"
    exit 1
  }
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/el_fuzz_smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
logs=build-fuzz/smoke
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

if ! cmake --preset fuzz "${launcher[@]}" >"$work/configure.log" 2>&1; then
  tail -n 30 "$work/configure.log"
  echo "fuzz: 0 passed, 1 failed (the fuzz preset does not configure)"
  exit 1
fi
mkdir -p "$logs"
read -r -a targets <<<"${FUZZ_TARGETS:-$(tr '\n' ' ' <build-fuzz/fuzzers.txt)}"

# Everything at once (going on past a target that fails), then each target alone for its own verdict.
cmake --build build-fuzz -- -k 0 -j"$JOBS" "${targets[@]}" >"$logs/build.log" 2>&1

passed=0
failed=0
for target in "${targets[@]}"; do
  log="$logs/$target.log"
  if ! cmake --build build-fuzz -- -j"$JOBS" "$target" >"$log" 2>&1; then
    echo "$target: FAILED to build"
    grep -m 5 -E "error|undefined reference" "$log" | sed 's/^/    /'
    failed=$((failed + 1))
    continue
  fi
  binary=build-fuzz/bin/$target
  seeds=$EL_ROOT/fuzz/corpus/$target
  corpus=$work/$target
  artifacts=$work/$target-artifacts/
  mkdir -p "$corpus" "$artifacts"
  seedArgs=()
  seedCount=0
  if [ -d "$seeds" ]; then
    seedArgs=("$seeds")
    seedCount=$(find "$seeds" -type f | wc -l)
  fi
  # Options of both runs: a stuck input fails after 10 s, the target's own output stays in the log.
  common=(-timeout=10 -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$artifacts")
  verdict=ok
  if [ "$seedCount" -gt 0 ] &&
     ! timeout 300 "$binary" "${common[@]}" -runs=0 "$seeds" >>"$log" 2>&1; then
    verdict="fails on a seed"
  fi
  if [ "$verdict" = ok ] &&
     ! timeout $((SECONDS_PER_TARGET + 120)) "$binary" "${common[@]}" -max_total_time="$SECONDS_PER_TARGET" \
       "$corpus" "${seedArgs[@]}" >>"$log" 2>&1; then
    verdict="found a fault"
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$')
  if [ "$verdict" = ok ]; then
    printf '%s: ok, %s executions in %ss from %s seeds\n' "$target" "${runs:-?}" "$SECONDS_PER_TARGET" "$seedCount"
    passed=$((passed + 1))
  else
    printf '%s: FAILED (%s), log %s\n' "$target" "$verdict" "$log"
    grep -m 1 -E "ERROR|SUMMARY|runtime error" "$log" | sed 's/^/    /'
    for crash in "$artifacts"*; do
      [ -f "$crash" ] || continue
      mkdir -p "$logs/artifacts" && cp "$crash" "$logs/artifacts/$target-$(basename "$crash")"
      echo "    input kept as $logs/artifacts/$target-$(basename "$crash")"
    done
    failed=$((failed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
