"""make_golden.py: writes the golden files of names by id, pseudonyms, far
seeds and seeks into tests/golden from the reference (onymix_reference.py),
or, with --check, compares the files there with it, and the sequences of
the seconds of the day too. The files fix the
product: once released, the same input gives the same names for ever, so
they are written once and then only checked.

    /usr/bin/python3 tests/reference/make_golden.py [--check]
"""
import sys
from pathlib import Path

from onymix_reference import Lists

ROOT = Path(__file__).resolve().parents[2]
GOLDEN = ROOT / "tests" / "golden"
KEYS = {"00000000000000000000000000000000": bytes(16),
        "000102030405060708090a0b0c0d0e0f": bytes(range(16))}
FAR_SEEDS = (86400, 2**32, 2**64 - 1)
SEEKS = (10**6, 10**12, 2**63)
VALUES = [b"", b"a", b"A", b"alice", b"Alice", b"alice@example.com", b"bob@example.com",
          b"123", b"1234567", b"12345678", b"123456789", b"customer-42", b"customer-43",
          b"0123456789abcde", b"0123456789abcdef", b"0123456789abcdefg",
          "Zoë".encode(), "Ольга".encode(), "王芳".encode(), "😀".encode(),
          "Renée Müller".encode(), b"\x00", b"\x00\x00", b"\xff", b"\xff\xfe",
          bytes(range(32)), bytes(range(255, 191, -1)), b"x" * 100, b" ", b"\r\n",
          b"Emmitt Verhagen", b"emmitt verhagen", b"555-0100", b"2026-12-07",
          b"\xc3\x28", b"\x80"]


def ids_of(count):
    return list(range(1000)) + list(range(count - 3, count + 3)) + [2**64 - 3, 2**64 - 2,
                                                                   2**64 - 1]


def files(lists, check):
    """Every golden file of these kinds: its name and its text; to check,
    also the sequences of the seconds of the day that the program's own
    generator made first."""
    for mode in range(7):
        for seed in (0, 1, 43200, 86399) if check else ():
            yield f"sequence-{mode}-{seed}.txt", lists.sequence(mode, seed, 1000)
        for key_name, key in KEYS.items():
            lines = [f"{i}\t{lists.name_for_id(mode, i, key)}" for i in ids_of(lists.count(mode))]
            yield f"ids-{mode}-{key_name}.txt", lines
        for seed in FAR_SEEDS:
            yield f"sequence-{mode}-{seed}.txt", lists.sequence(mode, seed, 1000)
        for start in SEEKS:
            yield f"sequence-{mode}-0-from-{start}.txt", lists.sequence(mode, 0, 1000, start)
    for key_name, key in KEYS.items():
        lines = [f"{mode}\t{value.hex()}\t{lists.pseudonym(mode, value, key)}"
                 for mode in range(7) for value in VALUES]
        yield f"pseudonyms-{key_name}.txt", lines


def main():
    check = sys.argv[1:] == ["--check"]
    lists = Lists(ROOT / "names" / "data")
    wrong = 0
    for name, lines in files(lists, check):
        text = "\n".join(lines) + "\n"
        path = GOLDEN / name
        if not check:
            path.write_text(text, encoding="utf-8", newline="\n")
        elif not path.is_file() or path.read_text(encoding="utf-8") != text:
            print(f"{path}: not what the reference makes", file=sys.stderr)
            wrong += 1
    print(f"{'checked' if check else 'wrote'} the golden files; {wrong} wrong")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
