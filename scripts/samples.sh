#!/usr/bin/env bash
# The real-world sample sheets and pages that the tests, the benchmarks and the fuzz
# seeds read. Each comes from a pinned npm package, as tests/samples/samples.tsv lists
# it (local name, package, version, path inside the package, licence, SHA-256), and is
# kept in a cache folder outside the checkout, laid out as the tests read it
# (css/<name>.css, html/<name>.html).
#
#   scripts/samples.sh           fetch what is missing or wrong, then check every file
#   scripts/samples.sh --check   check every file; fetches nothing
#   scripts/samples.sh --dir     print the folder
#
# The folder is $SHEETSMITH_CORPUS when set, else
# ${XDG_CACHE_HOME:-$HOME/.cache}/sheetsmith/samples. Quick when everything is there:
# npm is only called for a package with a missing or wrong file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
manifest="$root/tests/samples/samples.tsv"
mode="${1:-fetch}"
case "$mode" in
  fetch | --check | --dir) ;;
  *)
    echo "usage: scripts/samples.sh [--check | --dir]" >&2
    exit 2
    ;;
esac

if [ -n "${SHEETSMITH_CORPUS:-}" ]; then
  dir="$SHEETSMITH_CORPUS"
elif [ -n "${XDG_CACHE_HOME:-}" ]; then
  dir="$XDG_CACHE_HOME/sheetsmith/samples"
elif [ -n "${HOME:-}" ]; then
  dir="$HOME/.cache/sheetsmith/samples"
else
  echo "samples: neither SHEETSMITH_CORPUS, XDG_CACHE_HOME nor HOME is set" >&2
  exit 2
fi
if [ "$mode" = --dir ]; then
  echo "$dir"
  exit 0
fi

# The manifest's rows without its header line: file package version path licence sha256.
rows() { tail -n +2 "$manifest"; }

valid() { # file sha256
  [ -f "$dir/$1" ] && [ "$(sha256sum "$dir/$1" | cut -d' ' -f1)" = "$2" ]
}

if [ "$mode" = fetch ]; then
  # Packages with at least one missing or wrong file, each once.
  stale=()
  while IFS=$'\t' read -r file package version path licence sha; do
    valid "$file" "$sha" && continue
    package_ref="$package@$version"
    [[ " ${stale[*]-} " == *" $package_ref "* ]] || stale+=("$package_ref")
  done < <(rows)

  if [ ${#stale[@]} -gt 0 ]; then
    if ! command -v npm >/dev/null; then
      echo "samples: npm is needed to fetch ${stale[*]} (scripts/setup.sh installs it)" >&2
      exit 1
    fi
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    for package_ref in "${stale[@]}"; do
      echo "samples: fetching $package_ref"
      unpacked="$scratch/$(echo "$package_ref" | tr '/@' '__')"
      mkdir -p "$unpacked"
      (cd "$scratch" && npm pack --silent --pack-destination "$unpacked" "$package_ref" >/dev/null)
      tarball=("$unpacked"/*.tgz)
      tar -xzf "${tarball[0]}" -C "$unpacked"
      # npm tarballs hold one top folder, usually package/.
      top=("$unpacked"/*/)
      while IFS=$'\t' read -r file package version path licence sha; do
        [ "$package@$version" = "$package_ref" ] || continue
        if [ ! -f "${top[0]}$path" ]; then
          echo "samples: $package_ref has no $path (for $file)" >&2
          exit 1
        fi
        mkdir -p "$(dirname "$dir/$file")"
        # Copied under a temporary name and renamed, so a file is never half there.
        cp "${top[0]}$path" "$dir/$file.part"
        mv -f "$dir/$file.part" "$dir/$file"
      done < <(rows)
    done
  fi
fi

failed=0
while IFS=$'\t' read -r file package version path licence sha; do
  if [ ! -f "$dir/$file" ]; then
    echo "samples: $dir/$file is missing (from $package@$version; scripts/samples.sh fetches it)" >&2
    failed=1
  elif ! valid "$file" "$sha"; then
    echo "samples: $dir/$file does not match its SHA-256 (from $package@$version; scripts/samples.sh fetches it again)" >&2
    failed=1
  fi
done < <(rows)
exit "$failed"
