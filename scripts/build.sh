#!/usr/bin/env bash
# Installs what is missing, builds Velkaro into build/, and builds the example
# books: their packages land in build/shell/midlets.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build velkaro
bash scripts/build_examples.sh build/shell/velkaro
