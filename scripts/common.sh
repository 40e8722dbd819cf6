# Shared by scripts/test and scripts/run: install, build both targets, and the Wine
# environment (a private prefix in the build folder, an Xvfb display when none is
# given, a persistent wineserver so each .exe starts in a fraction of a second).
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build
JOBS=${JOBS:-$(nproc)}
MINGW_CACHE=${TARSEL_MINGW_CACHE:-/var/cache/tarsel-mingw}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

install_and_prepare() {
  "$ROOT/scripts/install-deps" "$@"
  TARSEL_MINGW_CACHE=$MINGW_CACHE "$ROOT/scripts/build-mingw-deps"
}

configure_and_build_windows() {
  cmake -S "$ROOT" -B "$BUILD/windows" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-toolchain.cmake" \
    -DTARSEL_HOST_HEADERS="$MINGW_CACHE/host-headers" \
    -DTARSEL_MINGW_PREFIX="$MINGW_CACHE" >/dev/null
  cmake --build "$BUILD/windows" -j"$JOBS" "$@"
}

configure_and_build_native() {
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSEL_SANITIZE=ON >/dev/null
  cmake --build "$BUILD/native" -j"$JOBS" "$@"
}

# The file readers built with clang and libFuzzer (fuzz targets only).
configure_and_build_fuzz() {
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSEL_FUZZ=ON >/dev/null
  cmake --build "$BUILD/fuzz" -j"$JOBS" --target "$@"
}

# run_fuzzer TARGET SECONDS [SEED_DIR...]: a bounded run; new inputs go to the
# target's own corpus in the build folder, the seed folders are only read.
run_fuzzer() {
  local target=$1 seconds=$2 exe
  shift 2
  local seeds=()
  local dir
  for dir in "$@"; do seeds+=("$ROOT/$dir"); done
  exe=$(find "$BUILD/fuzz" -name "$target" -type f -perm -u+x | head -n 1)
  local corpus=$BUILD/fuzz/corpus/$target
  mkdir -p "$corpus"
  local log=$BUILD/fuzz/$target.log status
  (cd "$BUILD/fuzz" && "$exe" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    "$corpus" "${seeds[@]}") >"$log" 2>&1
  status=$?
  if [ $status -eq 0 ]; then tail -n 2 "$log"; else tail -n 60 "$log"; fi
  return $status
}

STARTED_XVFB_PID=

start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    STARTED_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
  done
  echo "no free X display number" >&2
  return 1
}

start_wine() {
  export WINEPREFIX=$BUILD/windows/wineprefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/system.reg" ] || echo "Creating the Wine prefix in $WINEPREFIX"
  "$WINESERVER" -p
  # Start Wine's own services now, with no terminal or pipe attached: started by
  # the first test instead, they would inherit its output pipe and CTest would
  # wait for them forever.
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
  WINE_STARTED=1
}

stop_environment() {
  if [ -n "${WINE_STARTED:-}" ]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  if [ -n "$STARTED_XVFB_PID" ]; then kill "$STARTED_XVFB_PID" 2>/dev/null || true; fi
}
