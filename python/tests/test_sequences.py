# test_sequences.py: the names of every call against the golden files that
# onymix-cli 1.0.2 wrote, and the parts of records against the text.
import time

import onymix
import pytest
from conftest import GOLDEN, name_list

SEQUENCES = sorted(GOLDEN.glob("sequence-*-*.txt"))


def golden(path):
    mode, seed = (int(part) for part in path.stem.split("-")[1:])
    return mode, seed, path.read_text(encoding="ascii").splitlines()


def test_every_mode_has_golden_files():
    assert {golden(path)[0] for path in SEQUENCES} == set(range(len(onymix.MODES)))


@pytest.mark.parametrize("path", SEQUENCES, ids=lambda path: path.stem)
def test_sequence(path):
    mode, seed, expected = golden(path)
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
