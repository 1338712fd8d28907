# test_masks.py: the maskings of real names against the golden files, as str
# and as bytes, one at a time and in bulk; the keys and values refused; the
# missing values of a column passed through; and large bulk calls, whose
# maskings outgrow the room first given, equal to one at a time.
import math
import re

import onymix
import pytest
from conftest import GOLDEN, name_list

KEY = bytes(range(16))
KINDS = {
    "first": (onymix.mask_first_name, onymix.mask_first_names),
    "surname": (onymix.mask_surname, onymix.mask_surnames),
    "full": (onymix.mask_full_name, onymix.mask_full_names),
}
ESCAPES = {"\\": b"\\", "t": b"\t", "n": b"\n", "r": b"\r"}


def unescaped(field):
    return re.sub(rb"\\(x[0-9a-f]{2}|.)",
                  lambda m: bytes.fromhex(m[1][1:].decode()) if len(m[1]) == 3
                  else ESCAPES[m[1].decode()], field.encode("utf-8"))


def golden(kind):
    text = (GOLDEN / f"mask-{kind}-{KEY.hex()}.txt").read_text(encoding="utf-8")
    return [tuple(map(unescaped, line.split("\t"))) for line in text.split("\n")[:-1]]


@pytest.mark.parametrize("kind", KINDS)
def test_golden_maskings_as_bytes_and_str(kind):
    one, many = KINDS[kind]
    pairs = golden(kind)
    values, expected = [v for v, _ in pairs], [m for _, m in pairs]
    assert [one(v, key=KEY) for v in values] == expected
    assert many(values, key=bytearray(KEY)) == expected
    # Any bytes-like value gives bytes.
    assert many(map(memoryview, values), key=memoryview(KEY)) == expected
    assert one(bytearray(values[0]), key=KEY) == expected[0]
    # A str is masked as its UTF-8 and gives a str: every value that is UTF-8.
    texts = [(v.decode(), m.decode()) for v, m in pairs if is_utf8(v)]
    assert len(texts) > len(pairs) * 0.9
    assert [one(v, key=KEY) for v, _ in texts] == [m for _, m in texts]
    mixed = [v if i % 2 else v.encode() for i, (v, _) in enumerate(texts)]
    assert many(mixed, key=KEY) == [m if i % 2 else m.encode() for i, (_, m) in enumerate(texts)]


def is_utf8(value):
    try:
        value.decode()
        return True
    except UnicodeDecodeError:
        return False


@pytest.mark.parametrize("function", [f for pair in KINDS.values() for f in pair],
                         ids=lambda f: f.__name__)
def test_keys_and_values_refused(function):
    value = ["Mary Smith"] if function.__name__.endswith("s") else "Mary Smith"
    name = re.escape(function.__name__)
    for given in ({}, {"key": None}):
        with pytest.raises(TypeError, match=rf"^{name}\(\) needs key=, a secret of 16 bytes"):
            function(value, **given)
    with pytest.raises(ValueError, match=rf"^{name}\(\) refuses the zero key: .* can be undone"):
        function(value, key=bytes(16))
    with pytest.raises(TypeError, match="key must be 16 bytes .*not str$"):
        function(value, key="0123456789abcdef")
    # A key may be a secret: its length is told, never its bytes.
    with pytest.raises(ValueError, match="^key must be 16 bytes, not 15$"):
        function(value, key=b"secret key here")
    with pytest.raises(TypeError):
        function(value, KEY)  # the key is given by name only
    # A value may be personal data: messages tell its type, never the value.
    bad = [["Mary", 1979], ["Mary", 19.79]] if function.__name__.endswith("s") else \
        [1979, None, math.nan]
    for values in bad:
        with pytest.raises(TypeError) as raised:
            function(values, key=KEY)
        assert "1979" not in str(raised.value) and "19.79" not in str(raised.value)
    if function.__name__.endswith("s"):
        with pytest.raises(TypeError, match="not int, at index 1$"):
            function(["Mary", 1979], key=KEY)
        for one in ("Mary Smith", b"Mary Smith"):
            with pytest.raises(TypeError, match=rf"not one \w+; {name[:-1]}\(\) takes one$"):
                function(one, key=KEY)
    with pytest.raises(UnicodeEncodeError):
        function(["Mary\udc80"] if function.__name__.endswith("s") else "Mary\udc80", key=KEY)


def test_missing_values_stay_as_they_are():
    nan = float("nan")
    values = [None, "Mary Smith", nan, b"John Smith", math.inf * 0]
    masked = onymix.mask_full_names(values, key=KEY)
    assert masked[1:4:2] == ["Hildegarde Eusebio", b"Taylor Eusebio"]
    assert all(masked[i] is values[i] for i in (0, 2, 4))
    assert onymix.mask_surnames([None] * 3000, key=KEY) == [None] * 3000
    with pytest.raises(TypeError, match="not float, at index 0$"):
        onymix.mask_surnames([1.5], key=KEY)


def test_pandas_columns():
    try:
        import numpy
        import pandas
    except ImportError:
        pytest.skip("pandas is not installed (Debian's python3-pandas)")
    column = pandas.Series(["Mary Smith", None, pandas.NA, math.nan, "John Smith"] * 1000)
    masked = onymix.mask_full_names(column, key=KEY)
    assert all(masked[i] is column[i] for i in (1, 2, 3))
    assert masked[:5:4] == ["Hildegarde Eusebio", "Taylor Eusebio"] and len(masked) == 5000
    strings = column.astype("string")
    assert onymix.mask_full_names(strings, key=KEY)[:5] == \
        ["Hildegarde Eusebio", pandas.NA, pandas.NA, pandas.NA, "Taylor Eusebio"]
    # A NaN of numpy's float64 is a float too.
    nan = numpy.float64("nan")
    assert onymix.mask_surnames([nan], key=KEY)[0] is nan


def test_large_calls_are_the_maskings_one_at_a_time():
    first, surnames = name_list("female")[:3000], name_list("surnames")[:5000]
    values = [f"{first[i % 3000]} {surnames[i * 7 % 5000]}"
              for i in range(100_000)]
    values[5::97] = [v.upper().encode() for v in values[5::97]]
    # Maskings longer than the room a call starts with, and empty ones.
    values[40_000] = "Mary Ann " * 20_000 + "Smith"
    values[40_001:40_003] = ["", b" "]
    masked = onymix.mask_full_names(values, key=KEY)
    assert masked == [onymix.mask_full_name(v, key=KEY) for v in values]
    assert len(masked[40_000]) > 200_000 and masked[40_001:40_003] == ["", b" "]
    # A call stopped half way by its values lets go of what it made.
    def stopped():
        yield from values[:50_000]
        raise KeyError("stop")
    with pytest.raises(KeyError):
        onymix.mask_first_names(stopped(), key=KEY)
