#!/usr/bin/env bash
# SPDX-FileCopyrightText: the Tavo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds every target as a Release build with AddressSanitizer
# and UndefinedBehaviorSanitizer in build-test/ and runs every test there; meanwhile it
# fuzzes the .ukb reader and the writers for 30 seconds with a clang build in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")"
SECONDS=0

# clang with its sanitizer and libFuzzer runtimes builds the fuzz target. llvm-symbolizer
# (llvm) and libc's symbols (libc6-dbg) name the frames of sanitizer reports: the leak
# suppression of tests/lsan-xkbcommon.supp matches a libc function that only they name.
scripts/install-deps.sh clang libclang-rt-dev llvm libc6-dbg
# The check of the installed tree validates the desktop entry, the metainfo, the MIME
# package and the manual pages with the tools the desktop itself uses.
scripts/install-deps.sh desktop-file-utils appstream shared-mime-info man-db file

# Licence and copyright of every file, checked by REUSE's linter: a file without its SPDX
# lines (or a line in .reuse/dep5) fails the script.
reuse_status=0
if ! reuse lint --quiet; then
  reuse lint || true
  reuse_status=1
fi

# ccache, where installed, serves both builds and the next run of this script.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi

# One build serves both checks: every target is compiled as the program ships (Release:
# optimised, assertions off), which catches what only such a build refuses, and the tests
# run in it under the sanitizers. Test code itself is compiled unoptimised, and the
# benchmarks, which no test runs, are left to the end. Both builds compile each target as
# one translation unit (a unity build), which reads the Qt headers once a target rather than
# once a file; run.sh and the package build file by file, which keeps each file's includes
# honest.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVO_SANITIZE=ON \
  -DCMAKE_UNITY_BUILD=ON "${launcher[@]}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_FUZZ=ON -DTAVO_BUILD_TESTS=OFF -DTAVO_BUILD_BENCH=OFF -DCMAKE_UNITY_BUILD=ON \
  "${launcher[@]}" >/dev/null

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The fuzz leg runs beside the build and the tests, which leave a processor idle at times,
# its output kept in build-fuzz/fuzz.log: the libFuzzer target of the .ukb reader and the
# writers is built with clang and runs for a bounded time over a copy of the seed corpus
# (libFuzzer adds what it finds to the copy, not to the repository). A crash, a failed
# check or a sanitizer report fails the script.
fuzz_log=build-fuzz/fuzz.log
set -m  # a process group of its own, stopped as a whole if the script ends early
(
  set -e
  cmake --build build-fuzz --target fuzz_ukbreader
  corpus=build-fuzz/corpus-ukb
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp fuzz/corpus/ukb/* "$corpus"/
  build-fuzz/fuzz_ukbreader -max_total_time=30 -print_final_stats=1 -artifact_prefix=build-fuzz/ "$corpus"
) >"$fuzz_log" 2>&1 &
fuzz=$!
set +m
trap 'kill -- -"$fuzz" 2>/dev/null || true' EXIT

# The build yields to the fuzz run, whose 30 seconds are worth the more runs it gets.
nice -n 5 cmake --build build-test
built=$SECONDS

# The benchmarks are compiled while the tests run.
bench_log=build-test/benchmarks.log
cmake --build build-test --target benchmarks >"$bench_log" 2>&1 &
bench=$!

tests_status=0
ctest --test-dir build-test --output-on-failure -j "$(nproc)" || tests_status=$?
tested=$SECONDS

status=$tests_status
[ "$reuse_status" -eq 0 ] || status=1
if ! wait "$bench"; then
  cat "$bench_log"
  echo "test.sh: the benchmarks failed to build (log above, in $bench_log)"
  status=1
fi
if wait "$fuzz"; then
  grep -E '^(Done [0-9]+ runs|stat::number_of_executed_units)' "$fuzz_log" || true
  echo "test.sh: the fuzz run found nothing (log in $fuzz_log)"
else
  cat "$fuzz_log"
  echo "test.sh: the fuzz leg failed (log above, in $fuzz_log)"
  status=1
fi
echo "test.sh: built in ${built} s, tested in $((tested - built)) s, all done in ${SECONDS} s"
exit "$status"
