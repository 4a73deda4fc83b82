#!/usr/bin/env bash
# Scrawlix side by side with a peer, flameshot, in the same private X session (Xvfb, openbox, tint2
# with a tray; tests/e2e/session.sh), and Scrawlix's memory, copy and save on a large screen:
#
#   at 1920x1080 and 3840x2160, both programs: resident memory (VmRSS) and CPU over 10 s waiting in
#     the tray; the same with the canvas (Scrawlix) or the overlay (flameshot gui) shown and the
#     mouse still; the time the user waits, from the request being sent to the full-screen canvas
#     or overlay being mapped, over PRESSES requests a random 0.2 to 1.2 s apart (Scrawlix:
#     `xdotool key super+v` from its start, with the wait the program reports as detail;
#     flameshot: `flameshot gui` from its start); the ratios.
#   Scrawlix: the canvas's memory against the screen's bytes, and the memory in the tray after
#     PRESSES capture -> Send to System Tray cycles.
#   at 3840x2160, Scrawlix: Ctrl+C to the clipboard owned, the save dialog's OK to the file closed,
#     and the longest stretch in which the event loop did not run (its "scrawlix.loop" probe).
#
#   bench/peers.sh [PRESSES]       after a build (scripts/build.sh); default 20 presses
#   PEERS_SIZES="3840x2160" bench/peers.sh 2     one screen size only, a quick look
#
# flameshot comes from Debian, installed here if missing; Scrawlix does not need it. The request
# times are taken by bench/xwatch, which waits on X events instead of polling.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
checkout=$(cd "$here/.." && pwd)
presses=${1:-20}
case $presses in '' | *[!0-9]* | 0)
    echo "usage: $0 [PRESSES]" >&2
    exit 2
    ;;
esac

if [ -z "${PEERS_SIZE:-}" ]; then
    bin=${SCRAWLIX_BIN:-$checkout/build/scrawlix}
    xwatch=${XWATCH_BIN:-$checkout/build/bench/xwatch}
    for f in "$bin" "$xwatch"; do
        if [ ! -x "$f" ]; then
            echo "peers bench: no program at $f; build first (scripts/build.sh)" >&2
            exit 1
        fi
    done
    if ! command -v flameshot >/dev/null; then
        echo "peers bench: installing flameshot (Debian) for the comparison" >&2
        sudo=""
        [ "$(id -u)" = 0 ] || sudo=sudo
        $sudo apt-get install -y -qq --no-install-recommends flameshot >/dev/null
    fi
    echo "Scrawlix beside flameshot $(flameshot --version 2>/dev/null | head -1 | awk '{ print $2 }')"
    echo "  program  $bin (built $(date -r "$bin" '+%Y-%m-%d %H:%M'))"
    echo "  machine  $(nproc) CPUs; $(uptime | sed 's/.*load/load/')"
    echo "  started  $(date -u '+%Y-%m-%d %H:%M:%S UTC'); $presses requests per program"
    status=0
    for size in ${PEERS_SIZES:-1920x1080 3840x2160}; do
        PEERS_SIZE=$size SCRAWLIX_SCREEN=${size}x24 SCRAWLIX_BIN=$bin XWATCH_BIN=$xwatch \
            bash "$checkout/tests/e2e/session.sh" bash "$here/peers.sh" "$presses" || status=1
    done
    echo "  finished $(date -u '+%H:%M:%S UTC'); $(uptime | sed 's/.*load/load/')"
    exit $status
fi

# --- inside the session ------------------------------------------------------------------------------
source "$checkout/tests/e2e/lib.sh"
source "$checkout/tests/e2e/canvas_lib.sh"
source "$checkout/tests/e2e/imaging.sh"
source "$checkout/tests/e2e/dialogs_lib.sh"
trap - ERR # a failing measurement says so and the rest goes on
set +e

