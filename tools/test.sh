#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test (windows under a virtual X display),
# then the threaded code and the parsers again under the sanitizers (tools/sanitize.sh;
# then the fuzz targets for a bounded time (tools/fuzz.sh); KALO_SKIP_SANITIZERS=1 leaves
# both out).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
xvfb-run -a -s "-screen 0 1920x1080x24" \
  ctest --test-dir build --output-on-failure --no-tests=error -j2
if [ "${KALO_SKIP_SANITIZERS:-0}" != 1 ]; then
  tools/sanitize.sh
  tools/fuzz.sh
fi
