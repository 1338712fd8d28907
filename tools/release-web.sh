#!/usr/bin/env bash
# Makes the web page's zip, DIST_DIR/onymix-VERSION-web.zip, from the
# checked-out tree: builds the WebAssembly module, the npm package's folder
# and the page's folder with emscripten in build/release-wasm (no tests, no
# benchmarks) and zips the page as the folder onymix-VERSION-web/. VERSION
# is the CMake project version. The zip is the same bytes wherever and
# whenever the same commit is built: the build paths are mapped away by
# CMakeLists.txt, every time stamp is the commit's date (SOURCE_DATE_EPOCH),
# and the names, their order and their modes are fixed.
#
# tools/release-web.sh DIST_DIR
set -euo pipefail
source "$(dirname "$0")/lib/reproducible.bash"
source "$(dirname "$0")/lib/wasm-release.bash"
wasm_release onymix_web "$@"

folder=onymix-$version-web
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage/$folder"
cp "$build"/web/* "$stage/$folder/"
zip_folder "$dist/$folder.zip" "$stage"
echo "$dist/$folder.zip"
