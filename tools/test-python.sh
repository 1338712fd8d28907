#!/usr/bin/env bash
# Tests the Python package as a user gets it: builds the wheel from this
# checkout (which makes libonymix.a on the way), installs it into a fresh
# virtual environment of Debian's Python and runs pytest on the installed
# copy, from outside the source tree, so that a file missing from the wheel
# fails, then the check that names split over a Dask cluster are those of
# one process (python/tests/at_scale.py). Compiler warnings of the
# extension module are errors. Exits non-zero when anything fails. The test
# of lists made while other code meddles runs under every CPython 3.11+ it
# finds, the debug build with the module built for it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
python=/usr/bin/python3
tools/install-deps.sh python

work=$(mktemp -d "${TMPDIR:-/tmp}/onymix-python.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "== wheel"
CFLAGS="${CFLAGS:-} -Werror" "$python" -m pip wheel -q --no-build-isolation --no-deps \
    --no-index python/ -w "$work/dist"
ls "$work"/dist/onymix-*.whl

echo "== virtual environment"
"$python" -m venv --system-site-packages "$work/venv"
"$work/venv/bin/python" -m pip install -q --no-index --no-deps "$work"/dist/onymix-*.whl

# The same sources built against the headers of Debian's debug build, whose
# interpreter then counts the module's references too.
if [ -x /usr/bin/python3-dbg ]; then
    echo "== the extension built for the debug build"
    CFLAGS="${CFLAGS:-} -Werror" /usr/bin/python3-dbg -m pip wheel -q --no-build-isolation \
        --no-deps --no-index python/ -w "$work/debug"
    (cd "$work/debug" && python3 -m zipfile -e onymix-*.whl .)
    export ONYMIX_DEBUG_PACKAGE="$work/debug/onymix"
fi

echo "== pytest on the installed package"
cd "$work"
"$work/venv/bin/python" -m pytest -p no:cacheprovider "$root/python/tests"

echo "== names split over a Dask cluster's worker processes"
# A crash there prints the stacks of its threads.
"$work/venv/bin/python" -X faulthandler "$root/python/tests/at_scale.py"
