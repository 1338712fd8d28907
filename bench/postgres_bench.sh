#!/usr/bin/env bash
# Times the PostgreSQL extension's names by id on a table of a million ids,
# in serial plans, against the two ways plain SQL gets a name or a hash: a
# lookup in an indexed table of names by the first six hex digits of
# md5(id || salt), and PostgreSQL's own md5(). Each query's time less that
# of a plain scan of the table is its cost per row. Then masks the table
# with UPDATE and counts the different names. Builds and installs the
# extension (root) and runs a server of its own, as tools/test-postgres.sh.
#
#   bench/postgres_bench.sh [ROWS]       (ROWS: 1000000 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000}
tools/install-deps.sh postgres
source tools/lib/postgres-server.bash

postgres_extension_install

trap postgres_server_stop EXIT
# Room for the lookup table and its index in shared buffers, so that the
# lookup is timed at its best.
postgres_server_start shared_buffers=2GB max_parallel_workers_per_gather=0 jit=off

sql() { psql -X -q -At -v ON_ERROR_STOP=1 "$@"; }

echo "== a table of $rows ids, and the lookup table of 16^6 names"
start=$SECONDS
sql -v rows="$rows" <<'EOF'
CREATE EXTENSION onymix;
CREATE TABLE t (id bigint NOT NULL, name text);
INSERT INTO t (id) SELECT i FROM generate_series(1, :rows) AS i;
-- What such add-ons ship: a name for every 6-hex-digit prefix of a hash.
CREATE TABLE name_lookup (prefix text NOT NULL, name text NOT NULL);
INSERT INTO name_lookup
SELECT lpad(to_hex(i), 6, '0'), onymix_name(i, 'Male + Surname', '\x0f0e0d0c0b0a09080706050403020100')
FROM generate_series(0, 16777215) AS i;
ALTER TABLE name_lookup ADD PRIMARY KEY (prefix);
VACUUM ANALYZE t;
VACUUM ANALYZE name_lookup;
-- The best of three runs of each query, in milliseconds, once its pages
-- are in memory. The runs go round the queries in turn, so that a busy
-- spell of the machine falls on all of them alike.
CREATE FUNCTION best_ms(names text[], queries text[])
RETURNS TABLE (what text, ms double precision) LANGUAGE plpgsql AS $$
DECLARE
    best double precision[] := array_fill(NULL::double precision, ARRAY[cardinality(queries)]);
    began timestamptz;
BEGIN
    FOR run IN 0..3 LOOP
        FOR i IN 1..cardinality(queries) LOOP
            began := clock_timestamp();
            EXECUTE queries[i];
            IF run > 0 THEN
                best[i] := least(best[i], 1000 * extract(epoch FROM clock_timestamp() - began));
            END IF;
        END LOOP;
    END LOOP;
    RETURN QUERY SELECT n, b FROM unnest(names, best) AS u(n, b);
END
$$;
EOF
echo "   $((SECONDS - start)) s"

echo "== serial plans, best of three runs each"
sql -v rows="$rows" <<'EOF'
SET max_parallel_workers_per_gather = 0;
CREATE TEMP TABLE timings AS
SELECT * FROM best_ms(
    ARRAY['scan', 'onymix_name', 'onymix_name, key given', 'lookup', 'md5'],
    ARRAY['SELECT sum(id) FROM t',
          'SELECT sum(length(onymix_name(id, ''Male + Surname''))) FROM t',
          'SELECT sum(length(onymix_name(id, ''Male + Surname'', ''\x000102030405060708090a0b0c0d0e0f''))) FROM t',
          'SELECT sum(length((SELECT name FROM name_lookup WHERE prefix = substr(md5(id || ''salt''), 1, 6)))) FROM t',
          'SELECT sum(length(md5(id::text))) FROM t']);
\pset format aligned
\pset footer off
\pset tuples_only off
SELECT what, round(ms::numeric, 1) AS ms,
       round((1e6 * (ms - (SELECT ms FROM timings WHERE what = 'scan')) / :rows)::numeric, 1) AS ns_a_row
FROM timings;
WITH cost AS (
    SELECT what, ms - (SELECT ms FROM timings WHERE what = 'scan') AS ms FROM timings)
SELECT round(((SELECT ms FROM cost WHERE what = 'lookup') / (SELECT ms FROM cost WHERE what = 'onymix_name'))::numeric, 2)
           AS "lookup / name (goal >= 3)",
       round(((SELECT ms FROM cost WHERE what = 'onymix_name') / (SELECT ms FROM cost WHERE what = 'md5'))::numeric, 2)
           AS "name / md5 (goal <= 2)";
EOF

echo "== UPDATE t SET name = onymix_name(id)"
sql <<'EOF'
\pset format aligned
\pset footer off
\pset tuples_only off
\timing on
UPDATE t SET name = onymix_name(id);
\timing off
SELECT count(*) AS rows, count(DISTINCT name) AS different_names FROM t;
EOF
