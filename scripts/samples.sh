#!/usr/bin/env bash
# The real-world sample sheets and pages that the tests, the benchmarks and the fuzz
# seeds read. Each comes from a pinned npm package, as tests/samples/samples.tsv lists
# it (local name, package, version, path inside the package, licence, SHA-256), and is
# kept in a cache folder outside the checkout, laid out as the tests read it
# (css/<name>.css, html/<name>.html).
#
#   scripts/samples.sh           fetch what is missing or wrong, then check every file
#   scripts/samples.sh --check   check every file; fetches nothing
#   scripts/samples.sh --dir     print the folder
#
# The folder is $SHEETSMITH_CORPUS when set, else
# ${XDG_CACHE_HOME:-$HOME/.cache}/sheetsmith/samples. Quick when everything is there:
# npm is only called for a package with a missing or wrong file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/npmfiles.sh"
npmfiles_main samples SHEETSMITH_CORPUS samples "$root/tests/samples/samples.tsv" scripts/samples.sh "$@"
