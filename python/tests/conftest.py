# conftest.py: where the tests find the repository's reference files, a
# guard that the package under test is an installed one, not this checkout,
# and the line that names the interpreters the meddling test runs under.
from pathlib import Path

import onymix

ROOT = Path(__file__).resolve().parents[2]
GOLDEN = ROOT / "tests" / "golden"
DATA = ROOT / "names" / "data"


def name_list(which):
    return (DATA / f"{which}.txt").read_text(encoding="ascii").split("\n")[:-1]


def pytest_report_header(config):
    from test_meddling import found_line

    return found_line()


def pytest_configure(config):
    package = Path(onymix.__file__).resolve().parent
    if package.is_relative_to(ROOT):
        raise RuntimeError(f"onymix comes from the source tree ({package}), not from a wheel")
