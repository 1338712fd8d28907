# test_meddling.py: runs meddling.py, the package's large calls beside other
# threads and signal handlers that clear or cut every list of names they can
# reach, under each CPython 3.11 or later found here: this one, Debian's
# debug build (which counts every reference) and those under pyenv. Each in a
# process of its own, so that a crash is a failure. Under the debug build it
# runs the package that ONYMIX_DEBUG_PACKAGE names, the same sources built
# against the debug build's headers (tools/test-python.sh makes it), whose
# references the interpreter counts; else the installed one.
import glob
import os
import shutil
import subprocess
import sys
from pathlib import Path

import onymix
import pytest

HERE = Path(__file__).resolve().parent


def interpreters():
    found = {f"this one ({sys.version.split()[0]})": sys.executable}
    for debug in ("/usr/bin/python3-dbg", "/usr/bin/python3.11-dbg"):
        if os.path.exists(debug):
            found["Debian's debug build"] = debug
            break
    for python in sorted(glob.glob(os.path.expanduser("~/.pyenv/versions/3.*/bin/python3"))):
        version = Path(python).parents[1].name
        if tuple(map(int, version.split(".")[:2])) >= (3, 11):
            found[f"pyenv {version}"] = python
    return found


FOUND = interpreters()


def found_line():
    """The line of pytest's header that names the interpreters found."""
    return (f"meddling.py runs under: {', '.join(FOUND)}" +
            ("" if any(k.startswith("pyenv") for k in FOUND) else "; no pyenv CPython found") +
            ("" if "Debian's debug build" in FOUND else "; no python3-dbg found"))


@pytest.mark.parametrize("which", list(FOUND))
def test_lists_are_never_reached_half_made(which, tmp_path):
    # The installed package, alone on the path of an interpreter that has
    # no environment of its own.
    package = Path(onymix.__file__).resolve().parent
    if which == "Debian's debug build" and os.environ.get("ONYMIX_DEBUG_PACKAGE"):
        package = Path(os.environ["ONYMIX_DEBUG_PACKAGE"])
    shutil.copytree(package, tmp_path / "onymix")
    environment = dict(os.environ, PYTHONPATH=str(tmp_path), PYTHONFAULTHANDLER="1")
    run = subprocess.run([FOUND[which], str(HERE / "meddling.py")], env=environment,
                         capture_output=True, text=True, timeout=600)
    print(run.stdout, run.stderr)
    assert run.returncode == 0, f"{which}: exit {run.returncode}\n{run.stdout}\n{run.stderr[-3000:]}"
