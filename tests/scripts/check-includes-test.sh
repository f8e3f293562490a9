#!/usr/bin/env bash
# Tests scripts/check-includes.sh on small made-up source trees: includes that keep to
# the order pass, and each kind of backward include is reported with its file and line.
set -uo pipefail
checker="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-includes.sh"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0

# tree <name> <file> <content>...: writes files into a fresh tree named <name>.
tree() {
  local root="$scratch/$1"
  shift
  rm -rf "$root"
  while [ $# -ge 2 ]; do
    mkdir -p "$root/$(dirname "$1")"
    printf '%b' "$2" >"$root/$1"
    shift 2
  done
}

# expect <name> <status> [<text the output must hold>]
expect() {
  local output status
  output="$("$checker" "$scratch/$1" 2>&1)"
  status=$?
  if [ "$status" -ne "$2" ]; then
    echo "FAIL $1: exit status $status, expected $2"; echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  elif [ $# -ge 3 ] && ! grep -qF -- "$3" <<<"$output"; then
    echo "FAIL $1: output lacks \"$3\""; echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  elif [ "$2" -eq 0 ] && [ -n "$output" ]; then
    echo "FAIL $1: a passing tree printed something"; echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

tree forward \
  app/a.cpp '#include "app/a.h"\n#include "preview/p.h"\n#include "text/t.h"\n#include "dialogs/d.h"\n#include <QWidget>\n' \
  editor/e.h '#pragma once\n#include "text/t.h"\n#include "dialogs/d.h"\n#include "e2.h"\n' \
  dialogs/d.cpp '#include "dialogs/d.h"\n#include "text/t.h"\n' \
  text/t.cpp '#include "text/t.h"\n'
expect forward 0

tree backward \
  editor/e.cpp '#include "editor/e.h"\n\n#include "settings/s.h"\n'
expect backward 1 "editor/e.cpp:3: editor/ may not include \"settings/s.h\""

tree text-includes-editor \
  text/t.h '#pragma once\n  #  include "editor/richedit.h"\n'
expect text-includes-editor 1 "text/t.h:2:"

tree dialogs-include-editor \
  dialogs/d.cpp '#include "dialogs/d.h"\n#include "editor/e.h"\n'
expect dialogs-include-editor 1 "dialogs/d.cpp:2: dialogs/ may include only"

tree unknown-folder \
  blocks/b.cpp '#include "widgets/w.h"\n'
expect unknown-folder 1 "blocks/b.cpp:1:"

tree every-line-reported \
  blocks/b.cpp '#include "inspector/i.h"\n#include "app/a.h"\n'
expect every-line-reported 1 "blocks/b.cpp:2:"

exit $((failures > 0))
