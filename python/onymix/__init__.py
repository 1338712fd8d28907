"""Onymix: person names from the 1990 US Census lists.

The generator of the Onymix program and of onymix-cli, as a module: the same
mode and seed give the same names here as there, in every version.

    generate(mode, second)                  what one Generate shows at that second
    names(count, mode, seed, unique, start, what onymix-cli --count prints;
          weighted)                         weighted: names as often as the
                                            1990 census found them
    Generator(mode, seed, unique, start,    an iterator of names, with take() and
              weighted)                     records() for many at once
    name_for_id(id, mode, key)              the name of an id, a number from 0 to
    names_for_ids(ids, mode, key)           2**64 - 1, under a 16-byte key
    pseudonym(value, mode, key)             the name a str or bytes stands for
    pseudonyms(values, mode, key)
    mask_first_name(value, key=key)         a real name masked under a secret
    mask_surname(value, key=key)            16-byte key: the same name always
    mask_full_name(value, key=key)          gives the same invented one
    mask_first_names(values, key=key)       the same for an iterable of values
    mask_surnames(values, key=key)          (a pandas Series too); None, NaN
    mask_full_names(values, key=key)        and pandas.NA stay as they are
    Name                                    a name in parts, from records()
    MODES                                   the mode labels, in mode order

A mode is one of the labels of MODES, in any case, or its index in MODES.
A masking of a str is a str, of a bytes-like object bytes.
"""

from ._onymix import (
    MODES,
    Generator,
    Name,
    __version__,
    generate,
    mask_first_name,
    mask_first_names,
    mask_full_name,
    mask_full_names,
    mask_surname,
    mask_surnames,
    name_for_id,
    names,
    names_for_ids,
    pseudonym,
    pseudonyms,
)

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
