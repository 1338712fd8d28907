#!/usr/bin/env bash
# Builds the PostgreSQL extension (postgres/) over libonymix.a, installs it
# into PostgreSQL 15's folders (which needs root) and runs its regression
# tests (make installcheck) against a server of their own, started here in
# a temporary folder and stopped at the end; the upgrade test finds the
# install script of 1.1.0 (postgres/test/) installed beside them meanwhile. The golden files go to that
# folder, where the server reads them. Last, the key set in the server's
# configuration, as docs/postgresql.md says, is checked from another role.
#
#   tools/test-postgres.sh          libonymix.a of build/release-native,
#                                   made first when it is not there
#   ONYMIX_BUILD=DIR tools/test-postgres.sh    that of another build folder
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh postgres
source tools/lib/postgres-server.bash

postgres_extension_install
# The install script of 1.1.0 as it shipped, for the test of ALTER EXTENSION
# onymix UPDATE from it, beside the installed files for this run only; one
# that was there before is put back at the end.
old_script="$("$PG_CONFIG" --sharedir)/extension/onymix--1.1.0.sql"
kept=$(mktemp)
had_old_script=false
put_back_old_script() {
    if $had_old_script; then
        cp "$kept" "$old_script"
    else
        rm -f "$old_script"
    fi
    rm -f "$kept"
}
trap 'postgres_server_stop; put_back_old_script' EXIT
if [ -e "$old_script" ]; then
    cp "$old_script" "$kept"
    had_old_script=true
fi
cp postgres/test/onymix--1.1.0.sql "$old_script"

postgres_server_start
cp -R tests/golden "$postgres_server_dir/golden"
[ "$(id -u)" -ne 0 ] || chown -R postgres: "$postgres_server_dir/golden"

if ! make -s -C postgres ONYMIX_GOLDEN="$postgres_server_dir/golden" installcheck; then
    [ ! -f postgres/regression.diffs ] || cat postgres/regression.diffs
    exit 1
fi

# The key in the server's configuration, as docs/postgresql.md sets it:
# loaded with the library in every session, every role masks with it and
# only superusers can read it, even in a session that has not called onymix
# yet.
echo "== onymix.key in the server's configuration"
psql -X -q -v ON_ERROR_STOP=1 >/dev/null <<'SQL'
LOAD 'onymix';
ALTER SYSTEM SET onymix.key = '\x000102030405060708090a0b0c0d0e0f';
ALTER SYSTEM SET session_preload_libraries = 'onymix';
CREATE ROLE onymix_reader LOGIN;
SELECT pg_reload_conf();
SQL
for _ in $(seq 50); do
    [ "$(psql -X -At -c 'SHOW session_preload_libraries')" = onymix ] && break
    sleep 0.1
done
shown=$(psql -X -At -U onymix_reader -c 'SHOW onymix.key' 2>&1 || true)
keyed=$(psql -X -At -U onymix_reader -d contrib_regression -c \
    "SELECT onymix_name(0) = onymix_name(0, 'Any + Surname', '\x000102030405060708090a0b0c0d0e0f')")
if [[ "$shown" != *"must be superuser"* ]] || [ "$keyed" != t ]; then
    echo "test-postgres: another role read the key [$shown] or did not use it [$keyed]" >&2
    exit 1
fi
echo "ok: another role uses the configured key and cannot read it"
