#!/usr/bin/env bash
# Builds the Debian package of a build directory, unpacks it into a scratch
# root (dpkg -x: the system's package database is not touched), and checks
# what a user gets: the dependencies, the files, both programs running from
# there on the samples, both manual pages and the completions.
# package_test.sh <cpack> <build-dir> <source-dir> <prefix> <sysconfdir>
set -euo pipefail
cpack=$1 build=$2 source=$3 prefix=$4 sysconfdir=$5

scratch=$(mktemp -d /tmp/vosko-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The package goes to the scratch directory, not into the build directory.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
# The programs' package, beside the libraries' (libvosko1 only where they
# are shared, libvosko-dev).
debs=("$scratch"/out/*.deb)
deb=$(echo "$scratch"/out/convertvosko_*.deb)
[ -f "$deb" ] || fail "no convertvosko package among: ${debs[*]}"
echo "packages: $(cd "$scratch/out" && echo *.deb)"

# dpkg-shlibdeps found the packages of the shared libraries the programs
# need, directly or through libvosko1.
depends=$(for d in "${debs[@]}"; do dpkg-deb -f "$d" Depends; done | paste -sd,)
echo "Depends: $depends"
for p in libc6 libexpat1 libstdc++6; do
  [[ $depends == *"$p "* || $depends == *"$p," || $depends == *"$p" ]] || fail "Depends lacks $p"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in "$prefix/bin/convertVOSKO" "$prefix/bin/voskodb" "$prefix/share/man/man1/convertVOSKO.1" \
  "$prefix/share/man/man1/voskodb.1" "$prefix/share/bash-completion/completions/convertVOSKO" \
  "$prefix/share/bash-completion/completions/voskodb" "$sysconfdir/vosko/debug.properties"; do
  grep -qx "\.$f" <<<"$contents" || fail "package lacks $f"
done
dpkg-deb -e "$deb" "$scratch/control"
grep -qx "$sysconfdir/vosko/debug.properties" "$scratch/control/conffiles" || fail "debug.properties is no conffile"

root=$scratch/root
for d in "${debs[@]}"; do dpkg -x "$d" "$root"; done
bin=$root$prefix/bin

# The scratch root is no installation the programs know of: without a
# debug.properties beside them they fall back to the built-in defaults.
export VOSKO_REGISTRY=$scratch/settings.reg
mkdir "$scratch/work"
cd "$scratch/work"
out=$("$bin/convertVOSKO" --version 2>&1) || fail "convertVOSKO --version without configuration"
grep -q "INTERNAL ERROR" <<<"$out" || fail "no report of the missing configuration: $out"
grep -q "version 1.2.2" <<<"$out" || fail "convertVOSKO --version: $out"
# With the packaged configuration beside them they run silently.
cp "$root$sysconfdir/vosko/debug.properties" "$bin/"

# Each sample converted by the installed program gives the same bytes as the
# build's own; the settings of the old formats stay in the scratch directory.
converted=0
for version in 1.5 2.0 2.5 2.5.3 2.5.5; do
  sample=$source/samples/sample-$version.vsk
  [ -f "$sample" ] || continue
  "$bin/convertVOSKO" "$version" "$sample" installed.vsk >installed.log 2>&1 ||
    fail "convertVOSKO $version: $(cat installed.log)"
  ! grep -q "ERROR" installed.log || fail "convertVOSKO $version: $(cat installed.log)"
  "$build/convertVOSKO" "$version" "$sample" built.vsk >/dev/null || fail "build's convertVOSKO $version"
  cmp installed.vsk built.vsk || fail "installed and built conversions of $version differ"
  out=$("$bin/voskodb" check installed.vsk 2>&1) || fail "voskodb check after $version: $out"
  [[ $out == "ok: "* ]] || fail "voskodb check after $version: $out"
  rm installed.vsk built.vsk
  converted=$((converted + 1))
done
[ "$converted" -gt 0 ] || fail "no samples in $source/samples"
out=$("$bin/voskodb" info "$source/samples/sample-2.5.5.vsk" 2>&1) || fail "voskodb info: $out"
grep -q "old format 2.5.5" <<<"$out" || fail "voskodb info: $out"
echo "ran both programs on $converted samples"

# Both pages render and carry their sections.
for page in convertVOSKO voskodb; do
  text=$(MANWIDTH=200 man -l "$root$prefix/share/man/man1/$page.1" 2>&1) || fail "man -l $page.1: $text"
  for section in NAME SYNOPSIS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
    grep -q "^$section" <<<"$text" || fail "$page(1) has no $section"
  done
  grep -q "$sysconfdir/vosko/debug.properties" <<<"$text" || fail "$page(1) does not name the installed debug.properties"
done
echo "both manual pages render"

# The completions offer the versions and the commands.
completions=$root$prefix/share/bash-completion/completions
versions=$(bash -c 'source "$1"; COMP_WORDS=(convertVOSKO 2.5); COMP_CWORD=1; _convertVOSKO; echo "${COMPREPLY[*]}"' _ \
  "$completions/convertVOSKO")
[ "$versions" = "2.5 2.5.3 2.5.5" ] || fail "convertVOSKO completion: '$versions'"
commands=$(bash -c 'source "$1"; COMP_WORDS=(voskodb export-c); COMP_CWORD=1; _voskodb; echo "${COMPREPLY[*]}"' _ \
  "$completions/voskodb")
[ "$commands" = "export-csv" ] || fail "voskodb completion: '$commands'"
options=$(bash -c 'source "$1"; COMP_WORDS=(voskodb info x --); COMP_CWORD=3; _voskodb; echo "${COMPREPLY[*]}"' _ \
  "$completions/voskodb")
[ "$options" = "--json --help" ] || fail "voskodb info completion: '$options'"
echo "completions answer"
