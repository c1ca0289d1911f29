#!/usr/bin/env bash
# Fuzzes the text road and the document body reader for a bounded time each
# under clang, then runs the engine's, the archive's, the document readers' and
# the whole-build tests under AddressSanitizer and UndefinedBehaviorSanitizer.
# FUZZ_SECONDS (default 60) bounds each fuzzing run; FUZZ_BUILD and ASAN_BUILD
# name the build folders (default build-fuzz and build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${FUZZ_SECONDS:-60}
fuzz_build=${FUZZ_BUILD:-build-fuzz}
asan_build=${ASAN_BUILD:-build-asan}
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan_suppressions.txt
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

echo "== Fuzzing the text road for ${fuzz_seconds} s"
cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELKARO_SANITIZE=fuzzer-no-link,address,undefined >/dev/null
ninja -C "$fuzz_build" -j2 text_fuzzer docx_fuzzer
findings=$(mktemp -d)
trap 'rm -rf "$findings"' EXIT
# New inputs go to scratch folders; the seeds in the repository stay as they are.
"$fuzz_build"/tests/fuzz/text_fuzzer -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
  -max_len=4096 -timeout=10 -print_final_stats=1 -artifact_prefix="$fuzz_build"/ \
  "$findings" tests/fuzz/seeds
echo "== Fuzzing the document body reader for ${fuzz_seconds} s"
mkdir "$findings/docx"
"$fuzz_build"/tests/fuzz/docx_fuzzer -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
  -max_len=8192 -timeout=10 -print_final_stats=1 -artifact_prefix="$fuzz_build"/ \
  "$findings/docx" tests/fuzz/docx_seeds

echo "== Engine, archive and whole-build tests under the sanitizers"
cmake -S . -B "$asan_build" -G Ninja -DVELKARO_SANITIZE=address,undefined >/dev/null
ninja -C "$asan_build" -j2 engine_tests archive_tests documents_tests build_tests
for tests in engine/engine_tests archive/archive_tests documents/documents_tests tests/build_tests; do
  "$asan_build/$tests" --gtest_brief=1
done
