# Sourced by the scripts: installs the Debian packages the project needs when
# any is missing. Nothing is downloaded from anywhere but Debian's archive.

korvel_packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine xvfb xauth x11-utils imagemagick xdotool
  valgrind clang libclang-rt-14-dev
  wixl zip unzip file dpkg-dev man-db groff-base libimage-exiftool-perl
  x11vnc novnc websockify curl iproute2
)

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
