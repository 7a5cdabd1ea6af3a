#!/usr/bin/env bash
# Sets up, builds and starts the editor. Without a display: xvfb-run scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/kolbax
