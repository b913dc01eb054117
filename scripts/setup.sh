#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-serialport-dev
  qt6-translations-l10n   # Qt's Russian texts, for the file dialogs of the Russian window
  libboost-regex-dev
  libzip-dev libpugixml-dev
  libgtest-dev libgmock-dev
  fonts-dejavu-core fonts-dejavu-extra
  xvfb xauth
  xdg-utils libreoffice-writer-nogui
  qt6-translations-l10n
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
