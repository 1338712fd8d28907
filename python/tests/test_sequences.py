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
    assert onymix.Generator(mode, seed).take(1000) == expected
    assert [name for _, name in zip(range(1000), onymix.Generator(mode, seed))] == expected
    # One generator drawn on by every kind of call keeps one sequence.
    g = onymix.Generator(onymix.MODES[mode], seed)
    mixed = [next(g)] + g.take(0) + g.take(499) + [r.name for r in g.records(500)]
    assert mixed == expected


@pytest.mark.parametrize("path", SEQUENCES, ids=lambda path: path.stem)
def test_unique_is_the_sequence_without_repeats(path):
    mode, seed, expected = golden(path)
    first_seen = list(dict.fromkeys(expected))
    assert onymix.names(len(first_seen), mode, seed, unique=True) == first_seen
    assert onymix.Generator(mode, seed, unique=True).take(len(first_seen)) == first_seen


def test_generate_at_each_second():
    lines = (GOLDEN / "generate.txt").read_text(encoding="ascii").splitlines()
    assert len(lines) == 63
    for line in lines:
        mode, second, name = line.split("\t")
        assert onymix.generate(int(mode), int(second)) == name, line
        assert onymix.generate(mode=onymix.MODES[int(mode)], second=int(second)) == name


def test_defaults_are_male_and_surname():
    assert onymix.generate(second=0) == onymix.generate("Male + Surname", 0) == "Emmitt Verhagen"
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
        for s in range(before, after + 1)
    )


@pytest.mark.parametrize("mode", range(7), ids=lambda mode: onymix.MODES[mode])
def test_records_match_the_text(mode):
    label = onymix.MODES[mode]
    records = onymix.Generator(mode, 43200).records(3000)
    assert [r.name for r in records] == onymix.names(3000, mode, 43200)
    lists = {"female": set(name_list("female")), "male": set(name_list("male"))}
    surnames = set(name_list("surnames"))
    for record in records:
        assert isinstance(record, onymix.Name) and len(record) == 4
        if label == "Surname":
            assert record == (record.name, None, record.name, None)
            continue
        assert record.sex in ("female", "male")
        if label in ("Female", "Female + Surname"):
            assert record.sex == "female"
        if label in ("Male", "Male + Surname"):
            assert record.sex == "male"
        assert record.first_name in lists[record.sex]
        if label.endswith("Surname"):
            assert record.surname in surnames
            assert record.name == f"{record.first_name} {record.surname}"
        else:
            assert record.surname is None and record.name == record.first_name
