#!/usr/bin/env bash
# Checks a build as a user and a packager meet it: installs it into a
# temporary prefix; asks both installed programs for their usage, version and
# refusals; plays the installed client, headless and with a home of its own,
# from an empty working directory against the installed local world server
# (its settings must be made in the config directory, its screenshot must land
# in the pictures directory and show a textured world, and nothing may be
# written to the working directory); then builds the Debian package and checks
# its files, its dependencies and what lintian says of it.
#
# Usage: scripts/install-check.sh [BUILD_DIR]   (a configured and built build
# with its tests; TS_BUILD_DIR or build/ when not given)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-${TS_BUILD_DIR:-$top/build}}" && pwd)

scratch=$(mktemp -d)
prefix="$scratch/prefix"
home="$scratch/home"
work="$scratch/work"
mkdir -p "$home" "$work"
server_pid=
client_pid=
cleanup() {
  local pid
  for pid in $client_pid $server_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "install check: $*" >&2
  exit 1
}

# Waits up to `seconds` for `file` to hold a line matching `pattern`.
wait_for_line() {
  local file=$1 pattern=$2 seconds=$3
  for _ in $(seq $((seconds * 10))); do
    grep -q -- "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/ferrowick bin/ts_server share/ferrowick/plugins.cfg share/ferrowick/ogre.cfg \
  share/ferrowick/resources.cfg share/ferrowick/tessellar.cfg share/ferrowick/media/sand.jpg \
  share/man/man6/ferrowick.6.gz share/man/man6/ts_server.6.gz \
  share/applications/ferrowick.desktop share/icons/hicolor/scalable/apps/ferrowick.svg; do
  [ -e "$prefix/$file" ] || fail "the install has no $file"
done
echo "installed into $prefix"

# The installed programs' command lines: arguments, exit status, and text
# that standard output (o) or standard error (e) holds.
check_command() {
  local program=$1 arguments=$2 status=$3 stream=$4 text=$5 out err actual=0
  # shellcheck disable=SC2086
  (cd "$work" && env HOME="$home" "$prefix/bin/$program" $arguments) \
    >"$scratch/out" 2>"$scratch/err" || actual=$?
  out=$(cat "$scratch/out")
  err=$(cat "$scratch/err")
  [ "$actual" -eq "$status" ] ||
    fail "$program $arguments: exit status $actual, not $status: $out$err"
  if [ "$stream" = o ]; then
    [[ "$out" == *"$text"* ]] || fail "$program $arguments: no \"$text\" in: $out"
  else
    [[ "$err" == *"$text"* ]] || fail "$program $arguments: no \"$text\" in: $err"
  fi
}
check_command ferrowick --help 0 o "--config FILE"
check_command ferrowick --version 0 o "ferrowick "
check_command ferrowick --frobnicate 2 e 'unknown option "--frobnicate"'
check_command ferrowick "--config $scratch/absent.cfg" 1 e "cannot read the settings file"
check_command ts_server --help 0 o "--view-radius"
check_command ts_server --version 0 o "ts_server "
check_command ts_server --frobnicate 2 e 'unknown option "--frobnicate"'
[ -z "$(ls -A "$work")" ] || fail "a command line wrote into the working directory"
echo "command lines answered"

# The installed server on a port of its own choice.
(cd "$scratch" && exec "$prefix/bin/ts_server" --port 0 --view-radius 3) >"$scratch/server.log" 2>&1 &
server_pid=$!
wait_for_line "$scratch/server.log" "^listening on " 30 || fail "the installed server did not listen"
port=$(sed -n 's/^listening on [^,]*:\([0-9]*\),.*/\1/p' "$scratch/server.log")

source "$top/scripts/xvfb.sh" >/dev/null
(cd "$work" && exec env -u XDG_CONFIG_HOME -u XDG_STATE_HOME -u XDG_PICTURES_DIR -u XDG_CACHE_HOME \
  HOME="$home" "$prefix/bin/ferrowick" --server "127.0.0.1:$port") >"$scratch/client.log" 2>&1 &
client_pid=$!
trap 'cleanup; kill "${ts_xvfb_pid:-}" 2>/dev/null || true' EXIT
timeout 60 xdotool search --sync --onlyvisible --name Ferrowick >/dev/null ||
  fail "the installed client's window did not show: $(cat "$scratch/client.log")"
xdotool key 8
wait_for_line "$scratch/client.log" "received spawn position" 60 ||
  fail "the installed client did not log in: $(tail -5 "$scratch/client.log")"

# Screenshots until one shows the world, which takes a while to arrive and be
# drawn with software OpenGL.
pictures="$home/Pictures/ferrowick"
shots_taken() { grep -c "^screenshot written to " "$scratch/client.log" || true; }
shot=
for _ in $(seq 40); do
  taken=$(shots_taken)
  xdotool key F9
  for _ in $(seq 300); do
    [ "$(shots_taken)" -gt "$taken" ] && break
    sleep 0.1
  done
  [ "$(shots_taken)" -gt "$taken" ] ||
    fail "no screenshot written: $(grep -i screenshot "$scratch/client.log")"
  shot=$(sed -n 's/^screenshot written to //p' "$scratch/client.log" | tail -1)
  [ "$(dirname "$shot")" = "$pictures" ] || fail "the screenshot went to $shot, not into $pictures"
  "$build/tests/endtoend/screenshot_check" "$shot" >/dev/null 2>&1 && break
  shot=
  sleep 2
done
[ -n "$shot" ] || fail "no screenshot of the installed client showed a textured world"
"$build/tests/endtoend/screenshot_check" "$shot"

xdotool key 0
status=0
for _ in $(seq 600); do
  kill -0 "$client_pid" 2>/dev/null || break
  sleep 0.1
done
wait "$client_pid" || status=$?
client_pid=
[ "$status" -eq 0 ] || fail "the installed client ended with status $status"

settings="$home/.config/ferrowick/tessellar.cfg"
[ -f "$settings" ] || fail "no settings file at $settings"
grep -qx "created the settings file $settings from the example" "$scratch/client.log" ||
  fail "the client did not say that it made $settings"
[ -f "$home/.local/state/ferrowick/Ogre.log" ] || fail "no engine log in the state directory"
[ -z "$(ls -A "$work")" ] || fail "the client wrote into its working directory: $(ls -A "$work")"
echo "the installed client played from $work: settings, log and screenshot in the home"

# The package, built from the same build.
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/ferrowick_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' >"$scratch/files"
for file in ./usr/bin/ferrowick ./usr/bin/ts_server ./usr/share/ferrowick/resources.cfg \
  ./usr/share/ferrowick/plugins.cfg ./usr/share/ferrowick/tessellar.cfg \
  ./usr/share/ferrowick/media/sand.jpg ./usr/share/man/man6/ferrowick.6.gz \
  ./usr/share/applications/ferrowick.desktop ./usr/share/icons/hicolor/scalable/apps/ferrowick.svg \
  ./usr/share/doc/ferrowick/copyright ./usr/share/doc/ferrowick/changelog.gz; do
  grep -qx -- "$file" "$scratch/files" || fail "the package has no $file"
done
if grep -v '^\./usr/' "$scratch/files" | grep -qv '^\./$'; then
  fail "the package holds files outside /usr: $(grep -v '^\./usr/' "$scratch/files")"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libogre1.12 libois libcurl4 libcpp-httplib zlib1g fonts-dejavu-core; do
  [[ "$depends" == *"$library"* ]] || fail "the package does not depend on $library: $depends"
done
echo "package $(basename "$deb"): depends on $depends"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || fail "lintian found errors in $(basename "$deb")"
  echo "lintian: no errors"
else
  echo "lintian is not installed: the package was not checked by it"
fi
