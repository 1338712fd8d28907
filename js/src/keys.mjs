// keys.mjs: the options of names by id and of pseudonyms, a mode and a
// key, and the key's way into the module.
import { C } from './constants.mjs';
import { isBytes, optionsOf, plainView, show } from './arguments.mjs';
import { keySlot, memory } from './module.mjs';
import { modeOf } from './modes.mjs';

// A copy of the key, null for none (the library's zero key), so that one
// call has one key whatever is done to the caller's bytes meanwhile.
function keyOf(value) {
    if (value === undefined)
        return null;
    if (!isBytes(value))
        throw new TypeError(`onymix: a key is a Uint8Array of ${C.KEY_SIZE} bytes, not ${show(value)}`);
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
