#!/usr/bin/env bash
# Installs the dependencies, builds, and starts the editor, optionally on a sheet.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/sheetpad "$@"
