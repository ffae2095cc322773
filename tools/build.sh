#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as KALO_BUILD_DIR). Arguments go to
# the CMake configure step; KALO_BUILD_TARGETS limits the build to the targets it names.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KALO_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=${KALO_BUILD_TYPE:-RelWithDebInfo} "$@"
targets=()
[ -n "${KALO_BUILD_TARGETS:-}" ] && targets=(--target ${KALO_BUILD_TARGETS})
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
