#!/usr/bin/env bash
# The definitions of current CSS that the build compiles into the program: the W3C's
# machine-readable CSS definitions and the list of the standards that define them,
# each a JSON file from a pinned npm package, as tools/cssdata/cssdata.tsv lists it
# (local name, package, version, path inside the package, licence, SHA-256), kept in a
# cache folder outside the checkout. CMake checks the files when it configures.
#
#   scripts/cssdata.sh           fetch what is missing or wrong, then check every file
#   scripts/cssdata.sh --check   check every file; fetches nothing
#   scripts/cssdata.sh --dir     print the folder
#
# The folder is $SHEETSMITH_CSSDATA when set, else
# ${XDG_CACHE_HOME:-$HOME/.cache}/sheetsmith/cssdata. Quick when everything is there:
# npm is only called for a package with a missing or wrong file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/lib/npmfiles.sh"
npmfiles_main cssdata SHEETSMITH_CSSDATA cssdata "$root/tools/cssdata/cssdata.tsv" scripts/cssdata.sh "$@"
