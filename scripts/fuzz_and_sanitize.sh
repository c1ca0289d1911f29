#!/usr/bin/env bash
# Fuzzes the text road, the document body reader, the EPUB and FB2 readers and
# the check of ImageMagick option words for a bounded time each under clang,
# then runs the engine's, the archive's, the document readers' and
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

echo "== Building the fuzz targets"
cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELKARO_SANITIZE=fuzzer-no-link,address,undefined >/dev/null
ninja -C "$fuzz_build" -j2 text_fuzzer docx_fuzzer ebook_fuzzer option_words_fuzzer
findings=$(mktemp -d)
trap 'rm -rf "$findings"' EXIT

# fuzz WHAT TARGET SEEDS MAX_LEN: new inputs go to a scratch folder; the seeds
# in the repository stay as they are.
fuzz() {
  echo "== Fuzzing $1 for ${fuzz_seconds} s"
  mkdir "$findings/$2"
  "$fuzz_build/tests/fuzz/$2" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    -max_len="$4" -timeout=10 -print_final_stats=1 -artifact_prefix="$fuzz_build"/ \
    "$findings/$2" "tests/fuzz/$3"
}
fuzz "the text road" text_fuzzer seeds 4096
fuzz "the document body reader" docx_fuzzer docx_seeds 8192
fuzz "the EPUB and FB2 readers" ebook_fuzzer ebook_seeds 8192
fuzz "the ImageMagick option words" option_words_fuzzer option_words_seeds 256

echo "== Engine, archive and whole-build tests under the sanitizers"
# ImageMagick's OpenMP workers outlive the tests; at exit the leak checker
# stops every thread, and a pool of them still spinning has crashed its tracer.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
cmake -S . -B "$asan_build" -G Ninja -DVELKARO_SANITIZE=address,undefined >/dev/null
ninja -C "$asan_build" -j2 engine_tests archive_tests documents_tests build_tests
for tests in engine/engine_tests archive/archive_tests documents/documents_tests tests/build_tests; do
  "$asan_build/$tests" --gtest_brief=1
done
