#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh build-test -DVANTOR_WERROR=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2 --timeout 300
