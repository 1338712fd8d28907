#!/usr/bin/env bash
# Installs a native build's libonymix into a fresh prefix and builds the
# consumer program against it the ways its users do: with pkg-config (shared
# and static) and with CMake's find_package (shared and static). Each copy
# must run, find the installed library and give the golden names.
#
#   run.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-consumer.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
golden="$source/tests/golden"
here=$(dirname "$0")

export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name onymix.pc)")
libdir=$(realpath "$(pkg-config --variable=libdir onymix)")
echo "pkg-config: onymix $(pkg-config --modversion onymix), libdir $libdir"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$work/shared" "$here/consumer.c" $(pkg-config --cflags --libs onymix) \
    -Wl,-rpath,"$libdir"
# The static library linked by the C compiler alone: it needs no C++ run-time.
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$work/static" "$here/consumer.c" $(pkg-config --cflags onymix) \
    "$libdir/libonymix.a"
# (ldd's output is taken whole first: grep -q would stop reading early, and
# pipefail would count ldd's broken pipe as a failure.)
libraries=$(ldd "$work/shared")
grep -q "libonymix.so.1 => $libdir/libonymix.so.1" <<<"$libraries" ||
    { echo "the pkg-config build does not use the installed libonymix.so.1" >&2; exit 1; }
libraries=$(ldd "$work/static")
if grep -q "libonymix\|libstdc++" <<<"$libraries"; then
    echo "the static build depends on libonymix or libstdc++ at run time" >&2
    exit 1
fi
"$work/shared" "$golden"
"$work/static" "$golden"

cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$work/cmake" >/dev/null
libraries=$(ldd "$work/cmake/consumer")
grep -q "libonymix.so.1 => $libdir/libonymix.so.1" <<<"$libraries" ||
    { echo "the find_package build does not use the installed libonymix.so.1" >&2; exit 1; }
"$work/cmake/consumer" "$golden"
"$work/cmake/consumer_static" "$golden"
