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

echo "== Debian package and lintian"
bash tools/make-package.sh build/ci

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
cmake --build build/fuzz -j "$jobs" --target project_file_fuzzer serial_reply_fuzzer configuration_image_fuzzer \
  ethernet_reply_fuzzer command_table_fuzzer project_json_fuzzer debug_report_fuzzer
mkdir -p build/fuzz/artifacts
fuzz() {  # fuzz BUILD_DIR TARGET [SEED_DIR] [libFuzzer options...]
  local dir=$1 target=$2 seeds=${3:-}
  shift 3 || shift $#
  mkdir -p "build/fuzz/corpus/$target"
  "$dir/fuzz/$target" -max_total_time=60 -artifact_prefix=build/fuzz/artifacts/ "$@" \
    "build/fuzz/corpus/$target" ${seeds:+"$seeds"}
}
fuzz build/fuzz project_file_fuzzer build/fuzz/fuzz/project_file_seeds -dict=fuzz/project_file.dict
fuzz build/fuzz serial_reply_fuzzer build/fuzz/fuzz/serial_reply_seeds
fuzz build/fuzz configuration_image_fuzzer
fuzz build/fuzz ethernet_reply_fuzzer
fuzz build/fuzz command_table_fuzzer build/fuzz/fuzz/command_table_seeds
fuzz build/fuzz project_json_fuzzer build/fuzz/fuzz/project_json_seeds
fuzz build/fuzz debug_report_fuzzer

# The export's template reader links Qt and QuaZip, so it has a fuzz build of its own.
CC=clang CXX=clang++ cmake -S . -B build/fuzz-qt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_FUZZ=ON \
  -DVELTRANE_BENCH=OFF
cmake --build build/fuzz-qt -j "$jobs" --target template_workbook_fuzzer
fuzz build/fuzz-qt template_workbook_fuzzer build/fuzz-qt/fuzz/template_workbook_seeds -rss_limit_mb=2048
