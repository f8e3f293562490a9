#!/usr/bin/env bash
# Installs everything Sheetsmith needs to build, run and test on Debian, then fetches
# the sample sheets the tests read (scripts/samples.sh) and the definitions of current
# CSS the build compiles in (scripts/cssdata.sh), each into a cache folder outside the
# checkout. Quick when all is there: apt is only called for missing packages, npm only
# for missing or changed files.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
  qt6-qpa-plugins qt6-gtk-platformtheme
  # the HTML parser that reads the preview's pages for completion
  libxml2-dev
  # SVG pictures: the program's icon and the icon themes
  libqt6svg6
  # the icon theme the program falls back on when the desktop names none
  breeze-icon-theme
  fonts-dejavu-core
  xvfb xauth
  # validators of the desktop entry and the metainfo, run by the tests
  desktop-file-utils appstream
  # the Debian package: its build (scripts/package.sh) and its checks
  dpkg-dev lintian man-db file binutils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm fetches the samples and the CSS definitions; any npm will do, Debian's when
# there is none.
command -v npm >/dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
scripts/samples.sh
scripts/cssdata.sh
