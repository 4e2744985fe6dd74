#!/bin/bash
# The client's main job out of the box: installs what is missing, builds the
# client and the local world server, lays out the working directory
# (build/run), starts the server and the client pointed at it.
#
# With a display: press "8" in the window to connect and "0" to quit.
# Without one: the client runs in a private Xvfb, connects by itself, waits
# for the world, takes a screenshot, says where it is and quits.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target ferrowick ts_server

run_dir=$(pwd)/build/run
cd "$run_dir"

# The example "tessellar.cfg" points at 127.0.0.1:25565. A view radius of 3
# columns keeps every tick under 50 ms with software OpenGL on this machine.
./ts_server --port 25565 --view-radius 3 >server.log 2>&1 &
server_pid=$!
client_pid=
cleanup() {
  [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null || true
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do
  if (exec 3<>/dev/tcp/127.0.0.1/25565) 2>/dev/null; then break; fi
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the local world server did not start (port 25565 in use?):" >&2
    cat server.log >&2
    exit 1
  fi
  sleep 0.1
done

if [ -n "${DISPLAY:-}" ]; then
  echo "Local world server on 127.0.0.1:25565 (log: $run_dir/server.log)."
  echo "In the Ferrowick window press \"8\" to connect and \"0\" to quit."
  echo "Walk with W A S D, jump with Space, run with Left Shift, look with the mouse."
  ./ferrowick
  exit $?
fi

echo "No display: running the client in Xvfb and connecting by itself."
source ../../scripts/xvfb.sh
./ferrowick >client.log 2>&1 &
client_pid=$!
# Our own trap replaces the one of xvfb.sh: stop everything we started.
trap 'cleanup; kill "$ts_xvfb_pid" 2>/dev/null || true' EXIT

timeout 60 xdotool search --sync --onlyvisible --name Ferrowick >/dev/null
sleep 1
xdotool key 8
for _ in $(seq 300); do
  grep -q "received spawn position" client.log && break
  sleep 0.1
done
if ! grep -q "received spawn position" client.log; then
  echo "the client did not log in; see $run_dir/client.log" >&2
  exit 1
fi
sleep 10
before=$(ls screenshot*.jpg 2>/dev/null | wc -l)
xdotool key F9
for _ in $(seq 100); do
  [ "$(ls screenshot*.jpg 2>/dev/null | wc -l)" -gt "$before" ] && break
  sleep 0.1
done
sleep 0.5
shot=$(ls -t screenshot*.jpg | head -n 1)
xdotool key 0
status=0
wait "$client_pid" || status=$?
client_pid=
echo "Screenshot of the world: $run_dir/$shot"
echo "Client log: $run_dir/client.log; server log: $run_dir/server.log"
exit "$status"
