// entry.test.mjs: require() and import give one module, ready at once, of
// the project's version; index.d.ts declares what it exports and compiles
// against use.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import onymix, * as named from 'onymix';
import { read } from './source.mjs';

const require = createRequire(import.meta.url);

test('require() and import give the same module, usable at once', async () => {
    const required = require('onymix');
    assert.equal(required.generate('Male', 0), 'Emmitt');
    assert.equal(onymix, required);
    assert.deepEqual(Object.keys(named).sort(), ['default', ...Object.keys(required)].sort());
    for (const key of Object.keys(required))
        assert.equal(named[key], required[key], key);
    assert.equal(await required.ready, undefined);
});

test('the version is the CMake project version, and MODES the labels in order', () => {
    const [, project] = read('CMakeLists.txt').match(/project\(Onymix VERSION (\S+)/);
    assert.equal(onymix.version, project);
    assert.equal(require('onymix/package.json').version, project);
    assert.deepEqual(onymix.MODES, ['Female', 'Female + Surname', 'Male', 'Male + Surname',
        'Surname', 'Any', 'Any + Surname']);
    assert.ok(Object.isFrozen(onymix.MODES));
});

const types = join(require.resolve('onymix'), '..', 'index.d.ts');

test('index.d.ts declares every export and nothing else', () => {
    const declared = [...readFileSync(types, 'utf8').matchAll(/^ {4}(?:const|function|class) (\w+)/gm)]
        .map((match) => match[1]);
    assert.deepEqual(declared.sort(), Object.keys(onymix).sort());
});

test('index.d.ts compiles against use, and refuses misuse', (t) => {
    if (!existsSync('/usr/bin/tsc'))
        return t.skip('no TypeScript compiler (Debian package node-typescript)');
    const dir = mkdtempSync(join(fileURLToPath(new URL('.', import.meta.url)), 'types-'));
    t.after(() => rmSync(dir, { recursive: true }));
    const use = `
        const label: onymix.ModeLabel = onymix.MODES[3];
        const name: string = onymix.generate(label, 0) + onymix.generate('male') + onymix.generate(4);
        const list: string[] = onymix.names(2, { mode: 'ANY', seed: 1, unique: true });
        const generator = new onymix.Generator({ seed: 86399 });
        for (const next of generator) list.push(next.toUpperCase());
        const record: onymix.NameRecord = generator.records(1)[0];
        const sex: 'female' | 'male' | null = record.sex;
        const first: string | null = record.firstName;
        generator.close();
        new onymix.Generator({ seed: 18446744073709551615n, start: 1000000 }).close();
        list.push(...onymix.names(1, { seed: 2 ** 40, start: 5n }));
        const key = new Uint8Array(16);
        const byId: string = onymix.nameForId(5n, { mode: 'Surname', key }) + onymix.nameForId(5);
        const ids: string[] = onymix.namesForIds([1, 2n], { key: undefined }).concat(
            onymix.namesForIds(new BigUint64Array(2)), onymix.namesForIds({ from: 10n, count: 5 }),
            onymix.namesForIds({ count: 5 }));
        const masked: string[] = onymix.pseudonyms(['alice', new TextEncoder().encode('bob')], { mode: 6 });
        const one: string = onymix.pseudonym(new Uint8Array([1, 2]), { key: key.subarray(0) });
        const faked: string = onymix.maskFullName('Mary Smith', { key }) + onymix.maskSurname('Smith', { key });
        const column: (string | null)[] = onymix.maskFirstNames(new Set(['Mary', null]), { key });
        const none: undefined = onymix.maskSurname(undefined, { key });
        // @ts-expect-error
        onymix.maskFirstName('Mary');
        // @ts-expect-error
        onymix.maskFullNames([5], { key });
        const typed: string = ' male+surname';
        list.push(onymix.generate(typed as onymix.Mode), ...onymix.names(1, { mode: '03' as onymix.Mode }));
        onymix.ready.then(() => onymix.version.length);
        // @ts-expect-error
        onymix.nameForId('5');
        // @ts-expect-error
        onymix.pseudonyms([5]);
        // @ts-expect-error
        onymix.namesForIds({ from: 1 });
        // @ts-expect-error
        onymix.nameForId(1, { seed: 1 });
        // @ts-expect-error
        onymix.names(1, { key });
        // @ts-expect-error
        onymix.generate('Nobody');
        // @ts-expect-error
        onymix.names(1, { mdoe: 'Male' });
        // @ts-expect-error
        onymix.generate(7);
        // @ts-expect-error
        const part: string = record.surname;
        // @ts-expect-error
        generator.take();
        export { name, sex, first, part, byId, ids, masked, one, faked, column, none };`;
    writeFileSync(join(dir, 'use.cts'), `import onymix = require('onymix');\n${use}`);
    writeFileSync(join(dir, 'use.mts'), `import onymix from 'onymix';\n${use}`);
    writeFileSync(join(dir, 'named.mts'), "import { names, Generator, nameForId, type NameRecord } from 'onymix';\n" +
        'export const records: NameRecord[] = new Generator().records(names(1).length);\n' +
        'export const named: string = nameForId(1n);\n');
    try {
        execFileSync('/usr/bin/tsc', ['--strict', '--noEmit', '--module', 'node16',
            '--target', 'es2022', ...['use.cts', 'use.mts', 'named.mts'].map((f) => join(dir, f))],
        { cwd: dir, encoding: 'utf8', stdio: 'pipe' });
    } catch (error) {
        assert.fail(`tsc: ${error.stdout}${error.stderr}`);
    }
});
