#!/usr/bin/env bash
# Makes the npm package DIST_DIR/onymix-VERSION.tgz from the checked-out
# tree: builds the WebAssembly module and the package's folder with
# emscripten in build/release-wasm (no tests, no benchmarks) and packs it with
# npm pack. VERSION is the CMake project version, which js/stage.mjs writes
# into the package's package.json. The tarball is the same bytes wherever and
# whenever the same commit is built: the build paths are mapped away by
# CMakeLists.txt, npm pack gives every entry the same fixed time and keeps a
# fixed order, and the modes of the files are set here.
#
# tools/release-js.sh DIST_DIR
set -euo pipefail
source "$(dirname "$0")/lib/reproducible.bash"
source "$(dirname "$0")/lib/wasm-release.bash"
wasm_release onymix_js "$@"

fixed_modes "$build/js"
rm -f "$dist/onymix-$version.tgz"
(cd "$build/js" && npm pack --silent --pack-destination "$dist" >/dev/null)
[ -f "$dist/onymix-$version.tgz" ] || { echo "release-js: npm pack made no onymix-$version.tgz" >&2; exit 1; }
echo "$dist/onymix-$version.tgz"
