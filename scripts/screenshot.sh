#!/usr/bin/env bash
# Retakes the README's screenshot, docs/screenshot.png: the main window with
# docs/example.css open and the caret in its first rule, drawn headless (no display
# needed) by the program's own window code, with fresh settings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
# The window shows the sheet's full path: a short one that does not change.
site="${TMPDIR:-/tmp}/sheetsmith-screenshot/site"
rm -rf "$(dirname "$site")"
trap 'rm -rf "$(dirname "$site")"' EXIT
mkdir -p "$site"
cp docs/example.css "$site/"
build/sheetsmith_screenshot "$site/example.css" docs/screenshot.png 1000 660 6 2>/dev/null
echo "docs/screenshot.png: $(stat -c %s docs/screenshot.png) bytes"
