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
(cd build-sanitize && ctest --output-on-failure --timeout 300 -j2 -L logic)
