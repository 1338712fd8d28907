"""onymix_reference.py: the names of Onymix computed from their written
description alone (man/onymix.3), in plain Python and apart from the C code,
from the census lists in names/data. It makes the golden files of names by
id, pseudonyms, far seeds and seeks (make_golden.py), and a test holds
those files to it, so that the files, the library and this description
agree.
"""
import bisect
import itertools
import re
from pathlib import Path

MASK64 = (1 << 64) - 1
MULTIPLIER = 627327780969661
MODULUS = 1 << 51
MODES = ("Female", "Female + Surname", "Male", "Male + Surname", "Surname", "Any",
         "Any + Surname")


def _rotl(x, b):
    return ((x << b) | (x >> (64 - b))) & MASK64


def siphash24(key: bytes, message: bytes) -> int:
    """SipHash-2-4 of message under the 16-byte key, as a 64-bit number."""
    k0 = int.from_bytes(key[:8], "little")
    k1 = int.from_bytes(key[8:16], "little")
    v = [k0 ^ 0x736F6D6570736575, k1 ^ 0x646F72616E646F6D,
         k0 ^ 0x6C7967656E657261, k1 ^ 0x7465646279746573]

    def sip_round():
        v[0] = (v[0] + v[1]) & MASK64
        v[1] = _rotl(v[1], 13) ^ v[0]
        v[0] = _rotl(v[0], 32)
        v[2] = (v[2] + v[3]) & MASK64
        v[3] = _rotl(v[3], 16) ^ v[2]
        v[0] = (v[0] + v[3]) & MASK64
        v[3] = _rotl(v[3], 21) ^ v[0]
        v[2] = (v[2] + v[1]) & MASK64
        v[1] = _rotl(v[1], 17) ^ v[2]
        v[2] = _rotl(v[2], 32)

    padded = message + bytes(7 - len(message) % 8) + bytes([len(message) & 0xFF])
    for i in range(0, len(padded), 8):
        m = int.from_bytes(padded[i:i + 8], "little")
        v[3] ^= m
        sip_round()
        sip_round()
        v[0] ^= m
    v[2] ^= 0xFF
    for _ in range(4):
        sip_round()
    return v[0] ^ v[1] ^ v[2] ^ v[3]


