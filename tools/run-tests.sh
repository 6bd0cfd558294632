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

# The Qt-free core and its unit tests again, built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer; any finding ends the run.
echo "== core unit tests under ASan and UBSan"
sanitize_flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRANE_CORE_ONLY=ON \
  -DCMAKE_CXX_FLAGS="$sanitize_flags" -DCMAKE_EXE_LINKER_FLAGS="$sanitize_flags"
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize -L unit --output-on-failure -j "$jobs"

# Each fuzz target for a bounded time over its seed corpus, which the build copies from the test
# fixtures. Inputs it finds stay in build/fuzz/corpus for the next run; a crash is kept next to it.
echo "== fuzzing (60 s per target)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_CORE_ONLY=ON \
  -DVELTRANE_FUZZ=ON
cmake --build build/fuzz -j "$jobs" --target project_file_fuzzer
mkdir -p build/fuzz/corpus/project_file build/fuzz/artifacts
build/fuzz/fuzz/project_file_fuzzer -max_total_time=60 -dict=fuzz/project_file.dict \
  -artifact_prefix=build/fuzz/artifacts/ build/fuzz/corpus/project_file build/fuzz/fuzz/project_file_seeds

# The template reader of the Excel export needs Qt and QuaZip, so its fuzz target comes from a
# clang build of its own that is not core-only; only that target is built. The limits on what a
# template may inflate are in place, so each input costs bounded time and memory.
CC=clang CXX=clang++ cmake -S . -B build/fuzz-qt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_FUZZ=ON \
  -DVELTRANE_BENCH=OFF
cmake --build build/fuzz-qt -j "$jobs" --target template_workbook_fuzzer
mkdir -p build/fuzz/corpus/template_workbook
build/fuzz-qt/fuzz/template_workbook_fuzzer -max_total_time=60 -rss_limit_mb=2048 \
  -artifact_prefix=build/fuzz/artifacts/ build/fuzz/corpus/template_workbook build/fuzz-qt/fuzz/template_workbook_seeds
