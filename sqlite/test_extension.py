"""Tests of the SQLite extension, loaded by Python's sqlite3 module and by the sqlite3 shell,
against the golden files of names by id, pseudonyms, Generate and the maskings and the shared cases
of modes given as text.

    python3 test_extension.py EXTENSION SQLITE3_SHELL GOLDEN_DIR
"""
import glob
import os
import re
import sqlite3
import subprocess
import sys
import time
import unittest

EXTENSION, SHELL, GOLDEN = sys.argv[1:4]
ZERO_KEY = "00" * 16
KEYS = (ZERO_KEY, "000102030405060708090a0b0c0d0e0f")
LABELS = ("Female", "Female + Surname", "Male", "Male + Surname", "Surname", "Any",
          "Any + Surname")
LARGEST_INTEGER = 2**63 - 1


def rows(name):
    with open(os.path.join(GOLDEN, name), encoding="ascii") as f:
        return [line.rstrip("\n").split("\t") for line in f]


def mode_texts():
    """The cases of mode-texts.txt: each text's bytes, its escapes decoded, and the mode it
    names, -1 for none."""
    escape = rb"\\(\\|t|x[0-9a-fA-F]{2})"
    cases = []
    for line in rows("mode-texts.txt"):
        if line == [""] or line[0].startswith("#"):
            continue
        text, mode = line
        text = text.encode("ascii")
        assert re.fullmatch(rb"(?:[^\\]|" + escape + rb")*", text), text
        cases.append((re.sub(escape, lambda m: b"\\" if m[1] == b"\\" else b"\t" if m[1] == b"t"
                             else bytes.fromhex(m[1][1:].decode()), text), int(mode)))
    return cases


def id_files():
    found = sorted(re.fullmatch(r"ids-(\d)-([0-9a-f]{32})\.txt", os.path.basename(path)).groups()
                   for path in glob.glob(os.path.join(GOLDEN, "ids-*.txt")))
    assert len(found) == 7 * len(KEYS), found
    return [(int(mode), key) for mode, key in found]


def connect(encoding=None):
    db = sqlite3.connect(":memory:")
    if encoding:
        db.execute(f"PRAGMA encoding = '{encoding}'")
    db.enable_load_extension(True)
    db.load_extension(EXTENSION)
    db.enable_load_extension(False)
    return db


