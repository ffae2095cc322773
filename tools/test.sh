#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test (windows under a virtual X display).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
xvfb-run -a -s "-screen 0 1920x1080x24" \
  ctest --test-dir build --output-on-failure --no-tests=error -j2
