# Sourced by the scripts: installs the Debian packages the project needs when
# any is missing. Nothing is downloaded from anywhere but Debian's archive.

korvel_packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine xvfb xauth x11-utils imagemagick xdotool
  valgrind clang libclang-rt-14-dev
  wixl zip unzip file dpkg-dev man-db groff-base libimage-exiftool-perl
  x11vnc novnc websockify curl iproute2
  emscripten chromium firefox-esr
)
# The page's tests and benchmarks run on Node.js with npm packages locked in
# tests/web/package-lock.json; a machine that has Node.js and npm already keeps them.
command -v npm >/dev/null 2>&1 || korvel_packages+=(nodejs npm)

ensure_packages() {
  local missing=()
  for p in "${korvel_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# The npm packages of tests/web (the browser's driver, a WebSocket server),
# exactly as locked, whenever the lock file is newer than what is installed.
ensure_web_modules() {
  local dir=tests/web
  [[ $dir/node_modules/.package-lock.json -nt $dir/package-lock.json ]] && return
  (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
}
