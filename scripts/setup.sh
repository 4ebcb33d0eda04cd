#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package the project needs (through sudo when not root,
# skipping what is already installed), then configures and builds into build/.
#   scripts/setup.sh            release build of the engine, tclean, the desktop
#                               application TidloCleaner and all tests
#   BUILD_TYPE=Debug WERROR=ON scripts/setup.sh
#   APP=OFF scripts/setup.sh    the engine, tclean and their tests alone, without
#                               the desktop application (no Qt installed or used)
#   BENCH=ON scripts/setup.sh   also the engine's micro-benchmarks (bench/)
#   CXX=clang++ BUILD_DIR=build-clang scripts/setup.sh
#                               with clang (the compiler is kept from the first
#                               configure of a build folder)
set -eu
cd "$(dirname "$0")/.."

PACKAGES="
  g++ cmake ninja-build pkg-config git clang-format clang libclang-rt-14-dev
  nlohmann-json3-dev libsimdjson-dev libplist-dev libssl-dev libicu-dev
  googletest libgtest-dev libbenchmark-dev
  util-linux coreutils findutils procps strace python3
  flatpak libglib2.0-bin gvfs dbus-daemon
  man-db groff-base dpkg-dev lintian
"
# The desktop application, its tests (offscreen, under Xvfb, over the
# accessibility bus) and its desktop files. qml6-module-qtqml carries the type
# descriptions qmllint needs for Timer, Connections, Binding, the Qt enums and
# the value types (rect, easing); the app itself runs without it.
APP_PACKAGES="
  qt6-base-dev qt6-declarative-dev qt6-svg-dev
  qml6-module-qtqml qml6-module-qtquick qml6-module-qtqml-workerscript qml6-module-qtqml-models
  qml6-module-qtquick-controls qml6-module-qtquick-templates qml6-module-qtquick-layouts
  qml6-module-qtquick-shapes qml6-module-qtquick-dialogs qml6-module-qt-labs-folderlistmodel
  qml6-module-qtquick-window
  fonts-wqy-microhei fonts-material-design-icons-iconfont
  xvfb xauth imagemagick
  at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi
  librsvg2-bin desktop-file-utils appstream x11-utils
"
[ "${APP:-ON}" = OFF ] || PACKAGES="$PACKAGES $APP_PACKAGES"

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
    -DTIDLO_SANITIZE="${SANITIZE:-OFF}" \
    -DTIDLO_BUILD_APP="${APP:-ON}" \
    -DTIDLO_BUILD_BENCH="${BENCH:-OFF}" >/dev/null
cmake --build "$BUILD_DIR" -j 2
