#!/usr/bin/env bash
# Regenerates names/data/*-weights.txt, the census frequencies of the names
# in names/data/*.txt, which the weighted sequences draw by.
#
# Source: the 1990 US Census name frequency lists as Debian's package
# libtext-names-perl 0.46 carries them (Text/Names.pm, one name a line as
# NAME PERCENT CUMULATIVE RANK, some surname lines holding two): the male and
# female first-name lists complete, and the surnames to rank 1,000. Needs
# apt-get (the package is downloaded, not installed) and python3. Checks name
# by name and rank by rank that the lists are the ones in names/data (cut to
# 13 letters as those are) and stops at the first difference; writes the
# percent column, one line a name in the order of the name list: every first
# name, and the first 1,000 surnames.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
data="$here/names/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && apt-get download libtext-names-perl=0.46-2 >/dev/null 2>&1 ||
    apt-get download libtext-names-perl >/dev/null)
dpkg-deb -x "$work"/libtext-names-perl_*.deb "$work/x"
grep -q "^our \$VERSION = '0.46';" "$work/x/usr/share/perl5/Text/Names.pm" ||
    { echo "fetch_weights: Text/Names.pm is not version 0.46" >&2; exit 1; }

python3 - "$work/x/usr/share/perl5/Text/Names.pm" "$data" <<'PY'
import re, sys

source, data = sys.argv[1:]
text = open(source, encoding="utf-8").read()
lists = [("COMMON_MALE_FIRSTNAMES", "male", 1219),
         ("COMMON_FEMALE_FIRSTNAMES", "female", 4275),
         ("COMMON_SURNAMES", "surnames", 1000)]
entry = re.compile(r"([A-Z][A-Z'-]*)\s+(\d+\.\d{3})\s+(\d+\.\d{3})\s+(\d+)")
for variable, name, count in lists:
    block = re.search(r"\$%s = <<ENDNAMES;\n(.*?)\nENDNAMES" % variable, text, re.S)
    if not block:
        sys.exit(f"fetch_weights: no list {variable} in {source}")
    entries = entry.findall(block.group(1))
    ours = open(f"{data}/{name}.txt", encoding="ascii").read().split("\n")[:-1]
    if len(entries) != count:
        sys.exit(f"fetch_weights: {variable} has {len(entries)} names, expected {count}")
    for place, ((census, percent, _, rank), known) in enumerate(zip(entries, ours), 1):
        if int(rank) != place:
            sys.exit(f"fetch_weights: {variable}: rank {rank} at place {place}")
        if census[:13].capitalize() != known:
            sys.exit(f"fetch_weights: {name}.txt line {place} is {known}, the census list has {census}")
        if percent == "0.000":
            sys.exit(f"fetch_weights: {variable}: {census} has no weight")
    with open(f"{data}/{name}-weights.txt", "w", encoding="ascii", newline="\n") as out:
        out.write("".join(percent + "\n" for _, percent, _, _ in entries))
    print(f"{name}-weights.txt: {count} weights, {sum(int(p.replace('.', '')) for _, p, _, _ in entries) / 1000:.3f} percent in all")
PY
