#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it with a new project (or the
# .chg file given as argument).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target veltrane
exec build/release/src/app/veltrane "$@"
