#!/usr/bin/env bash
# The Debian package as a packager and a user meet it: built in its own Release folder without the
# tests, checked by lintian, installed with dpkg (as root; otherwise only unpacked with dpkg -x),
# its desktop entry, metadata and icons validated by the desktop's own tools, the installed program
# started on its own X server until its main window maps, then removed, leaving nothing behind.
# Usage: bash tests/e2e/package_check.sh [build folder, default build-package]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build-package}"
X11_SHOTS="$build/screenshots"
source tests/x11/lib.sh
installed=""
unpacked=""
cleanup() {
    x11_cleanup || true
    [ -n "$installed" ] && dpkg -r zarnik >/dev/null 2>&1
    [ -n "$unpacked" ] && rm -rf "$unpacked"
    return 0
}
trap cleanup EXIT

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; x11_fail "cpack failed"; }
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
deb="$build/zarnik_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || x11_fail "cpack made no $deb"
echo "package: $deb"

lintian --fail-on error,warning "$deb" || x11_fail "lintian reports errors or warnings"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for name in libc6 libqt6widgets6 libxcb1 qt6-qpa-plugins qt6-translations-l10n xdg-utils; do
    [[ ", $depends," == *", $name"[\ ,]* ]] || x11_fail "Depends does not name $name"
done

# What the package holds, and which of its folders it makes: none of them may stay after removal.
mapfile -t contents < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' | grep .)
new_paths=()
for path in "${contents[@]}"; do [ -e "$path" ] || new_paths+=("$path"); done

if [ "$(id -u)" -eq 0 ]; then
    exec 9>/tmp/zarnik-package-check.lock
    flock -w 900 9 || x11_fail "another package check kept /usr busy"
    if dpkg-query -W -f='${Status}' zarnik 2>/dev/null | grep -q 'ok installed'; then
        echo "removing the zarnik package installed before this test"
        dpkg -r zarnik >/dev/null
    fi
    installed=1
    dpkg -i "$deb" >"$build/dpkg.log" 2>&1 || { cat "$build/dpkg.log"; x11_fail "dpkg -i failed"; }
    root=""
else
    echo "not root: unpacking the package with dpkg -x instead of installing it"
    unpacked="$(mktemp -d /tmp/zarnik-package.XXXXXX)"
    dpkg -x "$deb" "$unpacked"
    root="$unpacked"
fi

desktops=($(printf '%s\n' "${contents[@]}" | grep '^/usr/share/applications/.*\.desktop$' || true))
[ ${#desktops[@]} -eq 1 ] || x11_fail "expected one desktop entry, found ${#desktops[@]}"
desktop="$root${desktops[0]}"
id="$(basename "$desktop" .desktop)"
entry() { sed -n "s/^$1=//p" "$desktop"; }
report="$(desktop-file-validate "$desktop" 2>&1)" && [ -z "$report" ] ||
    x11_fail "desktop-file-validate on $desktop: $report"
program="$root/usr/bin/$(entry Exec)"
[ -x "$program" ] || x11_fail "the entry starts $(entry Exec), which is not installed"
readelf -d "$program" | grep -q 'FLAGS.* NOW' || x11_fail "$program was not linked with -z now"
icon="$(entry Icon)"
for size in 16 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || x11_fail "no ${size}x${size} icon $icon.png"
    [ "$(identify -format '%wx%h %z' "$png")" = "${size}x${size} 8" ] ||
        x11_fail "$png is $(identify -format '%wx%h, %z bits per channel' "$png")"
done
svg="$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"
file -b "$svg" | grep -q 'SVG' || x11_fail "no scalable icon $icon.svg"

metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || x11_fail "no metadata named after the entry's id $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    x11_fail "the metadata does not launch $id.desktop"
report="$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1)" ||
    x11_fail "appstreamcli rejects $metainfo: $report"
grep -q '^[EWIP]:' <<<"$report" && x11_fail "appstreamcli on $metainfo: $report"

# The desktop shell matches a window to its entry by the window's class.
for _ in 1 2 3; do x11_start && break; done
x11_start_zarnik "$program"
window="$(x11_window "Zarnik v1.5")"
class="$(xprop -id "$window" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')"
[ "$class" = "$(entry StartupWMClass)" ] ||
    x11_fail "the window's class is '$class', the entry's StartupWMClass '$(entry StartupWMClass)'"
x11_shot package-main
x11_cleanup
echo "started $program: its window maps, of class $class"

if [ -n "$installed" ]; then
    dpkg -r zarnik >"$build/dpkg.log" 2>&1 || { cat "$build/dpkg.log"; x11_fail "dpkg -r failed"; }
    installed=""
    left=()
    for path in "${new_paths[@]}"; do [ -e "$path" ] && left+=("$path"); done
    [ ${#left[@]} -eq 0 ] || x11_fail "left after dpkg -r: ${left[*]}"
    echo "installed, started and removed: nothing of its ${#contents[@]} files and folders left"
fi
