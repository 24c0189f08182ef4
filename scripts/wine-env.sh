# Sourced by scripts/run and scripts/test-wine: a Wine prefix for the window
# program, an X display, virtual modules on COM ports, and cleanup of all of it.
#
#   wine_setup                      packages, prefix, persistent wineserver
#   wine_display                    Xvfb on a free display unless $DISPLAY is usable
#   wine_windows_managed Y|N        top-level windows left to a window manager or not
#   sim_start COMn [sim options]    a virtual module reachable as COMn
#   port_register SLOT COMn NAME    a Ports-class device the set-up API lists
#   wine_teardown                   stops what was started here (also on exit)
#
# COM1 is never used: Wine maps it to the host's own first serial port.

KORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KORVEL_SIM=${KORVEL_SIM:-$KORVEL_ROOT/build/sim/korvel-sim}
KORVEL_WIN_BUILD=${KORVEL_WIN_BUILD:-$KORVEL_ROOT/build-win}
KORVEL_RUN_DIR=${KORVEL_RUN_DIR:-$KORVEL_WIN_BUILD/wine-run}

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-korvel}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

source "$KORVEL_ROOT/scripts/deps.sh"

korvel_pids=()
korvel_xvfb=

wine_setup() {
  ensure_packages
  mkdir -p "$KORVEL_RUN_DIR"
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Making the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # The caption buttons' symbols are Marlett's; this Wine does not load the
  # copy in its own folder (fonts-wine), so the prefix's fonts link to it.
  ln -sf /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
  # One wineserver for the whole run instead of one per program; stopped by wine_teardown.
  wineserver -p >"$KORVEL_RUN_DIR/wineserver.log" 2>&1
  trap wine_teardown EXIT
}

# Xvfb on the first free display from :90, unless a display is given and
# reachable. Comes before any Wine program runs: the first one starts Wine's
# desktop process, which stays without a display if there is none yet.
wine_display() {
  if [[ "${1:-}" == --virtual || -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
    local n=90
    while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x800x24 -nolisten tcp >/dev/null 2>&1 &
    korvel_xvfb=$!
    export DISPLAY=":$n"
    local up=
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && { up=1; break; }; sleep 0.1; done
    [[ -n "$up" ]] || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
  fi
  # "Segoe UI" is not on the host, and Wine's own fallback has no check mark
  # (U+2714) for the flag cells; DejaVu Sans Condensed has it at a similar width.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Segoe UI" /d "DejaVu Sans Condensed" /f >/dev/null 2>&1
}

# Whether Wine leaves its top-level windows to a window manager (Y, Wine's
# default) or places them itself (N). On a private Xvfb there is no window
# manager, and a managed window makes Wine wait 2 s for one on every hide.
wine_windows_managed() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1
}

# Starts a virtual module and maps COMn to its pseudo-terminal through a
# symlink that stays put. Sets SIM_PTY and SIM_PID.
sim_start() {
  local com=$1
  shift
  local lower=${com,,}
  local link="$KORVEL_RUN_DIR/$lower" out="$KORVEL_RUN_DIR/$lower.out"
  rm -f "$link" "$out"
  "$KORVEL_SIM" --link "$link" "$@" >"$out" 2>"$KORVEL_RUN_DIR/$lower.err" &
  SIM_PID=$!
  korvel_pids+=("$SIM_PID")
  for _ in $(seq 50); do [[ -s "$out" ]] && break; sleep 0.1; done
  SIM_PTY=$(head -1 "$out")
  [[ -n "$SIM_PTY" ]] || { echo "korvel-sim did not start for $com" >&2; return 1; }
  # The dosdevices link takes effect at once; the Ports value makes Wine's
  # mount manager keep the same mapping when the prefix boots again.
  ln -sfn "$link" "$WINEPREFIX/dosdevices/$lower"
  wine reg add 'HKLM\Software\Wine\Ports' /v "$com" /d "$link" /f >/dev/null 2>&1
}

# Registers a Ports-class device, so that SetupDiGetClassDevs with
# GUID_DEVCLASS_PORTS and DIGCF_PRESENT lists it. Found on Wine 8: a key under
# Enum\<enumerator>\<device>\<instance> with the class GUID is enough; Wine
# counts every such key as present and needs no Driver, ConfigFlags or Control
# subkey. FriendlyName is what the program reads; Class and PortName complete
# the entry as Windows would write it.
port_register() {
  local slot=$1 com=$2 name=$3
  local reg="$KORVEL_RUN_DIR/port-$slot.reg"
  cat >"$reg" <<EOF
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\ROOT\\PORTS\\$slot]
"ClassGUID"="{4d36e978-e325-11ce-bfc1-08002be10318}"
"Class"="Ports"
"FriendlyName"="$name"

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\ROOT\\PORTS\\$slot\\Device Parameters]
"PortName"="$com"
EOF
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
}

# Removes every registered Ports device, so each run starts from a known list.
ports_clear() {
  wine reg delete 'HKLM\System\CurrentControlSet\Enum\ROOT\PORTS' /f >/dev/null 2>&1 || true
}

wine_teardown() {
  # Runs as the EXIT trap, also under set -e: nothing here may end it early.
  local pid
  for pid in "${korvel_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${korvel_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  korvel_pids=()
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # The display goes last, after every Wine process that drew on it.
  if [[ -n "$korvel_xvfb" ]]; then
    kill "$korvel_xvfb" 2>/dev/null || true
    wait "$korvel_xvfb" 2>/dev/null || true
    korvel_xvfb=
  fi
}
