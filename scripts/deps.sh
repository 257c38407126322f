#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vireka need, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libsqlite3-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-svg-dev qt6-webengine-dev qt6-webchannel-dev
          libgl-dev xvfb xauth
          qt6-translations-l10n adwaita-icon-theme
          desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin file dpkg-dev
          nodejs)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
