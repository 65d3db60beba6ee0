#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh build-test -DVANTOR_WERROR=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2 --timeout 300

# The optimiser works on the user's files: its tests run once more under
# AddressSanitizer and UBSan (core only, so it stays quick).
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_GUI=OFF -DVANTOR_SANITIZE=ON \
      -DVANTOR_WERROR=ON >/dev/null
cmake --build build-asan -j2 --target vantor_core_tests
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300 \
      -R '^(OptimizationRun|DoorwayPages|Copies|SiteSafety|PageText|PageEncoding|PageFiles|HeadElements|HiddenElements|TemplateCheck|TermText|OptimizationReport|FindLiteral|SpaceEstimate|GeneratedLinks|LinkForm|RepeatedRuns|SubmitRun|SubmitAnswer|SubmitTarget|SubmitReport|ResearchRun|ResearchHostile|ResultText|PositionRun|ResultPage|TextSearch|PositionEngine|PositionHostile|RankStore|ModernHead)'
