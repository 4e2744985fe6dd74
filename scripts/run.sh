#!/bin/bash
# The client's main job out of the box: installs what is missing, builds the
# client and the local world server, lays out the working directory
# (build/run), starts the server and the client pointed at it.
#
# With a display: press "8" in the window to connect and "0" to quit.
# Without one: the client runs in a private Xvfb, connects by itself, waits
# for the world, takes a screenshot, says where it is and quits.
#
# Usage: scripts/run.sh [--port N]   (or TS_PORT=N; 25565 when neither is set)
# TS_BUILD_DIR chooses the build directory, as for scripts/test.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="${TS_BUILD_DIR:-$top/build}"

port="${TS_PORT:-25565}"
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port="${2:-}"; shift 2 || shift ;;
    --port=*) port="${1#--port=}"; shift ;;
    *) echo "usage: $0 [--port N]" >&2; exit 2 ;;
  esac
done
if ! [[ "$port" =~ ^[0-9]+$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65535 ]; then
  echo "the port must be a number from 1 to 65535, not \"$port\"" >&2
  exit 2
fi

bash "$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target ferrowick ts_server

run_dir="$build/run"
cd "$run_dir"

# The example "tessellar.cfg" points at 127.0.0.1:25565; the client is
# pointed at the chosen port. A view radius of 3 columns keeps every tick
# under 50 ms with software OpenGL on this machine.
sed -i "s/^Port=.*/Port=$port/" tessellar.cfg
./ts_server --port "$port" --view-radius 3 >server.log 2>&1 &
server_pid=$!
client_pid=
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null || true
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then break; fi
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the local world server did not start (port $port in use?):" >&2
    cat server.log >&2
    exit 1
  fi
  sleep 0.1
done

if [ -n "${DISPLAY:-}" ]; then
  echo "Local world server on 127.0.0.1:$port (log: $run_dir/server.log)."
  echo "In the Ferrowick window press \"8\" to connect and \"0\" to quit."
  echo "Walk with W A S D, jump with Space, run with Left Shift, look with the mouse;"
  echo "dig with the left mouse button, place with the right; the digits and the wheel"
  echo "choose the held slot, E opens the inventory, Tab holds up the player list."
  ./ferrowick
  exit $?
fi

echo "No display: running the client in Xvfb and connecting by itself."
source "$top/scripts/xvfb.sh"
./ferrowick >client.log 2>&1 &
client_pid=$!
# Our own trap replaces the one of xvfb.sh: stop everything we started.
trap 'cleanup; kill "$ts_xvfb_pid" 2>/dev/null || true' EXIT

if ! timeout 60 xdotool search --sync --onlyvisible --name Ferrowick >/dev/null; then
  echo "the client's window did not show; see $run_dir/client.log" >&2
  exit 1
fi
sleep 1
xdotool key 8
for _ in $(seq 600); do
  grep -q "received spawn position" client.log && break
  sleep 0.1
done
if ! grep -q "received spawn position" client.log; then
  echo "the client did not log in; see $run_dir/client.log" >&2
  exit 1
fi
sleep 10

# The screenshot is the file that F9 adds, whatever the directory held.
shopt -s nullglob
before=(screenshot*.jpg)
xdotool key F9
shot=
for _ in $(seq 100); do
  for file in screenshot*.jpg; do
    [[ " ${before[*]} " == *" $file "* ]] || shot=$file
  done
  [ -n "$shot" ] && break
  sleep 0.1
done
if [ -z "$shot" ]; then
  echo "the client wrote no screenshot; see $run_dir/client.log" >&2
  exit 1
fi
sleep 0.5
xdotool key 0
status=0
wait "$client_pid" || status=$?
client_pid=
echo "Screenshot of the world: $run_dir/$shot"
echo "Client log: $run_dir/client.log; server log: $run_dir/server.log"
exit "$status"
