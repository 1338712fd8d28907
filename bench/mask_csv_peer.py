#!/usr/bin/env python3
"""The masking of three CSV columns as people commonly write it in Python:
the csv module reads and writes, Faker invents the names, and a dict for
each column keeps one fake for each real value, so that the masking is
consistent within the run. The peer that bench/mask_csv_bench.sh --peer
times onymix-cli against on the same bytes.

Faker comes with Debian's python3-fake-factory (apt-get install
python3-fake-factory), importable from /usr/bin/python3.

    /usr/bin/python3 bench/mask_csv_peer.py IN.csv OUT.csv
"""
import csv
import sys

from faker import Faker


def main():
    source, target = sys.argv[1:3]
    fake = Faker('en_US')
    fake.seed_instance(1) if hasattr(fake, 'seed_instance') else fake.seed(1)
    makers = {'first_name': fake.first_name, 'surname': fake.last_name, 'full_name': fake.name}
    seen = {column: {} for column in makers}
    with open(source, newline='', encoding='utf-8') as src, \
            open(target, 'w', newline='', encoding='utf-8') as dst:
        reader = csv.DictReader(src)
        writer = csv.DictWriter(dst, fieldnames=reader.fieldnames, lineterminator='\n')
        writer.writeheader()
        for row in reader:
            for column, make in makers.items():
                value = row[column]
                if value:
                    fakes = seen[column]
                    if value not in fakes:
                        fakes[value] = make()
                    row[column] = fakes[value]
            writer.writerow(row)


if __name__ == '__main__':
    main()
