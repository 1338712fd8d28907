#!/usr/bin/env bash
# Checks that the release is reproducible and sound: clones the current commit
# twice, at two different paths, and runs tools/release.sh in each, the second
# later, in another time zone and with a stricter umask. Every file of the two
# dist/ folders must be the same bytes; then the Debian packages must pass
# lintian without errors and the manual pages groff without warnings. Prints
# each file with its size and SHA-256. Exits non-zero on any difference or
# failure. Only committed work is checked: the clones are of HEAD.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh release
repo=$(pwd)
commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "check-release: uncommitted changes are not part of the check (HEAD is $commit)"

work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
first="$work/a"
second="$work/second/clone/at/another/depth"

build_in() { # folder [environment...]
    local dir=$1
    shift
    git clone -q --no-checkout "$repo" "$dir"
    git -C "$dir" checkout -q --detach "$commit"
    echo "== release in $dir"
    local start=$SECONDS
    if ! (cd "$dir" && env "$@" tools/release.sh >"$dir.log" 2>&1); then
        tail -n 40 "$dir.log"
        echo "check-release: tools/release.sh failed in $dir" >&2
        return 1
    fi
    echo "   $((SECONDS - start)) s"
}

build_in "$first"
sleep 2
(umask 077 && build_in "$second" TZ=Pacific/Kiritimati)

status=0
names_a=$(cd "$first/dist" && find . -type f -printf '%P\n' | sort)
names_b=$(cd "$second/dist" && find . -type f -printf '%P\n' | sort)
if [ "$names_a" != "$names_b" ]; then
    echo "check-release: the two dist/ folders hold different files:"
    diff <(echo "$names_a") <(echo "$names_b") || true
    status=1
fi
for name in $names_a; do
    if ! cmp -s "$first/dist/$name" "$second/dist/$name"; then
        echo "check-release: $name differs:"
        sha256sum "$first/dist/$name" "$second/dist/$name" 2>&1 || true
        cmp "$first/dist/$name" "$second/dist/$name" 2>&1 | head -n 1 || true
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "== the two builds are byte for byte the same:"
(cd "$first/dist" && for name in $names_a; do
    printf '%10d  %s  %s\n' "$(stat -c %s "$name")" "$(sha256sum "$name" | cut -d' ' -f1)" "$name"
done)

echo "== lintian"
for deb in "$first"/dist/*.deb; do
    lintian --fail-on error --suppress-tags spelling-error-in-binary -I "$deb" || status=1
done

echo "== groff -man -ww"
for page in "$first"/man/*.[0-9]; do
    warnings=$(groff -man -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "${page##*/}: $warnings"
        status=1
    fi
done

exit "$status"
