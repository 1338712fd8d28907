// masks.mjs: maskFirstName() and the other maskings of real names, one
// string or many: their UTF-8 into the module in chunks of the buffer,
// masked by onymix_mask_values into a block of memory of the call's own,
// which grows when a masking does not fit, and read back as strings.
import { BUFFER_SIZE, C, LARGEST_BLOCK } from './constants.mjs';
import { halfSurrogate, listLength, wellFormed } from './arguments.mjs';
import { inNode } from './host.mjs';
import { allocate, buffer, enter, leave, loaded, memory, memoryBuffer, memoryWords, refused,
    wasm } from './module.mjs';
import { keyIn, maskKeyOf } from './keys.mjs';
import { placeValue } from './pseudonyms.mjs';

// A chunk of values: their pointers, their lengths, where their maskings
// end, then their bytes. A value larger than the room for bytes goes
// alone, in memory of its own.
const MASKS_AT_ONCE = 8192;
const maskLengthsAt = () => buffer + 4 * MASKS_AT_ONCE;
const maskEndsAt = () => buffer + 8 * MASKS_AT_ONCE;
const maskBytesAt = () => buffer + 12 * MASKS_AT_ONCE;
// The masking of UTF-8 is UTF-8, so no byte is lost in decoding it.
const maskDecoder = new TextDecoder();

// A value to mask is a string. A message never shows it: a masked column
// holds real people's names.
function checkMasked(value, what, index) {
    if (typeof value !== 'string')
        throw new TypeError(`onymix: ${what(index)} must be a string, null or undefined, ` +
            `not of type ${typeof value}`);
    if (!wellFormed(value))
        throw new RangeError(`onymix: ${what(index)} holds half a surrogate pair ` +
            `(at ${value.search(halfSurrogate)}), which has no UTF-8`);
}

function maskedText(from, to) {
    if (inNode)
        return memoryBuffer().toString('utf8', from, to);
    return maskDecoder.decode(memory().subarray(from, to));
}

// The maskings of count values, null and undefined kept as they are.
function maskAll(kind, values, count, what, key) {
    enter();
    let out = 0;
    const own = { block: 0 };
    try {
        const result = [];
        const indices = new Int32Array(MASKS_AT_ONCE);
        let outSize = BUFFER_SIZE;
        out = allocate(outSize);
        let made = 0;
        while (made < count) {
            const end = buffer + BUFFER_SIZE;
            let at = maskBytesAt(), n = 0, i = made;
            for (; i < count && n < MASKS_AT_ONCE; i++) {
                const value = values[i];
                if (value === null || value === undefined) {
                    result[i] = value;
                    continue;
                }
                checkMasked(value, what, i);
                const next = placeValue(value, n, at, end, maskLengthsAt(), own);
                if (next < 0)
                    break;
                at = next;
                indices[n++] = i;
            }
            made = i;
            for (let done = 0; done < n;) {
                const got = wasm.onymix_mask_values(kind, keyIn(key), buffer + 4 * done,
                    maskLengthsAt() + 4 * done, n - done, out, outSize, maskEndsAt());
                if (got < 0)
                    throw refused();
                if (got === 0) {
                    // The next masking needs more room than the block has.
                    const need = C.MASK_GROWTH * memoryWords()[(maskLengthsAt() >> 2) + done] + 1;
                    wasm.free(out);
                    out = 0;
                    outSize = Math.max(need, Math.min(2 * outSize, LARGEST_BLOCK));
                    out = allocate(outSize);
                    continue;
                }
                const ends = memoryWords(), endsAt = maskEndsAt() >> 2;
                for (let j = 0, from = 0; j < got; j++) {
                    const to = ends[endsAt + j];
                    result[indices[done + j]] = maskedText(out + from, out + to);
                    from = to;
                }
                done += got;
            }
            if (own.block !== 0) {
                wasm.free(own.block);
                own.block = 0;
            }
        }
        result.length = count;
        return result;
    } finally {
        if (out !== 0)
            wasm.free(out);
        if (own.block !== 0)
            wasm.free(own.block);
        leave();
    }
}

const aMaskedValue = () => 'a value';
const valueAt = (index) => `values[${index}]`;

function maskOne(kind, value, options) {
    loaded();
    const key = maskKeyOf(options);
    if (value === null || value === undefined)
        return value;
    checkMasked(value, aMaskedValue);
    return maskAll(kind, [value], 1, aMaskedValue, key)[0];
}

// An array is read element by element under the call's lock; any other
// iterable is gathered first, so that its iterator may call the package.
function maskMany(kind, values, options) {
    loaded();
    const key = maskKeyOf(options);
    if (typeof values === 'string' || typeof values?.[Symbol.iterator] !== 'function')
        throw new TypeError('onymix: values are an array or iterable of strings, not ' +
            `${values === null ? 'null' : `of type ${typeof values}`}`);
    const list = Array.isArray(values) ? values : Array.from(values);
    return maskAll(kind, list, listLength(list, 'the array of values'), valueAt, key);
}

export const maskFirstName = (value, options) => maskOne(C.MASK_FIRST_NAME, value, options);
export const maskSurname = (value, options) => maskOne(C.MASK_SURNAME, value, options);
export const maskFullName = (value, options) => maskOne(C.MASK_FULL_NAME, value, options);
export const maskFirstNames = (values, options) => maskMany(C.MASK_FIRST_NAME, values, options);
export const maskSurnames = (values, options) => maskMany(C.MASK_SURNAME, values, options);
export const maskFullNames = (values, options) => maskMany(C.MASK_FULL_NAME, values, options);
