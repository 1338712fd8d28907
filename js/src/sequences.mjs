// sequences.mjs: names of a seeded sequence, generate() and names(), and
// the opening, checking and draining of the library's generators that the
// Generator class shares.
import { BUFFER_SIZE, C } from './constants.mjs';
import { countOf, optionsOf, secondOf, show, u64Of } from './arguments.mjs';
import { MODES, buffer, loaded, memoryWords, refused, text, wasm } from './module.mjs';
import { modeOf } from './modes.mjs';
import { collect, nameTable, recordOf } from './name_table.mjs';

const ENTRIES_AT_ONCE = BUFFER_SIZE / 8;

// The options of a sequence; seed and start as BigInts, null when left
// out (a seed of "now", no seek).
export function sequenceOptionsOf(options) {
    const { mode, seed, unique, start, weighted } =
        optionsOf(options, ['mode', 'seed', 'unique', 'start', 'weighted']);
    for (const [what, value] of [['unique', unique], ['weighted', weighted]]) {
        if (value !== undefined && typeof value !== 'boolean')
            throw new TypeError(`onymix: ${what} must be true or false, not ${show(value)}`);
    }
    // Refused here: the library's refusal, a null generator, would read as
    // no memory.
    if (unique && weighted)
        throw new TypeError('onymix: weighted and unique do not go together: the rarest ' +
            'weighted names come about once in ten billion draws, so a unique run would never end');
    return {
        mode: modeOf(mode),
        seed: seed === undefined ? null : u64Of(seed, 'seed'),
        unique: !!unique,
        start: start === undefined ? null : u64Of(start, 'start'),
        weighted: !!weighted,
    };
}

export function open({ mode, seed, unique, start, weighted }) {
    const flags = (unique ? C.UNIQUE : 0) | (weighted ? C.WEIGHTED : 0);
    const generator = seed === null ? wasm.onymix_open(mode, C.NOW, flags)
        : wasm.onymix_open_seed(mode, seed, flags);
    if (generator === 0)
        throw new Error('onymix: not enough memory for a generator');
    if (start !== null && wasm.onymix_seek(generator, start) !== 0) {
        wasm.onymix_close(generator);
        // The only generators the library cannot seek are unique ones.
        throw new TypeError(`onymix: start (${start}) and unique do not go together: a ` +
            'unique sequence leaves repeats out, so its names have no places to start from');
    }
    return generator;
}

// A unique generator refuses, before any work, a count beyond what it
// has left (onymix_left is -1 for one that never runs out).
export function checkLeft(generator, count, mode) {
    const left = wasm.onymix_left(generator);
    if (left >= 0 && count > left)
        throw new RangeError(`onymix: ${count} unique names asked for, but ${MODES[mode]} ` +
            `has only ${left}${left < wasm.onymix_distinct_names(mode) ? ' left' : ''}`);
}

export function sequence(generator, count) {
    return collect(count, ENTRIES_AT_ONCE, buffer,
        (made, most) => wasm.onymix_next_entries(generator, buffer, most));
}

export function records(generator, count) {
    nameTable();
    const result = [];
    while (result.length < count) {
        const drawn = wasm.onymix_next_entries(generator, buffer,
            Math.min(count - result.length, ENTRIES_AT_ONCE));
        if (drawn < 0)
            throw refused();
        if (drawn === 0)
            break;
        const entries = memoryWords();
        for (let i = buffer >> 2, end = i + 2 * drawn; i < end; i += 2)
            result.push(recordOf(entries[i], entries[i + 1]));
    }
    return result;
}

export function generate(mode, second) {
    loaded();
    const number = modeOf(mode);
    const at = secondOf(second, 'second');
    const length = wasm.onymix_generate(number, at, buffer, BUFFER_SIZE);
    if (length < 0)
        throw refused();
    return text(buffer, length);
}

export function names(count, options) {
    loaded();
    const n = countOf(count);
    const settings = sequenceOptionsOf(options);
    const generator = open(settings);
    try {
        checkLeft(generator, n, settings.mode);
        return sequence(generator, n);
    } finally {
        wasm.onymix_close(generator);
    }
}
