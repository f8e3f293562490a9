#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/fuzz_*.cpp, with clang) into build-fuzz/ and runs
# each for a while on seeds taken from the sample sheets.
#
#   scripts/fuzz.sh [seconds-per-target]      (default 60)
#
# The sample sheets are those of scripts/samples.sh, in $SHEETSMITH_CORPUS when set.
#
# Prints, per target, the executions run and any finding. A finding (a crash, a
# sanitizer report, a broken property, a hang over 10 s, a leak, memory over 4 GB) is
# kept under build-fuzz/findings/<target>/ and makes the script exit non-zero; replay
# it with build-fuzz/<target> <file>. Seeds and the corpus grown during the run live in
# a scratch folder that is removed afterwards; nothing is written into the checkout.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh [seconds-per-target]" >&2
  exit 2
fi
# Seeds come from the sample sheets, fetched when missing; SHEETSMITH_CORPUS names
# another folder of them.
scripts/samples.sh
corpus="$(scripts/samples.sh --dir)"

# clang with its libFuzzer and sanitizer runtimes; apt only runs for missing packages.
packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSHEETSMITH_WERROR=ON -DSHEETSMITH_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 --target fuzzers

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Seeds: the sample sheets cut at line ends into pieces of at most 2 KB (small inputs
# run fast and mutate well), at most 40 pieces per sheet; the catalogue as it is.
mkdir -p "$scratch/seeds/css" "$scratch/seeds/catalogue"
for sheet in "$corpus"/css/*.css; do
  name="$(basename "$sheet" .css)"
  split -C 2048 -d -a 4 "$sheet" "$scratch/seeds/css/$name-"
  find "$scratch/seeds/css" -name "$name-*" | sort | tail -n +41 | xargs -r rm -f
done
cp data/css1.txt "$scratch/seeds/catalogue/"

# Any sanitizer report is fatal; fontconfig's process-long caches are not leaks of ours.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

failed=0
for source in fuzz/fuzz_*.cpp; do
  target="$(basename "$source" .cpp)"
  seeds="$scratch/seeds/css"
  options=(-max_len=2048)
  case "$target" in
    fuzz_catalogue)
      seeds="$scratch/seeds/catalogue"
      options=(-max_len=16384)
      ;;
    fuzz_colouring)
      # Qt keeps caches that grow from input to input, so the per-input leak check
      # would run on almost every input and slow the run six-fold. Leaks are still
      # checked at the end of the run and by the sanitizer test run.
      options=(-max_len=2048 -detect_leaks=0)
      ;;
  esac
  work="$scratch/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  log="$work/log"
  status=0
  # The outer timeout only guards against the engine itself getting stuck.
  timeout --kill-after=30 $((seconds + 300)) "build-fuzz/$target" "${options[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds" >"$log" 2>&1 || status=$?

  runs="$(grep -o '^Done [0-9]* runs' "$log" | grep -o '[0-9]*' || true)"
  [ -n "$runs" ] || runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')"
  findings=("$work"/artifacts/*)
  if [ "$status" -ne 0 ] || [ -e "${findings[0]}" ]; then
    failed=1
    kept="build-fuzz/findings/$target"
    rm -rf "$kept"
    mkdir -p "$kept"
    cp "$log" "$kept/log.txt"
    [ -e "${findings[0]}" ] && cp "${findings[@]}" "$kept/"
    echo "$target: $runs executions, FINDING (exit status $status), kept in $kept:"
    grep -E '^(==[0-9]+== ?ERROR|\*\*\* property|SUMMARY|.*runtime error)' "$log" | head -5 | sed 's/^/    /'
    for f in "$kept"/*; do [ "$(basename "$f")" = log.txt ] || echo "    $f"; done
  else
    echo "$target: $runs executions in ${seconds} s, no findings"
  fi
done
exit "$failed"
