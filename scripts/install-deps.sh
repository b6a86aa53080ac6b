#!/usr/bin/env bash
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Tavo need, and only
# those that are missing. Usage: scripts/install-deps.sh [extra packages...]
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
  libxkbcommon-dev libxkbregistry-dev libxkbcommon-tools xkb-data libx11-data
  fonts-liberation fonts-dejavu-core fontconfig
  # Glyphs of the scripts beyond U+FFFF that layouts use (Shavian, Adlam, ...), for the
  # key cells and the pictures.
  fonts-noto-core
  librsvg2-bin libxml2-utils libicu-dev
  reuse
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
