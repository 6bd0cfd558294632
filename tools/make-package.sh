#!/usr/bin/env bash
# Builds the Debian package from a build tree (default build/release) and checks it with lintian;
# any lintian error fails. usage: tools/make-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
bash tools/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j "$(nproc)" --target veltrane_installed
(cd "$build" && cpack -G DEB)
package=$(ls -t "$build"/veltrane_*.deb | head -n 1)
lintian --fail-on error "$package"
echo "$package"
