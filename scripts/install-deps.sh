#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Packages already present are skipped, so a second run costs nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-image-formats-plugins qt6-svg-dev libqt6svg6
  libminizip-dev zlib1g-dev libplist-dev libpugixml-dev
  libexpat1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation xvfb xauth
  # independent oracles used by the tests
  libzxing-dev zxing-cpp-tools zbar-tools dmtx-utils
  python3 python3-openpyxl python3-aiosmtpd
  dbus-daemon dbus-bin libglib2.0-bin
  gobjc libgnustep-base-dev gnustep-make
  poppler-utils ghostscript libpostscriptbarcode unzip zip
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
