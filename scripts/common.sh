# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

VELOMAR_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages the program needs to build and run.
RUN_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libsqlite3-dev
  libgl-dev fonts-liberation fonts-dejavu-core fontconfig xdg-utils
  libgtest-dev libbenchmark-dev qt6-translations-l10n libuchardet-dev mdbtools-dev)
# Packages the Debian package target needs (dpkg-shlibdeps; file finds the binaries).
PACKAGE_PACKAGES=(dpkg-dev file)
# Extra packages for the tests (the package test builds the .deb and runs lintian on it).
TEST_PACKAGES=(poppler-utils xvfb xauth sqlite3 cups printer-driver-cups-pdf glabels-data
  "${PACKAGE_PACKAGES[@]}" lintian
  xdotool imagemagick openbox) # driving and capturing the windows under Xvfb by hand

install_missing() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installo i pacchetti mancanti: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_tree() {
  local dir=$1 type=$2
  shift 2
  cmake -S "$VELOMAR_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
