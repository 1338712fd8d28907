// memory.test.mjs: names made and dropped, and generators dropped without
// close(), give their memory back, the module's included (in `external`).
// Run with --expose-gc.
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
