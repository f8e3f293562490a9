#!/usr/bin/env bash
# Installs the dependencies, builds, and starts the editor, optionally on a sheet.
# The sheet's path is taken relative to the folder the command was started from.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "$root/build/sheetpad" "$@"
