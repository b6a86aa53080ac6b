#!/usr/bin/env bash
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Imports every .klc file of a folder with tavo-convert, exports it as KLC, imports that
# again and compares the two .ukb files byte for byte. Prints, per file, what the first
# import could not carry (its summary) and whether the round trip is exact, then totals.
#
# Usage: scripts/klc-world-check.sh FOLDER [TAVO_CONVERT]
#   TAVO_CONVERT defaults to build-dev/src/convert/tavo-convert, then build/...
#
# No KLC compiler or parser is packaged for Debian or published on npm, so the exported
# files are not compiled here; where one is installed as "kbdutool" on the PATH, each
# exported file is also given to it.
set -uo pipefail

folder=${1:?usage: $0 FOLDER [TAVO_CONVERT]}
root=$(cd "$(dirname "$0")/.." && pwd)
convert=${2:-}
if [ -z "$convert" ]; then
  for candidate in "$root/build-dev/tavo-convert" "$root/build-dev/src/convert/tavo-convert" \
                   "$root/build/tavo-convert" "$root/build/src/convert/tavo-convert"; do
    [ -x "$candidate" ] && convert=$candidate && break
  done
fi
[ -x "$convert" ] || { echo "tavo-convert not found; give its path" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compiler=$(command -v kbdutool || true)

files=0 exact=0 failed=0 reported=0
for klc in "$folder"/*.klc; do
  [ -e "$klc" ] || continue
  files=$((files + 1))
  name=$(basename "$klc")
  if ! "$convert" --to ukb "$klc" "$work/first.ukb" 2>"$work/first.err" \
     || ! "$convert" --to klc "$klc" "$work/out.klc" 2>/dev/null \
     || ! "$convert" --to ukb "$work/out.klc" "$work/second.ukb" 2>"$work/second.err"; then
    failed=$((failed + 1))
    printf '%s\tFAILED\t%s\n' "$name" "$(tail -n 1 "$work/first.err" "$work/second.err" 2>/dev/null | tr '\n' ' ')"
    continue
  fi
  # The summary lines are the ones without a line number.
  summary=$(sed -n 's/^tavo-convert: not carried: //p' "$work/first.err" | grep -v '^line [0-9]' \
            | grep -v '^and [0-9]* more' | paste -sd ';' | sed 's/;/; /g')
  [ -n "$summary" ] && reported=$((reported + 1))
  if cmp -s "$work/first.ukb" "$work/second.ukb"; then
    verdict=exact
    exact=$((exact + 1))
  else
    verdict=DIFFERS
  fi
  again=$(grep -c '^tavo-convert: not carried: line' "$work/second.err")
  compiled=
  if [ -n "$compiler" ]; then
    (cd "$work" && "$compiler" out.klc >/dev/null 2>&1) && compiled=$'\tcompiles' || compiled=$'\tcompiler refuses'
  fi
  printf '%s\t%s\t%s\t[%s]%s\n' "$name" "$verdict" "second import reports $again" "${summary:-nothing lost}" "$compiled"
done
echo "files: $files, round trip exact: $exact, failed: $failed, with losses reported: $reported"
[ -z "$compiler" ] && echo "no KLC compiler on the PATH: the exported files were not compiled"
[ "$exact" -eq "$files" ]
