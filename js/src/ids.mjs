// ids.mjs: names by id, nameForId() and namesForIds(): ids as numbers,
// BigInts, a BigUint64Array or a run { from, count }, into the module in
// chunks of the buffer.
import { BUFFER_SIZE, LARGEST_U64 } from './constants.mjs';
import { countOf, listLength, plainView, show, typedArrayKind, u64Of } from './arguments.mjs';
import { buffer, loaded, memoryWords, wasm } from './module.mjs';
import { keyIn, keyedOptionsOf } from './keys.mjs';
import { collect } from './name_table.mjs';

// A chunk of ids: the ids as 64-bit numbers, then their entries.
const IDS_AT_ONCE = BUFFER_SIZE / 16;
const idEntriesAt = () => buffer + 8 * IDS_AT_ONCE;

function idsFrom(from, count, mode, key) {
    if (count > 0 && from + BigInt(count) - 1n > LARGEST_U64)
        throw new RangeError(`onymix: ${count} ids from ${from} on pass 2n ** 64n - 1n`);
    return collect(count, IDS_AT_ONCE, idEntriesAt(), (made, most) =>
        wasm.onymix_entries_for_ids(mode, keyIn(key), from + BigInt(made), 0, most, idEntriesAt()));
}

function idsOfArray(ids, mode, key) {
    const count = listLength(ids, 'the array of ids');
    return collect(count, IDS_AT_ONCE, idEntriesAt(), (made, most) => {
        const words = memoryWords();
        let big = null;
        for (let i = 0, at = buffer >> 2; i < most; i++, at += 2) {
            const id = ids[made + i];
            // Whole numbers go in as two 32-bit halves, with no BigInt made.
            if (typeof id === 'number' && Number.isSafeInteger(id) && id >= 0) {
                words[at] = id % 4294967296;
                words[at + 1] = id / 4294967296;
            } else {
                big ??= new BigUint64Array(wasm.memory.buffer, buffer, most);
                big[i] = u64Of(id, `ids[${made + i}]`);
            }
        }
        return wasm.onymix_entries_for_ids(mode, keyIn(key), 0n, buffer, most, idEntriesAt());
    });
}

function idsOfTyped(ids, mode, key) {
    const plain = plainView(ids, BigUint64Array);
    return collect(plain.length, IDS_AT_ONCE, idEntriesAt(), (made, most) => {
        new BigUint64Array(wasm.memory.buffer, buffer, most).set(plain.subarray(made, made + most));
        return wasm.onymix_entries_for_ids(mode, keyIn(key), 0n, buffer, most, idEntriesAt());
    });
}

function runOf(run) {
    for (const key of Object.keys(run)) {
        if (key !== 'from' && key !== 'count')
            throw new TypeError(`onymix: no field ${show(key)} in a run of ids (the fields are from and count)`);
    }
    return [run.from === undefined ? 0n : u64Of(run.from, 'from'), countOf(run.count)];
}

export function nameForId(id, options) {
    loaded();
    const first = u64Of(id, 'an id');
    const { mode, key } = keyedOptionsOf(options);
    return idsFrom(first, 1, mode, key)[0];
}

export function namesForIds(ids, options) {
    loaded();
    const typed = typedArrayKind.call(ids) === 'BigUint64Array';
    const listed = Array.isArray(ids) || typed;
    if (!listed && (typeof ids !== 'object' || ids === null || ArrayBuffer.isView(ids)))
        throw new TypeError('onymix: ids are an array of numbers and BigInts, a BigUint64Array ' +
            `or a run { from, count }, not ${show(ids)}`);
    const run = listed ? null : runOf(ids);
    const { mode, key } = keyedOptionsOf(options);
    if (run !== null)
        return idsFrom(...run, mode, key);
    return typed ? idsOfTyped(ids, mode, key) : idsOfArray(ids, mode, key);
}
