#!/usr/bin/env bash
# Start-up benchmark: how long the program takes from being launched until it reports that start-up is
# done (the "settled" line of its scrawlix.startup log category), and its resident memory at that point.
# Runs it RUNS times (default 10), each with a fresh, empty HOME, on a private 1920x1080 X session
# (tests/e2e/session.sh: Xvfb, openbox, tint2 with a tray).
#
#   bench/startup.sh [RUNS]        after a build (scripts/build.sh); SCRAWLIX_BIN picks another binary
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
checkout=$(cd "$here/.." && pwd)
runs=${1:-10}
case $runs in '' | *[!0-9]* | 0)
    echo "usage: $0 [RUNS]" >&2
    exit 2
    ;;
esac

if [ -z "${SCRAWLIX_BENCH_IN_SESSION:-}" ]; then
    bin=${SCRAWLIX_BIN:-$checkout/build/scrawlix}
    if [ ! -x "$bin" ]; then
        echo "startup bench: no program at $bin; build it first (scripts/build.sh)" >&2
        exit 1
    fi
    SCRAWLIX_BENCH_IN_SESSION=1 SCRAWLIX_SCREEN=1920x1080x24 SCRAWLIX_BIN=$bin \
        exec bash "$checkout/tests/e2e/session.sh" bash "$here/startup.sh" "$runs"
fi

# --- inside the session ------------------------------------------------------------------------------
timeout_s=30
settled_us=()
rss_kb=()

one_run() {
    local i=$1
    local home=$E2E_TMP/run-$i err=$E2E_TMP/run-$i.err log=$E2E_TMP/run-$i.log
    mkdir -p "$home/.config" "$home/.cache" "$home/.local/share"
    mkfifo "$err"
    local start end line pid fd status=0
    start=${EPOCHREALTIME/./}
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache XDG_DATA_HOME=$home/.local/share \
        QT_LOGGING_RULES=scrawlix.startup.info=true QT_FORCE_STDERR_LOGGING=1 \
        "$SCRAWLIX_BIN" 2>"$err" >/dev/null </dev/null &
    pid=$!
    exec {fd}<"$err"
    end=""
    # Each line as it comes, so the moment of the "settled" line is taken when it is written.
    while IFS= read -r -t "$timeout_s" -u "$fd" line; do
        echo "$line" >>"$log"
        if [[ $line == *settled* ]]; then
            end=${EPOCHREALTIME/./}
            break
        fi
    done
    if [ -z "$end" ]; then
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || status=$?
        echo "startup bench: run $i did not settle within $timeout_s s (exit status $status); its output:" >&2
        cat "$log" >&2 2>/dev/null || true
        exit 1
    fi
    settled_us+=($((end - start)))
    rss_kb+=("$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")")
    kill -TERM "$pid"
    exec {fd}<&- # the program may still write on its way out; it gets EPIPE, not a hang
    wait "$pid" 2>/dev/null || true
}

for ((i = 1; i <= runs; i++)); do one_run "$i"; done

# --- report ------------------------------------------------------------------------------------------
built=$(date -r "$SCRAWLIX_BIN" '+%Y-%m-%d %H:%M')
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$(dirname "$SCRAWLIX_BIN")/CMakeCache.txt" 2>/dev/null || true)
echo
echo "Scrawlix start-up: launch to \"settled\", and resident memory (VmRSS) then"
echo "  program  $SCRAWLIX_BIN (${build_type:-build type unknown}, built $built)"
echo "  screen   $(xdotool getdisplaygeometry | tr ' ' x) at 96 dpi, Xvfb $DISPLAY with openbox and a tint2 tray"
echo "  machine  $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "  runs     $runs, each with a fresh HOME"
echo
{
    for ((i = 0; i < runs; i++)); do echo "${settled_us[i]} ${rss_kb[i]}"; done
} | awk -v runs="$runs" '
    function median(a, n,   s) { s = n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2; return s }
    function sort(a, n,   i, j, t) { for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t } }
    { n++; ms[n] = $1 / 1000; mib[n] = $2 / 1024; printf "  run %3d   %9.1f ms   %7.1f MiB\n", n, ms[n], mib[n] }
    END {
        sort(ms, n); sort(mib, n)
        printf "\n  %-22s %9s %9s %9s\n", "", "median", "min", "max"
        printf "  %-22s %9.1f %9.1f %9.1f\n", "to settled (ms)", median(ms, n), ms[1], ms[n]
        printf "  %-22s %9.1f %9.1f %9.1f\n", "VmRSS settled (MiB)", median(mib, n), mib[1], mib[n]
    }'
