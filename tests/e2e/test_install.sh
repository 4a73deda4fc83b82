#!/usr/bin/env bash
# The installed program: `cmake --install` into a DESTDIR puts every file in its place, and the
# installed binary, its desktop entry and its help work from there.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/canvas_lib.sh"

# SCRAWLIX_INSTALLED_ROOT=/ checks a program installed already (from the package, in a throw-away
# root: scripts/check-deb-install.sh); otherwise each section installs this build into a DESTDIR.
root=${SCRAWLIX_INSTALLED_ROOT:-$E2E_TMP/root}
id=io.github.scrawlix.Scrawlix
data=${root%/}/usr/share/scrawlix
entry=${root%/}/usr/share/applications/$id.desktop
if [ -z "${SCRAWLIX_INSTALLED_ROOT:-}" ]; then
    DESTDIR=$root cmake --install "${SCRAWLIX_BUILD_DIR:?the build folder, set by CTest}" --prefix /usr \
        >"$E2E_TMP/install.log" 2>&1 || fail "cmake --install failed: $(tail -5 "$E2E_TMP/install.log")"
fi

# start_installed: the installed program in the tray; a recording opener ahead of it shows Help's choice.
start_installed() {
    recording_opener
    export PATH=$E2E_TMP/bin:${root%/}/usr/bin:$PATH SCRAWLIX_BIN=${root%/}/usr/bin/scrawlix
    start_in_tray
}
entry_exec() { # ACTION: the Exec line of the desktop entry's action
    awk -v head="[Desktop Action $1]" '$0 == head { inside = 1; next } /^\[/ { inside = 0 }
        inside && /^Exec=/ { sub(/^Exec=/, ""); print }' "$entry"
}

t_files() {
    section "the installed files are in their places"
    expected=(
        usr/bin/scrawlix
        "usr/share/applications/$id.desktop"
        "usr/share/metainfo/$id.metainfo.xml"
        "usr/share/icons/hicolor/scalable/apps/$id.svg"
        usr/share/man/man1/scrawlix.1.gz
        usr/share/doc/scrawlix/{README.md,LICENSE,copyright,changelog.gz}
        usr/share/scrawlix/Scrawlix_Help.chm
        usr/share/scrawlix/help/{index,intro,tray,tools,toolbox,shortcuts,options,settings}.html
        usr/share/scrawlix/help/scrawlix.css
    )
    for size in 16 22 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png"); done
    if [ -z "${SCRAWLIX_INSTALLED_ROOT:-}" ]; then
        have=$(cd "$root" && find . -type f ! -path './usr/share/scrawlix/help/images/*' | sed 's|^\./||' | sort)
        want=$(printf '%s\n' "${expected[@]}" | sort)
        [ "$have" = "$want" ] || fail "the installed files differ (< expected, > installed):
$(diff <(echo "$want") <(echo "$have") | grep '^[<>]' || true)"
    else
        for f in "${expected[@]}"; do [ -f "${root%/}/$f" ] || fail "$f is not installed"; done
    fi
    [ -x "${root%/}/usr/bin/scrawlix" ] || fail "the program is not executable"
    for size in 16 22 24 32 48 64 128 256; do
        expect_eq "the ${size}px icon's size" "${size}x$size" \
            "$(identify -format '%wx%h' "${root%/}/usr/share/icons/hicolor/${size}x$size/apps/$id.png")"
    done
    # Every page and picture a page points to is installed, and the index leads to every page.
    for page in "$data"/help/*.html; do
        for link in $(grep -o '\(href\|src\)="[^"#:]*"' "$page" | sed 's/^[a-z]*="//; s/"$//'); do
            [ -f "$data/help/$link" ] || fail "${page##*/} points to $link, which is not installed"
        done
        [ "${page##*/}" = index.html ] || grep -q "href=\"${page##*/}\"" "$data/help/index.html" ||
            fail "the help's index.html does not lead to ${page##*/}"
    done
    manual=$(MANWIDTH=80 man -l -P cat "${root%/}/usr/share/man/man1/scrawlix.1.gz" 2>&1) || fail "man cannot show the manual page: $manual"
    for option in --capture-screen --capture-window --show --open --exit --help --version; do
        grep -q -- "$option" <<<"$manual" || fail "the manual page lacks $option"
    done
}

t_program() {
    section "the installed program starts into the tray and takes Super+V"
    start_installed
    hotkey_canvas
    send_to_tray
    section "the desktop entry's Capture Screen action drives the running program"
    action_exec=$(entry_exec CaptureScreen)
    [ -n "$action_exec" ] || fail "the desktop entry has no Capture Screen action"
    # shellcheck disable=SC2086 # the Exec line is a command line
    timeout 20 $action_exec || fail "'$action_exec' failed"
    wait_canvas 0 0 1920 1080
    send_to_tray
    section "a file manager offers the entry for BMP, PNG, JPEG and GIF files, and it opens them"
    # The types' applications as GLib finds them, from the cache that the package's trigger makes.
    # The entry names the program by its full installed path, which here lies under the DESTDIR: the
    # copy names it there, as the installed entry would find it.
    mkdir -p "$E2E_TMP/apps/applications"
    sed -E "s|^Exec=/|Exec=${root%/}/|" "$entry" >"$E2E_TMP/apps/applications/$id.desktop"
    update-desktop-database "$E2E_TMP/apps/applications" || fail "update-desktop-database failed"
    for type in image/bmp image/png image/jpeg image/gif; do
        apps=$(XDG_DATA_DIRS=$E2E_TMP/apps gio mime "$type" 2>&1) || true
        grep -q "^[[:space:]]*$id.desktop\$" <<<"$apps" || fail "the desktop entry does not offer to open $type files: $apps"
    done
    convert -size 320x240 xc:'#2080c0' "PNG24:$E2E_TMP/photo one.png"
    timeout 20 gio launch "$E2E_TMP/apps/applications/$id.desktop" "$E2E_TMP/photo one.png" ||
        fail "gio launch failed"
    wait_canvas 0 0 320 240
    send_to_tray
    open_exec=$(entry_exec OpenImage)
    [[ $open_exec == *" %f" ]] || fail "the Open Image action takes no file: $open_exec"
    convert -size 200x100 xc:'#c08020' "GIF:$E2E_TMP/small.gif"
    # shellcheck disable=SC2086 # the Exec line is a command line
    timeout 20 ${open_exec% %f} "$E2E_TMP/small.gif" || fail "'$open_exec' failed"
    wait_canvas 0 0 200 100
    send_to_tray
    section "Help opens the installed help file when a viewer takes it"
    desktop_app viewer "viewer %f" application/vnd.ms-htmlhelp
    tray_menu h
    wait_for 10 test -s "$E2E_TMP/opened.log" || fail "Help started no opener"
    expect_eq "the file Help opened" "$data/Scrawlix_Help.chm" "$(opened_path)"
    section "with no viewer for the help file, Help opens the installed pages in the browser"
    rm "$XDG_DATA_HOME/applications/viewer.desktop" "$E2E_TMP/opened.log"
    desktop_app browser "browser %u" text/html
    tray_menu h
    wait_for 10 test -s "$E2E_TMP/opened.log" || fail "Help started no opener"
    expect_eq "the page Help opened" "$data/help/index.html" "$(opened_path)"
    scrawlix_running || fail "the program ended"
    stop_scrawlix || fail "TERM did not end the program"
}

run_section "$@"
