#!/usr/bin/env bash
# test_deb.sh BUILD-FOLDER: builds the Debian package with `cpack -G DEB` from the build folder's
# configuration into a scratch folder, checks its name and control fields, and runs lintian on it,
# which must report no errors and no warnings.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD-FOLDER}" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/scrawlix-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL test_deb: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh --tests installs it)"
done

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out") >"$scratch/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -20 "$scratch/cpack.log")"
deb=$scratch/out/scrawlix_5.0.68_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$scratch/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = scrawlix ] || fail "Package: $(field Package)"
[ "$(field Version)" = 5.0.68 ] || fail "Version: $(field Version)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ $(field Maintainer) == *"<"*"@"*">" ]] || fail "Maintainer: $(field Maintainer)"
# Depends as dpkg-shlibdeps computes it: the Qt libraries the program links, with versions.
[[ $(field Depends) == *"libqt6widgets6 (>="* && $(field Depends) == *"libqt6dbus6 (>="* ]] ||
    fail "Depends: $(field Depends)"
[[ $(field Recommends) == *xchm* && $(field Recommends) == *cups* ]] || fail "Recommends: $(field Recommends)"
[ -n "$(field Description | sed -n 2p)" ] || fail "the description has no long part"
contents=$(dpkg-deb -c "$deb")
grep -q ' ./usr/bin/scrawlix$' <<<"$contents" || fail "the package has no /usr/bin/scrawlix"
grep -q ' ./usr/share/scrawlix/Scrawlix_Help.chm$' <<<"$contents" || fail "the package has no help file"

# lintian runs as root here (CI), which it allows only when asked.
lintian --allow-root --fail-on error,warning --info "$deb" >"$scratch/lintian.log" 2>&1 || {
    cat "$scratch/lintian.log" >&2
    fail "lintian reports errors or warnings"
}
cat "$scratch/lintian.log"
echo "PASS test_deb: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB), lintian clean"
