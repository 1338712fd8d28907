# __init__.pyi: the types of the onymix package, whose functions live in
# the extension module onymix._onymix.
from collections.abc import Iterator
from typing import Final, NamedTuple

__all__ = ["MODES", "Generator", "Name", "__version__", "generate", "names"]

__version__: Final[str]
MODES: Final[tuple[str, str, str, str, str, str, str]]

class Name(NamedTuple):
    name: str
    first_name: str | None
    surname: str | None
    sex: str | None

def generate(mode: str | int = "Male + Surname", second: int | None = None) -> str: ...
def names(
    count: int, mode: str | int = "Male + Surname", seed: int | None = None, unique: bool = False
) -> list[str]: ...

class Generator(Iterator[str]):
    def __new__(
        cls, mode: str | int = "Male + Surname", seed: int | None = None, unique: bool = False
    ) -> Generator: ...
    def __next__(self) -> str: ...
    def __iter__(self) -> Generator: ...
    def take(self, count: int, /) -> list[str]: ...
    def records(self, count: int, /) -> list[Name]: ...
