"""meddling.py: the package's large calls, while other code does its worst to
the lists they make. Run as a program by test_meddling.py, once per
interpreter, in a process of its own, so that a crash is a failure.

One thread makes large lists of one-part names, full names and records
(names, names_for_ids, pseudonyms, mask_full_names, Generator.take and
records), while a second thread walks gc.get_objects() and clears or cuts
every list it finds that holds the package's names, and a SIGALRM handler
does the same to the youngest objects every millisecond. Other code may
meddle with a list once it is returned, so some lists come back short; but
none may be reached while it is being made. It then checks that every list
was whole when other code first found it (a list found half made would crash
the interpreter), that every one holds names and nothing else, that the
reference counts of the name table's strings are what they were and, under a
debug build, that the interpreter holds no more references in all than
before. Exits 0 when all holds, 1 with what did not.
"""
import gc
import signal
import sys
import threading
import time

import onymix

ROUNDS = int(sys.argv[1]) if len(sys.argv) > 1 else 3
KEY = bytes(range(16))


def table_strings():
    # A one-part name is the table's own str, so these are every entry's.
    return (onymix.names(4275, "Female", 1, unique=True) +
            onymix.names(1219, "Male", 1, unique=True) +
            onymix.names(56342, "Surname", 1, unique=True))


TABLE = table_strings()
KNOWN = {id(text) for text in TABLE}
# Full names to mask, whose maskings are full names of the table; made
# before anything meddles, and never meddled with.
PEOPLE = [f"{TABLE[i % 5494]} {TABLE[5494 + i * 7 % 56342]}" for i in range(300_000)]


def ours(thing):
    """A list made by the package: its first item a table str, a full name
    or a Name."""
    if type(thing) is not list or not thing or thing is TABLE or thing is PEOPLE:
        return False
    first = thing[0]
    return id(first) in KNOWN or type(first) is onymix.Name or (
        type(first) is str and " " in first and first.split(" ")[-1] in NAMES)


NAMES = set(TABLE)
meddled = [0]
# The length of each list of ours when other code first found it. A list
# found half made would crash the interpreter, or be shorter than asked for.
first_seen = {}


def meddle(objects):
    for thing in objects:
        if ours(thing):
            first_seen.setdefault(id(thing), len(thing))
            if meddled[0] % 2:
                thing.clear()
            else:
                del thing[len(thing) // 2:]
            meddled[0] += 1


def on_alarm(signum, frame):
    meddle(gc.get_objects(generation=0))


def walker(stop):
    while not stop.is_set():
        meddle(gc.get_objects())
        time.sleep(0.005)


def calls():
    values = [f"customer {i}" for i in range(150_000)]
    yield "names Surname", 2_000_000, lambda: onymix.names(2_000_000, "Surname", 3)
    yield "names Male", 300_000, lambda: onymix.names(300_000, "Male", 4)
    yield "names Any", 300_000, lambda: onymix.names(300_000, "Any", 5)
    yield "names full", 300_000, lambda: onymix.names(300_000, "Any + Surname", 6)
    yield "names weighted", 300_000, lambda: onymix.names(300_000, "Any + Surname", 6,
                                                          weighted=True)
    yield "ids Surname", 1_000_000, lambda: onymix.names_for_ids(range(1_000_000), "Surname")
    yield "ids Female", 200_000, lambda: onymix.names_for_ids(list(range(200_000)), "Female", KEY)
    yield "ids full", 300_000, lambda: onymix.names_for_ids(range(300_000))
    yield "pseudonyms", 150_000, lambda: onymix.pseudonyms(values, "Surname", KEY)
    yield "pseudonyms full", 150_000, lambda: onymix.pseudonyms(values, key=KEY)
    yield "mask full", 300_000, lambda: onymix.mask_full_names(PEOPLE, key=KEY)
    yield "take", 500_000, lambda: onymix.Generator("Male", 7).take(500_000)
    yield "take full", 200_000, lambda: onymix.Generator(seed=8).take(200_000)
    yield "records", 100_000, lambda: onymix.Generator("Female + Surname", 9).records(100_000)


def reference_counts():
    # One way both times, so that the references it holds itself are alike.
    return [sys.getrefcount(TABLE[i]) for i in range(len(TABLE))]


def main():
    failures = []
    counts = reference_counts()
    total = sys.gettotalrefcount() if hasattr(sys, "gettotalrefcount") else None

    stop = threading.Event()
    thread = threading.Thread(target=walker, args=(stop,))
    thread.start()
    signal.signal(signal.SIGALRM, on_alarm)
    signal.setitimer(signal.ITIMER_REAL, 0.001, 0.001)
    whole = made = found_whole = 0
    try:
        for _ in range(ROUNDS):
            for what, count, call in calls():
                first_seen.clear()
                names = call()
                made += 1
                # Other code may have emptied or cut the list once it came
                # back, but must have found it whole.
                found = first_seen.get(id(names), count)
                found_whole += id(names) in first_seen
                if found == count and len(names) in {count >> k for k in range(64)}:
                    whole += 1
                else:
                    failures.append(f"{what}: {len(names)} names, first found with {found}, "
                                    f"not {count}")
                if not all(type(n) is onymix.Name or type(n) is str for n in names):
                    failures.append(f"{what}: an item that is not a name")
                del names
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0, 0)
        stop.set()
        thread.join()
    if meddled[0] == 0:
        failures.append("nothing was meddled with: the test tested nothing")

    gc.collect()
    changed = [(TABLE[i], before, after)
               for i, (before, after) in enumerate(zip(counts, reference_counts())) if before != after]
    if changed:
        failures.append(f"{len(changed)} table strings' reference counts changed, "
                        f"such as {changed[:3]}")
    if total is not None:
        gained = sys.gettotalrefcount() - total
        print(f"references in all: {gained:+}")
        if gained > 1000:
            failures.append(f"{gained} references more in all than before: a leak")
    print(f"{sys.version.split()[0]}: {made} lists, {whole} whole, {meddled[0]} meddled with, "
          f"{found_whole} found by other code")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
