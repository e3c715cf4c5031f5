#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: install what is missing, configure and build.
# Sourced, not run: it leaves the build in build/ and sets EL_ROOT.
set -euo pipefail
EL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

EL_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libsdl2-dev libsdl2-gfx-dev libfreetype-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libfluidsynth-dev timgm6mb-soundfont
  libgtest-dev libgmock-dev libbenchmark-dev
)

el_missing_packages() {
  local pkg missing=()
  for pkg in "${EL_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  echo "${missing[@]:-}"
}

el_install_packages() {
  local missing
  missing=$(el_missing_packages)
  [ -z "$missing" ] && return 0
  local apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      apt=(sudo env DEBIAN_FRONTEND=noninteractive apt-get)
    else
      echo "Missing packages. Run as root: apt-get install -y $missing" >&2
      exit 1
    fi
  fi
  echo "Installing: $missing"
  "${apt[@]}" update -qq
  # shellcheck disable=SC2086
  "${apt[@]}" install -y -qq $missing
}

el_build() {
  cd "$EL_ROOT"
  if [ ! -f build/build.ninja ]; then
    cmake --preset default >/dev/null
  fi
  cmake --build build -- -j"$(nproc)" ${EL_BUILD_TARGETS:-}
}

el_install_packages
el_build
