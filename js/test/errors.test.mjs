// errors.test.mjs: every bad argument throws TypeError or RangeError with
// the bad value in the message, and a closed Generator refuses all use.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';

const { generate, names, Generator, nameForId, namesForIds, pseudonym, pseudonyms } = onymix;
const generator = new Generator();

// What is called, the error, and the bad value as the message shows it.
const cases = [
    [() => generate('Nobody'), RangeError, '"Nobody"'],
    [() => generate(7), RangeError, '7'],
    [() => generate(2.5), RangeError, '2.5'],
    [() => generate('+3'), RangeError, '"+3"'],
    [() => generate('Male\0'), RangeError, '"Male\\u0000"'],
    [() => generate('x'.repeat(500)), RangeError, `"${'x'.repeat(56)}...`],
    [() => generate(null), TypeError, 'null'],
    [() => generate({}), TypeError, '{}'],
    [() => generate(3n), TypeError, '3n'],
    [() => generate('Male', 86400), RangeError, '86400'],
    [() => generate('Male', 0.5), RangeError, '0.5'],
    // The library's "now": a caller's -1 is a bad second, not the clock.
    [() => generate('Male', -1), RangeError, '-1'],
    [() => names(NaN), RangeError, 'NaN'],
    [() => namesForIds([NaN]), RangeError, 'ids[0] must be'],
    [() => generate('Male', Infinity), RangeError, 'Infinity'],
    [() => generate('Male', '5'), TypeError, '"5"'],
    [() => generate('Male', null), TypeError, 'null'],
    [() => names(), TypeError, 'undefined'],
    [() => names('10'), TypeError, '"10"'],
    [() => names(-1), RangeError, '-1'],
    [() => names(2 ** 32), RangeError, '4294967296'],
    [() => names(1, 'Male'), TypeError, '"Male"'],
    [() => names(1, ['Male']), TypeError, '["Male"]'],
    [() => names(1, { mdoe: 'Male' }), TypeError, '"mdoe"'],
    [() => names(1, { mode: 'Nobody' }), RangeError, '"Nobody"'],
    [() => names(1, { seed: 2 ** 53 }), RangeError, '9007199254740992'],
    [() => names(1, { seed: 2n ** 64n }), RangeError, '18446744073709551616n'],
    [() => names(1, { seed: '5' }), TypeError, '"5"'],
    [() => names(1, { start: -1 }), RangeError, '-1'],
    [() => new Generator({ start: '10' }), TypeError, '"10"'],
    [() => new Generator({ seed: 1, start: 2, unique: true }), TypeError, 'start (2)'],
    [() => nameForId(2 ** 53), RangeError, '9007199254740992'],
    [() => nameForId('7'), TypeError, '"7"'],
    [() => nameForId(1, { mode: 'Nobody' }), RangeError, '"Nobody"'],
    [() => nameForId(1, { seed: 1 }), TypeError, '"seed"'],
    [() => nameForId(1, { key: new Uint8Array(15) }), RangeError, '15'],
    [() => nameForId(1, { key: 'secret' }), TypeError, 'not a string'],
    [() => nameForId(1, { key: new Uint16Array(16) }), TypeError, 'Uint16Array'],
    [() => namesForIds([1, -2]), RangeError, 'ids[1] must be'],
    [() => namesForIds([1, 2n, '3']), TypeError, 'ids[2] must be'],
    [() => namesForIds(new Uint32Array(2)), TypeError, 'Uint32Array'],
    [() => namesForIds(5), TypeError, '5'],
    [() => namesForIds({ from: 1 }), TypeError, 'count must be a number, not undefined'],
    [() => namesForIds({ start: 1, count: 2 }), TypeError, '"start"'],
    [() => namesForIds({ from: 2n ** 64n - 1n, count: 2 }), RangeError, '2 ids from 18446744073709551615'],
    [() => pseudonym(5), TypeError, 'a value must be a string or a Uint8Array, not 5'],
    [() => pseudonym(new Uint16Array(1)), TypeError, 'Uint16Array'],
    [() => pseudonym('a\uD800b'), RangeError, 'half a surrogate pair (at 1)'],
    [() => pseudonyms('abc'), TypeError, '"abc"'],
    [() => pseudonyms(['a', null]), TypeError, 'values[1] must be'],
    [() => pseudonyms(['a', 'b', '\uDC00']), RangeError, 'values[2] holds half a surrogate pair (at 0)'],
    [() => names(1, { unique: 1 }), TypeError, '1'],
    [() => new Generator(5), TypeError, '5'],
    [() => new Generator({ seed: -5 }), RangeError, '-5'],
    [() => new Generator({ unique: 'yes' }), TypeError, '"yes"'],
    [() => generator.take('3'), TypeError, '"3"'],
    [() => generator.records(-1), RangeError, '-1'],
];

test('bad arguments throw with the bad value in the message', () => {
    for (const [call, type, shown] of cases) {
        assert.throws(call, (error) => {
            assert.equal(error.constructor, type, `${call}: ${error}`);
            assert.ok(error.message.startsWith('onymix: '), error.message);
            assert.ok(error.message.includes(shown), `${call}: "${error.message}" lacks ${shown}`);
            return true;
        }, String(call));
    }
});

test('a key in the wrong form is never shown: it may be the secret', () => {
    for (const key of ['s3cr3t-k3y', ['s3cr3t-k3y'], { s3cr3t: 1 }])
        assert.throws(() => nameForId(1, { key }), (error) => !error.message.includes('s3cr3t'));
});

test('a closed Generator throws TypeError, and closing twice does nothing', () => {
    const closed = new Generator({ seed: 1 });
    closed.close();
    closed.close();
    for (const use of [() => closed.take(1), () => closed.records(1), () => [...closed]])
        assert.throws(use, { name: 'TypeError', message: 'onymix: this Generator is closed' });
});
