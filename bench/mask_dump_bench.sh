#!/usr/bin/env bash
# Times pg_dump DB > FILE against pg_dump DB | onymix-cli --dump ... > FILE
# on a database of ROWS customers (id, first name, surname, full name,
# email) and as many orders naming them by full name, on a PostgreSQL 15
# server of its own (tools/lib/postgres-server.bash), four columns masked.
# The two are run alternately RUNS times each; prints each run's wall time,
# the medians, and what masking adds to pg_dump's time. Not run by CI.
#
# bench/mask_dump_bench.sh [path/to/onymix-cli] [rows] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/native/onymix-cli}")
rows=${2:-2000000}
runs=${3:-3}
[ -x "$cli" ] || { echo "no onymix-cli at $cli (build the native preset first)" >&2; exit 1; }
source tools/lib/postgres-server.bash
dir=$(mktemp -d "${TMPDIR:-/tmp}/onymix-dump-bench.XXXXXX")
trap 'postgres_server_stop; rm -rf "$dir"' EXIT
postgres_server_start

# The names made by onymix-cli itself, full names mostly different.
last=$((rows - 1))
names() { "$cli" --quiet --ids "0-$last" --key "$2" -m "$1"; }
names 'Any' 0f0e0d0c0b0a09080706050403020100 >"$dir/first"
names 'Surname' 1f1e1d1c1b1a19181716151413121110 >"$dir/surname"
names 'Any + Surname' 2f2e2d2c2b2a29282726252423222120 >"$dir/full"
paste -d '\t' "$dir/first" "$dir/surname" "$dir/full" |
    awk -F '\t' '{ printf "%d\t%s\t%s\t%s\t%s.%s%d@example.com\n", NR, $1, $2, $3,
                   tolower($1), tolower($2), NR % 100 }' >"$dir/customers.txt"
rm -f "$dir/first" "$dir/surname" "$dir/full"
createdb bench
psql -X -q -v ON_ERROR_STOP=1 -d bench <<SQL
CREATE TABLE customers (id int PRIMARY KEY, first_name text, surname text, full_name text,
                        email text);
CREATE TABLE orders (id int PRIMARY KEY, customer_name text, amount numeric);
\\copy customers FROM '$dir/customers.txt'
INSERT INTO orders SELECT id, full_name, id % 1000 / 10.0 FROM customers;
SQL
rm -f "$dir/customers.txt"

printf '000102030405060708090a0b0c0d0e0f\n' >"$dir/key"
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
plain() { pg_dump bench >"$dir/plain.sql"; }
masked() {
    pg_dump bench | "$cli" --quiet --dump --key-file "$dir/key" \
        --mask customers.first_name=first --mask customers.surname=surname \
        --mask customers.full_name=full --mask orders.customer_name=full >"$dir/masked.sql"
}
median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2) }'; }

plain # once before, so that both find the tables in the server's cache
echo "$rows customers and $rows orders, $(nproc) cores, $runs runs of each, alternating"
: >"$dir/plain.times"
: >"$dir/masked.times"
for run in $(seq "$runs"); do
    p=$(seconds plain)
    m=$(seconds masked)
    echo "$p" >>"$dir/plain.times"
    echo "$m" >>"$dir/masked.times"
    printf 'run %d: pg_dump %8.3f s   pg_dump | onymix-cli --dump %8.3f s\n' "$run" "$p" "$m"
done
p=$(median <"$dir/plain.times")
m=$(median <"$dir/masked.times")
printf 'dump: %d bytes; masked: %d bytes\n' "$(wc -c <"$dir/plain.sql")" "$(wc -c <"$dir/masked.sql")"
printf 'median: pg_dump %.3f s, masked %.3f s: masking adds %.1f%%\n' "$p" "$m" \
    "$(echo "($m - $p) * 100 / $p" | bc -l)"
