#!/usr/bin/env bash
# Sets up, builds and runs every test: unit tests offscreen, end-to-end tests on private X servers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
scripts/build.sh
cd build
ctest --output-on-failure --timeout 600 "$@"
