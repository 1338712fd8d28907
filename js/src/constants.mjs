// constants.mjs: the numbers the package works with: the header's, written
// in when the package is made, and the sizes and limits of its own.

// The integer macros of include/onymix.h, and those that name one, without
// their ONYMIX_ prefix (C.NOW is ONYMIX_NOW), a frozen object written in by
// js/stage.mjs from the header itself, so that no number of it is copied
// here.
export const C = '@ONYMIX_CONSTANTS@';
// Arguments and results go through one buffer in the module's memory
// (JavaScript runs one call at a time, so one is enough), a bulk call's
// in chunks of it. malloc aligns it for 64-bit numbers.
export const BUFFER_SIZE = 1 << 20;
export const MAX_COUNT = 2 ** 32 - 1; // the longest array
// The module's memory grows to 2 GiB at most: a larger block can never
// be had, and its size would wrap around in the 32-bit size_t of malloc.
export const LARGEST_BLOCK = 2 ** 31 - 1;
export const LARGEST_U64 = 2n ** 64n - 1n;
