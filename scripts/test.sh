#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, window
# tests included (in a private Xvfb when there is no display); then runs the
# run command headless from a fresh working directory and judges its
# screenshot; then installs the build, plays the installed client and builds
# and checks the Debian package (scripts/install-check.sh); then builds the
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer and runs
# them. Each stage says how long it took.
#
# TS_BUILD_DIR and TS_SANITIZE_BUILD_DIR choose the two build directories.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${TS_BUILD_DIR:-$top/build}"
sanitize_build="${TS_SANITIZE_BUILD_DIR:-$top/build-sanitize}"

stage_start=$SECONDS
stage_done() {
  echo "== $1: $((SECONDS - stage_start)) s"
  stage_start=$SECONDS
}

"$top/scripts/setup.sh"

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
stage_done "build"

source "$top/scripts/xvfb.sh"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600
stage_done "tests"

# A port nothing listens on, so that the check cannot meet a server that is
# already running.
free_port() {
  local port
  for port in $(shuf -i 20000-60000 -n 100); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  echo "no free port found" >&2
  return 1
}

# The README's run command as a new user meets it: no display, and a working
# directory laid out afresh by the build (no screenshot from an earlier run).
check_run_command() {
  local log="$build/run-command.log" status=0 shot
  rm -rf "$build/run"
  (cd "$top" && env -u DISPLAY TS_BUILD_DIR="$build" scripts/run.sh --port "$(free_port)") \
    >"$log" 2>&1 || status=$?
  cat "$log"
  if [ "$status" -ne 0 ]; then
    echo "run command failed with exit status $status" >&2
    return 1
  fi
  shot=$(sed -n 's/^Screenshot of the world: //p' "$log")
  if [ -z "$shot" ] || [ ! -f "$shot" ]; then
    echo "run command: no screenshot at \"$shot\"" >&2
    return 1
  fi
  "$build/tests/endtoend/screenshot_check" "$shot"
}
check_run_command
stage_done "run command"

# The install, the installed client played from elsewhere, and the package.
"$top/scripts/install-check.sh" "$build"
stage_done "install and package"

# The sanitizer build: unoptimised, which builds about a fifth quicker than
# -O1 while the tests still run in a minute or two; line tables only, for the
# reports. Every finding ends the program (see CMakeLists.txt). The worker
# tests' ThreadSanitizer run stays in the build above.
cmake -S "$top" -B "$sanitize_build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
  -DTS_SANITIZE=address,undefined >/dev/null
cmake --build "$sanitize_build" -j"$(nproc)"
stage_done "sanitizer build"

# Leaks are looked for in every test without a window. The windows' tests
# run without: the OpenGL driver and the engine's shader system leave
# allocations at exit that no stack of ours can be told from.
UBSAN_OPTIONS="print_stacktrace=1" ASAN_OPTIONS="detect_leaks=1" \
  ctest --test-dir "$sanitize_build" --output-on-failure -j2 --timeout 900 -LE window
UBSAN_OPTIONS="print_stacktrace=1" ASAN_OPTIONS="detect_leaks=0" \
  ctest --test-dir "$sanitize_build" --output-on-failure -j2 --timeout 900 -L window
stage_done "sanitizer tests"
