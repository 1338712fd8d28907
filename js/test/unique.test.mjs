// unique.test.mjs: unique names are the ordinary sequence without repeats,
// end when the mode has made every name, and are refused beyond that.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import onymix from 'onymix';
import { lines } from './source.mjs';

test('every male name once, then the iterator ends', () => {
    const generator = new onymix.Generator({ mode: 'Male', seed: 1, unique: true });
    const made = [...generator];
    assert.equal(made.length, 1219);
    assert.deepEqual([...made].sort(), [...lines('names', 'data', 'male.txt')].sort());
    assert.deepEqual([...generator], [], 'more after the end');
    assert.deepEqual(onymix.names(1219, { mode: 'Male', seed: 1, unique: true }), made);
    generator.close();
});

test('a unique run is the ordinary one with every repeat left out', () => {
    for (const mode of ['Female', 'Surname', 'Any + Surname']) {
        const ordinary = new Set(onymix.names(3000, { mode, seed: 43200 }));
        const unique = onymix.names(ordinary.size, { mode, seed: 43200, unique: true });
        assert.deepEqual(unique, [...ordinary], mode);
    }
});

test('asking for more unique names than are left throws RangeError before any work',
    { timeout: 10000 }, () => {
        assert.throws(() => onymix.names(1220, { mode: 'Male', unique: true }),
            { name: 'RangeError', message: /1220 unique names .* Male has only 1219$/ });
        // Were the names made first, this would take hours.
        const all = 5163 * 56342;
        assert.throws(() => onymix.names(all + 1, { mode: 'Any + Surname', unique: true }),
            { name: 'RangeError', message: new RegExp(`${all + 1} unique`) });
        const generator = new onymix.Generator({ mode: 'Male', unique: true });
        generator.take(1000);
        assert.throws(() => generator.records(220), { name: 'RangeError', message: /only 219 left/ });
        assert.equal(generator.take(219).length, 219);
        assert.throws(() => generator.take(1), { name: 'RangeError', message: /only 0 left/ });
        assert.deepEqual(generator.take(0), []);
        generator.close();
    });

test('names taken by iteration count against what a unique generator has left', () => {
    const generator = new onymix.Generator({ mode: 'Male', seed: 2, unique: true });
    const iterated = [];
    for (const name of generator) {
        iterated.push(name);
        if (iterated.length === 1000)
            break;
    }
    assert.throws(() => generator.take(220), { name: 'RangeError', message: /only 219 left/ });
    const rest = generator.take(219);
    assert.equal(new Set([...iterated, ...rest]).size, 1219);
    assert.deepEqual([...generator], []);
    generator.close();
});
