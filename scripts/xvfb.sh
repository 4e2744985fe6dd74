# Sourced: gives the caller a display. Without one, starts a private Xvfb with
# software OpenGL on a free display number and stops it when the caller exits.
if [ -z "${DISPLAY:-}" ]; then
  ts_xvfb_fifo=$(mktemp -u)
  mkfifo "$ts_xvfb_fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$ts_xvfb_fifo" >/dev/null 2>&1 &
  ts_xvfb_pid=$!
  read -r ts_xvfb_display <"$ts_xvfb_fifo"
  rm -f "$ts_xvfb_fifo"
  export DISPLAY=":$ts_xvfb_display"
  trap 'kill "$ts_xvfb_pid" 2>/dev/null || true' EXIT
  echo "started Xvfb on $DISPLAY"
fi
export LIBGL_ALWAYS_SOFTWARE=1
