# A private CUPS server for the print tests, sourced after lib.sh.
#
# Each server has its own configuration, spool and logs under E2E_TMP, listens only on a socket of its
# own, and is what the program sees through CUPS_SERVER, so neither the machine's CUPS (running or not)
# nor another test's server can add or take away a printer. Its PDF printer is a cups-pdf queue with an
# instance of its own (cups-pdf:/<instance> reads /etc/cups/cups-pdf-<instance>.conf), whose Out folder
# lies under E2E_TMP. cupsd runs its filters as the user lp, so E2E_TMP is made traversable (not
# readable) by others. Needs root, cupsd, lpadmin and printer-driver-cups-pdf (scripts/setup.sh --tests).
# shellcheck shell=bash

CUPS_DIR=""      # the server started last
CUPS_PDF_OUT=""  # where its PDF printer writes
_cups_pids=()
_cups_instances=()

# The cups-pdf instance files of earlier runs whose test process is gone.
_cups_remove_stale_instances() {
    local f pid
    for f in /etc/cups/cups-pdf-scrawlix-e2e-*.conf; do
        [ -e "$f" ] || continue
        pid=${f##*/cups-pdf-scrawlix-e2e-}
        pid=${pid%%-*}
        case $pid in '' | *[!0-9]*) continue ;; esac
        kill -0 "$pid" 2>/dev/null || rm -f "$f"
    done
}

_cups_cleanup() {
    local pid i
    for pid in "${_cups_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${_cups_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    for i in "${_cups_instances[@]}"; do rm -f "/etc/cups/cups-pdf-$i.conf"; done
}

# The clean-up runs before lib.sh's own exit handling, which gets the test's exit status unchanged.
_cups_status=0
_cups_on_exit() {
    _cups_status=$1
    set +e
    trap - ERR
    _cups_cleanup
}
_cups_prev_exit_trap=$(trap -p EXIT | sed -e "s/^trap -- '//" -e "s/' EXIT\$//")
# shellcheck disable=SC2064 # the previous handler is meant to be expanded now
trap "_cups_on_exit \$?; (exit \$_cups_status); $_cups_prev_exit_trap" EXIT

_cups_scheduler_up() { lpstat -h "$1" -r 2>/dev/null | grep -q 'is running'; }

# cups_start NAME: starts an empty server under E2E_TMP/cups-NAME and points CUPS_SERVER at it.
cups_start() {
    local name=$1 dir
    [ "$(id -u)" -eq 0 ] || fail "the print tests start their own cupsd and need root"
    command -v cupsd >/dev/null || fail "cupsd is not installed (scripts/setup.sh --tests)"
    _cups_remove_stale_instances
    chmod o+x "$E2E_TMP"
    dir=$E2E_TMP/cups-$name
    [ -e "$dir" ] && fail "cups_start $name: already used"
    mkdir -p "$dir/etc/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/out"
    chmod 0755 "$dir" "$dir/etc" "$dir/out"
    cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root
FileDevice No
Printcap $dir/state/printcap
EOF
    cat >"$dir/cupsd.conf" <<EOF
LogLevel info
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 </dev/null &
    _cups_pids+=($!)
    wait_for 15 _cups_scheduler_up "$dir/cups.sock" || {
        tail -n 20 "$dir/log/error_log" "$dir/log/cupsd.out" >&2 2>/dev/null || true
        fail "the private cupsd did not start"
    }
    CUPS_DIR=$dir
    export CUPS_SERVER=$dir/cups.sock
    unset PRINTER LPDEST
}

# cups_add_pdf_printer NAME [MARGINS]: adds a cups-pdf printer NAME to the server started last and makes
# it the default. MARGINS "LEFT BOTTOM RIGHT TOP" in points (default none) narrows the printable area of
# every page size in its PPD, as a real printer's unprintable border does.
cups_add_pdf_printer() {
    local printer=$1 margins=${2:-} instance ppd
    [ -n "$CUPS_DIR" ] || fail "cups_add_pdf_printer: no server (cups_start first)"
    [ -f /usr/lib/cups/backend/cups-pdf ] || fail "cups-pdf is not installed (scripts/setup.sh --tests)"
    instance=scrawlix-e2e-$$-${CUPS_DIR##*/cups-}
    cat >"/etc/cups/cups-pdf-$instance.conf" <<EOF
Out $CUPS_DIR/out
AnonDirName $CUPS_DIR/out
Spool $CUPS_DIR/spool/cups-pdf
Grp lp
Log $CUPS_DIR/log
LogType 3
EOF
    _cups_instances+=("$instance")
    ppd=$CUPS_DIR/$printer.ppd
    cp /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd "$ppd"
    if [ -n "$margins" ]; then
        local l b r t
        read -r l b r t <<<"$margins"
        # "*ImageableArea A4/A4: "0 0 595 842"" becomes "L B 595-R 842-T".
        awk -v l="$l" -v b="$b" -v r="$r" -v t="$t" '
            /^\*ImageableArea / && match($0, /"[0-9. ]+"/) {
                split(substr($0, RSTART + 1, RLENGTH - 2), a, " ")
                $0 = substr($0, 1, RSTART - 1) "\"" l " " b " " a[3] - r " " a[4] - t "\""
            }
            { print }' "$ppd" >"$ppd.new" && mv "$ppd.new" "$ppd"
    fi
    lpadmin -p "$printer" -E -v "cups-pdf:/$instance" -P "$ppd" >/dev/null 2>&1 ||
        fail "lpadmin could not add the printer $printer"
    lpadmin -d "$printer" || fail "lpadmin could not make $printer the default"
    cupsenable "$printer" && cupsaccept "$printer"
    CUPS_PDF_OUT=$CUPS_DIR/out
}

# cups_pdfs: the PDF files the printer has written so far, one a line.
cups_pdfs() { find "$CUPS_PDF_OUT" -name '*.pdf' -size +0 2>/dev/null | sort; }

# cups_jobs_done: no job is waiting or printing.
cups_jobs_done() { [ -z "$(lpstat -o 2>/dev/null)" ]; }

# wait_for_pdf COUNT [TIMEOUT]: waits until the printer has written COUNT PDFs and the queue is empty.
_cups_pdf_count_is() { [ "$(cups_pdfs | wc -l)" -eq "$1" ] && cups_jobs_done; }
wait_for_pdf() {
    wait_for "${2:-60}" _cups_pdf_count_is "$1" || {
        tail -n 15 "$CUPS_DIR/log/error_log" >&2 2>/dev/null || true
        fail "expected $1 PDF(s) from the printer, found $(cups_pdfs | wc -l); jobs: $(lpstat -o 2>&1 | tr '\n' ' ')"
    }
}
