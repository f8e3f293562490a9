#!/usr/bin/env bash
# Installs the dependencies and fetches the sample sheets (scripts/setup.sh), builds,
# and runs every test: first in the normal build (build/), then the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), then a short run
# of every fuzz target (scripts/fuzz.sh, SHEETSMITH_FUZZ_SECONDS per target, 20 by
# default).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

# CMake gives each test the sanitizer options that make any report fail it.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETSMITH_WERROR=ON \
  -DSHEETSMITH_SANITIZE=ON -DSHEETSMITH_CORPUS="$(scripts/samples.sh --dir)" >/dev/null
cmake --build build-asan -j2
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

scripts/fuzz.sh "${SHEETSMITH_FUZZ_SECONDS:-20}"
