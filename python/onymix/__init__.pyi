# __init__.pyi: the types of the onymix package, whose functions live in
# the extension module onymix._onymix.
from collections.abc import Iterable, Iterator
from typing import Final, NamedTuple, TypeVar, overload

# bytes, bytearray, memoryview, array.array, numpy arrays: anything with the
# buffer protocol (typeshed's name, known to type checkers only).
from _typeshed import ReadableBuffer

__all__ = [
    "MODES",
    "Generator",
    "Name",
    "__version__",
    "generate",
    "mask_first_name",
    "mask_first_names",
    "mask_full_name",
    "mask_full_names",
    "mask_surname",
    "mask_surnames",
    "name_for_id",
    "names",
    "names_for_ids",
    "pseudonym",
    "pseudonyms",
]

__version__: Final[str]
MODES: Final[tuple[str, str, str, str, str, str, str]]

class Name(NamedTuple):
    name: str
    first_name: str | None
    surname: str | None
    sex: str | None

def generate(mode: str | int = "Male + Surname", second: int | None = None) -> str: ...
def names(
    count: int,
    mode: str | int = "Male + Surname",
    seed: int | None = None,
    unique: bool = False,
    start: int = 0,
    weighted: bool = False,
) -> list[str]: ...
def name_for_id(
    id: int, mode: str | int = "Any + Surname", key: ReadableBuffer | None = None
) -> str: ...
def names_for_ids(
    ids: range | Iterable[int] | ReadableBuffer,
    mode: str | int = "Any + Surname",
    key: ReadableBuffer | None = None,
) -> list[str]: ...
def pseudonym(
    value: str | ReadableBuffer,
    mode: str | int = "Any + Surname",
    key: ReadableBuffer | None = None,
) -> str: ...
def pseudonyms(
    values: Iterable[str | ReadableBuffer],
    mode: str | int = "Any + Surname",
    key: ReadableBuffer | None = None,
) -> list[str]: ...

# A masking of a str is a str, of a bytes-like object bytes; in the bulk
# calls None, NaN and pandas.NA (any other object too, for the types) stay.
_Missing = TypeVar("_Missing")

@overload
def mask_first_name(value: str, *, key: ReadableBuffer) -> str: ...
@overload
def mask_first_name(value: ReadableBuffer, *, key: ReadableBuffer) -> bytes: ...
@overload
def mask_surname(value: str, *, key: ReadableBuffer) -> str: ...
@overload
def mask_surname(value: ReadableBuffer, *, key: ReadableBuffer) -> bytes: ...
@overload
def mask_full_name(value: str, *, key: ReadableBuffer) -> str: ...
@overload
def mask_full_name(value: ReadableBuffer, *, key: ReadableBuffer) -> bytes: ...
@overload
def mask_first_names(values: Iterable[str], *, key: ReadableBuffer) -> list[str]: ...
@overload
def mask_first_names(
    values: Iterable[str | ReadableBuffer | _Missing], *, key: ReadableBuffer
) -> list[str | bytes | _Missing]: ...
@overload
def mask_surnames(values: Iterable[str], *, key: ReadableBuffer) -> list[str]: ...
@overload
def mask_surnames(
    values: Iterable[str | ReadableBuffer | _Missing], *, key: ReadableBuffer
) -> list[str | bytes | _Missing]: ...
@overload
def mask_full_names(values: Iterable[str], *, key: ReadableBuffer) -> list[str]: ...
@overload
def mask_full_names(
    values: Iterable[str | ReadableBuffer | _Missing], *, key: ReadableBuffer
) -> list[str | bytes | _Missing]: ...

class Generator(Iterator[str]):
    def __new__(
        cls,
        mode: str | int = "Male + Surname",
        seed: int | None = None,
        unique: bool = False,
        start: int = 0,
        weighted: bool = False,
    ) -> Generator: ...
    def __next__(self) -> str: ...
    def __iter__(self) -> Generator: ...
    def take(self, count: int, /) -> list[str]: ...
    def records(self, count: int, /) -> list[Name]: ...
