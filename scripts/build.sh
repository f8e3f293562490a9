#!/usr/bin/env bash
# Configures and builds Sheetsmith into build/ (Release with debug info).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETSMITH_WERROR=ON \
  -DSHEETSMITH_CORPUS="$(scripts/samples.sh --dir)" >/dev/null
cmake --build build -j2
