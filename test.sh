#!/usr/bin/env bash
# Installs what is missing, builds every target as a Release build with AddressSanitizer
# and UndefinedBehaviorSanitizer in build-test/, fuzzes the .ukb reader and the writers for
# 30 seconds with a clang build in build-fuzz/, and runs every test.
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

# ccache, where installed, serves both builds and the next run of this script.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi

# One build serves both checks: every target, the benchmarks included, is compiled as the
# program ships (Release: optimised, assertions off), which catches what only such a build
# refuses, and the tests run in it under the sanitizers. A second, plain Release build
# would double the build time for nothing more.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVO_SANITIZE=ON "${launcher[@]}"
cmake --build build-test

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The libFuzzer target of the .ukb reader and the writers, built with clang in build-fuzz/,
# runs for a bounded time over a copy of the seed corpus (libFuzzer adds what it finds to
# the copy, not to the repository); a crash, a failed check or a sanitizer report fails
# the script.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVO_FUZZ=ON -DTAVO_BUILD_TESTS=OFF -DTAVO_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build-fuzz --target fuzz_ukbreader
corpus=build-fuzz/corpus-ukb
rm -rf "$corpus"
mkdir -p "$corpus"
cp fuzz/corpus/ukb/* "$corpus"/
build-fuzz/fuzz_ukbreader -max_total_time=30 -print_final_stats=1 -artifact_prefix=build-fuzz/ "$corpus"

echo "test.sh: built and fuzzed in ${SECONDS} s"

# The tests run last, so that their summary closes the output.
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
