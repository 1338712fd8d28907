#!/usr/bin/env bash
# Times onymix-cli --mask on a generated CSV file of ROWS records (id, first
# name, surname, full name, email, city; the names made by onymix-cli
# itself, full names mostly different), three columns masked, with --jobs 1
# and with every core, against wc -l of the same file (the cost of reading
# it) in the same run. Prints MB/s for each; the output goes to /dev/null.
#
# The three are timed in turn, RUNS rounds of them (--runs=N, 3 by
# default), and each is given its fastest run: on a shared machine a run
# is slowed by what else runs, never sped up, so the fastest is the
# nearest to the command's own cost, for wc -l as for onymix-cli.
#
# With --peer[=MB], also times the masking as it is commonly written in
# Python (bench/mask_csv_peer.py: csv, Faker and a dict for each column)
# against onymix-cli on the first MB megabytes of the file (100 by default;
# the whole file when it is smaller), and prints how many times faster
# onymix-cli is. It needs Faker under /usr/bin/python3 (Debian's
# python3-fake-factory) and takes minutes.
#
# bench/mask_csv_bench.sh [--peer[=MB]] [--runs=N] [path/to/onymix-cli] [rows]
set -euo pipefail

peer_mb=0
runs=3
args=()
for arg in "$@"; do
    case $arg in
    --peer) peer_mb=100 ;;
    --peer=*) peer_mb=${arg#--peer=} ;;
    --runs=*) runs=${arg#--runs=} ;;
    *) args+=("$arg") ;;
    esac
done
set -- "${args[@]+"${args[@]}"}"
cli=${1:-build/native/onymix-cli}
rows=${2:-1000000}
here=$(cd "$(dirname "$0")" && pwd)
[ -x "$cli" ] || { echo "no onymix-cli at $cli (build the native preset first)" >&2; exit 1; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/onymix-mask-bench.XXXXXX")
trap 'rm -rf "$dir"' EXIT
csv=$dir/people.csv
last=$((rows - 1))
names() { "$cli" --quiet --ids "0-$last" --key "$2" -m "$1"; }
names 'Any' 0f0e0d0c0b0a09080706050403020100 >"$dir/first"
names 'Surname' 1f1e1d1c1b1a19181716151413121110 >"$dir/surname"
names 'Any + Surname' 2f2e2d2c2b2a29282726252423222120 >"$dir/full"
names 'Surname' 3f3e3d3c3b3a39383736353433323130 >"$dir/city"
{
    echo 'id,first_name,surname,full_name,email,city'
    paste -d '\t' "$dir/first" "$dir/surname" "$dir/full" "$dir/city" |
        awk -F '\t' '{ printf "%d,%s,%s,%s,%s.%s%d@example.com,%s\n", NR, $1, $2, $3,
                       tolower($1), tolower($2), NR % 100, $4 }'
} >"$csv"
rm -f "$dir/first" "$dir/surname" "$dir/full" "$dir/city"
bytes=$(wc -c <"$csv")

key=000102030405060708090a0b0c0d0e0f
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
report() {
    printf '%-28s %8.3f s %10.1f MB/s\n' "$1" "$2" "$(echo "$bytes / $2 / 1000000" | bc -l)"
}
mask() {
    "$cli" --quiet --key "$key" --mask first_name=first --mask surname=surname \
        --mask full_name=full "$@" "$csv"
}
# The smaller of two times.
least() {
    if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi
}
echo "$rows rows, $bytes bytes, $(nproc) cores, fastest of $runs runs each"
wc_time='' jobs1='' every=''
for _ in $(seq "$runs"); do
    wc_time=$(least "$wc_time" "$(seconds wc -l "$csv")")
    jobs1=$(least "$jobs1" "$(seconds mask --jobs 1)")
    every=$(least "$every" "$(seconds mask)")
done
report "wc -l" "$wc_time"
report "onymix-cli --jobs 1" "$jobs1"
report "onymix-cli (every core)" "$every"
printf 'onymix-cli (every core) at %.1f%% of the speed of wc -l\n' "$(echo "100 * $wc_time / $every" | bc -l)"

[ "$peer_mb" -gt 0 ] || exit 0
/usr/bin/python3 -c 'import faker' 2>/dev/null ||
    { echo "no Faker under /usr/bin/python3 (apt-get install python3-fake-factory)" >&2; exit 1; }
part=$dir/part.csv
# Whole lines only, up to MB megabytes.
head -c "$((peer_mb * 1000000))" "$csv" >"$part.cut"
if [ -n "$(tail -c 1 "$part.cut")" ]; then
    sed '$d' "$part.cut" >"$part"
else
    mv "$part.cut" "$part"
fi
part_bytes=$(wc -c <"$part")
echo "peer part: $part_bytes bytes"
peer=$(seconds /usr/bin/python3 "$here/mask_csv_peer.py" "$part" /dev/null)
csv=$part
ours=$(seconds mask)
bytes=$part_bytes
report "python csv + Faker + dict" "$peer"
report "onymix-cli (every core)" "$ours"
printf 'onymix-cli is %.0f times as fast\n' "$(echo "$peer / $ours" | bc -l)"
