# wasm-release.bash: what tools/release-js.sh and tools/release-web.sh share,
# sourced by both: their one argument, the tools they need, and a release
# build of one target of the WebAssembly build with emscripten, in the one
# folder both use (the release-wasm preset: build/release-wasm, no tests, no
# benchmarks), so that the second of them in a run builds nothing again. The
# build paths are mapped away by CMakeLists.txt, so the output is the same
# from any clone.
#
# wasm_release TARGET "$@"
# checks that "$@" is one DIST_DIR and makes it, installs what the build
# lacks (tools/install-deps.sh wasm), sets dist to the folder's absolute
# path, build to the build folder and version to the project version, and
# leaves the shell in the source tree.

source "$(dirname "${BASH_SOURCE[0]}")/version.bash"

wasm_release() {
    build=build/release-wasm
    local target=$1
    shift
    [ $# -eq 1 ] || { echo "usage: tools/${0##*/} DIST_DIR" >&2; exit 2; }
    mkdir -p "$1"
    dist=$(cd "$1" && pwd)
    cd "$(dirname "${BASH_SOURCE[0]}")/../.."
    tools/install-deps.sh wasm
    cmake --preset release-wasm >/dev/null
    cmake --build --preset release-wasm -j "$(nproc)" --target "$target"
    version=$(build_version "$build")
}
