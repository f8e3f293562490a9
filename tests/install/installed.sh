#!/usr/bin/env bash
# The program as a user gets it: installed under a temporary prefix, where it is
# started headless and must find its catalogue in the installed data folder.
#
#   tests/install/installed.sh BUILD_DIR APP_ID
#
# The program runs with SHEETSMITH_START_AND_QUIT=1: it starts as usual, opens the
# sheet named, shows its window, then closes it through the normal shut-down (which
# records the sheet in the recent-file list); any message it would have shown is
# printed instead. Without its catalogue it must refuse to start, naming the file.
set -euo pipefail
build="$1"
id="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/sheetpad share/sheetsmith/css1.txt "share/applications/$id.desktop" \
         "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/scalable/apps/$id.svg"; do
  [ -f "$prefix/$f" ] || fail "$f was not installed"
done
[ -x "$prefix/bin/sheetpad" ] || fail "bin/sheetpad is not executable"
# The preview's browser engine view, loaded from the library folder when the preview
# first opens.
compgen -G "$prefix/lib*/sheetsmith/sheetsmith-pageview.so" >/dev/null \
  || compgen -G "$prefix/lib/*/sheetsmith/sheetsmith-pageview.so" >/dev/null \
  || fail "the preview's engine module was not installed"
# Only the data folder holds the catalogue, so the run below shows it is found there.
[ ! -e "$prefix/bin/css1.txt" ] || fail "the catalogue was installed beside the program"

home="$prefix/home"
mkdir -p "$home"
printf 'h1 { color: navy }\n' >"$prefix/sheet.css"
start() {
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    QT_QPA_PLATFORM=offscreen SHEETSMITH_START_AND_QUIT=1 \
    timeout 60 "$prefix/bin/sheetpad" "$prefix/sheet.css" >"$prefix/out" 2>"$prefix/err"
}

status=0
start || status=$?
[ "$status" -eq 0 ] || fail "the installed program exited with $status: $(cat "$prefix/err")"
# Qt may say something about the platform; the program itself must say nothing.
if grep -q '^Sheetsmith: ' "$prefix/err"; then
  fail "the installed program reported: $(grep '^Sheetsmith: ' "$prefix/err")"
fi
settings="$home/.config/Sheetsmith/Sheetsmith.ini"
[ -f "$settings" ] || fail "no settings were written to $settings"
grep -qxF "1b=$prefix/sheet.css" "$settings" \
  || fail "the sheet did not reach the recent-file list at shut-down: $(cat "$settings")"

rm "$prefix/share/sheetsmith/css1.txt"
status=0
start || status=$?
[ "$status" -eq 1 ] || fail "without its catalogue the program exited with $status, not 1"
grep -q "css1.txt" "$prefix/err" || fail "the refusal does not name the catalogue: $(cat "$prefix/err")"
echo "installed under a temporary prefix, started, found its catalogue, closed"
