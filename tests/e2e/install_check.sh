#!/usr/bin/env bash
# Installs the build into a temporary folder and checks what a desktop finds there: the program,
# its menu entry, the icon in every hicolor size and the software-centre metadata, the last two
# validated by the desktop's own tools.
# Arguments: cmake, the build folder.
set -euo pipefail
cmake_bin="$1"
build="$2"
dest="$(mktemp -d /tmp/zarnik-install.XXXXXX)"
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$dest" "$cmake_bin" --install "$build" --prefix /usr >"$dest.log" 2>&1 ||
    { cat "$dest.log"; rm -f "$dest.log"; fail "cmake --install failed"; }
rm -f "$dest.log"
root="$dest/usr"

[ -x "$root/bin/zarnik" ] || fail "no executable bin/zarnik"

shopt -s nullglob
desktops=("$root"/share/applications/*.desktop)
[ ${#desktops[@]} -eq 1 ] || fail "expected one .desktop entry, found ${#desktops[@]}"
desktop="${desktops[0]}"
id="$(basename "$desktop" .desktop)"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
grep -qx 'Exec=zarnik' "$desktop" || fail "the entry does not start zarnik"
grep -qx 'Icon=zarnik' "$desktop" || fail "the entry does not use the zarnik icon"

for size in 16 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/zarnik.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] ||
        fail "the ${size}x${size} icon is $(identify -format '%wx%h' "$icon")"
done

metainfo="$root/share/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || fail "no metainfo named after the entry's id $id"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
grep -q "@[A-Z_]*@" "$metainfo" &&
    fail "the metainfo has unreplaced settings"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
echo "installed and valid: $id"
