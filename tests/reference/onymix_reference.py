"""onymix_reference.py: the names of Onymix computed from their written
description alone (man/onymix.3), in plain Python and apart from the C code,
from the census lists in names/data. It makes the golden files of names by
id, pseudonyms, far seeds and seeks (make_golden.py), and a test holds
those files to it, so that the files, the library and this description
agree.
"""
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

    def sequence(self, mode, seed, count, start=0):
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
                parts.append(chosen[self.offset(state, len(chosen))])
            if mode in (1, 3, 4, 6):
                state = state * MULTIPLIER * MULTIPLIER % MODULUS
                parts.append(self.surnames[self.offset(state, len(self.surnames))])
            names.append(" ".join(parts))
        return names
