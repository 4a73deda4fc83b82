#!/usr/bin/env bash
# Sets up, builds and runs every test: unit tests offscreen, end-to-end tests on private X servers,
# then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
# The Qt for Windows that the windows tests build against is cached outside the checkout. When the
# cache lacks it, it is built from source, which takes most of an hour on two cores: at the lowest
# priority, while the Linux build and its tests run. The windows tests come last and wait for it.
winqt_log=$(mktemp)
# Its own process group (job control), so that it can be stopped as a whole, but in this session:
# with the kernel's autogroups a new session would get an equal share of the CPU, whatever its nice.
set -m
scripts/winqt.sh >"$winqt_log" 2>&1 &
winqt=$!
set +m
stop_winqt() { kill -- "-$winqt" 2>/dev/null || :; }
trap stop_winqt EXIT
scripts/build.sh
cd build
status=0
# Every test runs once: one that fails on a loaded machine has a fault to find, not a retry to hide.
ctest --output-on-failure --timeout 600 -LE '^windows$' "$@" || status=$?
if ! ctest -N -L '^windows$' "$@" | grep -q '^Total Tests: 0$'; then
    kill -0 "$winqt" 2>/dev/null && echo "Waiting for the Qt for Windows being built ($winqt_log)" >&2
    if ! wait "$winqt"; then
        echo "Qt for Windows could not be built:" >&2
        tail -n 20 "$winqt_log" >&2
    fi
    ctest --output-on-failure --timeout 600 -L '^windows$' "$@" || status=$?
fi
trap - EXIT
stop_winqt
rm -f "$winqt_log"
exit "$status"
