#!/usr/bin/env bash
# The Debian package as Debian checks it and as a user installs it: built by
# scripts/package.sh, judged by lintian (no error, no warning but those overridden
# with a reason), installed, started headless on a sample sheet, its manual page,
# desktop entry and metainfo found and valid, then removed without a file left.
#
#   tests/install/package.sh SOURCE_DIR
#
# As root with SHEETSMITH_SYSTEM_INSTALL=1 (CI) the package is installed into the
# running system with apt-get and removed again; otherwise it is unpacked into a
# temporary root, and "removed" means that root is checked against the package's list.
# Skipped, saying why, where the Debian tools are missing.
set -euo pipefail
source="$1"
cd "$source"
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 0; }
for tool in dpkg-deb dpkg-shlibdeps dpkg-buildflags lintian desktop-file-validate appstreamcli man file readelf; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

deb="$(scripts/package.sh | tail -n 1)"
[ -f "$deb" ] || fail "scripts/package.sh made no package"
version="$(dpkg-deb -f "$deb" Version)"
case "$(basename "$deb")" in
  "sheetsmith_${version}_$(dpkg --print-architecture).deb") ;;
  *) fail "the package is named $(basename "$deb")" ;;
esac

# lintian: every error and warning fails, unless an override with its reason covers it.
lint="$(lintian --fail-on none "$deb" 2>&1 || true)"
if grep -E '^(E|W): ' <<<"$lint"; then
  fail "lintian reports the lines above"
fi
echo "lintian: ${lint:-nothing to report}"

scratch="$(mktemp -d)"
system=0
cleanup() {
  if [ "$system" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq sheetsmith >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
if [ "$(id -u)" -eq 0 ] && [ "${SHEETSMITH_SYSTEM_INSTALL:-0}" = 1 ]; then
  system=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
  prefix=""
else
  dpkg-deb -x "$deb" "$scratch/root"
  prefix="$scratch/root"
fi

# Every file of the package where it belongs, with the usual owners and modes.
while read -r mode owner _ _ _ path; do
  case "$owner" in root/root) ;; *) fail "$path belongs to $owner" ;; esac
  case "$mode" in
    d*) [ "$mode" = drwxr-xr-x ] || fail "$path has mode $mode" ;;
    *) [ "$mode" = -rw-r--r-- ] || [ "$path" = ./usr/bin/sheetpad ] || fail "$path has mode $mode" ;;
  esac
done < <(dpkg-deb -c "$deb" | awk '{print $1, $2, $3, $4, $5, $6}')
file "$prefix/usr/bin/sheetpad" | grep -q 'not stripped' && fail "sheetpad is not stripped"
readelf -n "$prefix/usr/bin/sheetpad" | grep -q 'Build ID' || fail "sheetpad lost its build id"

# The installed program, headless, on a sample sheet.
home="$scratch/home"
mkdir -p "$home"
printf 'H1 { color: navy }\n' >"$scratch/sheet.css"
run() {
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" QT_QPA_PLATFORM=offscreen SHEETSMITH_START_AND_QUIT=1 \
    timeout 60 "$prefix/usr/bin/sheetpad" "$@"
}
[ "$(run --version)" = "sheetpad (Sheetsmith) $version" ] || fail "--version says $(run --version)"
run "$scratch/sheet.css" >"$scratch/out" 2>"$scratch/err" || fail "the installed program failed: $(cat "$scratch/err")"
if grep -q '^Sheetsmith: ' "$scratch/err"; then
  fail "the installed program reported: $(grep '^Sheetsmith: ' "$scratch/err")"
fi

if [ -z "$prefix" ]; then
  page="$(man -w sheetpad)" || fail "man finds no page for sheetpad"
else
  page="$(MANPATH="$prefix/usr/share/man" man -w sheetpad)" || fail "man finds no page for sheetpad"
fi
[ "$page" = "$prefix/usr/share/man/man1/sheetpad.1.gz" ] || fail "man finds $page"
zcat "$page" | grep -q "^\.TH SHEETPAD 1 .*Sheetsmith $version" || fail "the manual page does not name version $version"
desktop-file-validate "$prefix/usr/share/applications/io.github.sheetsmith.Sheetsmith.desktop" \
  || fail "the installed desktop entry is not valid"
appstreamcli validate --no-net --strict "$prefix/usr/share/metainfo/io.github.sheetsmith.Sheetsmith.metainfo.xml" \
  >"$scratch/appstream" 2>&1 || fail "the installed metainfo is not valid: $(cat "$scratch/appstream")"

# Removed, nothing of it is left.
if [ "$system" = 1 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq sheetsmith >/dev/null
  system=0
  dpkg-query -W -f='${Status}' sheetsmith 2>/dev/null | grep -q "install ok installed" \
    && fail "the package is still installed"
  while read -r path; do
    case "$path" in */) continue ;; esac
    [ ! -e "/${path#./}" ] || fail "/${path#./} was left after removal"
  done < <(dpkg-deb -c "$deb" | awk '{print $6}')
else
  while read -r path; do
    case "$path" in */) continue ;; esac
    rm "$prefix/${path#./}"
  done < <(dpkg-deb -c "$deb" | awk '{print $6}')
  left="$(find "$prefix" -type f)"
  [ -z "$left" ] || fail "files beside the package's list: $left"
fi
echo "built $(basename "$deb"), lintian clean, installed, started, validated and removed"
