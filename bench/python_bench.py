#!/usr/bin/env python3
"""python_bench.py: names per second of the onymix package against a loop of
random.choice over the census lists in plain Python, against str.split of the
same names and against Faker's name(), measured in one run.

Each way makes a million names and keeps them in a list: full names (Male +
Surname; names by id and pseudonyms in their default, Any + Surname) and
surnames alone, which onymix hands out as one str object per name of the
table. Each is set beside the random.choice loop of its kind ("x loop"), and
full names beside the split of the same names joined by LF ("x split"),
about the least that a list of a million new strings takes in Python.
Weighted names (names drawn as often as the census found them) are set
beside the even names of the same call at the end: the rate of weighted as
a share of the even one. The ways take turns, several rounds, and the best round of each counts, so that
a busy moment of the machine hurts none of them more than another. Faker is
timed on a sample and scaled. The rates and ratios are of wall-clock time;
the rate of the process's CPU time is printed beside them, as on a shared
machine the two differ. The list of each round is dropped outside the timed
part.

Run with an interpreter that has onymix installed and can import Faker
(Debian's python3-fake-factory), e.g. a virtual environment made with
--system-site-packages:

    python bench/python_bench.py [--rounds N] [--count N]
"""
import argparse
import itertools
import random
import time
from pathlib import Path

import onymix
from faker import Faker

DATA = Path(__file__).resolve().parent.parent / "names" / "data"


def read_list(name):
    return (DATA / f"{name}.txt").read_text(encoding="ascii").split()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--count", type=int, default=1_000_000)
    parser.add_argument("--faker-sample", type=int, default=20_000)
    args = parser.parse_args()
    count = args.count

    # What one would write by hand for the same full names (Male + Surname),
    # and for surnames.
    male, surnames = read_list("male"), read_list("surnames")

    def by_hand(n):
        choice = random.choice
        return [f"{choice(male)} {choice(surnames)}" for _ in range(n)]

    def surnames_by_hand(n):
        choice = random.choice
        return [choice(surnames) for _ in range(n)]

    # The same full names as one text, and values to mask.
    joined = "\n".join(onymix.names(count, seed=1))
    emails = [f"customer{i}@example.com" for i in range(count)]
    key = bytes(range(16))

    fake = Faker()

    def faker(n):
        return [fake.name() for _ in range(n)]

    # (label, count, make, kind): kind "full" or "surname", for the loop a way
    # is set beside.
    ways = [
        ("onymix.names(n)", count, lambda n: onymix.names(n), "full"),
        ("onymix.names(n, weighted=True)", count, lambda n: onymix.names(n, weighted=True),
         "full"),
        ("onymix.Generator().take(n)", count, lambda n: onymix.Generator().take(n), "full"),
        ("iterating onymix.Generator()", count,
         lambda n: list(itertools.islice(onymix.Generator(), n)), "full"),
        ("onymix.Generator().records(n)", count, lambda n: onymix.Generator().records(n),
         "full"),
        ("onymix.names_for_ids(range(n))", count,
         lambda n: onymix.names_for_ids(range(n), key=key), "full"),
        ("onymix.pseudonyms(emails)", count,
         lambda n: onymix.pseudonyms(emails[:n], key=key), "full"),
        ("str.split of the names", count, lambda n: joined.split("\n"), "full"),
        ("random.choice loop", count, by_hand, "full"),
        ("onymix.names(n, 'Surname')", count, lambda n: onymix.names(n, "Surname"), "surname"),
        ("names(n, 'Surname', weighted=True)", count,
         lambda n: onymix.names(n, "Surname", weighted=True), "surname"),
        ("onymix.Generator('Surname').take(n)", count,
         lambda n: onymix.Generator("Surname").take(n), "surname"),
        ("names_for_ids(range(n), 'Surname')", count,
         lambda n: onymix.names_for_ids(range(n), "Surname", key), "surname"),
        ("random.choice loop of surnames", count, surnames_by_hand, "surname"),
        ("Faker().name()", args.faker_sample, faker, "full"),
    ]
    best = {label: float("inf") for label, _, _, _ in ways}
    best_cpu = dict(best)
    for _ in range(args.rounds):
        for label, n, make, _ in ways:
            start, start_cpu = time.perf_counter(), time.process_time()
            made = make(n)
            seconds, cpu = time.perf_counter() - start, time.process_time() - start_cpu
            assert len(made) == n
            del made
            best[label] = min(best[label], seconds / n)
            best_cpu[label] = min(best_cpu[label], cpu / n)

    loops = {"full": best["random.choice loop"],
             "surname": best["random.choice loop of surnames"]}
    split, peer = best["str.split of the names"], best["Faker().name()"]
    print(f"onymix {onymix.__version__}, {count:,} names a way, best of {args.rounds} rounds "
          f"(Faker: a sample of {args.faker_sample:,}, scaled)")
    print(f"{'':38} {'names/s':>12} {'x loop':>8} {'x split':>8} {'x Faker':>8} "
          f"{'CPU names/s':>12}")
    for label, _, _, kind in ways:
        versus_split = f"{split / best[label]:8.2f}" if kind == "full" else f"{'':8}"
        print(f"{label:38} {1 / best[label]:12,.0f} {loops[kind] / best[label]:8.2f} "
              f"{versus_split} {peer / best[label]:8.1f} {1 / best_cpu[label]:12,.0f}")
    for even, weighted in (("onymix.names(n)", "onymix.names(n, weighted=True)"),
                           ("onymix.names(n, 'Surname')", "names(n, 'Surname', weighted=True)")):
        print(f"{weighted}: {best[even] / best[weighted]:.2f} times the rate of {even}")


if __name__ == "__main__":
    main()
