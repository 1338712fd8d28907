// ids.test.mjs: names by id and pseudonyms are those of the golden files, in
// every mode under both keys, whichever form the ids and values take, one
// at a time and in bulk calls that span several chunks.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';
import { lines } from './source.mjs';

const { nameForId, namesForIds, pseudonym, pseudonyms } = onymix;

const ZERO_KEY = '00000000000000000000000000000000';
const keys = {
    [ZERO_KEY]: [undefined, new Uint8Array(16)],
    // The second key also from inside a larger buffer.
    '000102030405060708090a0b0c0d0e0f': [Uint8Array.from({ length: 16 }, (_, i) => i),
        Buffer.from(`ff000102030405060708090a0b0c0d0e0f`, 'hex').subarray(1)],
};
const rows = (file) => lines('tests', 'golden', file).map((line) => line.split('\t'));

test('names by id: the golden names, ids as numbers, BigInts, a BigUint64Array and runs', () => {
    for (let mode = 0; mode < 7; mode++) {
        for (const [hex, forms] of Object.entries(keys)) {
            const golden = rows(`ids-${mode}-${hex}.txt`);
            const big = golden.map(([id]) => BigInt(id));
            // Numbers where a number holds the id exactly; the ids near
            // 2^64 as BigInts.
            const mixed = big.map((id) => id <= Number.MAX_SAFE_INTEGER ? Number(id) : id);
            const expected = golden.map(([, name]) => name);
            for (const key of forms) {
                const what = `mode ${mode}, key ${hex}${key ? '' : ' (none given)'}`;
                const options = { mode, key };
                assert.deepEqual(mixed.map((id) => nameForId(id, options)), expected, what);
                assert.deepEqual(namesForIds(mixed, options), expected, what);
                assert.deepEqual(namesForIds(big, { mode: onymix.MODES[mode], key }), expected, what);
                assert.deepEqual(namesForIds(BigUint64Array.from(big), options), expected, what);
                // The golden ids are runs of consecutive ids.
                for (let start = 0; start < big.length;) {
                    let end = start + 1;
                    while (end < big.length && big[end] === big[end - 1] + 1n)
                        end++;
                    const from = start === 0 ? undefined : mixed[start];
                    assert.deepEqual(namesForIds({ from, count: end - start }, options),
                        expected.slice(start, end), `${what}, from ${big[start]}`);
                    start = end;
                }
            }
        }
    }
});

test('names by id default to Any + Surname under the zero key', () => {
    const golden = rows(`ids-6-${ZERO_KEY}.txt`).slice(0, 50);
    assert.deepEqual(golden.map(([id]) => nameForId(Number(id))), golden.map(([, name]) => name));
    assert.deepEqual(namesForIds({ count: 50 }), golden.map(([, name]) => name));
});

test('the ids of a block have different names, across the chunks of a bulk call', () => {
    // Three blocks of surnames: 169,026 ids, over the 65,536 of a chunk.
    const block = 56342;
    const run = namesForIds({ count: 3 * block }, { mode: 'Surname' });
    for (let b = 0; b < 3; b++)
        assert.equal(new Set(run.slice(b * block, (b + 1) * block)).size, block, `block ${b}`);
    const ids = Array.from({ length: run.length }, (_, i) => i);
    assert.deepEqual(namesForIds(ids, { mode: 'Surname' }), run);
    assert.deepEqual(namesForIds(BigUint64Array.from(ids, BigInt), { mode: 'Surname' }), run);
    for (const id of [0, 65535, 65536, 131072, run.length - 1])
        assert.equal(nameForId(id, { mode: 'Surname' }), run[id], `id ${id}`);
});

test('ids given as numbers past 2^31 and 2^32 are the same ids as BigInts', () => {
    // Numbers go in as two 32-bit halves, the low one past 2^31 as a negative int.
    const ids = [2 ** 31 - 1, 2 ** 31, 2 ** 32 - 1, 2 ** 32, 2 ** 32 + 1, 3 * 2 ** 40 + 2 ** 31 + 5, 2 ** 53 - 1];
    const big = ids.map(BigInt);
    assert.deepEqual(namesForIds(ids), namesForIds(BigUint64Array.from(big)));
    assert.deepEqual(namesForIds(ids), big.map((id) => nameForId(id)));
});

const strict = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true });
const textOf = (bytes) => {
    try {
        return strict.decode(bytes);
    } catch {
        return null;
    }
};

test('pseudonyms: the golden names, of bytes and of strings', () => {
    for (const [hex, forms] of Object.entries(keys)) {
        const golden = rows(`pseudonyms-${hex}.txt`);
        for (let mode = 0; mode < 7; mode++) {
            const ofMode = golden.filter(([m]) => Number(m) === mode);
            assert.ok(ofMode.length > 0);
            const bytes = ofMode.map(([, value]) => new Uint8Array(Buffer.from(value, 'hex')));
            const expected = ofMode.map(([, , name]) => name);
            const texts = bytes.map(textOf);
            assert.ok(texts.some((text) => text === null) && texts.some((text) => text?.includes('\0')));
            for (const key of forms) {
                const options = { mode, key };
                const what = `mode ${mode}, key ${hex}`;
                assert.deepEqual(bytes.map((value) => pseudonym(value, options)), expected, what);
                assert.deepEqual(pseudonyms(bytes, options), expected, what);
                // Valid UTF-8 as a string; the rest stays bytes.
                const mixed = bytes.map((value, i) => texts[i] ?? value);
                assert.deepEqual(pseudonyms(mixed, options), expected, what);
                texts.forEach((text, i) => {
                    if (text !== null)
                        assert.equal(pseudonym(text, options), expected[i], `${what}: ${JSON.stringify(text)}`);
                });
            }
        }
    }
});

test('pseudonyms in bulk: many values, values of megabytes, strings of several bytes a character', () => {
    const values = Array.from({ length: 20000 }, (_, i) => `customer-${i}`);
    // Beyond the room a chunk has for bytes: 1.2 MB of UTF-8, 2 MB of bytes.
    values.splice(5000, 0, '€'.repeat(400000), new Uint8Array(2 << 20).fill(7), 'Zoë 😀 王芳');
    values.push('', new Uint8Array(0));
    const options = { mode: 'Female + Surname', key: new Uint8Array(16).fill(9) };
    const bulk = pseudonyms(values, options);
    assert.equal(bulk.length, values.length);
    values.forEach((value, i) => assert.equal(bulk[i], pseudonym(value, options), `values[${i}]`));
    for (const i of [5000, 5002, 12000])
        assert.equal(bulk[i], pseudonym(Buffer.from(values[i]), options), `values[${i}] as bytes`);
    assert.equal(bulk.at(-1), bulk.at(-2), 'the empty string is no bytes');
    assert.equal(pseudonym('customer-1'), pseudonyms(['customer-1'], { mode: 'Any + Surname' })[0]);
});