class Golden(unittest.TestCase):
    def setUp(self):
        self.db = connect()

    def mismatches(self, sql, params):
        return [row for row in self.db.execute(sql, params) if row[-2] != row[-1]]

    def test_ids_of_every_mode_under_both_keys(self):
        for mode, key in id_files():
            golden = rows(f"ids-{mode}-{key}.txt")
            # SQLite's integers stop at 2^63 - 1: larger ids go in as text.
            self.db.execute("CREATE TABLE golden(id, name)")
            self.db.executemany("INSERT INTO golden VALUES (?, ?)", [
                (int(i) if int(i) <= LARGEST_INTEGER else i, name) for i, name in golden])
            self.assertGreater(sum(int(i) > LARGEST_INTEGER for i, _ in golden), 0)
            key_blob = bytes.fromhex(key)
            # A mode's other spellings are the shared mode texts' test.
            forms = [(mode, key_blob)]
            if key == ZERO_KEY:
                forms += [(mode, None)]
            for mode_form, key_form in forms:
                with self.subTest(mode=mode_form, key=key, key_given=key_form is not None):
                    self.assertEqual(self.mismatches(
                        "SELECT id, name, onymix_name(id, ?, ?) FROM golden",
                        (mode_form, key_form)), [])
            if key == ZERO_KEY:
                sql = ("SELECT id, name, onymix_name(id) FROM golden" if mode == 6 else
                       "SELECT id, name, onymix_name(id, ?) FROM golden")
                self.assertEqual(self.mismatches(sql, () if mode == 6 else (mode,)), [])
            self.assertEqual(self.db.execute("SELECT count(*) FROM golden").fetchone()[0],
                             len(golden))
            self.db.execute("DROP TABLE golden")

    def test_ids_as_text_and_whole_reals(self):
        self.assertEqual(
            self.db.execute("SELECT onymix_name('1000'), onymix_name(1000.0), onymix_name(1000), "
                            "onymix_name(1e19), onymix_name('10000000000000000000')").fetchone(),
            (self.db.execute("SELECT onymix_name(1000)").fetchone()[0],) * 3 +
            (self.db.execute("SELECT onymix_name('10000000000000000000')").fetchone()[0],) * 2)

    def test_pseudonyms_of_blobs_and_text(self):
        for key in KEYS:
            golden = rows(f"pseudonyms-{key}.txt")
            self.assertGreater(len(golden), 7)
            for mode, value, name in golden:
                blob = bytes.fromhex(value)
                got = self.db.execute("SELECT onymix_pseudonym(?, ?, ?)",
                                      (blob, int(mode), bytes.fromhex(key))).fetchone()[0]
                self.assertEqual(got, name, (mode, value, key))
                try:
                    text = blob.decode("utf-8")
                except UnicodeDecodeError:
                    continue
                got = self.db.execute("SELECT onymix_pseudonym(?, ?, ?)",
                                      (text, LABELS[int(mode)], bytes.fromhex(key))).fetchone()[0]
                self.assertEqual(got, name, (mode, value, key, "as text"))

    def test_pseudonyms_of_text_are_its_utf8_bytes_whatever_the_database_encoding(self):
        for encoding in ("UTF-8", "UTF-16le", "UTF-16be"):
            db = connect(encoding)
            self.assertEqual(
                db.execute("SELECT onymix_pseudonym('Zoë Ωmega'), onymix_pseudonym(''), "
                           "onymix_pseudonym('x', 'female', NULL)").fetchone(),
                db.execute("SELECT onymix_pseudonym(?), onymix_pseudonym(x''), "
                           "onymix_pseudonym(x'78', 0, zeroblob(16))",
                           ("Zoë Ωmega".encode(),)).fetchone(), encoding)

    def test_generate_at_every_golden_second(self):
        golden = rows("generate.txt")
        self.assertGreater(len(golden), 7)
        for mode, second, name in golden:
            self.assertEqual(self.db.execute(
                "SELECT onymix_generate(?, ?), onymix_generate(?, ?)",
                (int(mode), int(second), LABELS[int(mode)], second)).fetchone(), (name, name))

    def test_generate_now_is_the_second_of_uptime(self):
        before = int(time.clock_gettime(time.CLOCK_MONOTONIC))
        if before > 86000:
            self.skipTest("the uptime is past a day, where now is no second of the day")
        got = self.db.execute("SELECT onymix_generate(), onymix_generate('Female'), "
                              "onymix_generate(0, NULL)").fetchone()
        after = int(time.clock_gettime(time.CLOCK_MONOTONIC))
        for mode, name in zip((3, 0, 0), got):
            self.assertIn(name, [self.db.execute("SELECT onymix_generate(?, ?)", (mode, s))
                                 .fetchone()[0] for s in range(before, after + 1)])


class Modes(unittest.TestCase):
    def test_every_function_reads_the_shared_mode_texts(self):
        db = connect()
        calls = ("onymix_name(1, {})", "onymix_pseudonym('x', {})", "onymix_generate({}, 1)")
        by_number = [tuple(db.execute(f"SELECT {call.format('?')}", (mode,)).fetchone()[0]
                           for call in calls) for mode in range(7)]
        self.assertEqual(len(set(by_number)), 7, "the calls tell every mode apart")
        cases = mode_texts()
        self.assertGreater(len(cases), 100)
        for text, mode in cases:
            # A blob cast to text keeps every byte, NULs and invalid UTF-8 too.
            for call, by_number_name in zip(calls, by_number[mode] if mode >= 0 else [None] * 3):
                sql = f"SELECT {call.format('CAST(? AS TEXT)')}"
                with self.subTest(text=text, call=call):
                    if mode < 0:
                        with self.assertRaisesRegex(sqlite3.OperationalError,
                                                    f"^{call[:call.index('(')]}: not a mode: "):
                            db.execute(sql, (text,)).fetchone()
                    else:
                        self.assertEqual(db.execute(sql, (text,)).fetchone()[0], by_number_name)


