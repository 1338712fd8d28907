// growth.test.mjs: the module's memory grows in the middle of calls, and
// what is read after it is what the golden files hold. A file of its own,
// so that the module starts at its first 2 MB (node --test runs each file in
// a process of its own), and in this order, each growth past the last.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';
import { lines } from './source.mjs';

test('pseudonyms: values that need memory of their own, between golden ones', () => {
    const key = Uint8Array.from({ length: 16 }, (_, i) => i);
    const golden = lines('tests', 'golden', 'pseudonyms-000102030405060708090a0b0c0d0e0f.txt')
        .map((line) => line.split('\t')).filter(([mode]) => mode === '6');
    const values = golden.map(([, value]) => new Uint8Array(Buffer.from(value, 'hex')));
    const expected = golden.map(([, , name]) => name);
    // 3 MB, then 12 MB of room for UTF-8, each past what the module has.
    const large = [new Uint8Array(3 << 20).fill(1), '€'.repeat(4 << 20)];
    const half = values.length >> 1;
    const made = onymix.pseudonyms([large[0], ...values.slice(0, half), large[1], ...values.slice(half)], { key });
    assert.deepEqual([...made.slice(1, half + 1), ...made.slice(half + 2)], expected);
    assert.deepEqual([made[0], made[half + 1]], large.map((value) => onymix.pseudonym(value, { key })));
});

test('unique names: the set of every full name allocated before the first is read', () => {
    // 36 MB of bits for the 290,893,746 names of Any + Surname.
    const ordinary = [...new Set(lines('tests', 'golden', 'sequence-6-0.txt'))];
    assert.deepEqual(onymix.names(ordinary.length, { mode: 'Any + Surname', seed: 0, unique: true }), ordinary);
});
