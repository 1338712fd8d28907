// golden.test.mjs: the package makes the sequences of the golden files, in
// every mode and through every way of asking: those of onymix-cli's seconds,
// of seeds past a day, from a start far into a sequence, and weighted.
import assert from 'node:assert/strict';
import { uptime } from 'node:os';
import { test } from 'node:test';
import onymix from 'onymix';
import { lines } from './source.mjs';

const seeds = [0, 1, 43200, 86399];

test('names() and a Generator give the sequences of onymix-cli --count 1000', () => {
    for (let mode = 0; mode < 7; mode++) {
        for (const seed of seeds) {
            const expected = lines('tests', 'golden', `sequence-${mode}-${seed}.txt`);
            const what = `mode ${mode}, seed ${seed}`;
            assert.deepEqual(onymix.names(1000, { mode, seed }), expected, what);
            assert.deepEqual(onymix.names(1000, { mode: onymix.MODES[mode], seed }), expected, what);
            // Names follow on across calls, and across the ways of taking them.
            const generator = new onymix.Generator({ mode, seed });
            const taken = [...generator.take(400), ...generator.records(300).map((r) => r.name)];
            for (const name of generator) {
                taken.push(name);
                if (taken.length === 1000)
                    break;
            }
            generator.close();
            assert.deepEqual(taken, expected, what);
        }
    }
});

test('seeds past a day: numbers up to 2^53 - 1, BigInts up to 2^64 - 1', () => {
    for (let mode = 0; mode < 7; mode++) {
        for (const seed of [86400, 4294967296, 18446744073709551615n]) {
            const expected = lines('tests', 'golden', `sequence-${mode}-${seed}.txt`);
            const what = `mode ${mode}, seed ${seed}`;
            assert.deepEqual(onymix.names(1000, { mode, seed }), expected, what);
            const generator = new onymix.Generator({ mode, seed: BigInt(seed) });
            assert.deepEqual([...generator.take(600), ...generator.records(400).map((r) => r.name)],
                expected, what);
            generator.close();
        }
        // A second of the day as a BigInt is that second.
        assert.deepEqual(onymix.names(1000, { mode, seed: 43200n }),
            lines('tests', 'golden', `sequence-${mode}-43200.txt`));
    }
});

test('start: the names of a sequence from name k on, however far', () => {
    for (let mode = 0; mode < 7; mode++) {
        for (const start of [1000000, 1000000000000, 9223372036854775808n]) {
            const expected = lines('tests', 'golden', `sequence-${mode}-0-from-${start}.txt`);
            const what = `mode ${mode}, from ${start}`;
            assert.deepEqual(onymix.names(1000, { mode, seed: 0, start }), expected, what);
            const generator = new onymix.Generator({ mode, seed: 0n, start: BigInt(start) });
            const taken = generator.take(500);
            for (const name of generator) {
                taken.push(name);
                if (taken.length === 1000)
                    break;
            }
            generator.close();
            assert.deepEqual(taken, expected, what);
        }
        const sequence = lines('tests', 'golden', `sequence-${mode}-1.txt`);
        assert.deepEqual(onymix.names(10, { mode, seed: 1, start: 0 }), sequence.slice(0, 10));
        assert.deepEqual(onymix.names(10, { mode, seed: 1, start: 990n }), sequence.slice(990));
    }
});

test('start does not go with unique, not even 0', () => {
    for (const start of [0, 5, 1n])
        assert.throws(() => onymix.names(1, { start, unique: true, seed: 1 }),
            { name: 'TypeError', message: new RegExp(`start \\(${start}\\) and unique`) });
    assert.throws(() => new onymix.Generator({ start: 3, unique: true }), TypeError);
});

test('weighted: the sequences of onymix-cli --weighted, from a seed and from a start', () => {
    const files = [[1, 0], [43200, 0], [18446744073709551615n, 0], [1, 1000000000000]];
    for (let mode = 0; mode < 7; mode++) {
        for (const [seed, start] of files) {
            const file = `weighted-${mode}-${seed}${start ? `-from-${start}` : ''}.txt`;
            const expected = lines('tests', 'golden', file);
            assert.equal(expected.length, 1000, file);
            assert.deepEqual(onymix.names(1000, { mode, seed, start, weighted: true }), expected, file);
            const generator = new onymix.Generator({ mode: onymix.MODES[mode], seed, start,
                weighted: true });
            assert.deepEqual([...generator.take(600), ...generator.records(400).map((r) => r.name)],
                expected, file);
            generator.close();
        }
    }
});

test('weighted does not go with unique; either must be true or false', () => {
    assert.throws(() => onymix.names(1, { seed: 1, unique: true, weighted: true }),
        { name: 'TypeError', message: /weighted and unique do not go together/ });
    assert.throws(() => new onymix.Generator({ mode: 'Male', unique: true, weighted: true }),
        TypeError);
    assert.throws(() => onymix.names(1, { weighted: 1 }),
        { name: 'TypeError', message: /weighted must be true or false, not 1/ });
    assert.equal(onymix.names(5, { mode: 'Male', seed: 1, unique: true, weighted: false }).length, 5);
});

test('generate() gives what Generate shows at each second of generate.txt', () => {
    for (const line of lines('tests', 'golden', 'generate.txt')) {
        const [mode, second, name] = line.split('\t');
        const label = onymix.MODES[mode];
        assert.equal(onymix.generate(Number(mode), Number(second)), name, line);
        assert.equal(onymix.generate(label.toUpperCase(), Number(second)), name, line);
        if (label === 'Male + Surname')
            assert.equal(onymix.generate(undefined, Number(second)), name, line);
    }
});

test('now is the second of system uptime in Node', (t) => {
    if (uptime() > 86000)
        return t.skip('past a day of uptime now is seeded from the clock too, not one second');
    const mode = 'Any + Surname';
    const before = Math.floor(uptime());
    const made = { generate: onymix.generate(mode), names: onymix.names(3, { mode }).join(),
        Generator: new onymix.Generator({ mode }).take(3).join() };
    const after = Math.floor(uptime());
    // os.uptime() and the package's clock may cross a second apart.
    const seconds = [];
    for (let s = before - 1; s <= after + 1; s++)
        seconds.push(s);
    for (const [what, name] of Object.entries(made)) {
        const at = (s) => what === 'generate' ? onymix.generate(mode, s)
            : onymix.names(3, { mode, seed: s }).join();
        assert.ok(seconds.some((s) => at(s) === name),
            `${what} made ${name}, which no second from ${before - 1} to ${after + 1} makes`);
    }
});
