#!/usr/bin/env bash
# Tests the shared parts of the build scripts on their own, in a temporary
# folder: the reproducibility settings and helpers (tools/lib/reproducible.bash),
# the version read from a build folder (tools/lib/version.bash) and the
# groups of tools/install-deps.sh. What they make in a whole release is
# checked by tools/check-release.sh. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-tools.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
pass() { echo "ok      $1"; }
fail() {
    echo "FAILED  $1" >&2
    failures=$((failures + 1))
}
# expect DESCRIPTION EXPECTED ACTUAL
expect() {
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: expected [$2], got [$3]"; fi
}

echo "== reproducible.bash"
# In a subshell of a caller with other settings, as a release script is.
settings=$(cd "$work" && umask 077 && LC_ALL=C.UTF-8 TZ=Asia/Tokyo SOURCE_DATE_EPOCH='' bash -c '
    source "$1/tools/lib/reproducible.bash"
    echo "$LC_ALL $TZ $(umask) $SOURCE_DATE_EPOCH"' _ "$root")
expect "the C locale, UTC, umask 022, the commit's date" \
    "C UTC 0022 $(git log -1 --format=%ct)" "$settings"
given=$(SOURCE_DATE_EPOCH=86400 bash -c 'source "$1/tools/lib/reproducible.bash"; echo "$SOURCE_DATE_EPOCH"' _ "$root")
expect "a date the caller chose is kept" 86400 "$given"

source tools/lib/reproducible.bash
SOURCE_DATE_EPOCH=1000000000

# The same folder made twice, under two umasks and at two times, with an
# executable, a text, a link and an empty folder.
make_folder() { # dir umask
    (
        umask "$2"
        mkdir -p "$1/pkg/bin" "$1/pkg/empty"
        printf 'text\n' >"$1/pkg/b.txt"
        printf '#!/bin/sh\n' >"$1/pkg/bin/run"
        chmod u+x "$1/pkg/bin/run"
        printf 'first\n' >"$1/pkg/a.txt"
        ln -s b.txt "$1/pkg/link.txt"
        touch -h -d "@$((RANDOM * 1000))" "$1/pkg/a.txt" "$1/pkg/link.txt"
    )
}
make_folder "$work/one" 022
sleep 1
make_folder "$work/two" 077
zip_folder "$work/one.zip" "$work/one"
zip_folder "$work/two.zip" "$work/two"
if cmp -s "$work/one.zip" "$work/two.zip"; then
    pass "zip_folder: the same bytes under other umasks and times"
else
    fail "zip_folder: the two zips differ"
fi
expect "zip_folder: every entry, sorted, each folder before what it holds" \
    "pkg/ pkg/a.txt pkg/b.txt pkg/bin/ pkg/bin/run pkg/empty/ pkg/link.txt" \
    "$(unzip -Z1 "$work/two.zip" | tr '\n' ' ' | sed 's/ $//')"
modes=$(zipinfo -l "$work/two.zip" | awk '/^[-dl]r/ { print $1, $NF }' | tr '\n' ',')
expect "zip_folder: folders and executables 755, texts 644, whatever the umask" \
    "drwxr-xr-x pkg/,-rw-r--r-- pkg/a.txt,-rw-r--r-- pkg/b.txt,drwxr-xr-x pkg/bin/,-rwxr-xr-x pkg/bin/run,drwxr-xr-x pkg/empty/,-rw-r--r-- pkg/link.txt," \
    "$modes"
expect "zip_folder: every time stamp the chosen date" "2001-09-09 01:46" \
    "$(zipinfo -T -l "$work/two.zip" | awk '/^[-dl]r/ { print $8 }' | sort -u |
        sed 's/^\(....\)\(..\)\(..\)\.\(..\)\(..\).*/\1-\2-\3 \4:\5/')"
zip_folder "$work/ordered.zip" "$work/one" pkg/ pkg/bin/ pkg/bin/run pkg/b.txt
expect "zip_folder: the entries given, in the order given" "pkg/ pkg/bin/ pkg/bin/run pkg/b.txt" \
    "$(unzip -Z1 "$work/ordered.zip" | tr '\n' ' ' | sed 's/ $//')"
zip_folder "$work/stale.zip" "$work/one" pkg/ pkg/b.txt
zip_folder "$work/stale.zip" "$work/one" pkg/ pkg/a.txt
expect "zip_folder: an old zip is replaced, not added to" "pkg/ pkg/a.txt" \
    "$(unzip -Z1 "$work/stale.zip" | tr '\n' ' ' | sed 's/ $//')"
mkdir "$work/linked"
touch -d @2000000000 "$work/target.txt"
ln -s ../target.txt "$work/linked/link.txt"
stamp "$work/linked"
expect "stamp: a link's own time, not its target's" "1000000000 2000000000" \
    "$(stat -c %Y "$work/linked/link.txt") $(stat -c %Y "$work/target.txt")"

echo "== version.bash"
source tools/lib/version.bash
mkdir -p "$work/build/generated" "$work/other/generated" "$work/empty"
printf '#pragma once\n\n#define ONYMIX_VERSION "2.10.3"\n#define ONYMIX_VERSION_COMMAS 2,10,3,0\n' \
    >"$work/build/generated/version.h"
printf '#define ONYMIX_VERSION_COMMAS 2,10,3,0\n' >"$work/other/generated/version.h"
expect "build_version: the version of a build folder's version.h" 2.10.3 "$(build_version "$work/build")"
for dir in "$work/other" "$work/empty"; do
    if message=$(build_version "$dir" 2>&1); then
        fail "build_version: $dir has no version, yet it gave [$message]"
    else
        expect "build_version: fails, naming the header, for ${dir##*/}" \
            "no ONYMIX_VERSION in $dir/generated/version.h" "$(sed 's/^[^:]*: //; s/: not a.*//' <<<"$message")"
    fi
done

echo "== install-deps.sh"
list() { tools/install-deps.sh --list "$@" | sort | tr '\n' ' '; }
run=$(list run)
before=$failures
for package in cmake make g++-mingw-w64-x86-64 wine wine64 xvfb x11-utils imagemagick; do
    [[ " $run" == *" $package "* ]] || fail "run: lacks $package"
done
for package in wine32:i386 g++-mingw-w64-i686 emscripten chromium clang python3-pytest g++; do
    [[ " $run" != *" $package "* ]] || fail "run: asks for $package, which tools/run.sh never uses"
done
[ "$failures" -gt "$before" ] ||
    pass "run: the x86_64 build and 64-bit Wine on a virtual display, nothing more"
expect "no group is all" "$(list all)" "$(list)"
all=$(list all)
before=$failures
for group in format native sanitize windows wheel python wasm js web postgres release; do
    missing=$(comm -23 <(list "$group" | tr ' ' '\n' | sed '/^$/d') <(tr ' ' '\n' <<<"$all" | sed '/^$/d'))
    [ -z "$missing" ] || fail "all lacks what $group asks for: $missing"
done
[ "$failures" -gt "$before" ] || pass "all holds every group tools/test.sh runs"
expect "each package once" "$(tools/install-deps.sh --list all python web | sort | uniq -d)" ""
if message=$(tools/install-deps.sh --list run nonsense 2>&1); then
    fail "an unknown group is refused, yet the list was [$message]"
else
    expect "an unknown group is refused, naming it" "install-deps: no group 'nonsense'" "${message%% (*}"
fi

[ "$failures" -eq 0 ] || { echo "$failures failed" >&2; exit 1; }
echo "all passed"
