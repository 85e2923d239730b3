#!/usr/bin/env bash
# Installs the Debian packages Tromel needs (when missing) and builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsdl2-dev libsndfile1-dev
  libflac-dev libvorbis-dev libogg-dev libebur128-dev ffmpeg
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool imagemagick fonts-dejavu-core
  desktop-file-utils shared-mime-info python3-mido
  librtmidi-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-base-apps appstream
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=120 update -qq
  "${sudo[@]}" apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=120 "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
# Qt's moc step keeps a timestamp that does not notice source files the globs pick up later,
# so a build folder older than a new Qt source would miss its .moc file; moc re-checks cheaply.
find build -path '*_autogen/timestamp' -delete
cmake --build build
