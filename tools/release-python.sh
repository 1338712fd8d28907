#!/usr/bin/env bash
# Builds the Python wheel of this working tree into DIST_DIR, as
# onymix-VERSION-cp311-abi3-PLATFORM.whl (VERSION the CMake project
# version), from the same tree as every other package. The wheel is the same
# bytes wherever and whenever the same commit is built: python/ is copied
# into build/release-python with fixed modes (the wheel records them, and a
# clone made under another umask has others), every time stamp in the wheel
# is the commit's date (SOURCE_DATE_EPOCH unless it is set), build paths are
# mapped away and the module is stripped.
#
#   tools/release-python.sh DIST_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/release-python.sh DIST_DIR" >&2; exit 2; }
dist=$(realpath -m "$1")
cd "$(dirname "$0")/.."
root=$(pwd)
source tools/lib/reproducible.bash
tools/install-deps.sh wheel

stage=build/release-python
rm -rf "$stage"
mkdir -p "$stage"
# The package's files as the working tree has them, committed or not; what
# builds leave in python/ is ignored by git, and so left out.
git ls-files -z --cached --others --exclude-standard --deduplicate -- python |
    while IFS= read -r -d '' file; do
        # A file deleted from the tree but not from git is no longer part of
        # it. Links are copied as what they point to: the licence texts
        # point out of python/, where the copy has nothing.
        [ ! -e "$file" ] || cp --parents -L "$file" "$stage/"
    done
fixed_modes "$stage"

# setup.py finds include/ and the CMake project through ONYMIX_SOURCE_DIR
# and builds libonymix.a in a folder of its own: a build folder named by the
# caller's environment is no part of a release.
env -u ONYMIX_BUILD_DIR ONYMIX_SOURCE_DIR="$root" \
    /usr/bin/python3 -m pip wheel -q --no-build-isolation --no-deps --no-index \
    "$stage/python" -w "$stage/dist"
wheels=("$stage"/dist/onymix-*.whl)
[ ${#wheels[@]} -eq 1 ] && [ -f "${wheels[0]}" ] ||
    { echo "release-python: expected one onymix wheel, found: ${wheels[*]}" >&2; exit 1; }
# setuptools leaves out a licence file it cannot read, without a word.
listing=$(unzip -Z1 "${wheels[0]}")
for text in LICENSE.txt NOTICE.txt; do
    grep -qx "onymix-.*\.dist-info/$text" <<<"$listing" ||
        { echo "release-python: ${wheels[0]##*/} lacks $text" >&2; exit 1; }
done
mkdir -p "$dist"
cp "${wheels[0]}" "$dist/"
name=$(basename "${wheels[0]}")
printf '%s  %d bytes  %s\n' "$name" "$(stat -c %s "$dist/$name")" \
    "$(sha256sum "$dist/$name" | cut -d' ' -f1)"
