#!/usr/bin/env python3
"""Judges a pg_dump masked by onymix-cli --dump and loaded into a second
database, from the tables of both written by COPY TO in the text format.

For each table: the same rows (same ids, in id order), every unmasked
column identical, NULL where the original was NULL, no original value left
in a masked column, one fake for each original within a table and across
tables (orders and visits name customers by their full names), and the
sex of every first name that the census lists give one kept: a name in one
list only, or higher in one, is masked into that list.

mask_dump_check.py ORIGINAL-FOLDER MASKED-FOLDER NAMES-FOLDER
"""
import os
import sys

# The masked columns of each table, by kind; the others must be identical.
TABLES = {
    'customers': {'first_name': 'first', 'surname': 'surname', 'full_name': 'full'},
    'orders': {'customer_name': 'full'},
    'visits': {'visitor': 'full'},
    'visits_eu_low': {'visitor': 'full'},
    'visits_us': {'visitor': 'full'},
}
ESCAPES = {'b': '\b', 'f': '\f', 'n': '\n', 'r': '\r', 't': '\t', 'v': '\v', '\\': '\\'}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def field(text):
    """A field of COPY TO's text format: None for \\N, else its value."""
    if text == '\\N':
        return None
    out, i = [], 0
    while i < len(text):
        if text[i] == '\\':
            i += 1
            out.append(ESCAPES[text[i]])
        else:
            out.append(text[i])
        i += 1
    return ''.join(out)


def read_table(folder, table):
    with open(os.path.join(folder, table + '.txt'), encoding='utf-8', newline='\n') as f:
        lines = f.read().split('\n')
    header = lines[0].split('\t')
    return header, [[field(t) for t in line.split('\t')] for line in lines[1:] if line != '']


def sex_lists(folder):
    ranks = {}
    for sex in ('male', 'female'):
        with open(os.path.join(folder, sex + '.txt'), encoding='utf-8') as f:
            ranks[sex] = {name.strip().lower(): n for n, name in enumerate(f) if name.strip()}
    return ranks


def expected_sex(ranks, name):
    male, female = ranks['male'].get(name.lower()), ranks['female'].get(name.lower())
    if male is None and female is None or male == female:
        return None
    if female is None or (male is not None and male < female):
        return 'male'
    return 'female'


def main(original, masked, names):
    ranks = sex_lists(names)
    fakes = {}  # (kind, original) -> the fake it got anywhere
    for table, masking in TABLES.items():
        header, rows = read_table(original, table)
        header2, rows2 = read_table(masked, table)
        check(header == header2, f'{table}: columns {header} became {header2}')
        check([r[0] for r in rows] == [r[0] for r in rows2],
              f'{table}: {len(rows)} rows with ids became {len(rows2)} rows or other ids')
        check(len(rows) > 0, f'{table}: no rows to judge')
        for row, row2 in zip(rows, rows2):
            for c, name in enumerate(header):
                before, after = row[c], row2[c]
                kind = masking.get(name)
                if kind is None:
                    check(before == after, f'{table}.{name}, id {row[0]}: an unmasked value changed')
                    continue
                check((before is None) == (after is None),
                      f'{table}.{name}, id {row[0]}: NULL not kept as NULL')
                if before is None or before.strip() == '':
                    continue
                seen = fakes.setdefault((kind, before), after)
                check(seen == after, f'{table}.{name}, id {row[0]}: one original, two fakes')
                if kind == 'first' and ' ' not in before:
                    sex = expected_sex(ranks, before)
                    check(sex is None or after.lower() in ranks[sex],
                          f'{table}.{name}, id {row[0]}: a {sex} first name lost its sex')
        originals = {(k, v) for (k, v) in fakes}
        for name, kind in masking.items():
            c = header.index(name)
            left = {r[c] for r in rows2 if r[c] is not None and (kind, r[c]) in originals}
            check(not left, f'{table}.{name}: {len(left)} original values left after masking')
    for what in failures[:20]:
        print('mask_dump_check:', what)
    if failures:
        print(f'mask_dump_check: {len(failures)} failures')
        return 1
    print(f'ok: {len(TABLES)} tables judged, {len(fakes)} different originals masked')
    return 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
