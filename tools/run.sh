#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the application from build/bin so that its
# relative asset paths (image/, font/, filter/, icon/) resolve.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
cd build/bin
exec ./kalo-converter "$@"