class Lists:
    """The census lists, and each mode's names numbered from 0."""

    def __init__(self, data: Path):
        read = lambda name: (data / name).read_text(encoding="ascii").split("\n")[:-1]
        self.male, self.female, self.surnames = read("male.txt"), read("female.txt"), \
            read("surnames.txt")
        male_set = set(self.male)
        # The Any first names: the male list, then the female names that are
        # not also male names, in the female list's order.
        self.any = self.male + [name for name in self.female if name not in male_set]
        # The cumulative weights of the weighted picks, by list.
        self.cumulative = {}
        for names, file in ((self.male, "male"), (self.female, "female"),
                            (self.surnames, "surnames")):
            thousandths = [int(line.replace(".", "")) for line in
                           (data / f"{file}-weights.txt").read_text(encoding="ascii").split()]
            unlisted = len(names) - len(thousandths)
            if unlisted:
                # The unlisted share evenly what the listed leave of 100
                # percent; every weight scaled by their count keeps it whole.
                weights = [t * unlisted for t in thousandths] + \
                    [100000 - sum(thousandths)] * unlisted
            else:
                weights = thousandths
            self.cumulative[id(names)] = list(itertools.accumulate(weights))

    def first_names(self, mode):
        return {0: self.female, 1: self.female, 2: self.male, 3: self.male, 5: self.any,
                6: self.any}[mode]

    def full(self, mode):
        return mode in (1, 3, 6)

    def count(self, mode):
        if mode == 4:
            return len(self.surnames)
        n = len(self.first_names(mode))
        return n * len(self.surnames) if self.full(mode) else n

    def grid(self, mode):
        """(a, b): the sides of the pairs the names are numbered by."""
        if self.full(mode):
            return len(self.first_names(mode)), len(self.surnames)
        side = 0
        while side * side < self.count(mode):
            side += 1
        return side, side

    def name(self, mode, number):
        if mode == 4:
            return self.surnames[number]
        if not self.full(mode):
            return self.first_names(mode)[number]
        b = len(self.surnames)
        return f"{self.first_names(mode)[number // b]} {self.surnames[number % b]}"

    # ---- names by id and pseudonyms

    def name_for_id(self, mode, ident, key=bytes(16)):
        n = self.count(mode)
        a, b = self.grid(mode)
        block, place = divmod(ident, n)
        u, v = divmod(place, b)
        while True:
            for r in range(8):
                x = v if r % 2 == 0 else u
                message = block.to_bytes(8, "little") + bytes([mode, r]) + x.to_bytes(8, "little")
                f = siphash24(key, message)
                if r % 2 == 0:
                    u = (u + f % a) % a
                else:
                    v = (v + f % b) % b
            if u * b + v < n:
                return self.name(mode, u * b + v)

    def pseudonym(self, mode, value: bytes, key=bytes(16)):
        h = siphash24(key, bytes([mode]) + value)
        return self.name(mode, (h * self.count(mode)) >> 64)

    # ---- sequences

    @staticmethod
    def state_of_seed(seed):
        if seed < 86400:
            return seed * 26062497844 + 13031230749
        return (siphash24(bytes(16), seed.to_bytes(8, "little")) >> 13) | 1

    def offset(self, state, size):
        # (state + 1) / 2^51 * span + 1/2, truncated, computed exactly.
        return ((state + 1) * (size - 1) + (1 << 50)) >> 51

    def weighted_offset(self, state, names):
        # The entry whose interval (C(i-1), C(i)] holds (state + 1) / 2^51
        # times the total weight.
        cumulative = self.cumulative[id(names)]
        q = ((state + 1) * cumulative[-1] - 1) >> 51
        return bisect.bisect_right(cumulative, q)

    def sequence(self, mode, seed, count, start=0, weighted=False):
        pick = self.weighted_offset if weighted else \
            lambda state, names: self.offset(state, len(names))
        draws = 4 if self.full(mode) else 2
        state = self.state_of_seed(seed) * pow(MULTIPLIER, draws * start, MODULUS) % MODULUS
        names = []
        for _ in range(count):
            parts = []
            if mode != 4:
                state = state * MULTIPLIER % MODULUS
                female = state + 1 <= 1 << 50
                state = state * MULTIPLIER % MODULUS
                lists = {0: self.female, 1: self.female, 2: self.male, 3: self.male}
                chosen = lists.get(mode, self.female if female else self.male)
                parts.append(chosen[pick(state, chosen)])
            if mode in (1, 3, 4, 6):
                state = state * MULTIPLIER * MULTIPLIER % MODULUS
                parts.append(self.surnames[pick(state, self.surnames)])
            names.append(" ".join(parts))
        return names


# ---- masking real names (onymix_mask), on bytes, as onymix(3) describes it

WHITE = b" \t\n\v\f\r"
# U+00C0 to U+00FF as their base letters; None for the multiplication and
# division signs, which stay.
LATIN1_BASES = ("a a a a a a ae c e e e e i i i i d n o o o o o - o u u u u y th ss "
                "a a a a a a ae c e e e e i i i i d n o o o o o - o u u u u y th y").split()
SUFFIXES = {b"jr", b"jr.", b"sr", b"sr.", b"ii", b"iii", b"iv"}
PARTICLES = {b"van", b"von", b"de", b"da", b"del", b"della", b"di", b"du", b"la", b"le", b"der",
             b"den", b"ter", b"bin", b"al"}


def characters(text: bytes):
    """text cut into characters as folding sees them: a Latin-1 letter
    (C3 80 to C3 BF, signs included) as two bytes, any other byte alone."""
    i = 0
    while i < len(text):
        if text[i] == 0xC3 and i + 1 < len(text) and 0x80 <= text[i + 1] <= 0xBF:
            yield text[i:i + 2]
            i += 2
        else:
            yield text[i:i + 1]
            i += 1


def fold(text: bytes) -> bytes:
    out = b""
    for c in characters(text.strip(WHITE)):
        if len(c) == 2 and LATIN1_BASES[c[1] - 0x80] != "-":
            out += LATIN1_BASES[c[1] - 0x80].encode()
        else:
            out += c.lower() if c.isalpha() else c
    return out


def letter_case(c: bytes):
    """'upper', 'lower', or None for a character that is no letter folding
    knows."""
    if len(c) == 1:
        return ("upper" if c.isupper() else "lower") if c.isalpha() else None
    if LATIN1_BASES[c[1] - 0x80] == "-":
        return None
    return "upper" if c[1] < 0x9F else "lower"


def cased(name: str, word: bytes) -> bytes:
    cases = {letter_case(c) for c in characters(word)} - {None}
    if cases == {"upper"}:
        name = name.upper()
    elif cases == {"lower"}:
        name = name.lower()
    return name.encode()


