#!/usr/bin/env bash
# The Debian package built without the tests (in the folder given, or build-package), checked by
# lintian, installed (as root; else only unpacked), its desktop files validated, the installed
# program started (the e2e scenario "package"), then removed, leaving nothing behind.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$(realpath -m "${1:-build-package}")"
fail() { echo "FAIL: $*"; exit 1; }
installed="" root=""
trap '[ -z "$installed" ] || dpkg -r zarnik >/dev/null 2>&1; [ -z "$root" ] || rm -rf "$root"' EXIT

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; fail "cpack failed"; }
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
deb="$build/zarnik_${version}_$(dpkg --print-architecture).deb"
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
depends="$(dpkg-deb -f "$deb" Depends)" && echo "Depends: $depends"
for name in libc6 libqt6widgets6 libxcb1 qt6-qpa-plugins qt6-translations-l10n xdg-utils; do
    [[ ", $depends," == *", $name"[\ ,]* ]] || fail "Depends does not name $name"
done
# What the package holds, and which of its folders it makes: none may stay after its removal.
mapfile -t contents < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' | grep .)
mapfile -t new < <(for path in "${contents[@]}"; do [ -e "$path" ] || echo "$path"; done)

if [ "$(id -u)" -eq 0 ]; then
    exec 9>/tmp/zarnik-package-check.lock # /usr is one for every build on this machine
    flock -w 900 9 || fail "another package check kept /usr busy"
    ! dpkg-query -W -f='${Status}' zarnik 2>/dev/null | grep -q 'ok installed' || dpkg -r zarnik
    installed=1
    dpkg -i "$deb" >"$build/dpkg.log" 2>&1 || { cat "$build/dpkg.log"; fail "dpkg -i failed"; }
else
    echo "not root: unpacking the package with dpkg -x instead of installing it"
    root="$(mktemp -d /tmp/zarnik-package.XXXXXX)" && dpkg -x "$deb" "$root"
fi
desktop="$(printf "$root%s\n" "${contents[@]}" | grep '/usr/share/applications/.*\.desktop$')"
id="$(basename "$desktop" .desktop)"
entry() { sed -n "s/^$1=//p" "$desktop"; }
report="$(desktop-file-validate "$desktop" 2>&1)" && [ -z "$report" ] || fail "$desktop: $report"
program="$root/usr/bin/$(entry Exec)"
readelf -d "$program" | grep -q 'FLAGS.* NOW' || fail "$program was not linked with -z now"
icons="$root/usr/share/icons/hicolor"
for size in 16 32 48 64 128 256; do
    png="$icons/${size}x${size}/apps/$(entry Icon).png"
    [ "$(identify -format '%wx%h %z' "$png")" = "${size}x${size} 8" ] || fail "$png: not 8 bits"
done
file -b "$icons/scalable/apps/$(entry Icon).svg" | grep -q SVG || fail "no scalable icon"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "$metainfo does not launch $id.desktop"
report="$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1)" &&
    ! grep -q '^[EWIP]:' <<<"$report" || fail "appstreamcli on $metainfo: $report"
# The desktop shell matches a window to its entry by the window's class.
E2E_WM_CLASS="$(entry StartupWMClass)" bash tests/e2e/run.sh "$program" "$build" package bare
if [ -n "$installed" ]; then
    dpkg -r zarnik >"$build/dpkg.log" 2>&1 || { cat "$build/dpkg.log"; fail "dpkg -r failed"; }
    installed=""
    for path in "${new[@]}"; do [ ! -e "$path" ] || fail "left after dpkg -r: $path"; done
    echo "installed, started and removed: nothing of its ${#contents[@]} files and folders left"
fi
