#!/usr/bin/env bash
# Configures and builds the editor, its tests and benchmarks into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLBAX_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
