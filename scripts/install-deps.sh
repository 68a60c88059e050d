#!/usr/bin/env bash
# Installs the Debian packages Pagewright needs to build, test and run.
# Idempotent: when every package is already present it only checks and exits.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-dev clang-format
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
  libdeflate-dev zlib1g-dev liblcms2-dev libgif-dev libtiff-dev
  fonts-liberation2 fonts-dejavu-core
  xvfb qpdf poppler-utils libgs-common
)
# Browser tests of the flip catalogue need these; they are large, so they are
# only pulled in when asked for (PAGEWRIGHT_BROWSER_TESTS=1).
if [ "${PAGEWRIGHT_BROWSER_TESTS:-0}" = 1 ]; then
  packages+=(chromium)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2

# Node.js comes from elsewhere on these machines; install Debian's only when none exists.
if ! command -v node >/dev/null 2>&1 && [ "${PAGEWRIGHT_BROWSER_TESTS:-0}" = 1 ]; then
  $sudo apt-get install -y -qq --no-install-recommends nodejs npm >&2
fi
