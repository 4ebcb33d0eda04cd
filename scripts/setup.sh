#!/bin/sh
# Installs every Debian package the project needs (through sudo when not root,
# skipping what is already installed), then configures and builds into build/.
#   scripts/setup.sh            release build of the engine, tclean and tests
#   BUILD_TYPE=Debug WERROR=ON scripts/setup.sh
set -eu
cd "$(dirname "$0")/.."

PACKAGES="
  g++ cmake ninja-build pkg-config git clang-format
  nlohmann-json3-dev libplist-dev libssl-dev libicu-dev
  googletest libgtest-dev libbenchmark-dev
  util-linux coreutils findutils procps
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi

BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    -DTIDLO_WERROR="${WERROR:-OFF}" \
    -DTIDLO_SANITIZE="${SANITIZE:-OFF}" >/dev/null
cmake --build "$BUILD_DIR" -j 2
