# Sourced by the scripts that need a display: start_xvfb [WxHxD] starts Xvfb on a free display
# number, exports DISPLAY and sets XVFB_PID (the caller kills it); fails when none starts.
start_xvfb() {
  local n
  for n in $(seq 90 189); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 "${1:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$XVFB_PID" 2>/dev/null || break  # another server took the number meanwhile
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "no virtual display (Xvfb) could be started" >&2
  return 1
}
