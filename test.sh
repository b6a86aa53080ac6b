#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-test/, fuzzes the .ukb reader for 30 seconds with a
# clang build in build-fuzz/, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

# clang with its sanitizer and libFuzzer runtimes builds the fuzz target. llvm-symbolizer
# (llvm) and libc's symbols (libc6-dbg) name the frames of sanitizer reports: the leak
# suppression of tests/lsan-xkbcommon.supp matches a libc function that only they name.
scripts/install-deps.sh clang libclang-rt-dev llvm libc6-dbg
# The check of the installed tree validates the desktop entry, the metainfo, the MIME
# package and the manual pages with the tools the desktop itself uses.
scripts/install-deps.sh desktop-file-utils appstream shared-mime-info man-db file

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON
cmake --build build-test

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The .ukb reader's libFuzzer target, built with clang in build-fuzz/, runs for a bounded
# time over a copy of the seed corpus (libFuzzer adds what it finds to the copy, not to
# the repository); a crash or sanitizer report fails the script.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_FUZZ=ON -DTAVO_BUILD_TESTS=OFF -DTAVO_BUILD_BENCH=OFF
cmake --build build-fuzz --target fuzz_ukbreader
corpus=build-fuzz/corpus-ukb
rm -rf "$corpus"
mkdir -p "$corpus"
cp fuzz/corpus/ukb/* "$corpus"/
build-fuzz/fuzz_ukbreader -max_total_time=30 -print_final_stats=1 -artifact_prefix=build-fuzz/ "$corpus"

# The tests run last, so that their summary closes the output.
ctest --test-dir build-test --output-on-failure
