# test_api.py: what the package offers and how it refuses bad input: the
# version and modes, unique output running out, every kind of bad argument,
# the type stubs against the module as it runs, and the one name the
# extension module shows the process.
import array
import ast
import ctypes
import importlib.metadata
import inspect
import re
from pathlib import Path

import onymix
import pytest
from conftest import ROOT, name_list


def test_version_and_modes():
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    project = re.search(r"^project\(Onymix VERSION (\S+)", cmake, re.MULTILINE).group(1)
    assert onymix.__version__ == project == importlib.metadata.version("onymix")
    assert onymix.MODES == ("Female", "Female + Surname", "Male", "Male + Surname", "Surname",
                            "Any", "Any + Surname")


def header_mode(macro):
    """The label of the mode a macro of onymix.h names, through the macros it names."""
    header = (ROOT / "include" / "onymix.h").read_text(encoding="utf-8")
    defines = dict(re.findall(r"^#define (ONYMIX_\w+) (\S+)$", header, re.MULTILINE))
    while macro in defines:
        macro = defines[macro]
    return onymix.MODES[int(macro)]


def test_default_modes_are_the_headers():
    sequence = header_mode("ONYMIX_DEFAULT_SEQUENCE_MODE")
    by_id = header_mode("ONYMIX_DEFAULT_ID_MODE")
    for call, default in ((onymix.generate, sequence), (onymix.names, sequence),
                          (onymix.Generator, sequence), (onymix.name_for_id, by_id),
                          (onymix.names_for_ids, by_id), (onymix.pseudonym, by_id),
                          (onymix.pseudonyms, by_id)):
        assert inspect.signature(call).parameters["mode"].default == default, call
    assert onymix.names(5, seed=1) == onymix.names(5, sequence, seed=1)
    assert onymix.generate(second=1) == onymix.generate(sequence, 1)
    assert onymix.names_for_ids(range(5)) == onymix.names_for_ids(range(5), by_id)
    assert onymix.pseudonyms([b"x"]) == onymix.pseudonyms([b"x"], by_id)


def unescape(match):
    code = match.group(1)
    return b"\\" if code == b"\\" else b"\t" if code == b"t" else bytes([int(code[1:], 16)])


def mode_texts():
    """The shared cases of a mode given as text that a str can hold."""
    lines = (ROOT / "tests" / "golden" / "mode-texts.txt").read_text(encoding="ascii")
    for line in lines.split("\n"):
        if line and not line.startswith("#"):
            escaped, mode = line.rsplit("\t", 1)
            raw = re.sub(rb"\\(\\|t|x..)", unescape, escaped.encode("ascii"))
            try:
                yield raw.decode("utf-8"), int(mode)
            except UnicodeDecodeError:  # no str holds it
                pass


def test_modes_given_as_text():
    cases = list(mode_texts())
    assert len(cases) > 100
    for text, mode in cases:
        if mode < 0:
            with pytest.raises(ValueError, match="not a mode: "):
                onymix.names(1, text, seed=0)
        else:
            assert onymix.names(1, text, seed=0) == onymix.names(1, mode, seed=0), repr(text)


def test_unique_male_names_run_out():
    g = onymix.Generator("Male", 0, unique=True)
    made = g.take(1000) + g.records(1000)  # the records: only the 219 left
    assert sorted(made[:1000] + [r.name for r in made[1000:]]) == sorted(name_list("male"))
    with pytest.raises(StopIteration):
        next(g)
    assert g.take(10) == [] and g.records(10) == []
    assert sorted(onymix.Generator(2, 86399, unique=True)) == sorted(name_list("male"))
    assert len(onymix.names(1219, "Male", 5, unique=True)) == 1219


@pytest.mark.parametrize("mode, distinct", [
    ("Female", 4275), ("Female + Surname", 4275 * 56342), ("Male", 1219),
    ("Male + Surname", 1219 * 56342), ("Surname", 56342), ("Any", 5163),
    ("Any + Surname", 5163 * 56342)])
def test_unique_count_is_checked_before_drawing(mode, distinct):
    with pytest.raises(ValueError, match=f"{distinct + 1} is more than the {distinct} "):
        onymix.names(distinct + 1, mode, unique=True)
    if distinct < 10**5:
        assert len(set(onymix.Generator(mode, 1, unique=True))) == distinct
        assert len(onymix.names(distinct + 1, mode, 1)) == distinct + 1  # only unique is bound


def test_repr_shows_the_mode_seed_uniqueness_and_start_as_given():
    assert repr(onymix.Generator("male", 5)) == \
        "onymix.Generator(mode='Male', seed=5, unique=False)"
    assert repr(onymix.Generator(seed=0, unique=True, start=0)) == \
        "onymix.Generator(mode='Male + Surname', seed=0, unique=True)"
    assert repr(onymix.Generator(6)) == \
        "onymix.Generator(mode='Any + Surname', seed=None, unique=False)"
    assert repr(onymix.Generator(4, 2**64 - 1, start=2**63 + 5)) == \
        f"onymix.Generator(mode='Surname', seed={2**64 - 1}, unique=False, start={2**63 + 5})"


