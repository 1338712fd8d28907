# postgres-server.bash: sourced by tools/test-postgres.sh and
# bench/postgres_bench.sh: the extension built and installed, and a
# PostgreSQL 15 server of their own for the length of a run: made by initdb in a new folder, listening only on a Unix
# socket there, stopped and removed by postgres_server_stop (set it as the
# EXIT trap). The server refuses to run as root, so under root it runs as
# the postgres user, which then owns the folder.

pg_bindir=$(/usr/lib/postgresql/15/bin/pg_config --bindir)
PG_CONFIG=$pg_bindir/pg_config
export PG_CONFIG
postgres_server_dir=

# postgres_extension_install: builds the extension (postgres/) anew over the
# libonymix.a of $ONYMIX_BUILD, or of build/release-native made first when
# that is not set, and installs it into the server's folders (root).
postgres_extension_install() {
    local build=${ONYMIX_BUILD:-$PWD/build/release-native}
    if [ -z "${ONYMIX_BUILD:-}" ]; then
        [ -f build/release-native/CMakeCache.txt ] || cmake --preset release-native >/dev/null
        cmake --build --preset release-native -j "$(nproc)" --target onymix_archive >/dev/null
    fi
    [ -f "$build/libonymix.a" ] || { echo "${0##*/}: no libonymix.a in $build" >&2; return 1; }
    make -s -C postgres clean
    make -s -C postgres ONYMIX_BUILD="$build"
    make -s -C postgres ONYMIX_BUILD="$build" install
}

# as_server_user COMMAND...: runs a command as the user the server runs as.
as_server_user() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

# postgres_server_start [SETTING=VALUE...]: starts the server with these
# settings besides the socket's, and points libpq's PGHOST, PGPORT, PGUSER
# and PGDATABASE at it.
postgres_server_start() {
    postgres_server_dir=$(mktemp -d "${TMPDIR:-/tmp}/onymix-pg.XXXXXX")
    [ "$(id -u)" -ne 0 ] || chown postgres: "$postgres_server_dir"
    # Data that is thrown away needs no durability: no fsync, at initdb
    # and in the server.
    as_server_user "$pg_bindir/initdb" -D "$postgres_server_dir/data" -U postgres -A trust \
        -E UTF8 --locale=C --no-sync >"$postgres_server_dir/initdb.log"
    local options="-k $postgres_server_dir -c listen_addresses= -c fsync=off" setting
    for setting in "$@"; do
        options+=" -c $setting"
    done
    as_server_user "$pg_bindir/pg_ctl" -D "$postgres_server_dir/data" -l "$postgres_server_dir/server.log" \
        -o "$options" -w -s start
    export PGHOST=$postgres_server_dir PGPORT=5432 PGUSER=postgres PGDATABASE=postgres
}

# postgres_server_stop: stops the server, if one was started, and removes
# its folder. The server's log is printed when the run failed.
postgres_server_stop() {
    local status=$?
    [ -n "$postgres_server_dir" ] || return "$status"
    if [ "$status" -ne 0 ] && [ -f "$postgres_server_dir/server.log" ]; then
        echo "== the server's log" >&2
        tail -n 40 "$postgres_server_dir/server.log" >&2
    fi
    as_server_user "$pg_bindir/pg_ctl" -D "$postgres_server_dir/data" -m fast -w -s stop || true
    rm -rf "$postgres_server_dir"
    postgres_server_dir=
    return "$status"
}
