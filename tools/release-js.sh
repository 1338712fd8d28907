#!/usr/bin/env bash
# Makes the npm package DIST_DIR/onymix-VERSION.tgz from the checked-out
# tree: builds the WebAssembly module and the package's folder with
# emscripten in build/release-js (no tests, no benchmarks) and packs it with
# npm pack. VERSION is the CMake project version, which js/package.json must
# repeat (js/stage.mjs checks it). The tarball is the same bytes wherever and
# whenever the same commit is built: the build paths are mapped away by
# CMakeLists.txt, npm pack gives every entry the same fixed time and keeps a
# fixed order, and the modes of the files are set here.
#
# tools/release-js.sh DIST_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/release-js.sh DIST_DIR" >&2; exit 2; }
mkdir -p "$1"
dist=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."

toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
for tool in emcc node npm; do
    command -v "$tool" >/dev/null ||
        { echo "release-js: $tool is missing (Debian packages emscripten, nodejs, npm)" >&2; exit 1; }
done

export LC_ALL=C TZ=UTC
umask 022
build=build/release-js
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DONYMIX_TESTS=OFF -DONYMIX_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target onymix_js

chmod 0644 "$build"/js/*
version=$(node -p "require('./$build/js/package.json').version")
rm -f "$dist/onymix-$version.tgz"
(cd "$build/js" && npm pack --silent --pack-destination "$dist" >/dev/null)
[ -f "$dist/onymix-$version.tgz" ] || { echo "release-js: npm pack made no onymix-$version.tgz" >&2; exit 1; }
echo "$dist/onymix-$version.tgz"
