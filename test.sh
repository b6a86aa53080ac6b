#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-test/, compiles every target once more as a Release
# build in build-release/ (not run: it catches what only an optimised build refuses),
# fuzzes the .ukb reader and the writers for 30 seconds with a clang build in build-fuzz/,
# and runs every test.
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

# ccache, where installed, serves the three builds and the next run of this script.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"
fi

# The benchmarks, which ctest does not run, are compiled only in the Release build, the
# one they are meant for.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVO_SANITIZE=ON -DTAVO_BUILD_BENCH=OFF \
  "${launcher[@]}"
cmake --build build-test

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}"
cmake --build build-release

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

# The tests run last, so that their summary closes the output.
ctest --test-dir build-test --output-on-failure
echo "test.sh: done in ${SECONDS} s"
