#!/bin/sh
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills tavo-convert --install and --uninstall at random moments, then checks that the
# next install, uninstall and list succeed and leave a consistent folder. Prints the result.
# Usage: scripts/install-kills.sh build-dev/tavo-convert LAYOUT.ukb [KILLS]
set -u
convert=$1; input=$2; kills=${3:-200}
XDG_CONFIG_HOME=$(mktemp -d); export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
failures=0
i=0
while [ "$i" -lt "$kills" ]; do
    name=kill$((i % 7))
    if [ $((i % 2)) -eq 0 ]; then "$convert" --install "$name" "$input" 2>/dev/null &
    else "$convert" --uninstall "$name" 2>/dev/null & fi
    pid=$!
    sleep "0.0$(shuf -i 1-9 -n 1)"
    kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    "$convert" --list-installed >/dev/null || failures=$((failures + 1))
    i=$((i + 1))
done
for n in 0 1 2 3 4 5 6; do
    "$convert" --install "kill$n" "$input" || failures=$((failures + 1))
done
listed=$("$convert" --list-installed | wc -l)
for f in "$XDG_CONFIG_HOME"/xkb/symbols/*; do
    grep -q "<name>$(basename "$f")</name>" "$XDG_CONFIG_HOME/xkb/rules/evdev.xml" || failures=$((failures + 1))
done
for n in 0 1 2 3 4 5 6; do
    "$convert" --uninstall "kill$n" || failures=$((failures + 1))
done
left=$(find "$XDG_CONFIG_HOME" -mindepth 1 -path '*/symbols/*' | wc -l)
echo "kills: $kills  listed after reinstall: $listed of 7  symbols left after uninstall: $left  failures: $failures"
[ "$failures" -eq 0 ] && [ "$listed" -eq 7 ] && [ "$left" -eq 0 ]
