#!/usr/bin/env bash
# The long soak: the mixed-session test of the real window (tst_soak) under
# AddressSanitizer and UndefinedBehaviorSanitizer, again and again with new seeds, for
# MINUTES (60 by default). Prints each round's seeds, so a failure replays with
#   SHEETSMITH_SOAK_SEEDS="..." SHEETSMITH_SOAK_STEPS=N build-asan/tst_soak
#
#   scripts/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-60}"
steps="${SHEETSMITH_SOAK_STEPS:-2000}"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHEETSMITH_WERROR=ON \
  -DSHEETSMITH_SANITIZE=ON -DSHEETSMITH_CORPUS="$(scripts/samples.sh --dir)" >/dev/null
cmake --build build-asan -j2 --target tst_soak
# The options the sanitizer build's tests run with: any report fails the run.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
# A long session may take longer than Qt Test gives one test function by default.
export QTEST_FUNCTION_TIMEOUT=3600000
end=$(( $(date +%s) + minutes * 60 ))
rounds=0
while [ "$(date +%s)" -lt "$end" ]; do
  seeds="$(for _ in 1 2 3 4; do echo -n "$(( (RANDOM << 15) | RANDOM )) "; done)"
  echo "round $((rounds + 1)): SHEETSMITH_SOAK_SEEDS=\"$seeds\" SHEETSMITH_SOAK_STEPS=$steps"
  SHEETSMITH_SOAK_SEEDS="$seeds" SHEETSMITH_SOAK_STEPS="$steps" build-asan/tst_soak -silent \
    || { echo "soak: a fault, with the seeds above"; exit 1; }
  rounds=$((rounds + 1))
done
echo "soak: $rounds rounds of 4 seeds x $steps steps, no fault"