class Schema(unittest.TestCase):
    def test_names_in_index_expressions_and_generated_columns(self):
        db = connect()
        db.executescript("""
            CREATE TABLE people(id INTEGER, email TEXT,
                name TEXT GENERATED ALWAYS AS (onymix_name(id, 'Male')) STORED,
                alias TEXT GENERATED ALWAYS AS (onymix_pseudonym(email, 0)) VIRTUAL);
            CREATE INDEX people_name ON people(onymix_name(id, 6));
            CREATE INDEX people_alias ON people(onymix_pseudonym(email, 'Female'));
            INSERT INTO people(id, email) VALUES (0, 'alice'), (1, 'bob'), (2, NULL);""")
        male = {int(i): n for i, n in rows(f"ids-2-{ZERO_KEY}.txt")}
        self.assertEqual(db.execute("SELECT id, name FROM people ORDER BY id").fetchall(),
                         [(i, male[i]) for i in range(3)])
        alice = db.execute("SELECT onymix_pseudonym('alice', 0)").fetchone()[0]
        self.assertEqual(db.execute("SELECT id, alias FROM people WHERE alias IS NOT NULL "
                                    "ORDER BY id").fetchall()[0], (0, alice))
        full = {int(i): n for i, n in rows(f"ids-6-{ZERO_KEY}.txt")}
        plan = " ".join(str(r) for r in db.execute(
            "EXPLAIN QUERY PLAN SELECT id FROM people WHERE onymix_name(id, 6) = ?", (full[1],)))
        self.assertIn("people_name", plan)
        self.assertEqual(db.execute("SELECT id FROM people WHERE onymix_name(id, 6) = ?",
                                    (full[1],)).fetchall(), [(1,)])

    def test_generate_is_neither_deterministic_nor_innocuous(self):
        db = connect()
        db.execute("CREATE TABLE t(x)")
        with self.assertRaisesRegex(sqlite3.OperationalError, "non-deterministic"):
            db.execute("CREATE INDEX t_now ON t(onymix_generate(3, 0))")
        db.executescript("""PRAGMA trusted_schema = OFF;
            CREATE VIEW names AS SELECT onymix_name(5) AS a, onymix_pseudonym('x') AS b;
            CREATE VIEW now AS SELECT onymix_generate(3, 0) AS c;""")
        self.assertEqual(len(db.execute("SELECT * FROM names").fetchone()), 2)
        with self.assertRaisesRegex(sqlite3.OperationalError, "unsafe use of onymix_generate"):
            db.execute("SELECT * FROM now").fetchall()


