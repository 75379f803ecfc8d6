#!/usr/bin/env bash
# Installs what building, running and testing Zarnik needs on Debian, when it is missing.
# Quick when everything is already there: apt is only asked when a package is absent.
set -euo pipefail
packages=(
    cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev     # build
    libx11-dev libxcb1-dev                                       # build: platform/ X11 calls
    fonts-liberation2                                            # the classic font's metrics
    clang libclang-rt-14-dev                                     # fuzzing with libFuzzer
    locales                                                      # a decimal-comma locale for tests
    xvfb xauth xdotool xclip imagemagick python3-xlib x11-utils  # tests on a real X server
    x11-xserver-utils                                            # tests: key codes for the Cyrillic access keys
    openbox dbus at-spi2-core python3-pyatspi                    # end-to-end tests: window manager, accessibility
    qt6-gtk-platformtheme fonts-dejavu-core                      # end-to-end tests: a desktop font of its own size
    desktop-file-utils appstream                                 # validating the installed desktop files
    dpkg-dev file lintian                                        # building and checking the Debian package
    qt6-qpa-plugins qt6-translations-l10n xdg-utils              # run time: X11 plugin, Qt's own texts in Russian, links
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The number tests check that generated text keeps "." under a Russian locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf8$'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
