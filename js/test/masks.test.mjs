// masks.test.mjs: the maskings of first names, surnames and full names
// give what the golden files hold, one by one and in bulk; bulk calls
// equal one-by-one calls across chunks, values in memory of their own and
// maskings that outgrow their room; the key is required, and no message
// shows a value or the key.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';
import { lines } from './source.mjs';

const key = Uint8Array.from({ length: 16 }, (_, i) => i);
const kinds = [
    ['first', onymix.maskFirstName, onymix.maskFirstNames],
    ['surname', onymix.maskSurname, onymix.maskSurnames],
    ['full', onymix.maskFullName, onymix.maskFullNames],
];

// A field of a golden file as bytes: \\ \t \n \r \xHH.
function unescaped(field) {
    const bytes = [];
    for (let i = 0; i < field.length; i++) {
        if (field[i] !== '\\') {
            bytes.push(...Buffer.from(field[i]));
            continue;
        }
        const next = field[++i];
        if (next === 'x') {
            bytes.push(parseInt(field.slice(i + 1, i + 3), 16));
            i += 2;
        } else {
            bytes.push({ '\\': 0x5c, t: 9, n: 10, r: 13 }[next]);
        }
    }
    return Buffer.from(bytes);
}

const strict = new TextDecoder('utf-8', { fatal: true });
// The golden cases whose value is UTF-8, which a string holds; the others
// (invalid bytes) have no string.
function goldenStrings(kind) {
    const cases = [];
    for (const line of lines('tests', 'golden', `mask-${kind}-000102030405060708090a0b0c0d0e0f.txt`)) {
        const [value, masked] = line.split('\t').map(unescaped);
        try {
            cases.push([strict.decode(value), strict.decode(masked)]);
        } catch {
            // Not UTF-8.
        }
    }
    return cases;
}

test('every kind gives the golden maskings, one by one, in an array and from an iterable', () => {
    for (const [kind, one, many] of kinds) {
        const cases = goldenStrings(kind);
        assert.ok(cases.length > 40, `${kind}: ${cases.length} cases`);
        for (const [value, masked] of cases)
            assert.equal(one(value, { key }), masked, `${kind}: ${JSON.stringify(value)}`);
        const expected = cases.map(([, masked]) => masked);
        assert.deepEqual(many(cases.map(([value]) => value), { key }), expected, kind);
        assert.deepEqual(many((function* () {
            for (const [value] of cases)
                yield value;
        })(), { key }), expected, kind);
    }
});

test('bulk equals one by one across chunks, large values and maskings that outgrow their room', () => {
    const mary = onymix.maskFirstName('Mary', { key });
    // About 2 MB: a value in memory of its own, masked into more room than
    // the first block has.
    const long = Array(400000).fill('Mary').join(' ');
    const values = Array.from({ length: 20000 }, (_, i) =>
        i % 7 === 0 ? null : i % 11 === 0 ? undefined : `Mary Ann Smith-Jones ${i} Jr.`);
    values.splice(9000, 0, long);
    for (const [kind, one, many] of kinds) {
        const made = many(values, { key });
        assert.equal(made.length, values.length);
        values.forEach((value, i) => {
            if (made[i] !== (value == null ? value : one(value, { key })))
                assert.fail(`${kind}: values[${i}] gave ${made[i]?.slice(0, 80)}`);
        });
    }
    assert.equal(onymix.maskFirstNames(values, { key })[9000], Array(400000).fill(mary).join(' '));
});

test('no key, the zero key and bad values are refused without showing them', () => {
    const secret = Uint8Array.from('Pz9Qw4Lm8Rt2Vy6B', (c) => c.charCodeAt(0));
    const refusals = [
        [() => onymix.maskFirstName('Mary'), TypeError, /needs \{ key \}.* not none/],
        [() => onymix.maskSurnames(['Smith'], {}), TypeError, /not none/],
        [() => onymix.maskFullName('Mary Smith', { key: new Uint8Array(16) }), RangeError, /zero key/],
        [() => onymix.maskSurname('Smith', { key: secret.subarray(1) }), RangeError, /16 bytes, not 15/],
        [() => onymix.maskSurname('Smith', { key: 'Pz9Qw4Lm8Rt2Vy6B' }), TypeError, /not a string$/],
        [() => onymix.maskSurname(42, { key }), TypeError, /a value must be a string/],
        [() => onymix.maskFullNames(['Mary Smith', Buffer.from('Mary')], { key }), TypeError, /values\[1\]/],
        [() => onymix.maskFirstNames(['Mary', 'Ann\uD800'], { key }), RangeError, /values\[1\] holds half/],
        [() => onymix.maskFirstNames('Mary', { key }), TypeError, /iterable/],
    ];
    for (const [call, type, message] of refusals) {
        assert.throws(call, (error) => {
            assert.ok(error instanceof type, `${error}`);
            assert.match(error.message, message);
            assert.doesNotMatch(error.message, /Pz9|80,122|Mary|Smith|Ann/);
            return true;
        });
    }
    // A getter of the array calling the package would overwrite the call's data.
    const values = ['Mary'];
    Object.defineProperty(values, 1, { get: () => onymix.maskSurname('Smith', { key }), enumerable: true });
    assert.throws(() => onymix.maskFirstNames(values, { key }), /inside another onymix call/);
});
