// misuse.test.mjs: what a caller's getters, proxies and typed-array
// subclasses do, and sizes past the module's memory, cannot make a call
// write outside its blocks, read what another call left, or lose memory.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';

const { names, namesForIds, nameForId, pseudonym, pseudonyms, storedText, store } = onymix;
const key = new Uint8Array(16).fill(1);
const otherKey = new Uint8Array(16).fill(2);

// values with a getter at index `at` that runs `meanwhile` before giving the value.
function withGetter(values, at, meanwhile) {
    const list = [...values];
    Object.defineProperty(list, at, { get: () => (meanwhile(), values[at]) });
    return list;
}

test('a call from a getter of a bulk call\'s array is refused; the outer call works after', () => {
    const ids = [0, 1, 2, 3, 4, 5];
    const values = ['a', 'b', 'c'];
    const expected = { ids: namesForIds(ids, { key }), values: pseudonyms(values, { key }) };
    const generator = new onymix.Generator({ seed: 1 });
    const nested = [
        // Grows the memory under the ids written so far.
        () => namesForIds(withGetter(ids, 3, () => pseudonym(new Uint8Array(16 << 20))), { key }),
        () => pseudonyms(withGetter(values, 2, () => names(100)), { key }),
        () => pseudonyms(withGetter(values, 1, () => nameForId(1, { key: otherKey })), { key }),
        () => namesForIds(withGetter(ids, 1, () => generator.records(10))),
        () => pseudonyms(withGetter(values, 1, () => store('a', 'b'))),
    ];
    for (const call of nested)
        assert.throws(call, { name: 'Error', message: /called from inside another onymix call/ }, String(call));
    assert.deepEqual(namesForIds(ids, { key }), expected.ids);
    assert.deepEqual(pseudonyms(values, { key }), expected.values);
    generator.close();
});

test('one call, one key: not another call\'s, nor the caller\'s bytes changed meanwhile', () => {
    const values = ['a', 'b', 'c'];
    const expected = pseudonyms(values, { key });
    // A proxy's length is read before the call is under way.
    const proxy = new Proxy(values, {
        get: (target, name) => (name === 'length' && nameForId(1, { key: otherKey }), target[name]),
    });
    assert.deepEqual(pseudonyms(proxy, { key }), expected);
    const changing = Uint8Array.from(key);
    assert.deepEqual(pseudonyms(withGetter(values, 1, () => changing.fill(3)), { key: changing }), expected);
    for (const length of [-1, 1.5, NaN, 2 ** 32])
        assert.throws(() => pseudonyms(new Proxy(values, { get: (t, n) => n === 'length' ? length : t[n] })),
            { name: 'RangeError', message: /the array of values says its length is/ }, String(length));
});

test('typed-array subclasses are read by their elements, whatever they say', () => {
    class LongKey extends Uint8Array {
        get length() {
            return 16;
        }
    }
    assert.throws(() => nameForId(1, { key: new LongKey(4096) }),
        { name: 'RangeError', message: 'onymix: a key is 16 bytes, not 4096' });

    class Huge extends Uint8Array {
        get length() {
            return 2 ** 32 + 1;
        }
    }
    const bytes = new Uint8Array(100000).fill(7);
    assert.equal(pseudonym(new Huge(bytes)), pseudonym(bytes));
    assert.deepEqual(pseudonyms(['x', new Huge(bytes)]), pseudonyms(['x', bytes]));

    class FewIds extends BigUint64Array {
        get length() {
            return 2;
        }
        subarray() {
            return new BigUint64Array(0);
        }
    }
    const ids = [5n, 6n, 7n, 8n, 9n];
    assert.deepEqual(namesForIds(new FewIds(ids)), namesForIds(ids));
    // An empty view of a detached buffer is no bytes, as before.
    const gone = new Uint8Array(4);
    structuredClone(gone.buffer, { transfer: [gone.buffer] });
    assert.equal(pseudonym(gone), pseudonym(''));
});

test('sizes past the module\'s memory: RangeError, or Error when no block is had; the module goes on', () => {
    const before = pseudonym('x');
    // 4 GiB would wrap to 0 in malloc's 32-bit size; zeroed by the system, never touched.
    assert.throws(() => pseudonym(new Uint8Array(2 ** 32)),
        { name: 'RangeError', message: /4294967296 bytes do not fit in the module's memory/ });
    assert.throws(() => storedText(new Uint8Array(2 ** 32)), { name: 'RangeError', message: /do not fit/ });
    assert.throws(() => pseudonym(new Uint8Array(2 ** 31 - 2 ** 20)),
        { name: 'Error', message: 'onymix: not enough memory in the module' });
    assert.equal(pseudonym('x'), before);
    assert.deepEqual(names(3, { seed: 0 }), ['Emmitt Santacruce', 'Alan Drakeford', 'Alfonso Agilar']);
});

test('a refused Store gives back the list it copied in', () => {
    const list = 'x'.repeat(1 << 16);
    const start = process.memoryUsage().external;
    // Kept, the lists would grow the module's memory by 64 MB.
    for (let i = 0; i < 1000; i++)
        assert.throws(() => store(list, 5), TypeError);
    const grown = (process.memoryUsage().external - start) / (1 << 20);
    assert.ok(grown < 8, `the module grew by ${grown.toFixed(1)} MB`);
});
