// stage.test.mjs: what js/stage.mjs writes into the package: the header's
// integer macros as read from C text, the loader's uses of them checked, and
// package.json with the project version after the name; then the installed
// package as staged.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { read } from './source.mjs';

const require = createRequire(import.meta.url);
const { integerMacros, missingConstants, stagedPackage } =
    await import(pathToFileURL(join(process.env.ONYMIX_SOURCE_DIR, 'js', 'stage.mjs')).href);

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
    ].join('\n');
    assert.deepEqual(integerMacros(header),
        { ENTRIES: 61836, NOW: -1, UNIQUE: 1, LAST_SECOND: 86399, MARK_UTF8: 1 });
});

test('the loader may use only what the header defines', () => {
    const loader = 'f(C.NOW, C.TEXT); g(C.NOW + C.GONE); h(ABC.NOT_OURS, C.ALSO_GONE)';
    assert.deepEqual(missingConstants(loader, { NOW: -1, TEXT: 0 }), ['GONE', 'ALSO_GONE']);
    assert.deepEqual(missingConstants(loader, { NOW: -1, TEXT: 0, GONE: 1, ALSO_GONE: 2 }), []);
    // The real loader against the real header.
    assert.deepEqual(missingConstants(read('js', 'index.js'), integerMacros(read('include', 'onymix.h'))), []);
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
