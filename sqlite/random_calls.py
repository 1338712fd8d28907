"""Random calls of the SQLite extension's functions, from a fixed seed: ids, modes, keys, values
and seconds of every SQLite type, boundary numbers, invalid UTF-8, NULs and values of a megabyte.
Each call must give what docs/sqlite.md says its arguments call for: a name of the mode (for a
masking, text for text and a blob for a blob, with no NUL and at most 13 bytes for each byte of the
value), NULL, or an error naming the function and the argument in a short message. test_extension.py runs this in a
process of its own, so that a crash of SQLite's process is a failure too.

    python3 random_calls.py EXTENSION [SEED [CALLS]]

Prints one line for each call that gave something else and exits with 1 when there was any.
"""
import random
import re
import sqlite3
import sys

LABELS = (b"female", b"female + surname", b"male", b"male + surname", b"surname", b"any",
          b"any + surname")
FULL_NAME_MODES = (1, 3, 6)
MASKINGS = ("onymix_mask_first_name", "onymix_mask_surname", "onymix_mask_full_name")
MASK_GROWTH = 13
NAME = re.compile(r"[A-Z][a-z]*( [A-Z][a-z]*)?")
BIG = 1 << 20


def some_bytes(rng):
    """Text or blob bytes: random ones (NULs and invalid UTF-8 among them), valid UTF-8 of any
    plane, digits, or once in a while a megabyte."""
    length = rng.choice((0, 1, rng.randrange(41), BIG if rng.random() < 0.02 else 7))
    kind = rng.randrange(3)
    if kind == 0:
        return rng.randbytes(length)
    if kind == 1:
        return "".join(chr(rng.choice((rng.randrange(32, 127), rng.randrange(0xA0, 0xD800),
                                       rng.randrange(0xE000, 0x110000))))
                       for _ in range(min(length, 4096))).encode() * max(1, length // 4096)
    return "".join(rng.choice("0123456789") for _ in range(length)).encode()


def whole_number(value):
    """The number an id or second stands for, or None when it is none (docs/sqlite.md: an integer
    from 0, a real that holds a whole number, or text of decimal digits alone)."""
    kind, v = value
    if kind == "int":
        return v if v >= 0 else None
    if kind == "real":
        return int(v) if 0 <= v < 2.0**64 and v == int(v) else None
    if kind == "text" and v and v.isdigit() and int(v) < 2**64:
        return int(v)
    return None


def mode_number(value):
    """The mode an argument names (README: an integer from 0 to 6, or text that is a label in any
    case with any spaces and tabs around its "+", or the number with leading zeros, spaces and tabs
    at either end), or None."""
    kind, v = value
    if kind == "int":
        return v if 0 <= v <= 6 else None
    spelled = re.fullmatch(rb"[ \t]*(?:0*([0-6])|([A-Za-z]+)(?:[ \t]*\+[ \t]*([A-Za-z]+))?)[ \t]*",
                           v) if kind == "text" else None
    if not spelled:
        return None
    if spelled[1]:
        return int(spelled[1])
    label = spelled[2].lower() + (b" + " + spelled[3].lower() if spelled[3] else b"")
    return LABELS.index(label) if label in LABELS else None


def random_number(rng, boundaries):
    kind = rng.choice(("int", "int", "real", "text", "blob", "null"))
    if kind == "int":
        return kind, rng.choice(boundaries + (-1, -2**63, 2**63 - 1, rng.randrange(-2**63, 2**63)))
    if kind == "real":
        return kind, rng.choice((0.0, -0.0, 0.5, -1.0, 2.0**64, 2.0**64 - 2048, 1e300, float("inf"),
                                 float(rng.choice(boundaries)), rng.uniform(-1e20, 1e20)))
    if kind == "text":
        return kind, rng.choice((str(rng.choice(boundaries)).encode(), str(2**64 - 1).encode(),
                                 str(2**64).encode(), b"0" * 30 + b"5", b" 1", b"+1", b"-1",
                                 some_bytes(rng)))
    return kind, some_bytes(rng) if kind == "blob" else None


def random_mode(rng):
    if rng.random() < 0.4:
        return random_number(rng, (0, 5, 6, 7, 255, 2**31 + 3))
    if rng.random() < 0.1:
        return "text", rng.choice((b"06", b" 6\t", b"+6", b"6\n", b"0" * 30 + b"7"))
    label = b"".join(c.upper() if rng.random() < 0.5 else c
                     for c in map(bytes, zip(rng.choice(LABELS))))
    label = label.replace(b" + ", rng.choice((b" + ", b"+", b"\t+  ", b" ", b" + + ")))
    ends = (b"", b"", b"", b" ", b"\t", b"\0", b"s", b"\n")
    return "text", rng.choice(ends) + label + rng.choice(ends)


def random_key(rng):
    kind = rng.choice(("blob", "blob", "blob", "text", "int", "null"))
    if kind == "blob":
        return kind, rng.choice((bytes(16), rng.randbytes(16), rng.randbytes(16),
                                 rng.randbytes(rng.randrange(41))))
    return kind, {"text": rng.randbytes(16), "int": 16, "null": None}[kind]


def random_value(rng):
    kind = rng.choice(("text", "text", "blob", "blob", "number", "null"))
    if kind == "number":
        return random_number(rng, (0, 1))
    return kind, None if kind == "null" else some_bytes(rng)


def random_args(rng, function):
    """The arguments of a call with any number of them that the function takes."""
    if function == "onymix_generate":
        makers = (random_mode, lambda rng: random_number(rng, (0, 86399, 86400)))
        return [make(rng) for make in makers[: rng.randint(0, 2)]]
    if function in MASKINGS:
        # Mostly a good key, so that most calls mask.
        key = lambda rng: ("blob", rng.randbytes(16)) if rng.random() < 0.7 else random_key(rng)
        return [make(rng) for make in (random_value, key)[: rng.choice((1, 2, 2, 2, 2))]]
    first = random_value if function == "onymix_pseudonym" else (
        lambda rng: random_number(rng, (0, 1, 4274, 4275, 5163, 56341, 56342)))
    return [make(rng) for make in (first, random_mode, random_key)[: rng.randint(1, 3)]]


def expected(function, args):
    """What docs/sqlite.md says a call gives: the mode of its name, None for NULL, or what the
    argument it refuses is."""
    if function in MASKINGS:
        if len(args) < 2 or args[1][0] != "blob" or len(args[1][1]) != 16 or not any(args[1][1]):
            return "key"
        return args[0][0] if args[0][0] in ("text", "blob", "null") else "value"
    generate = function == "onymix_generate"
    mode_at = 0 if generate else 1
    mode = mode_number(args[mode_at]) if len(args) > mode_at else 3 if generate else 6
    if mode is None:
        return "mode"
    if generate:
        second = whole_number(args[1]) if len(args) > 1 and args[1][0] != "null" else 0
        return "second" if second is None or second > 86399 else mode
    if len(args) > 2 and args[2][0] != "null" and (args[2][0] != "blob" or len(args[2][1]) != 16):
        return "key"
    if args[0][0] == "null":
        return None
    if function == "onymix_name":
        return mode if whole_number(args[0]) is not None else "id"
    return mode if args[0][0] in ("text", "blob") else "value"


def call(db, function, args):
    # Text goes in as a blob cast to text, which keeps its bytes, NULs and invalid UTF-8 too.
    sql = ", ".join("CAST(? AS TEXT)" if kind == "text" else "?" for kind, _ in args)
    if function not in MASKINGS:
        return db.execute(f"SELECT {function}({sql})", [v for _, v in args]).fetchone()[0]
    # A masking's type, and its bytes, which need be no UTF-8 when the value is none.
    db.text_factory = bytes
    try:
        return db.execute(f"SELECT typeof(m), m FROM (SELECT {function}({sql}) AS m)",
                          [v for _, v in args]).fetchone()
    finally:
        db.text_factory = str


def good_masking(want, args, got):
    """A masking of the value's type, or NULL for NULL."""
    if want == "null":
        return got == (b"null", None)
    return (got[0] == want.encode() and b"\0" not in got[1]
            and len(got[1]) <= MASK_GROWTH * len(args[0][1]))


def shown(args):
    return ", ".join(f"{kind} of {len(v)} bytes" if isinstance(v, bytes) and len(v) > 40 else
                     f"{kind} {v!r}" for kind, v in args)


def main(extension, seed=1990, calls=4000):
    rng = random.Random(seed)
    db = sqlite3.connect(":memory:")
    db.enable_load_extension(True)
    db.load_extension(extension)
    wrong = []
    for number in range(calls):
        function = rng.choice(("onymix_name", "onymix_pseudonym", "onymix_generate") + MASKINGS)
        args = random_args(rng, function)
        want = expected(function, args)
        try:
            got = call(db, function, args)
            if function in MASKINGS:
                good = want not in ("key", "value") and good_masking(want, args, got)
            else:
                good = got is None if want is None else (
                    isinstance(want, int) and bool(NAME.fullmatch(got or ""))
                    and (" " in got) == (want in FULL_NAME_MODES))
        except sqlite3.OperationalError as error:
            got = str(error)
            good = isinstance(want, str) and bool(re.match(
                f"{function}: (not an? {want}: |a masking needs a key |the zero key is no secret )"
                if want == "key" else f"{function}: not an? {want}: ", got)) and len(got) < 400
        except Exception as error:  # anything else, a MemoryError say, is a fault
            got, good = f"{type(error).__name__}: {error}", False
        if not good:
            wrong.append(f"call {number}: {function}({shown(args)}): expected {want!r}, "
                         f"got {got!r:.200}")
    db.execute("SELECT 1").fetchone()
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], *map(int, sys.argv[2:4])))
