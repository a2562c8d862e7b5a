#!/usr/bin/env bash
# Installs the Debian 12 packages the program and its tests need, when missing.
set -euo pipefail
packages=(
  cmake g++ ninja-build pkg-config clang-format-14
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
  libxlsxwriter-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei poppler-utils xvfb xauth
  unzip x11-utils qt6-translations-l10n
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
