#!/usr/bin/env bash
# Installs what is missing, builds Velkaro and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
