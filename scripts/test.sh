#!/usr/bin/env bash
# Installs what is missing, builds Velkaro and runs every test: a short fuzzing
# run and the engine's tests under the sanitizers first, then the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build
bash scripts/fuzz_and_sanitize.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
