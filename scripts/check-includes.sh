#!/usr/bin/env bash
# Checks that the folders under src/ depend on each other one way only. Every
# `#include "folder/file.h"` must name the including file's own folder or one below it
# in this order, lowest first:
#
#   text  editor  blocks  inspector  settings  check  preview  app
#
# dialogs/ stands beside the order: every folder may include it, and it may include
# only text/. An include without a folder ("file.h") is taken as the file's own folder.
#
#   scripts/check-includes.sh [src-folder]        (default: src/ of this checkout)
#
# Prints one line per backward include, "file:line: ...", and exits 1 when there is any;
# exits 0 and prints nothing when every include keeps to the order.
set -euo pipefail
src="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"
if [ ! -d "$src" ]; then
  echo "check-includes: no folder $src" >&2
  exit 2
fi
cd "$src"
files=()
while IFS= read -r -d '' f; do files+=("${f#./}"); done \
  < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
[ ${#files[@]} -gt 0 ] || exit 0

awk -v srcdir="$src" '
BEGIN {
  n = split("text editor blocks inspector settings check preview app", order, " ")
  for (i = 1; i <= n; ++i) rank[order[i]] = i
  rank["dialogs"] = 0
  bad = 0
}
FNR == 1 {
  from = FILENAME
  sub(/\/.*/, "", from)
  if (!(from in rank)) {
    printf "%s/%s:1: folder %s is not in the include order; add it to %s\n", srcdir, FILENAME, from, "scripts/check-includes.sh"
    bad = 1
  }
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
  line = $0
  sub(/^[ \t]*#[ \t]*include[ \t]*"/, "", line)
  sub(/".*/, "", line)
  if (index(line, "/") == 0)
    next
  to = line
  sub(/\/.*/, "", to)
  if (!(from in rank))
    next
  if (!(to in rank)) {
    printf "%s/%s:%d: includes \"%s\" from %s/, a folder the include order does not know\n", srcdir, FILENAME, FNR, line, to
    bad = 1
  } else if (from == "dialogs") {
    if (to != "dialogs" && to != "text") {
      printf "%s/%s:%d: dialogs/ may include only dialogs/ and text/, not \"%s\"\n", srcdir, FILENAME, FNR, line
      bad = 1
    }
  } else if (to != "dialogs" && rank[to] > rank[from]) {
    printf "%s/%s:%d: %s/ may not include \"%s\": %s/ stands above %s/\n", srcdir, FILENAME, FNR, from, line, to, from
    bad = 1
  }
}
END { exit bad }
' "${files[@]}"