W=${PEERS_SIZE%x*} H=${PEERS_SIZE#*x}
screen_mb=$(awk -v w="$W" -v h="$H" 'BEGIN { printf "%.1f", w * h * 4 / 1e6 }')
hz=$(getconf CLK_TCK)

rss_mb() { awk '/^VmRSS:/ { printf "%.1f", $2 * 1024 / 1e6 }' "/proc/$1/status"; }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# cpu_10s PID: percentage of one core that PID used over the next 10 s.
cpu_10s() {
    local a b
    a=$(ticks "$1")
    nap 10
    b=$(ticks "$1")
    awk -v d=$((b - a)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / hz / 10 }'
}
# stats: median, max and max/median of the numbers on stdin.
stats() { sort -g | awk '{ v[NR] = $1 } END { m = v[int((NR + 1) / 2)]; printf "%.1f %.1f %.2f", m, v[NR], (m > 0 ? v[NR] / m : 0) }'; }
# pause: a random 0.2 to 1.2 s, as between a person's requests.
pause() { nap "$(awk -v r="$RANDOM" 'BEGIN { printf "%.3f", 0.2 + r / 32767 }')"; }
# max_gap FROM: the longest "loop gap" in the program's log from line FROM on (0 when none).
max_gap() { tail -n +"$1" "$SCRAWLIX_LOG" | awk '/loop gap/ { g = $(NF - 1); if (g > m) m = g } END { print m + 0 }'; }
log_lines() { wc -l <"$SCRAWLIX_LOG"; }
row() { printf '  %-44s %s\n' "$1" "$2"; }

echo
echo "== screen ${W}x$H ($screen_mb MB of pixels); $(uptime | sed 's/.*load/load/')"

# --- Scrawlix ----------------------------------------------------------------------------------------
noisy_desktop() { # at the session's size, not the e2e tests' fixed one
    convert -size "${W}x$H" -seed 7 xc:gray +noise Random -alpha off -depth 8 -type TrueColor \
        "PNG24:$E2E_TMP/desktop.png"
    display -window root "$E2E_TMP/desktop.png" || true
}
noisy_desktop
QT_LOGGING_RULES="scrawlix.capture.info=true" start_scrawlix_settled
pid=$SCRAWLIX_PID
nap 2
s_tray_rss=$(rss_mb "$pid")
s_tray_cpu=$(cpu_10s "$pid")

capture_screen
wait_canvas
pointer_to $((W / 2)) $((H / 2))
nap 1
s_shown_rss=$(rss_mb "$pid")
s_shown_cpu=$(cpu_10s "$pid")

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
s_lat=() s_key=() s_wait=()
for ((i = 1; i <= presses; i++)); do
    click_toolbox totray
    wait_for 5 canvas_hidden || { echo "  Scrawlix: the canvas did not go to the tray" >&2; break; }
    pause
    waits=$(grep -c 'settle wait' "$SCRAWLIX_LOG")
    read -r ms key_ms < <("$XWATCH_BIN" map "$W" "$H" -- xdotool key --clearmodifiers super+v 2>>"$E2E_TMP/xwatch.log") ||
        { echo "  Scrawlix: no canvas after Super+V" >&2; break; }
    wait_for 5 eval '[ "$(grep -c "settle wait" "$SCRAWLIX_LOG")" -gt '"$waits"' ]'
    s_lat+=("$ms")
    s_key+=("$key_ms")
    s_wait+=("$(grep 'settle wait' "$SCRAWLIX_LOG" | tail -1 | awk '{ print $(NF - 1) }')")
    wait_canvas
done
click_toolbox totray
wait_for 5 canvas_hidden
nap 2
s_after_rss=$(rss_mb "$pid")
phase_median() { # TEXT: the median of the last field but one of the log's lines with TEXT
    grep "$1" "$SCRAWLIX_LOG" | tail -n "$presses" | awk '{ print $(NF - 1) }' |
        sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] + 0 }'
}
phases="settled $(phase_median 'settle wait'), frozen copy shown $(phase_median 'frozen copy shown'), picture $(phase_median 'picture after'), drawn $(phase_median 'shown after') ms after the request reached it"
stop_scrawlix

read -r s_med s_max s_ratio < <(printf '%s\n' "${s_lat[@]}" | stats)
read -r k_med k_max _ < <(printf '%s\n' "${s_key[@]}" | stats)
read -r w_med w_max _ < <(printf '%s\n' "${s_wait[@]}" | stats)
echo "-- Scrawlix"
row "RSS in the tray" "$s_tray_rss MB"
row "CPU in the tray, 10 s" "$s_tray_cpu % of a core"
row "RSS with the canvas shown" "$s_shown_rss MB"
awk -v a="$s_shown_rss" -v b="$s_tray_rss" -v s="$screen_mb" \
    'BEGIN { printf "  %-44s %.1f MB = %.2f x the screen (goal <= 2.2 x: %.1f MB)\n", "  canvas minus tray", a - b, (a - b) / s, 2.2 * s }'