class Masking:
    """The maskings of onymix_mask under one key (the names of a Lists)."""

    def __init__(self, lists: Lists, key: bytes):
        self.lists, self.key = lists, key
        male = {name.lower(): i for i, name in enumerate(lists.male)}
        female = {name.lower(): i for i, name in enumerate(lists.female)}
        self.places = {name: (male.get(name), female.get(name)) for name in {*male, *female}}

    def sex(self, word: bytes) -> int:
        m, f = self.places.get(fold(word).decode("latin-1"), (None, None))
        if m is not None and (f is None or m < f):
            return 2
        if f is not None and (m is None or f < m):
            return 0
        return 5

    def pseudonym_of(self, mode, text: bytes) -> str:
        return self.lists.pseudonym(mode, fold(b" ".join(text.split())), self.key)

    @staticmethod
    def is_initials(word: bytes) -> bool:
        chars = list(characters(word))
        if len(chars) == 1:
            return letter_case(chars[0]) is not None
        return len(chars) % 2 == 0 and all(
            letter_case(c) is not None if i % 2 == 0 else c == b"." for i, c in enumerate(chars))

    def initials(self, mode, word: bytes) -> bytes:
        out = b""
        for c in characters(word):
            if c == b".":
                out += c
            else:
                initial = self.pseudonym_of(mode, c)[0]
                out += (initial if letter_case(c) == "upper" else initial.lower()).encode()
        return out

    def first_name(self, value: bytes, mode=None) -> bytes:
        words = re.split(rb"([ \t\n\v\f\r-]+)", value)
        if mode is None:
            names = [w for w in words[::2] if w and not self.is_initials(w)]
            mode = self.sex(names[0]) if names else 5
        out = b""
        for i, piece in enumerate(words):
            if i % 2 or not piece:
                out += piece
            elif self.is_initials(piece):
                out += self.initials(mode, piece)
            else:
                out += cased(self.pseudonym_of(mode, piece), piece)
        return out

    def surname(self, value: bytes) -> bytes:
        out = []
        for part in value.split(b"-"):
            core = part.strip(WHITE)
            if not core:
                out.append(part)
                continue
            start = part.index(core)
            masked = self.initials(4, core) if self.is_initials(core) else \
                cased(self.pseudonym_of(4, core), core)
            out.append(part[:start] + masked + part[start + len(core):])
        return b"-".join(out)

    def full_name(self, value: bytes) -> bytes:
        # Words with their segment (the count of commas before them).
        words = [(m.start(), m.end(), value.count(b",", 0, m.start()))
                 for m in re.finditer(rb"[^ \t\n\v\f\r,]+", value) if m.group().strip(b"-")]
        suffix = [fold(value[s:e]) in SUFFIXES for s, e, _ in words]
        # The body of each segment: the indices of its words that are masked.
        bodies, name_before = [], False
        for segment in range(value.count(b",") + 1):
            mine = [i for i, w in enumerate(words) if w[2] == segment]
            names = [i for i in mine if not suffix[i]]
            if names:
                bodies.append([i for i in mine if i <= names[-1]])
                name_before = True
            elif mine and not name_before:
                bodies.append(mine)
        if not bodies:
            return value
        pieces = []  # (start, end, masking function) in order
        if len(bodies) == 1:
            body = bodies[0]
            surname = len(body) - 1
            while surname >= 2 and fold(value[words[body[surname - 1]][0]:
                                                  words[body[surname - 1]][1]]) in PARTICLES:
                surname -= 1
            if surname > 0:
                pieces.append((words[body[0]][0], words[body[surname - 1]][1], "given"))
            pieces.append((words[body[surname]][0], words[body[-1]][1], "surname"))
        else:
            pieces.append((words[bodies[0][0]][0], words[bodies[0][-1]][1], "surname"))
            for body in bodies[1:]:
                pieces.append((words[body[0]][0], words[body[-1]][1], "given"))
        given = [value[s:e] for s, e, kind in pieces if kind == "given"]
        names = [w for text in given for w in re.split(rb"[ \t\n\v\f\r-]+", text)
                 if w and not self.is_initials(w)]
        mode = self.sex(names[0]) if names else 5
        out, at = b"", 0
        for s, e, kind in pieces:
            out += value[at:s]
            out += self.first_name(value[s:e], mode) if kind == "given" else \
                self.surname(value[s:e])
            at = e
        return out + value[at:]

    def mask(self, kind: str, value: bytes) -> bytes:
        return {"first": self.first_name, "surname": self.surname, "full": self.full_name}[kind](
            value)
