// js_bench.mjs: times the npm package in one Node process, a million names
// a run, the runs of a group taken in turn and the best of several kept.
// Full names: onymix.names, Generator.take and .records, namesForIds and
// pseudonyms against node-random-name (the npm package drawn from the same
// census lists) and against split('\n') of the text of the same names, the
// least it can cost to have them as strings at all. Surnames: the same calls
// against node-random-name's own last names. Prints names per second and how
// many times the peer's rate each run reaches (and split's, for full names).
//
// node --expose-gc bench/js_bench.mjs [package folder] [rounds]
// The folder is the built package (build/wasm/js by default, after
// cmake --build --preset wasm); node-random-name 1.0.1 is installed from npm
// into a temporary folder for the run.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { cpus, tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

const packageDir = resolve(process.argv[2] ?? 'build/wasm/js');
const rounds = Number(process.argv[3] ?? 7);
const count = 1000000;

const require = createRequire(import.meta.url);
const onymix = require(packageDir);

const peerDir = mkdtempSync(join(tmpdir(), 'onymix-peer-'));
process.on('exit', () => rmSync(peerDir, { recursive: true, force: true }));
execFileSync('npm', ['install', '--prefix', peerDir, '--no-audit', '--no-fund', '--silent',
    'node-random-name@1.0.1'], { stdio: ['ignore', 'ignore', 'inherit'] });
const randomName = createRequire(join(peerDir, 'package.json'))('node-random-name');

const peer = (options) => () => {
    const names = new Array(count);
    for (let i = 0; i < count; i++)
        names[i] = randomName(options);
    return names;
};
const taken = (options, take) => () => {
    const generator = new onymix.Generator(options);
    try {
        return take(generator);
    } finally {
        generator.close();
    }
};

// One seed throughout, so that split's text is that of the same names.
const full = { mode: 'Male + Surname', seed: 0 };
const text = onymix.names(count, full).join('\n');
const values = Array.from({ length: count }, (_, i) => `customer-${i}@example.com`);

const groups = [
    {
        title: 'A million full names',
        shape: /^[A-Z][a-z]+ [A-Z][a-z]+$/,
        runs: [
            ['node-random-name', peer()],
            ["split('\\n')", () => text.split('\n')],
            ['onymix.names', () => onymix.names(count, full)],
            ['Generator.take', taken(full, (g) => g.take(count))],
            ['Generator.records', taken(full, (g) => g.records(count).map((r) => r.name))],
            ['namesForIds', () => onymix.namesForIds({ count }, { mode: full.mode })],
            ['pseudonyms', () => onymix.pseudonyms(values, { mode: full.mode })],
        ],
    },
    {
        title: 'A million surnames',
        shape: /^[A-Z][a-z]+$/,
        runs: [
            ['node-random-name', peer({ last: true })],
            ['onymix.names', () => onymix.names(count, { mode: 'Surname', seed: 0 })],
            ['Generator.take', taken({ mode: 'Surname', seed: 0 }, (g) => g.take(count))],
            ['namesForIds', () => onymix.namesForIds({ count }, { mode: 'Surname' })],
            ['pseudonyms', () => onymix.pseudonyms(values, { mode: 'Surname' })],
        ],
    },
];

console.log(`Best of ${rounds} alternating runs in one process ` +
    `(${cpus().length} cores, Node ${process.version}${globalThis.gc ? '' : ', no --expose-gc'}).`);
for (const { title, shape, runs } of groups) {
    // Each run must make a million names of the group's shape; the result is
    // kept until the clock is read, so that no run is cheaper for being
    // dropped.
    const best = runs.map(() => Infinity);
    for (let round = 0; round < rounds; round++) {
        runs.forEach(([label, run], i) => {
            globalThis.gc?.();
            const start = process.hrtime.bigint();
            const names = run();
            const seconds = Number(process.hrtime.bigint() - start) / 1e9;
            if (names.length !== count || !shape.test(names[count - 1]))
                throw new Error(`${label} made ${names.length} names, the last ${names[count - 1]}`);
            best[i] = Math.min(best[i], seconds);
        });
    }
    const split = runs.findIndex(([label]) => label.startsWith('split'));
    console.log(`\n${title}:`);
    console.log(`${'run'.padEnd(18)} ${'seconds'.padStart(9)} ${'names/s'.padStart(12)} ` +
        `${'x peer'.padStart(8)}${split >= 0 ? ' x split'.padStart(9) : ''}`);
    runs.forEach(([label], i) => {
        const ratio = (base) => `${(best[base] / best[i]).toFixed(base === 0 ? 1 : 2)}x`;
        console.log(`${label.padEnd(18)} ${best[i].toFixed(4).padStart(9)} ` +
            `${Math.round(count / best[i]).toString().padStart(12)} ${ratio(0).padStart(8)}` +
            `${split >= 0 ? ratio(split).padStart(9) : ''}`);
    });
}
