#!/usr/bin/env bash
# Builds the PostgreSQL extension (postgres/) over libonymix.a, installs it
# into PostgreSQL 15's folders (which needs root) and runs its regression
# tests (make installcheck) against a server of their own, started here in
# a temporary folder and stopped at the end. The golden files go to that
# folder, where the server reads them.
#
#   tools/test-postgres.sh          libonymix.a of build/release-native,
#                                   made first when it is not there
#   ONYMIX_BUILD=DIR tools/test-postgres.sh    that of another build folder
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh postgres
source tools/lib/postgres-server.bash

build=${ONYMIX_BUILD:-$root/build/release-native}
if [ -z "${ONYMIX_BUILD:-}" ]; then
    [ -f build/release-native/CMakeCache.txt ] || cmake --preset release-native >/dev/null
    cmake --build --preset release-native -j "$(nproc)" --target onymix_archive >/dev/null
fi
[ -f "$build/libonymix.a" ] || { echo "test-postgres: no libonymix.a in $build" >&2; exit 1; }

# Built anew: one file, and the archive may be another build folder's.
make -s -C postgres clean
make -s -C postgres ONYMIX_BUILD="$build"
make -s -C postgres ONYMIX_BUILD="$build" install

trap postgres_server_stop EXIT
postgres_server_start
cp -R tests/golden "$postgres_server_dir/golden"
[ "$(id -u)" -ne 0 ] || chown -R postgres: "$postgres_server_dir/golden"

if ! make -s -C postgres ONYMIX_BUILD="$build" ONYMIX_GOLDEN="$postgres_server_dir/golden" installcheck; then
    [ ! -f postgres/regression.diffs ] || cat postgres/regression.diffs
    exit 1
fi