row "CPU with the canvas shown, still, 10 s" "$s_shown_cpu % of a core (goal <= 0.5)"
row "REQUEST TO CANVAS MAPPED (xdotool's start)" "median $s_med ms, max $s_max ms (${#s_lat[@]} requests)"
row "  from the server's key press" "median $k_med ms, max $k_max ms"
row "  the settle wait inside it" "median $w_med ms, max $w_max ms"
row "  median phases (program's log)" "$phases"
awk -v a="$s_after_rss" -v b="$s_tray_rss" \
    'BEGIN { printf "  %-44s %.1f MB, %+.1f MB against the tray at start (goal within 2)\n", "RSS in the tray after the capture cycles", a, a - b }'

# --- copy and save, large screen only -----------------------------------------------------------------
if [ "$W" -ge 3840 ]; then
    QT_LOGGING_RULES="scrawlix.loop.info=true" start_scrawlix_settled
    capture_screen
    wait_canvas
    copies=() copy_gaps=() saves=() save_gaps=()
    for i in 1 2 3; do
        _canvas_focused || xdotool windowactivate "$CANVAS" 2>/dev/null || xdotool windowfocus "$CANVAS"
        wait_for 5 _canvas_focused
        from=$(($(log_lines) + 1))
        ms=$("$XWATCH_BIN" clipboard -- xdotool keydown ctrl key c 2>>"$E2E_TMP/xwatch.log") || ms=""
        nap 0.3
        xdotool keyup ctrl
        wait_for 5 toolbox_shown
        nap 0.5
        [ -n "$ms" ] && copies+=("$ms") && copy_gaps+=("$(max_gap "$from")")

        file=$E2E_TMP/save-$i.bmp
        _canvas_focused || xdotool windowactivate "$CANVAS" 2>/dev/null || xdotool windowfocus "$CANVAS"
        wait_for 5 _canvas_focused
        from=$(($(log_lines) + 1))
        xdotool keydown ctrl key s
        wait_for 20 app_window_named "Save Image..." || { xdotool keyup ctrl; echo "  no save dialog" >&2; break; }
        xdotool keyup ctrl
        dlg=$(app_window_named "Save Image...")
        wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((dlg))" ]' || xdotool windowactivate "$dlg" 2>/dev/null
        xdotool type --delay 8 "$file"
        nap 0.3
        ms=$("$XWATCH_BIN" file "$file" -- xdotool key Return 2>>"$E2E_TMP/xwatch.log") || ms=""
        wait_for 10 no_window_named "Save Image..."
        nap 0.5
        [ -n "$ms" ] && saves+=("$ms") && save_gaps+=("$(max_gap "$from")")
        rm -f "$file"
    done
    stop_scrawlix
    [ ${#saves[@]} -gt 0 ] || { echo "  saving was not timed; the watcher said:" >&2; tail -5 "$E2E_TMP/xwatch.log" >&2; ls "$E2E_TMP" >&2; }
    echo "-- Scrawlix, copy and save of the ${W}x$H canvas (3 of each)"
    read -r m x _ < <(printf '%s\n' "${copies[@]}" | stats)
    read -r _ g _ < <(printf '%s\n' "${copy_gaps[@]}" | stats)
    row "Ctrl+C to the clipboard owned" "median $m ms, max $x ms; longest loop gap $g ms (goal <= 150)"
    read -r m x _ < <(printf '%s\n' "${saves[@]}" | stats)
    read -r _ g _ < <(printf '%s\n' "${save_gaps[@]}" | stats)
    row "save dialog OK to the file closed" "median $m ms, max $x ms; longest loop gap $g ms, Ctrl+S to closed (goal <= 150)"
fi

# --- the peer -------------------------------------------------------------------------------------------
if :; then
    mkdir -p "$XDG_CONFIG_HOME/flameshot"
    cat >"$XDG_CONFIG_HOME/flameshot/flameshot.ini" <<'EOF'
[General]
showHelp=false
showStartupLaunchMessage=false
showDesktopNotification=false
disabledTrayIcon=false
EOF
    flameshot >"$E2E_TMP/flameshot.log" 2>&1 </dev/null &
    fpid=$!
    _e2e_pids+=("$fpid")
    has_tray() { [ -n "$(tray_icons_of_pid "$fpid")" ]; }
    wait_for 20 has_tray || echo "  flameshot: no tray icon (timing the rest anyway)" >&2
    nap 2
    f_tray_rss=$(rss_mb "$fpid")
    f_tray_cpu=$(cpu_10s "$fpid")
    overlay() { # flameshot's viewable window that covers the screen
        local w
        for w in $(xdotool search --onlyvisible --classname '^flameshot$' 2>/dev/null); do
            [ "$(window_geometry "$w" | awk '{ print $3 "x" $4 }')" = "${W}x$H" ] && { echo "$w"; return 0; }
        done
        return 1
    }
    no_overlay() { ! overlay >/dev/null; }
    close_overlay() {
        xdotool key Escape
        wait_for 5 no_overlay || { xdotool key Escape; wait_for 5 no_overlay; }
    }
    f_lat=()
    f_shown_rss="" f_shown_cpu=""
    for ((i = 1; i <= presses; i++)); do
        pause
        read -r ms _ < <("$XWATCH_BIN" map "$W" "$H" -- flameshot gui 2>>"$E2E_TMP/xwatch.log") ||
            { echo "  flameshot: no overlay" >&2; break; }
        f_lat+=("$ms")
        wait_for 5 overlay
        if [ -z "$f_shown_rss" ]; then
            # The overlay belongs to the `flameshot gui` process; the daemon keeps the tray.
            gpid=$(xdotool getwindowpid "$(overlay)")
            pointer_to $((W / 2)) $((H / 2))
            nap 1
            f_gui_rss=$(rss_mb "$gpid")
            f_shown_rss=$(awk -v a="$(rss_mb "$fpid")" -v b="$f_gui_rss" 'BEGIN { printf "%.1f", a + b }')
            f_shown_cpu=$(awk -v a="$gpid" -v b="$fpid" 'BEGIN { print a " " b }' | {
                read -r a b
                t0=$(($(ticks "$a") + $(ticks "$b")))
                nap 10
                t1=$(($(ticks "$a") + $(ticks "$b")))
                awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / hz / 10 }'
            })
        fi
        nap 0.3
        close_overlay
    done
    nap 2
    f_after_rss=$(rss_mb "$fpid")
    kill "$fpid" 2>/dev/null
    read -r f_med f_max f_ratio < <(printf '%s\n' "${f_lat[@]}" | stats)
    echo "-- flameshot (daemon in the tray; flameshot gui)"
    row "RSS in the tray" "$f_tray_rss MB"
    row "CPU in the tray, 10 s" "$f_tray_cpu % of a core"
    row "RSS with the overlay shown" "$f_shown_rss MB (daemon + the gui process's $f_gui_rss MB)"
    row "CPU with the overlay shown, still, 10 s" "$f_shown_cpu % of a core (both processes)"
    row "REQUEST TO OVERLAY MAPPED (flameshot gui's start)" "median $f_med ms, max $f_max ms (${#f_lat[@]} requests)"
    row "RSS in the tray after the requests" "$f_after_rss MB"
    echo "-- ratios, Scrawlix / flameshot"
    goal=0.2
    [ "$W" -lt 3840 ] || goal=0.3
    awk -v a="$s_med" -v b="$f_med" -v g="$goal" 'BEGIN { printf "  %-44s %.3f (goal <= %s)\n", "request to mapped, medians", a / b, g }'
    [ "$W" -ge 3840 ] || awk -v a="$s_max" -v b="$f_med" 'BEGIN { printf "  %-44s %.3f (goal <= 0.4)\n", "Scrawlix max / flameshot median", a / b }'
    awk -v a="$s_tray_rss" -v b="$f_tray_rss" 'BEGIN { printf "  %-44s %.2f (goal <= 1.1)\n", "RSS in the tray", a / b }'
    awk -v a="$s_shown_rss" -v b="$f_shown_rss" 'BEGIN { printf "  %-44s %.2f\n", "RSS with the canvas / overlay shown", a / b }'
    awk -v a="$s_shown_cpu" -v b="$f_shown_cpu" 'BEGIN { if (b > 0) printf "  %-44s %.2f\n", "CPU with the canvas / overlay shown", a / b; else printf "  %-44s %s / %s %%\n", "CPU with the canvas / overlay shown", a, b }'
fi
exit 0
