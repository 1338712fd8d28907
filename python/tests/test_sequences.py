# test_sequences.py: the names of every call against the golden files (the
# seeds of the day as onymix-cli 1.0.2 wrote them, seeds beyond a day, names
# far into a sequence and weighted sequences), and the parts of records
# against the text.
import time

import onymix
import pytest
from conftest import GOLDEN, name_list

SEQUENCES = sorted(p for p in GOLDEN.glob("sequence-*-*.txt") if "-from-" not in p.name)
SEEKS = sorted(GOLDEN.glob("sequence-*-*-from-*.txt"))
WEIGHTED = sorted(GOLDEN.glob("weighted-*-*.txt"))  # 28: every mode at four seeds and starts


def golden(path):
    """<kind>-<mode>-<seed>[-from-<start>].txt: mode, seed, start and names."""
    mode, seed, *start = path.stem.split("-")[1:]
    names = path.read_text(encoding="ascii").splitlines()
    return int(mode), int(seed), int(start[1]) if start else 0, names


def test_every_mode_has_golden_files():
    for paths in (SEQUENCES, SEEKS):
        assert {golden(path)[0] for path in paths} == set(range(len(onymix.MODES)))
    assert {golden(path)[1] for path in SEQUENCES} >= {86399, 86400, 2**64 - 1}
    assert {golden(path)[2] for path in SEEKS} >= {2**63}


@pytest.mark.parametrize("path", SEQUENCES, ids=lambda path: path.stem)
def test_sequence(path):
    mode, seed, _, expected = golden(path)
    assert len(expected) == 1000
    assert onymix.names(1000, mode, seed) == expected
    assert onymix.names(1000, onymix.MODES[mode].swapcase(), seed=seed) == expected
    assert list(zip(range(1000), onymix.Generator(mode, seed))) == list(enumerate(expected))
    # One generator drawn on by every kind of call keeps one sequence.
    g = onymix.Generator(onymix.MODES[mode], seed)
    assert [next(g)] + g.take(0) + g.take(499) + [r.name for r in g.records(500)] == expected
    # Unique output is the same sequence with every repeat left out.
    first_seen = list(dict.fromkeys(expected))
    assert onymix.names(len(first_seen), mode, seed, unique=True) == first_seen
    assert onymix.Generator(mode, seed, unique=True).take(len(first_seen)) == first_seen
    # Any name of the sequence is reached at once.
    assert onymix.names(3, mode, seed, start=997) == expected[997:]
    assert onymix.Generator(mode, seed, start=500).take(500) == expected[500:]


@pytest.mark.parametrize("path", SEEKS, ids=lambda path: path.stem)
def test_names_far_into_a_sequence(path):
    mode, seed, start, expected = golden(path)
    assert onymix.names(1000, mode, seed, start=start) == expected
    g = onymix.Generator(onymix.MODES[mode], seed=seed, start=start)
    assert [next(g)] + g.take(599) + [r.name for r in g.records(400)] == expected
    assert onymix.Generator(mode, seed, start=start + 990).take(10) == expected[990:]


@pytest.mark.parametrize("path", WEIGHTED, ids=lambda path: path.stem)
def test_weighted_sequence(path):
    mode, seed, start, expected = golden(path)
    assert len(expected) == 1000
    assert onymix.names(1000, mode, seed, start=start, weighted=True) == expected
    g = onymix.Generator(onymix.MODES[mode], seed, start=start, weighted=True)
    assert [next(g)] + g.take(599) + [r.name for r in g.records(400)] == expected
    # Seeking works as in the even sequence.
    assert onymix.Generator(mode, seed, start=start + 500, weighted=True).take(500) == \
        expected[500:]


def test_weighted_does_not_go_with_unique():
    message = "weighted does not go with unique"
    with pytest.raises(ValueError, match=message):
        onymix.names(1, "Surname", 1, unique=True, weighted=True)
    with pytest.raises(ValueError, match=message):
        onymix.Generator("Male", None, True, weighted=1)
    # Each on its own, and weighted from the clock.
    assert len(onymix.names(5, "Male", 1, unique=True, weighted=False)) == 5
    assert len(onymix.Generator("Female", weighted=True).take(5)) == 5
    assert repr(onymix.Generator("Male", 2, start=3, weighted=True)) == \
        "onymix.Generator(mode='Male', seed=2, unique=False, start=3, weighted=True)"


def test_generate_at_each_second():
    lines = [line.split("\t") for line in (GOLDEN / "generate.txt").read_text().splitlines()]
    assert len(lines) == 63
    assert [onymix.generate(int(m), int(s)) for m, s, _ in lines] == [n for _, _, n in lines]
    assert onymix.generate(second=0) == onymix.generate("Male + Surname", 0) == "Emmitt Verhagen"


def test_default_mode_is_male_and_surname():
    assert onymix.names(50, seed=9) == onymix.names(50, "Male + Surname", 9)
    assert onymix.Generator(seed=9).take(50) == onymix.names(50, seed=9)


def test_no_seed_means_the_seconds_of_uptime():
    before = int(time.monotonic())
    now = [onymix.generate(5), onymix.names(20, 6), onymix.Generator(1).take(20)]
    after = int(time.monotonic()) + 1
    if after > 86399:
        pytest.skip("uptime past a day: no fixed second gives the same names")
    assert any(
        now == [onymix.generate(5, s), onymix.names(20, 6, s), onymix.Generator(1, s).take(20)]
        for s in range(before, after + 1))


@pytest.mark.parametrize("label", onymix.MODES)
def test_records_match_the_text(label):
    records = onymix.Generator(label, 43200).records(3000)
    assert [r.name for r in records] == onymix.names(3000, label, 43200)
    lists = {"female": set(name_list("female")), "male": set(name_list("male")), None: {None}}
    surnames = set(name_list("surnames")) if "Surname" in label else {None}
    sexes = {"Female": {"female"}, "Male": {"male"}, "Any": {"female", "male"}}.get(
        label.split()[0], {None})
    for r in records:
        assert type(r) is onymix.Name and r.sex in sexes
        assert r.first_name in lists[r.sex] and r.surname in surnames
        assert r.name == " ".join(part for part in (r.first_name, r.surname) if part)
