"""at_scale.py: names split over the worker processes of a Dask cluster are
exactly the names of one process. Run as a program (a LocalCluster starts
its workers by importing this file again, so the work waits under
__main__); tools/test-python.sh runs it with the installed package.

1. names_for_ids of 2,000,000 ids made by the workers themselves, 16 parts
   of (first id, count), gives the names of one process, all different
   (Male + Surname has 68,680,898 names, so 2,000,000 consecutive ids lie in
   one block).
2. A sequence of 1,000,000 names cut into parts that each start where the
   last ended (start=) and joined gives names(1_000_000, seed=...).
"""
import logging
import os
import sys

import dask.bag as bag
import onymix
from dask.distributed import Client, LocalCluster

IDS = 2_000_000
NAMES = 1_000_000
SEED = 2**40 + 7
MODE = "Male + Surname"


def names_of_ids(part):
    first, count = part
    return onymix.names_for_ids(range(first, first + count), mode=MODE)


def part_of_sequence(part):
    start, count = part
    return onymix.names(count, mode=MODE, seed=SEED, start=start)


def main():
    failures = []

    def check(holds, what):
        print(("ok    " if holds else "FAIL  ") + what)
        if not holds:
            failures.append(what)

    # The workers' notes on their garbage collections are no news here.
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                      silence_logs=logging.ERROR) as cluster, Client(cluster) as client:
        workers = set(client.run(os.getpid).values())
        check(len(workers) == 2 and os.getpid() not in workers,
              f"two worker processes apart from this one ({sorted(workers)})")

        size = IDS // 16
        ids = bag.from_sequence([(first, size) for first in range(0, IDS, size)], npartitions=16)
        split = ids.map(names_of_ids).flatten().compute()
        whole = onymix.names_for_ids(range(IDS), mode=MODE)
        check(split == whole, f"{IDS:,} ids in 16 parts made by the workers: the names of one process")
        check(len(set(split)) == IDS, f"{IDS:,} ids: {len(set(split)):,} different names")

        size = NAMES // 7 + 1
        parts = [(start, min(size, NAMES - start)) for start in range(0, NAMES, size)]
        joined = bag.from_sequence(parts, npartitions=len(parts)).map(part_of_sequence).compute()
        joined = [name for names in joined for name in names]
        check(joined == onymix.names(NAMES, mode=MODE, seed=SEED),
              f"a sequence of {NAMES:,} in {len(parts)} parts from start=: the whole sequence")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
