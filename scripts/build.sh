#!/usr/bin/env bash
# Configures and builds into build/ (preset dev). CI=true turns warnings into errors (preset ci).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=dev
[ "${CI:-}" = "true" ] && preset=ci
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