MODES = re.escape("the modes are 'Female', 'Female + Surname', ") + ".*, or a mode number 0 to 6$"
BAD_CALLS = [
    (lambda: onymix.generate("Nobody"), ValueError, "not a mode: 'Nobody'; " + MODES),
    (lambda: onymix.generate("Male\0"), ValueError, r"not a mode: 'Male\\x00'"),
    (lambda: onymix.generate("\ud800"), ValueError, r"not a mode: '\\ud800'"),
    (lambda: onymix.names(1, 7), ValueError, "not a mode: 7; " + MODES),
    (lambda: onymix.Generator(2**64), ValueError, f"not a mode: {2**64}"),
    (lambda: onymix.Generator(True), TypeError, "mode must be a str or an int, not True"),
    (lambda: onymix.generate(2.0), TypeError, "mode must be a str or an int, not 2.0; "),
    (lambda: onymix.names(1, None), TypeError, "mode must be a str or an int, not None"),
    (lambda: onymix.generate(second=86400), ValueError, "second of the day, 0 to 86399, not 86400"),
    (lambda: onymix.generate(second=-1), ValueError, "second of the day, 0 to 86399, not -1"),
    (lambda: onymix.generate(second=0.0), TypeError, "second must be an int .* or None, not 0.0"),
    (lambda: onymix.names(1, seed=-1), ValueError,
     f"seed must be from 0 to {2**64 - 1}, not -1"),
    (lambda: onymix.names(1, seed=2**64), ValueError, f"seed must be .*, not {2**64}$"),
    (lambda: onymix.Generator(seed=-2**80), ValueError, f"seed must be .* not {-2**80}"),
    (lambda: onymix.names(1, seed=1.0), TypeError, "seed must be an int .* or None, not 1.0"),
    (lambda: onymix.Generator(seed=False), TypeError, "seed must be an int .* not False"),
    (lambda: onymix.names(1, start=-1), ValueError,
     f"start must be from 0 to {2**64 - 1}, not -1"),
    (lambda: onymix.Generator(start=None), TypeError, "start must be an int .*, not None"),
    (lambda: onymix.Generator(start=2**64), ValueError, f"start must be .*, not {2**64}"),
    (lambda: onymix.names(5, unique=True, start=1), ValueError,
     "start must be 0 for unique names, .* not 1"),
    (lambda: onymix.Generator("Male", unique=True, start=2**63), ValueError,
     f"start must be 0 for unique names, .* not {2**63}"),
    (lambda: onymix.names(-1), ValueError, "count must be from 0 to .*, not -1"),
    (lambda: onymix.names(2**63), ValueError, f"count must be .*, not {2**63}"),
    (lambda: onymix.names(3.0), TypeError, "count must be an int, not 3.0"),
    (lambda: onymix.names(True), TypeError, "count must be an int, not True"),
    (lambda: onymix.Generator().take(-5), ValueError, "count must be .*, not -5"),
    (lambda: onymix.Generator().records("10"), TypeError, "count must be an int, not '10'"),
    (lambda: onymix.names(1220, "Male", unique=True), ValueError,
     "count 1220 is more than the 1219 different names of mode 'Male'"),
    (lambda: onymix.name_for_id(-1), ValueError, f"id must be from 0 to {2**64 - 1}, not -1"),
    (lambda: onymix.name_for_id(2**64), ValueError, f"id must be .*, not {2**64}"),
    (lambda: onymix.name_for_id(1.0), TypeError, "id must be an int from 0 to .*, not 1.0"),
    (lambda: onymix.name_for_id(True), TypeError, "id must be an int .*, not True"),
    (lambda: onymix.name_for_id(1, "Nobody"), ValueError, "not a mode: 'Nobody'"),
    (lambda: onymix.names_for_ids([1, 2**64, -1]), ValueError,
     f"every id must be from 0 to {2**64 - 1}, not {2**64}"),
    (lambda: onymix.names_for_ids([0, "1"]), TypeError, "every id must be an int .*, not '1'"),
    (lambda: onymix.names_for_ids([False]), TypeError, "every id must be an int .*, not False"),
    (lambda: onymix.names_for_ids(range(-2, 3)), ValueError, "every id must be .*, not -2"),
    (lambda: onymix.names_for_ids(range(2**64 - 2, 2**64 + 1)), ValueError,
     f"every id must be .*, not {2**64}"),
    (lambda: onymix.names_for_ids(range(5, -5, -2)), ValueError, "every id must be .*, not -1"),
    (lambda: onymix.names_for_ids(7), TypeError,
     "ids must be a range, an iterable of ints or a buffer of 64-bit ints, not int"),
    (lambda: onymix.names_for_ids(b"\x01\x02"), TypeError,
     r"buffer of ids must hold 64-bit ints \(format 'Q', 'q', 'L' or 'l' of 8 bytes\), "
     "not format 'B' of 1 bytes"),
    (lambda: onymix.names_for_ids(array.array("i", [1])), TypeError, "not format 'i' of 4 bytes"),
    (lambda: onymix.names_for_ids(array.array("d", [1])), TypeError, "not format 'd' of 8 bytes"),
    (lambda: onymix.names_for_ids(array.array("q", [3, -4])), ValueError,
     "every id must be .*, not -4"),
    (lambda: onymix.names_for_ids(memoryview(bytes(16)).cast("B", (2, 8))), TypeError,
     "not format 'B'"),
    (lambda: onymix.names_for_ids(memoryview(bytes(32)).cast("Q", (2, 2))), ValueError,
     "buffer of ids must be one-dimensional, not 2-dimensional"),
    (lambda: onymix.name_for_id(1, key=bytes(15)), ValueError, "key must be 16 bytes, not 15"),
    (lambda: onymix.names_for_ids([1], key=bytearray(17)), ValueError,
     "key must be 16 bytes, not 17"),
    (lambda: onymix.pseudonym(b"", key="0123456789abcdef"), TypeError,
     r"key must be 16 bytes \(a bytes-like object\) or None, not str"),
    (lambda: onymix.pseudonyms([], key=16), TypeError, "key must be 16 bytes .* not int"),
    (lambda: onymix.pseudonym(None), TypeError,
     "a value must be a str or a bytes-like object, not NoneType"),
    (lambda: onymix.pseudonym("\ud800"), UnicodeEncodeError, "surrogates not allowed"),
    (lambda: onymix.pseudonyms(["a", b"b", 3]), TypeError,
     "a value must be a str or a bytes-like object, not int"),
    (lambda: onymix.pseudonyms("alice@example.com"), TypeError,
     "values must be an iterable of str or bytes-like values, not one str; pseudonym"),
    (lambda: onymix.pseudonyms(b"alice"), TypeError, "not one bytes"),
    (lambda: onymix.pseudonyms(5), TypeError, "'int' object is not iterable"),
    (lambda: onymix.pseudonyms([b"a"], mode=None), TypeError, "mode must be a str or an int"),
]


