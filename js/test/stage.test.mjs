// stage.test.mjs: what js/stage.mjs writes into the package: index.js
// joined from the parts of js/src/, the header's integer macros as read from
// C text, the loader's uses of them checked, and package.json with the
// project version after the name; then the installed package as staged.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { read } from './source.mjs';

const require = createRequire(import.meta.url);
const js = join(process.env.ONYMIX_SOURCE_DIR, 'js');
const { bundle, integerMacros, loader, missingConstants, partOf, readParts, stagedPackage } =
    await import(pathToFileURL(join(js, 'stage.mjs')).href);

test('parts joined: each after what it imports, without imports and export, or refused', () => {
    const parts = {
        'main.mjs': "import { b } from './b.mjs';\nimport { a } from './a.mjs';\nexport const main = a + b;\n",
        'a.mjs': 'export function a() {}\n',
        'b.mjs': "import { a } from './a.mjs';\nexport let b = a;\nconst own = 1;\n",
    };
    assert.deepEqual(bundle(parts, 'main.mjs'), {
        body: 'function a() {}\n\nlet b = a;\nconst own = 1;\n\nconst main = a + b;\n',
        exports: ['main'],
    });
    const refusals = [
        [{ 'a.mjs': 'function a() {}\n' }, /does not export/],
        [{ 'b.mjs': "import { main } from './main.mjs';\nexport let b = 1;\n" }, /import each other, in a circle/],
        [{ 'c.mjs': 'export const c = 1;\n' }, /no part imports js\/src\/c.mjs/],
        [{ 'b.mjs': "import { a } from './a.mjs';\nexport let b = a;\nconst main = 1;\n" }, /both declare main/],
        [{ 'a.mjs': 'export default function a() {}\n' }, /not: export default/],
        [{ 'b.mjs': "import { a as z } from './a.mjs';\nexport let b = z;\n" }, /import a as z: only names/],
        [{ 'a.mjs': "import * as all from './b.mjs';\nexport function a() {}\n" }, /not: import \* as all/],
    ];
    for (const [changed, refusal] of refusals)
        assert.throws(() => bundle({ ...parts, ...changed }, 'main.mjs'), refusal, String(refusal));
});

// Joined into one scope, a part could use another's name without importing
// it, which as a module it could not: the names each part leaves free must
// be the language's and the host's, none declared by another part.
test('every part imports what it takes from the others', (t) => {
    if (!existsSync('/usr/share/nodejs/acorn-globals'))
        return t.skip('no acorn-globals (Debian package node-acorn, which emscripten needs)');
    const parts = readParts(js);
    const free = JSON.parse(execFileSync(process.execPath, ['--input-type=commonjs', '-e', `
        const findGlobals = require('acorn-globals');
        const parts = JSON.parse(require('fs').readFileSync(0, 'utf8'));
        const free = {};
        for (const [name, source] of Object.entries(parts))
            free[name] = findGlobals(source, { sourceType: 'module', ecmaVersion: 'latest' }).map((g) => g.name);
        process.stdout.write(JSON.stringify(free));`],
    { input: JSON.stringify(parts), env: { ...process.env, NODE_PATH: '/usr/share/nodejs' }, encoding: 'utf8' }));
    const declared = Object.entries(parts).flatMap(([name, source]) =>
        partOf(name, source).declared.map((each) => [each, name]));
    for (const [name, names] of Object.entries(free)) {
        const taken = declared.filter(([each]) => names.includes(each)).map(([each, owner]) => `${each} (${owner})`);
        assert.deepEqual(taken, [], `${name} uses without importing`);
    }
    assert.ok(free['module.mjs'].includes('WebAssembly'), 'the free names are found');
});

test('integer macros: the whole numbers of the header, and nothing else', () => {
    const header = [
        '#ifndef ONYMIX_H',
        '#define ONYMIX_H',
        '#define ONYMIX_CALL __cdecl',
        '#define ONYMIX_API __attribute__((visibility("default")))',
        '#define ONYMIX_ENTRIES 61836',
        '#define ONYMIX_NOW (-1)',
        '#define ONYMIX_UNIQUE 1u',
        '#define ONYMIX_LAST_SECOND 86399L',
        '#define ONYMIX_MARK_UTF8 1    /* EF BB BF, then 8-bit text */',
        '#define OTHER_PREFIX 3',
        // Macros that name others: before them, through a chain, and ones
        // whose last link is no integer or not there.
        '#define ONYMIX_DEFAULT ONYMIX_LATER',
        '#define ONYMIX_LATER ONYMIX_UNIQUE',
        '#define ONYMIX_BY_CALL ONYMIX_CALL',
        '#define ONYMIX_BY_NOTHING ONYMIX_GONE',
        '#define ONYMIX_BY_OTHER OTHER_PREFIX',
    ].join('\n');
    assert.deepEqual(integerMacros(header),
        { ENTRIES: 61836, NOW: -1, UNIQUE: 1, LAST_SECOND: 86399, MARK_UTF8: 1, DEFAULT: 1, LATER: 1 });
});

test('the loader may use only what the header defines', () => {
    const uses = 'f(C.NOW, C.TEXT); g(C.NOW + C.GONE); h(ABC.NOT_OURS, C.ALSO_GONE)';
    assert.deepEqual(missingConstants(uses, { NOW: -1, TEXT: 0 }), ['GONE', 'ALSO_GONE']);
    assert.deepEqual(missingConstants(uses, { NOW: -1, TEXT: 0, GONE: 1, ALSO_GONE: 2 }), []);
    // The real loader against the real header.
    assert.deepEqual(missingConstants(loader(readParts(js)), integerMacros(read('include', 'onymix.h'))), []);
});

test('package.json: the version after the name, the rest in its order', () => {
    const pkg = { name: 'onymix', description: 'd', main: 'index.js', files: ['a'] };
    const staged = stagedPackage(pkg, '1.0.2');
    assert.deepEqual(Object.keys(staged), ['name', 'version', 'description', 'main', 'files']);
    assert.deepEqual(staged, { ...pkg, version: '1.0.2' });
    assert.deepEqual(Object.keys(pkg), ['name', 'description', 'main', 'files'], 'the input is left alone');
    assert.throws(() => stagedPackage({ name: 'onymix', version: '1.0.2' }, '1.0.2'),
        /must not say a version/);
    for (const version of ['1.0.2.0', '1.0', 'v1.0.2', '', undefined])
        assert.throws(() => stagedPackage(pkg, version), /is not MAJOR.MINOR.PATCH/, String(version));
});

test('as installed: package.json is js/package.json with the version, index.js has every marker filled', () => {
    const source = JSON.parse(read('js', 'package.json'));
    const installed = JSON.parse(readFileSync(require.resolve('onymix/package.json'), 'utf8'));
    const { name, ...rest } = source;
    assert.deepEqual(Object.entries(installed),
        Object.entries({ name, version: require('onymix').version, ...rest }));
    const loader = readFileSync(require.resolve('onymix'), 'utf8');
    assert.doesNotMatch(loader, /@ONYMIX_\w+@/);
    // Made from this header, not an older one.
    const constants = /const C = Object\.freeze\((\{.*?\})\);/.exec(loader);
    assert.ok(constants, 'index.js declares C');
    assert.deepEqual(JSON.parse(constants[1]), integerMacros(read('include', 'onymix.h')));
});
