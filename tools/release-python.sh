#!/usr/bin/env bash
# Builds the Python wheel of the checked-out commit into DIST_DIR, as
# onymix-VERSION-cp311-abi3-PLATFORM.whl (VERSION the CMake project
# version). The wheel is the same bytes wherever and whenever the same
# commit is built: the commit is exported to a folder of its own with fixed
# file modes, every time stamp in the wheel is the commit's date
# (SOURCE_DATE_EPOCH unless it is set), build paths are mapped away and the
# module is stripped. Only committed work is built.
#
#   tools/release-python.sh DIST_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/release-python.sh DIST_DIR" >&2; exit 2; }
dist=$(realpath -m "$1")
cd "$(dirname "$0")/.."
source tools/lib/reproducible.bash
tools/install-deps.sh wheel
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "release-python: uncommitted changes are not built (HEAD is $(git rev-parse HEAD))"

work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-wheel.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/source"
git -c tar.umask=0022 archive --format=tar HEAD | tar -x -C "$work/source"

/usr/bin/python3 -m pip wheel -q --no-build-isolation --no-deps --no-index \
    "$work/source/python" -w "$work/dist"
wheels=("$work"/dist/onymix-*.whl)
[ ${#wheels[@]} -eq 1 ] && [ -f "${wheels[0]}" ] ||
    { echo "release-python: expected one onymix wheel, found: ${wheels[*]}" >&2; exit 1; }
mkdir -p "$dist"
cp "${wheels[0]}" "$dist/"
name=$(basename "${wheels[0]}")
printf '%s  %d bytes  %s\n' "$name" "$(stat -c %s "$dist/$name")" \
    "$(sha256sum "$dist/$name" | cut -d' ' -f1)"
