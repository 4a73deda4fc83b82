#!/usr/bin/env bash
# Sets up, builds and starts Scrawlix on this X11 display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Scrawlix needs a graphical session: DISPLAY is not set. Run this from a desktop terminal." >&2
    exit 1
fi
exec build/scrawlix "$@"
