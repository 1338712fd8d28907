r"""make_golden.py: writes the golden files of names by id, pseudonyms, far
seeds and seeks, weighted sequences, and maskings, into tests/golden from the reference
(onymix_reference.py), or, with --check, compares the files there with it,
and the sequences of the seconds of the day too. The files fix the
product: once released, the same input gives the same names for ever, so
they are written once and then only checked.

The maskings, mask-KIND-KEY.txt for the kinds first, surname and full: one
value a line, its masking after a tab, each written with the escapes \\
(a backslash), \t, \n, \r, and \xHH (two small hex digits) for every
other byte below 0x20, for 0x7F and for each byte that is not part of
well-formed UTF-8; every other character as its UTF-8.

    /usr/bin/python3 tests/reference/make_golden.py [--check]
"""
import sys
from pathlib import Path

from onymix_reference import Lists, Masking

ROOT = Path(__file__).resolve().parents[2]
GOLDEN = ROOT / "tests" / "golden"
KEYS = {"00000000000000000000000000000000": bytes(16),
        "000102030405060708090a0b0c0d0e0f": bytes(range(16))}
FAR_SEEDS = (86400, 2**32, 2**64 - 1)
SEEKS = (10**6, 10**12, 2**63)
WEIGHTED_SEEDS = (1, 43200, 2**64 - 1)
VALUES = [b"", b"a", b"A", b"alice", b"Alice", b"alice@example.com", b"bob@example.com",
          b"123", b"1234567", b"12345678", b"123456789", b"customer-42", b"customer-43",
          b"0123456789abcde", b"0123456789abcdef", b"0123456789abcdefg",
          "Zoë".encode(), "Ольга".encode(), "王芳".encode(), "😀".encode(),
          "Renée Müller".encode(), b"\x00", b"\x00\x00", b"\xff", b"\xff\xfe",
          bytes(range(32)), bytes(range(255, 191, -1)), b"x" * 100, b" ", b"\r\n",
          b"Emmitt Verhagen", b"emmitt verhagen", b"555-0100", b"2026-12-07",
          b"\xc3\x28", b"\x80"]

