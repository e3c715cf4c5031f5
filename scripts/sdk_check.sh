#!/usr/bin/env bash
# The engine as a scene writer gets it: installs the sdk component of a finished build into a
# temporary prefix, builds every example under examples/ with GCC and with clang against that prefix
# alone, runs each one headless (the desktop ones on SDL's dummy drivers until a TERM ends them, the
# replay example through its own ctest), builds a one-file program with pkg-config, and builds a
# project made by `eltool new-scene`. Ends with "sdk: N passed, N failed".
# usage: scripts/sdk_check.sh [BUILD_DIR]   (build/ by default; it must be configured already)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) || {
  echo "sdk: no build folder"
  echo "sdk: 0 passed, 1 failed"
  exit 1
}
started=$(date +%s)
# A fixed folder outside the tree, so that the compiler cache finds the examples again next time.
work=${TMPDIR:-/tmp}/el-sdk-check-$(id -u)
rm -rf "$work" && mkdir -p "$work" || exit 1
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
passed=0
failed=0

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY

# check NAME COMMAND...: runs one check with its output in a log, shown only when it fails.
check() {
  local name=$1 log=$work/log
  shift
  if "$@" >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    tail -n 30 "$log" | sed 's/^/     /'
    return 1
  fi
}

# A program of the scene writer must end cleanly when the desktop asks it to: run it on the dummy
# drivers, send TERM (SDL turns it into the window's close) and expect exit status 0. A TERM that
# came before SDL was up ends it with 143; on a loaded machine that is tried again with more time.
run_until_term() {
  local program=$1 delay status=1
  for delay in 3 20; do
    (cd "$(dirname "$program")" && timeout --preserve-status -k 10 -s TERM "$delay" "$program" 2>"$work/stderr")
    status=$?
    cat "$work/stderr"
    # A scene that runs well says nothing: a picture or sound it could not load is a line here.
    [ "$status" -eq 0 ] && [ -s "$work/stderr" ] && return 1
    [ "$status" -ne 143 ] && return "$status"
    echo "$program: ended by TERM before it could take it"
  done
  return "$status"
}

