#!/usr/bin/env bash
# Tests the fetch-and-check of files from pinned npm packages (scripts/lib/npmfiles.sh)
# on made-up packages, served by a stand-in npm that packs them from a scratch folder
# and logs each package it is asked for: only packages with a missing or changed file
# are fetched, each once; a file that no package holds, or that does not match its
# SHA-256, fails with its name; --check fetches nothing.
set -uo pipefail
lib="$(cd "$(dirname "$0")/../.." && pwd)/scripts/lib/npmfiles.sh"
source "$lib"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0

# The made-up registry: <package>@<version>/package/<files>, packed on request.
registry="$scratch/registry"
mkdir -p "$registry/alpha@1.0.0/package/dist" "$registry/beta@2.0.0/package" "$scratch/bin"
printf 'a { color: red }\n' >"$registry/alpha@1.0.0/package/dist/a.css"
printf 'b { color: blue }\n' >"$registry/alpha@1.0.0/package/b.css"
printf '{"beta": 1}\n' >"$registry/beta@2.0.0/package/beta.json"
cat >"$scratch/bin/npm" <<EOF
#!/usr/bin/env bash
# npm pack --silent --pack-destination DIR PACKAGE@VERSION
dest="\$4" ref="\$5"
echo "\$ref" >>"$scratch/npm.log"
tar -czf "\$dest/\$(echo "\$ref" | tr '/@' '__').tgz" -C "$registry/\$ref" package
EOF
chmod +x "$scratch/bin/npm"
export PATH="$scratch/bin:$PATH"

sha() { sha256sum "$1" | cut -d' ' -f1; }
manifest="$scratch/files.tsv"
{
  printf 'file\tpackage\tversion\tpath\tlicence\tsha256\n'
  printf 'css/a.css\talpha\t1.0.0\tdist/a.css\tMIT\t%s\n' "$(sha "$registry/alpha@1.0.0/package/dist/a.css")"
  printf 'css/b.css\talpha\t1.0.0\tb.css\tMIT\t%s\n' "$(sha "$registry/alpha@1.0.0/package/b.css")"
  printf 'beta.json\tbeta\t2.0.0\tbeta.json\tCC0-1.0\t%s\n' "$(sha "$registry/beta@2.0.0/package/beta.json")"
} >"$manifest"
cache="$scratch/cache"

# expect <case> <mode> <manifest> <status> <packages fetched, sorted> [<text the output must hold>]
expect() {
  local name="$1" mode="$2" list="$3" wanted="$4" fetched="$5" output status
  rm -f "$scratch/npm.log"
  output="$(npmfiles_sync "$mode" "$list" "$cache" test scripts/test-files.sh 2>&1)"
  status=$?
  local asked
  asked="$(sort "$scratch/npm.log" 2>/dev/null | tr '\n' ' ')"
  if [ "$status" -ne "$wanted" ]; then
    echo "FAIL $name: exit status $status, expected $wanted"; echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  elif [ "$asked" != "$fetched" ]; then
    echo "FAIL $name: npm was asked for \"$asked\", expected \"$fetched\""
    failures=$((failures + 1))
  elif [ $# -ge 6 ] && ! grep -qF -- "$6" <<<"$output"; then
    echo "FAIL $name: output lacks \"$6\""; echo "$output" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect check-before-any-fetch --check "$manifest" 1 "" \
  "test: $cache/css/a.css is missing (from alpha@1.0.0; scripts/test-files.sh fetches it)"
expect first-fetch-takes-each-package-once fetch "$manifest" 0 "alpha@1.0.0 beta@2.0.0 "
cmp -s "$cache/css/a.css" "$registry/alpha@1.0.0/package/dist/a.css" \
  || { echo "FAIL first-fetch: css/a.css is not the package's dist/a.css"; failures=$((failures + 1)); }
expect nothing-fetched-when-all-is-there fetch "$manifest" 0 ""

printf 'changed\n' >"$cache/beta.json"
expect check-names-a-changed-file --check "$manifest" 1 "" \
  "test: $cache/beta.json does not match its SHA-256 (from beta@2.0.0; scripts/test-files.sh fetches it again)"
expect only-the-changed-package-is-fetched fetch "$manifest" 0 "beta@2.0.0 "

{ head -n 1 "$manifest"; printf 'c.css\talpha\t1.0.0\tnone.css\tMIT\t0\n'; } >"$scratch/absent.tsv"
expect a-path-the-package-lacks fetch "$scratch/absent.tsv" 1 "alpha@1.0.0 " "test: alpha@1.0.0 has no none.css (for c.css)"

{ head -n 1 "$manifest"; printf 'css/a.css\talpha\t1.0.0\tdist/a.css\tMIT\t%064d\n' 0; } >"$scratch/pinned.tsv"
expect a-package-that-changed-under-its-version fetch "$scratch/pinned.tsv" 1 "alpha@1.0.0 " \
  "test: $cache/css/a.css does not match its SHA-256"

# The folder: the variable named, else the XDG cache, else the home folder's.
folder() { env -u XDG_CACHE_HOME -u HOME "$@" bash -c "source '$lib'; npmfiles_folder test TEST_DIR sub" 2>&1; }
for row in "TEST_DIR=/v XDG_CACHE_HOME=/x HOME=/h|/v" "XDG_CACHE_HOME=/x HOME=/h|/x/sheetsmith/sub" \
           "HOME=/h|/h/.cache/sheetsmith/sub" "|test: neither TEST_DIR, XDG_CACHE_HOME nor HOME is set"; do
  set=${row%%|*}
  # shellcheck disable=SC2086
  got="$(folder $set)"
  if [ "$got" = "${row#*|}" ]; then
    echo "ok   folder with ${set:-none of them} set"
  else
    echo "FAIL folder with ${set:-none of them} set: \"$got\", expected \"${row#*|}\""
    failures=$((failures + 1))
  fi
done

exit $((failures > 0))
