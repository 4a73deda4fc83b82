#!/usr/bin/env bash
# Help and About in the real program: Help hands the compiled help file beside the program to the
# desktop's opener (a recording xdg-open here), and the help file holds every page with what the
# pages link to; the About box closes with Enter and Esc, its link opens
# the web page, and asking for it from the tray while the toolbox's one is open brings that one up.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialogs_lib.sh"

about="About Scrawlix 5.0.68"
program_dir=$(dirname "$(readlink -f "$SCRAWLIX_BIN")")
chm=$program_dir/Scrawlix_Help.chm
fake_opener

section "the help file beside the program holds the pages and what they link to"
[ -s "$chm" ] || fail "no help file at $chm"
pages=$E2E_TMP/chm
mkdir -p "$pages"
extract_chmLib "$chm" "$pages" >/dev/null || fail "extract_chmLib cannot read $chm"
for page in intro tray tools toolbox shortcuts options settings; do
    [ -s "$pages/$page.htm" ] || fail "the help file has no $page.htm"
done
for f in toc.hhc index.hhk scrawlix.css images/canvas.png images/toolbox.png images/options.png; do
    [ -s "$pages/$f" ] || fail "the help file has no $f"
done
grep -q 'Scrawlix.conf' "$pages/settings.htm" || fail "the settings page does not say where the settings live"
# Every local link and picture of every page, and every entry of the contents and the index.
for f in "$pages"/*.htm "$pages"/toc.hhc "$pages"/index.hhk; do
    for target in $(grep -oiE '(href|src|value)="[^"#:]+\.(htm|png|css)"' "$f" | sed 's/^[^"]*"//; s/"$//'); do
        [ -s "$pages/$target" ] || fail "$(basename "$f") refers to $target, which the help file lacks"
    done
done

section "Help from the tray menu hands the help file to the opener"
start_scrawlix_settled
dlg_tray_menu h
wait_for 10 opened_something || fail "Help started no opener"
nap 0.5
[ "$(opened_count)" = 1 ] || fail "the opener was started $(opened_count) times"
arg=$(opened_lines)
case $arg in
    file://*) opened=$(url_decode "${arg#file://}") ;;
    *) opened=$arg ;;
esac
[ "$opened" = "$chm" ] || fail "the opener got '$arg', not $chm"
holds_for 1 no_window_named "Help Error" || fail "a help error was reported although the file is there"
scrawlix_running || fail "the program ended"
stop_scrawlix || fail "TERM did not end the program"

section "About from the tray menu closes with Enter and with Esc"
start_scrawlix_settled
for key in Return Escape; do
    dlg_tray_menu a
    box=$(wait_window "$about")
    read -r x y w h < <(window_geometry "$box")
    [ "$w $h" = "522 193" ] || fail "the About box is ${w}x$h, not 522x193"
    wait_for 5 active_window_is "$box" || fail "the About box did not get the focus"
    xdotool key "$key"
    wait_window_gone "$about"
done

section "the link opens the web page and closes the box"
: >"$E2E_TMP/opened.log"
dlg_tray_menu a
box=$(wait_window "$about")
# Frame2 (3240, 0) + lblWebAddress (120, 1200) in twips, plus a little.
click_client "$box" $(((3240 + 120) / 15 + 20)) $(((0 + 1200) / 15 + 6))
wait_for 10 opened_something || fail "the link started no opener"
[ "$(opened_lines)" = "https://scrawlix.app/products/scrawlix/" ] || fail "the link opened '$(opened_lines)'"
wait_window_gone "$about"

section "About from the tray while the toolbox's About is open brings that one up"
dlg_tray_menu Down Down Down Return # Show Toolbox
toolbox=$(wait_window Toolbox)
# cmdAbout at (1080, 4680) twips, 375 twips square.
click_client "$toolbox" $((1080 / 15 + 12)) $((4680 / 15 + 12))
box=$(wait_window "$about")
click_client "$toolbox" 70 5 # the toolbox takes the focus back
wait_for 5 eval '! active_window_is '"$box" || fail "the About box kept the focus"
dlg_tray_menu a
wait_for 5 active_window_is "$box" || fail "the open About box was not brought up"
[ "$(windows_named "$about" | wc -l)" = 1 ] || fail "a second About box opened"
xdotool key Return
wait_window_gone "$about"
scrawlix_running || fail "the program ended"
stop_scrawlix || fail "TERM did not end the program"