# The compilers a scene writer may use. clang is the one the fuzz part installs; installed here the
# same way when this part runs first.
if ! command -v clang++ >/dev/null 2>&1; then
  apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
  [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1 && apt=(sudo env DEBIAN_FRONTEND=noninteractive apt-get)
  { "${apt[@]}" update -qq && "${apt[@]}" install -y -qq clang; } >"$work/apt.log" 2>&1
fi
compilers=("gcc:g++")
check "clang++ available" command -v clang++ && compilers+=("clang:clang++")

# Configures and builds a consumer project SOURCE into BINARY with compiler CXX, prefix only.
build_project() {
  local source=$1 binary=$2 cxx=$3
  cmake -S "$source" -B "$binary" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_PREFIX_PATH="$prefix" &&
    cmake --build "$binary"
}

echo "sdk: building the archives and eltool in $build"
check "build sdk targets" cmake --build "$build" --target el_desktop el_headless eltool
check "install sdk component" cmake --install "$build" --component sdk --prefix "$prefix"
# Nothing of the player's install may come with the SDK.
check "install holds only the sdk" test ! -e "$prefix/lib/milkanet" -a ! -e "$prefix/share/applications"

for example in "$root"/examples/*/; do
  name=$(basename "$example")
  [ -f "$example/CMakeLists.txt" ] || continue
  # A copy outside the tree, so that no path can lead back into it.
  cp -r "$example" "$work/src-$name"
  for entry in "${compilers[@]}"; do
    cc=${entry%%:*}
    cxx=${entry#*:}
    bin=$work/build-$name-$cc
    check "$name: build with $cc" build_project "$work/src-$name" "$bin" "$cxx" || continue
    check "$name: no path into the tree ($cc)" bash -c "! grep -rl --include=*.ninja --include=*.cmake -F '$root' '$bin'"
    if [ -f "$bin/CTestTestfile.cmake" ] && grep -q add_test "$bin/CTestTestfile.cmake"; then
      check "$name: ctest with $cc" ctest --test-dir "$bin" --output-on-failure
    elif [ -x "$bin/$name" ]; then
      check "$name: run with $cc" run_until_term "$bin/$name"
    fi
  done
done

# Japanese text: GCC's plain literal (Shift-JIS through the package's text options) and clang's
# el::Sjis(u8"...") must put the same pixels on the screen.
mkdir -p "$work/jatext"
cat >"$work/jatext/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.20)
project(jatext LANGUAGES CXX)
find_package(ElEngine CONFIG REQUIRED)
add_executable(jatext main.cpp)
target_link_libraries(jatext PRIVATE El::Headless)
EOF
cat >"$work/jatext/main.cpp" <<'EOF'
#include <el/el.h>

static void Frame() {
    ClearScreen();
    SetFont(elFace::Gothic, 32, 0, 0, 0, 0);
    SetTextColors(elColor::White, elColor::Black, 1);
#ifdef __clang__
    PutText(20, 20, el::Sjis(u8"日本語のテキスト、ミルカ"));
#else
    PutText(20, 20, "日本語のテキスト、ミルカ");
#endif
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(640, 480, 1);
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) { return replay::RunReplay({"jatext", "jatext", Startup}, argc, argv); }
EOF
jatext_same() {
  local entry cc cxx
  for entry in "${compilers[@]}"; do
    cc=${entry%%:*}
    cxx=${entry#*:}
    build_project "$work/jatext" "$work/jatext/build-$cc" "$cxx" &&
      (cd "$work/jatext" && "build-$cc/jatext" --frames 3 --shot "shot-$cc.bmp") || return 1
  done
  # The two compilers agree, and on a picture that holds text (a blank one would match too).
  cmp "$work/jatext/shot-gcc.bmp" "$work/jatext/shot-clang.bmp" &&
    [ "$(tr -d '\000' <"$work/jatext/shot-gcc.bmp" | wc -c)" -gt 2000 ]
}
if [ "${#compilers[@]}" -ge 2 ]; then check "Japanese text the same with GCC and clang" jatext_same; fi

# One file, pkg-config and nothing else: headless through the replay runner, and on the desktop.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
mkdir -p "$work/onefile"
cat >"$work/onefile/main.cpp" <<'EOF'
// A scene program in one file: on the desktop, or headless from a key script with -DHEADLESS.
#include <el/el.h>

static void Frame() {
    ClearScreen();
    SetFont(elFace::Gothic, 24, 0, 0, 0, 0);
    PutText(10, 10, el::Sjis(u8"ひとつのファイル"));
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) {
#ifdef HEADLESS
    return replay::RunReplay({"onefile", "onefile", Startup}, argc, argv);
#else
    return elSystem::RunScene(argc, argv, "onefile", Startup);
#endif
}
EOF
onefile_headless() {
  cd "$work/onefile" &&
    g++ -DHEADLESS main.cpp $(pkg-config --cflags --libs el-headless) -o onefile-headless &&
    ./onefile-headless --frames 30 --shot shot.bmp --state state.json &&
    test -s shot.bmp && grep -F '"frame":30' state.json && grep -F '"errors":[]' state.json
}
onefile_desktop() {
  cd "$work/onefile" &&
    g++ main.cpp $(pkg-config --cflags --libs el-desktop) -o onefile-desktop &&
    run_until_term "$work/onefile/onefile-desktop"
}
check "one file with pkg-config el-headless" onefile_headless
check "one file with pkg-config el-desktop" onefile_desktop

# A new project from eltool, built and run like an example.
newscene() {
  "$prefix/bin/eltool" new-scene "$work/newscene" first_scene &&
    build_project "$work/newscene" "$work/newscene/build" g++ &&
    run_until_term "$work/newscene/build/first_scene"
}
check "eltool new-scene builds and runs" newscene

echo "sdk: took $(($(date +%s) - started)) s"
echo "sdk: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
