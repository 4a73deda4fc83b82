# A private CUPS server for the print tests, sourced after lib.sh: its files under E2E_TMP, and only a
# socket of its own, where CUPS_SERVER points the program, so no other CUPS can add or take a printer.
# Its PDF printer is a cups-pdf queue whose instance (cups-pdf:/<instance> reads
# /etc/cups/cups-pdf-<instance>.conf) writes under E2E_TMP. Needs root, cupsd, lpadmin and cups-pdf.
# shellcheck shell=bash

CUPS_DIR=$E2E_TMP/cups
CUPS_PDF_OUT=$CUPS_DIR/out
_cups_pid=""
_cups_instance=scrawlix-e2e-$$

# At exit, before lib.sh's own exit handling, which gets the test's exit status unchanged: stops the
# server and removes its cups-pdf instance.
_cups_on_exit() {
    set +e
    trap - ERR
    [ -z "$_cups_pid" ] || { kill -TERM "$_cups_pid" && wait "$_cups_pid"; } 2>/dev/null
    rm -f "/etc/cups/cups-pdf-$_cups_instance.conf"
    return "$1"
}
_cups_prev_exit_trap=$(trap -p EXIT | sed -e "s/^trap -- '//" -e "s/' EXIT\$//")
# shellcheck disable=SC2064 # the previous handler is meant to be expanded now
trap "_cups_on_exit \$?; $_cups_prev_exit_trap" EXIT

_cups_scheduler_up() { lpstat -h "$CUPS_DIR/cups.sock" -r 2>/dev/null | grep -q 'is running'; }

# cups_start: starts the server, with no printer, and points CUPS_SERVER at it.
cups_start() {
    local d=$CUPS_DIR f pid
    [ "$(id -u)" -eq 0 ] || fail "the print tests start their own cupsd and need root"
    command -v cupsd >/dev/null || fail "cupsd is not installed (scripts/setup.sh --tests)"
    for f in /etc/cups/cups-pdf-scrawlix-e2e-*.conf; do # left by runs whose test process is gone
        pid=${f##*-e2e-}
        pid=${pid%%[!0-9]*}
        [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || rm -f "$f"
    done
    chmod o+x "$E2E_TMP"
    mkdir -p "$d"/{etc/ppd,spool/tmp,cache,state,log,out}
    chmod 0755 "$d" "$d/etc" "$d/out"
    printf '%s\n' "ServerRoot $d/etc" "RequestRoot $d/spool" "TempDir $d/spool/tmp" "CacheDir $d/cache" \
        "StateDir $d/state" "ErrorLog $d/log/error_log" "AccessLog $d/log/access_log" "PageLog $d/log/page_log" \
        "Printcap $d/state/printcap" "SystemGroup root" >"$d/cups-files.conf"
    printf '%s\n' "Listen $d/cups.sock" "Browsing No" "DefaultAuthType None" >"$d/cupsd.conf"
    cupsd -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" >"$d/log/cupsd.out" 2>&1 </dev/null &
    _cups_pid=$!
    wait_for 15 _cups_scheduler_up || {
        tail -n 20 "$d/log/error_log" "$d/log/cupsd.out" >&2 2>/dev/null || true
        fail "the private cupsd did not start"
    }
    export CUPS_SERVER=$d/cups.sock
    unset PRINTER LPDEST
}

# cups_add_pdf_printer NAME [MARGINS]: adds a cups-pdf printer and makes it the default. MARGINS "LEFT BOTTOM
# RIGHT TOP" in points (default none) narrows the printable area of every page size, as a real printer's
# unprintable border does.
cups_add_pdf_printer() {
    local ppd=$CUPS_DIR/$1.ppd
    [ -f /usr/lib/cups/backend/cups-pdf ] || fail "cups-pdf is not installed (scripts/setup.sh --tests)"
    printf '%s\n' "Out $CUPS_PDF_OUT" "AnonDirName $CUPS_PDF_OUT" "Spool $CUPS_DIR/spool/cups-pdf" \
        "Grp lp" "Log $CUPS_DIR/log" "LogType 3" >"/etc/cups/cups-pdf-$_cups_instance.conf"
    # "*ImageableArea A4/A4: "0 0 595 842"" becomes "L B 595-R 842-T".
    awk -v m="${2:-0 0 0 0}" '
        /^\*ImageableArea / && match($0, /"[0-9. ]+"/) && split(m, b, " ") {
            split(substr($0, RSTART + 1, RLENGTH - 2), a, " ")
            $0 = substr($0, 1, RSTART - 1) "\"" b[1] " " b[2] " " a[3] - b[3] " " a[4] - b[4] "\""
        }
        { print }' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$ppd"
    lpadmin -p "$1" -E -v "cups-pdf:/$_cups_instance" -P "$ppd" >/dev/null 2>&1 ||
        fail "lpadmin could not add the printer $1"
    lpadmin -d "$1" || fail "lpadmin could not make $1 the default"
}

# cups_pdfs: the PDF files the printer has written so far, one a line.
cups_pdfs() { find "$CUPS_PDF_OUT" -name '*.pdf' -size +0 2>/dev/null | sort; }

# wait_for_pdf COUNT: waits until the printer has written COUNT PDFs and no job is waiting or printing.
_cups_pdf_count_is() { [ "$(cups_pdfs | wc -l)" -eq "$1" ] && [ -z "$(lpstat -o 2>/dev/null)" ]; }
wait_for_pdf() {
    wait_for 60 _cups_pdf_count_is "$1" || {
        tail -n 15 "$CUPS_DIR/log/error_log" >&2 2>/dev/null || true
        fail "expected $1 PDF(s) from the printer, found $(cups_pdfs | wc -l); jobs: $(lpstat -o 2>&1 | tr '\n' ' ')"
    }
}
