#!/usr/bin/env bash
# Builds the Debian package of Sheetsmith: a Release build in build-release/ (with
# Debian's hardening flags), installed under /usr into a staging tree, stripped, with
# the manual page, copyright and changelog, and packed as
# dist/sheetsmith_VERSION_ARCH.deb. Prints the package's path.
#
#   scripts/package.sh
#
# The version is the project's (CMake's project version). Owners are root and modes
# are the usual ones whatever the builder's umask.
set -euo pipefail
cd "$(dirname "$0")/.."
source="$PWD"
build="$source/build-release"
stage="$build/package"
root="$stage/root"

# Debian's hardening: fortified functions, stack protector, read-only relocations and
# immediate binding.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
# The CSS definitions compiled in come from the folder scripts/cssdata.sh fills, named
# each time so that a tree configured before follows a change of SHEETSMITH_CSSDATA.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DSHEETSMITH_WERROR=ON -DSHEETSMITH_CSSDATA="$(scripts/cssdata.sh --dir)" \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j2 --target sheetpad sheetsmith_pageview >/dev/null

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
arch="$(dpkg --print-architecture)"
[ -n "$version" ] || { echo "package: no project version in $build" >&2; exit 1; }
changelogVersion="$(sed -n '1s/^sheetsmith (\([^)]*\)).*/\1/p' packaging/changelog)"
if [ "$changelogVersion" != "$version" ]; then
  echo "package: packaging/changelog is at $changelogVersion, the project at $version" >&2
  exit 1
fi

# The copyright file names each package the built-in CSS definitions are made from,
# at the version pinned.
while IFS=$'\t' read -r _ package pinned _; do
  if ! grep -qF "package $package, version $pinned," packaging/copyright; then
    echo "package: packaging/copyright does not name $package $pinned (tools/cssdata/cssdata.tsv)" >&2
    exit 1
  fi
done < <(tail -n +2 tools/cssdata/cssdata.tsv)

rm -rf "$stage"
mkdir -p "$root"
umask 022
DESTDIR="$root" cmake --install "$build" >/dev/null

# Binaries stripped of their debugging sections; the build id note stays.
find "$root" -type f \( -name '*.so' -o -path '*/bin/*' \) -exec \
  strip --strip-unneeded --remove-section=.comment {} +

doc="$root/usr/share/doc/sheetsmith"
mkdir -p "$doc"
cp packaging/copyright "$doc/copyright"
gzip -9n -c packaging/changelog >"$doc/changelog.gz"
gzip -9n "$root/usr/share/man/man1/sheetpad.1"
if [ -s packaging/lintian-overrides ]; then
  mkdir -p "$root/usr/share/lintian/overrides"
  cp packaging/lintian-overrides "$root/usr/share/lintian/overrides/sheetsmith"
fi

# The usual modes, whatever the files were made with.
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/bin/sheetpad"

# Dependencies of the linked libraries, found by dpkg-shlibdeps (which reads a
# debian/control beside the staging tree), and what the program loads at run time
# where the linker cannot see it:
#  - libqt6webenginecore6-bin: QtWebEngineProcess, the browser engine's own process,
#    started by the preview;
#  - libqt6webengine6-data: the engine's resources and locales, read at run time;
#  - libqt6svg6: the SVG icon engine plugin, which draws the program's and the theme's
#    icons;
#  - qt6-qpa-plugins: Qt's extra platform plugins (the X11 and headless ones come with
#    libqt6gui6); qt6-wayland, recommended, runs it natively on Wayland.
mkdir -p "$stage/debian"
printf 'Source: sheetsmith\n\nPackage: sheetsmith\nArchitecture: any\n' >"$stage/debian/control"
module="$(find "$root" -name 'sheetsmith-pageview.so' | head -n 1)"
shlibs="$(cd "$stage" && dpkg-shlibdeps -O "root/usr/bin/sheetpad" "${module#"$stage/"}" 2>/dev/null \
  | sed -n 's/^shlibs:Depends=//p')"
[ -n "$shlibs" ] || { echo "package: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
depends="$shlibs"
for extra in libqt6webenginecore6-bin libqt6webengine6-data libqt6svg6 qt6-qpa-plugins; do
  # Named once: the linked libraries may bring one of them already.
  grep -qE "(^|, )$extra( |,|$)" <<<"$depends" || depends="$depends, $extra"
done

mkdir -p "$root/DEBIAN"
size="$(du -sk --exclude=DEBIAN "$root" | cut -f1)"
cat >"$root/DEBIAN/control" <<EOF
Package: sheetsmith
Version: $version
Architecture: $arch
Maintainer: Sheetsmith developers <sheetsmith@sheetsmith.example>
Installed-Size: $size
Depends: $depends
Recommends: breeze-icon-theme, qt6-wayland
Section: editors
Priority: optional
Homepage: https://sheetsmith.example/
Description: editor for CSS level 1 style sheets
 Sheetsmith edits style sheets written in CSS level 1 as colour-coded text,
 beside a tree of their selectors (elements, classes and IDs) and a property
 inspector with the 53 CSS1 properties, their values and an editor for each.
 .
 It checks the sheet against CSS1 as it is edited, offline, and shows a chosen
 HTML page with the sheet applied in a preview window that can follow the text
 as it is typed.
EOF
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z | xargs -0 md5sum) \
  >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p dist
deb="dist/sheetsmith_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$source/$deb"
