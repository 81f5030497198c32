#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Sourced by run.sh and test.sh.
NUVO_PACKAGES=(
  cmake ninja-build ccache g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqscintilla2-qt6-dev
  libsqlite3-dev nettle-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)

nuvo_install_deps() {
  local missing=()
  local p
  for p in "${NUVO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "error: these packages are missing and this user cannot install them: ${missing[*]}" >&2
      echo "       install them as root (apt-get install ${missing[*]}) and run again." >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! $sudo apt-get update -qq || ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    echo "error: could not install: ${missing[*]}" >&2
    return 1
  fi
}

nuvo_build() {
  local top="$1"
  if [ ! -f "$top/build/build.ninja" ]; then
    cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo || return 1
  fi
  cmake --build "$top/build" || return 1
}
