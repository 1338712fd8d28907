#!/usr/bin/env python3
"""A CSV round trip of onymix-cli --mask judged by Python's csv module.

Writes a CSV with a byte-order mark, CR LF and LF line ends, quoted and
unquoted fields, commas, quotes and line breaks inside quotes; masks a
first-name column and a column in a mode; then reads input and output with
csv and checks that every unmasked field is the same, that every masked
field is the golden masking (or the pseudonym onymix-cli --pseudonymize
gives), and that the bytes are the input's with only the masked fields
replaced, quoted as they were.

cli_mask_csv_check.py ONYMIX-CLI GOLDEN-FOLDER
"""
import csv
import io
import random
import subprocess
import sys

KEY = '000102030405060708090a0b0c0d0e0f'


def unescape(text):
    out, i = bytearray(), 0
    while i < len(text):
        c = text[i]
        if c != '\\':
            out += c.encode()
        elif text[i + 1] == 'x':
            out.append(int(text[i + 2:i + 4], 16))
            i += 2
        else:
            out += {'t': b'\t', 'n': b'\n', 'r': b'\r'}.get(text[i + 1], text[i + 1].encode())
        i += 1 + (c == '\\')
    return out.decode('utf-8', 'surrogateescape')


def needs_quotes(value):
    return any(c in value for c in ',"\r\n')


def field(value, quoted):
    if quoted or needs_quotes(value):
        return '"' + value.replace('"', '""') + '"'
    return value


def main():
    cli, golden = sys.argv[1], sys.argv[2]
    masked = {}
    with open(f'{golden}/mask-first-{KEY}.txt', encoding='utf-8', errors='surrogateescape',
              newline='\n') as lines:
        for line in lines:
            value, fake = line.rstrip('\n').split('\t')
            masked[unescape(value)] = unescape(fake)
    firsts = [v for v in masked if '\x00' not in v]
    rng = random.Random(7)
    notes = ['plain', 'a, comma', 'a "quote"', 'line\nbreak', 'cr lf\r\ninside', '', ' spaced ']
    cities = ['Oslo', 'Rome', 'São Paulo', 'Zürich', 'New York']
    rows, quoting, ends = [], [], []
    for i in range(600):
        rows.append([str(i), rng.choice(firsts), rng.choice(notes), rng.choice(cities)])
        # A field is quoted by chance, or because its value needs it; its
        # masking is then quoted too.
        quoting.append([rng.random() < 0.3 or needs_quotes(v) for v in rows[-1]])
        ends.append('\r\n' if rng.random() < 0.5 else '\n')
    header = ['id', 'first name', 'note', 'city']
    text = '\ufeff' + ','.join(field(h, h == 'first name') for h in header) + '\r\n'
    for row, quoted, end in zip(rows, quoting, ends):
        text += ','.join(field(v, q) for v, q in zip(row, quoted)) + end
    data = text.encode('utf-8', 'surrogateescape')

    run = subprocess.run([cli, '--key', KEY, '--mask', 'first name=first', '--mask',
                          '4=Surname', '--jobs', '3'], input=data, capture_output=True)
    if run.returncode != 0:
        sys.exit(f'onymix-cli failed ({run.returncode}): {run.stderr.decode()}')
    cities_in = sorted({r[3] for r in rows})
    pseudonyms = subprocess.run([cli, '--pseudonymize', '-m', 'Surname', '--key', KEY],
                                input='\n'.join(cities_in).encode() + b'\n',
                                capture_output=True, check=True).stdout.decode().split('\n')
    city_fake = dict(zip(cities_in, pseudonyms))

    def read(raw):
        return list(csv.reader(io.StringIO(raw.decode('utf-8', 'surrogateescape'),
                                           newline='')))
    before, after = read(data), read(run.stdout)
    failures = []
    if len(before) != len(after):
        failures.append(f'{len(before)} records in, {len(after)} out')
    for n, (a, b) in enumerate(zip(before[1:], after[1:]), 2):
        want = [a[0], masked[a[1]], a[2], city_fake[a[3]]]
        if b != want:
            failures.append(f'record {n}: expected {want!r}, came {b!r}')
    if before[0] != after[0]:
        failures.append(f'header: expected {before[0]!r}, came {after[0]!r}')
    # The bytes: the input's, with only the masked fields replaced.
    expected = '\ufeff' + ','.join(field(h, h == 'first name') for h in header) + '\r\n'
    for row, quoted, end in zip(rows, quoting, ends):
        fake = [row[0], masked[row[1]], row[2], city_fake[row[3]]]
        expected += ','.join(field(v, q) for v, q in zip(fake, quoted)) + end
    if run.stdout != expected.encode('utf-8', 'surrogateescape'):
        failures.append('the bytes differ from the input with the masked fields replaced')
    for f in failures[:10]:
        print(f)
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
