// keys.mjs: the options of names by id and of pseudonyms, a mode and a
// key; the key a masking requires; and the key's way into the module.
import { C } from './constants.mjs';
import { isBytes, optionsOf, plainView } from './arguments.mjs';
import { keySlot, memory } from './module.mjs';
import { modeOf } from './modes.mjs';

// What a key that is not one is, for a message: never its content, which
// may be the secret in the wrong form.
function kindOf(key) {
    if (key === undefined || key === null)
        return key === undefined ? 'none' : 'null';
    return typeof key === 'object' ? `a ${key.constructor?.name ?? 'object'}` : `a ${typeof key}`;
}

// A copy of the key, null for none (the library's zero key), so that one
// call has one key whatever is done to the caller's bytes meanwhile.
function keyOf(value) {
    if (value === undefined)
        return null;
    if (!isBytes(value))
        throw new TypeError(`onymix: a key is a Uint8Array of ${C.KEY_SIZE} bytes, not ${kindOf(value)}`);
    const key = plainView(value, Uint8Array);
    if (key.length !== C.KEY_SIZE)
        throw new RangeError(`onymix: a key is ${C.KEY_SIZE} bytes, not ${key.length}`);
    return key.slice();
}

// The key in the module's key slot, written at each call of the library
// that takes it, or 0 for none.
export function keyIn(key) {
    if (key === null)
        return 0;
    memory().set(key, keySlot);
    return keySlot;
}

// By default these name from the largest set of names.
export function keyedOptionsOf(options) {
    const { mode, key } = optionsOf(options, ['mode', 'key']);
    const number = modeOf(mode, C.DEFAULT_ID_MODE);
    return { mode: number, key: keyOf(key) };
}

// The key of a masking, which must be given and must not be the zero key:
// the name lists are public, so under a known key the maskings of every
// listed name would read them back.
export function maskKeyOf(options) {
    const { key } = optionsOf(options, ['key']);
    if (!isBytes(key))
        throw new TypeError(`onymix: a masking needs { key }, a secret Uint8Array of ${C.KEY_SIZE} ` +
            `bytes, not ${kindOf(key)}`);
    const copy = plainView(key, Uint8Array).slice();
    if (copy.length !== C.KEY_SIZE)
        throw new RangeError(`onymix: a key is ${C.KEY_SIZE} bytes, not ${copy.length}`);
    if (copy.every((byte) => byte === 0))
        throw new RangeError('onymix: a masking refuses the zero key, which is no secret');
    return copy;
}
