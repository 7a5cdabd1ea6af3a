#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: unit, window and end-to-end tests, then
# the logic units again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export CCACHE_BASEDIR="$PWD"

echo "== tests =="
(cd build && ctest --output-on-failure --timeout 300 -j2)

echo "== logic units under the sanitizers =="
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKOLBAX_LOGIC_ONLY=ON \
      -DKOLBAX_SANITIZE=ON -DKOLBAX_WERROR=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
(cd build-sanitize && LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp" \
  ctest --output-on-failure --timeout 300 -j2 -L logic)

echo "== fuzz targets, 20 seconds each =="
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKOLBAX_LOGIC_ONLY=ON -DKOLBAX_FUZZ=ON -DKOLBAX_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_rtf_reader fuzz_textfile fuzz_status_file \
      fuzz_journal fuzz_encodings fuzz_log_parser fuzz_word_scanner fuzz_tex_scanner \
      fuzz_source_context
(cd build-fuzz && ctest --output-on-failure -L fuzz)
