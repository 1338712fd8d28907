// memory.test.mjs: names made and dropped, and generators dropped without
// close(), give their memory back, the module's included (in `external`);
// names of one part take no memory of their own. Run with --expose-gc.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { setTimeout } from 'node:timers/promises';
import onymix from 'onymix';

const MB = 1 << 20;

// A million names, and generators that hold a set of 8.6 MB each for unique
// full names, left to the garbage collector.
function round() {
    assert.equal(onymix.names(1000000, { seed: 7 }).length, 1000000);
    for (let i = 0; i < 4; i++)
        new onymix.Generator({ mode: 'Male + Surname', unique: true }).take(1000);
    let count = 0;
    for (const name of new onymix.Generator()) {
        if (++count === 10000 || !name)
            break;
    }
}

// The registry closes collected generators in a task after the collection.
async function settle() {
    for (let i = 0; i < 3; i++) {
        globalThis.gc();
        await setTimeout(20);
    }
    return process.memoryUsage();
}

test('memory stays flat across rounds of a million names', { timeout: 300000 }, async () => {
    assert.ok(globalThis.gc, 'run node with --expose-gc');
    round();
    round();
    const start = await settle();
    let end = start;
    for (let i = 0; i < 5; i++) {
        round();
        end = await settle();
    }
    // The module's memory and the JavaScript heap are measured exactly; the
    // resident size also holds pages the allocators keep for reuse. Four
    // generators left open would add 34 MB a round.
    const tolerance = { rss: 64, heapUsed: 8, external: 4 };
    for (const [key, most] of Object.entries(tolerance)) {
        const grown = (end[key] - start[key]) / MB;
        assert.ok(grown < most, `${key} grew by ${grown.toFixed(1)} MB over five rounds`);
    }
});

// Fewer bytes a name than any string of its own takes (at least 16 beside
// the array's 8 for its place), so the names must be the table's strings.
const sharedBytes = 12;

test('names of one part are the name table\'s strings, made once', async () => {
    const values = Array.from({ length: 200000 }, (_, i) => `row ${i}`);
    const makers = {
        names: () => onymix.names(1000000, { mode: 'Surname', seed: 3 }),
        take: () => new onymix.Generator({ mode: 'Female', seed: 4 }).take(1000000),
        namesForIds: () => onymix.namesForIds({ count: 1000000 }, { mode: 'Any' }),
        pseudonyms: () => onymix.pseudonyms(values, { mode: 'Male' }),
    };
    onymix.names(1, { mode: 'Surname' }); // the table's strings are made at the first names
    for (const [what, make] of Object.entries(makers)) {
        const before = (await settle()).heapUsed;
        const made = make();
        const grown = (await settle()).heapUsed - before;
        assert.ok(made.length >= values.length && /^[A-Z][a-z]+$/.test(made.at(-1)), what);
        assert.ok(grown / made.length < sharedBytes,
            `${what}: ${(grown / made.length).toFixed(1)} bytes a name`);
    }
    // And full names are not: the check would see them.
    const before = (await settle()).heapUsed;
    const full = onymix.names(200000, { seed: 3 });
    const grown = (await settle()).heapUsed - before;
    assert.ok(grown / full.length > sharedBytes, `full names: ${(grown / full.length).toFixed(1)} bytes a name`);
});
