#!/usr/bin/env bash
# Tests the npm package as its users get it: makes the tarball
# (tools/release-js.sh), installs it offline into a temporary folder and
# runs the tests of js/test there with Node's test runner, against the golden
# files and name lists of this tree. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh js

work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-js.XXXXXX")
trap 'rm -rf "$work"' EXIT

tarball=$(tools/release-js.sh "$work/dist" | tail -n 1)
mkdir "$work/use"
cd "$work/use"
echo '{ "name": "onymix-js-tests", "private": true }' >package.json
npm install --offline --no-audit --no-fund --silent "$tarball"
cp -r "$root/js/test" test
ONYMIX_SOURCE_DIR=$root node --expose-gc --test test/*.test.mjs
