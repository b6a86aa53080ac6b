#!/usr/bin/env bash
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds a Release build in build/ and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVO_BUILD_TESTS=OFF -DTAVO_BUILD_BENCH=OFF >/dev/null
cmake --build build --target tavo tavo-convert

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); Tavo needs a desktop session." >&2
  exit 1
fi
exec build/tavo "$@"
