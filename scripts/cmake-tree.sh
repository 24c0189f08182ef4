# Sourced by scripts/build: configures a build tree of this checkout.
#
#   cmake_tree DIR [cmake options]    cmake -S . -B DIR, from the checkout's root
#
# A tree whose cache was made for another folder (a checkout moved or copied
# elsewhere, with its build trees) is one CMake refuses to use; it is removed
# and made afresh.

cmake_tree() {
  local dir=$1
  shift
  local cache=$dir/CMakeCache.txt
  if [[ -f $cache ]]; then
    local home tree
    home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
    tree=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$cache")
    if [[ $home != "$(pwd -P)" || $tree != "$(cd "$dir" && pwd -P)" ]]; then
      echo "$dir was made for $home; building it afresh"
      rm -rf "$dir"
    fi
  fi
  cmake -S . -B "$dir" "$@" >/dev/null
}
