#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vireka need, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libsqlite3-dev zlib1g-dev libzip-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-svg-dev qt6-webengine-dev qt6-webchannel-dev
          libgl-dev xvfb xauth
          qt6-translations-l10n adwaita-icon-theme
          poppler-utils desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin file dpkg-dev
          nodejs)
# npm fetches the packages the browser tests load into the page (tests/web/package.json).
command -v npm >/dev/null 2>&1 || packages+=(npm)
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
# axe-core, which the accessibility tests run inside the page, at the version the lock names.
web_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/web"
if [ ! -f "$web_tests/node_modules/axe-core/axe.min.js" ]; then
    npm ci --prefix "$web_tests" --no-audit --no-fund --loglevel=error
fi
