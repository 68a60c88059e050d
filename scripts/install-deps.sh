#!/usr/bin/env bash
# Installs the Debian packages Pagewright needs to build, test, package and run, and the Node
# packages of the browser test of the flip catalogue (tests/browser).
# Idempotent: when everything is already present it only checks and exits.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-dev clang-format
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
  libdeflate-dev zlib1g-dev liblcms2-dev libgif-dev libtiff-dev libharfbuzz-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb qpdf poppler-utils libgs-common
  dbus at-spi2-core python3-pyatspi x11-apps netpbm
  chromium
  librsvg2-bin
  lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Node.js may come from elsewhere on these machines; Debian's is installed only when
# there is none at all.
if ! command -v node >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# The browser test drives the Debian chromium through playwright-core and checks the page
# with axe-core, at the versions pinned in tests/browser/package-lock.json. It never
# downloads a browser of its own.
if [ ! -d "$root/tests/browser/node_modules/playwright-core" ] ||
  [ ! -d "$root/tests/browser/node_modules/axe-core" ]; then
  echo "Installing the Node packages of tests/browser" >&2
  (cd "$root/tests/browser" && npm ci --no-audit --no-fund >&2)
fi
