#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64: kalo-converter.exe and kalo-depth.exe
# with their run-time folders (image/, font/, filter/, icon/) beside them in
# ${KALO_WIN_BUILD_DIR:-build-windows}/bin, and the tests that tools/windows-test.sh runs
# under Wine. The libraries come from tools/windows-deps.sh (built once, then cached).
# KALO_BUILD_TARGETS limits the build to the targets it names.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${KALO_WIN_BUILD_DIR:-build-windows}
prefix=$(tools/windows-deps.sh | tail -1)
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$(pwd)/cmake/mingw-w64-x86_64.cmake" \
  -DKALO_WIN_DEPS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=${KALO_BUILD_TYPE:-Release} "$@"
targets=(${KALO_BUILD_TARGETS:-kalo-converter kalo-depth kalo_assets test_windows kalo_windows_child})
nice -n 5 cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]}"
echo "windows-build: $build_dir/bin/kalo-converter.exe and $build_dir/bin/kalo-depth.exe"
