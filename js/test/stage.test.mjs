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

test('integer macros: every literal form C allows, keyed without the prefix', () => {
    const header = [
        '#define ONYMIX_DECIMAL 61836',
        '#define ONYMIX_ZERO 0',
        '#define ONYMIX_NEGATIVE (-1)',
        '#define ONYMIX_BARE_NEGATIVE -7',
        '#define ONYMIX_NESTED ((-(12)))',
        '#define ONYMIX_UNSIGNED 1u',
        '#define ONYMIX_LONG 86399L',
        '#define ONYMIX_SUFFIXES 5ULL',
        '#define ONYMIX_SUFFIXES_AFTER 6llU',
        '#define ONYMIX_HEX 0x1F',
        '#define ONYMIX_OCTAL 010',
        '  #  define   ONYMIX_SPACED   3   ',
        '#define ONYMIX_COMMENTED 4 /* a note */',
        '#define ONYMIX_LINE_COMMENT 9 // a note',
        '#define ONYMIX_CONTINUED \\',
        '    11',
    ].join('\n');
    assert.deepEqual(integerMacros(header), {
        DECIMAL: 61836, ZERO: 0, NEGATIVE: -1, BARE_NEGATIVE: -7, NESTED: -12, UNSIGNED: 1,
        LONG: 86399, SUFFIXES: 5, SUFFIXES_AFTER: 6, HEX: 31, OCTAL: 8, SPACED: 3,
        COMMENTED: 4, LINE_COMMENT: 9, CONTINUED: 11,
    });
});

test('integer macros: what is not one integer literal is left out', () => {
    const header = `
#ifndef ONYMIX_H
#define ONYMIX_H
#if defined(_WIN32)
#define ONYMIX_CALL __cdecl
#else
#define ONYMIX_CALL
#endif
#define ONYMIX_API __attribute__((visibility("default")))
#define ONYMIX_SUM (1) + (2)
#define ONYMIX_SHIFT (1 << 4)
#define ONYMIX_TWICE_NEGATED -(-1)
#define ONYMIX_FLOAT 1.5
#define ONYMIX_BAD_OCTAL 08
#define ONYMIX_TWO_UNSIGNED 1uu
#define ONYMIX_FUNCTION(x) 1
#define ONYMIX_TEXT_VALUE "1"
#define OTHER_PREFIX 3
/* #define ONYMIX_IN_A_COMMENT 5 */
#endif`;
    assert.deepEqual(integerMacros(header), {});
});

test('integer macros: one name, one value', () => {
    // The branches of an #if may define a name twice, alike.
    assert.deepEqual(integerMacros('#define ONYMIX_A 2\n#define ONYMIX_A (2)'), { A: 2 });
    assert.throws(() => integerMacros('#define ONYMIX_A 2\n#define ONYMIX_A 3'),
        /ONYMIX_A is defined as both 2 and 3/);
    // C makes these numbers JavaScript cannot pass on as the header means them.
    assert.throws(() => integerMacros('#define ONYMIX_B (-1u)'), /ONYMIX_B: .*negative and unsigned/);
    assert.throws(() => integerMacros('#define ONYMIX_C 0x20000000000000'),
        /ONYMIX_C: .*beyond the integers/);
    assert.deepEqual(integerMacros('#define ONYMIX_D 0x1FFFFFFFFFFFFF'), { D: 2 ** 53 - 1 });
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
