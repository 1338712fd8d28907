#!/usr/bin/env python3
"""python_bench.py: names per second of the onymix package against a loop of
random.choice over the census lists in plain Python and against Faker's
name(), measured in one run.

Each way makes a million names and keeps them in a list. The ways take turns,
several rounds, and the best round of each counts, so that a busy moment of
the machine hurts none of them more than another. Faker is timed on a
sample and scaled. The rates and ratios are of wall-clock time; the rate of
the process's CPU time is printed beside them, as on a shared machine the
two differ. The list of each round is dropped outside the timed part.

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

    # What one would write by hand for the same full names (Male + Surname).
    male, surnames = read_list("male"), read_list("surnames")

    def by_hand(n):
        choice = random.choice
        return [f"{choice(male)} {choice(surnames)}" for _ in range(n)]

    fake = Faker()

    def faker(n):
        return [fake.name() for _ in range(n)]

    ways = [
        ("onymix.names(n)", count, lambda n: onymix.names(n)),
        ("onymix.Generator().take(n)", count, lambda n: onymix.Generator().take(n)),
        ("iterating onymix.Generator()", count,
         lambda n: list(itertools.islice(onymix.Generator(), n))),
        ("onymix.Generator().records(n)", count, lambda n: onymix.Generator().records(n)),
        ("random.choice loop", count, by_hand),
        ("Faker().name()", args.faker_sample, faker),
    ]
    best = {label: float("inf") for label, _, _ in ways}
    best_cpu = dict(best)
    for _ in range(args.rounds):
        for label, n, make in ways:
            start, start_cpu = time.perf_counter(), time.process_time()
            made = make(n)
            seconds, cpu = time.perf_counter() - start, time.process_time() - start_cpu
            assert len(made) == n
            del made
            best[label] = min(best[label], seconds / n)
            best_cpu[label] = min(best_cpu[label], cpu / n)

    loop, peer = best["random.choice loop"], best["Faker().name()"]
    print(f"onymix {onymix.__version__}, {count:,} names a way, best of {args.rounds} rounds "
          f"(Faker: a sample of {args.faker_sample:,}, scaled)")
    print(f"{'':32} {'names/s':>12} {'x loop':>8} {'x Faker':>8} {'CPU names/s':>12}")
    for label, _, _ in ways:
        print(f"{label:32} {1 / best[label]:12,.0f} {loop / best[label]:8.2f} "
              f"{peer / best[label]:8.1f} {1 / best_cpu[label]:12,.0f}")


if __name__ == "__main__":
    main()
