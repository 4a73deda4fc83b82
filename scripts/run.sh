#!/usr/bin/env bash
# Sets up, builds and starts Scrawlix on this X11 display.
set -euo pipefail
cd "$(dirname "$0")/.."
# Said before the set-up and the build, which take a while the first time.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Scrawlix needs a graphical session: DISPLAY is not set. Run this from a desktop terminal." >&2
    exit 1
fi
scripts/setup.sh
scripts/build.sh
exec build/scrawlix "$@"
