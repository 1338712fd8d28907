// modes.mjs: a mode as the caller names it, text as every front-end reads
// it (onymix_mode_from_text) or a number, turned into the library's number.
import { BUFFER_SIZE, C } from './constants.mjs';
import { show } from './arguments.mjs';
import { buffer, encoder, memory, wasm, withCopy } from './module.mjs';

// The library's reading of the text's UTF-8 bytes, all of them: blanks
// around a label and zeros before a number may run on past the buffer.
function modeOfText(value) {
    const { read, written } = encoder.encodeInto(value, memory().subarray(buffer, buffer + BUFFER_SIZE));
    if (read === value.length)
        return wasm.onymix_mode_from_text(buffer, written);
    const bytes = encoder.encode(value);
    return withCopy(bytes, (pointer) => wasm.onymix_mode_from_text(pointer, bytes.length));
}

export function modeOf(value, fallback = C.DEFAULT_SEQUENCE_MODE) {
    if (value === undefined)
        return fallback;
    let mode = -1;
    if (typeof value === 'number') {
        if (Number.isInteger(value) && value >= 0 && value < C.MODE_COUNT)
            mode = value;
    } else if (typeof value === 'string') {
        mode = modeOfText(value);
    } else {
        throw new TypeError(`onymix: a mode is a label or a number, not ${show(value)}`);
    }
    if (mode < 0)
        throw new RangeError(`onymix: not a mode: ${show(value)} (a mode is one of ` +
            `onymix.MODES, in any case, or its number, 0 to ${C.MODE_COUNT - 1})`);
    return mode;
}