class Arguments(unittest.TestCase):
    def setUp(self):
        self.db = connect()

    def test_nulls_give_null_once_the_other_arguments_are_good(self):
        self.assertEqual(self.db.execute(
            "SELECT onymix_name(NULL), onymix_name(NULL, 'male', NULL), onymix_pseudonym(NULL), "
            "onymix_pseudonym(NULL, 4, zeroblob(16))").fetchone(), (None,) * 4)
        for sql in ("SELECT onymix_name(NULL, 'Nobody')", "SELECT onymix_pseudonym(NULL, 0, 1)"):
            with self.assertRaises(sqlite3.OperationalError, msg=sql):
                self.db.execute(sql).fetchone()

    def test_bad_arguments_are_errors_that_name_them(self):
        secret = "0f0e0d0c0b0a09080706050403020100"
        cases = [
            ("onymix_name(-1)", "onymix_name: not an id: -1 ("),
            ("onymix_name(2.5)", "onymix_name: not an id: 2.5 ("),
            ("onymix_name(1e20)", "onymix_name: not an id: 1.0e+20 ("),
            ("onymix_name(9e999)", "onymix_name: not an id: Inf ("),
            ("onymix_name('18446744073709551616')", "not an id: '18446744073709551616' ("),
            ("onymix_name('12a')", "not an id: '12a' ("),
            ("onymix_name(' 1')", "not an id: ' 1' ("),
            ("onymix_name('')", "not an id: '' ("),
            ("onymix_name(x'01')", "not an id: a blob of 1 byte ("),
            ("onymix_name(1, 7)", "onymix_name: not a mode: 7 ("),
            ("onymix_name(1, -1)", "not a mode: -1 ("),
            ("onymix_name(1, '7')", "not a mode: '7' ("),
            ("onymix_name(1, 'Nobody')", "not a mode: 'Nobody' ("),
            ("onymix_name(1, 'Male Surname')", "not a mode: 'Male Surname' ("),
            ("onymix_name(1, CAST(x'4d616c6500' AS TEXT))",
             "not a mode: CAST(x'4d616c6500' AS TEXT) ("),
            ("onymix_name(CAST(x'31ff' AS TEXT))", "not an id: CAST(x'31ff' AS TEXT) ("),
            ("onymix_name(1, CAST(zeroblob(31) AS TEXT))",
             f"not a mode: CAST(x'{'00' * 30}' AS TEXT)... ("),
            ("onymix_name(1, 'Female ' || printf('%.*c', 1000000, 'x'))",
             f"not a mode: 'Female {'x' * 53}'... ("),
            ("onymix_name(1, 2.0)", "not a mode: 2.0 ("),
            ("onymix_name(1, NULL)", "not a mode: NULL ("),
            ("onymix_name(1, 4294967298)", "not a mode: 4294967298 ("),
            ("onymix_name(1, 6, zeroblob(15))", "onymix_name: not a key: a blob of 15 bytes ("),
            ("onymix_name(1, 6, zeroblob(17))", "not a key: a blob of 17 bytes ("),
            (f"onymix_name(1, 6, '{secret}')", "not a key: text of 32 bytes ("),
            ("onymix_name(1, 6, 0)", "not a key: an integer ("),
            ("onymix_pseudonym(42)", "onymix_pseudonym: not a value: 42 ("),
            ("onymix_pseudonym(4.5)", "onymix_pseudonym: not a value: 4.5 ("),
            ("onymix_pseudonym('a', 'Nobody')", "onymix_pseudonym: not a mode: 'Nobody' ("),
            ("onymix_pseudonym('a', 6, x'00')", "onymix_pseudonym: not a key: a blob of 1 byte ("),
            ("onymix_generate(3, 86400)", "onymix_generate: not a second: 86400 ("),
            ("onymix_generate(3, -1)", "onymix_generate: not a second: -1 ("),
            ("onymix_generate(3, 0.5)", "not a second: 0.5 ("),
            ("onymix_generate(3, 'noon')", "not a second: 'noon' ("),
            ("onymix_generate(3, 18446744073709551615.0)", "not a second: 1.84467440737096e+19 ("),
            ("onymix_generate('Nobody')", "onymix_generate: not a mode: 'Nobody' ("),
        ]
        for call, message in cases:
            with self.subTest(call=call):
                with self.assertRaises(sqlite3.OperationalError) as raised:
                    self.db.execute(f"SELECT {call}").fetchone()
                self.assertIn(message, str(raised.exception))
                self.assertNotIn(secret, str(raised.exception))

    def test_every_arity_and_no_other(self):
        for call in ("onymix_name(0)", "onymix_name(0, 0)", "onymix_name(0, 0, NULL)",
                     "onymix_pseudonym('')", "onymix_pseudonym('', 0)",
                     "onymix_pseudonym('', 0, NULL)", "onymix_generate()", "onymix_generate(0)",
                     "onymix_generate(0, 0)"):
            self.assertRegex(self.db.execute(f"SELECT {call}").fetchone()[0], r"^[A-Za-z]+")
        for call in ("onymix_name()", "onymix_name(0, 0, NULL, 0)", "onymix_pseudonym()",
                     "onymix_pseudonym('', 0, NULL, 0)", "onymix_generate(0, 0, 0)"):
            with self.assertRaisesRegex(sqlite3.OperationalError, "wrong number of arguments"):
                self.db.execute(f"SELECT {call}")


