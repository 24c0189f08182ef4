# Sourced by scripts/run after scripts/wine-env.sh: shows the X display in a
# web browser. x11vnc serves the display over VNC, websockify carries VNC over
# WebSocket and serves the noVNC client page; both listen on 127.0.0.1 only,
# and wine_teardown stops them with the rest.
#
#   browser_view PORT    the page at http://localhost:PORT/vnc.html; VNC on
#                        127.0.0.1:5900+display number (sets BROWSER_VNC_PORT)

browser_view() {
  local web_port=$1
  local vnc_port=$((5900 + ${DISPLAY#:}))
  if ss -Hltn "sport = :$web_port" | grep -q .; then
    echo "Port $web_port is in use; scripts/run --port N serves the page on another" >&2
    return 1
  fi
  if ss -Hltn "sport = :$vnc_port" | grep -q .; then
    echo "Port $vnc_port, VNC's for display $DISPLAY, is in use" >&2
    return 1
  fi
  # -noipv6: -localhost alone would also listen on ::1.
  x11vnc -display "$DISPLAY" -localhost -noipv6 -rfbport "$vnc_port" -forever -shared -nopw \
    >"$KORVEL_RUN_DIR/x11vnc.log" 2>&1 &
  korvel_pids+=($!)
  listening_on "$vnc_port" $! || { echo "x11vnc did not start; see $KORVEL_RUN_DIR/x11vnc.log" >&2; return 1; }
  websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
    >"$KORVEL_RUN_DIR/websockify.log" 2>&1 &
  korvel_pids+=($!)
  listening_on "$web_port" $! || { echo "websockify did not start; see $KORVEL_RUN_DIR/websockify.log" >&2; return 1; }
  BROWSER_VNC_PORT=$vnc_port
}

# Waits up to 10 s for process PID to listen on PORT; fails if it ends first.
listening_on() {
  local port=$1 pid=$2
  for _ in $(seq 100); do
    ss -Hltnp "sport = :$port" | grep -q "pid=$pid," && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
