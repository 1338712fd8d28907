# test_ids_pseudonyms.py: names by id and pseudonyms against the golden files
# under both keys, through every form the ids and values can take, and the
# one str object per table entry that one-part names share.
import array
import signal
import sys

import onymix
import pytest
from conftest import GOLDEN

KEYS = ["00000000000000000000000000000000", "000102030405060708090a0b0c0d0e0f"]
IDS = sorted(GOLDEN.glob("ids-*-*.txt"))


def golden_ids(path):
    mode, key = path.stem.split("-")[1:]
    lines = [line.split("\t") for line in path.read_text(encoding="ascii").splitlines()]
    return int(mode), bytes.fromhex(key), [int(i) for i, _ in lines], [n for _, n in lines]


def test_golden_files_cover_every_mode_and_both_keys():
    assert sorted((m, k.hex()) for m, k, _, _ in map(golden_ids, IDS)) == \
        [(m, k) for m in range(len(onymix.MODES)) for k in KEYS]


@pytest.mark.parametrize("path", IDS, ids=lambda path: path.stem)
def test_names_for_ids(path):
    mode, key, ids, expected = golden_ids(path)
    assert ids[:1000] == list(range(1000)) and len(ids) > 1000
    # The zero key is also None, and a key any bytes-like object.
    for given in ([key, bytearray(key), memoryview(key)] +
                  ([None] if not any(key) else [])):
        assert onymix.names_for_ids(range(0, 1000), mode, given) == expected[:1000]
    label = onymix.MODES[mode].upper()
    assert onymix.names_for_ids(array.array("Q", ids[1000:]), label, key=key) == expected[1000:]
    assert onymix.names_for_ids(iter(ids), mode, key) == expected
    assert onymix.names_for_ids(range(998, 1000), mode, key) == expected[998:1000]
    assert onymix.names_for_ids(range(999, -1, -7), mode, key) == expected[999::-7]
    assert [onymix.name_for_id(i, mode, key) for i in ids] == expected


def test_ids_default_to_any_and_surname_and_the_zero_key():
    _, _, ids, expected = golden_ids(GOLDEN / f"ids-6-{KEYS[0]}.txt")
    assert onymix.names_for_ids(ids) == expected
    assert onymix.name_for_id(ids[-1]) == expected[-1]
    for empty in ([], range(0), range(5, 5), range(5, 3), range(2, 9, -1), iter(())):
        assert onymix.names_for_ids(empty) == []
    assert onymix.names_for_ids(range(2**64 - 3, 2**64)) == expected[-3:]


def test_ids_from_buffers_of_every_integer_format():
    mode, key, ids, expected = golden_ids(GOLDEN / f"ids-4-{KEYS[1]}.txt")
    small = ids[995:1003]  # none of them above 2**63 - 1, for the signed formats
    for code in "QqLl":
        assert onymix.names_for_ids(array.array(code, small), mode, key) == expected[995:1003]
    # Strided and unaligned buffers are read too.
    wide = array.array("Q", [x for i in ids for x in (i, 0)])
    assert onymix.names_for_ids(memoryview(wide)[::2], mode, key) == expected
    raw = bytes(1) + array.array("Q", ids).tobytes()
    assert onymix.names_for_ids(memoryview(raw)[1:].cast("Q"), mode, key) == expected


def test_ids_from_numpy_arrays():
    numpy = pytest.importorskip("numpy")
    mode, key, ids, expected = golden_ids(GOLDEN / f"ids-3-{KEYS[0]}.txt")
    assert onymix.names_for_ids(numpy.array(ids, dtype=numpy.uint64), mode, key) == expected
    assert onymix.names_for_ids(numpy.arange(1000)[::-3], mode, key) == expected[999::-3]
    with pytest.raises(ValueError, match=r"must be from 0 to 18446744073709551615, not -1$"):
        onymix.names_for_ids(numpy.array([5, -1]), mode)
    with pytest.raises(TypeError, match="format 'f' of 4 bytes"):
        onymix.names_for_ids(numpy.zeros(3, dtype=numpy.float32))
    with pytest.raises(ValueError, match="one-dimensional, not 2-dimensional"):
        onymix.names_for_ids(numpy.zeros((2, 2), dtype=numpy.uint64))


def golden_pseudonyms(key):
    path = GOLDEN / f"pseudonyms-{key}.txt"
    return [(int(m), bytes.fromhex(v), n) for m, v, n in
            (line.split("\t") for line in path.read_text(encoding="ascii").splitlines())]


