#!/usr/bin/env bash
# The round trip of onymix-cli --dump on a PostgreSQL 15 server of its own
# (tools/lib/postgres-server.bash): a database of customers, orders and a
# partitioned table, with families, NULLs, names in many scripts and values
# that COPY escapes, is dumped with pg_dump, masked and loaded into a second
# database by psql, in one pipe; tests/mask_dump_check.py then judges the
# tables of both. Last, an --inserts dump is refused, with nothing left at
# -o. Says NOT RUN and passes when PostgreSQL's server programs are missing.
#
#   tools/test-mask-dump.sh                  build/native/onymix-cli
#   ONYMIX_CLI=PATH tools/test-mask-dump.sh  another onymix-cli
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${ONYMIX_CLI:-build/native/onymix-cli}")
[ -x "$cli" ] || { echo "test-mask-dump: no onymix-cli at $cli" >&2; exit 1; }
if [ ! -x /usr/lib/postgresql/15/bin/initdb ] || [ ! -x /usr/lib/postgresql/15/bin/pg_config ]; then
    echo "NOT RUN: the PostgreSQL 15 server programs are missing (postgresql-15), so the round trip of onymix-cli --dump did not run (not passed)"
    exit 0
fi
source tools/lib/postgres-server.bash
work=$(mktemp -d)
trap 'postgres_server_stop; rm -rf "$work"' EXIT
postgres_server_start
sql() { psql -X -q -v ON_ERROR_STOP=1 "$@"; }

createdb source
createdb masked
sql -d source <<'SQL'
CREATE TABLE customers (id int PRIMARY KEY, first_name text, surname text, full_name text,
                        email text);
CREATE TABLE orders (id int PRIMARY KEY, customer_name text, item text);
CREATE TABLE visits (id int, visitor text, region text) PARTITION BY LIST (region);
CREATE TABLE visits_eu PARTITION OF visits FOR VALUES IN ('eu') PARTITION BY RANGE (id);
CREATE TABLE visits_eu_low PARTITION OF visits_eu FOR VALUES FROM (0) TO (100000);
CREATE TABLE visits_us PARTITION OF visits FOR VALUES IN ('us');
-- Male only, female only, in both lists, unlisted, Latin-1 letters and other
-- scripts; a few surnames a family each, every third customer the next one's
-- relative.
WITH firsts AS (SELECT ARRAY['John', 'Robert', 'Linda', 'Patricia', 'Mary', 'James',
                             'José', 'Zoë', 'Åsa', 'Ægir', 'Иван', '王', 'Nguyễn', 'Ólafur',
                             'Søren', 'Françoise', 'KEVIN', 'dorothy', 'Xzavion'] AS a),
     surnames AS (SELECT ARRAY['Smith', 'Johnson', 'Müller', 'García', 'O''Brien',
                               'Ångström', 'Петров', '李', 'Van Der Berg', 'Lee-Smith',
                               'Nuñez', 'Wójcik'] AS a)
INSERT INTO customers
SELECT i,
       CASE WHEN i % 17 = 0 THEN NULL ELSE f.a[1 + i % array_length(f.a, 1)] END,
       CASE WHEN i % 23 = 0 THEN NULL ELSE s.a[1 + (i / 3) % array_length(s.a, 1)] END,
       CASE WHEN i % 19 = 0 THEN NULL
            ELSE f.a[1 + (i * 7) % array_length(f.a, 1)] || ' ' ||
                 s.a[1 + (i / 3) % array_length(s.a, 1)] END,
       'user' || i || E'@example.com\t\\x'
FROM generate_series(1, 3000) AS i, firsts AS f, surnames AS s;
-- What COPY escapes, in masked and unmasked columns.
INSERT INTO customers VALUES
    (5001, E'Mary\tAnn', E'Smith\\Jones', E'Mary\nSmith', E'a\tb\\c\nd\re'),
    (5002, E'\\N', '', ' ', NULL),
    (5003, E'Jean-Luc\r', E'O\bBrien', E'Lee, Mary\fAnn', E'\v');
INSERT INTO orders
SELECT i, CASE WHEN i % 13 = 0 THEN NULL ELSE c.full_name END, 'item ' || i || E'\\'
FROM generate_series(1, 6000) AS i
    JOIN customers AS c ON c.id = CASE WHEN i > 5990 THEN 5001 + i % 3 ELSE 1 + i % 3000 END;
INSERT INTO visits
SELECT i, c.full_name, CASE WHEN i % 2 = 0 THEN 'eu' ELSE 'us' END
FROM generate_series(1, 2000) AS i JOIN customers AS c ON c.id = 1 + (i * 11) % 3000;
SQL

key=$work/masking.key
printf '8c1f3a0b9d7e6c5f4a3b2c1d0e0f1a2b\n' >"$key"
chmod 600 "$key"
masks=(--mask customers.first_name=first --mask customers.surname=surname
    --mask public.customers.full_name=full --mask orders.customer_name=full
    --mask visits.visitor=full)
echo "== pg_dump source | onymix-cli --dump | psql masked"
pg_dump source | "$cli" --dump --key-file "$key" "${masks[@]}" | sql -d masked >/dev/null

mkdir "$work/original" "$work/masked"
for table in customers orders visits visits_eu_low visits_us; do
    for db in source masked; do
        folder=$work/original
        [ "$db" = source ] || folder=$work/masked
        sql -d "$db" -c "COPY (SELECT * FROM $table ORDER BY id) TO STDOUT WITH (HEADER)" \
            >"$folder/$table.txt"
    done
done
python3 tests/mask_dump_check.py "$work/original" "$work/masked" names/data

echo "== an --inserts dump refused, nothing written at -o"
status=0
pg_dump --inserts source | "$cli" --dump --key-file "$key" "${masks[@]}" -o "$work/refused.sql" \
    2>"$work/refused.err" || status=$?
if [ "$status" -ne 2 ] || [ -e "$work/refused.sql" ] || ! grep -q "an INSERT into" "$work/refused.err" ||
    [ -n "$(ls "$work" | grep refused.sql)" ]; then
    echo "test-mask-dump: the --inserts dump gave exit $status, [$(cat "$work/refused.err")]" >&2
    ls "$work" >&2
    exit 1
fi
echo "ok: refused with exit 2 ($(head -n 1 "$work/refused.err")), nothing at -o"
