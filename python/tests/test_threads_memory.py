# test_threads_memory.py: the bulk calls run without the GIL, so threads
# with generators of their own must still get exactly their own sequences,
# one generator shared by threads must hand out each name once, threads
# making names by id and pseudonyms at once must get the names made alone,
# and many names made and dropped must leave the process's memory where it
# was.
import array
import faulthandler
import gc
import os
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor

import onymix


def run_together(work, threads):
    start = threading.Barrier(threads)

    def run(i):
        start.wait()
        return work(i)

    with ThreadPoolExecutor(threads) as pool:
        return list(pool.map(run, range(threads)))


def test_own_generators_keep_their_sequences():
    seeds = (0, 43200)

    def work(i):
        g, taken = onymix.Generator("Any + Surname", seeds[i]), []
        while len(taken) < 200_000:
            taken += g.take(7_919)
        return (onymix.names(200_000, "Any + Surname", seeds[i]), taken[:200_000],
                onymix.Generator(5, seeds[i]).records(20_000))

    for seed, results in zip(seeds, run_together(work, 2)):
        expected = onymix.names(200_000, "Any + Surname", seed)
        assert results == (expected, expected, onymix.Generator(5, seed).records(20_000))


def test_names_by_id_and_pseudonyms_in_threads_at_once():
    # Every thread also makes objects of the shared table for the first time.
    ids = array.array("Q", range(10**18, 10**18 + 150_000, 3))
    values = [f"customer-{i}".encode() for i in range(60_000)]
    key = bytes(range(16))

    def work(i):
        mode = ("Surname", "Any", "Female + Surname")[i]
        return (onymix.names_for_ids(ids, mode, key), onymix.names_for_ids(range(i, 90_000 + i)),
                onymix.pseudonyms(values, mode, key))

    for i, results in enumerate(run_together(work, 3)):
        mode = ("Surname", "Any", "Female + Surname")[i]
        assert results == (onymix.names_for_ids(list(ids), mode, key),
                           [onymix.name_for_id(j) for j in range(i, 90_000 + i)],
                           [onymix.pseudonym(v, mode, key) for v in values])


def test_shared_generator_hands_out_each_name_once():
    g = onymix.Generator("Female + Surname", 17, unique=True)
    expected = onymix.names(4 * 25 * 4_101, "Female + Surname", 17, unique=True)
    position = {name: i for i, name in enumerate(expected)}

    def work(_):
        calls, one_by_one = [], []
        for _ in range(25):
            calls.append(g.take(3_001))
            one_by_one += [next(g) for _ in range(100)]
            calls.append([record.name for record in g.records(1_000)])
        return calls, one_by_one

    made = []
    for calls, one_by_one in run_together(work, 4):
        for call in calls:  # each call draws alone: one stretch of the sequence
            assert call == expected[position[call[0]]:position[call[0]] + len(call)]
            made += call
        made += one_by_one
    assert sorted(made) == sorted(expected)


def test_drawing_again_from_inside_a_draw_is_an_error():
    # A finalizer run by the collector while records() makes its tuples
    # comes back to the generator in the same thread, which holds its lock.
    g, errors = onymix.Generator(seed=4), []

    class Garbage:
        def __del__(self):
            try:
                next(g)
            except RuntimeError as error:
                errors.append(str(error))

    gc.collect()
    garbage = Garbage()
    garbage.cycle = garbage
    del garbage
    faulthandler.dump_traceback_later(120, exit=True)  # a deadlock ends the run
    try:
        records = g.records(100_000)
    finally:
        faulthandler.cancel_dump_traceback_later()
    assert errors == ["this Generator is already drawing in this thread"]
    assert [r.name for r in records] + g.take(5) == onymix.names(100_005, seed=4)


def test_other_threads_run_while_names_are_drawn():
    # With a switch interval this long, this thread keeps the GIL unless a
    # call gives it up; the ticker gives it back after every tick.
    ticks, stop, interval = [0], threading.Event(), sys.getswitchinterval()

    def tick():
        while not stop.is_set():
            ticks[0] += 1
            time.sleep(0)

    ticker = threading.Thread(target=tick)
    sys.setswitchinterval(1000)
    try:
        ticker.start()
        before = ticks[0]
        onymix.names(1_000_000)
        during = ticks[0] - before
    finally:
        stop.set()
        sys.setswitchinterval(interval)
        ticker.join()
    assert during > 0


def test_names_made_and_dropped_leave_memory_flat():
    def resident_bytes():
        with open("/proc/self/statm") as statm:
            return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")

    sizes = []
    for _ in range(8):
        onymix.names(1_000_000)
        onymix.Generator(seed=1).take(500_000)
        onymix.Generator("Any + Surname").records(200_000)
        for _ in zip(range(200_000), onymix.Generator(unique=True)):
            pass
        onymix.names(50_000, "Surname", unique=True)
        for _ in range(50_000):
            onymix.Generator("Male", unique=True)
        # Every form of ids and values, the buffers held while the names are
        # made, and calls refused half way.
        onymix.names_for_ids(range(2**63, 2**63 + 300_000))
        onymix.names_for_ids(array.array("q", range(200_000)), "Surname")
        onymix.names_for_ids(iter(range(100_000)), key=bytearray(16))
        values = [b"%039d" % i for i in range(100_000)]
        onymix.pseudonyms(values[0::4] + [bytearray(v) for v in values[1::4]] +
                          [memoryview(v) for v in values[2::4]] +
                          [v.decode() for v in values[3::4]], key=bytes(16))
        del values
        for i in range(20_000):
            onymix.name_for_id(i, 4, key=memoryview(bytes(16)))
            onymix.pseudonym(str(i), key=bytes(16))
            onymix.Generator(start=i)
        for bad in ([1] * 5000 + [-1], [b"ok"] * 5000 + [None]):
            try:
                (onymix.names_for_ids if bad[0] == 1 else onymix.pseudonyms)(bad)
            except (TypeError, ValueError):
                pass
            else:
                raise AssertionError("a bad id or value was taken")
        gc.collect()
        sizes.append(resident_bytes())
    # A leaked name or generator per call would grow it by tens of MB a round.
    assert sizes[-1] - sizes[1] < 8 * 2**20, [size // 2**20 for size in sizes]