MASK_KEY = bytes(range(16))
MASKINGS = (("first", "onymix_mask_first_name"), ("surname", "onymix_mask_surname"),
            ("full", "onymix_mask_full_name"))


def unescaped(field):
    """A field of a masking file as bytes: \\\\ \\t \\n \\r \\xHH."""
    return re.sub(rb"\\(\\|t|n|r|x[0-9a-f]{2})", lambda m: {b"\\": b"\\", b"t": b"\t",
                  b"n": b"\n", b"r": b"\r"}.get(m[1]) or bytes.fromhex(m[1][1:].decode()),
                  field.encode())


class Masking(unittest.TestCase):
    def setUp(self):
        self.db = connect()

    def test_golden_maskings_of_blobs_and_text(self):
        for kind, function in MASKINGS:
            with open(os.path.join(GOLDEN, f"mask-{kind}-{MASK_KEY.hex()}.txt"),
                      encoding="utf-8") as f:
                golden = [[unescaped(field) for field in line.split("\t")]
                          for line in f.read().splitlines()]
            self.assertGreater(len(golden), 40)
            # Text keeps every byte, invalid UTF-8 too, when it is a blob cast to text.
            self.db.text_factory = bytes
            for value, masked in golden:
                self.assertEqual(self.db.execute(
                    f"SELECT {function}(?1, ?2), {function}(CAST(?1 AS TEXT), ?2), "
                    f"typeof({function}(CAST(?1 AS TEXT), ?2))", (value, MASK_KEY)).fetchone(),
                    (masked, masked, b"text"), (function, value))

    def test_long_maskings_text_in_utf16_databases_and_nulls(self):
        for encoding in ("UTF-8", "UTF-16le"):
            db = connect(encoding)
            mary = db.execute("SELECT onymix_mask_first_name('Mary', ?)", (MASK_KEY,)).fetchone()[0]
            # Past the stack's room: the masking is made in memory of its own.
            value = " ".join(["Mary"] * 5000)
            self.assertEqual(db.execute(
                "SELECT onymix_mask_first_name(?1, ?3), onymix_mask_first_name(?2, ?3)",
                (value, value.encode(), MASK_KEY)).fetchone(),
                (" ".join([mary] * 5000), " ".join([mary] * 5000).encode()), encoding)
            self.assertEqual(db.execute(
                "SELECT onymix_mask_full_name('Zoë Müller', ?1), onymix_mask_surname(NULL, ?1)",
                (MASK_KEY,)).fetchone(), (self.db.execute(
                    "SELECT onymix_mask_full_name(?, ?)", ("Zoë Müller".encode(), MASK_KEY))
                    .fetchone()[0].decode(), None), encoding)

    def test_keys_and_values_refused_without_showing_them(self):
        secret = b"Pz9Qw4Lm8Rt2Vy6B"
        for _, function in MASKINGS:
            cases = [
                (f"{function}('Mary')", f"{function}: a masking needs a key ("),
                (f"{function}('Mary', NULL)", f"{function}: not a key: NULL ("),
                (f"{function}('Mary', zeroblob(16))", f"{function}: the zero key is no secret ("),
                (f"{function}('Mary', x'{secret[:15].hex()}')", "not a key: a blob of 15 bytes ("),
                (f"{function}('Mary', '{secret.decode()}')", "not a key: text of 16 bytes ("),
                (f"{function}(42, x'{secret.hex()}')", f"{function}: not a value: an integer ("),
            ]
            for call, message in cases:
                with self.subTest(call=call):
                    with self.assertRaises(sqlite3.OperationalError) as raised:
                        self.db.execute(f"SELECT {call}").fetchone()
                    self.assertIn(message, str(raised.exception))
                    self.assertNotRegex(str(raised.exception), "Pz9|Mary|42")
            with self.assertRaisesRegex(sqlite3.OperationalError, "wrong number of arguments"):
                self.db.execute(f"SELECT {function}('Mary', x'{secret.hex()}', 0)")

    def test_maskings_in_indexes_and_untrusted_schemas(self):
        self.db.executescript(f"""PRAGMA trusted_schema = OFF;
            CREATE TABLE people(name TEXT);
            CREATE INDEX people_surname ON people(onymix_mask_surname(name, x'{MASK_KEY.hex()}'));
            CREATE VIEW masked AS SELECT onymix_mask_full_name(name, x'{MASK_KEY.hex()}') AS m
                FROM people;
            INSERT INTO people VALUES ('Mary Smith'), (NULL);""")
        self.assertEqual(self.db.execute("SELECT m FROM masked").fetchall(),
                         [("Hildegarde Eusebio",), (None,)])


