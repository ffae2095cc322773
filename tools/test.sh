#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test (windows under a virtual X display),
# then the Windows build under Wine (tools/windows-test.sh; KALO_SKIP_WINDOWS=1 leaves it
# out), then the threaded code and the parsers again under the sanitizers (tools/sanitize.sh)
# and the fuzz targets for a bounded time (tools/fuzz.sh); KALO_SKIP_SANITIZERS=1 leaves
# those two out.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
xvfb-run -a -s "-screen 0 1920x1080x24" \
  ctest --test-dir build --output-on-failure --no-tests=error -j2
# The Windows build, cross-compiled and run under Wine (tools/windows-test.sh), where the
# cross tools are present; KALO_SKIP_WINDOWS=1 leaves it out.
if [ "${KALO_SKIP_WINDOWS:-0}" != 1 ]; then
  if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
    tools/windows-test.sh
  else
    echo "test: the mingw-w64 cross compiler or Wine is missing: Windows stage left out"
  fi
fi
if [ "${KALO_SKIP_SANITIZERS:-0}" != 1 ]; then
  tools/sanitize.sh
  tools/fuzz.sh
fi
