// modes.mjs: a mode as the caller names it, a label in any case or a
// number, turned into the library's number.
import { BUFFER_SIZE, C } from './constants.mjs';
import { show } from './arguments.mjs';
import { buffer, encoder, memory, wasm } from './module.mjs';

// Labels are far shorter; a longer text is no mode and is not copied in.
const LABEL_MAX = 64;

export function modeOf(value, fallback = C.MALE_SURNAME) {
    if (value === undefined)
        return fallback;
    let mode = -1;
    if (typeof value === 'number') {
        if (Number.isInteger(value) && value >= 0 && value < C.MODE_COUNT)
            mode = value;
    } else if (typeof value === 'string') {
        // A NUL would end the label early for the C function.
        if (value.length <= LABEL_MAX && !value.includes('\0')) {
            const { written } = encoder.encodeInto(
                value, memory().subarray(buffer, buffer + BUFFER_SIZE - 1));
            memory()[buffer + written] = 0;
            mode = wasm.onymix_mode_from_label(buffer);
        }
    } else {
        throw new TypeError(`onymix: a mode is a label or a number, not ${show(value)}`);
    }
    if (mode < 0)
        throw new RangeError(`onymix: not a mode: ${show(value)} (a mode is one of ` +
            `onymix.MODES, in any case, or its number, 0 to ${C.MODE_COUNT - 1})`);
    return mode;
}