def test_messages_never_show_a_key_or_a_value():
    secret = "my secret value 1234"
    for call in (lambda: onymix.pseudonym(b"x", key=secret),
                 lambda: onymix.pseudonyms(secret),
                 lambda: onymix.name_for_id(1, key=secret.encode())):
        with pytest.raises((TypeError, ValueError)) as caught:
            call()
        assert "secret" not in str(caught.value)


@pytest.mark.parametrize("call, error, message", BAD_CALLS)
def test_bad_arguments(call, error, message):
    with pytest.raises(error, match=message):
        call()


def stub_signature(function):
    """The signature a stub's def declares, without its annotations."""
    arguments = function.args
    for argument in arguments.posonlyargs + arguments.args + arguments.kwonlyargs:
        argument.annotation = None
    namespace = {}
    exec(f"def f({ast.unparse(arguments)}): pass", namespace)
    return inspect.signature(namespace["f"])


def test_stubs_match_the_module():
    package = Path(onymix.__file__).parent
    assert (package / "py.typed").is_file()
    stub = ast.parse((package / "__init__.pyi").read_text(encoding="utf-8"))
    declared = {getattr(n, "name", None) or n.target.id: n for n in stub.body
                if isinstance(n, (ast.FunctionDef, ast.ClassDef, ast.AnnAssign))}
    stub_all = next(ast.literal_eval(n.value) for n in stub.body if isinstance(n, ast.Assign))
    public = {name for name in dir(onymix) if not name.startswith("_")}
    assert sorted(stub_all) == sorted(onymix.__all__) == sorted(declared)
    assert public <= set(declared)
    for name in ("generate", "names", "name_for_id", "names_for_ids", "pseudonym", "pseudonyms"):
        assert stub_signature(declared[name]) == inspect.signature(getattr(onymix, name))
    methods = {n.name: n for n in declared["Generator"].body if isinstance(n, ast.FunctionDef)}
    for name in methods:
        assert callable(getattr(onymix.Generator, name))
    for name in ("take", "records"):
        assert stub_signature(methods[name]) == inspect.signature(getattr(onymix.Generator, name))
    new = list(stub_signature(methods["__new__"]).parameters.values())[1:]
    assert new == list(inspect.signature(onymix.Generator).parameters.values())
    fields = [n.target.id for n in declared["Name"].body if isinstance(n, ast.AnnAssign)]
    assert tuple(fields) == onymix.Name._fields
    for documented in (onymix, onymix.generate, onymix.names, onymix.Generator, onymix.Name,
                       onymix.Generator.take, onymix.Generator.records, onymix.Name.sex,
                       onymix.name_for_id, onymix.names_for_ids, onymix.pseudonym,
                       onymix.pseudonyms):
        assert documented.__doc__.strip()


def test_the_extension_shows_only_its_init_function():
    # Its files share functions of plain names, and it holds libonymix: were
    # they seen from outside, another library in the process could bind to
    # them or take their place.
    module = ctypes.CDLL(onymix._onymix.__file__)
    assert hasattr(module, "PyInit__onymix")
    for hidden in ("make_names", "put_names", "parse_mode", "hidden_list", "onymix_open",
                   "onymix_entry"):
        assert not hasattr(module, hidden), f"{hidden} is seen outside the module"
