// js_bench.mjs: times the npm package against node-random-name (the npm
// package drawn from the same census lists) in one Node process: a million
// full names from onymix.names, from Generator.take and from the peer, the
// runs taken in turn and the best of several kept. Prints names per second
// and how many times the peer's rate each onymix run reaches.
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

const runs = [
    ['node-random-name', () => {
        const names = new Array(count);
        for (let i = 0; i < count; i++)
            names[i] = randomName();
        return names;
    }],
    ['onymix.names', (round) => onymix.names(count, { seed: round })],
    ['Generator.take', (round) => {
        const generator = new onymix.Generator({ seed: round });
        try {
            return generator.take(count);
        } finally {
            generator.close();
        }
    }],
];

// Each run must make a million names of two parts; the result is kept
// until the clock is read, so that no run is cheaper for being dropped.
const best = runs.map(() => Infinity);
for (let round = 0; round < rounds; round++) {
    runs.forEach(([label, run], i) => {
        globalThis.gc?.();
        const start = process.hrtime.bigint();
        const names = run(round);
        const seconds = Number(process.hrtime.bigint() - start) / 1e9;
        if (names.length !== count || !/^\S+ \S+$/.test(names[count - 1]))
            throw new Error(`${label} made ${names.length} names, the last ${names[count - 1]}`);
        best[i] = Math.min(best[i], seconds);
    });
}

console.log(`A million full names, best of ${rounds} alternating runs in one process ` +
    `(${cpus().length} cores, Node ${process.version}${globalThis.gc ? '' : ', no --expose-gc'}):`);
console.log(`${'run'.padEnd(18)} ${'seconds'.padStart(10)} ${'names/s'.padStart(14)} ${'ratio'.padStart(10)}`);
runs.forEach(([label], i) => {
    const ratio = (best[0] / best[i]).toFixed(1);
    console.log(`${label.padEnd(18)} ${best[i].toFixed(4).padStart(10)} ` +
        `${Math.round(count / best[i]).toString().padStart(14)} ${`${ratio}x`.padStart(10)}`);
});
