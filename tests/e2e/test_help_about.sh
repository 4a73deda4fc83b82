#!/usr/bin/env bash
# Help and About in the real program: the compiled help file beside the program holds the pages,
# Help hands it to the desktop's opener when an application takes help files and says it cannot
# otherwise, and the About box closes with Enter and with Esc.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

chm=$(dirname "$(readlink -f "$SCRAWLIX_BIN")")/Scrawlix_Help.chm

t_help_file() {
    section "the help file beside the program holds the pages"
    local pages=$E2E_TMP/chm f
    mkdir -p "$pages"
    extract_chmLib "$chm" "$pages" >/dev/null || fail "extract_chmLib cannot read $chm"
    for f in {intro,tray,tools,toolbox,shortcuts,options,settings}.html toc.hhc images/{canvas,toolbox}.png; do
        [ -s "$pages/$f" ] || fail "the help file has no $f"
    done
}

t_help_error() {
    section "Help without an application for help files says so and starts no opener"
    recording_opener
    start_scrawlix_settled
    tray_menu h
    wait_window "Help Error"
    xdotool key Return
    wait_window_gone "Help Error"
    [ ! -e "$E2E_TMP/opened.log" ] || fail "the opener was started: $(cat "$E2E_TMP/opened.log")"
}

t_help_viewer() {
    section "Help with a help viewer installed hands the help file to the opener"
    recording_opener
    desktop_app viewer "viewer %f" application/vnd.ms-htmlhelp
    start_scrawlix_settled
    tray_menu h
    wait_for 10 test -s "$E2E_TMP/opened.log" || fail "Help started no opener"
    expect_eq "the file Help opened" "$chm" "$(opened_path)"
}

t_about() {
    section "About from the tray menu closes with Enter and with Esc"
    start_scrawlix_settled
    for key in Return Escape; do
        tray_menu a
        wait_window "About Scrawlix 5.0.68"
        xdotool key "$key"
        wait_window_gone "About Scrawlix 5.0.68"
    done
    scrawlix_running || fail "the program ended"
}

run_section "$@"