@pytest.mark.parametrize("key", KEYS)
def test_pseudonyms(key):
    lines, key = golden_pseudonyms(key), bytes.fromhex(key)
    assert {m for m, _, _ in lines} == set(range(len(onymix.MODES)))
    assert [onymix.pseudonym(v, m, key) for m, v, _ in lines] == [n for _, _, n in lines]
    texts = 0
    for mode in range(len(onymix.MODES)):
        values = [v for m, v, _ in lines if m == mode]
        expected = [n for m, _, n in lines if m == mode]
        assert onymix.pseudonyms(values, mode, key) == expected
        assert onymix.pseudonyms(map(bytearray, values), mode, key) == expected
        assert onymix.pseudonyms((memoryview(v) for v in values), mode, key) == expected
        for value, name in zip(values, expected):  # a str stands for its UTF-8
            try:
                text = value.decode("utf-8")
            except UnicodeDecodeError:
                continue
            texts += 1
            assert onymix.pseudonym(text, mode, key) == name
            assert onymix.pseudonyms([text, value], mode, key) == [name, name]
    assert 0 < texts < len(lines)  # the files hold values that are no UTF-8


def test_many_pseudonyms_come_in_order():
    # More values than the binding gathers for one call of the library.
    values = [f"customer-{i}@example.com" for i in range(5000)]
    key = bytes(range(16))
    assert onymix.pseudonyms(values, key=key) == [onymix.pseudonym(v, key=key) for v in values]
    assert onymix.pseudonyms(v.encode() for v in values[:10]) == \
        [onymix.pseudonym(v) for v in values[:10]]
    assert onymix.pseudonyms([]) == []


def test_one_part_names_are_one_object_per_name():
    surnames = onymix.names(20_000, "Surname", seed=3)
    first = {}
    for name in surnames:
        assert first.setdefault(name, name) is name
    assert len(first) < len(surnames)  # some names did come again
    for mode in ("Female", "Male", "Surname", "Any"):
        by_id = onymix.names_for_ids(range(3000), mode)
        assert all(a is b for a, b in zip(by_id, onymix.names_for_ids(range(3000), mode)))
        assert onymix.name_for_id(7, mode) is by_id[7]
        value = b"the same bytes"
        assert onymix.pseudonym(value, mode) is onymix.pseudonyms([value], mode)[0]
    g = onymix.Generator("Any", 5)
    record, name = g.records(1)[0], next(onymix.Generator("Any", 5, start=1))
    assert record.name is record.first_name is onymix.names(1, "Any", 5)[0]
    assert name is onymix.names(2, "Any", 5)[1] is next(g)
    # Full names are new strs, whose parts are the shared ones in records.
    full = onymix.Generator(seed=8).records(2000)
    surname = {}
    assert all(surname.setdefault(r.surname, r.surname) is r.surname for r in full)
    assert full[0].name is not onymix.names(1, seed=8)[0]


def test_large_calls_of_one_part_names_are_the_names_one_at_a_time():
    # Calls of 65,536 names and more count their references apart.
    for mode in ("Female", "Male", "Any", "Surname"):
        g = onymix.Generator(mode, 11)
        assert onymix.names(70_000, mode, 11) == [next(g) for _ in range(70_000)]
        tail = range(69_000, 70_000)
        assert onymix.names_for_ids(range(70_000), mode)[69_000:] == [
            onymix.name_for_id(i, mode) for i in tail]


def test_shared_names_are_counted_once_per_list_item():
    # A name made into a list n times gains n references, and gives them
    # back with the list: a count off by one would free it under the cache.
    # Large calls count them by entry and add them at the end.
    name = onymix.names(1, "Surname", seed=1)[0]
    before = sys.getrefcount(name)
    made = (onymix.names(300_000, "Surname", seed=1) + onymix.names_for_ids(range(50_000), 4) +
            onymix.names_for_ids(range(100_000), "Surname") +
            onymix.Generator("Surname", 1).take(70_000))
    assert sys.getrefcount(name) == before + sum(item is name for item in made)
    del made
    assert sys.getrefcount(name) == before


def test_a_call_stopped_half_way_gives_back_its_references():
    name = onymix.names(1, "Surname", seed=1)[0]
    before = sys.getrefcount(name)

    class Stop(Exception):
        pass

    def stop(*_):
        signal.setitimer(signal.ITIMER_REAL, 0)
        if not stopped:  # only once, though another signal may be on its way
            stopped.append(True)
            raise Stop

    stopped = []

    # A signal every millisecond stops the call between two of its blocks.
    previous = signal.signal(signal.SIGALRM, stop)
    try:
        with pytest.raises(Stop):
            signal.setitimer(signal.ITIMER_REAL, 0.001, 0.001)
            onymix.names(4_000_000, "Surname", seed=1)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)
    assert sys.getrefcount(name) == before
