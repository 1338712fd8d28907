// pseudonyms.mjs: pseudonym() and pseudonyms(): strings (their UTF-8) and
// bytes into the module in chunks of the buffer, a value too large for a
// chunk in memory of its own.
import { BUFFER_SIZE } from './constants.mjs';
import { halfSurrogate, isBytes, listLength, plainView, show, wellFormed } from './arguments.mjs';
import { inNode } from './host.mjs';
import { allocate, buffer, encoder, loaded, memory, memoryBuffer, memoryWords, wasm } from './module.mjs';
import { keyIn, keyedOptionsOf } from './keys.mjs';
import { collect } from './name_table.mjs';

// A chunk of values: their pointers, their lengths, their entries, then
// their bytes. A value larger than the room for bytes goes alone, in
// memory of its own.
const VALUES_AT_ONCE = 8192;
const valueLengthsAt = () => buffer + 4 * VALUES_AT_ONCE;
const valueEntriesAt = () => buffer + 8 * VALUES_AT_ONCE;
const valueBytesAt = () => buffer + 16 * VALUES_AT_ONCE;

// A value as it is copied in: a string with UTF-8, or a plain Uint8Array.
function asValue(value, what, index) {
    if (typeof value === 'string') {
        if (!wellFormed(value))
            throw new RangeError(`onymix: ${what(index)} holds half a surrogate pair ` +
                `(at ${value.search(halfSurrogate)}), which has no UTF-8`);
        return value;
    }
    if (isBytes(value))
        return plainView(value, Uint8Array);
    throw new TypeError(`onymix: ${what(index)} must be a string or a Uint8Array, not ${show(value)}`);
}

// The most bytes a value can take: UTF-8 needs at most 3 bytes for each
// UTF-16 unit of a string.
const valueBound = (value) => typeof value === 'string' ? 3 * value.length : value.length;

// Copies value in at `at`, with room bytes there, and says how many it took.
function putValue(value, at, room) {
    if (typeof value !== 'string') {
        memory().set(value, at);
        return value.length;
    }
    if (inNode)
        return memoryBuffer().write(value, at, room, 'utf8');
    return encoder.encodeInto(value, memory().subarray(at, at + room)).written;
}

// Puts value n of a chunk at `at`, the chunk's bytes ending at end, or,
// when it does not fit there and is the chunk's first, in a block of its
// own, own.block, which the caller frees. Its pointer and length go in the
// chunk's tables, at buffer and at lengthsAt. Returns where the next value
// goes, or -1 when this one waits for the next chunk.
export function placeValue(value, n, at, end, lengthsAt, own) {
    const bound = valueBound(value);
    const apart = at + bound > end;
    if (apart && n > 0)
        return -1;
    if (apart)
        own.block = allocate(Math.max(bound, 1));
    const place = apart ? own.block : at;
    const length = putValue(value, place, apart ? bound : end - at);
    const words = memoryWords();
    words[(buffer >> 2) + n] = place;
    words[(lengthsAt >> 2) + n] = length;
    return apart ? at : at + length;
}

function valuesOf(values, what, mode, key) {
    const count = listLength(values, 'the array of values');
    return collect(count, VALUES_AT_ONCE, valueEntriesAt(), (made, most) => {
        const end = buffer + BUFFER_SIZE;
        const own = { block: 0 };
        try {
            let n = 0;
            for (let at = valueBytesAt(); n < most; n++) {
                const value = asValue(values[made + n], what, made + n);
                if ((at = placeValue(value, n, at, end, valueLengthsAt(), own)) < 0)
                    break;
            }
            return wasm.onymix_entries_for_pseudonyms(mode, keyIn(key), buffer, valueLengthsAt(), n,
                valueEntriesAt());
        } finally {
            if (own.block !== 0)
                wasm.free(own.block);
        }
    });
}

const oneValue = () => 'a value';

export function pseudonym(value, options) {
    loaded();
    asValue(value, oneValue);
    const { mode, key } = keyedOptionsOf(options);
    return valuesOf([value], oneValue, mode, key)[0];
}

export function pseudonyms(values, options) {
    loaded();
    if (!Array.isArray(values))
        throw new TypeError(`onymix: values are an array of strings and Uint8Arrays, not ${show(values)}`);
    const { mode, key } = keyedOptionsOf(options);
    return valuesOf(values, (index) => `values[${index}]`, mode, key);
}