MASK_KEY = "000102030405060708090a0b0c0d0e0f"
# Values as text (UTF-8), or as bytes where they are no UTF-8.
MASK_VALUES = {
    "first": [
        "Mary", "MARY", "mary", "mArY", " Mary ", "\tMary\r\n", "John", "JOHN", "James", "Jean",
        "Leslie", "Jordan", "Taylor", "Sasha", "Al", "Van", "Mary Ann", "mary ann", "MARY ANN",
        "Mary ANN", "Mary-Ann", "Jean-Luc", "JEAN-LUC", "Anne-Marie", "Mary  Ann", "Mary\tAnn",
        "Mary - Ann", "Mary--Ann", "-Mary", "Mary-", "Mary,Ann", "J", "J.", "j.", "J. Robert",
        "Robert J.", "J.R.", "J.R", "J. R.", "A.-M.", "J.-Robert", "É.", "é", "Zoë", "ZOË", "zoë",
        "José", "Renée", "Émilie", "ÉMILIE", "Ævar", "Þór", "Øystein", "Ðana", "ß", "straßer",
        "STRAßER", "Ñina", "×", "÷Mary", "Ольга", "Иван", "王芳", "Mohammed", "Xzyqw", "O'Neil",
        "D'Andre", "1234", "Chris2", "", " ", "\t\n", "-", "--", "Mary\x00", b"\xff\xfe",
        b"Mar\xc3", b"Mary \xc3\x28", "Mary\x0bAnn", "Mary\\Ann", "Mary\x7f",
    ],
    "surname": [
        "Smith", "SMITH", "smith", " Smith", "Smith ", "\tSMITH\n", "sMITH", "Johnson",
        "Smith-Jones", "SMITH-jones", "smith-JONES", "Smith - Jones", "Smith--Jones", "-Smith",
        "Smith-", "Smith Jones", "Smith  Jones", "van Beethoven", "van  Beethoven", "VAN BEETHOVEN",
        "van beethoven", "Van Beethoven", "de la Cruz", "O'Brien", "McDonald", "Müller", "MÜLLER",
        "müller", "Muller", "Mueller", "Ødegaard", "García", "Þórsson", "Straße", "Ivanov",
        "Иванов", "王", "Nguyen", "Jr.", "×", "", " ", "-", " - ", "Smith\x00", b"\xff",
        b"Sm\xc3ith", "Smith\\Jones",
    ],
    "full": [
        "Mary Smith", "John Smith", "MARY SMITH", "mary smith", "Mary smith", "mARY sMITH",
        " Mary Smith ", "Mary  Smith", "Mary\tSmith", "Mary Smith\r\n", "Smith, Mary",
        "Smith,Mary", "Smith , Mary", "SMITH, MARY", "Smith, Mary Ann", "Smith, J.",
        "Smith, J. Robert", "Smith-Jones, Mary", "van Beethoven, Ludwig", "Mary Ann Smith",
        "Mary-Ann Smith", "Mary Smith-Jones", "Mary Smith - Jones", "Jean-Luc Picard",
        "J. Robert Smith", "John R. Smith", "J. R. Smith", "J.R. Smith", "J. Smith", "J Smith",
        "j. smith", "Robert J. Oppenheimer", "John Smith Jr.", "John Smith Jr", "John Smith JR.",
        "John Smith, Jr.", "John Smith,Jr.", "John Smith II", "John Smith III", "John Smith IV",
        "John Smith Sr.", "John Smith III Jr.", "Martin Luther King, Jr.",
        "King, Martin Luther, Jr.", "King Jr., Martin Luther", "Smith, Jr.", "Smith, Jr., Mary",
        "Smith Jr.", "Jr.", "II", "Jr. Smith", "Jr., Smith", "John II", "Ludwig van Beethoven",
        "LUDWIG VAN BEETHOVEN", "ludwig van beethoven", "Vincent van Gogh", "Van Morrison",
        "Al Gore", "Van", "Juan de la Cruz", "Juan De La Cruz", "Leonardo da Vinci",
        "Charles de Gaulle", "Otto von Bismarck", "Johann van der Berg", "Mary de", "de Gaulle",
        "Mary van van Smith", "Madonna", "Smith", "MADONNA", "J.", "J. R.", "J. R. R. Tolkien",
        "J.R.R. Tolkien", "Dr. Mary Smith", "Mary O'Brien", "Renée Müller", "RENÉE MÜLLER",
        "José García Márquez", "Zoë Ødegaard", "Þór Æsir", "Ольга Иванова", "王芳", "王 芳",
        "Mary 王", "", "   ", ",", ", ", ",,", "-", "Smith,", ", Mary", "Mary Smith,", "Smith,,Mary",
        "Mary - Smith", "Mary Smith -", "- Mary Smith", "Mary & John Smith", "Mary Smith\x00",
        b"Mary \xff", b"\xc3\xa9\xff Smith", "Mary\x0cSmith",
    ],
}


def escaped(value: bytes) -> str:
    """value as a field of a masking file."""
    out = []
    for ch in value.decode("utf-8", errors="surrogateescape"):
        code = ord(ch)
        if ch in "\\\t\n\r":
            out.append({"\\": "\\\\", "\t": "\\t", "\n": "\\n", "\r": "\\r"}[ch])
        elif code < 0x20 or code == 0x7F:
            out.append(f"\\x{code:02x}")
        elif 0xDC80 <= code <= 0xDCFF:
            out.append(f"\\x{code - 0xDC00:02x}")
        else:
            out.append(ch)
    return "".join(out)


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
        for seed in WEIGHTED_SEEDS:
            yield f"weighted-{mode}-{seed}.txt", lists.sequence(mode, seed, 1000, weighted=True)
        yield (f"weighted-{mode}-1-from-{SEEKS[1]}.txt",
               lists.sequence(mode, 1, 1000, SEEKS[1], weighted=True))
    for key_name, key in KEYS.items():
        lines = [f"{mode}\t{value.hex()}\t{lists.pseudonym(mode, value, key)}"
                 for mode in range(7) for value in VALUES]
        yield f"pseudonyms-{key_name}.txt", lines
    masking = Masking(lists, KEYS[MASK_KEY])
    for kind, values in MASK_VALUES.items():
        lines = []
        for text in values:
            value = text.encode() if isinstance(text, str) else text
            lines.append(f"{escaped(value)}\t{escaped(masking.mask(kind, value))}")
        yield f"mask-{kind}-{MASK_KEY}.txt", lines


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