class RandomCalls(unittest.TestCase):
    def test_random_arguments_give_names_nulls_or_errors_naming_them(self):
        # In a process of its own, so that a crash is a failure rather than the end of the test.
        child = subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__),
                                                             "random_calls.py"), EXTENSION],
                               capture_output=True, text=True, timeout=120)
        self.assertEqual((child.returncode, child.stdout, child.stderr), (0, "", ""))


class Shell(unittest.TestCase):
    """The sqlite3 shell loads the extension by its name without the suffix, as users write it,
    and checks the golden files it imports itself."""

    def run_shell(self, script):
        load = os.path.splitext(EXTENSION)[0]
        return subprocess.run([SHELL, "-bail", ":memory:"], input=f".load '{load}'\n{script}",
                              capture_output=True, text=True, timeout=60)

    def test_golden_files_through_the_shell(self):
        script, expected = [".mode tabs"], []
        for mode, key in id_files():
            path = os.path.join(GOLDEN, f"ids-{mode}-{key}.txt")
            script += ["CREATE TABLE g(id TEXT, name TEXT);", f".import '{path}' g",
                       # Every id as text, and as an integer where it is one.
                       f"SELECT {mode}, count(*), sum(onymix_name(id, {mode}, x'{key}') IS NOT name),"
                       f" sum(CAST(id AS INTEGER) || '' = id), sum(CAST(id AS INTEGER) || '' = id"
                       f" AND onymix_name(CAST(id AS INTEGER), {mode}, x'{key}') IS NOT name)"
                       " FROM g;", "DROP TABLE g;"]
            ids = [int(i) for i, _ in rows(f"ids-{mode}-{key}.txt")]
            expected.append(f"{mode}\t{len(ids)}\t0\t{sum(i <= LARGEST_INTEGER for i in ids)}\t0")
        for key in KEYS:
            golden = rows(f"pseudonyms-{key}.txt")
            script.append("CREATE TABLE p(mode INTEGER, value BLOB, name TEXT);")
            script += [f"INSERT INTO p VALUES ({m}, x'{v}', '{n}');" for m, v, n in golden]
            script += [f"SELECT count(*), sum(onymix_pseudonym(value, mode, x'{key}') IS NOT name)"
                       " FROM p;", "DROP TABLE p;"]
            expected.append(f"{len(golden)}\t0")
        script += ["CREATE TABLE s(mode INTEGER, second INTEGER, name TEXT);",
                   f".import '{os.path.join(GOLDEN, 'generate.txt')}' s",
                   "SELECT count(*), sum(onymix_generate(mode, second) IS NOT name) FROM s;"]
        expected.append(f"{len(rows('generate.txt'))}\t0")
        shell = self.run_shell("\n".join(script) + "\n")
        self.assertEqual((shell.returncode, shell.stderr), (0, ""))
        self.assertEqual(shell.stdout.splitlines(), expected)

    def test_an_error_stops_the_shell_with_its_message(self):
        shell = self.run_shell("SELECT onymix_name(1, 'Nobody');\nSELECT 'not reached';\n")
        self.assertNotEqual(shell.returncode, 0)
        self.assertIn("onymix_name: not a mode: 'Nobody'", shell.stderr)
        self.assertNotIn("not reached", shell.stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
