#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running the project needs.
# Idempotent: packages already present are left alone. Runs apt as root directly, else via sudo.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake pkg-config git
  # application libraries
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libavfilter-dev libswresample-dev
  libx264-dev nlohmann-json3-dev libglm-dev
  # tests and tools
  googletest libgtest-dev ffmpeg xvfb xauth xdotool x11-utils imagemagick
  libgl1-mesa-dri mesa-utils
  # fuzzing: clang with libFuzzer
  clang libclang-rt-14-dev
  # run-time assets and their generators
  fonts-noto-cjk fonts-noto-cjk-extra fontforge python3-fonttools python3-numpy python3-pil
  # dialogs on Linux desktops
  zenity
)
# The Windows stage (tools/windows-test.sh): the mingw-w64 cross compiler, the tools that
# build the Windows libraries from Debian's source packages, and Wine to run the results.
if [ "${KALO_SKIP_WINDOWS:-0}" != 1 ]; then
  PACKAGES+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
             mingw-w64-tools nasm dpkg-dev wine wine64)
fi

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -qq
  "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
