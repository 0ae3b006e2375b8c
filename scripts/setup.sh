#!/usr/bin/env bash
# Installs every build and test dependency from Debian 12's packages, then
# configures and builds Vexamark in ./build (or $VEXAMARK_BUILD_DIR).
# Works as root and, through sudo, as a normal user.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config git
  libopenscenegraph-dev libopenscenegraph161 libopenthreads-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
  xvfb xauth xdotool x11-utils libxtst-dev
  fonts-liberation2
  libgtest-dev libgmock-dev googletest
  libopenal-dev libalut-dev libopenal1
  libcal3d12-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libv4l-dev
  libcairo2-dev libpng-dev
  libopencv-dev libopencv-contrib-dev libapriltag-dev
  lintian dpkg-dev man-db
  qt6-base-dev qt6-qpa-plugins desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

BUILD_DIR="${VEXAMARK_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VEXAMARK_CMAKE_ARGS:-}
cmake --build "$BUILD_DIR" -j "$(nproc)"
